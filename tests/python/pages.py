# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
"""Pages and programs the Python tests share: the CCITT fax pages as Group 4
TIFFs, synthetic pages drawn with numpy, and runs of `quadrel --json`."""

import functools
import json
import os
import re
import shutil
import subprocess
import tempfile
import unittest

import numpy as np

QUADREL = os.environ.get("QUADREL_CLI", "quadrel")
SCRATCH = tempfile.mkdtemp(prefix="quadrel-python-tests-")


@functools.cache
def ccitt_tiff(n):
    """CCITT test page n (1-8), 1728 x 2376 at 200 dpi, as a Group 4 TIFF."""
    jbg = f"/usr/share/jbigkit-testdata/ccitt{n}.jbg"
    if not (os.path.exists(jbg) and shutil.which("jbgtopbm") and shutil.which("ppm2tiff")):
        raise unittest.SkipTest("jbigkit-testdata, jbgtopbm or ppm2tiff missing")
    pbm = os.path.join(SCRATCH, f"ccitt{n}.pbm")
    tif = os.path.join(SCRATCH, f"ccitt{n}.tif")
    subprocess.run(["jbgtopbm", jbg, pbm], check=True, capture_output=True)
    subprocess.run(["ppm2tiff", "-c", "g4", "-R", "200", pbm, tif], check=True,
                   capture_output=True)
    return tif


def grey_tiff(path, grey):
    """An 8-bit grey TIFF of the 2-D uint8 array `grey`, through PIL."""
    from PIL import Image

    Image.fromarray(grey, mode="L").save(path, dpi=(200, 200))
    return path


def text_page(width=800, height=600):
    """A small page of ink blocks in rows, like lines of words, under a rule:
    True is ink. The analysis finds a line zone and text zones on it."""
    page = np.zeros((height, width), dtype=bool)
    for top in range(30, height - 40, 60):
        for left in range(30, width - 90, 200):
            page[top:top + 12, left:left + 80] = True
            page[top + 3:top + 9, left + 10:left + 14] = False
    page[10:13, 20:width - 20] = True  # a rule above the text
    return page


def quadrel_json(*args):
    """The pages of `quadrel --json ARGS...`, each with its zones."""
    result = subprocess.run([QUADREL, "--json", "--quiet", *args], capture_output=True,
                            text=True, check=False)
    if result.returncode not in (0, 1):
        raise AssertionError(f"quadrel exited with {result.returncode}: {result.stderr}")
    return json.loads(result.stdout)["pages"]


def zone_rows(zones):
    """(content, left, top, right, bottom) of the JSON zones or Zone objects."""
    if zones and isinstance(zones[0], dict):
        return [(z["content"], z["left"], z["top"], z["right"], z["bottom"]) for z in zones]
    return [(int(z.kind), z.left, z.top, z.right, z.bottom) for z in zones]


# The standard layout formats: the command line's option and the Layout
# method for each.
LAYOUT_FORMATS = {"--page-xml": "to_page_xml", "--alto": "to_alto", "--hocr": "to_hocr"}


def without_timestamps(text):
    """The text with the creation times of PAGE XML and ALTO blanked."""
    return re.sub(r"<(Created|LastChange|processingDateTime)>[^<]*<", r"<\1><", text)


def quadrel_layout_files(path, *args):
    """What `quadrel ARGS... --page-xml --alto --hocr PATH` writes, by option."""
    folder = tempfile.mkdtemp(dir=SCRATCH)
    outputs = {option: os.path.join(folder, option.strip("-")) for option in LAYOUT_FORMATS}
    command = [QUADREL, "--quiet", *args]
    for option, output in outputs.items():
        command += [option, output]
    subprocess.run([*command, path], check=True, capture_output=True)
    texts = {}
    for option, output in outputs.items():
        with open(output, encoding="utf-8", newline="") as f:
            texts[option] = f.read()
    return texts
