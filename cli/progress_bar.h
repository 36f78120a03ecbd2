// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
// A one-line progress bar on stderr, redrawn in place as pages complete.
#pragma once

#include <cstddef>
#include <cstdio>

namespace quadrel_cli {

class ProgressBar {
  public:
    // Draws nothing unless `enabled`; callers enable it only when stderr is a
    // terminal and there is more than one page.
    ProgressBar(std::size_t total, bool enabled, std::FILE* out = stderr);
    ~ProgressBar() { finish(); }
    ProgressBar(const ProgressBar&) = delete;
    ProgressBar& operator=(const ProgressBar&) = delete;

    void advance();
    // Erases the bar so that later output starts on a clean line.
    void finish();

  private:
    void draw() const;

    std::size_t total_;
    std::size_t done_ = 0;
    bool active_;
    std::FILE* out_;
};

// Whether the progress bar belongs on this stderr.
bool stderrIsTerminal();

} // namespace quadrel_cli
