#include "cli/page_analysis.h"

#include "cli/page_loading.h"
#include "imaging/binarize.h"
#include "zones/failure_reason.h"
#include "zones/layout_xml.h"
#include "zones/output_file.h"
#include "zones/page_refusal.h"
#include "zones/page_straightening.h"

#include <filesystem>
#include <new>
#include <stdexcept>

namespace quadrel_cli {
namespace {

constexpr int kOutlineDivisor = 2;

zones::ZoneSource zoneSourceOf(LaContext* context) {
    return {context, LA_GetZonesCount, LA_GetZoneRect, LA_GetZoneContent};
}

std::string whereTo(const std::filesystem::path& file) {
    return file == zones::kStandardOutput ? std::string("to standard output") : file.string();
}

// Makes and writes one output; a failure names the output, the file and why.
template <class Make>
void writeOutput(const char* what, const std::filesystem::path& file, Make&& make) {
    try {
        const auto bytes = make();
        zones::WriteOutput(file, {reinterpret_cast<const char*>(bytes.data()), bytes.size()});
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const zones::OutputError& e) {
        throw std::runtime_error(std::string("cannot write ") + what + " " + whereTo(file) + ": " +
                                 e.reason());
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("cannot make ") + what + " " + whereTo(file) + ": " +
                                 zones::FailureReason(e));
    }
}

std::string statusReason(std::int32_t status) {
    switch (status) {
    case LA_STATUS_OUT_OF_MEMORY:
        return "the analysis ran out of memory (status 1)";
    case LA_STATUS_NOT_AVAILABLE:
        return "the page could not be handed to the analysis (status 2)";
    case LA_STATUS_NO_BLACK_PIXEL:
        return "a text zone holds no black pixel (status 4)";
    default:
        return "the analysis failed with status " + std::to_string(status);
    }
}

} // namespace

AnalysisSettings analysisSettingsFrom(const Options& options, const OutlineWriter* outlines) {
    AnalysisSettings settings;
    settings.library = librarySetupFrom(options);
    settings.binarize = options.binarize;
    settings.ccitt = options.photometricAsWritten ? imaging::CcittPhotometric::AsWritten
                                                  : imaging::CcittPhotometric::FaxConvention;
    settings.labels = options.labels ? zones::ZoneLabels::Numbered : zones::ZoneLabels::Left;
    settings.outlines = outlines;
    return settings;
}

PageResult analysePage(const PageTask& task, const AnalysisSettings& settings) {
    imaging::TDIB page = loadPage(task.file, task.page, settings.ccitt);
    if (const auto refusal = zones::AnalysisRefusal(page)) {
        if (!settings.binarize) return failedResult(task, std::string(*refusal));
        page = imaging::binarized(page);
    }
    PageResult result;
    result.file = task.file;
    result.page = task.page;
    result.width = page.Width();
    result.height = page.Height();

    AnalysisContext context(settings.library);
    const std::int32_t status = LA_Execute(context.get(), page.GetHandle());
    if (status != LA_STATUS_OK) return failedResult(task, statusReason(status));
    std::int32_t angle = 0;
    result.skewMeasured =
        LA_GetParameter(context.get(), LA_PARAM_SKEW_ANGLE, &angle) == LA_STATUS_OK;
    result.skew = result.skewMeasured ? angle : 0;

    const zones::ZoneSource zones = zoneSourceOf(context.get());
    result.zones = zones::readZones(zones);
    if (!task.xmlOutput.empty())
        writeOutput("the XML file", task.xmlOutput, [&] { return zones::layoutXmlText(zones); });
    if (!task.outlinedOutput.empty())
        writeOutput("the outlined image", task.outlinedOutput, [&] {
            if (settings.outlines == nullptr) throw std::logic_error("no outline writer loaded");
            zones::StraightenPage(page, result.skew);
            return settings.outlines->tiff(page, kOutlineDivisor, zones, settings.labels);
        });
    return result;
}

} // namespace quadrel_cli
