// Object literals: accessors, computed keys, methods, keywords as property names
var key = "dyn";
var store = { _v: 1 };
var o = {
    get value() { return store._v * 10; },
    set value(v) { store._v = v; },
    [key + "amic"]: "computed",
    ["a" + 1]() { return "method a1"; },
    if: "kw-if", class: "kw-class", return: "kw-return", function: "kw-fn", default: "kw-default",
    new: 1, typeof: 2, in: 3, of: 4, get: "plain get", set: "plain set", static: "plain static",
    async: "plain async",
    "string key": true, 42: "number key", 0x10: "hex key",
    shorthand() { return this.if; },
    async am() { return 1; },
    *gm() { yield "g"; },
    get [key]() { return "computed getter"; },
    nested: { deeper: { deepest: [{}, [], { "": "" }] } },
    fn: function named() { return typeof named; },
    arrow: () => ({ wrapped: true }),
    __proto__: { inherited: "yes" }
};
o.value = 7;
var chain = o.return + o.class + o.default + o.function;
var props = [o.new, o.typeof, o.in, o.of].join("");
var desc = Object.getOwnPropertyDescriptor(o, "value");
var x = {}.toString.call([]), y = { a: 1 }.a, z = ({ b: 2 }).b;
var label = { case: 1 }.case;
var emptyObj = {}, emptyArr = [], emptyFn = function () { };
var multiLevel = { a: { b: { c: { d: "deep" } } } }.a.b.c.d;

function __result() {
    return [o.value, o.dynamic, o.a1(), o.shorthand(), o.dyn, chain, props, o.get + o.set + o.static + o.async,
        o["string key"], o[42], o[16], o.fn(), o.arrow().wrapped, o.inherited, typeof desc.get, x, y, z, label,
        Object.keys(emptyObj).length + emptyArr.length, typeof emptyFn(), [...o.gm()][0], multiLevel].join(",");
}
