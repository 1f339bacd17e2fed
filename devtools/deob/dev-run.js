// Development aid: runs the carried deobfuscator under node, with node's vm module as
// the sandbox, to try layers quickly without a build of the workbench.
//   esbuild bundle first: devtools/deob/dev-bundle.sh  → /tmp/vexo-deob.js
//   node devtools/deob/dev-run.js FILE [--history] [--no-rename] [--check EXPR]
"use strict";
const fs = require("fs");
const vm = require("vm");
globalThis.vexoSandboxRun = (code) => {
    try {
        return { status: "ok", value: String(vm.runInNewContext(code, {}, { timeout: 5000, microtaskMode: "afterEvaluate" })) };
    } catch (e) {
        if (e && e.code === "ERR_SCRIPT_EXECUTION_TIMEOUT") return { status: "timeout", value: "" };
        return { status: "error", value: String(e) };
    }
};
globalThis.vexoNow = () => Number(process.hrtime.bigint()) / 1e6;
(0, eval)(fs.readFileSync(process.env.VEXO_DEOB_BUNDLE || "/tmp/vexo-deob.js", "utf8"));
const args = process.argv.slice(2);
const checkAt = args.indexOf("--check");
const check = checkAt >= 0 ? args.splice(checkAt, 2)[1] : undefined;
const file = args.find((a, i) => !a.startsWith("--") && args[i - 1] !== "--out-dir");
const unpacker = fs.readFileSync(__dirname + "/../../build/src/tools/unpacker.js", "utf8");
const out = JSON.parse(vexoDeobfuscate(fs.readFileSync(file, "utf8"),
    JSON.stringify({ unpacker, rename: !args.includes("--no-rename"), check })));
if (out.error) console.error("error:", out.error);
if (args.includes("--history"))
    for (const h of out.history || [])
        console.error(`${h.peeled ? "peeled" : "skipped"} ${h.layer} ${h.before} -> ${h.after} ${h.ms} ms ${h.note}`);
if (out.behaviour) console.error("behaviour:", JSON.stringify(out.behaviour));
process.stdout.write((out.code || "") + "\n");
const dirAt = args.indexOf("--out-dir");
if (dirAt >= 0 && out.modules) {
    const path = require("path");
    for (const m of out.modules) {
        const file = path.join(args[dirAt + 1], m.name);
        fs.mkdirSync(path.dirname(file), { recursive: true });
        fs.writeFileSync(file, m.code);
    }
    console.error("modules:", out.modules.map((m) => m.name).join(" "));
}
