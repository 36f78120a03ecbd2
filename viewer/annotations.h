// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The annotation layer carried by the page view. Evalia's commands make no
// use of annotations; the layer keeps the raw bytes of a page's private
// annotation tag so that they survive while the page is open, and follows
// the view's zoom.
#pragma once

#include <QRect>

#include <cstdint>
#include <vector>

class TAnnotationsEditor {
  public:
    // Replaces the annotations with the raw tag data of a newly shown page.
    void LoadFromData(std::vector<std::uint8_t> data) { data_ = std::move(data); }
    void Clear() { data_.clear(); }
    bool IsEmpty() const { return data_.empty(); }
    const std::vector<std::uint8_t>& RawData() const { return data_; }

    void SetScale(double zoom, const QRect& surfaceBounds) {
        zoom_ = zoom;
        bounds_ = surfaceBounds;
    }
    double Zoom() const { return zoom_; }
    const QRect& SurfaceBounds() const { return bounds_; }

  private:
    std::vector<std::uint8_t> data_;
    double zoom_ = 100.0;
    QRect bounds_;
};
