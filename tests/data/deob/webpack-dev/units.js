/******/ (() => { // webpackBootstrap
/******/ 	var __webpack_modules__ = ({

/***/ "./convert.mjs"
/*!*********************!*\
  !*** ./convert.mjs ***!
  \*********************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

"use strict";
__webpack_require__.r(__webpack_exports__);
/* harmony export */ __webpack_require__.d(__webpack_exports__, {
/* harmony export */   convert: () => (/* binding */ convert),
/* harmony export */   known: () => (/* binding */ known)
/* harmony export */ });
/* harmony import */ var _factors_mjs__WEBPACK_IMPORTED_MODULE_0__ = __webpack_require__(/*! ./factors.mjs */ "./factors.mjs");

function convert(value, from, to) {
    const a = _factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors[from], b = _factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors[to];
    if (!a || !b || a.kind !== b.kind) throw new TypeError(`cannot convert ${from} to ${to}`);
    return Math.round((value * a.scale) / b.scale * 1000) / 1000;
}
const known = () => Object.keys(_factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors);


/***/ },

/***/ "./factors.mjs"
/*!*********************!*\
  !*** ./factors.mjs ***!
  \*********************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

"use strict";
__webpack_require__.r(__webpack_exports__);
/* harmony export */ __webpack_require__.d(__webpack_exports__, {
/* harmony export */   factors: () => (/* binding */ factors)
/* harmony export */ });
const factors = {
    m: { kind: "length", scale: 1 }, km: { kind: "length", scale: 1000 }, cm: { kind: "length", scale: 0.01 },
    g: { kind: "mass", scale: 1 }, kg: { kind: "mass", scale: 1000 },
    min: { kind: "time", scale: 60 }, h: { kind: "time", scale: 3600 },
};


/***/ },

/***/ "./names.js"
/*!******************!*\
  !*** ./names.js ***!
  \******************/
(__unused_webpack_module, exports) {

const labels = { m: "米", km: "千米", cm: "厘米", g: "克", kg: "千克", min: "分钟", h: "小时" };
exports.label = (u) => labels[u] || u;


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
/******/ 	/* webpack/runtime/define property getters */
/******/ 	// define getter/value functions for harmony exports
/******/ 	__webpack_require__.d = (exports, definition) => {
/******/ 		for(var key in definition) {
/******/ 			if(__webpack_require__.o(definition, key) && !__webpack_require__.o(exports, key)) {
/******/ 				Object.defineProperty(exports, key, { enumerable: true, get: definition[key] });
/******/ 			}
/******/ 		}
/******/ 	};
/******/ 	
/******/ 	/* webpack/runtime/hasOwnProperty shorthand */
/******/ 	__webpack_require__.o = (obj, prop) => (Object.prototype.hasOwnProperty.call(obj, prop));
/******/ 	
/******/ 	/* webpack/runtime/make namespace object */
/******/ 	// define __esModule on exports
/******/ 	__webpack_require__.r = (exports) => {
/******/ 		Object.defineProperties(exports, { [Symbol.toStringTag]: { value: 'Module' }, __esModule: { value: true } });
/******/ 	};
/******/ 	
/************************************************************************/
let __webpack_exports__ = {};
// This entry needs to be wrapped in an IIFE because it needs to be isolated against other modules in the chunk.
(() => {
/*!******************!*\
  !*** ./index.js ***!
  \******************/
// Units: CommonJS requiring an ES module and the other way round.
const convert = __webpack_require__(/*! ./convert.mjs */ "./convert.mjs");
const names = __webpack_require__(/*! ./names.js */ "./names.js");
const out = [];
for (const [v, from, to] of [[1, "km", "m"], [3.5, "kg", "g"], [100, "cm", "m"], [2, "h", "min"]]) {
    out.push(`${v}${names.label(from)} = ${convert.convert(v, from, to)}${names.label(to)}`);
}
log(out.join("; "));
log(convert.known().length + " units");

})();

/******/ })()
;