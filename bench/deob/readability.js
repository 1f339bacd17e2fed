// How much more readable the minified fixtures come out: tokens, `!0`/`!1`, `void 0`,
// comma sequences and conditional statements (`a && b();`) before and after.
//   node bench/deob/readability.js DIR_OF_RESULTS   (as written by bench/deob/run.sh)
"use strict";
const fs = require("fs");
const path = require("path");
const babel = require("/usr/share/nodejs/@babel/parser");
const root = path.join(__dirname, "../../tests/data/deob");
const sets = ["minified-terser", "minified-esbuild", "browserify-min", "esbuild-min", "webpack-prod"];

function counts(code) {
    const ast = babel.parse(code, { sourceType: "unambiguous", tokens: true });
    const c = { tokens: ast.tokens.length, bang: 0, void0: 0, sequences: 0, statementsAsExpressions: 0 };
    const walk = (n, parent) => {
        if (!n || typeof n !== "object") return;
        if (Array.isArray(n)) return n.forEach((x) => walk(x, parent));
        if (n.type === "UnaryExpression" && n.operator === "!" && n.argument.type === "NumericLiteral") c.bang++;
        if (n.type === "UnaryExpression" && n.operator === "void" && n.argument.type === "NumericLiteral") c.void0++;
        if (n.type === "SequenceExpression" && !(parent && parent.type === "ForStatement")) c.sequences++;
        if (n.type === "ExpressionStatement" && /Logical|Conditional/.test(n.expression.type)) c.statementsAsExpressions++;
        for (const k of Object.keys(n)) if (k !== "loc" && k !== "extra" && k !== "tokens") walk(n[k], n);
    };
    walk(ast.program, null);
    return c;
}

const results = process.argv[2];
console.log("| set | files | tokens | `!0`/`!1` | `void 0` | sequences | `a && b()` statements |\n|---|---|---|---|---|---|---|");
for (const set of sets) {
    const dir = path.join(root, set);
    if (!fs.existsSync(dir)) continue;
    const before = { tokens: 0, bang: 0, void0: 0, sequences: 0, statementsAsExpressions: 0 }, after = Object.assign({}, before);
    let n = 0;
    for (const f of fs.readdirSync(dir).sort()) {
        const a = counts(fs.readFileSync(path.join(dir, f), "utf8"));
        const b = counts(fs.readFileSync(path.join(results, set, f), "utf8"));
        for (const k of Object.keys(before)) { before[k] += a[k]; after[k] += b[k]; }
        n++;
    }
    const cell = (k) => `${before[k]} → ${after[k]}`;
    console.log(`| ${set} | ${n} | ${cell("tokens")} | ${cell("bang")} | ${cell("void0")} | ${cell("sequences")} | ${cell("statementsAsExpressions")} |`);
}
