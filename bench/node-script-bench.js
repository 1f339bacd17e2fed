// The same three measurements in node (V8): load a script into a fresh context, list
// its global functions, and one small evaluation.
const fs = require("fs");
const vm = require("vm");
const big = fs.readFileSync(process.argv[2], "utf8");
const functions = fs.readFileSync(process.argv[3], "utf8");
const ms = (t) => Number(process.hrtime.bigint() - t) / 1e6;

let t = process.hrtime.bigint();
let ctx = vm.createContext({});
vm.runInContext(big, ctx);
console.log(`load_5mb ${ms(t).toFixed(1)}`);

ctx = vm.createContext({});
vm.runInContext(functions, ctx);
t = process.hrtime.bigint();
const names = Object.keys(ctx).filter((k) => typeof ctx[k] === "function").map((k) => [k, ctx[k].length]);
console.log(`function_list_10k ${ms(t).toFixed(1)} (${names.length} functions)`);

const rounds = 2000;
t = process.hrtime.bigint();
for (let i = 0; i < rounds; i++) vm.runInContext("1+1", ctx);
console.log(`eval_round_trip ${(ms(t) / rounds).toFixed(4)}`);
