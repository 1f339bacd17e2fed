// The layers for js-confuser's shapes, each on a small case and on a look-alike it must
// leave alone. The decoder layer runs code in the sandbox: here a fresh realm stands in.
import {generate, parse, treeChanged} from "../../src/tools/scripts/deob/babel.js";
import {calculator} from "../../src/tools/scripts/deob/layers/confuserCalculator.js";
import {dispatcher} from "../../src/tools/scripts/deob/layers/confuserDispatcher.js";
import {globalFinders} from "../../src/tools/scripts/deob/layers/confuserFinders.js";
import {confuserFunctions} from "../../src/tools/scripts/deob/layers/confuserFunctions.js";
import {concealedGlobals} from "../../src/tools/scripts/deob/layers/confuserGlobals.js";
import {
    emptyFunctionTests,
    literalArrays,
    noopCalls
} from "../../src/tools/scripts/deob/layers/confuserLiterals.js";
import {memberStrings} from "../../src/tools/scripts/deob/layers/confuserMemberStrings.js";
import {confuserPack} from "../../src/tools/scripts/deob/layers/confuserPack.js";
import {stateRebuild} from "../../src/tools/scripts/deob/layers/confuserRebuild.js";
import {confuserRgf} from "../../src/tools/scripts/deob/layers/confuserRgf.js";
import {stateMachines} from "../../src/tools/scripts/deob/layers/confuserStates.js";
import {concealedStrings} from "../../src/tools/scripts/deob/layers/confuserStrings.js";

import {check, section} from "./harness.js";

if (typeof globalThis.vexoSandboxRun !== "function") {
    globalThis.vexoSandboxRun = (code) => {
        try {
            return {status : "ok", value : String(createRealm("").eval(code))};
        } catch (e) {
            return {status : "error", value : String(e)};
        }
    };
}

// The code after one run of the layer (printed compactly), or "unchanged".
function peeled(layer, code) {
    const ast = parse(code);
    treeChanged();
    const changed = layer.run(ast, code);
    if (layer.remark)
        layer.remark();
    if (!changed)
        return "unchanged";
    return generate(ast).replace(/\s*\n\s*/g, " ");
}

const globalFinder =
    "function find() { var a = [function () { return globalThis; }, function () { return window; }];" +
    " return a[0](); } var g = find() || {};";
const decoderSetup = "var blob = 'hello world, these are the strings of the program in one line';" +
                     " function dec(s, n) { return blob.slice(s, s + n); }";
const rgfString = (body) => JSON.stringify("function e() { var [fns, args] = arguments; " + body +
                                           " return f.apply(this, args); } e;");
const dispatched = (calls) =>
    "var c = Object.create(null); var p; function d(name, flag, kind) { var output;" +
    " var fns = { k1: function () { var [a] = p; return a * 2; }, k2: function () { return 7; } };" +
    " if (flag === 'CL') { p = []; } if (flag === 'MK') { function make() { var fn = function (...args) { p = args;" +
    " return fns[name].apply(this); }; return fn; } output = c[name] || (c[name] = make()); } else { output = fns[name](); }" +
    " if (kind === 'RT') { return { v: output }; } else { return output; } } " + calls;
const summer =
    "function sum(a) { var t = 0; for (var i = 0; i < a.length; i++) t += a[i]; return t; } ";
const machine = (cases, calls) => summer +
                                  "function main(s, x) { while (sum(s) !== 0) switch (sum(s)) { " +
                                  cases + " } } " + calls;
const nested = (calls) =>
    summer +
    "function inner(sc, x, arg) { [sc.g.s, sc.g.v] = arg; while (sum(sc.g.s) !== 0) switch (sum(sc.g.s)) {" +
    " case 3: log(sc.g.v); sc.g.s[0] -= 1; break; case 2: if (sc.g.v) { sc.g.s[0] -= 2; break; } log('none'); sc.g.s[0] -= 2; break; } }" +
    " var holder = {}; holder.run = function (...a) { return inner({ g: {} }, 0, a); }; " + calls;
