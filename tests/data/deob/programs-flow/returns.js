// Early returns, try/catch/finally, closures made inside loops, a switch of the program's own.
function classify(v) {
    if (v === null) return "null";
    if (Array.isArray(v)) return "array of " + v.length;
    switch (typeof v) {
    case "number":
        if (v !== v) return "NaN";
        return v < 0 ? "negative" : "number";
    case "string":
        return "string '" + v + "'";
    default:
        return typeof v;
    }
}
function parseAll(texts) {
    var ok = 0, bad = [];
    for (var i = 0; i < texts.length; i++) {
        try {
            JSON.parse(texts[i]);
            ok++;
        } catch (e) {
            bad.push(i);
        } finally {
            if (i === texts.length - 1) bad.push("end");
        }
    }
    return ok + " ok, bad: " + bad.join(" ");
}
function counters(n) {
    var fns = [];
    for (let i = 0; i < n; i++) {
        let count = i * 10;
        fns.push(function () { return ++count; });
    }
    return fns.map(function (f) { f(); return f(); }).join(",");
}
function find(tree, want) {
    if (!tree) return false;
    if (tree.v === want) return true;
    return find(tree.l, want) || find(tree.r, want);
}
function safeDivide(a, b) {
    try {
        if (b === 0) throw new Error("divide by zero");
        return a / b;
    } catch (e) {
        return e.message;
    }
}
[null, [1, 2], -3, NaN, "hi", true].forEach(function (v) { log(classify(v)); });
log(parseAll(["1", "{", "[2]", "x"]));
log(counters(4));
var t = { v: 5, l: { v: 3, l: null, r: { v: 4 } }, r: { v: 8 } };
log(find(t, 4) + " " + find(t, 7));
log(safeDivide(7, 2) + " " + safeDivide(1, 0));
