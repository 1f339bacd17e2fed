// Concealed globals: `get("k3")(x)` where `function get(m) { switch (m) { case "k3": return
// g["log"]; … } }` and g is the global object (found by a function that tries
// `globalThis`, `window`, … in turn). Each call becomes the global's plain name where
// nothing in scope hides it; the switch function, and the global-object lookup once
// nothing else uses it, go.
import { t, traverse, freshScopes } from "../babel.js";
import { constantValue, isPlainName } from "../constant.js";
import { memberKey } from "../subst.js";
import { findsGlobalObject, sweepUnused } from "./confuserCleanup.js";

function functionOf(binding) {
    const p = binding.path;
    if (p.isFunctionDeclaration()) return p;
    if (p.isVariableDeclarator() && p.node.init && p.node.init.type === "FunctionExpression") return p.get("init");
    return null;
}

// A binding that holds the global object: `var g = find()` or `var g = find() || {}`.
function isGlobalObject(binding, scope) {
    if (!binding || binding.constantViolations.length > 1) return false;
    let init = binding.path.isVariableDeclarator() ? binding.path.node.init : null;
    if (!init && binding.constantViolations.length === 1 && binding.constantViolations[0].isAssignmentExpression())
        init = binding.constantViolations[0].node.right;
    else if (binding.constantViolations.length) return false;
    if (init && init.type === "LogicalExpression" && init.operator === "||") init = init.left;
    if (!init || init.type !== "CallExpression" || init.callee.type !== "Identifier" || init.arguments.length) return false;
    const fb = scope.getBinding(init.callee.name);
    const fn = fb && functionOf(fb);
    return !!fn && findsGlobalObject(fn);
}

// The switch function: { key → global name }.
function switchMap(fnPath) {
    const fn = fnPath.node;
    if (fn.params.length !== 1 || fn.params[0].type !== "Identifier") return null;
    const body = fn.body.body;
    if (body.length !== 1 || body[0].type !== "SwitchStatement") return null;
    const sw = body[0];
    if (sw.discriminant.type !== "Identifier" || sw.discriminant.name !== fn.params[0].name) return null;
    const map = new Map();
    let holder = null;
    for (const c of sw.cases) {
        if (!c.test || c.test.type !== "StringLiteral" || c.consequent.length !== 1) return null;
        const r = c.consequent[0];
        if (r.type !== "ReturnStatement" || !r.argument || r.argument.type !== "MemberExpression") return null;
        const m = r.argument;
        const key = memberKey(m);
        if (m.object.type !== "Identifier" || key === null) return null;
        if (holder && holder !== m.object.name) return null;
        holder = m.object.name;
        map.set(c.test.value, key);
    }
    if (!holder) return null;
    const hb = fnPath.scope.getBinding(holder);
    if (!isGlobalObject(hb, fnPath.scope)) return null;
    return { map, holder: hb };
}

function revealGlobals(ast) {
    let changed = false;
    traverse(ast, {
        Function(path) {
            let binding = null;
            if (path.isFunctionDeclaration()) binding = path.parentPath.scope.getBinding(path.node.id.name);
            else if (path.parentPath.isVariableDeclarator() && path.parent.id.type === "Identifier")
                binding = path.parentPath.scope.getBinding(path.parent.id.name);
            if (!binding || binding.constantViolations.length) return;
            const shape = switchMap(path);
            if (!shape) return;
            let all = true;
            const removed = new Set();
            for (const ref of binding.referencePaths) {
                const call = ref.parentPath;
                const key = call.isCallExpression() && call.node.callee === ref.node && call.node.arguments.length === 1
                    ? constantValue(call.node.arguments[0], call) : null;
                const name = key && shape.map.get(key.value);
                if (!name || !isPlainName(name) || call.scope.hasBinding(name, true)) { all = false; continue; }
                call.replaceWith(t.identifier(name));
                removed.add(call);
                changed = true;
            }
            if (!all) return;
            const decl = path.isFunctionDeclaration() ? path : path.parentPath;
            decl.remove();
            removed.add(decl);
            sweepUnused(new Set([shape.holder]), removed);
        },
    });
    return changed;
}

export const concealedGlobals = {
    name: "全局变量隐藏",
    detect: (code) => /\bglobalThis\b/.test(code) && /\bswitch\b/.test(code),
    run(ast) {
        freshScopes();
        return revealGlobals(ast);
    },
};
