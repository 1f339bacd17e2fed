#!/usr/bin/env bash
# Runs every test under a sanitizer.
#   scripts/sanitize.sh          AddressSanitizer and LeakSanitizer in build-asan/: any leak
#                                of our own (engine handles, objects, windows) fails the run
#   scripts/sanitize.sh thread   ThreadSanitizer in build-tsan/ (the engine library itself
#                                is not instrumented; tests/tsan.supp names its internals)
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = thread ]; then
    # Set before the build: the test lists are read by running the test programs.
    # die_after_fork=0: tests start helper processes (servers, the CLI) from threaded code.
    export TSAN_OPTIONS="suppressions=$PWD/tests/tsan.supp:halt_on_error=0:second_deadlock_stack=1:die_after_fork=0"
    # ThreadSanitizer holds back signals until the thread calls into instrumented code,
    # which a compiled script loop never does: the engine's signal-based interrupts would
    # never arrive and "停止" would never take. Polling interrupts need no signal.
    export JSC_usePollingTraps=1
    cmake -S . -B build-tsan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXO_TSAN=ON
    cmake --build build-tsan -j "$(nproc)"
    cd build-tsan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
    exit
fi
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVEXO_SANITIZE=ON
cmake --build build-asan -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:fast_unwind_on_malloc=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
cd build-asan && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j "$(nproc)"
