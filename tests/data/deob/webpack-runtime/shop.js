/******/ (() => { // webpackBootstrap
/******/ 	"use strict";
/******/ 	var __webpack_modules__ = ({});
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
/******/ 	// expose the modules object (__webpack_modules__)
/******/ 	__webpack_require__.m = __webpack_modules__;
/******/ 	
/************************************************************************/
/******/ 	/* webpack/runtime/chunk loaded */
/******/ 	(() => {
/******/ 		const deferred = [];
/******/ 		__webpack_require__.O = (result, chunkIds, fn) => {
/******/ 			if(chunkIds) {
/******/ 				deferred.push([chunkIds, fn]);
/******/ 				return;
/******/ 			}
/******/ 			for (var i = 0; i < deferred.length; i++) {
/******/ 				let [chunkIds, fn] = deferred[i];
/******/ 				let fulfilled = true;
/******/ 				for (var j = 0; j < chunkIds.length; j++) {
/******/ 					if (__webpack_require__.O.j(chunkIds[j])) {
/******/ 						chunkIds.splice(j--, 1);
/******/ 					} else {
/******/ 						fulfilled = false;
/******/ 					}
/******/ 				}
/******/ 				if(fulfilled) {
/******/ 					deferred.splice(i--, 1)
/******/ 					const r = fn();
/******/ 					if (r !== undefined) result = r;
/******/ 				}
/******/ 			}
/******/ 			return result;
/******/ 		};
/******/ 	})();
/******/ 	
/******/ 	/* webpack/runtime/hasOwnProperty shorthand */
/******/ 	__webpack_require__.o = (obj, prop) => (Object.prototype.hasOwnProperty.call(obj, prop));
/******/ 	
/******/ 	/* webpack/runtime/jsonp chunk loading */
/******/ 	(() => {
/******/ 		// no baseURI
/******/ 		
/******/ 		// object to store loaded and loading chunks
/******/ 		// undefined = chunk not loaded, null = chunk preloaded/prefetched
/******/ 		// [resolve, reject, Promise] = chunk loading, 0 = chunk loaded
/******/ 		const installedChunks = {
/******/ 			"runtime": 0
/******/ 		};
/******/ 		
/******/ 		// no chunk on demand loading
/******/ 		
/******/ 		// no prefetching
/******/ 		
/******/ 		// no preloaded
/******/ 		
/******/ 		// no HMR
/******/ 		
/******/ 		// no HMR manifest
/******/ 		
/******/ 		__webpack_require__.O.j = (chunkId) => (installedChunks[chunkId] === 0);
/******/ 		
/******/ 		// install a JSONP callback for chunk loading
/******/ 		const webpackJsonpCallback = (parentChunkLoadingFunction, data) => {
/******/ 			let [chunkIds, moreModules, runtime] = data;
/******/ 			// add "moreModules" to the modules object,
/******/ 			// then flag all "chunkIds" as loaded and fire callback
/******/ 			var moduleId, chunkId, i = 0;
/******/ 			if(chunkIds.some((id) => (installedChunks[id] !== 0))) {
/******/ 				for(moduleId in moreModules) {
/******/ 					if(__webpack_require__.o(moreModules, moduleId)) {
/******/ 						__webpack_require__.m[moduleId] = moreModules[moduleId];
/******/ 					}
/******/ 				}
/******/ 				if(runtime) var result = runtime(__webpack_require__);
/******/ 			}
/******/ 			if(parentChunkLoadingFunction) parentChunkLoadingFunction(data);
/******/ 			for(;i < chunkIds.length; i++) {
/******/ 				chunkId = chunkIds[i];
/******/ 				if(__webpack_require__.o(installedChunks, chunkId) && installedChunks[chunkId]) {
/******/ 					installedChunks[chunkId][0]();
/******/ 				}
/******/ 				installedChunks[chunkId] = 0;
/******/ 			}
/******/ 			return __webpack_require__.O(result);
/******/ 		}
/******/ 		
/******/ 		const chunkLoadingGlobal = Array.isArray(globalThis["webpackChunk"]) ? globalThis["webpackChunk"] : (globalThis["webpackChunk"] = []);
/******/ 		chunkLoadingGlobal.forEach(webpackJsonpCallback.bind(null, 0));
/******/ 		chunkLoadingGlobal.push = webpackJsonpCallback.bind(null, chunkLoadingGlobal.push.bind(chunkLoadingGlobal));
/******/ 	})();
/******/ 	
/************************************************************************/
/******/ 	
/******/ 	
/******/ })()
;
(Array.isArray(globalThis["webpackChunk"]) ? globalThis["webpackChunk"] : (globalThis["webpackChunk"] = [])).push([["main"],{

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

/***/ "./index.js"
/*!******************!*\
  !*** ./index.js ***!
  \******************/
(__unused_webpack_module, __unused_webpack_exports, __webpack_require__) {

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

},
/******/ __webpack_require__ => { // webpackRuntimeModules
/******/ var __webpack_exec__ = (moduleId) => (__webpack_require__(moduleId))
/******/ var __webpack_exports__ = (__webpack_exec__("./index.js"));
/******/ }
]);