#!/usr/bin/env bash
# Peak memory and time of `vexojs-cli deobfuscate` on plain (not obfuscated) bundles of
# 1 MB and 5 MB (make-plain.js: Debian's jQuery and underscore, repeated): whole process,
# one run at a time, each under a time and address-space limit.
#   bench/deob/memory.sh [BUILD_DIR] [SIZES_KB...]     (default build/, 1024 5120)
set -euo pipefail
cd "$(dirname "$0")/../.."
build="${1:-build}"
shift || true
sizes=("${@:-1024 5120}")
for kb in ${sizes[@]}; do
    input=/tmp/vexo-deob-plain-$kb.js
    [ -f "$input" ] || node bench/deob/make-plain.js "$kb" "$input" > /dev/null
    bytes=$(stat -c %s "$input")
    log=$(mktemp)
    status=0
    (ulimit -v 24000000; timeout 900 /usr/bin/time -v "$build/vexojs-cli" deobfuscate "$input" \
        > /dev/null 2> "$log") || status=$?
    seconds=$(sed -n 's/.*Elapsed (wall clock) time (h:mm:ss or m:ss): //p' "$log")
    rss=$(sed -n 's/.*Maximum resident set size (kbytes): //p' "$log")
    awk -v b="$bytes" -v r="$rss" -v s="$seconds" -v st="$status" 'BEGIN {
        printf "%d bytes: %s wall, peak %.0f MB (%.0f times the input), exit %d\n",
            b, s, r / 1024, r * 1024 / b, st }'
    rm -f "$log"
done
