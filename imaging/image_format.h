// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// Telling image formats apart by their first bytes.
#pragma once

namespace imaging {

class ImageStream;

enum class ImageFormat { Tiff, Png, Pnm, Bmp, Gif, Jpeg, Unknown };

// "II" or "MM": TIFF; the 8-byte PNG signature: PNG; "P1" to "P7": a netpbm
// image (PBM, PGM, PPM or PAM); "BM": a Windows bitmap; "GIF": GIF;
// FF D8 FF: JPEG. Looks at the bytes from the stream's position and leaves
// the position where it was.
ImageFormat DetectImageFormat(ImageStream& stream);

} // namespace imaging
