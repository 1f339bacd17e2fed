// Nested loops with break and continue, a labelled continue, a do-while.
function primes(limit) {
    var found = [];
    outer: for (var n = 2; found.length < limit; n++) {
        for (var d = 2; d * d <= n; d++) {
            if (n % d === 0) continue outer;
        }
        found.push(n);
    }
    return found;
}
function firstRepeat(list) {
    var seen = {};
    var i = 0;
    while (true) {
        if (i >= list.length) return "none";
        var x = list[i++];
        if (x < 0) continue;
        if (seen[x]) break;
        seen[x] = true;
    }
    return "repeat " + list[i - 1] + " at " + (i - 1);
}
function digits(n) {
    var out = [];
    do {
        out.unshift(n % 10);
        n = Math.floor(n / 10);
    } while (n > 0);
    return out.join("-");
}
function grid(w, h) {
    var rows = [];
    for (var y = 0; y < h; y++) {
        var row = "";
        for (var x = 0; x < w; x++) {
            if ((x + y) % 3 === 0) { row += "#"; continue; }
            if (x > y + 2) break;
            row += ".";
        }
        rows.push(row);
    }
    return rows.join("|");
}
log(primes(10).join(","));
log(firstRepeat([3, -1, 4, 1, 5, 9, 2, 6, 5, 3]));
log(firstRepeat([1, 2, 3]));
log(digits(90417));
log(grid(6, 4));
