// The recovery table: for every fixture, whether the deobfuscated code gives the same
// output as the original (both run in fresh node vm contexts), whether every string
// literal of the original program reappears as a literal, whether any _0x-style
// decoder call is left, and whether any _0x-style name is left at all.
//   node bench/deob/recovery.js DIR_OF_RESULTS   (results: <variant>/<program>.js, as
//   written by bench/deob/run.sh with vexojs-cli deobfuscate)
//   node bench/deob/recovery.js --dev            (deobfuscates with the node dev harness)
//   … --only PREFIX                              (only the sets whose name starts so)
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");
const root = path.join(__dirname, "../../tests/data/deob");
const babel = require("/usr/share/nodejs/@babel/parser");
const only = process.env.VEXO_SETS ? new Set(process.env.VEXO_SETS.split(",")) : null;

function run(code) {
    const out = [];
    // setInterval as a page has it (never firing here): debug protection starts one.
    const ctx = vm.createContext({ log: (x) => out.push(String(x)), setInterval: () => 0 });
    ctx.self = ctx.window = ctx; // bundles for the web keep their chunks on self
    // A page's atob and btoa, and timers that run once the script is done.
    ctx.atob = (s) => Buffer.from(String(s), "base64").toString("latin1");
    ctx.btoa = (s) => Buffer.from(String(s), "latin1").toString("base64");
    const timers = [];
    ctx.setTimeout = (f) => timers.push(f);
    try {
        let script;
        try {
            script = new vm.Script(code);
        } catch (e) {
            script = new vm.Script(unescape(code)); // a %-escaped bookmarklet, as a browser runs it
        }
        script.runInContext(ctx, { timeout: 5000 });
        for (const f of timers) typeof f === "function" ? f() : vm.runInContext(String(f), ctx, { timeout: 5000 });
    } catch (e) {
        out.push("THREW " + (e && e.message));
    }
    return new Promise((resolve) => setTimeout(() => resolve(out.join("\n")), 20));
}

// The original of a fixture: its program, or for a bundle every file of its app.
function originalOf(program) {
    for (const dir of ["programs", "programs-flow"]) {
        const file = path.join(root, dir, program);
        if (fs.existsSync(file)) return [fs.readFileSync(file, "utf8")];
    }
    const app = path.join(root, "apps", program.replace(/\.js$/, ""));
    return fs.readdirSync(app).sort().map((f) => fs.readFileSync(path.join(app, f), "utf8"));
}

function stringLiterals(code) {
    const found = new Set();
    const walk = (n) => {
        if (!n || typeof n !== "object") return;
        if (Array.isArray(n)) return n.forEach(walk);
        // Module names: a bundler turns them into ids.
        if (/^(?:Import|ExportNamed|ExportAll)Declaration$/.test(n.type)) { n = Object.assign({}, n, { source: null }); }
        if (n.type === "CallExpression" && n.callee.type === "Identifier" && n.callee.name === "require") return;
        if (n.type === "StringLiteral" && n.value.length > 0) found.add(n.value);
        if (n.type === "TemplateLiteral") n.quasis.forEach((q) => q.value.cooked && found.add(q.value.cooked));
        for (const k of Object.keys(n)) if (k !== "loc" && k !== "extra") walk(n[k]);
    };
    walk(babel.parse(code, { sourceType: "unambiguous" }).program);
    return found;
}

// Code still handed over as a string: eval, Function or a timer given a string (or an
// expression that is not a function).
function handOffLeft(code) {
    let left = false;
    const walk = (n) => {
        if (!n || typeof n !== "object" || left) return;
        if (Array.isArray(n)) return n.forEach(walk);
        if ((n.type === "CallExpression" || n.type === "NewExpression") && n.arguments.length) {
            const c = n.callee, a = n.arguments[0];
            const name = c.type === "Identifier" ? c.name : c.type === "MemberExpression" && !c.computed ? c.property.name : "";
            if (name === "eval" || name === "Function" ||
                (name === "setTimeout" || name === "setInterval") && !/Function|Identifier|Member/.test(a.type)) left = true;
        }
        for (const k of Object.keys(n)) if (k !== "loc" && k !== "extra") walk(n[k]);
    };
    walk(babel.parse(code, { sourceType: "unambiguous" }).program);
    return left;
}

