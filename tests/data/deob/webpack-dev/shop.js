/******/ (() => { // webpackBootstrap
/******/ 	var __webpack_modules__ = ({

/***/ "./cart.js"
/*!*****************!*\
  !*** ./cart.js ***!
  \*****************/
(module, __unused_webpack_exports, __webpack_require__) {

var format = __webpack_require__(/*! ./format */ "./format.js");

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


/***/ },

/***/ "./format.js"
/*!*******************!*\
  !*** ./format.js ***!
  \*******************/
(__unused_webpack_module, exports) {

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


/***/ },

/***/ "./tax.js"
/*!****************!*\
  !*** ./tax.js ***!
  \****************/
(module) {

var rates = { cn: 0.13, hk: 0, jp: 0.1 };
module.exports = {
    of: function (amount, region) {
        if (!(region in rates)) throw new Error("unknown region " + region);
        return amount * rates[region];
    },
    regions: Object.keys(rates),
};


/***/ }

/******/ 	});
/************************************************************************/
/******/ 	// The module cache
/******/ 	const __webpack_module_cache__ = {};
/******/ 	
/******/ 	// The require function
/******/ 	function __webpack_require__(moduleId) {
/******/ 		// Check if module is in cache
/******/ 		const cachedModule = __webpack_module_cache__[moduleId];
/******/ 		if (cachedModule !== undefined) {
/******/ 			return cachedModule.exports;
/******/ 		}
/******/ 		// Create a new module (and put it into the cache)
/******/ 		const module = __webpack_module_cache__[moduleId] = {
/******/ 			// no module.id needed
/******/ 			// no module.loaded needed
/******/ 			exports: {}
/******/ 		};
/******/ 	
/******/ 		// Execute the module function
/******/ 		if (!(moduleId in __webpack_modules__)) {
/******/ 			delete __webpack_module_cache__[moduleId];
/******/ 			const e = new Error("Cannot find module '" + moduleId + "'");
/******/ 			e.code = 'MODULE_NOT_FOUND';
/******/ 			throw e;
/******/ 		}
/******/ 		__webpack_modules__[moduleId](module, module.exports, __webpack_require__);
/******/ 	
/******/ 		// Return the exports of the module
/******/ 		return module.exports;
/******/ 	}
/******/ 	
/************************************************************************/
let __webpack_exports__ = {};
// This entry needs to be wrapped in an IIFE because it needs to be isolated against other modules in the chunk.
(() => {
/*!******************!*\
  !*** ./index.js ***!
  \******************/
// A small shop: CommonJS modules that require each other.
var Cart = __webpack_require__(/*! ./cart */ "./cart.js");
var format = __webpack_require__(/*! ./format */ "./format.js");
var tax = __webpack_require__(/*! ./tax */ "./tax.js");

var cart = new Cart();
cart.add("茶叶", 2, 35.5);
cart.add("杯子", 1, 12);
cart.add("茶壶", 1, 88);
log("items " + cart.count());
log("subtotal " + format.money(cart.total()));
log("tax " + format.money(tax.of(cart.total(), "cn")));
log("total " + format.money(cart.total() + tax.of(cart.total(), "cn")));
log(format.table(cart.lines()));

})();

/******/ })()
;