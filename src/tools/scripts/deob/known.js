// Values that can be known without running any of the script's own code: expressions
// built of literals, constants and a page's pure built-ins (atob, decodeURIComponent,
// String.fromCharCode, string and array methods), and the ways a script reaches the
// Function constructor (aliases, x.constructor.constructor, a parameter it is passed as).
import { t, generateNode } from "./babel.js";
import { capturePrelude, sandboxJson } from "./sandbox.js";

const pureGlobals = new Set(["atob", "btoa", "decodeURIComponent", "encodeURIComponent", "decodeURI",
    "encodeURI", "escape", "unescape", "String", "Number", "parseInt", "parseFloat", "undefined", "NaN",
    "Infinity"]);
// Methods of strings, arrays and String that compute a value and nothing else.
const pureMethods = new Set(["split", "join", "reverse", "replace", "replaceAll", "concat", "slice",
    "substring", "substr", "charAt", "charCodeAt", "codePointAt", "toLowerCase", "toUpperCase", "trim",
    "trimStart", "trimEnd", "repeat", "padStart", "padEnd", "fromCharCode", "fromCodePoint", "toString",
    "at", "indexOf", "length", "normalize", "apply", "call"]);
const globalAliases = new Set(["window", "globalThis", "self"]);
const builtinConstructors = new Set(["Object", "Array", "String", "Number", "Boolean", "RegExp", "Function",
    "Date", "Error", "Symbol"]);
const maxDepth = 8;

function unbound(path, name) {
    return !path.scope.hasBinding(name, true);
}

function propertyName(member) {
    const p = member.property;
    if (!member.computed && p.type === "Identifier") return p.name;
    if (member.computed && p.type === "StringLiteral") return p.value;
    return null;
}

// (function () { return this; })(): the global object in sloppy code.
function isThisGetter(node) {
    if (node.type !== "CallExpression" || node.arguments.length) return false;
    const fn = node.callee;
    if (fn.type !== "FunctionExpression" || fn.params.length || fn.async || fn.generator) return false;
    const b = fn.body.body;
    return fn.body.directives.length === 0 && b.length === 1 && b[0].type === "ReturnStatement" &&
        b[0].argument && b[0].argument.type === "ThisExpression";
}

function isGlobalObject(node, path) {
    return (node.type === "Identifier" && globalAliases.has(node.name) && unbound(path, node.name)) ||
        isThisGetter(node);
}

// The declarator of a name that is assigned once, where that value is the one every use
// sees: a const, or a var/let read only after its declaration in the same function.
function constantInit(id, path) {
    const b = path.scope.getBinding(id.name);
    if (!b || !b.constant || !b.path.isVariableDeclarator() || !b.path.node.init) return null;
    if (b.path.node.id.type !== "Identifier") return null;
    if (b.kind !== "const") {
        if (b.path.getFunctionParent() !== path.getFunctionParent()) return null;
        if (b.path.node.end == null || id.start == null || id.start < b.path.node.end) return null;
        if (b.path.findParent((p) => p.isLoop())) return null;
    }
    return b.path;
}

