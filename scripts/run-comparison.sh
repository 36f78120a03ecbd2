#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Times Quadrel's default pipe against Leptonica's page segmentation and
# Tesseract's layout analysis (and the two component extractions, and the
# deskewing pipe against pixGetRegionsBinary + pixFindSkew) on the CCITT fax
# pages and generated pages of many kinds, and prints a Markdown table with
# the machine it ran on.
#
# Installs libleptonica-dev and libtesseract-dev when missing, builds
# compare_bench in Release into $BUILD_DIR (default build-compare) and runs
# it. Usage: scripts/run-comparison.sh [repetitions]   (default 15)
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-compare}
repetitions=${1:-15}

missing=()
for p in libleptonica-dev libtesseract-dev; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUADREL_BUILD_GUI=OFF \
    -DQUADREL_BUILD_BENCH=ON >/dev/null
cmake --build "$BUILD_DIR" -j2 --target compare_bench

cpu=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, $(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Leptonica $(pkg-config --modversion lept), Tesseract $(pkg-config --modversion tesseract), $(date -u +%Y-%m-%d)"
echo
# One thread for every subject: the comparison is of work, not of parallelism.
# Freed heap is kept in the process for every subject, as `quadrel` keeps it:
# with glibc's defaults large blocks go back to the kernel between calls, and
# the page faults of taking them again (counted in thread CPU time) swing the
# medians of the largest pages by up to three times.
echo "Heap kept between calls: MALLOC_MMAP_THRESHOLD_=32 MiB, MALLOC_TRIM_THRESHOLD_=128 MiB"
echo
MALLOC_MMAP_THRESHOLD_=33554432 MALLOC_TRIM_THRESHOLD_=134217728 OMP_THREAD_LIMIT=1 \
    "$BUILD_DIR/bin/compare_bench" "$repetitions" 2>/dev/null
