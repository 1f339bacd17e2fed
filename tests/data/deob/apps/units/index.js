// Units: CommonJS requiring an ES module and the other way round.
const convert = require("./convert.mjs");
const names = require("./names.js");
const out = [];
for (const [v, from, to] of [[1, "km", "m"], [3.5, "kg", "g"], [100, "cm", "m"], [2, "h", "min"]]) {
    out.push(`${v}${names.label(from)} = ${convert.convert(v, from, to)}${names.label(to)}`);
}
log(out.join("; "));
log(convert.known().length + " units");
