#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Sets everything up on a fresh Debian 12 machine, builds in Release and
# analyses a real scanned page (CCITT fax page 3 from jbigkit-testdata,
# converted to a Group 4 TIFF at 200 dpi): prints its zone table and writes
# its XML layout file and half-size outlined image into build/sample/.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
bash scripts/install-deps.sh
bash scripts/build.sh -DQUADREL_BUILD_TESTS=OFF -DQUADREL_BUILD_BENCH=OFF
sample="$BUILD_DIR/sample"
mkdir -p "$sample"
jbgtopbm /usr/share/jbigkit-testdata/ccitt3.jbg "$sample/ccitt3.pbm"
ppm2tiff -c g4 -R 200 "$sample/ccitt3.pbm" "$sample/ccitt3.tif"
"$BUILD_DIR/bin/quadrel" --xml "$sample/ccitt3.xml" --outlined "$sample/ccitt3-outlined.tif" \
    "$sample/ccitt3.tif"
