// Functions taken apart so that their parameters and locals no longer read as such:
// - moved declarations: locals made extra parameters that no call passes
//   (`function f(a, tmp) { tmp = …; }` called as `f(1)`) become locals again, and the
//   local functions moved with them (`if (!g) { g = function () {…}; }`) declarations;
// - variable masking: `function f(...m) { m["b"] = m[0] + 1; }` — every parameter and local
//   an element of one rest array — gets named parameters and locals back;
// - flattening: `function f(...a) { var o = {}; return g(o, a); }` beside
//   `function g(o, [x, y]) {…}` becomes `function f(x, y) {…}` again.
import { t, traverse, freshScopes } from "../babel.js";
import { constantValue, isPlainName } from "../constant.js";

function bindingOfFunction(path) {
    if (path.isFunctionDeclaration() && path.node.id) return path.parentPath.scope.getBinding(path.node.id.name);
    if (path.isFunctionExpression() && path.parentPath.isVariableDeclarator() && path.parent.id.type === "Identifier")
        return path.parentPath.scope.getBinding(path.parent.id.name);
    return null;
}

// The most arguments any use passes, or -1 when the function is used otherwise than called.
function mostArguments(binding) {
    if (!binding || binding.constantViolations.length || !binding.referencePaths.length) return -1;
    let most = 0;
    for (const ref of binding.referencePaths) {
        const call = ref.parentPath;
        if (!call.isCallExpression() || call.node.callee !== ref.node) return -1;
        if (call.node.arguments.some((a) => a.type === "SpreadElement")) return -1;
        most = Math.max(most, call.node.arguments.length);
    }
    return most;
}

function usesArguments(fnPath) {
    let found = false;
    fnPath.traverse({
        Function(p) { if (!p.isArrowFunctionExpression()) p.skip(); },
        Identifier(p) { if (p.node.name === "arguments") found = true; },
    });
    return found;
}

function movedDeclarations(fnPath) {
    const fn = fnPath.node;
    const most = mostArguments(bindingOfFunction(fnPath));
    if (most < 0 || fn.params.length <= most || usesArguments(fnPath)) return false;
    const extra = fn.params.slice(most);
    if (!extra.every((p) => p.type === "Identifier")) return false;
    fn.params = fn.params.slice(0, most);
    const names = extra.map((p) => p.name);
    const body = fn.body.body;
    // if (!g) { g = function () {…}; } for a moved local function.
    const functions = [];
    let i = 0;
    for (; i < body.length; ++i) {
        const s = body[i];
        if (s.type !== "IfStatement" || s.alternate) break;
        const test = s.test;
        if (test.type !== "UnaryExpression" || test.operator !== "!" || test.argument.type !== "Identifier" ||
            !names.includes(test.argument.name)) break;
        const block = s.consequent.type === "BlockStatement" ? s.consequent.body : [s.consequent];
        if (block.length !== 1 || block[0].type !== "ExpressionStatement") break;
        const a = block[0].expression;
        if (a.type !== "AssignmentExpression" || a.operator !== "=" || a.left.type !== "Identifier" ||
            a.left.name !== test.argument.name || a.right.type !== "FunctionExpression" ||
            (a.right.id && a.right.id.name !== a.left.name)) break;
        if (functions.includes(a.left.name)) break;
        functions.push(a.left.name);
        body[i] = t.functionDeclaration(t.identifier(a.left.name), a.right.params, a.right.body,
            a.right.generator, a.right.async);
    }
    const locals = names.filter((n) => !functions.includes(n));
    if (locals.length) body.unshift(t.variableDeclaration("var", locals.map((n) => t.variableDeclarator(t.identifier(n)))));
    return true;
}

