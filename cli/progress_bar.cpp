// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The Quadrel authors
#include "cli/progress_bar.h"

#include <string>
#include <unistd.h>

namespace quadrel_cli {
namespace {
constexpr std::size_t kBarWidth = 40;
}

ProgressBar::ProgressBar(std::size_t total, bool enabled, std::FILE* out)
    : total_(total), active_(enabled && total > 0), out_(out) {
    if (active_) draw();
}

void ProgressBar::advance() {
    ++done_;
    if (active_) draw();
}

void ProgressBar::draw() const {
    const std::size_t filled = total_ ? done_ * kBarWidth / total_ : kBarWidth;
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    std::fprintf(out_, "\r[%s] %zu/%zu pages", bar.c_str(), done_, total_);
    std::fflush(out_);
}

void ProgressBar::finish() {
    if (!active_) return;
    active_ = false;
    // Overwrite the bar with blanks and return to the start of the line.
    std::fprintf(out_, "\r%s\r", std::string(kBarWidth + 32, ' ').c_str());
    std::fflush(out_);
}

bool stderrIsTerminal() {
    return ::isatty(STDERR_FILENO) == 1;
}

} // namespace quadrel_cli
