#!/bin/bash
# Timing of the carried scripts against reference tools.
# Needs: npm install --prefix /tmp/refjs js-beautify terser esbuild
# Each line: best of 3 wall-clock times of the whole process.
cd "$(dirname "$0")/../.." || exit 1
REF=/tmp/refjs/node_modules
BUNDLE=$REF/terser/dist/bundle.min.js          # ~1.1 MB minified
PLAIN=/tmp/vexo-bench-plain.js                   # same code laid out, ~1.4 MB
PACKED=/tmp/vexo-bench-packed.js                 # ~1 MB packed script
[ -f $PLAIN ] || $REF/.bin/js-beautify $BUNDLE > $PLAIN
[ -f $PACKED ] || jsc devtools/jsdev/packer.js -- $PLAIN $PACKED 62 1000000 > /dev/null

best() {
    local b=999999
    for i in 1 2 3; do
        local s=$(date +%s%N)
        "$@" > /dev/null 2>&1
        local e=$(( ($(date +%s%N) - s) / 1000000 ))
        [ $e -lt $b ] && b=$e
    done
    echo $b
}
echo "input sizes: bundle $(wc -c < $BUNDLE)  plain $(wc -c < $PLAIN)  packed $(wc -c < $PACKED)"
jb=$(best $REF/.bin/js-beautify $BUNDLE)
vf=$(best jsc bench/jsdev/runfmt.js -- $BUNDLE)
echo "format bundle:  js-beautify ${jb} ms   jsc beautifier.js ${vf} ms   ratio $(echo "scale=2; $vf/$jb" | bc)"
eb=$(best $REF/.bin/esbuild --minify-whitespace $PLAIN)
vm=$(best jsc bench/jsdev/runmin.js -- $PLAIN)
echo "minify plain:   esbuild ${eb} ms   jsc jsmin.js ${vm} ms   ratio $(echo "scale=2; $vm/$eb" | bc)"
eb2=$(best $REF/.bin/esbuild --minify-whitespace $BUNDLE)
vm2=$(best jsc bench/jsdev/runmin.js -- $BUNDLE)
echo "minify bundle:  esbuild ${eb2} ms   jsc jsmin.js ${vm2} ms   ratio $(echo "scale=2; $vm2/$eb2" | bc)"
vu=$(best jsc bench/jsdev/rununpack.js -- $PACKED)
echo "unpack packed:  jsc unpacker.js ${vu} ms"
jsc bench/jsdev/rununpack.js -- $PACKED /tmp/vexo-bench-unpacked.js
cmp -s /tmp/vexo-bench-unpacked.js $PLAIN && echo "unpacked text equals the original" || echo "UNPACKED TEXT DIFFERS"
