// Regenerates the deobfuscation fixtures in tests/data/deob/ from the programs in
// tests/data/deob/programs/. The obfuscated versions come from reference tools that are
// installed outside the project (only their output is committed):
//   npm install --prefix /tmp/deobref javascript-obfuscator jsfuck
//   node devtools/deob/make-fixtures.js [/tmp/deobref]
// aaencode and jjencode versions come from our own encoders in encoders/; the stacked
// layer uses our dev packer (devtools/jsdev/packer.js).
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");

const ref = process.argv[2] || "/tmp/deobref";
const JavaScriptObfuscator = require(path.join(ref, "node_modules/javascript-obfuscator"));
const JSFuck = require(path.join(ref, "node_modules/jsfuck")).JSFuck;
const aaencode = require("./encoders/aaencode.js");
const jjencode = require("./encoders/jjencode.js");

const root = path.join(__dirname, "../../tests/data/deob");
const programs = fs.readdirSync(path.join(root, "programs")).filter((f) => f.endsWith(".js")).sort();

const packerContext = vm.createContext({});
vm.runInContext(fs.readFileSync(path.join(__dirname, "../jsdev/packer.js"), "utf8"), packerContext);
const pack = (code) => packerContext.pack(code, 62, "d", false);

const base = { seed: 7, identifierNamesGenerator: "hexadecimal", log: false };
const obf = (options) => (code) =>
    JavaScriptObfuscator.obfuscate(code, Object.assign({}, base, options)).getObfuscatedCode();

// Each variant: the options, and which programs it is applied to (every program, or a
// rotating subset of five so the whole set stays quick to check).
const variants = {
    "default": { make: obf({}), all: true },
    "preset-low": { make: obf({ optionsPreset: "low-obfuscation" }) },
    "preset-medium": { make: obf({ optionsPreset: "medium-obfuscation" }) },
    "preset-high": { make: obf({ optionsPreset: "high-obfuscation", debugProtection: false }) },
    "base64": { make: obf({ stringArray: true, stringArrayThreshold: 1, stringArrayEncoding: ["base64"] }) },
    "rc4": { make: obf({ stringArray: true, stringArrayThreshold: 1, stringArrayEncoding: ["rc4"] }), all: true },
    "rotate-shuffle": { make: obf({ stringArrayThreshold: 1, stringArrayRotate: true, stringArrayShuffle: true, stringArrayIndexShift: true }) },
    "wrappers-variable": { make: obf({ stringArrayThreshold: 1, stringArrayWrappersCount: 2, stringArrayWrappersType: "variable" }) },
    "wrappers-function": { make: obf({ stringArrayThreshold: 1, stringArrayWrappersCount: 5, stringArrayWrappersType: "function", stringArrayWrappersParametersMaxCount: 5, stringArrayWrappersChainedCalls: true, stringArrayEncoding: ["base64"] }) },
    "split-strings": { make: obf({ stringArrayThreshold: 1, splitStrings: true, splitStringsChunkLength: 3 }) },
    "control-flow": { make: obf({ controlFlowFlattening: true, controlFlowFlatteningThreshold: 1 }), all: true },
    "dead-code": { make: obf({ deadCodeInjection: true, deadCodeInjectionThreshold: 1, stringArrayThreshold: 1 }) },
    "numbers-to-expressions": { make: obf({ numbersToExpressions: true, stringArrayThreshold: 1 }) },
    "transform-object-keys": { make: obf({ transformObjectKeys: true, stringArrayThreshold: 1 }) },
    "unicode-escapes": { make: obf({ unicodeEscapeSequence: true, stringArrayIndexesType: ["hexadecimal-numeric-string"] }) },
    "names-mangled": { make: obf({ identifierNamesGenerator: "mangled", stringArrayThreshold: 1, stringArrayEncoding: ["rc4"] }) },
    "self-defending": { make: obf({ selfDefending: true, compact: true, stringArrayThreshold: 1 }) },
    "debug-protection": { make: obf({ debugProtection: true, stringArrayThreshold: 1 }) },
    "packed-obfuscated": { make: (code) => pack(obf({ stringArrayThreshold: 1, stringArrayEncoding: ["base64"] })(code)) },
    // The encoder drops line breaks, so comments go first and lines are joined.
    "jsfuck": { make: (code) => JSFuck.encode(code.replace(/^\s*\/\/.*$/gm, "").split("\n").join(" "), true), small: true },
    "aaencode": { make: aaencode.encode },
    "jjencode": { make: (code) => jjencode.encode(code, "$") },
    "calls-transform": { make: obf({ stringArrayThreshold: 1, stringArrayCallsTransform: true, stringArrayCallsTransformThreshold: 1 }) },
    "debug-interval": { make: obf({ debugProtection: true, debugProtectionInterval: 4000, disableConsoleOutput: true, stringArrayThreshold: 1 }) },
    "rename-globals": { make: obf({ renameGlobals: true, stringArrayThreshold: 1 }) },
    "no-eval-target": { make: obf({ target: "browser-no-eval", selfDefending: true, stringArrayThreshold: 1 }) },
    "mixed-encodings": { make: obf({ stringArrayThreshold: 1, stringArrayEncoding: ["none", "base64", "rc4"], stringArrayWrappersCount: 3, stringArrayWrappersType: "function", stringArrayWrappersChainedCalls: true }) },
    "mangled-shuffled": { make: obf({ identifierNamesGenerator: "mangled-shuffled", stringArrayThreshold: 1, controlFlowFlattening: true, controlFlowFlatteningThreshold: 1, deadCodeInjection: true, deadCodeInjectionThreshold: 1 }) },
};

let made = 0;
Object.keys(variants).forEach((name, vi) => {
    const v = variants[name];
    const dir = path.join(root, name);
    fs.rmSync(dir, { recursive: true, force: true });
    fs.mkdirSync(dir, { recursive: true });
    let chosen = v.all ? programs : [0, 1, 2, 3, 4].map((k) => programs[(vi * 3 + k) % programs.length]);
    if (v.small) chosen = ["strings.js", "closures.js", "chinese.js"];
    for (const p of chosen) {
        const code = fs.readFileSync(path.join(root, "programs", p), "utf8");
        fs.writeFileSync(path.join(dir, p), v.make(code));
        ++made;
    }
});
console.log(`${made} fixtures written under ${root}`);
