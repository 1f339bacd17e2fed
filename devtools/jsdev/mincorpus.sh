#!/bin/sh
# Dev check: minify every file given and compare syntax trees (acorn via node).
cd "$(dirname "$0")/../.." || exit 1
fail=0
for f in "$@"; do
    out=/tmp/vexo-min-$$.js
    jsc devtools/jsdev/minfile.js -- "$f" "$out" | grep -v '^minify '
    node devtools/jsdev/astcheck.mjs "$f" "$out" > /tmp/vexo-mast-$$.txt 2>&1 || { echo "TREE DIFFERS: $f"; head -c 1500 /tmp/vexo-mast-$$.txt; fail=1; }
done
rm -f /tmp/vexo-min-$$.js /tmp/vexo-mast-$$.txt
exit $fail
