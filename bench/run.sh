#!/usr/bin/env bash
# Runs every benchmark side by side with the reference tools, on this machine.
#   bench/run.sh            all
#   bench/run.sh startup    one group: startup | script | memory | tools | decode | io
# Reference tools (node's js-beautify, esbuild, terser) are installed with npm into
# /tmp/vexo-ref; none of their code is part of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
group=${1:-all}
work=/tmp/vexo-bench
ref=/tmp/vexo-ref
mkdir -p "$work"

cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DVEXO_TESTS=OFF -DVEXO_BENCH=ON >/dev/null
cmake --build build-bench >/dev/null

best_of() { # best_of N command... : prints the best wall time in ms
    local n=$1; shift
    local best=999999999
    for _ in $(seq "$n"); do
        local s e
        s=$(date +%s%N)
        "$@" >/dev/null 2>&1
        e=$(( ($(date +%s%N) - s) / 1000000 ))
        (( e < best )) && best=$e
    done
    echo "$best"
}

if [[ $group == all || $group == startup ]]; then
    echo "== start-up: launch to window shown (offscreen platform, 5 runs)"
    for _ in 1 2 3 4 5; do QT_QPA_PLATFORM=offscreen build-bench/vexojs-driver --startup-probe 2>/dev/null; done
    echo "whole process (launch, show, teardown): $(QT_QPA_PLATFORM=offscreen best_of 5 build-bench/vexojs-driver --startup-probe) ms"
    if command -v xvfb-run >/dev/null; then
        echo "== start-up on an X server (Xvfb), 5 runs"
        for _ in 1 2 3 4 5; do xvfb-run -a build-bench/vexojs-driver --startup-probe 2>/dev/null; done
    fi
fi

if [[ $group == all || $group == script ]]; then
    node bench/gen-scripts.js "$work"
    echo "== script host: vexojs (JavaScriptCore, through the script thread) vs node $(node --version)"
    echo "-- vexojs"; build-bench/vexo-script-bench "$work/big5mb.js" "$work/functions10k.js"
    echo "-- node";   node bench/node-script-bench.js "$work/big5mb.js" "$work/functions10k.js"
fi

if [[ $group == all || $group == memory ]]; then
    build-bench/vexo-load-memory-bench --write-demo "$work/demo.js"
    echo "== resident memory over 1,000 loads of the demonstration script"
    echo "-- vexojs (\"加载代码\" in the window, offscreen)"; build-bench/vexo-load-memory-bench 1000
    echo "-- node $(node --version) (a fresh vm context each round)"; node bench/node-load-memory.js "$work/demo.js" 1000
fi

if [[ $group == all || $group == tools ]]; then
    [[ -x $ref/node_modules/.bin/js-beautify ]] || npm install --silent --prefix "$ref" js-beautify terser esbuild >/dev/null
    bundle=$ref/node_modules/terser/dist/bundle.min.js
    plain=$work/plain.js
    packed=$work/packed.js
    [[ -f $plain ]] || "$ref/node_modules/.bin/js-beautify" "$bundle" > "$plain"
    [[ -f $packed ]] || jsc devtools/jsdev/packer.js -- "$plain" "$packed" 62 1000000 >/dev/null
    cli=build-bench/vexojs-cli
    echo "== code tools (best of 3, whole process, ms); inputs: bundle $(wc -c <"$bundle") B, plain $(wc -c <"$plain") B, packed $(wc -c <"$packed") B"
    jb=$(best_of 3 "$ref/node_modules/.bin/js-beautify" "$bundle")
    vf=$(best_of 3 $cli format "$bundle")
    echo "format bundle:   js-beautify $jb   vexojs-cli format $vf   ratio $(echo "scale=2; $vf/$jb" | bc)"
    # The bundle keeps its comments and line breaks; a fully minified file as well.
    minified=$work/bundle.esbuild-min.js
    [[ -f $minified ]] || "$ref/node_modules/.bin/esbuild" --minify "$bundle" > "$minified" 2>/dev/null
    jm=$(best_of 3 "$ref/node_modules/.bin/js-beautify" "$minified")
    vm0=$(best_of 3 $cli format "$minified")
    echo "format minified ($(wc -c <"$minified") B): js-beautify $jm   vexojs-cli format $vm0   ratio $(echo "scale=2; $vm0/$jm" | bc)"
    eb=$(best_of 3 "$ref/node_modules/.bin/esbuild" --minify-whitespace "$plain")
    vm=$(best_of 3 $cli minify "$plain")
    echo "minify plain:    esbuild $eb   vexojs-cli minify $vm   ratio $(echo "scale=2; $vm/$eb" | bc)"
    vu=$(best_of 3 $cli unpack "$packed")
    echo "unpack packed:   vexojs-cli unpack $vu (unpack + format)"
    # Against esbuild (Debian's package), medians of 10 taken in turn: the bundle, and
    # about 5 MB of Debian's JavaScript libraries.
    concat=$work/debian5mb.js
    [[ -f $concat ]] || python3 bench/jsdev/debian-concat.py "$concat" >/dev/null
    echo "== format / minify beside esbuild $(esbuild --version) (whole process, medians of 10)"
    python3 bench/jsdev/side_by_side.py "$bundle" 10 "$cli"
    python3 bench/jsdev/side_by_side.py "$concat" 10 "$cli"
