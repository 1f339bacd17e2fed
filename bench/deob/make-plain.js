// Writes a plain (not obfuscated) bundle of about the given size for the deobfuscator's
// memory benchmark: Debian's readable jQuery and underscore builds, each copy in a
// function scope of its own, repeated until the size is reached.
//   node bench/deob/make-plain.js SIZE_KB OUT
"use strict";
const fs = require("fs");
const [kb, out] = process.argv.slice(2);
const parts = ["/usr/share/javascript/jquery/jquery.js", "/usr/share/javascript/underscore/underscore.js"]
    .map((f) => fs.readFileSync(f, "utf8"));
const target = Number(kb) * 1024;
let code = "";
for (let i = 0; ; ++i) {
    const piece = "(function () {\n" + parts[i % parts.length] + "\n})();\n";
    if (code.length + piece.length > target && code.length > 0) break;
    code += piece;
}
fs.writeFileSync(out, code);
console.log(`${out}: ${Buffer.byteLength(code)} bytes`);
