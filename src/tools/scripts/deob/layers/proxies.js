// Proxy objects ({ xYz: function (a, b) { return a + b; }, AbC: "str" }) and proxy
// functions: every use is replaced by what the proxy stands for, and proxies nothing uses
// any more are removed.
import { t, traverse, freshScopes } from "../babel.js";
import { substitute, namesRead, containsFunction, memberKey, propertyKey } from "../subst.js";
import { isObfuscatedName } from "../constant.js";

// The expression a proxy function returns, when that is all it does with its parameters.
function proxyBody(fn) {
    if (fn.async || fn.generator || !fn.params.every((p) => p.type === "Identifier")) return null;
    let expr;
    if (fn.body.type !== "BlockStatement") expr = fn.body;
    else if (fn.body.body.length === 1 && fn.body.body[0].type === "ReturnStatement" && fn.body.body[0].argument)
        expr = fn.body.body[0].argument;
    else return null;
    if (containsFunction(expr)) return null;
    const params = fn.params.map((p) => p.name);
    const read = namesRead(expr).filter((n) => params.includes(n));
    // Each parameter read once, in order: the arguments are then evaluated as before.
    const inOrder = read.length === params.length && read.every((n, i) => n === params[i]);
    const others = namesRead(expr).filter((n) => !params.includes(n));
    return { params, expr, inOrder, others };
}

function isPure(node) {
    return t.isLiteral(node) && node.type !== "TemplateLiteral" || node.type === "Identifier" ||
        node.type === "ThisExpression";
}

// The inlined form of a call, or null.
function inlineCall(proxy, args) {
    if (args.some((a) => a.type === "SpreadElement")) return null;
    if (!proxy.inOrder && !args.every(isPure)) return null;
    if (args.length < proxy.params.length && !proxy.inOrder) return null;
    const map = {};
    proxy.params.forEach((p, i) => { map[p] = args[i] || t.identifier("undefined"); });
    if (args.length > proxy.params.length && !args.slice(proxy.params.length).every(isPure)) return null;
    return substitute(proxy.expr, map);
}

// Whether a path still leads up to the program: paths inside code that an earlier
// replacement copied elsewhere point at nodes no longer in the tree.
function attached(path) {
    for (let p = path; p.parentPath; p = p.parentPath) {
        if (!p.container || p.container[p.key] !== p.node) return false;
        // A replaced ancestor's path shows its new node, whose children are copies.
        const parent = p.parentPath.node;
        if ((p.listKey ? parent[p.listKey] : parent) !== p.container) return false;
    }
    return true;
}

// The members of a proxy object, or null when the object is anything else.
function proxyMembers(init) {
    const members = new Map();
    for (const prop of init.properties) {
        if (prop.type !== "ObjectProperty") return null;
        const key = propertyKey(prop);
        if (key === null) return null;
        const v = prop.value;
        if (v.type === "StringLiteral" || v.type === "NumericLiteral" || v.type === "BooleanLiteral") {
            members.set(key, { literal: v });
        } else if (v.type === "FunctionExpression" || v.type === "ArrowFunctionExpression") {
            const body = proxyBody(v);
            if (!body) return null;
            members.set(key, { fn: body });
        } else {
            return null;
        }
    }
    return members;
}

// The names a proxy's body reads must still mean the same at the call site.
function sameMeaning(proxy, declScope, usePath) {
    return proxy.others.every((n) => declScope.getBinding(n) === usePath.scope.getBinding(n));
}

export const proxies = {
    name: "代理函数与代理对象",
    run(ast) {
        freshScopes();
        let changed = false;
        // Names that inlined copies now read: their scope data is stale for this pass, so
        // a proxy of that name stays until the next round has looked again.
        const copied = new Set();
        // Uses below code that this pass replaced are stale (their nodes were copied
        // elsewhere): they wait for the next round.
        const stale = (p) => !attached(p);
        const inline = (proxy, args) => {
            const out = inlineCall(proxy, args);
            if (out) proxy.others.forEach((n) => copied.add(n));
            return out;
        };
        traverse(ast, {
            VariableDeclarator(path) {
                const { id, init } = path.node;
                if (id.type !== "Identifier" || !init || init.type !== "ObjectExpression" ||
                    init.properties.length === 0) return;
                const members = proxyMembers(init);
                if (!members) return;
                const binding = path.scope.getBinding(id.name);
                if (!binding || binding.constantViolations.length) return;
                // Every use must read a known member.
                const uses = [];
                for (const ref of binding.referencePaths) {
                    const m = ref.parentPath;
                    if (!m.isMemberExpression() || m.node.object !== ref.node) return;
                    const key = memberKey(m.node);
                    if (key === null || !members.has(key)) return;
                    if (m.parentPath.isAssignmentExpression({ left: m.node }) || m.parentPath.isUpdateExpression() ||
                        m.parentPath.isUnaryExpression({ operator: "delete" })) return;
                    uses.push({ m, member: members.get(key) });
                }
                let left = uses.length;
                // Inner uses first: an outer call's inlined copy then carries them already done.
                for (const { m, member } of uses.reverse()) {
                    if (stale(m)) continue;
                    if (member.literal) {
                        m.replaceWith(t.cloneNode(member.literal));
                        --left;
                        changed = true;
                        continue;
                    }
                    if (!m.parentPath.isCallExpression({ callee: m.node })) continue;
                    if (!sameMeaning(member.fn, path.scope, m)) continue;
                    const inlined = inline(member.fn, m.parent.arguments);
                    if (!inlined) continue;
                    m.parentPath.replaceWith(inlined);
                    --left;
                    changed = true;
                }
                // One nothing reads at all goes too when the obfuscator made it (its name)
                // inside a function: a top-level one may still be read as a global.
                const orphan = uses.length === 0 && isObfuscatedName(id.name) &&
                    !binding.scope.path.isProgram();
                if (left === 0 && (uses.length > 0 || orphan) && !copied.has(id.name)) {
                    path.remove();
                    changed = true;
                }
            },
            FunctionDeclaration(path) {
                // Proxy functions the obfuscator made (its names): f(a, b) { return a + b; }
                const id = path.node.id;
                if (!id || !isObfuscatedName(id.name)) return;
                const body = proxyBody(path.node);
                if (!body) return;
                const binding = path.parentPath.scope.getBinding(id.name);
                if (!binding || binding.constantViolations.length) return;
                let left = binding.referencePaths.length;
                for (const ref of binding.referencePaths.slice().reverse()) {
                    if (!ref.parentPath.isCallExpression({ callee: ref.node })) continue;
                    if (ref.findParent((p) => p.node === path.node) || stale(ref)) continue;
                    if (!body.others.every((n) => path.parentPath.scope.getBinding(n) === ref.scope.getBinding(n))) continue;
                    const inlined = inline(body, ref.parent.arguments);
                    if (!inlined) continue;
                    ref.parentPath.replaceWith(inlined);
                    --left;
                    changed = true;
                }
                if (left === 0 && binding.referencePaths.length > 0 && !copied.has(id.name)) {
                    path.remove();
                    changed = true;
                }
            },
        });
        return changed;
    },
};
