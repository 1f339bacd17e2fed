// The layers for js-confuser's shapes, each on a small case and on a look-alike it must
// leave alone. The decoder layer runs code in the sandbox: here a fresh realm stands in.
import { parse, generate, treeChanged } from "../../src/tools/scripts/deob/babel.js";
import { confuserPack } from "../../src/tools/scripts/deob/layers/confuserPack.js";
import { literalArrays, noopCalls, emptyFunctionTests } from "../../src/tools/scripts/deob/layers/confuserLiterals.js";
import { concealedGlobals } from "../../src/tools/scripts/deob/layers/confuserGlobals.js";
import { concealedStrings } from "../../src/tools/scripts/deob/layers/confuserStrings.js";
import { confuserFunctions } from "../../src/tools/scripts/deob/layers/confuserFunctions.js";
import { confuserRgf } from "../../src/tools/scripts/deob/layers/confuserRgf.js";
import { check, section } from "./harness.js";

if (typeof globalThis.vexoSandboxRun !== "function") {
    globalThis.vexoSandboxRun = (code) => {
        try {
            return { status: "ok", value: String(createRealm("").eval(code)) };
        } catch (e) {
            return { status: "error", value: String(e) };
        }
    };
}

// The code after one run of the layer (printed compactly), or "unchanged".
function peeled(layer, code) {
    const ast = parse(code);
    treeChanged();
    if (!layer.run(ast, code)) return "unchanged";
    return generate(ast).replace(/\s*\n\s*/g, " ");
}

const globalFinder = "function find() { var a = [function () { return globalThis; }, function () { return window; }];" +
    " return a[0](); } var g = find() || {};";
const decoderSetup = "var blob = 'hello world, these are the strings of the program in one line';" +
    " function dec(s, n) { return blob.slice(s, s + n); }";
const rgfString = (body) => JSON.stringify("function e() { var [fns, args] = arguments; " + body +
    " return f.apply(this, args); } e;");
const cases = [
    [confuserPack, "packed program",
        "Function('o', 'var x = o[\"a\"](1); o[\"b\"] = typeof o[\"t\"]; return o[\"a\"](x);')" +
        "({ get 'a'() { return log; }, get 'b'() { return y; }, set 'b'(v) { y = v; }, get 't'() { return typeof z; } });",
        "var x = log(1); y = typeof typeof z; log(x);"],
    [confuserPack, "Function whose code reads its own name", "Function('o', 'return o;')({});", "unchanged"],
    [literalArrays, "array of literals read at constant indexes",
        "const k = [0x1, 'length', !0x1]; log(s[k[1]] + k[0], k[2]);", "log(s[\"length\"] + 1, false);"],
    [literalArrays, "array that is written to", "const k = [1, 2]; k[0] = 3; log(k[0]);", "unchanged"],
    [noopCalls, "comma list carried by a function that does nothing",
        "function n() { n = function () {}; } n(a = 1, b(), 7); log(a);", "a = 1; b(); log(a);"],
    [noopCalls, "function that does something", "function n() { n = 1; } n(a = 1);", "unchanged"],
    [emptyFunctionTests, "key tested on an empty function",
        "function d() {} if ('x7Qp' in d) { dead(); } log(1);", "if (false) { dead(); } log(1);"],
    [emptyFunctionTests, "key every function has", "function d() {} if ('name' in d) log(1);", "unchanged"],
    [concealedGlobals, "globals behind a switch on the global object",
        globalFinder + " function get(m) { switch (m) { case 'k1': return g['log']; case 'k2': return g['JSON']; } }" +
        " get('k1')(get('k2').stringify(1));",
        "function find() { var a = [function () { return globalThis; }, function () { return window; }]; return a[0](); }" +
        " var g = find() || {}; log(JSON.stringify(1));"],
    [concealedGlobals, "switch over an ordinary object",
        "var g = {}; function get(m) { switch (m) { case 'k1': return g['log']; } } get('k1');", "unchanged"],
    [concealedStrings, "decoder calls, also inside a function that never runs",
        decoderSetup + " log(dec(0, 5)); function later() { return dec(6, 5); }",
        "var blob = 'hello world, these are the strings of the program in one line'; log(\"hello\");" +
        " function later() { return \"world\"; }"],
    [concealedStrings, "function called with numbers that reads no encoded text",
        "function sq(n) { return 'x'.repeat(n); } log(sq(3));", "unchanged"],
    [confuserFunctions, "masked variables",
        "function f(...m) { m['b'] = m[0] + m[1]; return m['b']; } log(f(1, 2));",
        "function f(_arg, _arg2) { var _b; _b = _arg + _arg2; return _b; } log(f(1, 2));"],
    [confuserFunctions, "flattened function",
        "function g(o, [a, b]) { return a * b; } function f(...r) { var o = {}; return g(o, r); } log(f(2, 3));",
        "function f(a, b) { return a * b; } log(f(2, 3));"],
    [confuserFunctions, "moved declarations",
        "function f(a, t, h) { if (!h) { h = function (x) { return x + 1; }; } t = h(a); return t; } log(f(1));",
        "function f(a) { var t; function h(x) { return x + 1; } t = h(a); return t; } log(f(1));"],
    [confuserFunctions, "optional parameter that a call passes", "function f(a, b) { return b; } f(1); f(1, 2);", "unchanged"],
    [confuserRgf, "functions rebuilt from strings",
        "function run(c) { return eval(c); } var fns = [run(" + rgfString("function f(a) { return a + 1; }") + ")];" +
        " function inc() { return fns[0].apply(this, [fns, arguments]); } log(inc(1));",
        "function inc(a) { return a + 1; } log(inc(1));"],
    [confuserRgf, "array of strings handed to an ordinary function",
        "function run(c) { return c.length; } var fns = [run(" + rgfString("function f(a) { return a; }") + ")];" +
        " function inc() { return fns[0].apply(this, [fns, arguments]); }", "unchanged"],
];

section("deob: js-confuser layers");
for (const [layer, what, input, want] of cases) check(layer.name + ": " + what, peeled(layer, input), want);
