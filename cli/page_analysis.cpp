#include "cli/page_analysis.h"

#include "cli/page_loading.h"
#include "imaging/binarize.h"
#include "zones/analysis_status.h"
#include "zones/failure_reason.h"
#include "zones/layout_xml.h"
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

// Runs one output writer; a failure names the file and why.
template <class Write>
void writeOutput(const char* what, const std::filesystem::path& file, Write&& write) {
    try {
        write();
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& e) {
        throw std::runtime_error(std::string("cannot write ") + what + " " + file.string() + ": " +
                                 zones::FailureReason(e));
    }
}

} // namespace

AnalysisSettings analysisSettingsFrom(const Options& options, const OutlineWriter* outlines) {
    return {librarySetupFrom(options), options.binarize, outlines};
}

PageResult analysePage(const PageTask& task, const AnalysisSettings& settings) {
    imaging::TDIB page = loadTiffPage(task.file, task.page);
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
    if (status != LA_STATUS_OK) return failedResult(task, zones::AnalysisStatusReason(status));
    std::int32_t angle = 0;
    result.skewMeasured =
        LA_GetParameter(context.get(), LA_PARAM_SKEW_ANGLE, &angle) == LA_STATUS_OK;
    result.skew = result.skewMeasured ? angle : 0;

    const zones::ZoneSource zones = zoneSourceOf(context.get());
    result.zones = zones::readZones(zones);
    if (!task.xmlOutput.empty())
        writeOutput("the XML file", task.xmlOutput,
                    [&] { zones::WriteLayoutXml(task.xmlOutput, zones); });
    if (!task.outlinedOutput.empty())
        writeOutput("the outlined image", task.outlinedOutput, [&] {
            if (settings.outlines == nullptr) throw std::logic_error("no outline writer loaded");
            zones::StraightenPage(page, result.skew);
            settings.outlines->write(page, task.outlinedOutput, kOutlineDivisor, zones);
        });
    return result;
}

} // namespace quadrel_cli
