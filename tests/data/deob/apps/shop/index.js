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