fi

if [[ $group == all || $group == decode ]]; then
    b64=$work/random20mb.b64
    url=$work/random5mb.url
    usc=$work/escapes1mb.txt
    [[ -f $b64 ]] || head -c 20000000 /dev/urandom | base64 > "$b64"
    [[ -f $url ]] || head -c 5000000 /dev/urandom |
        python3 -c 'import sys, urllib.parse; sys.stdout.write(urllib.parse.quote_from_bytes(sys.stdin.buffer.read(), safe=""))' > "$url"
    [[ -f $usc ]] || python3 -c 'import sys; sys.stdout.write("".join("\\u%04x" % (0x4e00 + i % 20000) for i in range(175000)))' > "$usc"
    cli=build-bench/vexojs-cli
    echo "== decode (best of 3, whole process, ms); inputs: base64 $(wc -c <"$b64") B, url $(wc -c <"$url") B, escapes $(wc -c <"$usc") B"
    rb=$(best_of 3 base64 -d "$b64")
    vb=$(best_of 3 $cli decode base64 "$b64")
    echo "base64:  coreutils base64 -d $rb   vexojs-cli decode base64 $vb"
    ru=$(best_of 3 python3 -c 'import sys, urllib.parse; sys.stdout.buffer.write(urllib.parse.unquote_to_bytes(open(sys.argv[1]).read()))' "$url")
    vu=$(best_of 3 $cli decode url "$url")
    echo "url:     python3 unquote_to_bytes $ru   vexojs-cli decode url $vu"
    rs=$(best_of 3 node -e 'process.stdout.write(unescape(JSON.parse("\"" + require("fs").readFileSync(process.argv[1], "utf8") + "\"")))' "$usc")
    vs=$(best_of 3 $cli decode usc "$usc")
    echo "usc:     node $rs   vexojs-cli decode usc $vs"
fi

if [[ $group == all || $group == io ]]; then
    big=$work/big20mb.js
    [[ -f $big ]] || python3 bench/gen-big-script.py "$big" 20
    port=18765
    python3 -m http.server "$port" --bind 127.0.0.1 --directory "$work" >/dev/null 2>&1 &
    server=$!
    trap 'kill $server 2>/dev/null' EXIT
    for _ in $(seq 50); do curl -s -o /dev/null "http://127.0.0.1:$port/" && break; sleep 0.1; done
    echo "== reading scripts: a $(wc -c <"$big") B script from disk into an editor, and from 127.0.0.1"
    QT_QPA_PLATFORM=offscreen build-bench/vexo-io-bench "$big" "http://127.0.0.1:$port/big20mb.js"
    echo "curl download (best of 3): $(best_of 3 curl -s -o /dev/null "http://127.0.0.1:$port/big20mb.js") ms"
    echo "cat from disk (best of 3): $(best_of 3 cat "$big") ms"
    kill $server 2>/dev/null || true
fi
