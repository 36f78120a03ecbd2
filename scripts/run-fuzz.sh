#!/usr/bin/env bash
# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The Quadrel authors
# Builds the libFuzzer targets with clang (AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for a bounded time from its
# starting inputs in fuzz/corpus/<target>/. Fails on any finding: a crash, a
# sanitizer report, a leak, a timeout or an out-of-memory.
#
#   FUZZ_SECONDS    seconds per target (default 60)
#   FUZZ_TARGETS    targets to run (default: all five)
#   FUZZ_BUILD_DIR  build directory (default build-fuzz)
#
# Inputs that reach new code are kept in <build dir>/corpus/<target>/, never
# in the repository; a finding is saved as <build dir>/findings/<target>-*.
# Reproduce one with: <build dir>/bin/<target> <file>
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${FUZZ_BUILD_DIR:-build-fuzz}
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
FUZZ_TARGETS=${FUZZ_TARGETS:-"la_execute_fuzzer tiff_reader_fuzzer layout_xml_fuzzer png_reader_fuzzer pnm_reader_fuzzer"}

sanitize="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
CC=clang CXX=clang++ cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DQUADREL_BUILD_FUZZ=ON -DQUADREL_BUILD_GUI=OFF -DQUADREL_BUILD_TESTS=OFF \
    -DQUADREL_BUILD_BENCH=OFF \
    -DCMAKE_C_FLAGS="-O1 -fno-omit-frame-pointer $sanitize" \
    -DCMAKE_CXX_FLAGS="-O1 -fno-omit-frame-pointer $sanitize" >/dev/null
# Only the fuzz targets: they link the static libraries, nothing else is needed.
# shellcheck disable=SC2086
cmake --build "$BUILD_DIR" -j2 --target $FUZZ_TARGETS

# Longest input per target: the analysis repeats its payload over the page, so
# a few KB reach every page size; TIFF files need room for several directories.
max_len() {
    case "$1" in
    la_execute_fuzzer) echo 4096 ;;
    tiff_reader_fuzzer) echo 16384 ;;
    layout_xml_fuzzer) echo 4096 ;;
    png_reader_fuzzer | pnm_reader_fuzzer) echo 8192 ;;
    *) echo 4096 ;;
    esac
}

# A failed allocation returns null (and so reaches the code's own handling of
# std::bad_alloc); libFuzzer still reports any single allocation beyond the
# memory limit as a finding.
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
# Leaks inside third-party libraries that the code cannot reach (fuzz/lsan.supp says which).
LSAN_OPTIONS=suppressions="$(pwd)/fuzz/lsan.supp"
export LSAN_OPTIONS
mkdir -p "$BUILD_DIR/findings" "$BUILD_DIR/tmp"
# Files the targets write (the XML writer's) stay in the build directory.
TMPDIR="$(cd "$BUILD_DIR/tmp" && pwd)"
export TMPDIR
failed=()
for target in $FUZZ_TARGETS; do
    work="$BUILD_DIR/corpus/$target"
    mkdir -p "$work"
    echo "== $target: ${FUZZ_SECONDS} s =="
    if ! "$BUILD_DIR/bin/$target" "$work" "fuzz/corpus/$target" \
        -max_total_time="$FUZZ_SECONDS" -max_len="$(max_len "$target")" \
        -timeout=20 -rss_limit_mb=3072 -print_final_stats=1 \
        -artifact_prefix="$BUILD_DIR/findings/$target-" 2>"$BUILD_DIR/$target.log"; then
        tail -n 60 "$BUILD_DIR/$target.log"
        failed+=("$target")
    else
        grep -E '^stat::(number_of_executed_units|peak_rss_mb)|^Done' "$BUILD_DIR/$target.log" || true
    fi
done
if [ ${#failed[@]} -gt 0 ]; then
    echo "Fuzzing found faults in: ${failed[*]} (inputs in $BUILD_DIR/findings/)"
    exit 1
fi
echo "Fuzzing found nothing."
