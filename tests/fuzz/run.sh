#!/usr/bin/env bash
# Builds the libFuzzer harness with clang (AddressSanitizer, coverage in the whole core)
# into build-fuzz/ and runs it.
#   tests/fuzz/run.sh [SECONDS] [extra libFuzzer options]
# Syntax-tree checks need node and acorn (npm install --prefix /tmp/refjs acorn); set
# VEXO_FUZZ_ACORN for another folder. Findings are collected in build-fuzz/findings/ and
# the run goes on; the corpus grows in build-fuzz/corpus/.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-600}"
shift || true

if [ ! -f build-fuzz/build.ninja ]; then
    CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DVEXO_FUZZ=ON -DVEXO_SANITIZE=ON -DVEXO_TESTS=OFF
fi
cmake --build build-fuzz --target vexo-fuzz
mkdir -p build-fuzz/corpus build-fuzz/findings

export VEXO_FUZZ_NODE="${VEXO_FUZZ_NODE:-$(command -v node || true)}"
export VEXO_FUZZ_ACORN="${VEXO_FUZZ_ACORN:-/tmp/refjs}"
export VEXO_FUZZ_FINDINGS="${VEXO_FUZZ_FINDINGS:-$PWD/build-fuzz/findings}"
# The engine's leaks at exit are not ours to chase here; scripts/sanitize.sh covers ours.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"
# JavaScriptCore suspends its threads with SIGUSR1: libFuzzer must leave it alone.
exec nice -n 19 build-fuzz/vexo-fuzz -handle_usr1=0 -handle_usr2=0 -detect_leaks=0 \
    -max_len=2048 -len_control=0 -timeout=120 -rss_limit_mb=6144 -print_final_stats=1 \
    -artifact_prefix=build-fuzz/findings/ -max_total_time="$seconds" "$@" build-fuzz/corpus
