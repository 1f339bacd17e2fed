// The source reader behind the function list and the inspector's parameter names,
// through the program as carried. Every case of the first table was once met by the
// hand-written scanners the reader replaced; those marked "was lost" they read wrongly.
import { S, check, section } from "./harness.js";

// "name" or "name=" (optional) per parameter, joined with commas; "-" when not read.
function params(text) {
    const p = S.parameterList(text);
    return p === null ? "-" : p.slice(0, -1);
}

section("source reader: parameter names of a function's text");
const functions = [
    // plain functions, comments and line ends inside the list
    ["function foo(a, b) { return a + b; }", "a,b"], ["function(x){}", "x"], ["function () {}", ""],
    ["function\n  named /* c */ (\n a, // first\n b /* second */\n) {}", "a,b"],
    ["function\r\n  named(a, // first\r b) {}", "a,b"], ["function f(a, b,) {}", "a,b"],
    ["function 中文(甲, $乙, _c1) {}", "甲,$乙,_c1"],
    // defaults, destructuring, rest; default values full of what ends or splits a list
    ["function f(a, b = 1) {}", "a,b="], ["function f({x, y}, [z], {w} = {}) {}", ",,="],
    ["function f(a, ...rest) {}", "a,...rest="], ["function f(...[a, b]) {}", "="],
    ["function f(a = (1, 2), b = [3, 4], c = {d: 5, e: 6}) {}", "a=,b=,c="],
    ["function f(a = ')', b = \"(,\", c = `x${(1, 2)}y,`) {}", "a=,b=,c="],
    ["function f(a = /[),]/g, b = 4 / 2, c) {}", "a=,b=,c"],
    ["function (a = b-- / 2, c = d++ / 3) {}", "a=,c="], // was lost
    ["function (a = `${b-- / 2}`, c) {}", "a=,c"], ["function (a = b / 2 / c, d) {}", "a=,d"],
    ["function f(a = () => { return /)/; }, b) {}", "a=,b"], ["function f(a = x => x, b = y == 1) {}", "a=,b="],
    ["function f(a = let / 2 / x, b) {}", "a=,b"], ["function f(a = of / 2 / x, b) {}", "a=,b"],
    // arrows, async functions, generators
    ["(u,w)=>u", "u,w"], ["(a, b = 2, ...more) => a", "a,b=,...more="], ["() => {}", ""], ["a => a", "a"],
    ["async x => x", "x"], ["async (p, q) => p", "p,q"], ["async => 1", "async"], ["({a}, [b]) => a", ","],
    ["async function f(a) {}", "a"], ["async function (a, b) {}", "a,b"], ["function* g(a) {}", "a"],
    ["function *g(a, b) {}", "a,b"], ["function*(c){}", "c"], ["async function* ag(d) {}", "d"],
    // methods of objects and classes, whatever their prefixes and names
    ["m(a,...rest){}", "a,...rest="], ["method(a) {}", "a"], ["functional(a) {}", "a"],
    ["async load(url, retries = 3) {}", "url,retries="], ["*items(from) {}", "from"], ["async *stream(n) {}", "n"],
    ["static create(x) {}", "x"], ["static async *s(y) {}", "y"], ["'odd name'(a) {}", "a"],
    ["[Symbol.iterator]() {}", ""], ["42(n) {}", "n"], ["#secret(k) {}", "k"], ["get size() { return 1; }", ""],
    ["set size(v) {}", "v"], ["get(key) {}", "key"], ["async(a) {}", "a"], ["static(a, b) {}", "a,b"],
    // classes give their constructor's, past members that could mislead a scan
    ["class K { constructor(a) {} }", "a"], ["class { constructor(id, opts = {}) {} }", "id,opts="],
    ["class Sub extends mix(Base, {k: 1}) {\n  static constructor(wrong) {}\n  field = a.constructor(1)\n" +
        "  re = /[}{]constructor(/g; s = '}constructor(';\n  m() { constructor(0); }\n" +
        "  get g() { return '{'; }\n  constructor(x, ...more) { super(x); }\n}", "x,...more="],
    ["class Q { 'constructor'(q) {} }", "q"], ["class Plain { m(a) {} }", "-"], ["class Derived extends Plain {}", "-"],
    ["class Open { constructor(a", "-"], ["class Open { m() {", "-"],
    // texts that name no parameters, and broken ones
    ["function push() {\n    [native code]\n}", "-"], ["function get size() {\n    [native code]\n}", "-"],
    ["m() {\n    [native code]\n}", "-"], ["", "-"], ["(a, b)", "-"], ["m(a) => a", "-"], ["foo bar(a) {}", "-"],
    ["function f(a, b", "-"], ["function f(a,, b) {}", "-"], ["function f(a = 'open) {}", "-"],
    ["function f(a = [1, 2) {}", "-"], ["function f(a /* open) {}", "-"], ["function f(a b) {}", "-"],
    ["function f(a = /open\n) {}", "-"],
    // nesting deeper than anyone writes is given up on rather than followed
    ["function f(a = " + "[".repeat(5000) + "]".repeat(5000) + ") {}", "-"],
    // setters: the first parameter takes the value
    ["set value(v) { this._v = v; }", "v"], ["set 'odd name'(x) {}", "x"], ["set [Symbol.iterator + 'k'](y) {}", "y"],
    ["set #hidden(z) {}", "z"], ["set 42(n) {}", "n"], ["set v({a, b}) {}", ""], ["function (w) {}", "w"],
    ["set(a, b) {}", "a,b"], ["function set x() {\n    [native code]\n}", "-"],
];
for (const [text, want] of functions) check(JSON.stringify(text).slice(0, 90), params(text), want);

