exports.money = function (n) {
    var fixed = (Math.round(n * 100) / 100).toFixed(2);
    return "¥" + fixed.replace(/\B(?=(\d{3})+(?!\d))/g, ",");
};
exports.table = function (rows) {
    var widths = [];
    rows.forEach(function (r) {
        r.forEach(function (c, i) { widths[i] = Math.max(widths[i] || 0, c.length); });
    });
    return rows.map(function (r) {
        return r.map(function (c, i) { return c + new Array(widths[i] - c.length + 1).join(" "); }).join(" | ");
    }).join("\n");
};
