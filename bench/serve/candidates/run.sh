#!/usr/bin/env bash
# The HTTP library candidates side by side: each answers POST /call from a pool of two
# threads (as the service answers from its engines). Correctness first (check.py:
# pipelined requests in order, 100 concurrent keep-alive clients), then wrk with 1, 4, 16
# and 100 connections.   bench/serve/candidates/run.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")"
seconds=${1:-4}
bin=$(./build.sh | tail -1)
declare -A servers=([libmicrohttpd]=mhd_server [qt-httpserver]=qt_server)
port=18181
for name in "${!servers[@]}"; do
    port=$((port + 1))
    "$bin/${servers[$name]}" $port 2 & pid=$!
    sleep 0.5
    echo "== $name"
    timeout 120 python3 check.py $port || echo "check failed"
    for c in 1 4 16 100; do
        t=$c; [ $t -gt 2 ] && t=2
        printf "%s connections: " $c
        wrk -t$t -c$c -d${seconds}s --latency -s call.lua http://127.0.0.1:$port/call |
            awk '/Requests\/sec/ {r=$2} / 50%/ {p50=$2} / 99%/ {p99=$2} END {print r " req/s, p50 " p50 ", p99 " p99}'
    done
    kill $pid 2>/dev/null && wait $pid 2>/dev/null || echo "$name had ended (crashed) during the run"
done