// A copy of `node` in which every name is a pure built-in (what the script's constants
// stand for are copied in), or null when the expression may run the script's code.
// `uses` (optional) collects the bindings of the constants copied in.
export function closedCopy(node, path, depth = 0, uses = null) {
    if (!node || depth > maxDepth) return null;
    const copy = (n) => closedCopy(n, path, depth, uses);
    switch (node.type) {
    case "StringLiteral": case "NumericLiteral": case "BooleanLiteral": case "NullLiteral":
        return t.cloneNode(node, false, true);
    case "TemplateLiteral": {
        const exprs = node.expressions.map(copy);
        return exprs.every(Boolean) ? t.templateLiteral(node.quasis.map((q) => t.cloneNode(q)), exprs) : null;
    }
    case "ArrayExpression": {
        const items = node.elements.map((e) => (e && e.type !== "SpreadElement" ? copy(e) : null));
        return items.every(Boolean) ? t.arrayExpression(items) : null;
    }
    case "Identifier": {
        if (pureGlobals.has(node.name) && unbound(path, node.name)) return t.identifier(node.name);
        const decl = constantInit(node, path);
        if (!decl) return null;
        if (uses) uses.push(path.scope.getBinding(node.name));
        return closedCopy(decl.node.init, decl, depth + 1, uses);
    }
    case "ParenthesizedExpression":
        return copy(node.expression);
    case "UnaryExpression":
        if (node.operator === "delete" || node.operator === "typeof") return null;
        return ((a) => a && t.unaryExpression(node.operator, a))(copy(node.argument));
    case "BinaryExpression": {
        if (node.operator === "in" || node.operator === "instanceof") return null;
        const a = copy(node.left), b = copy(node.right);
        return a && b ? t.binaryExpression(node.operator, a, b) : null;
    }
    case "LogicalExpression": {
        const a = copy(node.left), b = copy(node.right);
        return a && b ? t.logicalExpression(node.operator, a, b) : null;
    }
    case "ConditionalExpression": {
        const c = copy(node.test), a = copy(node.consequent), b = copy(node.alternate);
        return c && a && b ? t.conditionalExpression(c, a, b) : null;
    }
    case "MemberExpression": {
        const name = propertyName(node);
        if (isGlobalObject(node.object, path))
            return name && pureGlobals.has(name) && unbound(path, name) ? t.identifier(name) : null;
        const o = copy(node.object);
        if (!o) return null;
        if (name !== null) return pureMethods.has(name) ? t.memberExpression(o, t.identifier(name)) : null;
        if (!node.computed) return null;
        // "abc"[1], list[0]: an index that is a number.
        const k = copy(node.property);
        return k && k.type === "NumericLiteral" ? t.memberExpression(o, k, true) : null;
    }
    case "CallExpression": {
        if (node.callee.type !== "Identifier" && node.callee.type !== "MemberExpression") return null;
        const callee = copy(node.callee);
        if (!callee) return null;
        const args = node.arguments.map((a) => (a.type === "SpreadElement" ? null : copy(a)));
        return args.every(Boolean) ? t.callExpression(callee, args) : null;
    }
    }
    return null;
}

// The strings that closed expressions evaluate to, computed in one sandbox run: one entry
// per expression, null where it is not a string (or throws).
export function evaluateStrings(exprs) {
    if (!exprs.length) return [];
    const probe = capturePrelude + "JSON.stringify([" + exprs.map((e) =>
        "(function () { try { var v = (" + generateNode(e) + "); return typeof v === 'string' ? [v] : null; }" +
        " catch (e) { return null; } })()").join(",\n") + "]);";
    return sandboxJson(probe).map((r) => (r ? r[0] : null));
}

// Whether `node` (seen from `path`) is the Function constructor.
// `uses` (optional) collects the bindings of the aliases passed through.
export function isFunctionConstructor(node, path, depth = 0, uses = null) {
    if (!node || depth > maxDepth) return false;
    if (node.type === "Identifier") {
        const b = path.scope.getBinding(node.name);
        if (!b) return node.name === "Function";
        if (!b.constant) return false;
        if (uses) uses.push(b);
        if (b.path.isVariableDeclarator() && b.path.node.id === b.identifier && b.path.node.init)
            return isFunctionConstructor(b.path.node.init, b.path, depth + 1, uses);
        // (function (F) { … })(Function): a parameter given it by an immediate call.
        if (b.kind === "param") {
            const fn = b.scope.path;
            const i = fn.node.params.indexOf(b.identifier);
            const call = fn.parentPath;
            if (i < 0 || !fn.isFunctionExpression() || !call.isCallExpression({ callee: fn.node })) return false;
            const arg = call.node.arguments[i];
            return !!arg && arg.type !== "SpreadElement" && call.node.arguments.slice(0, i)
                .every((a) => a.type !== "SpreadElement") && isFunctionConstructor(arg, call, depth + 1, uses);
        }
        return false;
    }
    if (node.type !== "MemberExpression") return false;
    const name = propertyName(node);
    const o = node.object;
    if (isGlobalObject(o, path) && name === "Function") return unbound(path, "Function");
    if (name !== "constructor") return false;
    // (function () {}).constructor, (() => 0).constructor
    if ((o.type === "FunctionExpression" || o.type === "ArrowFunctionExpression") && !o.async && !o.generator)
        return true;
    // Function.prototype.constructor
    if (o.type === "MemberExpression" && propertyName(o) === "prototype")
        return isFunctionConstructor(o.object, path, depth + 1, uses);
    // Object.constructor, [].constructor.constructor, "".constructor.constructor
    if (o.type === "Identifier" && builtinConstructors.has(o.name) && unbound(path, o.name)) return true;
    if (o.type === "MemberExpression" && propertyName(o) === "constructor") {
        const inner = o.object;
        return t.isLiteral(inner) || inner.type === "ArrayExpression" || inner.type === "ObjectExpression" ||
            (inner.type === "Identifier" && builtinConstructors.has(inner.name) && unbound(path, inner.name));
    }
    return false;
}
