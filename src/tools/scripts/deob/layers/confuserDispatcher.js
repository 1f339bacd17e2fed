// A dispatcher: the functions of a scope moved into one object inside a function that
// calls them by key. `function d(name, flag, kind) { var fns = { k1: function () { var
// [a, b] = payload; … } }; if (flag === "F1") payload = []; if (flag === "F2") { …cached
// function that sets payload… } else output = fns[name](); if (kind === "K") return
// { p: output }; return output; }`, called as `(payload = [1, 2], d("k1"))`,
// `d("k1", "F2", "K")["p"]` (the function itself) or `d("k1", "F1")` (no arguments).
// Each function becomes a declaration again and each call a plain call.
import {freshScopes, t, traverse} from "../babel.js";
import {constantValue} from "../constant.js";
import {memberKey, propertyKey} from "../subst.js";

import {sweepUnused} from "./confuserCleanup.js";

// A property's key, also written `["k"]`.
function keyOf(prop) {
    const k = propertyKey(prop);
    return k !== null                                           ? k
           : prop.computed && prop.key.type === "StringLiteral" ? prop.key.value
                                                                : null;
}

function flagTest(test, param) {
    if (test.type !== "BinaryExpression" || test.operator !== "===" ||
        test.left.type !== "Identifier" || test.left.name !== param ||
        test.right.type !== "StringLiteral")
        return null;
    return test.right.value;
}

function shapeOf(path) {
    const fn = path.node;
    if (fn.params.length < 3 || !fn.params.slice(0, 3).every((p) => p.type === "Identifier"))
        return null;
    const [name, flag, kind] = fn.params.map((p) => p.name);
    const shape =
        {fns : null, payload : null, clear : null, create : null, kind : null, prop : null};
    for (const s of path.get("body.body")) {
        const n = s.node;
        if (n.type === "VariableDeclaration") {
            for (const d of s.get("declarations")) {
                const init = d.node.init;
                if (init && init.type === "ObjectExpression")
                    shape.fns = d.get("init");
            }
        } else if (n.type === "ExpressionStatement" &&
                   n.expression.type === "AssignmentExpression" && n.expression.operator === "=" &&
                   n.expression.left.type === "Identifier" &&
                   n.expression.right.type === "ObjectExpression" &&
                   path.scope.getOwnBinding(n.expression.left.name)) {
            // The same object held by a parameter made a local (masked variables).
            shape.fns = s.get("expression.right");
        } else if (n.type === "IfStatement") {
            const f = flagTest(n.test, flag), k = flagTest(n.test, kind);
            const block =
                n.consequent.type === "BlockStatement" ? n.consequent.body : [ n.consequent ];
            if (f !== null && block.some((b) => b.type === "FunctionDeclaration"))
                shape.create = f;
            else if (f !== null && block.length === 1 && block[0].type === "ExpressionStatement") {
                const e = block[0].expression;
                if (e.type === "AssignmentExpression" && e.left.type === "Identifier" &&
                    e.right.type === "ArrayExpression" && !e.right.elements.length) {
                    shape.clear = f;
                    shape.payload = e.left.name;
                }
            } else if (k !== null && block.length === 1 && block[0].type === "ReturnStatement" &&
                       block[0].argument && block[0].argument.type === "ObjectExpression" &&
                       block[0].argument.properties.length === 1) {
                shape.kind = k;
                shape.prop = keyOf(block[0].argument.properties[0]);
            }
        }
    }
    if (!shape.fns || !shape.payload || shape.create === null)
        return null;
    // The functions: each opens with `var [params] = payload;` and uses nothing of the
    // dispatcher's own.
    const fns = new Map();
    for (const p of shape.fns.get("properties")) {
        const key = p.isObjectProperty() ? keyOf(p.node) : null;
        if (key === null || !p.get("value").isFunctionExpression())
            return null;
        const f = p.get("value");
        const body = f.node.body.body;
        let params = [];
        const first = body[0];
        if (first && first.type === "VariableDeclaration" && first.declarations.length === 1 &&
            first.declarations[0].id.type === "ArrayPattern" && first.declarations[0].init &&
            first.declarations[0].init.type === "Identifier" &&
            first.declarations[0].init.name === shape.payload) {
            params = first.declarations[0].id.elements;
            if (params.some((e) => !e))
                return null;
        }
        let bad = false;
        f.traverse({
            ThisExpression(q) {
                if (!q.findParent((r) =>
                                      r.isFunction() && !r.isArrowFunctionExpression() && r !== f))
                    bad = true;
            },
            Identifier(q) {
                if (!q.isReferencedIdentifier() && !q.parentPath.isAssignmentExpression())
                    return;
                if (q.node.name === "arguments")
                    bad = true;
                const b = q.scope.getBinding(q.node.name);
                if (b && b.scope === path.scope)
                    bad = true;
                if (q.node.name === shape.payload && q.parent !== first.declarations?.[0])
                    bad = true;
            },
        });
        if (bad)
            return null;
        fns.set(key, {params, body : params.length ? body.slice(1) : body, node : f.node});
    }
    return {...shape, fns, nameParam : name};
}

