#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Configures and builds into build/ (Release unless BUILD_TYPE says otherwise).
# Extra CMake arguments may follow, e.g. -DQUADREL_BUILD_GUI=OFF.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j2
