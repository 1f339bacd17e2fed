// Dev check: parse two scripts with acorn (from the reference install in
// /tmp/refjs) and report whether their syntax trees are the same, positions
// ignored.  Usage: node astcheck.mjs original.js transformed.js
import { readFileSync } from "fs";
import { createRequire } from "module";
const require = createRequire("/tmp/refjs/node_modules/");
const acorn = require("acorn");

function parse(file) {
    const text = readFileSync(file, "utf8");
    const opts = { ecmaVersion: "latest", sourceType: "script", allowHashBang: true,
        allowReturnOutsideFunction: true };
    try {
        return acorn.parse(text, opts);
    } catch (e) {
        return acorn.parse(text, Object.assign(opts, { sourceType: "module" }));
    }
}
function strip(key, value) {
    if (key === "start" || key === "end" || key === "loc" || key === "range") return undefined;
    if (key === "raw" && typeof value === "string") return value.replace(/\r\n?/g, "\n");
    if (typeof value === "bigint") return value.toString() + "n";
    return value;
}
const a = JSON.stringify(parse(process.argv[2]), strip);
const b = JSON.stringify(parse(process.argv[3]), strip);
if (a === b) {
    console.log("same tree");
} else {
    let i = 0;
    while (i < a.length && a[i] === b[i]) i++;
    console.log("DIFFERENT at", i);
    console.log(a.slice(Math.max(0, i - 300), i + 200));
    console.log(b.slice(Math.max(0, i - 300), i + 200));
    process.exit(1);
}
