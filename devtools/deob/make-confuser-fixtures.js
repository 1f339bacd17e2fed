// Regenerates the js-confuser fixture sets (tests/data/deob/confuser-*) from the programs
// in tests/data/deob/programs/ (and programs-flow/ for the flattened control-flow shapes). The obfuscator is installed outside the project and only
// its output is committed:
//   npm install --prefix /tmp/jsc-tools js-confuser@2
//   node devtools/deob/make-confuser-fixtures.js [/tmp/jsc-tools] [SET...]
// Math.random is seeded for each output, so a rerun with the same obfuscator version
// writes the same files. An output that does not print what its program prints (the
// obfuscator breaks some programs under some options) is left out and named.
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");

const { execFileSync } = require("child_process");
const ref = (process.argv[2] === "--one" ? process.argv[3] : process.argv[2]) || "/tmp/jsc-tools";
const chosen = process.argv[2] === "--one" ? [] : process.argv.slice(3);
const JsConfuser = require(path.join(ref, "node_modules/js-confuser"));

const root = path.join(__dirname, "../../tests/data/deob");
const programs = fs.readdirSync(path.join(root, "programs")).filter((f) => f.endsWith(".js")).sort();

// Each set: the options on top of { target: "browser" }, and how many programs it takes
// (a rotating subset keeps the sets small).
const sets = {
    "preset-low": { preset: "low" },
    "preset-medium": { preset: "medium" },
    "preset-high": { preset: "high", programs: 2, maxSize: 200000 },
    "string-concealing": { stringConcealing: true },
    "string-encoding": { stringEncoding: true },
    "string-splitting": { stringSplitting: true },
    "control-flow": { controlFlowFlattening: true },
    "dispatcher": { dispatcher: true },
    "opaque-predicates": { opaquePredicates: true },
    "calculator": { calculator: true },
    "global-concealing": { globalConcealing: true },
    "duplicate-literals": { duplicateLiteralsRemoval: true },
    "object-extraction": { objectExtraction: true },
    "moved-declarations": { movedDeclarations: true },
    "flatten-masking": { flatten: true, variableMasking: true },
    "rgf": { rgf: true },
    "pack": { pack: true },
    "dead-code": { deadCode: true },
    // Flattening over programs of loops, jumps, early returns, try/catch and closures in
    // loops (tests/data/deob/programs-flow/).
    "control-flow-shapes": { controlFlowFlattening: true, from: "programs-flow" },
};
const perSet = 4;
// Dead code and flattening can blow a 1 KB program up to 300 KB; the sets stay small.
const maxSize = 120000;

function seeded(seed) {
    let s = seed >>> 0;
    return () => {
        s = (s * 1103515245 + 12345) >>> 0;
        return (s >>> 8) / 16777216;
    };
}

function run(code) {
    const out = [];
    const ctx = vm.createContext({ log: (x) => out.push(String(x)), setTimeout, console });
    try {
        vm.runInContext(code, ctx, { timeout: 5000 });
    } catch (e) {
        out.push("THREW " + (e && e.message));
    }
    return new Promise((resolve) => setTimeout(() => resolve(out.join("\n")), 30));
}

// One program on standard input, obfuscated with the given options and seed.
async function one(options, seed) {
    const code = fs.readFileSync(0, "utf8");
    Math.random = seeded(seed);
    process.stdout.write((await JsConfuser.obfuscate(code, options)).code);
}

async function all() {
    let made = 0;
    const names = Object.keys(sets);
    for (let si = 0; si < names.length; ++si) {
        const name = names[si];
        if (chosen.length && !chosen.includes(name)) continue;
        const { programs: count = perSet, maxSize: limit = maxSize, from = "programs", ...set } = sets[name];
        const dir = path.join(root, "confuser-" + name);
        fs.rmSync(dir, { recursive: true, force: true });
        fs.mkdirSync(dir, { recursive: true });
        const own = from === "programs" ? programs : fs.readdirSync(path.join(root, from)).filter((f) => f.endsWith(".js")).sort();
        for (let k = 0; k < own.length && fs.readdirSync(dir).length < count; ++k) {
            const p = own[(si * 3 + k) % own.length];
            const code = fs.readFileSync(path.join(root, from, p), "utf8");
            const options = Object.assign({ target: "browser" }, set);
            let out;
            try {
                // In a process of its own: on some programs the obfuscator never ends.
                out = execFileSync(process.execPath, [__filename, "--one", ref, JSON.stringify(options),
                    String(si * 100 + k + 1)], { input: code, encoding: "utf8", timeout: 90000,
                    maxBuffer: 1 << 28 });
            } catch (e) {
                console.error(`${name}/${p}: the obfuscator failed or did not end`);
                continue;
            }
            if (out.length > limit) {
                console.error(`${name}/${p}: ${out.length} bytes, left out`);
                continue;
            }
            const [want, got] = [await run(code), await run(out)];
            if (want !== got) {
                console.error(`${name}/${p}: the obfuscated program prints otherwise, left out`);
                continue;
            }
            fs.writeFileSync(path.join(dir, p), out + "\n");
            ++made;
        }
    }
    console.log(`${made} fixtures written under ${root}/confuser-*`);
}

if (process.argv[2] === "--one") one(JSON.parse(process.argv[4]), +process.argv[5]);
else all();
