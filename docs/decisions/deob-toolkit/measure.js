// Shared by every candidate: parse + print of INPUT twice (cold, then warm), the modern
// syntax snippets round-tripped and run, and a scope-aware rename.
for (var round = 0; round < 2; ++round) {
    var t0 = now(), ast = kitParse(INPUT), t1 = now(), code = kitGen(ast), t2 = now();
    print(kit, round ? "warm" : "cold", "parse_ms", (t1 - t0).toFixed(0), "print_ms", (t2 - t1).toFixed(0), "out_bytes", code.length);
}
var passed = 0, total = 0;
for (var k in FEATURES) {
    ++total;
    try {
        var r = kitGen(kitParse(FEATURES[k]));
        var same = String((0, eval)(r)) === String((0, eval)(FEATURES[k]));
        if (same) ++passed;
        print(kit, "feature", JSON.stringify(k), same ? "ok" : "differs: " + r);
    } catch (e) { print(kit, "feature", JSON.stringify(k), "FAIL", String(e.message).slice(0, 90)); }
}
print(kit, "features", passed + "/" + total);
try { print(kit, "scope", scopeDemo()); } catch (e) { print(kit, "scope FAIL", e.message); }
