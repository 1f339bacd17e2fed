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
