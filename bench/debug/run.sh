#!/bin/sh
# The debugger's costs (see DebugBench.cpp). Builds with -DVEXO_BENCH=ON into build-bench/.
set -e
cd "$(dirname "$0")/../.."
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXO_BENCH=ON -DVEXO_TESTS=OFF >/dev/null
cmake --build build-bench --target vexo-debug-bench
build-bench/vexo-debug-bench "${1:-5}"
