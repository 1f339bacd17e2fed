// Runs every library of libraries.js in jsdom (the reference: a real DOM under node) and
// through vexojs-cli with and without --browser, and prints the table of values.
//   node compare.js LIBS_DIR NEW_CLI [TODAY_CLI] > table.md
// LIBS_DIR is where install.sh put the packages (node_modules inside); TODAY_CLI is a
// build of the main branch, for the no-regression column.
const { execFileSync } = require("child_process");
const fs = require("fs");
const path = require("path");

const [libsDir, newCli, todayCli] = process.argv.slice(2);
const modules = path.join(libsDir, "node_modules");
const { JSDOM, ResourceLoader } = require(path.join(modules, "jsdom"));
// The same desktop Chrome the environment is by default, so that values which come from
// the user agent are compared on equal terms.
const chromeUA = "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/131.0.0.0 Safari/537.36";
const libraries = require("./libraries.js");
const pageUrl = "https://www.example.com/";

// Line breaks as the output pane writes them.
function oneLine(s) {
    return s.replace(/\r/g, "\\r").replace(/\n/g, "\\n");
}

function fileOf(spec) {
    return spec.startsWith("bench:") ? path.join(__dirname, spec.slice(6)) : path.join(modules, spec);
}

async function inJsdom([name, file, setup, expr]) {
    const t0 = process.hrtime.bigint();
    const dom = new JSDOM("<!DOCTYPE html><html><head></head><body></body></html>", { url: pageUrl, runScripts: "dangerously", pretendToBeVisual: true, resources: new ResourceLoader({ userAgent: chromeUA }) });
    const startMs = Number(process.hrtime.bigint() - t0) / 1e6;
    const w = dom.window;
    // Scripts run as page scripts do (a "use strict" file still defines its globals).
    let thrown = null;
    w.addEventListener("error", (e) => { thrown = thrown || e.error || new Error(e.message); });
    const run = (text) => {
        const s = w.document.createElement("script");
        s.textContent = text;
        w.document.body.appendChild(s);
        if (thrown) throw thrown;
    };
    try {
        run(fs.readFileSync(fileOf(file), "utf8"));
        if (setup) run(setup.startsWith("bench:") ? fs.readFileSync(fileOf(setup), "utf8") : setup);
        await new Promise((r) => setTimeout(r, setup ? 300 : 0));
        return { value: oneLine(String(w.eval(expr))), startMs };
    } catch (e) {
        return { value: "错误：" + (e && e.message), startMs };
    } finally {
        w.close();
    }
}

function inVexo(cli, browser, [name, file, setup, expr]) {
    const args = ["eval", "--timeout", "20"];
    if (browser) args.push("--browser", "--url", pageUrl);
    args.push("--load", fileOf(file));
    if (setup) {
        const setupFile = setup.startsWith("bench:") ? fileOf(setup) : path.join(require("os").tmpdir(), "vexo-bench-setup-" + process.pid + ".js");
        if (!setup.startsWith("bench:")) fs.writeFileSync(setupFile, setup);
        args.push("--load", setupFile);
    }
    args.push("--", expr);
    let out = "";
    try {
        out = execFileSync(cli, args, { encoding: "utf8", stdio: ["ignore", "pipe", "ignore"], timeout: 60000 });
    } catch (e) {
        out = String(e.stdout || "");
    }
    const lines = out.split("\n");
    const value = lines.find((l) => l.startsWith("-->计算结果："));
    if (value !== undefined) return value.slice("-->计算结果：".length);
    const error = lines.find((l) => l.startsWith("-->错误描述："));
    if (error !== undefined) return "错误：" + error.slice("-->错误描述：".length);
    const type = lines.find((l) => l.startsWith("-->返回类型："));
    return type ? "(" + type.slice(7) + ")" : "错误：" + (lines.find((l) => l.startsWith("-->")) || "无输出");
}

(async () => {
    const rows = [];
    let same = 0, bareOk = 0, regressions = 0;
    const starts = [];
    for (const lib of libraries) {
        const ref = await inJsdom(lib);
        starts.push(ref.startMs);
        const on = inVexo(newCli, true, lib);
        const off = inVexo(newCli, false, lib);
        const today = todayCli ? inVexo(todayCli, false, lib) : off;
        const agrees = on === ref.value;
        same += agrees ? 1 : 0;
        bareOk += off === ref.value ? 1 : 0;
        const regressed = off !== today && !today.startsWith("错误");
        regressions += regressed ? 1 : 0;
        rows.push({ name: lib[0], jsdom: ref.value, on, off, today, agrees, regressed });
        process.stderr.write(lib[0] + (agrees ? " ok" : " DIFFERS") + "\n");
    }
    const cut = (s) => (s.length > 60 ? s.slice(0, 57) + "..." : s).replace(/\|/g, "\\|");
    console.log("| library | jsdom | 浏览器环境 on | off | same as jsdom |");
    console.log("|---|---|---|---|---|");
    for (const r of rows) console.log("| " + [r.name, cut(r.jsdom), cut(r.on), cut(r.off), r.agrees ? "yes" : "**no**"].join(" | ") + " |");
    starts.sort((a, b) => a - b);
    console.log("");
    console.log("with 浏览器环境: " + same + "/" + rows.length + " give jsdom's value; without: " + bareOk + "/" + rows.length + "; off vs today changed (not an error today): " + regressions);
    console.log("jsdom: new JSDOM() median " + starts[starts.length >> 1].toFixed(1) + " ms, first " + starts[0].toFixed(1) + " ms (after the module is loaded)");
    fs.writeFileSync(path.join(require("os").tmpdir(), "vexo-browser-bench.json"), JSON.stringify(rows, null, 1));
})();