// "kind:name(parameters)" per declaration, the parameters only where a function is written.
function declarations(src) {
    return S.declarationList(src).split("\n").filter((l) => l !== "").map((l) => {
        const [kind, name, , p] = l.split("\t");
        return kind + ":" + name + (p === "-" ? "" : "(" + p.slice(0, -1) + ")");
    }).join(" ");
}

section("source reader: top-level declarations in source order");
const scripts = [
    ["var zeta = function (a, b) {};\nvar n = 4, r = n-- / 2; function omega() {}\n" +
        "/* function fake() {} */ var s = 'function no() {}';\nfunction alpha() { function inner() {} }\n" +
        "beta = (x) => x;\nfunction 中文(甲) {}",
    "var:zeta(a,b) var:n var:r function:omega() var:s function:alpha() =:beta(x) function:中文(甲)"],
    ["var r = a-- / 2; function zeta(){}", "var:r function:zeta()"], // was lost
    ["if (x) /'/.test(y); function c(k){}", "function:c(k)"], // was lost
    ["x = `${ a-- / 2 }`; function g(){}", "=:x function:g()"],
    ["var re = /[{(]/; function k(){}", "var:re function:k()"],
    ["let / 2 / x; of / 2 / y; function h(){}", "function:h()"],
    ["var n = 1..toString(); function d(){}", "var:n function:d()"],
    ["a.b = function () {}; c?.d = 1; e = 1, f = 2", "=:e =:f"],
    // a modern bundle: arrows, function expressions, async functions, generators, classes
    ["const sign = (a, b) => a, half = x => x / 2;\nlet f = function (x) {}, g = async function* (y) {};\n" +
        "class Point extends Base { static of(p) {} constructor(x, y = 0) {} }\n" +
        "const h = async u => u, K = class { constructor(p) {} }, plain = 5;\n" +
        "async function af(z) {}\nfunction* gen(...items) {}\nclass Empty {}",
    "const:sign(a,b) const:half(x) let:f(x) let:g(y) class:Point(x,y=) const:h(u) const:K(p) const:plain " +
        "function:af(z) function:gen(...items=) class:Empty"],
    ["const {floor, k: [m, , ...rest], q = 1, 'r': s} = Math, [t = {}] = [];", "const:floor const:m const:rest " +
        "const:q const:s const:t"],
    ["let = 5; let\nx = 1; for (let i of a) {} let [y] = b", "=:let let:x let:y"],
    ["x.class = 1; y.function = 2; var o = {class: 1, function: 2}", "var:o"],
    ["class extends B {}; (function named() {}); function(){}", ""],
];
for (const [src, want] of scripts) check(JSON.stringify(src).slice(0, 90), declarations(src), want);

// Offsets point at the names, also past CR LF line ends and wide characters.
const src = "var 名 = 1;\r\nconst sign = () => 1;\r\nclass K {}";
check("offsets", S.declarationList(src).split("\n").filter((l) => l).map((l) => l.split("\t")[2]).join(","),
    [src.indexOf("名"), src.indexOf("sign"), src.indexOf("K")].join(","));
