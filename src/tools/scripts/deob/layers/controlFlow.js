// Flattened control flow: `var o = "3|1|0|2".split("|"), i = 0; while (true) { switch
// (o[i++]) { case "0": ...; continue; ... } break; }` becomes its statements in order.
import { t, traverse, freshScopes } from "../babel.js";
import { constantTruth } from "../constant.js";
import { forEachChild } from "../subst.js";

function splitOrder(init) {
    if (!init || init.type !== "CallExpression" || init.arguments.length !== 1) return null;
    const c = init.callee;
    if (c.type !== "MemberExpression" || c.object.type !== "StringLiteral") return null;
    const name = c.computed ? c.property.type === "StringLiteral" && c.property.value : c.property.name;
    if (name !== "split" || init.arguments[0].type !== "StringLiteral") return null;
    return c.object.value.split(init.arguments[0].value);
}

// A case may leave only through its last statement (continue, return or throw).
function jumpsOut(statements) {
    let bad = false;
    const walk = (node, loopDepth) => {
        if (!node || typeof node.type !== "string" || bad) return;
        if (t.isFunction(node)) return;
        if ((node.type === "BreakStatement" || node.type === "ContinueStatement")) {
            if (node.label || loopDepth === 0) bad = true;
            return;
        }
        if (node.type === "LabeledStatement") { bad = true; return; }
        const nested = t.isLoop(node) || node.type === "SwitchStatement" ? 1 : 0;
        forEachChild(node, (c) => walk(c, loopDepth + nested));
    };
    statements.forEach((s) => walk(s, 0));
    return bad;
}

function unflatten(loop, scope) {
    const body = loop.node.body;
    if (body.type !== "BlockStatement" || body.body.length !== 2) return null;
    const [sw, brk] = body.body;
    if (sw.type !== "SwitchStatement" || brk.type !== "BreakStatement" || brk.label) return null;
    const d = sw.discriminant;
    if (d.type !== "MemberExpression" || !d.computed || d.object.type !== "Identifier" ||
        d.property.type !== "UpdateExpression" || d.property.operator !== "++" || d.property.prefix ||
        d.property.argument.type !== "Identifier") return null;
    const orderBinding = scope.getBinding(d.object.name);
    const counterBinding = scope.getBinding(d.property.argument.name);
    if (!orderBinding || !counterBinding || !orderBinding.path.isVariableDeclarator() ||
        !counterBinding.path.isVariableDeclarator()) return null;
    if (orderBinding.references !== 1 || counterBinding.references > 1 ||
        orderBinding.constantViolations.length || counterBinding.constantViolations.length > 1) return null;
    const order = splitOrder(orderBinding.path.node.init);
    const start = counterBinding.path.node.init;
    if (!order || !start || start.type !== "NumericLiteral" || start.value !== 0) return null;
    const cases = new Map();
    for (const c of sw.cases) {
        if (!c.test || c.test.type !== "StringLiteral") return null;
        cases.set(c.test.value, c.consequent);
    }
    const out = [];
    for (const key of order) {
        const stmts = cases.get(key);
        if (!stmts) return null;
        const list = stmts.slice();
        const last = list[list.length - 1];
        let ends = false;
        if (last && last.type === "ContinueStatement" && !last.label) list.pop();
        else if (last && (last.type === "ReturnStatement" || last.type === "ThrowStatement")) ends = true;
        else return null;
        if (jumpsOut(ends ? list.slice(0, -1) : list)) return null;
        out.push(...list);
        if (ends) break;
    }
    return { statements: out, orderBinding, counterBinding };
}

function removeDeclarator(binding) {
    if (!binding.path.removed) binding.path.remove();
}

export const controlFlow = {
    name: "控制流平坦化",
    detect: (code) => /\bswitch\b/.test(code),
    run(ast) {
        freshScopes();
        let changed = false;
        traverse(ast, {
            "WhileStatement|ForStatement"(path) {
                const n = path.node;
                const endless = n.type === "ForStatement" ? !n.test || (constantTruth(n.test, path) || {}).value
                    : (constantTruth(n.test, path) || {}).value;
                if (!endless || (n.type === "ForStatement" && (n.init || n.update))) return;
                if (!path.parentPath.isBlockStatement() && !path.parentPath.isProgram()) return;
                const r = unflatten(path, path.scope);
                if (!r) return;
                const lexical = r.statements.some((s) => s.type === "VariableDeclaration" && s.kind !== "var" ||
                    s.type === "ClassDeclaration");
                if (lexical) path.replaceWith(t.blockStatement(r.statements));
                else path.replaceWithMultiple(r.statements);
                removeDeclarator(r.orderBinding);
                removeDeclarator(r.counterBinding);
                changed = true;
            },
        });
        return changed;
    },
};
