// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "viewer/memory_image.h"

#include "imaging/image_loader.h"
#include "imaging/image_stream.h"
#include "imaging/tiff_io.h"

#include <QFile>

#include <cmath>

int TMemoryImage::VertSizeCorrected() const {
    const int height = dib_.Height();
    const int yDpi = dib_.YDpi();
    if (yDpi < 1) return height;
    return static_cast<int>(
        std::nearbyint(static_cast<double>(height) * dib_.XDpi() / static_cast<double>(yDpi)));
}

void TMemoryImage::LoadImage(const QString& fileName, int page) {
    fileName_ = fileName;
    imaging::FileStream stream(QFile::encodeName(fileName).toStdString(),
                               imaging::FileStream::Mode::Read);
    LoadImageFromStream(stream, page);
}

void TMemoryImage::LoadImageFromStream(imaging::ImageStream& stream, int page) {
    dib_.Clear();
    pageCount_ = imaging::TiffPageCount(stream);
    page_ = page;
    stream.Seek(0, imaging::SeekOrigin::Begin);
    imaging::LoadFromStream(dib_, stream, page);
}
