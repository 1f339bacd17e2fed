#!/bin/sh
# The debugger's costs (DebugBench.cpp), pause to paint in the window (PaintBench.cpp)
# and the two routes to breakpoints side by side (InstrumentBench.cpp, instrument.js).
# Builds with -DVEXO_BENCH=ON into build-bench/.
# Usage: bench/debug/run.sh [runs] [costs|routes]
set -e
cd "$(dirname "$0")/../.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_BENCH=ON -DVEXO_TESTS=OFF >/dev/null
runs="${1:-5}"
case "${2:-all}" in
costs | all)
    cmake --build build-bench --target vexo-debug-bench
    build-bench/vexo-debug-bench "$runs"
    cmake --build build-bench --target vexo-debug-paint-bench
    build-bench/vexo-debug-paint-bench "$runs"
    ;;
esac
case "${2:-all}" in
routes | all)
    cmake --build build-bench --target vexo-instrument-bench
    build-bench/vexo-instrument-bench "$runs"
    ;;
esac
