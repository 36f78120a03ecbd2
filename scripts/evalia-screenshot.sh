#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Starts Evalia under a virtual X server on a CCITT fax page, analyses the
# page and saves a picture of the window.
#
#   scripts/evalia-screenshot.sh                        both pictures of docs/
#   scripts/evalia-screenshot.sh PAGE.tif OUT.png [EVALIA OPTIONS...]
#
# Without arguments it makes docs/evalia.png (fax page 1, a letter) and
# docs/evalia-table.png (fax page 3, a table, with the status bar's readout
# of a point inside the table), from Debian's jbigkit-testdata converted to
# Group 4 TIFF. The program is taken from $BUILD_DIR/bin (default:
# build/bin). The run fails when Evalia cannot open or analyse the page.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$root/build}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fax_page() { # number -> path of a Group 4 TIFF
    jbgtopbm "/usr/share/jbigkit-testdata/ccitt$1.jbg" "$work/page$1.pbm"
    ppm2tiff -c g4 -R 200 "$work/page$1.pbm" "$work/ccitt$1.tif"
    echo "$work/ccitt$1.tif"
}

shoot() { # page out [options...]
    local page=$1 out=$2
    shift 2
    mkdir -p "$(dirname "$out")"
    xvfb-run -a -s "-screen 0 1024x768x24" \
        "$build/bin/evalia" --process "$page" --screenshot "$out" "$@"
    echo "saved $out"
}

if [ $# -eq 0 ]; then
    shoot "$(fax_page 1)" "$root/docs/evalia.png"
    shoot "$(fax_page 3)" "$root/docs/evalia-table.png" --pointer 1200,1500
else
    shoot "$@"
fi
