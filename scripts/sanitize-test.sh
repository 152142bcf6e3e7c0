#!/usr/bin/env bash
# Builds every test with AddressSanitizer + UndefinedBehaviorSanitizer in
# build-asan/ and runs them. Usage: scripts/sanitize-test.sh [ctest args]
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/deps.sh
planning_install_deps
PLANNING_CMAKE_ARGS="-DCMAKE_BUILD_TYPE=Debug -DPLANNING_SANITIZE=ON -DPLANNING_WERROR=ON -DPLANNING_BUILD_BENCHMARKS=OFF" \
    planning_build build-asan
# Qt's plugins, fontconfig and D-Bus keep caches to the end of the process:
# leaks are not checked. strict_string_checks stays off: libxkbcommon's
# strndup of unterminated X replies trips it. new_delete_type_mismatch is off:
# Qt WebEngine's own Chromium code deletes through a base of another size when
# a page closes. Every other error stops the test.
export ASAN_OPTIONS="detect_leaks=0:abort_on_error=1:detect_stack_use_after_return=1:new_delete_type_mismatch=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd build-asan
ctest --output-on-failure -j"$(nproc)" --timeout 900 "$@"
