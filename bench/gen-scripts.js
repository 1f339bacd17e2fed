// Writes the benchmark inputs: a 5 MB script of functions and data, a script that
// defines 10,000 functions, and a 1 MB library written as today's bundles are (const
// arrows, classes, async functions, generators, templates, regular expressions).
const fs = require("fs");
const dir = process.argv[2];
let parts = [];
let size = 0;
for (let i = 0; size < 5 * 1024 * 1024; i++) {
    const s = `function f${i}(a, b) { var t = [${i}, ${i + 1}, "s${i}"]; return a + b * t[0]; }\n` +
        `var data${i} = { id: ${i}, name: "项目${i}", tags: ["a", "b", "c"] };\n`;
    parts.push(s);
    size += Buffer.byteLength(s);
}
fs.writeFileSync(`${dir}/big5mb.js`, parts.join(""));
parts = [];
for (let i = 0; i < 10000; i++) parts.push(`function fn${i}(a${i % 4 ? ", b" : ""}) { return a; }\n`);
fs.writeFileSync(`${dir}/functions10k.js`, parts.join(""));
parts = [];
size = 0;
for (let i = 0; size < 1024 * 1024; i++) {
    const s = `// module ${i}\n` +
        `const clamp${i} = (v, lo = 0, hi = ${i}) => v < lo ? lo : v > hi ? hi : v, tag${i} = "m${i}";\n` +
        `let format${i} = function (value, { width = 8, fill = " " } = {}) {\n` +
        `    return \`\${tag${i}}:\${String(value).padStart(width, fill)}\`.replace(/\\s+$/g, "");\n};\n` +
        `class Store${i} extends Map {\n    #count = 0;\n    constructor(name, ...items) { super(items); this.name = name; }\n` +
        `    get size2() { return this.size * 2; }\n    static of(x) { return new Store${i}("s", x); }\n` +
        `    *keysAbove(n) { for (const k of this.keys()) if (k > n) yield k; }\n}\n` +
        `async function load${i}(url, retries = 3) { const r = await fetch(url); return r.ok ? r.json() : null; }\n` +
        `const ids${i} = function* (from) { let n = from; while (n < from + 10) yield n++; };\n` +
        `var ratio${i} = ${i} / 2 / 3, half${i} = x => x / 2;\n`;
    parts.push(s);
    size += Buffer.byteLength(s);
}
fs.writeFileSync(`${dir}/modern1mb.js`, parts.join(""));