// A decoder kept in a member of a scope object, made each time the function runs; `use`
// is code after it in that function.
const heldDecoder = (use, after = "") =>
    "var blob = 'hello world, these are the strings of the program in one line';" +
    " function inner(sc, x, a) { return blob.slice(a[0], a[0] + a[1]); }" +
    " function get(sc = { m: {} }, k) { sc.m.dec = function (...a) { return inner({ m: sc.m }, 0, a); }; " +
    use + " } " + after;
const cases = [
    [
        confuserPack, "packed program",
        "Function('o', 'var x = o[\"a\"](1); o[\"b\"] = typeof o[\"t\"]; return o[\"a\"](x);')" +
            "({ get 'a'() { return log; }, get 'b'() { return y; }, set 'b'(v) { y = v; }, get 't'() { return typeof z; } });",
        "var x = log(1); y = typeof typeof z; log(x);"
    ],
    [
        confuserPack, "packed program with arrows that return",
        "Function('o', 'var f = (a) => { return a; }; return o[\"a\"](f(1));')({ get 'a'() { return log; } });",
        "var f = a => { return a; }; log(f(1));"
    ],
    [
        confuserPack, "Function whose code reads its own name", "Function('o', 'return o;')({});",
        "unchanged"
    ],
    [
        literalArrays, "array of literals read at constant indexes",
        "const k = [0x1, 'length', !0x1, void 0]; log(s[k[1]] + k[0], k[2], k[3], k[0], k[1], k[2], k[3]);",
        "log(s[\"length\"] + 1, false, void 0, 1, \"length\", false, void 0);"
    ],
    [
        literalArrays, "array read also at computed indexes",
        "const k = [7, 8]; log(k[1], k[i], k[0], k[1]);", "const k = [7, 8]; log(8, k[i], 7, 8);"
    ],
    [
        literalArrays, "a program's own array, read once", "var names = ['a', 'b']; log(names[0]);",
        "unchanged"
    ],
    [
        literalArrays, "array that is written to", "const k = [1, 2]; k[0] = 3; log(k[0]);",
        "unchanged"
    ],
    [
        noopCalls, "comma list carried by a function that does nothing",
        "function n() { n = function () {}; } n(a = 1, b(), 7); log(a);", "a = 1; b(); log(a);"
    ],
    [ noopCalls, "function that does something", "function n() { n = 1; } n(a = 1);", "unchanged" ],
    [
        emptyFunctionTests, "key tested on an empty function",
        "function d() {} if ('x7Qp' in d) { dead(); } function dead() { x(); } log(!('y' in d) && 2);",
        "log(!false && 2);"
    ],
    [
        emptyFunctionTests, "key every function has", "function d() {} if ('name' in d) log(1);",
        "unchanged"
    ],
    [
        concealedGlobals, "globals behind a switch on the global object",
        globalFinder +
            " function get(m) { switch (m) { case 'k1': return g['log']; case 'k2': return g['JSON']; } }" +
            " get('k1')(get('k2').stringify(1));",
        "log(JSON.stringify(1));"
    ],
    [
        concealedGlobals, "switch in an inner function that sets a flag, keys from a table",
        globalFinder +
            " const t = [0, 'length', 'g']; function get(...a) { var f, r; function in_(sc = { m: {} }) { a[t[1]] = 1;" +
            " switch (a[t[0]]) { case 'k' + t[2]: f = true; return g.log; } } f = undefined; r = in_(); if (f) { return r; } }" +
            " get('kg')(t[2]);",
        "const t = [0, 'length', 'g']; log(t[2]);"
    ],
    [
        concealedGlobals, "flagged switch whose table is written to",
        globalFinder +
            " const t = [0, 'length', 'g']; t[2] = 'h'; function get(...a) { var f, r; function in_() { a[t[1]] = 1;" +
            " switch (a[t[0]]) { case 'k' + t[2]: f = true; return g.log; } } f = undefined; r = in_(); if (f) { return r; } }" +
            " get('kh')(1);",
        "unchanged"
    ],
    [
        concealedGlobals, "switch over an ordinary object",
        "var g = {}; function get(m) { switch (m) { case 'k1': return g['log']; } } get('k1');",
        "unchanged"
    ],
    [
        concealedStrings, "decoder calls, also inside a function that never runs",
        decoderSetup + " log(dec(0, 5)); function later() { return dec(6, 5); }",
        "log(\"hello\"); function later() { return \"world\"; }"
    ],
    [
        concealedStrings, "function called with numbers that reads no encoded text",
        "function sq(n) { return 'x'.repeat(n); } log(sq(3));", "unchanged"
    ],
    [
        concealedStrings, "a program's own encoder with a long alphabet",
        "var B = 'ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/';" +
            " function enc(a, n) { return B.charAt(a.length + n); } log(enc(bytes('x'), 2), enc([1], 1));",
        "unchanged"
    ],
    [
        memberStrings, "member-held decoder, also in a case that never matches",
        heldDecoder(
            "switch (k) { case 1: return (1, sc.m.dec)(0, 5); case 2: return (1, sc.m.dec)(6, 5); }",
            "log(get(undefined, 1));"),
        "function get(sc = { m: {} }, k) { switch (k) { case 1: return \"hello\"; case 2: return \"world\"; } } log(get(undefined, 1));"
    ],
    [
        memberStrings, "holder object read by a computed key: the decoder stays",
        heldDecoder("log(sc.m[k]); return (1, sc.m.dec)(0, 5);", "log(get(undefined, 'dec'));"),
        "var blob = 'hello world, these are the strings of the program in one line'; function inner(sc, x, a) { return blob.slice(a[0], a[0] + a[1]); }" +
            " function get(sc = { m: {} }, k) { sc.m.dec = function (...a) { return inner({ m: sc.m }, 0, a); }; log(sc.m[k]); return \"hello\"; } log(get(undefined, 'dec'));"
    ],
    [
        memberStrings, "member function that writes outside itself",
        "var out = []; var blob = 'hello world, these are the strings of the program in one line'; var h = { m: {} };" +
            " h.m.f = function (a, b) { out.length = 0; return blob.slice(a, a + b); }; log((1, h.m.f)(0, 5));",
        "unchanged"
    ],
    [
        memberStrings, "local decoder given only when the caller passed none",
        "var blob = 'hello world, these are the strings of the program in one line'; function f(k, dec) {" +
            " if (!dec) dec = function (a, b) { return blob.slice(a, a + b); }; return k === 1 ? dec(0, 5) : dec(6, 5); } log(f(1));",
        "function f(k, dec) { return k === 1 ? \"hello\" : \"world\"; } log(f(1));"
    ],
    [
        memberStrings, "declared function that only calls a decoder is the program's own",
        "var out = [1]; var blob = 'hello world, these are the strings of the program in one line'; var k = [5];" +
            " function dec(a, b) { return blob.slice(a, a + b); } function risky(n) { out.length = 0; return dec(0, n); } log(risky(k[0]), out.length);",
        "unchanged"
    ],
    [
        confuserFunctions, "masked variables",
        "function f(...m) { m['b'] = m[0] + m[1]; return m['b']; } log(f(1, 2));",
        "function f(_arg, _arg2) { var _b; _b = _arg + _arg2; return _b; } log(f(1, 2));"
    ],
    [
        confuserFunctions, "masked variables cut to the arity",
        "function f(...m) { m.length = 2; m[2] = m[0]; return m[2] + m[1]; } log(f(1, 2, 3));",
        "function f(_arg, _arg2) { var _local; _local = _arg; return _local + _arg2; } log(f(1, 2, 3));"
    ],
    [
        confuserFunctions, "flattened function",
        "function g(o, [a, b]) { return a * b; } function f(...r) { var o = {}; return g(o, r); } log(f(2, 3));",
        "function f(a, b) { return a * b; } log(f(2, 3));"
    ],
    [
        confuserFunctions, "moved declarations",
        "function f(a, t, h) { if (!h) { h = function (x) { return x + 1; }; } t = h(a); return t; } log(f(1));",
        "function f(a) { var t; function h(x) { return x + 1; } t = h(a); return t; } log(f(1));"
    ],
    [
        confuserFunctions, "optional parameter that a call passes",
        "function f(a, b) { return b; } f(1); f(1, 2);", "unchanged"
    ],
    [
        confuserRgf, "functions rebuilt from strings",
        "function run(c) { return eval(c); } var fns = [run(" +
            rgfString("function f(a) { return a + 1; }") + ")];" +
            " function inc() { return fns[0].apply(this, [fns, arguments]); } log(inc(1));",
        "function inc(a) { return a + 1; } log(inc(1));"
    ],
    [
        confuserRgf, "rebuilt callback beside a local that would hide what it reads",
        "function run(c) { return eval(c); } var fns = [run(" +
            rgfString("function f(a) { return a + k; }") + ")];" +
            " function g(k) { return [1].map(function () { return fns[0].apply(this, [fns, arguments]); }); }",
        "unchanged"
    ],
    [
        confuserRgf, "array of strings handed to an ordinary function",
        "function run(c) { return c.length; } var fns = [run(" +
            rgfString("function f(a) { return a; }") + ")];" +
            " function inc() { return fns[0].apply(this, [fns, arguments]); }",
        "unchanged"
    ],
    [
        calculator, "operators behind a switch",
        "function c(o, a, b) { switch (o) { case 'k1': return a + b; case 'k2': return -a; } } log(c('k1', 1, x), c('k2', y));",
        "log(1 + x, -y);"
    ],
    [
        stateMachines, "state array followed from its entries",
        machine(
            "case 5: log(s[0] + 1); s[0] += s[1] - 2; break; case 3: if (s[1] != 0) { log(s[0]); break; }" +
                " if (x) { s[1] -= 3, s[0] += 0; break; } s[0] -= 3; break; case 9: log('dead'); break;" +
                " case s[1] - 3: return x; case s[0] + 1: log(s[1]); s[0] = 0; break;",
            "main([5, 0], 1); main([5, 0], 0);"),
        "function sum(a) { var t = 0; for (var i = 0; i < a.length; i++) t += a[i]; return t; } function main(s, x) {" +
            " while (sum(s) !== 0) switch (sum(s)) { case 5: log(6); s[0] += s[1] - 2; if (false) { log(s[0]);" +
            " break; } if (x) { s[1] -= 3, s[0] += 0; break; } s[0] -= 3; break; } } main([5, 0], 1); main([5, 0], 0);"
    ],
    [
        stateMachines, "loop back to a case the machine has seen",
        machine(
            "case 4: log(s[0]); s[0] -= 1; break; case 3: if (n-- > 0) { s[0] += 1; break; } s[0] -= 3; break;",
            "var n = 2; main([4]);"),
        "function sum(a) { var t = 0; for (var i = 0; i < a.length; i++) t += a[i]; return t; } function main(s, x) {" +
            " while (sum(s) !== 0) switch (sum(s)) { case 4: log(4); s[0] -= 1; if (n-- > 0) { s[0] += 1; break; }" +
            " s[0] -= 3; break; } } var n = 2; main([4]);"
    ],
    [
        stateMachines, "state array the program also hands on",
        machine("case 5: s[0] = 0; log(s); break;", "main([5]);"), "unchanged"
    ],
    [
        stateMachines, "state update the walk cannot compute",
        machine("case 5: s[0] -= s[0] * k; break;", "var k = 1; main([5]);"), "unchanged"
    ],
    [
        stateRebuild, "blocks in order, the program's test as a loop",
        machine(
            "case 5: log('a'); s[0] -= 1; break; case 4: if (n > 0) { s[0] -= 1; break; } s[0] -= 4; break;" +
                " case 3: log(n); n--; s[0] += 1; break;",
            "var n = 2; main([5]);"),
        "function main_1(x) { log('a'); while (n > 0) { log(n); n--; } } var n = 2; main_1();"
    ],
    [
        stateRebuild, "each entry its own function; a join after if/else; a read as its number",
        machine(
            "case 5: log(x); s[0] -= 1; break; case 4: if (x) { s[0] -= 2; break; } log('no'); s[0] -= 1; break;" +
                " case 3: log('yes'); s[0] -= 1; break; case 2: log('end'); return x; case 7: log(s[0] * 2); s[0] -= 7; break;",
            "main([5], 1); main([5], 0); main([7]);"),
        "function main_1(x) { log(x); if (!x) { log('no'); log('yes'); } log('end'); return x; }" +
            " function main_2(x) { log(14); } main_1(1); main_1(0); main_2();"
    ],
    [
        stateRebuild, "loop tested at its end",
        machine(
            "case 5: log(x); s[0] -= 1; break; case 4: log(n); n--; if (n > 0) { s[0] += 1; break; } s[0] -= 4; break;",
            "var n = 3; main([5]);"),
        "function main_1(x) { do { log(x); log(n); n--; } while (n > 0); } var n = 3; main_1();"
    ],
    [
        stateRebuild, "the program's own labelled loop keeps its label",
        machine(
            "case 5: a: for (var i = 0; i < 3; i++) for (;;) { if (i) continue a; break a; } s[0] -= 5; break;",
            "main([5]);"),
        "function main_1(x) { a: for (var i = 0; i < 3; i++) for (;;) { if (i) continue a; break a; } } main_1();"
    ],
    [
        stateRebuild, "machine nested in a scope member, every call with the same states",
        nested("(1, holder.run)([3], 'hi'); holder.run([3], '');"),
        "function inner(sc, x, arg) { [, sc.g.v] = arg; log(sc.g.v); if (sc.g.v) { return; } log('none'); } var holder = {};" +
            " holder.run = function (...a) { return inner({ g: {} }, 0, a); }; (1, holder.run)(undefined, 'hi'); holder.run(undefined, '');"
    ],
    [
        stateRebuild, "nested machine entered with different states",
        nested("holder.run([3], 'hi'); holder.run([1, 1], '');"), "unchanged"
    ],
    [
        stateRebuild, "machine that reads its arguments",
        machine("case 5: log(arguments.length); s[0] -= 5; break;", "main([5]);"), "unchanged"
    ],
    [
        stateRebuild, "machine also used other than by calls",
        machine("case 5: log(1); s[0] -= 5; break;", "main([5]); var f = main;"), "unchanged"
    ],
    [
        globalFinders, "candidates after globalThis, and what only they used",
        "var key = 'x'; function dec(k) { return k + 'this'; } function find() { var a = [function () { return globalThis; }," +
            " function () { return new Function(dec('return '))(); }]; for (var i = 0; i < a.length; i++) try { return a[i](); }" +
            " catch (e) {} } log(find() === globalThis, key);",
        "var key = 'x'; function find() { var a = [function () { return globalThis; }]; for (var i = 0; i < a.length; i++)" +
            " try { return a[i](); } catch (e) {} } log(find() === globalThis, key);"
    ],
    [
        globalFinders, "candidates not tried in turn",
        "var a = [function () { return globalThis; }, function () { return window; }]; log(a[1]);",
        "unchanged"
    ],
    [
        calculator, "switch that does more than one operator",
        "function c(o, a, b) { switch (o) { case 'k1': return f(a); } } log(c('k1', 1));",
        "unchanged"
    ],
    [
        dispatcher, "functions called through a dispatcher",
        dispatched("log((p = [2], d('k1')), d('k1', 'MK', 'RT').v, d('k2', 'CL'));"),
        "function _fn(a) { return a * 2; } function _fn2() { return 7; } log(_fn(2), _fn, _fn2());"
    ],
    [
        dispatcher, "dispatcher whose table a parameter holds, keys written [\"k\"]",
        "var c = Object.create(null); var p; function d(name, flag, kind, fns) { var output;" +
            " fns = { ['k1']: function () { var [a] = p; return a * 2; } }; if (flag === 'CL') { p = []; }" +
            " if (flag === 'MK') { function make() { var fn = function (...args) { p = args; return fns[name].apply(this); };" +
            " return fn; } output = c[name] || (c[name] = make()); } else { output = fns[name](); }" +
            " if (kind === 'RT') { return { ['v']: output }; } else { return output; } } log((p = [2], d('k1')), d('k1', 'MK'));",
        "function _fn(a) { return a * 2; } log(_fn(2), _fn);"
    ],
    [
        concealedStrings,
        "decoder call whose length comes from a table of literals, in code that never runs",
        decoderSetup +
            " const k = [5, 1]; function never() { return dec(0, k[0]); } log(dec(6, k[0]), k[1]);",
        "const k = [5, 1]; function never() { return \"hello\"; } log(\"world\", k[1]);"
    ],
    [
        dispatcher, "dispatcher called with a key it computes", dispatched("log(d(k));"),
        "unchanged"
    ],
];

section("deob: js-confuser layers");
for (const [layer, what, input, want] of cases)
    check(layer.name + ": " + what, peeled(layer, input), want);
