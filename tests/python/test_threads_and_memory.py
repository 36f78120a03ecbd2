# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""The interpreter lock is released during an analysis; nothing leaks; an
analysis that runs out of memory raises MemoryError."""

import gc
import os
import subprocess
import sys
import threading
import time
import tracemalloc
import unittest

import numpy as np
from PIL import Image

import quadrel
from pages import ccitt_tiff, text_page, zone_rows


def busy_page():
    """Two-by-two CCITT page 3: an analysis of some tens of milliseconds."""
    ink = ~np.asarray(Image.open(ccitt_tiff(3)))
    return np.block([[ink, ink], [ink, ink]])


def count_until(event):
    ticks = 0
    while not event.is_set():
        ticks += 1
    return ticks


def resident_kib():
    with open("/proc/self/status") as f:
        return next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))


class InterpreterLock(unittest.TestCase):
    def test_python_runs_while_two_threads_analyse(self):
        page = busy_page()
        start = time.perf_counter()
        expected = zone_rows(quadrel.analyse(page).zones)
        one = time.perf_counter() - start

        results = []
        finished = threading.Event()

        def analyse_twice():
            pair = [threading.Thread(target=lambda: results.append(quadrel.analyse(page)))
                    for _ in range(2)]
            for t in pair:
                t.start()
            for t in pair:
                t.join()
            finished.set()

        begun = time.perf_counter()
        threading.Thread(target=analyse_twice).start()
        ticks = count_until(finished)
        elapsed = time.perf_counter() - begun

        # The same loop, alone, for as long.
        alone_done = threading.Event()
        timer = threading.Timer(elapsed, alone_done.set)
        timer.start()
        alone = count_until(alone_done)
        self.assertEqual([zone_rows(r.zones) for r in results], [expected, expected])
        self.assertGreater(elapsed, one)  # the library analyses one page at a time
        self.assertGreater(ticks, alone / 5,
                           f"the main thread counted {ticks} times in {elapsed:.3f} s "
                           f"beside the analyses, {alone} alone")


class Leaks(unittest.TestCase):
    def test_a_thousand_analyses_keep_memory_and_references(self):
        page = text_page()
        path = ccitt_tiff(1)
        for _ in range(50):
            quadrel.analyse(page)
        quadrel.analyse(path)
        gc.collect()
        references, objects, rss = sys.getrefcount(page), len(gc.get_objects()), resident_kib()
        tracemalloc.start()
        before = tracemalloc.take_snapshot()
        for i in range(1000):
            layout = quadrel.analyse(page, params={400: 9})
            self.assertEqual(len(layout.zones), 5)
            if i % 100 == 0:
                quadrel.analyse(path)
        del layout
        gc.collect()
        grown = sum(s.size_diff for s in tracemalloc.take_snapshot().compare_to(before, "filename"))
        tracemalloc.stop()
        self.assertEqual(sys.getrefcount(page), references)
        self.assertLess(len(gc.get_objects()) - objects, 50)
        self.assertLess(grown, 64 * 1024, "Python memory grew")
        self.assertLess(resident_kib() - rss, 4 * 1024, "resident memory grew")


MEMORY_LIMITED_RUN = """
import resource, sys
import numpy as np
import quadrel
page = np.load(sys.argv[1])
expected = [tuple(z) for z in quadrel.analyse(page).zones]
with open("/proc/self/status") as f:
    base = next(int(l.split()[1]) for l in f if l.startswith("VmSize:")) * 1024
outcomes = []
for extra in range(8, 400, 8):
    limit = base + extra * 2**20
    resource.setrlimit(resource.RLIMIT_AS, (limit, resource.RLIM_INFINITY))
    try:
        zones = [tuple(z) for z in quadrel.analyse(page).zones]
        outcomes.append("same" if zones == expected else "different")
    except MemoryError:
        outcomes.append("MemoryError")
    finally:
        resource.setrlimit(resource.RLIMIT_AS, (resource.RLIM_INFINITY, resource.RLIM_INFINITY))
    if outcomes[-3:] == ["same"] * 3:
        break
print(" ".join(outcomes))
"""


class OutOfMemory(unittest.TestCase):
    def test_a_page_is_analysed_wholly_or_raises_memory_error(self):
        if "address" in os.environ.get("ASAN_OPTIONS", "") or "asan" in sys.modules:
            self.skipTest("sanitizers reserve more address space than a limit allows")
        page = np.tile(busy_page(), (2, 1))
        saved = os.path.join(os.path.dirname(ccitt_tiff(1)), "big-page.npy")
        np.save(saved, page)
        run = subprocess.run([sys.executable, "-c", MEMORY_LIMITED_RUN, saved],
                             capture_output=True, text=True, timeout=120)
        self.assertEqual(run.returncode, 0, run.stderr)
        outcomes = run.stdout.split()
        self.assertIn("MemoryError", outcomes)
        self.assertNotIn("different", outcomes)
        self.assertEqual(outcomes[-3:], ["same"] * 3)


if __name__ == "__main__":
    unittest.main()
