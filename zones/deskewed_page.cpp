// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "zones/deskewed_page.h"

#include "imaging/tiff_io.h"
#include "imaging/image_stream.h"

namespace zones {

imaging::TDIB DeskewedPage(const imaging::TDIB& page, const DeskewGeometry& geometry) {
    if (page.BitCount() != 1) throw imaging::ImageError("The deskewed page needs a 1-bit page");
    const int width = geometry.canvasWidth();
    const int height = geometry.canvasHeight();
    if (width == page.Width() && height == page.Height() && !geometry.turns()) return page.Clone();
    imaging::TDIB canvas;
    canvas.NewImage(width, height, imaging::pf1bit, page.XDpi(), page.YDpi());
    canvas.SetPalette(page.GetPalette());
    const int white = page.WhiteIndex();
    canvas.Fill(white != 0 ? 0xFF : 0x00);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const PixelPoint p = geometry.toOriginal({x, y});
            const bool inside = p.x >= 0 && p.y >= 0 && p.x < page.Width() && p.y < page.Height();
            if (inside) canvas.SetPixel(x, y, page.GetPixel(int(p.x), int(p.y)));
        }
    return canvas;
}

std::vector<std::uint8_t> DeskewedPageTiff(const imaging::TDIB& page,
                                           const DeskewGeometry& geometry) {
    const imaging::TDIB canvas = DeskewedPage(page, geometry);
    imaging::MemoryStream tiff;
    imaging::SaveTiff(canvas, tiff, false, imaging::tcGroup4, 0);
    return tiff.Bytes();
}

} // namespace zones
