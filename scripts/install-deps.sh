#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Installs the Debian 12 packages needed to build, test and run Quadrel and Evalia.
set -euo pipefail
packages=(
    build-essential cmake ninja-build pkg-config clang
    dpkg-dev file jq
    libtiff-dev libpng-dev libnetpbm-dev qt6-base-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libcli11-dev nlohmann-json3-dev
    pybind11-dev python3-pybind11 python3-dev python3-numpy python3-pil
    python3-dask python3-distributed
    jbigkit-bin jbigkit-testdata libtiff-tools libxml2-utils python3-jsonschema
    xvfb xauth
)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO=sudo
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
