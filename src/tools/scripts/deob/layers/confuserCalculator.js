// Operators behind a function: `calc("k1", a, b)` with `function calc(op, x, y) { switch
// (op) { case "k1": return x + y; case "k2": return -x; … } }`. Each call becomes its
// operator; the function goes once nothing calls it.
import { t, traverse, freshScopes } from "../babel.js";
import { constantValue } from "../constant.js";
import { sweepUnused } from "./confuserCleanup.js";

// { key → { operator, unary } } of a calculator function, or null.
function operators(fn) {
    if (fn.params.length < 2 || fn.params.length > 3 || !fn.params.every((p) => p.type === "Identifier")) return null;
    const [op, x, y] = fn.params.map((p) => p.name);
    const body = fn.body.body;
    if (body.length !== 1 || body[0].type !== "SwitchStatement") return null;
    const sw = body[0];
    if (sw.discriminant.type !== "Identifier" || sw.discriminant.name !== op) return null;
    const map = new Map();
    const is = (n, name) => n.type === "Identifier" && n.name === name;
    for (const c of sw.cases) {
        if (!c.test || c.test.type !== "StringLiteral" || c.consequent.length !== 1) return null;
        const r = c.consequent[0];
        if (r.type !== "ReturnStatement" || !r.argument) return null;
        const e = r.argument;
        if ((e.type === "BinaryExpression" || e.type === "LogicalExpression") && is(e.left, x) && y && is(e.right, y))
            map.set(c.test.value, { type: e.type, operator: e.operator });
        else if (e.type === "UnaryExpression" && is(e.argument, x) && e.operator !== "delete")
            map.set(c.test.value, { type: e.type, operator: e.operator });
        else return null;
    }
    return map.size ? map : null;
}

function inlineOperators(ast) {
    let changed = false;
    traverse(ast, {
        FunctionDeclaration(path) {
            const map = operators(path.node);
            if (!map) return;
            const binding = path.parentPath.scope.getBinding(path.node.id.name);
            if (!binding || binding.constantViolations.length) return;
            const removed = new Set();
            for (const ref of binding.referencePaths) {
                const call = ref.parentPath;
                if (!call.isCallExpression() || call.node.callee !== ref.node) continue;
                const args = call.node.arguments;
                if (!args.length || args.some((a) => a.type === "SpreadElement")) continue;
                const key = constantValue(args[0], call);
                const op = key && map.get(key.value);
                if (!op) continue;
                const a = args[1] || t.identifier("undefined");
                let out;
                if (op.type === "UnaryExpression") {
                    if (args.length > 2) continue;
                    out = t.unaryExpression(op.operator, a);
                } else {
                    if (args.length > 3) continue;
                    const b = args[2] || t.identifier("undefined");
                    out = op.type === "LogicalExpression" ? t.logicalExpression(op.operator, a, b)
                        : t.binaryExpression(op.operator, a, b);
                }
                call.replaceWith(out);
                removed.add(call);
                changed = true;
            }
            if (removed.size) sweepUnused(new Set([binding]), removed);
        },
    });
    return changed;
}

export const calculator = {
    name: "运算符函数",
    detect: (code) => /\bswitch\b/.test(code),
    run(ast) {
        freshScopes();
        return inlineOperators(ast);
    },
};