// What is left of a decoder whatever its name: an encoded text (a long string the
// program does not have), or a call of a name the program does not have whose arguments
// hold such a string (`calc("k3", a, b)`, `get("k1")`).
function strangeCalls(originals, result) {
    const names = new Set(originals.join("\n").match(/[A-Za-z_$][\w$]*/g));
    const strings = new Set(originals.flatMap((o) => [...stringLiterals(o)]));
    const foreign = [...stringLiterals(result)].filter((v) => !strings.has(v));
    let n = foreign.filter((v) => v.length >= 40).length;
    for (const m of result.matchAll(/(?<![.\w$])([A-Za-z_$][\w$]*)\(\s*"([^"]*)"/g))
        if (!names.has(m[1]) && !(m[1] in globalThis) && !strings.has(m[2])) ++n;
    return n;
}

let deob;
const args = process.argv.slice(2);
const onlyAt = args.indexOf("--only");
const onlyPrefix = onlyAt >= 0 ? args.splice(onlyAt, 2)[1] : "";
if (args[0] === "--dev") {
    const { execFileSync } = require("child_process");
    deob = (file) => execFileSync("node", [path.join(__dirname, "../../devtools/deob/dev-run.js"), file], { encoding: "utf8", maxBuffer: 1 << 26 });
} else {
    deob = (file, variant, program) => fs.readFileSync(path.join(args[0], variant, program), "utf8");
}

(async () => {
    const rows = {};
    const fails = [];
    for (const variant of fs.readdirSync(root).filter((d) => d !== "programs" && d !== "programs-flow" && d !== "apps" &&
        (!only || only.has(d)) && d.startsWith(onlyPrefix)).sort()) {
        const row = rows[variant] = { n: 0, same: 0, recovered: 0, named: 0 };
        for (const program of fs.readdirSync(path.join(root, variant)).sort()) {
            const file = path.join(root, variant, program);
            const original = originalOf(program);
            let result;
            try { result = deob(file, variant, program); } catch (e) { result = ""; }
            const [a, b] = [await run(fs.readFileSync(file, "utf8")), await run(result)];
            row.n++;
            const same = a === b && a.length > 0;
            if (same) row.same++;
            let ok = false;
            try {
                const want = new Set(original.flatMap((o) => [...stringLiterals(o)])), have = stringLiterals(result);
                const missing = [...want].filter((s) => !have.has(s));
                // js-confuser's decoders have no telltale names: for its sets, what is left
                // of them is looked for by shape too.
                const strict = variant.startsWith("confuser-");
                const decoderLeft = /\b(?:[a-z]\d*_)?_0x[\da-f]+\s*\(\s*(?:0x|-?\d|'|")/i.test(result) ||
                    (strict && strangeCalls(original, result) > 0);
                const handOff = handOffLeft(result);
                ok = missing.length === 0 && !decoderLeft && !handOff;
                if (!ok) fails.push(`${variant}/${program}: missing ${JSON.stringify(missing.slice(0, 3))}${decoderLeft ? " decoder call left" : ""}${handOff ? " string hand-off left" : ""}`);
            } catch (e) { fails.push(`${variant}/${program}: ${e.message}`); }
            if (!same) fails.push(`${variant}/${program}: output differs`);
            if (ok) row.recovered++;
            if (!/\b(?:[a-z]\d*_)?_0x[\da-f]+\b/i.test(result)) row.named++;
        }
    }
    let n = 0, same = 0, rec = 0, named = 0;
    const pct = (k) => `${k} (${(100 * k / n).toFixed(1)}%)`;
    console.log("| fixture set | fixtures | same output | fully recovered | no `_0x` name left |\n|---|---|---|---|---|");
    for (const [v, r] of Object.entries(rows)) {
        console.log(`| ${v} | ${r.n} | ${r.same} | ${r.recovered} | ${r.named} |`);
        n += r.n; same += r.same; rec += r.recovered; named += r.named;
    }
    console.log(`| all | ${n} | ${pct(same)} | ${pct(rec)} | ${pct(named)} |`);
    if (fails.length) console.error(fails.join("\n"));
})();
