// jsdom's start-up beside the environment's: loading the module once, then a fresh
// window with a page address, as many times as asked; the median and the fastest.
//   node jsdom-start.js LIBS_DIR [RUNS]
const path = require("path");
const [libsDir, runsText] = process.argv.slice(2);
const runs = Math.max(3, parseInt(runsText || "20", 10));
let t = process.hrtime.bigint();
const { JSDOM } = require(path.join(libsDir, "node_modules", "jsdom"));
const moduleMs = Number(process.hrtime.bigint() - t) / 1e6;
const ms = [];
for (let i = 0; i < runs; i++) {
    t = process.hrtime.bigint();
    const dom = new JSDOM("<!DOCTYPE html><html><head></head><body></body></html>", { url: "https://www.example.com/", runScripts: "outside-only" });
    dom.window.eval("var a = 1;");
    ms.push(Number(process.hrtime.bigint() - t) / 1e6);
    dom.window.close();
}
ms.sort((a, b) => a - b);
console.log("jsdom: module " + moduleMs.toFixed(0) + " ms; new JSDOM + one-line script median " + ms[ms.length >> 1].toFixed(2) + " ms, fastest " + ms[0].toFixed(2) + " ms");
