#!/bin/sh
# Dev check: lay out (or, with --minify first, minify) every file given and compare the
# syntax trees before and after (acorn via node, from /tmp/refjs).
cd "$(dirname "$0")/../.." || exit 1
tool=fmtfile tag=format
[ "$1" = --minify ] && { tool=minfile tag=minify; shift; }
fail=0 out=/tmp/vexo-corpus-$$.js report=/tmp/vexo-ast-$$.txt
for f in "$@"; do
    jsc devtools/jsdev/$tool.js -- "$f" "$out" | grep -v "^$tag "
    node devtools/jsdev/astcheck.mjs "$f" "$out" > "$report" 2>&1 || { echo "TREE DIFFERS: $f"; head -c 1500 "$report"; fail=1; }
done
rm -f "$out" "$report"
exit $fail
