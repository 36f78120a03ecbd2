#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Times a whole `quadrel --json` run on a CCITT fax page against `tiffinfo`
# on the same page, side by side with hyperfine: the program starts, reads
# the page, analyses it and prints its zones, so the figure covers loading
# shared libraries as well as the analysis. The pages are made as
# scripts/run-main-job.sh makes its sample (jbigkit-testdata, Group 4, 200 dpi).
#
# Usage: bench/startup/compare_startup.sh [page ...]   (default ccitt1 ccitt4 ccitt7)
# Uses $BUILD_DIR/bin/quadrel (default build/, built by scripts/build.sh).
# Also prints `quadrel --version`, the start-up alone.
set -euo pipefail
cd "$(dirname "$0")/../.."
BUILD_DIR=${BUILD_DIR:-build}
quadrel="$BUILD_DIR/bin/quadrel"
[ -x "$quadrel" ] || { echo "no $quadrel: build first (scripts/build.sh)" >&2; exit 1; }
for tool in hyperfine tiffinfo jbgtopbm ppm2tiff; do
    command -v "$tool" >/dev/null || { echo "$tool is needed (see scripts/install-deps.sh)" >&2; exit 1; }
done

pages=("$@")
((${#pages[@]})) || pages=(ccitt1 ccitt4 ccitt7)
work="$BUILD_DIR/startup"
mkdir -p "$work"

cpu=$(grep -m1 '^model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')
echo "Machine: $(nproc) cores, ${cpu:-unknown CPU}, $(uname -sr); load average $(cut -d' ' -f1-3 /proc/loadavg)"
echo "Date: $(date -u +%Y-%m-%d); shared libraries quadrel loads: $(ldd "$quadrel" | wc -l)"
echo
hyperfine -N --warmup 5 --min-runs 30 --style basic --export-markdown "$work/version.md" \
    -n "quadrel --version" "$quadrel --version" >/dev/null 2>&1
cat "$work/version.md"
echo
for page in "${pages[@]}"; do
    jbgtopbm "/usr/share/jbigkit-testdata/$page.jbg" "$work/$page.pbm"
    ppm2tiff -c g4 -R 200 "$work/$page.pbm" "$work/$page.tif"
    # -N: no shell in between, whose start-up would dwarf tiffinfo (paths
    # must therefore be free of spaces).
    hyperfine -N --warmup 5 --min-runs 30 --style basic --export-markdown "$work/$page.md" \
        -n "quadrel --json $page" "$quadrel --json $work/$page.tif" \
        -n "tiffinfo $page" "tiffinfo $work/$page.tif" >/dev/null 2>&1
    cat "$work/$page.md"
    echo
done
