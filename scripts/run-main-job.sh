#!/usr/bin/env bash
# Sets everything up on a fresh Debian 12 machine, builds in Release and
# analyses a sample page, printing its zone table.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DQUADREL_BUILD_TESTS=OFF -DQUADREL_BUILD_BENCH=OFF
./build/bin/quadrel_demo
