(function(){function r(e,n,t){function o(i,f){if(!n[i]){if(!e[i]){var c="function"==typeof require&&require;if(!f&&c)return c(i,!0);if(u)return u(i,!0);var a=new Error("Cannot find module '"+i+"'");throw a.code="MODULE_NOT_FOUND",a}var p=n[i]={exports:{}};e[i][0].call(p.exports,function(r){var n=e[i][1][r];return o(n||r)},p,p.exports,r,e,n,t)}return n[i].exports}for(var u="function"==typeof require&&require,i=0;i<t.length;i++)o(t[i]);return o}return r})()({1:[function(require,module,exports){
var format = require("./format");

function Cart() {
    this.items = [];
}
Cart.prototype.add = function (name, qty, price) {
    var found = this.items.filter(function (i) { return i.name === name; })[0];
    if (found) found.qty += qty;
    else this.items.push({ name: name, qty: qty, price: price });
};
Cart.prototype.count = function () {
    return this.items.reduce(function (n, i) { return n + i.qty; }, 0);
};
Cart.prototype.total = function () {
    return this.items.reduce(function (s, i) { return s + i.qty * i.price; }, 0);
};
Cart.prototype.lines = function () {
    return this.items.map(function (i) { return [i.name, String(i.qty), format.money(i.qty * i.price)]; });
};
module.exports = Cart;

},{"./format":2}],2:[function(require,module,exports){
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

},{}],3:[function(require,module,exports){
// A small shop: CommonJS modules that require each other.
var Cart = require("./cart");
var format = require("./format");
var tax = require("./tax");

var cart = new Cart();
cart.add("茶叶", 2, 35.5);
cart.add("杯子", 1, 12);
cart.add("茶壶", 1, 88);
log("items " + cart.count());
log("subtotal " + format.money(cart.total()));
log("tax " + format.money(tax.of(cart.total(), "cn")));
log("total " + format.money(cart.total() + tax.of(cart.total(), "cn")));
log(format.table(cart.lines()));

},{"./cart":1,"./format":2,"./tax":4}],4:[function(require,module,exports){
var rates = { cn: 0.13, hk: 0, jp: 0.1 };
module.exports = {
    of: function (amount, region) {
        if (!(region in rates)) throw new Error("unknown region " + region);
        return amount * rates[region];
    },
    regions: Object.keys(rates),
};

},{}]},{},[3]);
