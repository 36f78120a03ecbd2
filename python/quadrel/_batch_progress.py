# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""A one-line progress bar on a terminal."""

import sys
import time


class ProgressBar:
    """Redraws `[#####.....] 5/10 pages, 1 failed, 2.0 pages/s` on stderr,
    at most ten times a second; draws nothing when stderr is no terminal."""

    WIDTH = 30

    def __init__(self, total, stream=None, enabled=None):
        self.stream = stream or sys.stderr
        self.enabled = self.stream.isatty() if enabled is None else enabled
        self.total = total
        self.done = 0
        self.failed = 0
        self.start = time.monotonic()
        self._drawn = 0.0

    def advance(self, status):
        self.done += 1
        self.failed += status == "failed"
        now = time.monotonic()
        if self.enabled and (now - self._drawn >= 0.1 or self.done == self.total):
            self._drawn = now
            self._draw(now)

    def _draw(self, now):
        filled = self.WIDTH * self.done // max(self.total, 1)
        rate = self.done / max(now - self.start, 1e-9)
        failed = f", {self.failed} failed" if self.failed else ""
        self.stream.write(f"\r[{'#' * filled}{'.' * (self.WIDTH - filled)}] "
                          f"{self.done}/{self.total} pages{failed}, {rate:.1f} pages/s")
        self.stream.flush()

    def close(self):
        if self.enabled and self._drawn:
            self.stream.write("\n")
            self.stream.flush()