// function f(...m) with every use of m a read or write of m[key], key a constant.
function maskedVariables(fnPath) {
    const fn = fnPath.node;
    if (fn.params.length !== 1 || fn.params[0].type !== "RestElement" || fn.params[0].argument.type !== "Identifier")
        return false;
    if (usesArguments(fnPath)) return false;
    const name = fn.params[0].argument.name;
    const binding = fnPath.scope.getBinding(name);
    if (!binding || binding.constantViolations.length) return false;
    // `m.length = n;` first: the function's arity, with m cut down to it.
    const first = fn.body.body[0];
    let arity = -1;
    if (first && first.type === "ExpressionStatement" && first.expression.type === "AssignmentExpression" &&
        first.expression.operator === "=" && first.expression.left.type === "MemberExpression" &&
        !first.expression.left.computed && first.expression.left.object.type === "Identifier" &&
        first.expression.left.object.name === name && first.expression.left.property.name === "length" &&
        first.expression.right.type === "NumericLiteral" && Number.isInteger(first.expression.right.value) &&
        first.expression.right.value <= 64) arity = first.expression.right.value;
    const keys = new Map();
    let most = arity - 1;
    for (const ref of binding.referencePaths) {
        const m = ref.parentPath;
        if (arity >= 0 && m.node === first.expression.left) continue;
        if (!m.isMemberExpression() || m.node.object !== ref.node) return false;
        const k = m.node.computed ? constantValue(m.node.property, m) : { value: m.node.property.name };
        if (!k || (typeof k.value !== "string" && typeof k.value !== "number")) return false;
        if (typeof k.value === "number") {
            if (!Number.isInteger(k.value) || k.value < 0 || k.value > 64) return false;
            if (arity < 0) most = Math.max(most, k.value);
        } else if (/^\d+$/.test(k.value) || k.value in [] || !isPlainName(k.value)) {
            return false;
        }
        keys.set(String(k.value), true);
    }
    if (!binding.referencePaths.length) return false;
    const names = new Map();
    const params = [];
    for (let i = 0; i <= most; ++i) {
        const id = fnPath.scope.generateUidIdentifier("arg" + (i + 1));
        names.set(String(i), id.name);
        params.push(id);
    }
    const locals = [];
    for (const k of keys.keys()) {
        if (names.has(k)) continue;
        const id = fnPath.scope.generateUidIdentifier(/^\d/.test(k) ? "local" : k);
        names.set(k, id.name);
        locals.push(t.variableDeclarator(id));
    }
    for (const ref of binding.referencePaths) {
        const m = ref.parentPath;
        if (arity >= 0 && m.node === first.expression.left) continue;
        const k = m.node.computed ? constantValue(m.node.property, m).value : m.node.property.name;
        m.replaceWith(t.identifier(names.get(String(k))));
    }
    if (arity >= 0) fn.body.body.shift();
    fn.params = params;
    if (locals.length) fn.body.body.unshift(t.variableDeclaration("var", locals));
    return true;
}

// function f(...a) { var o = {}; return g(o, a); } with g(o, [x, y]) used nowhere else.
function flattened(fnPath) {
    const fn = fnPath.node;
    if (fn.params.length !== 1 || fn.params[0].type !== "RestElement" || fn.params[0].argument.type !== "Identifier")
        return false;
    const body = fn.body.body;
    if (body.length !== 2 || body[0].type !== "VariableDeclaration" || body[0].declarations.length !== 1) return false;
    const d = body[0].declarations[0];
    if (d.id.type !== "Identifier" || !d.init || d.init.type !== "ObjectExpression" || d.init.properties.length) return false;
    const r = body[1];
    if (r.type !== "ReturnStatement" || !r.argument || r.argument.type !== "CallExpression") return false;
    const call = r.argument;
    const a = fn.params[0].argument.name;
    if (call.callee.type !== "Identifier" || call.arguments.length !== 2 || call.arguments[0].type !== "Identifier" ||
        call.arguments[0].name !== d.id.name || call.arguments[1].type !== "Identifier" || call.arguments[1].name !== a)
        return false;
    const target = fnPath.scope.getBinding(call.callee.name);
    if (!target || !target.path.isFunctionDeclaration() || target.constantViolations.length ||
        target.references !== 1 || target.scope !== fnPath.scope.parent) return false;
    const g = target.path.node;
    if (g.async !== fn.async || g.generator !== fn.generator || g.params.length !== 2 ||
        g.params[0].type !== "Identifier" || g.params[1].type !== "ArrayPattern") return false;
    const holder = target.path.scope.getBinding(g.params[0].name);
    if (!holder || holder.referenced || holder.constantViolations.length) return false;
    let bad = false;
    target.path.traverse({
        Function(p) { if (!p.isArrowFunctionExpression()) p.skip(); },
        ThisExpression() { bad = true; },
        Identifier(p) { if (p.node.name === "arguments") bad = true; },
        MetaProperty() { bad = true; },
    });
    if (bad || g.params[1].elements.some((e) => !e)) return false;
    fn.params = g.params[1].elements;
    fn.body = g.body;
    target.path.remove();
    return true;
}

function restoreFunctions(ast) {
    let changed = false;
    traverse(ast, {
        "FunctionDeclaration|FunctionExpression": {
            exit(path) {
                if (flattened(path) || maskedVariables(path)) changed = true;
                else if (movedDeclarations(path)) changed = true;
            },
        },
    });
    return changed;
}

export const confuserFunctions = {
    name: "函数参数还原（变量遮蔽、展平、移动的声明）",
    run(ast) {
        freshScopes();
        return restoreFunctions(ast);
    },
};
