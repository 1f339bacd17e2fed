// Concealed globals: `get("k3")(x)` where `function get(m) { switch (m) { case "k3": return
// g["log"]; … } }` and g is the global object (found by a function that tries
// `globalThis`, `window`, … in turn). Each call becomes the global's plain name where
// nothing in scope hides it; the switch function, and the global-object lookup once
// nothing else uses it, go.
import {freshScopes, t, traverse} from "../babel.js";
import {constantValue, isPlainName} from "../constant.js";
import {memberKey} from "../subst.js";

import {findsGlobalObject, sweepUnused} from "./confuserCleanup.js";

function functionOf(binding) {
    const p = binding.path;
    if (p.isFunctionDeclaration())
        return p;
    if (p.isVariableDeclarator() && p.node.init && p.node.init.type === "FunctionExpression")
        return p.get("init");
    return null;
}

// A binding that holds the global object: `var g = find()` or `var g = find() || {}`.
function isGlobalObject(binding, scope) {
    if (!binding || binding.constantViolations.length > 1)
        return false;
    let init = binding.path.isVariableDeclarator() ? binding.path.node.init : null;
    if (!init && binding.constantViolations.length === 1 &&
        binding.constantViolations[0].isAssignmentExpression())
        init = binding.constantViolations[0].node.right;
    else if (binding.constantViolations.length)
        return false;
    if (init && init.type === "LogicalExpression" && init.operator === "||")
        init = init.left;
    if (!init || init.type !== "CallExpression" || init.callee.type !== "Identifier" ||
        init.arguments.length)
        return false;
    const fb = scope.getBinding(init.callee.name);
    const fn = fb && functionOf(fb);
    return !!fn && findsGlobalObject(fn);
}

// A constant, also read from a table of literals nothing writes (`k[44]`, `"ab" + k[3]`).
export function valueAt(node, path) {
    const v = constantValue(node, path);
    if (v)
        return v;
    if (node.type === "BinaryExpression" && node.operator === "+") {
        const a = valueAt(node.left, path), b = valueAt(node.right, path);
        return a && b && typeof a.value === "string" && typeof b.value === "string"
                   ? {value : a.value + b.value}
                   : null;
    }
    if (node.type !== "MemberExpression" || !node.computed || node.object.type !== "Identifier")
        return null;
    const b = path.scope.getBinding(node.object.name);
    if (!b || b.constantViolations.length || !b.path.isVariableDeclarator() || !b.path.node.init)
        return null;
    const table = constantValue(b.path.node.init, b.path);
    const i = constantValue(node.property, path);
    if (!table || !Array.isArray(table.value) || !i || typeof i.value !== "number")
        return null;
    for (const r of b.referencePaths) {
        const m = r.parentPath, up = m.parentPath;
        if (!m.isMemberExpression() || m.node.object !== r.node || !m.node.computed)
            return null;
        if ((up.isAssignmentExpression() && up.node.left === m.node) || up.isUpdateExpression() ||
            (up.isUnaryExpression() && up.node.operator === "delete") || up.isForXStatement())
            return null;
    }
    return Object.prototype.hasOwnProperty.call(table.value, i.value)
               ? {value : table.value[i.value]}
               : null;
}

// The key a switch function reads: its one parameter, or the first of its rest parameter.
function isKeyRead(node, fn, path) {
    const p = fn.params;
    if (p.length !== 1)
        return false;
    if (p[0].type === "Identifier")
        return node.type === "Identifier" && node.name === p[0].name;
    if (p[0].type !== "RestElement" || p[0].argument.type !== "Identifier" ||
        node.type !== "MemberExpression" || !node.computed)
        return false;
    const i = valueAt(node.property, path);
    return node.object.type === "Identifier" && node.object.name === p[0].argument.name && !!i &&
           i.value === 0;
}

// `args.length = 1`: the rest parameter cut to the key (nothing else reads it).
function isLengthCut(s, fn, path) {
    if (s.type !== "ExpressionStatement" || s.expression.type !== "AssignmentExpression")
        return false;
    const {left, right} = s.expression;
    const rest = fn.params[0].type === "RestElement" ? fn.params[0].argument.name : null;
    const key =
        left.type === "MemberExpression"
            ? memberKey(left) ?? (left.computed ? valueAt(left.property, path)?.value : null)
            : null;
    const n = valueAt(right, path);
    return !!rest && left.object.type === "Identifier" && left.object.name === rest &&
           key === "length" && !!n && n.value === 1;
}

