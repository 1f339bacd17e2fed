// Guards an obfuscator adds against reading the code: a self-check of the code's own
// text (which loops forever once the code is laid out) is removed, and a debugger trap is
// made harmless (its function returns an empty function and does nothing else).
import { t, traverse } from "../babel.js";
import { forEachChild } from "../subst.js";

function hasString(node, test) {
    let found = false;
    const walk = (n) => {
        if (!n || typeof n.type !== "string" || found) return;
        if (n.type === "StringLiteral" && test(n.value)) { found = true; return; }
        forEachChild(n, walk);
    };
    walk(node);
    return found;
}

const selfCheck = (s) => s === "(((.+)+)+)+$";
const debuggerTrap = (s) => s === "debugger" || s === "while (true) {}";

function isEmptyFunctionReturn(fn) {
    const b = fn.body.body;
    return b.length === 1 && b[0].type === "ReturnStatement" && b[0].argument &&
        b[0].argument.type === "FunctionExpression" && b[0].argument.body.body.length === 0;
}

export const guards = {
    name: "自我保护与调试陷阱",
    run(ast) {
        traverse.cache.clear();
        let changed = false;
        traverse(ast, {
            VariableDeclarator(path) {
                // var check = guard(this, function () { return check.toString().search("(((.+)+)+)+$")... });
                const { id, init } = path.node;
                if (id.type !== "Identifier" || !init || init.type !== "CallExpression" ||
                    init.arguments.length !== 2 || !t.isFunction(init.arguments[1]) ||
                    !hasString(init.arguments[1], selfCheck)) return;
                const binding = path.scope.getBinding(id.name);
                if (!binding) return;
                const calls = [];
                for (const ref of binding.referencePaths) {
                    if (ref.findParent((p) => p.node === path.node)) continue;
                    if (!ref.parentPath.isCallExpression({ callee: ref.node }) ||
                        !ref.parentPath.parentPath.isExpressionStatement()) return;
                    calls.push(ref.parentPath.parentPath);
                }
                calls.forEach((c) => c.remove());
                path.remove();
                changed = true;
            },
            Function(path) {
                const node = path.node;
                if (node.body.type !== "BlockStatement" || isEmptyFunctionReturn(node)) return;
                if (!hasString(node.body, debuggerTrap)) return;
                // Only the trap itself: it hands "debugger" or an endless loop to a constructor.
                let viaConstructor = false;
                path.traverse({
                    MemberExpression(m) {
                        const p = m.node.property;
                        if ((p.type === "Identifier" && !m.node.computed && p.name === "constructor") ||
                            (p.type === "StringLiteral" && p.value === "constructor")) viaConstructor = true;
                    },
                });
                if (!viaConstructor) return;
                node.body.body = [t.returnStatement(t.functionExpression(null, [], t.blockStatement([])))];
                changed = true;
                path.skip();
            },
        });
        return changed;
    },
};
