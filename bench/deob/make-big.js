// Writes an obfuscated script of about the given size for the timing benchmark: the
// fixture programs, each in its own function scope, repeated until the obfuscated text
// (string array with rc4, wrappers, control-flow flattening, dead code) is large enough.
//   node bench/deob/make-big.js SIZE_KB OUT [/tmp/deobref]
"use strict";
const fs = require("fs");
const path = require("path");
const [kb, out, ref = "/tmp/deobref"] = process.argv.slice(2);
const JavaScriptObfuscator = require(path.join(ref, "node_modules/javascript-obfuscator"));
const dir = path.join(__dirname, "../../tests/data/deob/programs");
const programs = fs.readdirSync(dir).filter((f) => f.endsWith(".js") && f !== "async.js").sort()
    .map((f) => fs.readFileSync(path.join(dir, f), "utf8"));
const options = { seed: 3, stringArrayThreshold: 1, stringArrayEncoding: ["rc4"], stringArrayWrappersCount: 2,
    controlFlowFlattening: true, controlFlowFlatteningThreshold: 0.5, deadCodeInjection: true,
    deadCodeInjectionThreshold: 0.2 };
let source = "", code = "";
for (let i = 0; code.length < Number(kb) * 1024; ++i) {
    source += "(function () {\n" + programs[i % programs.length] + "\n})();\n";
    if (i % programs.length === programs.length - 1 || source.length > Number(kb) * 200)
        code = JavaScriptObfuscator.obfuscate(source, options).getObfuscatedCode();
}
fs.writeFileSync(out, code);
console.log(`${out}: ${code.length} bytes from ${source.length} bytes of source`);