// The switch and its flag: the plain `function get(k) { switch (k) { … } }`, or the same
// switch in an inner function that sets a flag before each return, which the outer one
// runs once: `var f, r; function in() { …; switch … } f = undefined; r = in(); if (f) return r;`.
function switchOf(fnPath) {
    const fn = fnPath.node, body = fn.body.body;
    if (body.length === 1 && body[0].type === "SwitchStatement")
        return {sw : body[0], flag : null, at : fnPath};
    if (body.length < 4)
        return null;
    const [decl, ifs] = [ body.slice(0, -4), body.slice(-4) ];
    const vars = new Set();
    for (const d of decl) {
        if (d.type !== "VariableDeclaration" ||
            d.declarations.some((x) => x.init || x.id.type !== "Identifier"))
            return null;
        d.declarations.forEach((x) => vars.add(x.id.name));
    }
    const [inner, reset, run, back] = ifs;
    const assign = (s) =>
        s.type === "ExpressionStatement" && s.expression.type === "AssignmentExpression" &&
                s.expression.operator === "=" && s.expression.left.type === "Identifier"
            ? s.expression
            : null;
    const r = assign(reset), c = assign(run);
    if (inner.type !== "FunctionDeclaration" || inner.async || inner.generator || !r || !c)
        return null;
    const flag = r.left.name, result = c.left.name;
    if (!vars.has(flag) || !vars.has(result) || flag === result || vars.size !== 2)
        return null;
    if (r.right.type !== "Identifier" || r.right.name !== "undefined" ||
        c.right.type !== "CallExpression" || c.right.arguments.length ||
        c.right.callee.type !== "Identifier" || c.right.callee.name !== inner.id.name)
        return null;
    if (back.type !== "IfStatement" || back.alternate || back.test.type !== "Identifier" ||
        back.test.name !== flag)
        return null;
    const ret = back.consequent.type === "BlockStatement" && back.consequent.body.length === 1
                    ? back.consequent.body[0]
                    : back.consequent;
    if (ret.type !== "ReturnStatement" || !ret.argument || ret.argument.type !== "Identifier" ||
        ret.argument.name !== result)
        return null;
    // The inner function: parameters that only take defaults, then the switch.
    if (inner.params.some((p) => p.type !== "Identifier" &&
                                 !(p.type === "AssignmentPattern" && p.left.type === "Identifier" &&
                                   p.right.type === "ObjectExpression")))
        return null;
    const ib = inner.body.body;
    const innerPath = fnPath.get("body.body").find((p) => p.node === inner);
    const at = innerPath;
    const stmts = ib.length === 2 && isLengthCut(ib[0], fn, at) ? [ ib[1] ] : ib;
    if (stmts.length !== 1 || stmts[0].type !== "SwitchStatement")
        return null;
    if (fnPath.scope.getBinding(inner.id.name)?.references !== 1)
        return null;
    return {sw : stmts[0], flag, at};
}

// The switch function: { key → global name }.
function switchMap(fnPath) {
    const fn = fnPath.node;
    if (fn.params.length !== 1)
        return null;
    const shape = switchOf(fnPath);
    if (!shape)
        return null;
    const {sw, flag, at} = shape;
    if (!isKeyRead(sw.discriminant, fn, at))
        return null;
    const map = new Map();
    let holder = null;
    for (const c of sw.cases) {
        const test = c.test && valueAt(c.test, at);
        if (!test || typeof test.value !== "string")
            return null;
        let list = c.consequent;
        if (flag) {
            const f = list[0];
            if (list.length !== 2 || f.type !== "ExpressionStatement" ||
                f.expression.type !== "AssignmentExpression" ||
                f.expression.left.type !== "Identifier" || f.expression.left.name !== flag ||
                f.expression.right.type !== "BooleanLiteral" || !f.expression.right.value)
                return null;
            list = list.slice(1);
        }
        if (list.length !== 1)
            return null;
        const r = list[0];
        if (r.type !== "ReturnStatement" || !r.argument || r.argument.type !== "MemberExpression")
            return null;
        const m = r.argument;
        const key = memberKey(m) ?? (m.computed ? valueAt(m.property, at)?.value : null);
        if (m.object.type !== "Identifier" || typeof key !== "string")
            return null;
        if (holder && holder !== m.object.name)
            return null;
        holder = m.object.name;
        if (!map.has(test.value))
            map.set(test.value, key);
    }
    if (!holder)
        return null;
    const hb = fnPath.scope.getBinding(holder);
    if (!isGlobalObject(hb, fnPath.scope))
        return null;
    return {map, holder : hb};
}

function revealGlobals(ast) {
    let changed = false;
    traverse(ast, {
        Function(path) {
            let binding = null;
            if (path.isFunctionDeclaration())
                binding = path.parentPath.scope.getBinding(path.node.id.name);
            else if (path.parentPath.isVariableDeclarator() && path.parent.id.type === "Identifier")
                binding = path.parentPath.scope.getBinding(path.parent.id.name);
            if (!binding || binding.constantViolations.length)
                return;
            const shape = switchMap(path);
            if (!shape)
                return;
            let all = true;
            const removed = new Set();
            for (const ref of binding.referencePaths) {
                const call = ref.parentPath;
                const key = call.isCallExpression() && call.node.callee === ref.node &&
                                    call.node.arguments.length === 1
                                ? constantValue(call.node.arguments[0], call)
                                : null;
                const name = key && shape.map.get(key.value);
                if (!name || !isPlainName(name) || call.scope.hasBinding(name, true)) {
                    all = false;
                    continue;
                }
                call.replaceWith(t.identifier(name));
                removed.add(call);
                changed = true;
            }
            if (!all)
                return;
            const decl = path.isFunctionDeclaration() ? path : path.parentPath;
            decl.remove();
            removed.add(decl);
            sweepUnused(new Set([ shape.holder ]), removed);
        },
    });
    return changed;
}

export const concealedGlobals = {
    name : "全局变量隐藏",
    detect : (code) => /\bglobalThis\b/.test(code) && /\bswitch\b/.test(code),
    run(ast) {
        freshScopes();
        return revealGlobals(ast);
    },
};
