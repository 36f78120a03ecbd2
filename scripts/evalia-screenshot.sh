#!/usr/bin/env bash
# Starts Evalia under a virtual X server on a CCITT fax page, analyses the
# page and saves a picture of the window.
#
#   scripts/evalia-screenshot.sh [PAGE.tif] [OUT.png]
#
# PAGE defaults to fax page 1 of Debian's jbigkit-testdata, converted to a
# Group 4 TIFF; OUT defaults to docs/evalia.png. The program is taken from
# $BUILD_DIR/bin (default: build/bin).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}
page=${1:-}
out=${2:-$root/docs/evalia.png}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ -z "$page" ]; then
    jbgtopbm /usr/share/jbigkit-testdata/ccitt1.jbg "$work/page.pbm"
    ppm2tiff -c g4 -R 200 "$work/page.pbm" "$work/ccitt1.tif"
    page=$work/ccitt1.tif
fi

mkdir -p "$(dirname "$out")"
xvfb-run -a -s "-screen 0 1024x768x24" \
    "$build/bin/evalia" --process "$page" --screenshot "$out"
echo "saved $out"
