// A large js-confuser sample for the timing rows: our programs, each in a function of its
// own, repeated until the source reaches the size asked for, obfuscated with the options
// given (js-confuser installed outside the project).
//   node bench/deob/make-confuser-big.js KB OUT.js '{"controlFlowFlattening":true}' [/tmp/jsc-tools]
"use strict";
const fs = require("fs");
const path = require("path");
const [kb, out, optionsJson, ref = "/tmp/jsc-tools"] = process.argv.slice(2);
const JsConfuser = require(path.join(ref, "node_modules/js-confuser"));
const dir = path.join(__dirname, "../../tests/data/deob/programs");
const programs = fs.readdirSync(dir).filter((f) => f.endsWith(".js")).sort()
    .map((f) => fs.readFileSync(path.join(dir, f), "utf8"));
let source = "", n = 0;
while (source.length < kb * 1024) {
    source += "(function part" + n + "() {\n" + programs[n % programs.length] + "\n})();\n";
    ++n;
}
let s = 1;
Math.random = () => ((s = (s * 1103515245 + 12345) >>> 0) >>> 8) / 16777216;
JsConfuser.obfuscate(source, Object.assign({ target: "browser" }, JSON.parse(optionsJson || "{}")))
    .then((r) => fs.writeFileSync(out, r.code));
