#!/bin/sh
# Regenerates the packed unpacker fixtures from payload_app.expected.js.
# Every packed fixture decodes to exactly that payload, so each gets a copy
# as its .expected.js (the %-escaped one too).
cd "$(dirname "$0")/../.." || exit 1
D=tests/data/tools/packed
P=$D/payload_app.expected.js
pack() { jsc devtools/jsdev/packer.js -- "$@" > /dev/null; }
pack $P $D/packed62.js 62 x d
pack $P $D/packed10_er.js 10 x r outer
pack $P $D/packed36_loop.js 36 x r x 1 loop
pack $P $D/packed62_loop.js 62 x d outer 1 loop
pack $P $D/packed2.js 2 x d
pack $P $D/packed95_high.js 95 x r
pack $P $D/packed70_high.js 70 x d outer
pack $P $D/double_packed.js 62 x d x 2
pack $P /tmp/vexo-p.js 62 x d
{ printf '// packed with a tool\n  // second comment line\n'; cat /tmp/vexo-p.js; } > $D/packed_after_comments.js
sed 's/^eval(function(p,a,c,k,e,d)/eval (function (p, a, c, k, e, d) /' /tmp/vexo-p.js > $D/packed_spaces.js
sed 's/^eval(/EVAL(/' /tmp/vexo-p.js > $D/packed_upper.js
{ cat /tmp/vexo-p.js; printf ';\nvar tail = "kept";\n'; } > $D/packed_then_code.js
jsc -e 'writeFile(arguments[1], escape(readFile(arguments[0])))' -- $P $D/escaped.js
for f in packed62 packed10_er packed36_loop packed62_loop packed2 packed95_high packed70_high double_packed \
         packed_after_comments packed_spaces packed_upper escaped; do
    cp $P $D/$f.expected.js
done
{ cat $P; printf '\nvar tail = "kept";\n'; } > $D/packed_then_code.expected.js
rm -f /tmp/vexo-p.js
