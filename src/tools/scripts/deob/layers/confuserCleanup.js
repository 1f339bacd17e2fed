// What an obfuscator's helpers leave once their calls are gone: the functions and
// variables only they used (the encoded text, the global-object lookup, the text decoder
// set up from it). A name goes when every use of it is inside something removed and what
// it is given runs no code of the script's (literals, functions, reads of members, the
// lookup itself), so that removing it changes nothing the script does.
import { t } from "../babel.js";

export function isWithin(path, ancestor) {
    for (let p = path; p; p = p.parentPath) if (p === ancestor) return true;
    return false;
}

// A function that returns the global object: it holds `function () { return globalThis; }`.
export function findsGlobalObject(fnPath) {
    let found = false;
    fnPath.traverse({
        Function(p) {
            const b = p.node.body;
            const r = b.type === "BlockStatement" && b.body.length === 1 ? b.body[0].argument : b;
            if (r && r.type === "Identifier" && r.name === "globalThis") found = true;
        },
    });
    return found;
}

function isPure(node, scope) {
    if (!node) return true;
    switch (node.type) {
    case "StringLiteral": case "NumericLiteral": case "BooleanLiteral": case "NullLiteral":
    case "Identifier": case "FunctionExpression": case "ArrowFunctionExpression":
        return true;
    case "TemplateLiteral":
        return node.expressions.every((e) => isPure(e, scope));
    case "MemberExpression":
        return isPure(node.object, scope) && (!node.computed || t.isLiteral(node.property));
    case "LogicalExpression": case "BinaryExpression":
        return isPure(node.left, scope) && isPure(node.right, scope);
    case "UnaryExpression":
        return node.operator !== "delete" && isPure(node.argument, scope);
    case "ArrayExpression":
        return node.elements.every((e) => !e || isPure(e, scope));
    case "ObjectExpression":
        return node.properties.every((p) => p.type === "ObjectProperty" && !p.computed && isPure(p.value, scope));
    case "NewExpression":
        return node.callee.type === "Identifier" && node.arguments.every((a) => isPure(a, scope));
    case "CallExpression": {
        const c = node.callee;
        // Object.create(null): the dispatcher's cache.
        if (c.type === "MemberExpression" && c.object.type === "Identifier" && c.object.name === "Object" &&
            !scope.hasBinding("Object", true) && (c.property.name === "create" || c.property.value === "create") &&
            node.arguments.length === 1 && node.arguments[0].type === "NullLiteral") return true;
        if (node.arguments.length) return false;
        // (function () { var …; return function … })()
        if (c.type === "FunctionExpression" && !c.params.length) return c.body.body.every((s) => pureStatement(s, scope));
        if (c.type !== "Identifier") return false;
        const b = scope.getBinding(c.name);
        return !!b && b.path.isFunctionDeclaration() && findsGlobalObject(b.path);
    }
    }
    return false;
}

function pureStatement(s, scope) {
    if (s.type === "VariableDeclaration") return s.declarations.every((d) => isPure(d.init, scope));
    if (s.type === "ReturnStatement") return isPure(s.argument, scope);
    if (s.type === "ExpressionStatement") {
        const e = s.expression;
        return e.type === "AssignmentExpression" && e.left.type === "Identifier" && isPure(e.right, scope);
    }
    return false;
}

// The statements or list items that give the binding its values, or null when one of
// them may run code.
function definitions(binding, gone) {
    const out = [];
    const p = binding.path;
    if (p.isFunctionDeclaration()) out.push(p);
    else if (p.isVariableDeclarator() && p.node.id.type === "Identifier" && isPure(p.node.init, p.scope)) out.push(p);
    else return null;
    for (const v of binding.constantViolations) {
        if (v === p || gone(v)) continue;
        if (!v.isAssignmentExpression() || v.node.operator !== "=" || !isPure(v.node.right, v.scope)) return null;
        if (v.parentPath.isExpressionStatement()) out.push(v.parentPath);
        else if (v.parentPath.isSequenceExpression()) out.push(v);
        else return null;
    }
    return out;
}

function bindingsUsedIn(path, into) {
    const look = (p) => {
        const b = p.scope.getBinding(p.node.name);
        if (b) into.add(b);
    };
    if (path.isIdentifier()) look(path);
    path.traverse({ Identifier: look });
}

// Removes the bindings among `seeds` (and, in turn, those only they used) that nothing
// else uses. `removed`: paths already removed or replaced (uses inside them count as gone).
export function sweepUnused(seeds, removed) {
    const gone = (ref) => [...removed].some((r) => isWithin(ref, r));
    const queue = new Set(seeds);
    let count = 0;
    for (let grew = true; grew;) {
        grew = false;
        for (const b of queue) {
            if (b.kind === "param" || b.kind === "module") { queue.delete(b); continue; }
            const defs = definitions(b, gone);
            if (!defs) { queue.delete(b); continue; }
            const self = defs[0];
            const used = b.referencePaths.some((ref) => !gone(ref) && !isWithin(ref, self) &&
                !defs.some((d) => isWithin(ref, d)));
            if (used) continue;
            queue.delete(b);
            const more = new Set();
            for (const d of defs) {
                if (d.removed || gone(d)) continue;
                bindingsUsedIn(d, more);
                removed.add(d);
                d.remove();
            }
            more.delete(b);
            for (const m of more) queue.add(m);
            ++count;
            grew = true;
        }
    }
    return count;
}
