#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Runs clang-tidy (checks in .clang-tidy) over the product code: the library, the
# memory layer, the image library, the shared zone output and both programs.
# Tests, benchmarks and fuzz targets are not product code and are left out.
# Needs a configured build directory with compile_commands.json (default build/).
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
command -v run-clang-tidy-14 >/dev/null || {
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends clang-tidy
}
[ -f "$BUILD_DIR/compile_commands.json" ] || {
    echo "run-clang-tidy: no $BUILD_DIR/compile_commands.json; configure a build first" >&2
    exit 2
}
run-clang-tidy-14 -p "$BUILD_DIR" -quiet -j "${JOBS:-2}" \
    "$PWD/(library|platform|imaging|zones|cli|evalia|viewer|python)/.*\.(c|cpp)$" 2>/dev/null |
    { grep -v "^clang-tidy-14 \|warnings generated\|^Suppressed\|^Use -header-filter\|NOLINT" || true; } |
    tee /tmp/clang-tidy.out
! grep -q "error:\|warning:" /tmp/clang-tidy.out
