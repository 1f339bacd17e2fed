(() => {
  var __defProp = Object.defineProperty;
  var __getOwnPropDesc = Object.getOwnPropertyDescriptor;
  var __getOwnPropNames = Object.getOwnPropertyNames;
  var __hasOwnProp = Object.prototype.hasOwnProperty;
  var __esm = (fn, res) => function __init() {
    return fn && (res = (0, fn[__getOwnPropNames(fn)[0]])(fn = 0)), res;
  };
  var __commonJS = (cb, mod) => function __require() {
    return mod || (0, cb[__getOwnPropNames(cb)[0]])((mod = { exports: {} }).exports, mod), mod.exports;
  };
  var __export = (target, all) => {
    for (var name in all)
      __defProp(target, name, { get: all[name], enumerable: true });
  };
  var __copyProps = (to, from, except, desc) => {
    if (from && typeof from === "object" || typeof from === "function") {
      for (let key of __getOwnPropNames(from))
        if (!__hasOwnProp.call(to, key) && key !== except)
          __defProp(to, key, { get: () => from[key], enumerable: !(desc = __getOwnPropDesc(from, key)) || desc.enumerable });
    }
    return to;
  };
  var __toCommonJS = (mod) => __copyProps(__defProp({}, "__esModule", { value: true }), mod);

  // factors.mjs
  var factors;
  var init_factors = __esm({
    "factors.mjs"() {
      factors = {
        m: { kind: "length", scale: 1 },
        km: { kind: "length", scale: 1e3 },
        cm: { kind: "length", scale: 0.01 },
        g: { kind: "mass", scale: 1 },
        kg: { kind: "mass", scale: 1e3 },
        min: { kind: "time", scale: 60 },
        h: { kind: "time", scale: 3600 }
      };
    }
  });

  // convert.mjs
  var convert_exports = {};
  __export(convert_exports, {
    convert: () => convert,
    known: () => known
  });
  function convert(value, from, to) {
    const a = factors[from], b = factors[to];
    if (!a || !b || a.kind !== b.kind)
      throw new TypeError(`cannot convert ${from} to ${to}`);
    return Math.round(value * a.scale / b.scale * 1e3) / 1e3;
  }
  var known;
  var init_convert = __esm({
    "convert.mjs"() {
      init_factors();
      known = () => Object.keys(factors);
    }
  });

  // names.js
  var require_names = __commonJS({
    "names.js"(exports) {
      var labels = { m: "\u7C73", km: "\u5343\u7C73", cm: "\u5398\u7C73", g: "\u514B", kg: "\u5343\u514B", min: "\u5206\u949F", h: "\u5C0F\u65F6" };
      exports.label = (u) => labels[u] || u;
    }
  });

  // index.js
  var convert2 = (init_convert(), __toCommonJS(convert_exports));
  var names = require_names();
  var out = [];
  for (const [v, from, to] of [[1, "km", "m"], [3.5, "kg", "g"], [100, "cm", "m"], [2, "h", "min"]]) {
    out.push(`${v}${names.label(from)} = ${convert2.convert(v, from, to)}${names.label(to)}`);
  }
  log(out.join("; "));
  log(convert2.known().length + " units");
})();
