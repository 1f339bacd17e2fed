// Guards an obfuscator adds against reading the code: a self-check of the code's own
// text (which loops forever once the code is laid out) and the switch that silences the
// console are removed; a debugger trap is made harmless (its function returns an empty
// function and does nothing else), and goes with what starts it once that is recognised.
import { t, traverse, freshScopes } from "../babel.js";
import { forEachChild } from "../subst.js";
import { isObfuscatedName } from "../constant.js";

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

// The obfuscator's call controller: an immediately called function that keeps a flag
// and returns a function; building it runs nothing else, so an unused one can go.
function isCallController(binding) {
    const p = binding.path;
    if (!p.isVariableDeclarator() || binding.constantViolations.length) return false;
    const init = p.node.init;
    if (!init || init.type !== "CallExpression" || init.arguments.length !== 0 ||
        init.callee.type !== "FunctionExpression") return false;
    const body = init.callee.body.body;
    const last = body[body.length - 1];
    return body.length >= 2 && last.type === "ReturnStatement" && last.argument &&
        last.argument.type === "FunctionExpression" &&
        body.slice(0, -1).every((s) => s.type === "VariableDeclaration" &&
            s.declarations.every((d) => !d.init || d.init.type === "BooleanLiteral" ||
                d.init.type === "NumericLiteral"));
}

// controller(this, function () { … })  with a callback that holds `marker`: the name of
// the controller, or null.
function guardedCall(node, marker) {
    if (!node || node.type !== "CallExpression" || node.callee.type !== "Identifier" ||
        node.arguments.length !== 2 || node.arguments[0].type !== "ThisExpression" ||
        !t.isFunction(node.arguments[1]) || !hasString(node.arguments[1], marker)) return null;
    return node.callee.name;
}

const debugStarter = (s) => s === "function *\\( *\\)";
const consoleMethods = new Set(["log", "warn", "info", "error", "exception", "table", "trace"]);

export const guards = {
    name: "自我保护与调试陷阱",
    // Every guard carries its trigger as a plain string literal by now.
    detect: (code) => code.includes("(((.+)+)+)+$") || code.includes("debugger") ||
        code.includes("while (true) {}") || code.includes("function *") ||
        code.includes("exception") || code.includes("setInterval") || code.includes(", arguments)"),
    run(ast) {
        freshScopes();
        let changed = false;
        const removed = [];
        const remove = (path) => {
            removed.push(path);
            path.remove();
            changed = true;
        };
        // Controllers and traps whose users went: looked at once the pass is over.
        const maybeUnused = [];
        const noteController = (path, name) => {
            const b = path.scope.getBinding(name);
            if (b) maybeUnused.push(b);
        };
        traverse(ast, {
            VariableDeclarator(path) {
                // var check = guard(this, function () { return check.toString().search("(((.+)+)+)+$")... });
                // var off = guard(this, function () { … console methods … }); off();
                const { id, init } = path.node;
                if (id.type === "Identifier" && isObfuscatedName(id.name)) {
                    // A controller whose guards went in an earlier round.
                    const own = path.scope.getBinding(id.name);
                    if (own && own.path === path && own.referencePaths.length === 0 && isCallController(own)) {
                        remove(path);
                        return;
                    }
                }
                if (id.type !== "Identifier" || !init || init.type !== "CallExpression" ||
                    init.arguments.length !== 2 || !t.isFunction(init.arguments[1])) return;
                const callback = init.arguments[1];
                const consoleOff = init.arguments[0].type === "ThisExpression" &&
                    [...consoleMethods].every((m) => hasString(callback, (s) => s === m));
                if (!consoleOff && !hasString(callback, selfCheck)) return;
                const binding = path.scope.getBinding(id.name);
                if (!binding || binding.constantViolations.length) return;
                const calls = [];
                for (const ref of binding.referencePaths) {
                    if (ref.findParent((p) => p.node === path.node)) continue;
                    if (!ref.parentPath.isCallExpression({ callee: ref.node }) ||
                        !ref.parentPath.parentPath.isExpressionStatement()) return;
                    calls.push(ref.parentPath.parentPath);
                }
                calls.forEach(remove);
                if (init.callee.type === "Identifier") noteController(path, init.callee.name);
                remove(path);
            },
            ExpressionStatement(path) {
                // (function () { guard(this, function () { …"function *\( *\)"… })(); })();
                const e = path.node.expression;
                if (e.type !== "CallExpression" || e.arguments.length !== 0) return;
                const controller = guardedCall(e.callee, debugStarter);
                if (!controller) return;
                noteController(path, controller);
                const fn = path.getFunctionParent();
                const outer = fn && fn.isFunctionExpression() && fn.node.body.body.length === 1 &&
                    fn.parentPath.isCallExpression({ callee: fn.node }) && fn.parent.arguments.length === 0 &&
                    fn.parentPath.parentPath.isExpressionStatement() ? fn.parentPath.parentPath : null;
                remove(outer || path);
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
        // What served only the guards just removed goes with them: call controllers, and
        // made-harmless traps (also the interval that kept calling one).
        const gone = (ref) => removed.some((r) => ref === r || ref.isDescendant(r));
        const unused = (b) => !b.constantViolations.length && b.referencePaths.every(gone);
        for (const b of maybeUnused) {
            if (b.path.removed || !isCallController(b) || !unused(b)) continue;
            if (b.scope.path.isProgram() && !isObfuscatedName(b.identifier.name)) continue;
            remove(b.path);
        }
        traverse(ast, {
            FunctionDeclaration(path) {
                if (!isEmptyFunctionReturn(path.node) || !isObfuscatedName(path.node.id.name)) return;
                const b = path.parentPath.scope.getBinding(path.node.id.name);
                if (!b || b.constantViolations.length) return;
                for (const ref of b.referencePaths) {
                    if (gone(ref)) continue;
                    // setInterval(function () { trap(); }, 4000)
                    const interval = ref.parentPath.parentPath && ref.parentPath.parentPath.parentPath &&
                        ref.parentPath.parentPath.parentPath.parentPath;
                    const call = interval && interval.isFunctionExpression() && interval.parentPath;
                    if (!ref.parentPath.isCallExpression({ callee: ref.node }) || !call ||
                        !call.isCallExpression() || call.node.callee.type !== "Identifier" ||
                        call.node.callee.name !== "setInterval" || call.scope.hasBinding("setInterval", true) ||
                        call.node.arguments[0] !== interval.node || interval.node.body.body.length !== 1 ||
                        !call.parentPath.isExpressionStatement()) return;
                    remove(call.parentPath);
                }
                remove(path);
            },
        });
        return changed;
    },
};
