// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// TMemoryImage: the page that the viewer shows, with the file and page it
// came from.
#pragma once

#include "imaging/dib_image.h"

#include <QString>

namespace imaging {
class ImageStream;
}

class TMemoryImage {
  public:
    imaging::TDIB& DIB() { return dib_; }
    const imaging::TDIB& DIB() const { return dib_; }

    const QString& FileName() const { return fileName_; }
    int Page() const { return page_; }
    int PageCount() const { return pageCount_; }

    // The page has a pixel block.
    bool IsValid() const { return dib_.IsValid(); }

    // The page height corrected for unequal resolutions, so that a page
    // scanned at 200 x 100 dpi is shown as tall as it is wide per inch:
    // the height when the vertical resolution is below 1, else
    // round(height * horizontal dpi / vertical dpi), ties to even.
    int VertSizeCorrected() const;

    // Reads page `page` of a TIFF (or other image) file. The file name is
    // remembered even when loading fails; the previous page is cleared first.
    void LoadImage(const QString& fileName, int page);
    void LoadImageFromStream(imaging::ImageStream& stream, int page);

  private:
    imaging::TDIB dib_;
    QString fileName_;
    int page_ = 0;
    int pageCount_ = 1;
};
