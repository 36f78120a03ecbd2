#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Checks Quadrel as a user outside this tree gets it, from an existing build
# tree (BUILD_DIR, default build/, Release with the command line):
#   1. `cmake --install` into a temporary prefix: the headers, both shared
#      libraries, the CMake package and quadrel.pc are there, and
#      libquadrel.so exports exactly the eleven LA_ functions;
#   2. the installed examples build out of tree twice, with find_package and
#      with pkg-config, and their zones for a real page (CCITT fax page 3 as
#      a PBM file) equal the zones `quadrel --json` gives for the same page;
#   3. `cpack -G DEB` makes the Debian packages; with --system they are
#      installed with `dpkg -i` (CI, as root on a throwaway machine) and
#      removed again at the end; otherwise each dependency is checked against
#      the installed packages and the new ones, and the packages are unpacked
#      into a tree. The examples are built against the packaged files and
#      compared again, and so are the packaged command line and Python module.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=$(realpath "${BUILD_DIR:-build}")
system=0
[ "${1:-}" = "--system" ] && system=1
work=$(mktemp -d)
installed_packages=()
cleanup() {
    if ((${#installed_packages[@]})); then dpkg -r "${installed_packages[@]}" >/dev/null; fi
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "check-install: $*" >&2; exit 1; }

# The page, and the zones the command line of this build finds on it.
jbgtopbm /usr/share/jbigkit-testdata/ccitt3.jbg "$work/page.pbm"
ppm2tiff -c g4 -R 200 "$work/page.pbm" "$work/page.tif"
zones_of_json() {
    jq -r '.pages[0].zones[] | "\(.left) \(.top) \(.right) \(.bottom) \(.content)"'
}
"$BUILD_DIR/bin/quadrel" --json "$work/page.tif" | zones_of_json >"$work/expected.txt"
[ -s "$work/expected.txt" ] || fail "quadrel --json found no zones"
echo "quadrel --json: $(wc -l <"$work/expected.txt") zones on ccitt3"

# Whether one dependency ("name (op version)", alternatives split by "|") is
# met by a package of this machine or by one of the new packages.
dependency_met() {
    local alternative name op version have
    IFS='|' read -ra alternatives <<<"$1"
    for alternative in "${alternatives[@]}"; do
        read -r name op version <<<"$(echo "$alternative" | tr -d '()')"
        have=$(cat "$work/debs/$name.version" 2>/dev/null ||
            dpkg-query -W -f='${Version}' "$name" 2>/dev/null || true)
        [ -n "$have" ] || continue
        [ -z "$op" ] || dpkg --compare-versions "$have" "$op" "$version" || continue
        return 0
    done
    return 1
}

# Runs an example on the page and compares its zone lines with the expected ones.
same_zones() {
    local name=$1
    shift
    "$@" "$work/page.pbm" | grep -v '^#' | cut -d' ' -f1-5 >"$work/$name.txt"
    diff -q "$work/expected.txt" "$work/$name.txt" >/dev/null ||
        { diff -u "$work/expected.txt" "$work/$name.txt" | head -20; fail "$name: zones differ"; }
    echo "$name: same zones"
}

# Builds the examples of an installed prefix both ways and compares them.
check_prefix() {
    local prefix=$1 label=$2
    local examples="$prefix/share/doc/quadrel/examples"
    for f in include/quadrel/la_api.h include/quadrel/quadrel_memory.h include/quadrel/quadrel.hpp \
        lib/libquadrel.so.1 lib/libquadrel_memory.so.1 lib/libquadrel.so lib/libquadrel_memory.so \
        lib/cmake/Quadrel/QuadrelConfig.cmake lib/cmake/Quadrel/QuadrelConfigVersion.cmake \
        lib/pkgconfig/quadrel.pc; do
        [ -e "$prefix/$f" ] || fail "$label: $f is missing"
    done
    exports=$(nm -D --defined-only "$prefix/lib/libquadrel.so" | awk '{print $3}' | sort)
    [ "$(echo "$exports" | grep -c '^LA_')" = 11 ] && [ "$(echo "$exports" | wc -l)" = 11 ] ||
        fail "$label: libquadrel.so exports more than the eleven LA_ functions: $exports"

    cmake -S "$examples" -B "$work/$label-cmake" -G Ninja -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/$label-cmake" >/dev/null
    same_zones "$label find_package C" "$work/$label-cmake/page_zones"
    same_zones "$label find_package C++" "$work/$label-cmake/page_zones_cpp"

    export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
    local libdir
    libdir=$(pkg-config --variable=libdir quadrel)
    cc -std=c99 -Wall -Wextra -Werror "$examples/page_zones.c" -o "$work/$label-pc-c" \
        $(pkg-config --cflags --libs quadrel) -Wl,-rpath,"$libdir"
    c++ -std=c++20 -Wall -Wextra -Werror "$examples/page_zones.cpp" -o "$work/$label-pc-cpp" \
        $(pkg-config --cflags --libs quadrel) -Wl,-rpath,"$libdir"
    unset PKG_CONFIG_PATH
    same_zones "$label pkg-config C" "$work/$label-pc-c"
    same_zones "$label pkg-config C++" "$work/$label-pc-cpp"
}

echo "== cmake --install into a temporary prefix =="
cmake --install "$BUILD_DIR" --prefix "$work/prefix" >/dev/null
check_prefix "$work/prefix" install

echo "== Debian packages =="
(cd "$BUILD_DIR" && cpack -G DEB -B "$work/debs" >"$work/cpack.log" 2>&1) ||
    { cat "$work/cpack.log"; fail "cpack failed"; }
debs=("$work"/debs/*.deb)
for deb in "${debs[@]}"; do
    printf '%s\n    Depends: %s\n' "$(basename "$deb")" "$(dpkg-deb -f "$deb" Depends)"
done
for package in libquadrel1 libquadrel-dev quadrel; do
    ls "$work/debs/${package}_"*.deb >/dev/null 2>&1 || fail "no $package package"
done
if ((system)); then
    dpkg -i "${debs[@]}" >/dev/null
    for deb in "${debs[@]}"; do installed_packages+=("$(dpkg-deb -f "$deb" Package)"); done
    root=/usr
else
    for deb in "${debs[@]}"; do
        dpkg-deb -f "$deb" Version >"$work/debs/$(dpkg-deb -f "$deb" Package).version"
    done
    for deb in "${debs[@]}"; do
        IFS=',' read -ra depends <<<"$(dpkg-deb -f "$deb" Depends)"
        for dependency in "${depends[@]}"; do
            dependency_met "$dependency" || fail "$(basename "$deb"): unmet dependency $dependency"
        done
    done
    for deb in "${debs[@]}"; do dpkg-deb -x "$deb" "$work/root"; done
    root="$work/root/usr"
fi
check_prefix "$root" deb
"$root/bin/quadrel" --json "$work/page.tif" | zones_of_json >"$work/packaged-cli.txt"
diff -q "$work/expected.txt" "$work/packaged-cli.txt" >/dev/null || fail "packaged quadrel differs"
echo "packaged quadrel: same zones"
if ls "$work/debs/python3-quadrel_"*.deb >/dev/null 2>&1; then
    python_dir=$(/usr/bin/python3 -c 'import sys; print("python%d.%d" % sys.version_info[:2])')
    PYTHONPATH="$root/lib/$python_dir/dist-packages" /usr/bin/python3 -c '
import sys, quadrel
for z in quadrel.analyse(sys.argv[1]).zones:
    print(z.left, z.top, z.right, z.bottom, int(z.kind))' "$work/page.tif" \
        >"$work/packaged-python.txt"
    diff -q "$work/expected.txt" "$work/packaged-python.txt" >/dev/null ||
        fail "packaged Python module differs"
    echo "packaged python3-quadrel: same zones"
fi
echo "check-install: all checks passed"
