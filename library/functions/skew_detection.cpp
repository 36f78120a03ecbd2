// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/functions/skew_detection.h"

#include "library/functions/analysis_functions.h"
#include "library/functions/page_rotation.h"
#include "library/image/line_extraction.h"
#include "library/image/run_table_memo.h"
#include "library/la_api.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <new>
#include <numbers>

namespace quadrel {

namespace {

constexpr std::int32_t kBandRows = 3500;
constexpr std::int32_t kDirections = 150;
// Direction 75 is 90 degrees from the x axis: level text lines vote for it,
// so it measures 0 degrees.
constexpr std::int32_t kLevelDirection = 75;
constexpr double kDirectionStep = 0.2; // degrees between two directions
constexpr std::int32_t kVoterMinSide = 6;
constexpr std::int32_t kVoterMaxSide = 79;
constexpr double kVoterMaxElongation = 1.5;
constexpr double kNoRotationBelow = 0.3; // degrees

// cos and sin of 75 + 0.1 i degrees rounded to 6 decimals; the vote uses the
// even entries only.
struct DirectionTables {
    std::array<double, 300> cosine{};
    std::array<double, 300> sine{};
};

double roundToMicro(double value) {
    return std::round(value * 1e6) / 1e6;
}

const DirectionTables& directionTables() {
    static const DirectionTables tables = [] {
        DirectionTables t;
        for (std::size_t i = 0; i < t.cosine.size(); ++i) {
            const double radians = (75.0 + 0.1 * double(i)) * std::numbers::pi / 180.0;
            t.cosine[i] = roundToMicro(std::cos(radians));
            t.sine[i] = roundToMicro(std::sin(radians));
        }
        return t;
    }();
    return tables;
}

// Columns of a row of `width` pixels whose colour differs from the column
// before (white before column 0), counted 64 pixels at a time.
std::int64_t colourChanges(const std::uint8_t* row, std::int32_t width, std::uint8_t whiteByte) {
    const std::uint64_t toBlack = whiteByte ? ~std::uint64_t(0) : 0;
    std::uint64_t before = 0; // the last pixel read, black in bit 63
    std::int64_t changes = 0;
    std::int32_t x = 0;
    for (; x + 64 <= width; x += 64) {
        std::uint64_t word;
        std::memcpy(&word, row + x / 8, sizeof word);
        const std::uint64_t black = __builtin_bswap64(word) ^ toBlack;
        changes += __builtin_popcountll(black ^ ((black >> 1) | before));
        before = black << 63;
    }
    if (x < width) {
        std::uint64_t word = 0;
        for (std::int32_t i = 0; 8 * i < width - x; ++i)
            word |= std::uint64_t(row[x / 8 + i]) << (56 - 8 * i);
        const std::uint64_t inRow = ~std::uint64_t(0) << (64 - (width - x));
        const std::uint64_t black = (word ^ toBlack) & inRow;
        changes += __builtin_popcountll((black ^ ((black >> 1) | before)) & inRow);
    }
    return changes;
}

// The counter of one direction that wins: most votes, then the largest
// distance row. `votes` is 0 when the direction has none.
struct DirectionPeak {
    std::int32_t votes = 0;
    std::size_t row = 0;
};

DirectionPeak peakOf(const std::vector<std::int32_t>& counts) {
    std::int32_t most = 0;
    for (const std::int32_t c : counts) most = std::max(most, c); // vectorised
    if (most == 0) return {};
    std::size_t row = counts.size() - 1;
    while (counts[row] != most) --row;
    return {most, row};
}

// Centres of the voting components relative to the page centre.
struct VoterCentres {
    std::vector<double> x;
    std::vector<double> y;
};

VoterCentres voterCentres(const std::vector<LaComponentBox>& components, std::int32_t pageWidth,
                          std::int32_t pageHeight) {
    const double cx = std::floor(double(pageWidth) * 0.5);
    const double cy = std::floor(double(pageHeight) * 0.5);
    VoterCentres centres;
    for (const LaComponentBox& c : components) {
        if (!isSkewVoter(c.xEnd - c.xMin, c.yMax - c.yMin + 1)) continue;
        centres.x.push_back(std::trunc(double(c.xMin + c.xEnd) * 0.5 - cx));
        centres.y.push_back(std::trunc(double(c.yMin + c.yMax) * 0.5 - cy));
    }
    return centres;
}

// The band's row runs labelled with their components (the boxes are all the
// measurement reads).
std::int32_t bandComponents(const LaBitmap& page, const SkewBand& band, LabelledRuns& labels) {
    labels.runs = buildRowRunTable(page, band.first, band.rows);
    return labelRuns(labels.runs, labels.boxes);
}

// True when the rows below the band hold no black, so that the band's
// components, numbers and boxes are those of the whole page.
bool bandHoldsAllInk(const LaBitmap& page, const SkewBand& band) {
    if (band.first != 0) return false;
    for (std::int32_t r = band.rows; r < page.height; ++r)
        if (countBlackPixels(page.row(r), page.width, page.blackIsZero != 0) != 0) return false;
    return true;
}

// Labelling is the measurement's main cost; when the page is not turned the
// functions after it read these very pixels, so the labelled runs are kept for
// them instead of being made again. The band's table gains the blank rows
// below it.
void keepPageLabels(const LaBitmap& page, const SkewBand& band, LabelledRuns&& labels) {
    if (!bandHoldsAllInk(page, band)) return;
    labels.runs.resize(std::size_t(page.height));
    RunTableMemo::keepLabels(page, std::move(labels));
}

std::int32_t measureSkewOrThrow(const LaBitmap& page, double& skewAngle) {
    skewAngle = 0.0;
    const SkewBand band = chooseSkewBand(page);
    LabelledRuns labels;
    const std::int32_t status = bandComponents(page, band, labels);
    if (status != LA_STATUS_OK) return status;
    if (labels.boxes.size() >= 5) {
        const std::int32_t direction = strongestDirection(labels.boxes, page.width, page.height);
        // No vote at all (nothing passed the size filter) measures 0, like too few components.
        if (direction >= 0) skewAngle = double(kLevelDirection - direction) * kDirectionStep;
    }
    if (skewAngle == 0.0) keepPageLabels(page, band, std::move(labels));
    return LA_STATUS_OK;
}

std::int32_t outputStride(const LaBitmap& input, std::int32_t width) {
    const std::int32_t length = rowLengthForWidth(width);
    return input.stride < 0 ? -length : length;
}

} // namespace

SkewBand chooseSkewBand(const LaBitmap& page) {
    const std::int32_t height = page.hasPixels() ? page.height : 0;
    std::vector<std::int64_t> changes(std::size_t(height / kBandRows + 1), 0);
    // Each row counts its colour changes plus 5, the length of the row's
    // run encoding (a leading 0 and four closing entries).
    for (std::int32_t r = 0; r < height; r += 2)
        changes[std::size_t(r / kBandRows)] +=
            5 + colourChanges(page.row(r), page.width, page.whiteByte());
    const auto best = std::max_element(changes.begin(), changes.end()); // first on a tie
    SkewBand band;
    band.first = std::int32_t(best - changes.begin()) * kBandRows;
    band.rows = std::min(band.first + kBandRows, height) - band.first;
    return band;
}

bool isSkewVoter(std::int32_t w, std::int32_t h) {
    const auto usable = [](std::int32_t side) {
        return side >= kVoterMinSide && side <= kVoterMaxSide;
    };
    if (!usable(w) && !usable(h)) return false;
    return double(std::min(w, h)) * kVoterMaxElongation > double(std::max(w, h));
}

// The accumulator holds one row of distances -R ... R per direction; it is
// filled and searched one direction at a time, so that the counters stay in
// the cache. The winner is the counter found last in row-major (distance,
// direction) order among those with the most votes.
std::int32_t strongestDirection(const std::vector<LaComponentBox>& components,
                                std::int32_t pageWidth, std::int32_t pageHeight) {
    const DirectionTables& tables = directionTables();
    const double w = pageWidth;
    const double h = pageHeight;
    const auto radius = std::int64_t(std::floor(std::sqrt(h * h + w * w) * 0.5));
    const VoterCentres centres = voterCentres(components, pageWidth, pageHeight);
    std::vector<std::int32_t> counts(std::size_t(2 * radius + 1));
    // A distance is at most (width + height) / 2 from 0: it fits 32 bits.
    std::vector<std::int32_t> distances(centres.x.size());
    DirectionPeak best;
    std::int32_t bestDirection = -1;
    for (std::int32_t a = 0; a < kDirections; ++a) {
        const double cosine = tables.cosine[std::size_t(2 * a)];
        const double sine = tables.sine[std::size_t(2 * a)];
        for (std::size_t i = 0; i < distances.size(); ++i)
            distances[i] = std::int32_t(centres.x[i] * cosine + centres.y[i] * sine);
        std::fill(counts.begin(), counts.end(), 0);
        for (const std::int32_t d : distances) {
            // The rounded tables can put a distance just past the radius: dropped.
            const auto row = std::uint64_t(d + radius);
            if (row < counts.size()) ++counts[row];
        }
        const DirectionPeak peak = peakOf(counts);
        if (peak.votes > 0 &&
            (peak.votes > best.votes || (peak.votes == best.votes && peak.row >= best.row))) {
            best = peak;
            bestDirection = a;
        }
    }
    return bestDirection;
}

std::int32_t measureSkew(const LaBitmap& page, double& skewAngle) {
    try {
        return measureSkewOrThrow(page, skewAngle);
    } catch (const std::bad_alloc&) {
        skewAngle = 0.0;
        return LA_STATUS_OUT_OF_MEMORY;
    }
}

PageSize deskewedSize(std::int32_t width, std::int32_t height, double angleDegrees) {
    const double c = std::fabs(std::cos(angleDegrees * kDegreesToRadians));
    const double s = std::fabs(std::sin(angleDegrees * kDegreesToRadians));
    return {std::int32_t(std::ceil(double(width) * c + double(height) * s)),
            std::int32_t(std::ceil(double(height) * c + double(width) * s))};
}

std::int32_t detectSkew(const LaBitmap& input, LaBitmap& output, double* angle) {
    bitmapRelease(&output);
    double skewAngle = 0.0;
    const std::int32_t status = measureSkew(input, skewAngle);
    if (angle) *angle = skewAngle;
    if (status != LA_STATUS_OK) return status;

    // The size always follows the measured angle, even when no rotation is done.
    const PageSize size = deskewedSize(input.width, input.height, skewAngle);
    if (bitmapAllocate(output, size.height, size.width, outputStride(input, size.width),
                       input.blackIsZero) != LA_STATUS_OK) {
        bitmapRelease(&output);
        return LA_STATUS_OUT_OF_MEMORY;
    }
    const double rotation = std::fabs(skewAngle) < kNoRotationBelow ? 0.0 : skewAngle;
    try {
        rotatePageInto(input, output, rotation);
    } catch (const std::bad_alloc&) {
        bitmapRelease(&output);
        return LA_STATUS_OUT_OF_MEMORY;
    }
    return LA_STATUS_OK;
}

} // namespace quadrel
