/*
 * ATTENTION: The "eval" devtool has been used (maybe by default in mode: "development").
 * This devtool is neither made for production nor for readable output files.
 * It uses "eval()" calls to create a separate source file in the browser devtools.
 * If you are trying to read the output file, select a different devtool (https://webpack.js.org/configuration/devtool/)
 * or disable the default devtool with "devtool: false".
 * If you are looking for production-ready output files, see mode: "production" (https://webpack.js.org/configuration/mode/).
 */
/******/ (() => { // webpackBootstrap
/******/ 	"use strict";
/******/ 	var __webpack_modules__ = ({

/***/ "./index.js"
/*!******************!*\
  !*** ./index.js ***!
  \******************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony import */ var _store_js__WEBPACK_IMPORTED_MODULE_0__ = __webpack_require__(/*! ./store.js */ \"./store.js\");\n/* harmony import */ var _parse_js__WEBPACK_IMPORTED_MODULE_1__ = __webpack_require__(/*! ./parse.js */ \"./parse.js\");\n/* harmony import */ var _text_js__WEBPACK_IMPORTED_MODULE_2__ = __webpack_require__(/*! ./text.js */ \"./text.js\");\n// Notes: ES modules with named, default and re-exported bindings.\n\n\n\n\nconst store = new _store_js__WEBPACK_IMPORTED_MODULE_0__[\"default\"]();\nfor (const line of [\"买菜 #家务 #今天\", \"写报告 #工作\", \"跑步 #健康 #今天\", \"回邮件 #工作 #今天\"]) {\n    store.add((0,_parse_js__WEBPACK_IMPORTED_MODULE_1__.parseNote)(line));\n}\nlog(`notes: ${store.size}`);\nlog(\"today: \" + store.tagged(\"今天\").map((n) => n.title).join(\", \"));\nlog(\"tags: \" + (0,_parse_js__WEBPACK_IMPORTED_MODULE_1__.tagsOf)(store.all()).join(\" \"));\nlog(_text_js__WEBPACK_IMPORTED_MODULE_2__.shout(store.all()[1].title) + \" / \" + _text_js__WEBPACK_IMPORTED_MODULE_2__.initials(\"hello modular world\"));\nlog(_text_js__WEBPACK_IMPORTED_MODULE_2__.version);\n\n\n//# sourceURL=webpack:///./index.js?\n}");

/***/ },

/***/ "./parse.js"
/*!******************!*\
  !*** ./parse.js ***!
  \******************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   parseNote: () => (/* binding */ parseNote),\n/* harmony export */   tagsOf: () => (/* binding */ tagsOf)\n/* harmony export */ });\nfunction parseNote(line) {\n    const tags = line.match(/#\\S+/g) ?? [];\n    return { title: line.replace(/#\\S+/g, \"\").trim(), tags: tags.map((t) => t.slice(1)) };\n}\nconst tagsOf = (notes) => [...new Set(notes.flatMap((n) => n.tags))].sort();\n\n\n//# sourceURL=webpack:///./parse.js?\n}");

/***/ },

/***/ "./store.js"
/*!******************!*\
  !*** ./store.js ***!
  \******************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   \"default\": () => (/* binding */ Store)\n/* harmony export */ });\nclass Store {\n    #notes = [];\n    add(note) {\n        this.#notes.push({ id: this.#notes.length + 1, ...note });\n    }\n    get size() {\n        return this.#notes.length;\n    }\n    all() {\n        return this.#notes.slice();\n    }\n    tagged(tag) {\n        return this.#notes.filter((n) => n.tags.includes(tag));\n    }\n}\n\n\n//# sourceURL=webpack:///./store.js?\n}");

/***/ },

/***/ "./text.js"
/*!*****************!*\
  !*** ./text.js ***!
  \*****************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   initials: () => (/* reexport safe */ _words_js__WEBPACK_IMPORTED_MODULE_0__.initials),\n/* harmony export */   shout: () => (/* reexport safe */ _words_js__WEBPACK_IMPORTED_MODULE_0__.shout),\n/* harmony export */   version: () => (/* binding */ version)\n/* harmony export */ });\n/* harmony import */ var _words_js__WEBPACK_IMPORTED_MODULE_0__ = __webpack_require__(/*! ./words.js */ \"./words.js\");\n\nconst version = \"notes 1.0\";\n\n\n//# sourceURL=webpack:///./text.js?\n}");

/***/ },

/***/ "./words.js"
/*!******************!*\
  !*** ./words.js ***!
  \******************/
(__unused_webpack_module, __webpack_exports__, __webpack_require__) {

eval("{__webpack_require__.r(__webpack_exports__);\n/* harmony export */ __webpack_require__.d(__webpack_exports__, {\n/* harmony export */   initials: () => (/* binding */ initials),\n/* harmony export */   shout: () => (/* binding */ shout)\n/* harmony export */ });\nconst shout = (s) => s + \"!\";\nfunction initials(s) {\n    return s.split(\" \").map((w) => w[0].toUpperCase()).join(\"\");\n}\n\n\n//# sourceURL=webpack:///./words.js?\n}");

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