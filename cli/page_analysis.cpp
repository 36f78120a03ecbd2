#include "cli/page_analysis.h"

#include "cli/binarize.h"
#include "cli/page_loading.h"
#include "utility/layout_xml.h"
#include "utility/outlined_image.h"

#include <cmath>
#include <filesystem>
#include <new>
#include <stdexcept>

namespace quadrel_cli {
namespace {

constexpr const char* kNotBlackAndWhite = "Images is not black and white: analysis is not "
                                          "possible. Please threshold the image before to "
                                          "process it !";
constexpr std::int32_t kSkewParameter = 600;
constexpr int kOutlineDivisor = 2;

evalia::ZoneSource zoneSourceOf(LaContext* context) {
    return {context, LA_GetZonesCount, LA_GetZoneRect, LA_GetZoneContent};
}

// Straightens the page by the measured angle a (hundredths of a degree):
// both shears by -a / 100 degrees, then every row moves down by
// s = -sign(a) * trunc(sin(-(a / 100) * pi / 180) * width), which is never negative.
void straighten(imaging::TDIB& page, std::int32_t a) {
    const long double degrees = -static_cast<long double>(a) / 100.0L;
    page.ShearDeskew(true, false, true, double(degrees), double(degrees));
    const long double pi = std::acos(-1.0L);
    const int sign = (a > 0) - (a < 0);
    const long double drop = std::trunc(std::sin(degrees * pi / 180.0L) * page.Width());
    page.ShiftRows(int(-sign * drop));
}

std::string reasonOf(const std::exception& e) {
    if (const auto* image = dynamic_cast<const imaging::ImageError*>(&e))
        if (!image->detail().empty()) return std::string(e.what()) + ": " + image->detail();
    if (const auto* fs = dynamic_cast<const std::filesystem::filesystem_error*>(&e))
        return fs->code().message();
    return e.what();
}

// Runs one output writer; a failure names the file and why.
template <class Write>
void writeOutput(const char* what, const std::filesystem::path& file, Write&& write) {
    try {
        write();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("cannot write ") + what + " " + file.string() + ": " +
                                 reasonOf(e));
    }
}

std::string statusReason(std::int32_t status) {
    switch (status) {
    case 1:
        return "the analysis ran out of memory (status 1)";
    case 2:
        return "the page could not be handed to the analysis (status 2)";
    case 4:
        return "a text zone holds no black pixel (status 4)";
    default:
        return "the analysis failed with status " + std::to_string(status);
    }
}

} // namespace

AnalysisSettings analysisSettingsFrom(const Options& options) {
    return {librarySetupFrom(options), options.binarize};
}

PageResult analysePage(const PageTask& task, const AnalysisSettings& settings) {
    imaging::TDIB page = loadTiffPage(task.file, task.page);
    if (page.BitCount() != 1) {
        if (!settings.binarize) return failedResult(task, kNotBlackAndWhite);
        page = binarized(page);
    }
    PageResult result;
    result.file = task.file;
    result.page = task.page;
    result.width = page.Width();
    result.height = page.Height();

    AnalysisContext context(settings.library);
    const std::int32_t status = LA_Execute(context.get(), page.GetHandle());
    if (status != 0) return failedResult(task, statusReason(status));
    std::int32_t angle = 0;
    result.skewMeasured = LA_GetParameter(context.get(), kSkewParameter, &angle) == 0;
    result.skew = result.skewMeasured ? angle : 0;

    const evalia::ZoneSource zones = zoneSourceOf(context.get());
    result.zones = evalia::readZones(zones);
    if (!task.xmlOutput.empty())
        writeOutput("the XML file", task.xmlOutput,
                    [&] { evalia::WriteLayoutXml(task.xmlOutput, zones); });
    if (!task.outlinedOutput.empty())
        writeOutput("the outlined image", task.outlinedOutput, [&] {
            straighten(page, result.skew);
            evalia::WriteOutlinedImage(page, task.outlinedOutput, kOutlineDivisor, zones);
        });
    return result;
}

} // namespace quadrel_cli
