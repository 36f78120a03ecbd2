#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Every place a user or a packager reads the version must show the one
# written in project(VERSION): the command line, the library SONAMEs, the
# pkg-config and CMake package files, the Debian packages, the Python module
# and Evalia's About box (checked by its own test). Usage: BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
major=${version%%.*}
failures=0
expect() { # what, found
    if [ "$2" = "$version" ]; then echo "ok   $1: $2"; else
        echo "FAIL $1: '$2', not '$version'"
        failures=$((failures + 1))
    fi
}
expect "quadrel --version" "$("$build/bin/quadrel" --version | awk '{print $2}')"
for lib in libquadrel.so libquadrel_memory.so; do
    soname=$(readelf -d "$build/bin/$lib" | sed -n 's/.*Library soname: \[\(.*\)\]/\1/p')
    expect "$lib SONAME major" "$([ "$soname" = "$lib.$major" ] && echo "$version" || echo "$soname")"
done
expect "quadrel.pc" "$(sed -n 's/^Version: //p' "$build/quadrel.pc")"
expect "QuadrelConfigVersion.cmake" \
    "$(sed -n 's/^set(PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/QuadrelConfigVersion.cmake")"
expect "Debian packages" "$(sed -n 's/^set(CPACK_PACKAGE_VERSION "\(.*\)")$/\1/p' "$build/CPackConfig.cmake")"
if [ -d "$build/python/quadrel" ]; then
    expect "Python quadrel.__version__" \
        "$(PYTHONPATH="$build/python" /usr/bin/python3 -c 'import quadrel; print(quadrel.__version__)')"
fi
exit $((failures > 0))
