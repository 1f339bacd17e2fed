// Syntax-tree comparison for the fuzz harness. Reads pairs of scripts from standard
// input ("LEN1 LEN2\n" then the UTF-8 bytes of both) and answers one line each:
// "same", "original-invalid", "result-invalid MESSAGE" or "different CONTEXT".
// The first pair is empty and answered "ready". Usage: node astserver.mjs ACORN_PREFIX
import { createRequire } from "module";
const require = createRequire(process.argv[2].replace(/\/?$/, "/") + "node_modules/");
const acorn = require("acorn");

function options(sourceType) {
    return { ecmaVersion: "latest", sourceType, allowHashBang: true,
        allowReturnOutsideFunction: true };
}
// A script if it parses as one, else a module; the kind is kept so the result is
// parsed (and its error told) the same way.
function parse(text) {
    try {
        return { tree: acorn.parse(text, options("script")), sourceType: "script" };
    } catch (e) {
        return { tree: acorn.parse(text, options("module")), sourceType: "module" };
    }
}
function strip(key, value) {
    if (key === "start" || key === "end" || key === "loc" || key === "range") return undefined;
    // Line ends inside a raw text or a directive may change between CR LF and LF.
    if ((key === "raw" || key === "directive") && typeof value === "string")
        return value.replace(/\r\n?/g, "\n");
    if (typeof value === "bigint") return value.toString() + "n";
    return value;
}
function oneLine(s) {
    return JSON.stringify(s).slice(0, 400);
}
function answer(a, b) {
    if (a.length === 0 && b.length === 0) return "ready";
    let ta, tb;
    let kind;
    try {
        const parsed = parse(a);
        kind = parsed.sourceType;
        ta = JSON.stringify(parsed.tree, strip);
    } catch (e) {
        return "original-invalid";
    }
    try {
        tb = JSON.stringify(acorn.parse(b, options(kind)), strip);
    } catch (e) {
        return "result-invalid " + oneLine(e.message + " near " + b.slice(Math.max(0, e.pos - 60), e.pos + 20));
    }
    if (ta === tb) return "same";
    let i = 0;
    while (i < ta.length && ta[i] === tb[i]) i++;
    return "different " + oneLine(ta.slice(Math.max(0, i - 120), i + 80)) + " vs " +
        oneLine(tb.slice(Math.max(0, i - 120), i + 80));
}

let buffer = Buffer.alloc(0);
process.stdin.on("data", (chunk) => {
    buffer = Buffer.concat([buffer, chunk]);
    for (;;) {
        const nl = buffer.indexOf(10);
        if (nl < 0) return;
        const [la, lb] = buffer.subarray(0, nl).toString().split(" ").map(Number);
        if (buffer.length < nl + 1 + la + lb) return;
        const a = buffer.subarray(nl + 1, nl + 1 + la).toString("utf8");
        const b = buffer.subarray(nl + 1 + la, nl + 1 + la + lb).toString("utf8");
        buffer = buffer.subarray(nl + 1 + la + lb);
        process.stdout.write(answer(a, b) + "\n");
    }
});
