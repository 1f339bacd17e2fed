// Labels, nested loops, for-in / for-of, comma expressions, "in" inside for
var trace = [];
outer:
for (var i = 0; i < 4; i++) {
    inner: for (var j = 0; j < 4; j++) {
        if (j === i) continue outer;
        if (i + j > 4) break outer;
        trace.push(i + "" + j);
    }
}
block: {
    trace.push("in block");
    if (trace.length) break block;
    trace.push("never");
}
var k = 0;
loop1: while (true) { loop2: do { k++; if (k > 5) break loop1; continue loop1; } while (false) }
for (var a = 0, b = 10; a < b; a += 3, b -= 3) trace.push(a + ":" + b);
var o = { x: 1, y: 2 }, seen = [];
for (var p in o) seen.push(p);
for (const v of [3, 2, 1]) seen.push(v);
for (let [kk, vv] of Object.entries(o)) seen.push(kk + vv);
for (var q = ("x" in o) ? 1 : 0; q < 2; q++) seen.push("q" + q);
for (;;) { break; }
for (var m = 0; m < 3; m++);
var w = 0; while (w < 5) w++;
var count = 0;
switch (3) { case 1: count += 1; case 3: count += 3; case 4: count += 4; break; default: count = -1 }
var nestedSwitch = (function (v) {
    switch (v) {
        case "a": {
            let inner = "block case";
            return inner;
        }
        case "b":
            switch (v + v) { case "bb": return "nested"; }
        default:
            return "default";
    }
})

function __result() {
    return [trace.join(" "), k, seen.join(","), m, w, count, nestedSwitch("a"), nestedSwitch("b"), nestedSwitch("c")].join("|");
}
