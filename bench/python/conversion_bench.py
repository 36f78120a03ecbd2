# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""What handing a numpy page to quadrel.analyse costs beside the analysis.

A 300-dpi A4 page (2480 x 3508) is made from the CCITT test page 1 scaled by
1.5; each input form is analysed REPEAT times, and the same page pre-packed
(the library's own 1-bit rows, no conversion) gives the analysis alone.

    PYTHONPATH=build/python python3 bench/python/conversion_bench.py
"""

import os
import statistics
import subprocess
import sys
import tempfile
import time

import numpy as np
from PIL import Image

import quadrel
from quadrel import _quadrel

REPEAT = 20
A4_300 = (2480, 3508)


def a4_page():
    with tempfile.TemporaryDirectory() as scratch:
        pbm = os.path.join(scratch, "ccitt1.pbm")
        subprocess.run(["jbgtopbm", "/usr/share/jbigkit-testdata/ccitt1.jbg", pbm], check=True)
        page = Image.open(pbm).convert("1")
        page.load()
    return page.resize(A4_300, Image.NEAREST)


def best_of(call):
    times = []
    for _ in range(REPEAT):
        start = time.perf_counter()
        call()
        times.append(time.perf_counter() - start)
    return min(times), statistics.median(times)


def main():
    image = a4_page()
    ink = ~np.asarray(image)
    width, height = A4_300
    stride = (width + 7) // 8
    packed = np.packbits(ink, axis=1).tobytes()
    base = best_of(lambda: _quadrel.analyse_rows(packed, width, height, stride, 1, None, [],
                                                 (300, 300)))
    print(f"A4 at 300 dpi ({width} x {height}), {len(quadrel.analyse(ink).zones)} zones; "
          f"best and median of {REPEAT}")
    print(f"  {'pre-packed rows (analysis alone)':34s} {base[0] * 1e3:7.2f} ms "
          f"{base[1] * 1e3:7.2f} ms")
    forms = {
        "bool array": ink,
        "uint8 array (0 black)": np.where(ink, 0, 255).astype(np.uint8),
        "int64 array (0 black)": np.where(ink, 0, 1).astype(np.int64),
        "bool array, Fortran order": np.asfortranarray(ink),
        "PIL image, mode 1": image,
    }
    for name, source in forms.items():
        best, median = best_of(lambda: quadrel.analyse(source, dpi=300))
        share = (best - base[0]) / base[0]
        print(f"  {name:34s} {best * 1e3:7.2f} ms {median * 1e3:7.2f} ms   "
              f"conversion {max(best - base[0], 0) * 1e3:6.2f} ms = {share:6.1%} of the analysis")
    return 0


if __name__ == "__main__":
    sys.exit(main())
