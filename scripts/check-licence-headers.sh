#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Every source file of the project starts with its SPDX licence line and one
# copyright line (after a #! line where there is one). Prints the files that
# do not and fails; with --fix, adds the two lines to them.
set -euo pipefail
cd "$(dirname "$0")/.."
fix=${1:-}
missing=0
while IFS= read -r file; do
    head -n 3 "$file" | grep -q "SPDX-License-Identifier: Apache-2.0" && continue
    if [ "$fix" != "--fix" ]; then
        echo "no licence header: $file"
        missing=1
        continue
    fi
    case "$file" in
    *.c | *.h | *.cpp | *.hpp | *.in.h) lead="// " ;;
    *) lead="# " ;;
    esac
    case "$file" in *.c | *quadrel_version.h.in | library/la_api.h | platform/quadrel_memory.h) lead="C" ;; esac
    if [ "$lead" = "C" ]; then
        header="/* SPDX-License-Identifier: Apache-2.0 */\n/* Copyright 2026 The Quadrel authors */"
    else
        header="${lead}SPDX-License-Identifier: Apache-2.0\n${lead}Copyright 2026 The Quadrel authors"
    fi
    if head -n 1 "$file" | grep -q '^#!'; then
        sed -i "1a\\$(printf '%s' "$header" | sed 's/\\n/\\\n/')" "$file"
    else
        sed -i "1i\\$(printf '%s' "$header" | sed 's/\\n/\\\n/')" "$file"
    fi
done < <(git ls-files -- '*.c' '*.h' '*.cpp' '*.hpp' '*.py' '*.pyi' '*.sh' '*.cmake' '*.in' \
    'CMakeLists.txt' '.ci/run' | grep -v '^fuzz/corpus/')
exit $missing
