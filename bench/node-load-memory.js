// node's counterpart of LoadMemoryBench: 1,000 fresh vm contexts, each running the
// demonstration script, with the same garbage every tenth round; resident memory.
const fs = require("fs");
const vm = require("vm");
const code = fs.readFileSync(process.argv[2], "utf8");
const rounds = Number(process.argv[3] || 1000);
const kb = () => Math.round(process.memoryUsage().rss / 1024);
console.log(`rounds 0: ${kb()} KB`);
for (let i = 1; i <= rounds; i++) {
    const ctx = vm.createContext({});
    vm.runInContext(code, ctx);
    if (i % 10 === 0)
        vm.runInContext("(function(){var a=[];for(var i=0;i<20000;i++)a.push({i:i});return 1})()", ctx);
    if (i % 100 === 0) console.log(`rounds ${i}: ${kb()} KB`);
}
