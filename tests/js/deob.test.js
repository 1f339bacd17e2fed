// The deobfuscator's helpers on their own: constant evaluation and substitution.
import { parse, generateNode } from "../../src/tools/scripts/deob/babel.js";
import { constantValue, isPrintable, isObfuscatedName, isPlainName } from "../../src/tools/scripts/deob/constant.js";
import { substitute, namesRead, containsFunction, memberKey } from "../../src/tools/scripts/deob/subst.js";
import { check, section } from "./harness.js";

function expr(code) {
    return parse("(" + code + ");").program.body[0].expression;
}
// The constant's value as JSON-like text, "NONE" when the expression is not constant.
function valueOf(code, env) {
    const v = constantValue(expr(code), null, env);
    if (!v) return "NONE";
    return v.value === undefined ? "undefined" : Object.is(v.value, NaN) ? "NaN" : JSON.stringify(v.value);
}

section("deob: constant evaluation");
const constants = [
    ["1 + 2 * 3", "7"], ["'a' + 1 + 2", '"a12"'], ["'abc'.length", "3"], ["[1, 2, 3]['length']", "3"],
    ["![]", "false"], ["-[]", "0"], ["-[1, 2]", "NONE"], ["+[7]", "7"], ["typeof 'x'", '"string"'],
    ["void 0", "undefined"], ["1 ? 'a' : b", '"a"'], ["0 ? b : 'c'", '"c"'], ["0 || 'd'", '"d"'],
    ["null ?? 5", "5"], ["x + 1", "NONE"], ["'a' in o", "NONE"], ["[1, [2]]", "NONE"], ["[1, ...a]", "NONE"],
    ["`t`", '"t"'], ["`t${1}`", "NONE"], ["(1, 2)", "NONE"], ["[] === []", "false"], ["1 !== 1", "false"],
    ["2 ** 10 >>> 1", "512"], ["undefined", "NONE"], ["delete a.b", "NONE"], ["'x' - 1", "NaN"],
];
for (const [code, want] of constants) check(code, valueOf(code), want);
check("names from env", valueOf("a * 3 + b", { a: 2, b: "!" }), '"6!"');
check("printable", [1, "s", true, null, -0, NaN, Infinity, undefined, [1]].map(isPrintable).join(),
    "true,true,true,true,false,false,false,false,false");
check("obfuscated names", ["_0x1a2b", "_0xABC", "_0x", "_0xzz", "a_b", "b_0x1a2b", "b__0x1a2b", "a1_0x3f",
    "value_0x1a", "b0x1a", "box_0x"].map(isObfuscatedName).join(), "true,true,false,false,false,true,true,true,false,false,false");
check("plain names", ["a", "$_1", "let", "await", "1a", "名"].map(isPlainName).join(),
    "true,true,false,false,false,false");

section("deob: substitution");
const b = expr("g(1)");
check("names replaced, properties kept", generateNode(substitute(expr("a + o.a + o[a] + {a: a}"), { a: b })),
    "g(1) + o.a + o[g(1)] + {\n  a: g(1)\n}");
check("replacement copied each time", (() => {
    const out = substitute(expr("[a, a]"), { a: b });
    return out.elements[0] !== out.elements[1] && out.elements[0] !== b;
})(), true);
check("original left alone", generateNode(((e) => (substitute(e, { a: b }), e))(expr("a + 1"))), "a + 1");
check("names read", namesRead(expr("a + o.b + c[d] + {e: f}")).join(), "a,o,c,d,f");
check("functions found", ["() => 1", "function () {}", "this.x", "a + b"].map((c) => containsFunction(expr(c))).join(),
    "true,true,true,false");
check("member keys", ["o.k", "o['k']", "o[7]", "o[k]"].map((c) => memberKey(expr(c))).join(), "k,k,7,");

// Modules linked into one scope: the cases that link, and each thing that keeps the loader.
import { linkModules } from "../../src/tools/scripts/deob/link.js";
section("deob: modules linked into one scope");
const files = (list) => list.map(([name, code], i) => ({ name, code, entry: i === list.length - 1 }));
const linked = (list) => { const r = linkModules(files(list)); return r === null ? null : r.replace(/\s*\n\s*/g, " "); };
for (const [what, list, want] of [
    ["exports by value and by member, a clash renamed", [
        ["a.js", "var n = 1; module.exports = function () { return n; };"],
        ["b.js", "var n = 2; exports.k = n; exports.log = log;"],
        ["index.js", "var a = require(\"./a.js\"); var b = require(\"./b.js\"); log(a() + b.k);"]],
        "(function () { var aExports = {}; var n = 1; aExports = function () { return n; }; var bExports = {}; var n2 = 2;" +
        " bExports.k = n2; bExports.log = log; var indexExports = {}; var a = aExports; var b = bExports; log(a() + b.k); })();"],
    ["requires at the start of a function run at once", [
        ["a.js", "module.exports = 3;"],
        ["index.js", "let out = {}; (() => { var a = require(\"./a.js\"); log(a); })();"]],
        "(function () { var aExports = {}; aExports = 3; var indexExports = {}; let out = {}; (() => { var a = aExports;" +
        " log(a); })(); })();"],
    ["aliases of module and exports, a module in one block", [
        ["a.js", "{ var t = module; function f() { return 2; } t.exports = f; }"],
        ["b.js", "var n = exports; n.k = 1;"],
        ["index.js", "var a = require(\"./a.js\"); var b = require(\"./b.js\"); log(a() + b.k);"]],
        "(function () { var aExports = {}; function f() { return 2; } aExports = f; var bExports = {}; bExports.k = 1;" +
        " var indexExports = {}; var a = aExports; var b = bExports; log(a() + b.k); })();"],
    ["a circle", [["a.js", "var b = require(\"./b.js\");"], ["b.js", "var a = require(\"./a.js\");"],
        ["index.js", "require(\"./a.js\");"]], null],
    ["a require after the module's own code", [["a.js", "log(1);"], ["index.js", "log(0); require(\"./a.js\");"]], null],
    ["a require of a computed name", [["a.js", "log(1);"], ["index.js", "require(\"./\" + x);"]], null],
    ["module handed on as a value", [["a.js", "keep(module); module.exports = 1;"], ["index.js", "require(\"./a.js\");"]], null],
    ["an alias of module that is written to", [["a.js", "var m = module; m = {}; m.exports = 1;"],
        ["index.js", "require(\"./a.js\");"]], null],
    ["this at the module's top", [["a.js", "this.k = 1;"], ["index.js", "require(\"./a.js\");"]], null],
    ["module.exports and exports.k together", [["a.js", "exports.k = 1; module.exports = 2;"],
        ["index.js", "require(\"./a.js\");"]], null],
    ["the loader's runtime still needed", [["webpack-runtime.js", "exports.r = 1;"], ["index.js", "log(1);"]], null],
]) check(what, linked(list), want);
