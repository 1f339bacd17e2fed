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

/***/ "./convert.mjs"
/*!*********************!*\
  !*** ./convert.mjs ***!
  \*********************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

"use strict";
eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   convert: () => (/* binding */ convert),\n/* harmony export */   known: () => (/* binding */ known)\n/* harmony export */ });\n/* harmony import */ var _factors_mjs__WEBPACK_IMPORTED_MODULE_0__ = __webpack_require__(/*! ./factors.mjs */ \"./factors.mjs\");\n\nfunction convert(value, from, to) {\n    const a = _factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors[from], b = _factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors[to];\n    if (!a || !b || a.kind !== b.kind) throw new TypeError(`cannot convert ${from} to ${to}`);\n    return Math.round((value * a.scale) / b.scale * 1000) / 1000;\n}\nconst known = () => Object.keys(_factors_mjs__WEBPACK_IMPORTED_MODULE_0__.factors);\n\n\n//# sourceURL=webpack:///./convert.mjs?\n}");

/***/ },

/***/ "./factors.mjs"
/*!*********************!*\
  !*** ./factors.mjs ***!
  \*********************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

"use strict";
eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   factors: () => (/* binding */ factors)\n/* harmony export */ });\nconst factors = {\n    m: { kind: \"length\", scale: 1 }, km: { kind: \"length\", scale: 1000 }, cm: { kind: \"length\", scale: 0.01 },\n    g: { kind: \"mass\", scale: 1 }, kg: { kind: \"mass\", scale: 1000 },\n    min: { kind: \"time\", scale: 60 }, h: { kind: \"time\", scale: 3600 },\n};\n\n\n//# sourceURL=webpack:///./factors.mjs?\n}");

/***/ },

/***/ "./index.js"
/*!******************!*\
  !*** ./index.js ***!
  \******************/
(__unused_webpack_module, __unused_webpack_exports, __webpack_require__) {

eval("{// Units: CommonJS requiring an ES module and the other way round.\nconst convert = __webpack_require__(/*! ./convert.mjs */ \"./convert.mjs\");\nconst names = __webpack_require__(/*! ./names.js */ \"./names.js\");\nconst out = [];\nfor (const [v, from, to] of [[1, \"km\", \"m\"], [3.5, \"kg\", \"g\"], [100, \"cm\", \"m\"], [2, \"h\", \"min\"]]) {\n    out.push(`${v}${names.label(from)} = ${convert.convert(v, from, to)}${names.label(to)}`);\n}\nlog(out.join(\"; \"));\nlog(convert.known().length + \" units\");\n\n\n//# sourceURL=webpack:///./index.js?\n}");

/***/ },

/***/ "./names.js"
/*!******************!*\
  !*** ./names.js ***!
  \******************/
(__unused_webpack_module, exports) {

eval("{const labels = { m: \"米\", km: \"千米\", cm: \"厘米\", g: \"克\", kg: \"千克\", min: \"分钟\", h: \"小时\" };\nexports.label = (u) => labels[u] || u;\n\n\n//# sourceURL=webpack:///./names.js?\n}");

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
/******/ 	
/******/ 	// startup
/******/ 	// Load entry module and return exports
/******/ 	// This entry module can't be inlined because the eval devtool is used.
/******/ 	let __webpack_exports__ = __webpack_require__("./index.js");
/******/ 	
/******/ })()
;