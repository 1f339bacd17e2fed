// The deobfuscator's later layers on their own, one table per layer: input, and the code
// the layer leaves (null: the layer changes nothing). The sandbox is a fresh global
// object of this engine.
import { parse, generate, treeParsed } from "../../src/tools/scripts/deob/babel.js";
import { handOffs } from "../../src/tools/scripts/deob/layers/handOff.js";
import { readableMinified } from "../../src/tools/scripts/deob/layers/minified.js";
import { unbundle } from "../../src/tools/scripts/deob/unbundle.js";
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
    // a body that returns stays a function (at the top it would end the script)
    ['Function("log(1); if (x) return 2; g(() => { return 3; })")();',
        "(function () { log(1); if (x) return 2; g(() => { return 3; }); })();"],
    // timers with a string
    ['setTimeout("log(2)", 0); window.setInterval("lo" + "g(9)", 5);',
        "setTimeout(function () { log(2); }, 0); window.setInterval(function () { log(9); }, 5);"],
    ['function c() { (0, eval)("log(g)"); }', "function c() { { log(g); } }"],
    // no-op: code that is not known, or would mean something else where it stands
    ["function f(s) { eval(s); }", null],
    ['function a() { var log = 1; setTimeout("log(1)", 0); }', null],
    ['function b() { "use strict"; setTimeout("log(2)", 0); }', null],
    // a timer string that declares globals: in its place only as the script's last word
    ['log(0); setTimeout("var z = 1; function h() {} log(z)", 0);', "log(0); var z = 1; function h() {} log(z);"],
    ['setTimeout("var z = 1; log(z)", 0); log(2);', null],
    ['log(typeof z); setTimeout("var z = 1;", 0);', null],
    ['Promise.resolve().then(f); setTimeout("var z = 1;", 0);', null],
    ['setInterval("var z = 1;", 5);', null],
    ['"use strict"; setTimeout("var z = 1;", 0);', null],
    ['function c() { var x = 5; (0, eval)("log(x)"); }', null],
    ['function d() { if (a) { eval("function q() {} log(q)"); } }', null],
    ['function e() { eval("return 1"); }', null],
    ['var s = "log(7)"; s = "log(8)"; function f() { eval(s); }', null],
    ['function g(Function) { Function("log(1)")(); }', null],
    ['eval(atob("b!Q="));', null],
    ["setTimeout(function () { log(1); }, 0);", null],
]);

layerTable("minified code written back", readableMinified, [
    ["x = !0, y = !1, z = void 0;", "x = true; y = false; z = undefined;"],
    ['if (typeof a > "u" || "u" < typeof b || typeof c < "u") f();',
        'if (typeof a === "undefined" || typeof b === "undefined" || typeof c !== "undefined") f();'],
    ['if ("abc" === s && 3 < n && null != o && -1 === i) f();', 'if (s === "abc" && n > 3 && o != null && i === -1) f();'],
    ['"string" == typeof s;', 'typeof s === "string";'],
    ["a && b(); a || c(); a ? b() : c();", "if (a) { b(); } if (!a) { c(); } if (a) { b(); } else { c(); }"],
    ["x !== y || (f(), g());", "if (x === y) { f(); g(); }"],
    ["a ? b() : c ? d() : e();", "if (a) { b(); } else if (c) { d(); } else { e(); }"],
    ["if (p) a && b(); else c();", "if (p) { if (a) { b(); } } else c();"],
    ["function f() { if (x) return a(), b; throw c(), d; }",
        "function f() { if (x) { a(); return b; } c(); throw d; }"],
    ["for (a(), i = 0; i < 3; i++) g(i);", "a(); for (i = 0; i < 3; i++) g(i);"],
    ["L: for (var n = 1, m = 2, i = 0; ;) break L;", "var n = 1; var m = 2; L: for (var i = 0;;) break L;"],
    ["if (a(), b) c();", "a(); if (b) c();"],
    ["for (a(), b(), i = 0, j = 1; ;) ;", "a(); b(); for (i = 0, j = 1;;);"],
    ["var a = 1, b = (f(), 2); let c = 3, d;", "var a = 1; f(); var b = 2; let c = 3; let d;"],
    ["var x = (f(), 2);", "f(); var x = 2;"],
    ["g(() => (a(), b));", "g(() => { a(); return b; });"],
    ["x = [1 / 0, -1 / 0, 0 / 0, 1e3, .5, 5e-3, 1.50, 2e21];",
        "x = [Infinity, -Infinity, NaN, 1000, 0.5, 0.005, 1.50, 2e21];"],
    ["!function () { f(); }();", "(function () { f(); })();"],
    // no-op: what is written as people write it already, and what cannot be turned round
    ["if (x === 1) { f(); }", null],
    ["for (let i = 0, n = a.length; i < n; i++) f(i);", null],
    ["for (i = 0, j = 9; i < j; i++, j--) f(i);", null],
    ["function g(undefined, Infinity) { return [void 0, 1 / 0]; }", null],
    ['x = a === b; y = "a" === "b"; z = a ?? b();', null],
    ["x = 1.5 + 0x10;", null],
]);

