// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "library/image/run_table_memo.h"

#include "library/image/line_extraction.h"
#include "library/la_api.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <utility>

namespace quadrel {

namespace {

thread_local RunTableMemo* gCurrentMemo = nullptr;

std::size_t bytesPerRow(const LaBitmap& bitmap) {
    return (std::size_t(bitmap.width) + 7) / 8;
}

// Rows compared as one block, padding included, when the copy and the
// bitmap store them alike: a block that differs (in its pixels or only in
// its padding) is compared again row by row, so that only pixels decide.
constexpr std::int32_t kRowsPerBlock = 64;

// The stored row of rows r0 ... r1 - 1 that comes first in memory.
std::int32_t lowestRow(std::int32_t stride, std::int32_t r0, std::int32_t r1) {
    return stride > 0 ? r0 : r1 - 1;
}

// The bytes rows r0 ... r1 - 1 span in memory, from the lowest one on.
std::size_t blockBytes(const LaBitmap& bitmap, std::int32_t r0, std::int32_t r1) {
    return bitmap.rowBytes() * std::size_t(r1 - r0 - 1) + bytesPerRow(bitmap);
}

} // namespace

RunTableMemo::RunTableMemo() : outer_(gCurrentMemo) {
    gCurrentMemo = this;
}

RunTableMemo::~RunTableMemo() {
    gCurrentMemo = outer_;
}

std::size_t RunTableMemo::Entry::rowOffset(std::int32_t r) const {
    const std::size_t step = std::size_t(stride < 0 ? -std::int64_t(stride) : stride);
    return std::size_t(stride > 0 ? r : height - 1 - r) * step;
}

bool RunTableMemo::Entry::holds(const LaBitmap& bitmap) const {
    if (width != bitmap.width || height != bitmap.height || blackIsZero != bitmap.blackIsZero ||
        !bitmap.hasPixels())
        return false;
    const bool sameLayout = stride == bitmap.stride;
    const std::size_t n = bytesPerRow(bitmap);
    for (std::int32_t r0 = 0; r0 < height; r0 += kRowsPerBlock) {
        const std::int32_t r1 = std::min(height, r0 + kRowsPerBlock);
        const std::int32_t low = lowestRow(bitmap.stride, r0, r1);
        if (sameLayout && std::memcmp(rows.data() + rowOffset(low), bitmap.row(low),
                                      blockBytes(bitmap, r0, r1)) == 0)
            continue;
        for (std::int32_t r = r0; r < r1; ++r)
            if (std::memcmp(rows.data() + rowOffset(r), bitmap.row(r), n) != 0) return false;
    }
    return true;
}

RunTableMemo::Entry RunTableMemo::entryOf(const LaBitmap& bitmap) {
    Entry entry;
    entry.width = bitmap.width;
    entry.height = bitmap.height;
    entry.blackIsZero = bitmap.blackIsZero;
    entry.stride = bitmap.stride;
    const std::uint8_t* first = bitmap.row(lowestRow(bitmap.stride, 0, bitmap.height));
    entry.rows.assign(first, first + blockBytes(bitmap, 0, bitmap.height));
    return entry;
}

RunTableMemo::Entry* RunTableMemo::entryFor(const LaBitmap& bitmap) {
    for (Entry& entry : entries_)
        if (entry.holds(bitmap)) return &entry;
    return nullptr;
}

void RunTableMemo::makeRoom() {
    std::erase_if(entries_, [](const Entry& entry) { return entry.empty(); });
    if (entries_.size() < kPages) return;
    const auto smallest =
        std::min_element(entries_.begin(), entries_.end(), [](const Entry& a, const Entry& b) {
            return a.rows.size() < b.rows.size();
        });
    entries_.erase(smallest);
}

RunTableMemo::Entry* RunTableMemo::currentEntry(const LaBitmap& bitmap) {
    RunTableMemo* memo = gCurrentMemo;
    return memo ? memo->entryFor(bitmap) : nullptr;
}

RunTableMemo::Entry* RunTableMemo::entryToKeep(const LaBitmap& bitmap) {
    RunTableMemo* memo = gCurrentMemo;
    if (!memo || !bitmap.hasPixels()) return nullptr;
    if (Entry* entry = memo->entryFor(bitmap)) return entry;
    memo->makeRoom();
    try {
        memo->entries_.push_back(entryOf(bitmap));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return &memo->entries_.back();
}

std::optional<RunTable>& RunTableMemo::Entry::table(RunAxis axis) {
    std::optional<RunTable>& kept = tables[int(axis)];
    // Columns kept for long runs only are no column table.
    if (axis == RunAxis::kColumns && packedColumns && packedColumns->complete()) {
        kept = packedColumns->unpack();
        packedColumns.reset();
    }
    return kept;
}

std::optional<RunTable> RunTableMemo::take(const LaBitmap& bitmap, RunAxis axis) {
    Entry* entry = currentEntry(bitmap);
    if (!entry) return std::nullopt;
    std::optional<RunTable> table;
    if (std::optional<RunTable>& kept = entry->table(axis)) {
        table.swap(kept); // the entry is left without the table
    } else if (axis == RunAxis::kRows && entry->labels) {
        table = std::move(entry->labels->runs);
        entry->labels.reset();
    }
    return table;
}

const RunTable* RunTableMemo::find(const LaBitmap& bitmap, RunAxis axis) {
    Entry* entry = currentEntry(bitmap);
    if (!entry) return nullptr;
    if (std::optional<RunTable>& kept = entry->table(axis)) return &*kept;
    return axis == RunAxis::kRows && entry->labels ? &entry->labels->runs : nullptr;
}

void RunTableMemo::keep(const LaBitmap& bitmap, RunAxis axis, RunTable&& table) {
    Entry* entry = entryToKeep(bitmap);
    if (!entry) return;
    if (axis == RunAxis::kColumns) {
        entry->packedColumns.reset();
        try {
            entry->packedColumns = PackedRunTable::of(table);
        } catch (const std::bad_alloc&) {
        }
        if (entry->packedColumns) {
            entry->tables[int(axis)].reset();
            const RunTable released = std::move(table);
            return;
        }
    }
    entry->tables[int(axis)] = std::move(table);
}

void RunTableMemo::keepPacked(const LaBitmap& bitmap, PackedRunTable&& columns) {
    Entry* entry = entryToKeep(bitmap);
    if (!entry) return;
    entry->tables[int(RunAxis::kColumns)].reset();
    entry->packedColumns = std::move(columns);
}

const PackedRunTable* RunTableMemo::findPacked(const LaBitmap& bitmap) {
    Entry* entry = currentEntry(bitmap);
    return entry && entry->packedColumns ? &*entry->packedColumns : nullptr;
}

void RunTableMemo::drop(const LaBitmap& bitmap, RunAxis axis) {
    Entry* entry = currentEntry(bitmap);
    if (!entry) return;
    entry->tables[int(axis)].reset();
    entry->segments[int(axis)].reset();
    if (axis == RunAxis::kColumns) entry->packedColumns.reset();
}

void RunTableMemo::keepSegments(const LaBitmap& bitmap, RunAxis axis, KeptSegments&& segments) {
    if (Entry* entry = entryToKeep(bitmap)) entry->segments[int(axis)] = std::move(segments);
}

std::optional<KeptSegments> RunTableMemo::takeSegments(const LaBitmap& bitmap, RunAxis axis,
                                                       std::int32_t minSeedLength,
                                                       std::int32_t bridgingGap) {
    Entry* entry = currentEntry(bitmap);
    if (!entry) return std::nullopt;
    std::optional<KeptSegments>& kept = entry->segments[int(axis)];
    if (!kept || kept->minSeedLength != minSeedLength || kept->bridgingGap != bridgingGap)
        return std::nullopt;
    return std::exchange(kept, std::nullopt);
}

const LabelledRuns* RunTableMemo::findLabels(const LaBitmap& bitmap) {
    Entry* entry = currentEntry(bitmap);
    return entry && entry->labels ? &*entry->labels : nullptr;
}

std::optional<LabelledRuns> RunTableMemo::takeLabels(const LaBitmap& bitmap) {
    Entry* entry = currentEntry(bitmap);
    if (!entry || !entry->labels) return std::nullopt;
    return std::exchange(entry->labels, std::nullopt);
}

void RunTableMemo::keepLabels(const LaBitmap& bitmap, LabelledRuns&& labels) {
    if (Entry* entry = entryToKeep(bitmap)) entry->labels = std::move(labels);
}

std::optional<LabelledRuns> takePageLabels(const LaBitmap& bitmap) {
    std::optional<LabelledRuns> kept = RunTableMemo::takeLabels(bitmap);
    if (kept) return kept;
    std::optional<RunTable> rows = RunTableMemo::take(bitmap, RunAxis::kRows);
    if (!rows) return std::nullopt;
    kept.emplace();
    kept->runs = std::move(*rows);
    if (labelRuns(kept->runs, kept->boxes) != LA_STATUS_OK) kept.reset();
    return kept;
}

std::int32_t labelPageComponents(const LaBitmap& bitmap, LabelledRuns& labels,
                                 NumberedRowReader* reader) {
    if (std::optional<LabelledRuns> kept = RunTableMemo::takeLabels(bitmap)) {
        labels = std::move(*kept);
        if (reader) {
            reader->start(labels.boxes);
            for (std::size_t r = 0; r < labels.runs.size(); ++r)
                reader->read(std::int32_t(r), labels.runs[r]);
        }
        return LA_STATUS_OK;
    }
    std::optional<RunTable> rows = RunTableMemo::take(bitmap, RunAxis::kRows);
    labels.runs = rows ? std::move(*rows) : buildRowRunTable(bitmap);
    return labelRuns(labels.runs, labels.boxes, reader);
}

void RunTableMemo::keepOnly(const LaBitmap& bitmap) {
    if (RunTableMemo* memo = gCurrentMemo)
        std::erase_if(memo->entries_, [&](const Entry& entry) { return !entry.holds(bitmap); });
}

} // namespace quadrel
