/*
 * ATTENTION: The "eval" devtool has been used (maybe by default in mode: "development").
 * This devtool is neither made for production nor for readable output files.
 * It uses "eval()" calls to create a separate source file in the browser devtools.
 * If you are trying to read the output file, select a different devtool (https://webpack.js.org/configuration/devtool/)
 * or disable the default devtool with "devtool: false".
 * If you are looking for production-ready output files, see mode: "production" (https://webpack.js.org/configuration/mode/).
 */
/******/ (() => { // webpackBootstrap
/******/ 	var __webpack_modules__ = ({

/***/ "./cart.js"
/*!*****************!*\
  !*** ./cart.js ***!
  \*****************/
(module, __unused_webpack_exports, __webpack_require__) {

eval("{var format = __webpack_require__(/*! ./format */ \"./format.js\");\n\nfunction Cart() {\n    this.items = [];\n}\nCart.prototype.add = function (name, qty, price) {\n    var found = this.items.filter(function (i) { return i.name === name; })[0];\n    if (found) found.qty += qty;\n    else this.items.push({ name: name, qty: qty, price: price });\n};\nCart.prototype.count = function () {\n    return this.items.reduce(function (n, i) { return n + i.qty; }, 0);\n};\nCart.prototype.total = function () {\n    return this.items.reduce(function (s, i) { return s + i.qty * i.price; }, 0);\n};\nCart.prototype.lines = function () {\n    return this.items.map(function (i) { return [i.name, String(i.qty), format.money(i.qty * i.price)]; });\n};\nmodule.exports = Cart;\n\n\n//# sourceURL=webpack:///./cart.js?\n}");

/***/ },

/***/ "./format.js"
/*!*******************!*\
  !*** ./format.js ***!
  \*******************/
(__unused_webpack_module, exports) {

eval("{exports.money = function (n) {\n    var fixed = (Math.round(n * 100) / 100).toFixed(2);\n    return \"¥\" + fixed.replace(/\\B(?=(\\d{3})+(?!\\d))/g, \",\");\n};\nexports.table = function (rows) {\n    var widths = [];\n    rows.forEach(function (r) {\n        r.forEach(function (c, i) { widths[i] = Math.max(widths[i] || 0, c.length); });\n    });\n    return rows.map(function (r) {\n        return r.map(function (c, i) { return c + new Array(widths[i] - c.length + 1).join(\" \"); }).join(\" | \");\n    }).join(\"\\n\");\n};\n\n\n//# sourceURL=webpack:///./format.js?\n}");

/***/ },

/***/ "./index.js"
/*!******************!*\
  !*** ./index.js ***!
  \******************/
(__unused_webpack_module, __unused_webpack_exports, __webpack_require__) {

eval("{// A small shop: CommonJS modules that require each other.\nvar Cart = __webpack_require__(/*! ./cart */ \"./cart.js\");\nvar format = __webpack_require__(/*! ./format */ \"./format.js\");\nvar tax = __webpack_require__(/*! ./tax */ \"./tax.js\");\n\nvar cart = new Cart();\ncart.add(\"茶叶\", 2, 35.5);\ncart.add(\"杯子\", 1, 12);\ncart.add(\"茶壶\", 1, 88);\nlog(\"items \" + cart.count());\nlog(\"subtotal \" + format.money(cart.total()));\nlog(\"tax \" + format.money(tax.of(cart.total(), \"cn\")));\nlog(\"total \" + format.money(cart.total() + tax.of(cart.total(), \"cn\")));\nlog(format.table(cart.lines()));\n\n\n//# sourceURL=webpack:///./index.js?\n}");

/***/ },

/***/ "./tax.js"
/*!****************!*\
  !*** ./tax.js ***!
  \****************/
(module) {

eval("{var rates = { cn: 0.13, hk: 0, jp: 0.1 };\nmodule.exports = {\n    of: function (amount, region) {\n        if (!(region in rates)) throw new Error(\"unknown region \" + region);\n        return amount * rates[region];\n    },\n    regions: Object.keys(rates),\n};\n\n\n//# sourceURL=webpack:///./tax.js?\n}");

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
/******/ 	
/******/ 	// startup
/******/ 	// Load entry module and return exports
/******/ 	// This entry module can't be inlined because the eval devtool is used.
/******/ 	let __webpack_exports__ = __webpack_require__("./index.js");
/******/ 	
/******/ })()
;