// Code that is not obfuscated must come through the deobfuscator unharmed: Debian's
// jQuery and underscore builds are peeled, the outputs must parse, and the peeled
// underscore builds must give the original's results for a sample of its functions.
//   node bench/deob/plain.js [BUILD_DIR]
"use strict";
const fs = require("fs");
const vm = require("vm");
const { execFileSync } = require("child_process");
const babel = require("/usr/share/nodejs/@babel/parser");

const cli = (process.argv[2] || "build") + "/vexojs-cli";
const inputs = ["/usr/share/javascript/jquery/jquery.js", "/usr/share/javascript/jquery/jquery.min.js",
    "/usr/share/javascript/underscore/underscore.js", "/usr/share/javascript/underscore/underscore.min.js"];

function sample(code) {
    const ctx = vm.createContext({});
    ctx.self = ctx;
    vm.runInContext(code, ctx);
    const _ = ctx._;
    return JSON.stringify([_.chunk([1, 2, 3, 4, 5], 2), _.template("<%= a %>!")({ a: "x" }),
        _.uniq([1, 1, 2]), _.escape("<a&>"), _.range(0, 10, 3), _.isEqual({ a: [1] }, { a: [1] }),
        _.sortBy([3, 1, 2]), _.VERSION]);
}

let failed = 0;
for (const file of inputs.filter((f) => fs.existsSync(f))) {
    const started = process.hrtime.bigint();
    let out = "";
    try {
        out = execFileSync(cli, ["deobfuscate", "--history", file],
            { encoding: "utf8", maxBuffer: 1 << 28, stdio: ["ignore", "pipe", "pipe"] });
    } catch (e) {
        console.log(`${file}: exit ${e.status}`);
        ++failed;
        continue;
    }
    const seconds = Number(process.hrtime.bigint() - started) / 1e9;
    let verdict = "parses";
    try {
        babel.parse(out, { sourceType: "unambiguous" });
        if (file.includes("underscore"))
            verdict += sample(out) === sample(fs.readFileSync(file, "utf8")) ? ", same results" : ", DIFFERENT results";
    } catch (e) {
        verdict = "FAILS: " + e.message;
    }
    if (verdict.includes("FAIL") || verdict.includes("DIFFERENT")) ++failed;
    console.log(`${file}: ${fs.statSync(file).size} bytes, ${seconds.toFixed(2)} s, ${verdict}`);
}
process.exitCode = failed ? 1 : 0;
