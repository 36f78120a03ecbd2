// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// The Qt application object that drawing zone numbers needs (fonts), made
// for an off-screen platform: the program never shows a window.
#pragma once

#include <memory>

class QGuiApplication;

namespace zones {

class GuiSession {
  public:
    // Also silences Qt's own console messages, which would mix with the
    // program's one-line-per-failure reports on stderr.
    GuiSession();
    ~GuiSession();
    GuiSession(const GuiSession&) = delete;
    GuiSession& operator=(const GuiSession&) = delete;

  private:
    std::unique_ptr<QGuiApplication> application_;
};

} // namespace zones
