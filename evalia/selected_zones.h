// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The zones the user has picked by clicking on the page, kept as their
// numbers in decimal text, in the order they were picked.
#pragma once

#include <QStringList>

namespace evalia {

class TSelectedZones {
  public:
    bool Contains(int zone) const { return numbers_.contains(QString::number(zone)); }
    // Adds the zone when absent, removes it when present.
    void Toggle(int zone);
    void Clear() { numbers_.clear(); }
    bool IsEmpty() const { return numbers_.isEmpty(); }
    const QStringList& Numbers() const { return numbers_; }

  private:
    QStringList numbers_;
};

} // namespace evalia