function undispatch(ast) {
    let changed = false;
    traverse(ast, {
        FunctionDeclaration(path) {
            const shape = shapeOf(path);
            if (!shape)
                return;
            const binding = path.parentPath.scope.getBinding(path.node.id.name);
            if (!binding || binding.constantViolations.length)
                return;
            const plans = [];
            for (const ref of binding.referencePaths) {
                if (ref.findParent((p) => p === path))
                    return;
                const call = ref.parentPath;
                // `new d(…)` gives the same object when the dispatcher returns one.
                const constructed = call.isNewExpression();
                if (!(call.isCallExpression() || constructed) || call.node.callee !== ref.node)
                    return;
                const [k, f, r] = call.node.arguments.map((a) => constantValue(a, call));
                if (constructed && !(r && r.value === shape.kind))
                    return;
                if (!k || !shape.fns.has(k.value) || call.node.arguments.length > 3)
                    return;
                let target = call;
                if (r && r.value === shape.kind) {
                    const m = call.parentPath;
                    if (!m.isMemberExpression() || m.node.object !== call.node ||
                        memberKey(m.node) !== shape.prop)
                        return;
                    target = m;
                } else if (r)
                    return;
                const mode = f && f.value === shape.create  ? "function"
                             : f && f.value === shape.clear ? "none"
                                                            : "payload";
                if (mode === "payload") {
                    // (payload = [args], call)
                    const seq = target.parentPath;
                    if (!seq.isSequenceExpression() || seq.node.expressions.length !== 2 ||
                        seq.node.expressions[1] !== target.node)
                        return;
                    const set = seq.node.expressions[0];
                    if (set.type !== "AssignmentExpression" || set.operator !== "=" ||
                        set.left.type !== "Identifier" || set.left.name !== shape.payload ||
                        set.right.type !== "ArrayExpression")
                        return;
                    plans.push({key : k.value, at : seq, args : set.right.elements});
                } else {
                    plans.push({key : k.value, at : target, args : mode === "none" ? [] : null});
                }
            }
            if (!plans.length)
                return;
            const names = new Map();
            const decls = [];
            for (const [key, f] of shape.fns) {
                const id = path.parentPath.scope.generateUidIdentifier("fn");
                names.set(key, id.name);
                decls.push(t.functionDeclaration(id, f.params, t.blockStatement(f.body),
                                                 f.node.generator, f.node.async));
            }
            const removed = new Set([ path ]);
            const used = new Set();
            path.traverse({
                Identifier(q) {
                    const b = q.scope.getBinding(q.node.name);
                    if (b && b.scope !== path.scope)
                        used.add(b);
                }
            });
            for (const p of plans) {
                const id = t.identifier(names.get(p.key));
                removed.add(p.at);
                p.at.replaceWith(
                    p.args ? t.callExpression(id, p.args.map((a) => a || t.identifier("undefined")))
                           : id);
            }
            path.replaceWithMultiple(decls);
            sweepUnused(used, removed);
            changed = true;
        },
    });
    return changed;
}

export const dispatcher = {
    name : "函数调度器",
    detect : (code) => /===/.test(code),
    run(ast) {
        freshScopes();
        return undispatch(ast);
    },
};
