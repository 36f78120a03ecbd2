// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The busy cursor for the length of a scope: set on construction, and the
// previous cursor restored on every way out, exceptions included.
#pragma once

#include <QGuiApplication>

namespace evalia {

class BusyCursor {
  public:
    BusyCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace evalia
