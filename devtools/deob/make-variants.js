// Regenerates the obfuscator-settings and stacked-layer fixtures under tests/data/deob/
// from the programs in tests/data/deob/programs/. javascript-obfuscator is a reference
// tool installed outside the project (only its output is committed):
//   npm install --prefix /tmp/deob-tools javascript-obfuscator
//   node devtools/deob/make-variants.js [/tmp/deob-tools]
// The stacked layers use our dev packer (devtools/jsdev/packer.js) and plain encodings.
"use strict";
const fs = require("fs");
const path = require("path");
const vm = require("vm");

const tools = process.argv[2] || "/tmp/deob-tools";
const JavaScriptObfuscator = require(path.join(tools, "node_modules/javascript-obfuscator"));

const root = path.join(__dirname, "../../tests/data/deob");
const programs = fs.readdirSync(path.join(root, "programs")).filter((f) => f.endsWith(".js")).sort();

const packerContext = vm.createContext({});
vm.runInContext(fs.readFileSync(path.join(__dirname, "../jsdev/packer.js"), "utf8"), packerContext);
const pack = (code) => packerContext.pack(code, 62, "d", false);

const obf = (options) => (code) => JavaScriptObfuscator.obfuscate(code,
    Object.assign({ seed: 11, log: false }, options)).getObfuscatedCode();
const words = ["apple", "river", "stone", "cloud", "maple", "tiger", "ocean", "lemon", "piano", "mango", "candle",
    "forest", "silver", "rocket", "garden", "window", "pepper", "butter", "yellow", "marble", "planet", "winter",
    "summer", "honey", "orbit", "cactus", "velvet", "paper", "bridge", "castle", "falcon", "meadow"];
const b64 = (s) => Buffer.from(s, "utf8").toString("base64");
const latin1b64 = (s) => Buffer.from(s, "latin1").toString("base64");
const asciiOnly = (s) => s.replace(/[^\x00-\x7f]/g, (c) => "\\u" + c.charCodeAt(0).toString(16).padStart(4, "0"));
const noComments = (code) => code.replace(/^\s*\/\/.*$/gm, "");

const variants = {
    "index-hex-string": obf({ stringArrayThreshold: 1, stringArrayIndexesType: ["hexadecimal-numeric-string"],
        stringArrayEncoding: ["base64"] }),
    "wrappers-chained-5": obf({ stringArrayThreshold: 1, stringArrayWrappersCount: 5, stringArrayWrappersType: "function",
        stringArrayWrappersParametersMaxCount: 5, stringArrayWrappersChainedCalls: true,
        stringArrayIndexesType: ["hexadecimal-number", "hexadecimal-numeric-string"] }),
    "threshold-half": obf({ stringArrayThreshold: 0.5, stringArrayEncoding: ["rc4"] }),
    "split-chunk-2": obf({ stringArrayThreshold: 1, splitStrings: true, splitStringsChunkLength: 2 }),
    "dictionary-names": obf({ identifierNamesGenerator: "dictionary", identifiersDictionary: words,
        stringArrayThreshold: 1, stringArrayWrappersCount: 2 }),
    "node-mangled-self-defending": obf({ target: "node", identifierNamesGenerator: "mangled-shuffled",
        selfDefending: true, compact: true, stringArrayThreshold: 1, stringArrayEncoding: ["base64"] }),
    "obfuscated-twice": (code) => obf({ stringArrayThreshold: 1, seed: 3 })(obf({ stringArrayThreshold: 1,
        stringArrayEncoding: ["rc4"], controlFlowFlattening: true })(code)),
    // Stacked layers.
    "stack-packed-escaped": (code) => escape(pack(obf({ stringArrayThreshold: 1 })(code))),
    // atob gives bytes: a plain eval(atob(…)) carries ASCII code (other letters as \u escapes).
    "stack-eval-atob": (code) => "eval(atob(" + JSON.stringify(latin1b64(asciiOnly(code))) + "));",
    "stack-eval-utf8-atob": (code) => "eval(decodeURIComponent(escape(atob(" + JSON.stringify(b64(code)) + "))));",
    "stack-function-global": (code) => "(function (F) { return F(F(\"return this\")().decodeURIComponent(" +
        JSON.stringify(encodeURIComponent(code)) + ")); })(Function)();",
    "stack-timeout-string": (code) => "setTimeout(" + JSON.stringify(noComments(code)) + ", 0);",
    "stack-nested-eval": (code) => "(function () {\n  function run(s) {\n    return s;\n  }\n  (function () {\n" +
        "    eval(String.fromCharCode(" + [...noComments(code)].map((c) => c.charCodeAt(0)).join(",") +
        "));\n  })();\n})();",
};

let made = 0;
Object.keys(variants).forEach((name, vi) => {
    const dir = path.join(root, name);
    fs.rmSync(dir, { recursive: true, force: true });
    fs.mkdirSync(dir, { recursive: true });
    // A rotating subset of four programs keeps each set quick to check; hash.js always.
    const chosen = new Set(["hash.js"].concat([0, 1, 2].map((k) => programs[(vi * 5 + k) % programs.length])));
    for (const p of chosen) {
        const code = fs.readFileSync(path.join(root, "programs", p), "utf8");
        fs.writeFileSync(path.join(dir, p), variants[name](code));
        ++made;
    }
});
console.log(`${made} fixtures written under ${root}`);
