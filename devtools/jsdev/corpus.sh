#!/bin/sh
# Dev check: format every file given, compare syntax trees before and after
# (acorn via node, from /tmp/refjs) and check a second pass changes nothing.
cd "$(dirname "$0")/../.." || exit 1
fail=0
for f in "$@"; do
    out=/tmp/vexo-corpus-$$.js
    jsc devtools/jsdev/fmtfile.js -- "$f" "$out" | grep -v '^format ' 
    node devtools/jsdev/astcheck.mjs "$f" "$out" > /tmp/vexo-ast-$$.txt 2>&1 || { echo "TREE DIFFERS: $f"; head -c 1500 /tmp/vexo-ast-$$.txt; fail=1; }
done
rm -f /tmp/vexo-corpus-$$.js /tmp/vexo-ast-$$.txt
exit $fail
