// Regenerates the bundle, minified and stacked-layer fixtures under tests/data/deob/ from
// our apps (tests/data/deob/apps/) and programs (tests/data/deob/programs/). The
// bundlers, the minifier and the obfuscator are reference tools installed outside the
// project (only their output is committed):
//   npm install --prefix /tmp/deob-tools javascript-obfuscator webpack webpack-cli browserify terser
//   node devtools/deob/make-bundles.js [/tmp/deob-tools]
// esbuild is Debian's.
"use strict";
const fs = require("fs");
const path = require("path");
const os = require("os");
const { execFileSync } = require("child_process");

const tools = process.argv[2] || "/tmp/deob-tools";
const mod = (name) => require(path.join(tools, "node_modules", name));
const webpack = mod("webpack");
const browserify = mod("browserify");
const terser = mod("terser");
const JavaScriptObfuscator = mod("javascript-obfuscator");

const root = path.join(__dirname, "../../tests/data/deob");
const appsDir = path.join(root, "apps");
const apps = fs.readdirSync(appsDir).sort();
const programs = fs.readdirSync(path.join(root, "programs")).filter((f) => f.endsWith(".js")).sort();

function write(set, name, code) {
    const dir = path.join(root, set);
    fs.mkdirSync(dir, { recursive: true });
    fs.writeFileSync(path.join(dir, name), code);
}

function clear(set) {
    fs.rmSync(path.join(root, set), { recursive: true, force: true });
}

function runWebpack(app, options) {
    const out = fs.mkdtempSync(path.join(os.tmpdir(), "vexo-wp-"));
    const config = Object.assign({
        context: path.join(appsDir, app),
        entry: "./index.js",
        output: { path: out, filename: "[name].js" },
        target: ["web", "es2020"],
        module: { rules: [{ test: /\.mjs$/, type: "javascript/auto" }] },
        resolve: { fullySpecified: false },
    }, options);
    return new Promise((resolve, reject) => {
        webpack(config, (err, stats) => {
            if (err || stats.hasErrors()) return reject(err || new Error(stats.toString("errors-only")));
            // A page loads the runtime first, then the chunks.
            const files = fs.readdirSync(out).sort((a, b) => (a === "runtime.js" ? -1 : b === "runtime.js" ? 1 : a < b ? -1 : 1));
            const code = files.map((f) => fs.readFileSync(path.join(out, f), "utf8")).join("\n");
            fs.rmSync(out, { recursive: true, force: true });
            resolve(code);
        });
    });
}

function runBrowserify(app) {
    return new Promise((resolve, reject) => {
        browserify(path.join(appsDir, app, "index.js")).bundle((err, buf) => (err ? reject(err) : resolve(String(buf))));
    });
}

// Run in the app's folder, so that the bundle names its modules as the app does.
function runEsbuild(app, extra) {
    return execFileSync("esbuild", ["index.js", "--bundle", "--format=iife", "--log-level=error"].concat(extra || []),
        { encoding: "utf8", cwd: path.join(appsDir, app) });
}

async function minify(code) {
    return (await terser.minify(code, { compress: { passes: 2 }, mangle: true })).code;
}

function obfuscate(code, options) {
    return JavaScriptObfuscator.obfuscate(code, Object.assign({ seed: 7, log: false, stringArrayThreshold: 1 },
        options)).getObfuscatedCode();
}

// Browserify reads CommonJS only.
const commonJsOnly = (app) => !fs.readdirSync(path.join(appsDir, app)).some((f) => {
    const text = fs.readFileSync(path.join(appsDir, app, f), "utf8");
    return f.endsWith(".mjs") || /^\s*(?:import|export)\b/m.test(text);
});

(async () => {
    let made = 0;
    const sets = ["webpack-dev", "webpack-eval", "webpack-prod", "webpack-runtime", "webpack-obfuscated",
        "browserify", "browserify-min", "esbuild-cjs", "esbuild-min", "minified-terser", "minified-esbuild"];
    sets.forEach(clear);
    for (const app of apps) {
        const name = app + ".js";
        const dev = { mode: "development", devtool: false };
        write("webpack-dev", name, await runWebpack(app, dev));
        write("webpack-eval", name, await runWebpack(app, { mode: "development", devtool: "eval" }));
        const prod = await runWebpack(app, { mode: "production" });
        write("webpack-prod", name, prod);
        write("webpack-runtime", name, await runWebpack(app, Object.assign({}, dev,
            { optimization: { runtimeChunk: "single" } })));
        write("webpack-obfuscated", name, obfuscate(prod, {}));
        made += 5;
        if (commonJsOnly(app)) {
            const b = await runBrowserify(app);
            write("browserify", name, b);
            write("browserify-min", name, await minify(b));
            made += 2;
        }
        const e = runEsbuild(app);
        if (/__commonJS|__esm/.test(e)) {
            write("esbuild-cjs", name, e);
            write("esbuild-min", name, runEsbuild(app, ["--minify"]));
            made += 2;
        }
    }
    for (const p of programs) {
        const code = fs.readFileSync(path.join(root, "programs", p), "utf8");
        write("minified-terser", p, await minify(code));
        write("minified-esbuild", p, execFileSync("esbuild", ["--minify", "--log-level=error"], { input: code, encoding: "utf8" }));
        made += 2;
    }
    console.log(`${made} fixtures written under ${root}`);
})().catch((e) => {
    console.error(e);
    process.exit(1);
});
