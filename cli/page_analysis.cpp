// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/page_analysis.h"

#include "cli/page_loading.h"
#include "imaging/binarize.h"
#include "zones/analysis_status.h"
#include "zones/alto_xml.h"
#include "zones/deskewed_page.h"
#include "zones/failure_reason.h"
#include "zones/hocr.h"
#include "zones/layout_xml.h"
#include "zones/output_file.h"
#include "zones/page_refusal.h"
#include "zones/page_straightening.h"
#include "zones/page_xml.h"

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

// The standard layout files and the straightened page, each when asked for.
void writeLayoutFiles(const PageTask& task, const PageResult& result, const imaging::TDIB& page) {
    const zones::LayoutDocument document = layoutDocumentOf(result);
    using Writer = std::string (*)(const zones::LayoutDocument&);
    const auto writeText = [&](const char* what, const std::filesystem::path& file, Writer write) {
        if (!file.empty())
            writeOutput(what, file, [&] { return write(document); });
    };
    writeText("the PAGE XML file", task.pageXmlOutput, zones::WritePageXml);
    writeText("the ALTO file", task.altoOutput, zones::WriteAltoXml);
    writeText("the hOCR file", task.hocrOutput, zones::WriteHocr);
    if (!task.deskewedOutput.empty())
        writeOutput("the deskewed page", task.deskewedOutput, [&] {
            return zones::DeskewedPageTiff(page, zones::DeskewGeometry(document.page));
        });
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
    result.xDpi = page.XDpi();
    result.yDpi = page.YDpi();

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
        writeOutput("the XML file", task.xmlOutput, [&] { return zones::layoutXmlText(zones); });
    writeLayoutFiles(task, result, page);
    if (!task.outlinedOutput.empty())
        writeOutput("the outlined image", task.outlinedOutput, [&] {
            if (settings.outlines == nullptr) throw std::logic_error("no outline writer loaded");
            zones::StraightenPage(page, result.skew);
            return settings.outlines->tiff(page, kOutlineDivisor, zones, settings.labels);
        });
    return result;
}

} // namespace quadrel_cli
