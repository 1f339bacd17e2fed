#!/usr/bin/env vexojs
// Tokens that merge or split when white space changes
var a = 5, b = 3, r = [];
r.push(a + +b, a - -b, a + ++b, a - --b, a++ + b, a-- - b, - -a, + +a, -(-a), +-a, -+a);
r.push(1..toString(), 1 .toString(), 1.5.toFixed(1), 0x10.toString(), 1e3.toString(), (1).toString());
r.push(typeof typeof a, void 0 === undefined, !!!a, ~~a);
r.push(a ? .5 : 1, a?.toString(), a<!--b
, a);
function F() { this.v = 1; return function G() { this.w = 2 } }
r.push(new new F()().w, new F().v === undefined, new Date(0).getTime());
r.push("a" in { a: 1 }, [] instanceof Array, a > b ? a : b, a >>= 1, a <<= 2, a >>>= 1, a **= 2);
var x = 10, y = 2, g = 1, i = 0;
r.push(x / y / g, x /y/ g, x/ y/g);
r.push(i++ + ++i, i-- - --i, i);
var arr = [1, 2, 3], s = 'str', t = `t`, re = /re/g;
r.push(arr[0] + arr [1], s [0], t.length, re.source, re .flags);
var o = { "key": 1 }; r.push(o ["key"], o.key);
r.push((function () { return typeof arguments })(), (() => typeof this)());
r.push(a&&b||a, a|b&a^b, a<<1>>1, a<b==b>a, a!==b===true);
var u = `${a}${b}`; r.push(u);
r.push(`a`+`b`, 'a'+"b", /a/+/b/);
label: r.push("label")

function __result() {
    return r.join(";");
}