// A bundle's files run together (each a CommonJS module) in a fresh global object; what
// they log.
function runFiles(files) {
    const realm = createRealm("var __out = []; function log(x) { __out.push(String(x)); }");
    const entry = files.find((f) => f.entry);
    realm.__files = JSON.stringify(Object.fromEntries(files.map((f) => [f.name, f.code])));
    return realm.eval(`(function (files) {
        var cache = {};
        function load(path) {
            if (cache[path]) return cache[path].exports;
            var module = cache[path] = { exports: {} };
            Function("module", "exports", "require", files[path]).call(module.exports, module, module.exports,
                function (n) { var p = path.split("/").slice(0, -1).concat(n.replace(/^\\.\\//, "").split("/")).join("/");
                    return load(files.hasOwnProperty(p) ? p : p + ".js"); });
            return module.exports;
        }
        load(${JSON.stringify(entry.name)});
        return __out.join("|");
    })(JSON.parse(__files))`);
}

section("deob: a bundle's modules as files");
const loader5 = 'var c = {}; function r(id) { var x = c[id]; if (x !== undefined) return x.exports;' +
    ' var mod = c[id] = { exports: {} }; m[id](mod, mod.exports, r); return mod.exports; }';
const bundles = [
    ["webpack 5, named ids", '(() => { var m = { "./a.js": (module, exports, r) => { module.exports = r("./lib/b.js") + 1; },' +
        ' "./lib/b.js": (module) => { module.exports = 41; } }; ' + loader5 + ' log(r("./a.js")); })();',
        "a.js lib/b.js index.js", "42"],
    ["webpack 5, numbers and helpers", "(() => { var m = { 7(n, e, t) { t.d(e, { v: () => o }); const o = 'x'; } }; " +
        loader5.replace("m[id](mod", "m[id](mod") + " r.d = (e, d) => { for (var k in d) Object.defineProperty(e, k, { enumerable: true, get: d[k] }); };" +
        " r.o = (a, b) => Object.prototype.hasOwnProperty.call(a, b); log(r(7).v); })();",
        "module-7.js index.js webpack-runtime.js", "x"],
    ["webpack 4, array", "!function(e){var t={};function n(r){if(t[r])return t[r].exports;var o=t[r]={i:r,l:!1,exports:{}};" +
        "return e[r].call(o.exports,o,o.exports,n),o.l=!0,o.exports}n.c=t,n(n.s=0)}([function(e,t,n){log(n(1).k)}," +
        "function(e,t){t.k='four'}]);", "module-0.js module-1.js index.js", "four"],
    ["browserify", '(function(){function r(e,n,t){function o(i,f){if(!n[i]){if(!e[i]){var a=new Error("x");throw a}' +
        "var p=n[i]={exports:{}};e[i][0].call(p.exports,function(r){var n=e[i][1][r];return o(n||r)},p,p.exports,r,e,n,t)}" +
        "return n[i].exports}for(var u=0;u<t.length;u++)o(t[u]);return o}return r})()({1:[function(require,module,exports){" +
        'log(require("./util").twice(4))},{"./util":2}],2:[function(require,module,exports){exports.twice=function(x){return 2*x}},{}]},{},[1]);',
        "module-1.js util.js index.js", "8"],
    ["esbuild", 'var __getOwnPropNames = Object.getOwnPropertyNames; var __commonJS = (cb, mod) => function __require() {' +
        ' return mod || (0, cb[__getOwnPropNames(cb)[0]])((mod = { exports: {} }).exports, mod), mod.exports; };' +
        ' var require_b = __commonJS({ "src/b.js"(exports, module) { module.exports = "bee"; } });' +
        " var b = require_b(); log(b + '!');", "src/b.js index.js", "bee!"],
    // no-op: no loader, or a loader whose state a module reads
    ["plain script", "(() => { var o = { a: function () {} }; log(1); })();", null, null],
    ["module map read outside the loader", '(() => { var m = { "./a.js": (module) => { module.exports = Object.keys(m).length; } }; ' +
        loader5 + ' log(r("./a.js")); })();', null, null],
];
for (const [name, code, files, output] of bundles) {
    const r = unbundle(code);
    check(name + ": files", r ? r.files.map((f) => f.name).join(" ") : null, files);
    if (r) check(name + ": run together", runFiles(r.files), output);
}
