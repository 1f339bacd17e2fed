// Writes the benchmark inputs: a 5 MB script of functions and data, and a script that
// defines 10,000 functions.
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
