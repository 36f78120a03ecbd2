// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "evalia/layout_export.h"

#include "quadrel/version.h"
#include "zones/alto_xml.h"
#include "zones/hocr.h"
#include "zones/page_xml.h"

#include <QFileInfo>

#include <iterator>

namespace evalia {
namespace {

constexpr LayoutFormat kFormats[] = {
    {"PAGE XML...", "PAGE XML Files (*.xml)", "xml", zones::WritePageXml},
    {"ALTO XML...", "ALTO XML Files (*.xml)", "xml", zones::WriteAltoXml},
    {"hOCR...", "hOCR Files (*.hocr *.html)", "hocr", zones::WriteHocr},
};

} // namespace

const LayoutFormat* LayoutFormats(int& count) {
    count = int(std::size(kFormats));
    return kFormats;
}

zones::LayoutDocument LayoutDocumentOf(const QString& fileName, int pageIndex, int width,
                                       int height, int xDpi, int yDpi,
                                       const zones::ZoneSource& zones) {
    zones::LayoutDocument document;
    document.page.imageFile = QFileInfo(fileName).fileName().toStdString();
    document.page.pageIndex = pageIndex;
    document.page.width = width;
    document.page.height = height;
    document.page.xDpi = xDpi;
    document.page.yDpi = yDpi;
    document.zones = zones::readZones(zones);
    document.creator = std::string("evalia ") + QUADREL_VERSION;
    return document;
}

} // namespace evalia
