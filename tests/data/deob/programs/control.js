// Control flow: labels, switch fall-through, do-while, try/finally, exceptions.
var out = [];
outer: for (var i = 0; i < 5; i++) {
    for (var j = 0; j < 5; j++) {
        if (j === 3) continue outer;
        if (i === 3) break outer;
        out.push(i * 10 + j);
    }
}
log(out.join(","));
function grade(n) {
    switch (true) { case n >= 90: return "A"; case n >= 75: return "B"; case n >= 60: return "C"; default: return "F"; }
}
log([95, 80, 61, 10].map(grade).join(""));
function kind(x) { var r = ""; switch (typeof x) { case "number": r += "n"; case "string": r += "s"; break; default: r += "?"; } return r; }
log(kind(1) + kind("a") + kind(null));
var k = 0; do { k += 7; } while (k < 50); log(k);
function risky(n) { try { if (n > 2) throw new RangeError("too big: " + n); return "ok" + n; } catch (e) { return e.message; } finally { out.length = 0; } }
log(risky(1) + "|" + risky(5) + "|" + out.length);
