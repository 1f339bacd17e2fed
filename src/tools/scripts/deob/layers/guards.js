// Guards an obfuscator adds against reading the code: a self-check of the code's own
// text (which loops forever once the code is laid out) is removed, and a debugger trap is
// made harmless (its function returns an empty function and does nothing else).
import { t, traverse, freshScopes } from "../babel.js";
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

function isConstructorMember(c) {
    if (c.type !== "MemberExpression") return false;
    const p = c.property;
    return (!c.computed && p.type === "Identifier" && p.name === "constructor") ||
        (c.computed && p.type === "StringLiteral" && p.value === "constructor");
}

// How many nodes a subtree has, counting up to `cap`.
function nodeCount(node, cap) {
    let n = 0;
    const walk = (x) => {
        if (n >= cap) return;
        ++n;
        forEachChild(x, walk);
    };
    walk(node);
    return n;
}

function isEmptyFunctionReturn(fn) {
    if (fn.body.type !== "BlockStatement") return false;
    const b = fn.body.body;
    return b.length === 1 && b[0].type === "ReturnStatement" && b[0].argument &&
        b[0].argument.type === "FunctionExpression" && b[0].argument.body.body.length === 0;
}

export const guards = {
    name: "自我保护与调试陷阱",
    // Both guards carry their trigger as a plain string literal by now.
    detect: (code) => code.includes("(((.+)+)+)+$") || code.includes("debugger") ||
        code.includes("while (true) {}"),
    run(ast) {
        freshScopes();
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
            CallExpression(path) {
                // The trap hands "debugger" (or an endless loop) to a function's
                // constructor: x.constructor("debugger").
                const { callee, arguments: args } = path.node;
                if (!isConstructorMember(callee) || args.length !== 1 || args[0].type !== "StringLiteral" ||
                    !debuggerTrap(args[0].value)) return;
                let fn = path.getFunctionParent();
                if (!fn) return;
                // Its caller holds nothing but it and a try statement.
                const outer = fn.getFunctionParent();
                if (fn.isFunctionDeclaration() && outer && outer.node.body.type === "BlockStatement" &&
                    outer.node.body.body.every((st) => st === fn.node || st.type === "TryStatement"))
                    fn = outer;
                if (nodeCount(fn.node, 400) >= 400 || isEmptyFunctionReturn(fn.node)) return;
                fn.get("body").replaceWith(t.blockStatement([
                    t.returnStatement(t.functionExpression(null, [], t.blockStatement([])))]));
                changed = true;
            },
        });
        return changed;
    },
};
