// The helpers webpack's modules call on their loader (r, d, o, n, g, nmd, hmd), written
// as a CommonJS file that the unbundled modules require; each does what the bundle's own
// helper does.
export const webpackRuntime = `// The helpers of the bundle's loader that its modules call.
var hasOwn = function (object, key) {
  return Object.prototype.hasOwnProperty.call(object, key);
};
// Marks exports as those of an ES module.
exports.r = function (exports) {
  if (typeof Symbol !== "undefined" && Symbol.toStringTag) {
    Object.defineProperty(exports, Symbol.toStringTag, { value: "Module" });
  }
  Object.defineProperty(exports, "__esModule", { value: true });
};
// Defines exports as getters, so that they stay live bindings.
exports.d = function (exports, definition) {
  for (var key in definition) {
    if (hasOwn(definition, key) && !hasOwn(exports, key)) {
      Object.defineProperty(exports, key, { enumerable: true, get: definition[key] });
    }
  }
};
exports.o = hasOwn;
// The default export of a CommonJS or an ES module.
exports.n = function (module) {
  var getter = module && module.__esModule ? function () { return module["default"]; } : function () { return module; };
  exports.d(getter, { a: getter });
  return getter;
};
exports.g = typeof globalThis !== "undefined" ? globalThis : Function("return this")();
exports.nmd = exports.hmd = function (module) {
  module.paths = module.paths || [];
  module.children = module.children || [];
  return module;
};
`;
