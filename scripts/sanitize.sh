#!/usr/bin/env bash
# Builds with AddressSanitizer and LeakSanitizer in build-asan/ and runs every test there:
# any leak of our own (engine handles, objects, windows) fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=ON
cmake --build build-asan -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
