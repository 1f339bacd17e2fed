// The deobfuscator's later layers on their own, one table per layer: input, and the code
// the layer leaves (null: the layer changes nothing). The sandbox is a fresh global
// object of this engine.
import { parse, generate, treeParsed } from "../../src/tools/scripts/deob/babel.js";
import { handOffs } from "../../src/tools/scripts/deob/layers/handOff.js";
import { check, section } from "./harness.js";

if (typeof globalThis.vexoSandboxRun !== "function") {
    globalThis.vexoSandboxRun = (code) => {
        try {
            return { status: "ok", value: String(createRealm().eval(code)) };
        } catch (e) {
            return { status: "error", value: String(e) };
        }
    };
}

const compact = (s) => s.replace(/\s+/g, " ").trim();

// What the layer makes of the code, run again on its output as the rounds of the
// pipeline do (compacted), or null when it changed nothing.
function applied(layer, code) {
    let out = null;
    for (let round = 0; round < 5; ++round) {
        const text = out === null ? code : out;
        const ast = parse(text);
        treeParsed();
        if (!layer.run(ast, text)) break;
        out = generate(ast);
    }
    return out === null ? null : compact(out);
}

export function layerTable(name, layer, cases) {
    section("deob layer: " + name);
    for (const [input, want] of cases) check(input, applied(layer, input), want === null ? null : compact(want));
}

layerTable("code handed over as a string", handOffs, [
    // eval in a function two wrappers deep, behind atob and a constant
    ['function f() { (function () { var s = atob("bG9nKDEp"); eval(s); })(); }',
        "function f() { (function () { log(1); })(); }"],
    ['function f() { eval(decodeURIComponent(escape(atob("bG9nKCfkvaDlpb0nKQ")))); }',
        "function f() { log('你好'); }"],
    ["function f() { var o = eval('({a: 1})'); }", "function f() { var o = { a: 1 }; }"],
    ['function f() { eval("let x = 1; log(x)"); }', "function f() { { let x = 1; log(x); } }"],
    // Function through an alias, constructor.constructor and a parameter
    ['var F = Function; F("log(3)")();', "log(3);"],
    ["function h() { [].constructor.constructor(String.fromCharCode(108,111,103,40,53,41))(); }",
        "function h() { (function () { log(5); })(); }"],
    ["(function (F) { return F(F('return this')().decodeURIComponent('log(%22x%22)')); })(Function)();",
        'log("x");'],
    ['var add = new Function("a", "b", "return a + b");', "var add = function (a, b) { return a + b; };"],
    // timers with a string
    ['setTimeout("log(2)", 0); window.setInterval("lo" + "g(9)", 5);',
        "setTimeout(function () { log(2); }, 0); window.setInterval(function () { log(9); }, 5);"],
    ['function c() { (0, eval)("log(g)"); }', "function c() { { log(g); } }"],
    // no-op: code that is not known, or would mean something else where it stands
    ["function f(s) { eval(s); }", null],
    ['function a() { var log = 1; setTimeout("log(1)", 0); }', null],
    ['function b() { "use strict"; setTimeout("log(2)", 0); }', null],
    ['setTimeout("var z = 1; log(z)", 0);', null],
    ['function c() { var x = 5; (0, eval)("log(x)"); }', null],
    ['function d() { if (a) { eval("function q() {} log(q)"); } }', null],
    ['function e() { eval("return 1"); }', null],
    ['var s = "log(7)"; s = "log(8)"; function f() { eval(s); }', null],
    ['function g(Function) { Function("log(1)")(); }', null],
    ['eval(atob("b!Q="));', null],
    ["setTimeout(function () { log(1); }, 0);", null],
]);
