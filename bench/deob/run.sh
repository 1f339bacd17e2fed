#!/usr/bin/env bash
# The deobfuscation benchmark: every fixture through `vexojs-cli deobfuscate` (whole
# process, as a user runs it), then the recovery table (same output, every string literal
# back, no decoder call left), then the time for large obfuscated scripts.
#   bench/deob/run.sh [BUILD_DIR]      (default build/)
# Needs node, and javascript-obfuscator in /tmp/deobref for the large inputs
# (npm install --prefix /tmp/deobref javascript-obfuscator jsfuck); js-confuser in
# /tmp/jsc-tools for its large samples (skipped without it).
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
results=/tmp/vexo-deob-results
rm -rf "$results"
for dir in tests/data/deob/*/; do
    variant=$(basename "$dir")
    [ "$variant" = programs ] && continue
    mkdir -p "$results/$variant"
    for f in "$dir"*.js; do
        "$build/vexojs-cli" deobfuscate "$f" > "$results/$variant/$(basename "$f")" || true
    done
done
node bench/deob/recovery.js "$results"

for kb in 100 300; do
    big=/tmp/vexo-big-$kb.js
    [ -f "$big" ] || node bench/deob/make-big.js $kb "$big"
    for run in 1 2 3; do
        /usr/bin/time -f "$(stat -c %s "$big") bytes, run $run: %e s wall, %U s user + %S s system" \
            "$build/vexojs-cli" deobfuscate "$big" > /dev/null
    done
done

# Large js-confuser samples (js-confuser in /tmp/jsc-tools: npm install --prefix
# /tmp/jsc-tools js-confuser@2): the low preset on about 100 KB of output, and control-flow
# flattening on 6 KB of source (about 280 KB of output).
if [ -d /tmp/jsc-tools/node_modules/js-confuser ]; then
    for sample in "low 10 {\"preset\":\"low\"}" "cff 6 {\"controlFlowFlattening\":true}"; do
        set -- $sample
        big=/tmp/vexo-confuser-$1.js
        [ -f "$big" ] || node bench/deob/make-confuser-big.js "$2" "$big" "$3"
        for run in 1 2 3; do
            /usr/bin/time -f "js-confuser $1, $(stat -c %s "$big") bytes, run $run: %e s wall, %U s user + %S s system, %M KB" \
                "$build/vexojs-cli" deobfuscate "$big" > /dev/null
        done
    done
fi

# Plain libraries (Debian's libjs-jquery and libjs-underscore, when installed) unharmed.
node bench/deob/plain.js "$build"
