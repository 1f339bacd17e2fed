// Promises and async functions; the results are logged once the jobs have run.
function delayValue(v) { return Promise.resolve(v); }
async function total(list) { let s = 0; for (const v of list) s += await delayValue(v); return s; }
async function* ticks(n) { for (let i = 0; i < n; i++) yield i * 2; }
(async function () {
    log("sum " + await total([1, 2, 3, 4]));
    const seen = [];
    for await (const t of ticks(4)) seen.push(t);
    log("ticks " + seen.join(","));
    const all = await Promise.all([delayValue("a"), delayValue("b")]);
    log(all.join("") + (await Promise.race([delayValue(1), delayValue(2)])));
    try { await Promise.reject(new Error("nope")); } catch (e) { log("caught " + e.message); }
})();
log("sync first");
