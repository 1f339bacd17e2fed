// A flattened function inside another flattened one: js-confuser gives it its state array
// as the first argument, kept in a member of the scope object (`[scope.G.s, …] = args;
// while (sum(scope.G.s) !== END) switch …`), and calls it through a wrapper held by
// another scope member (`scope.Z.f = function (...a) { return main_4(obj, rt, a); }`,
// `(1, scope.Z.f)([…states], x)`). Its members have names of their own, so every call is
// found by that name. When all of them pass the same states, the loop is rebuilt in place
// (the calls pass `undefined` where the array was); other shapes stay flattened.
import { t, traverse } from "../babel.js";
import { Unknown, locKey } from "./confuserStateWalk.js";
import { structure } from "./confuserStructure.js";
import { tidy } from "./confuserTidy.js";
import { emitter, countStatements, labelMaker, isLexical, usesArguments } from "./confuserRebuild.js";

const maxGrowth = 3;

const keyName = (member) => (!member.computed && member.property.type === "Identifier" ? member.property.name
    : member.computed && member.property.type === "StringLiteral" ? member.property.value : null);

// The wrapper's member name for a reference to the machine's function, or null.
function wrapperOf(ref, fn, argAt) {
    const call = ref.parentPath;
    if (!call.isCallExpression() || call.node.callee !== ref.node || !call.parentPath.isReturnStatement()) return null;
    const w = call.parentPath.parentPath.parentPath;
    if (!w || !w.isFunctionExpression() || w.node.body.body.length !== 1 || w.node.params.length !== 1 ||
        w.node.params[0].type !== "RestElement" || w.node.params[0].argument.type !== "Identifier") return null;
    const rest = w.node.params[0].argument.name, a = call.node.arguments;
    if (a.length !== fn.node.params.length || a.some((x) => x.type === "SpreadElement") ||
        a[argAt].type !== "Identifier" || a[argAt].name !== rest) return null;
    const as = w.parentPath;
    if (!as.isAssignmentExpression() || as.node.operator !== "=" || as.node.right !== w.node ||
        as.node.left.type !== "MemberExpression") return null;
    return keyName(as.node.left);
}

// Whether the array node uses only what the program's top level defines.
function topLevelOnly(argPath) {
    let local = false;
    argPath.traverse({
        Identifier(p) {
            if (!p.isReferencedIdentifier()) return;
            const b = p.scope.getBinding(p.node.name);
            if (b && !b.scope.path.isProgram()) local = true;
        },
        Function() { local = true; },
    });
    return !local;
}

// Sets m.entries (the state arrays of every call) and m.nested when the machine has the
// shape above and every call is known; returns whether it does.
export function nestedEntries(m, ast) {
    const parts = m.name.split(".");
    if (parts.length < 2) return false;
    const fn = m.whilePath.getFunctionParent();
    if (!fn || !fn.isFunctionDeclaration() || fn.node.async || fn.node.generator) return false;
    const body = fn.node.body.body;
    if (body.length < 2 || body[1] !== m.whilePath.node || body[0].type !== "ExpressionStatement") return false;
    const first = body[0].expression;
    if (first.type !== "AssignmentExpression" || first.operator !== "=" || first.left.type !== "ArrayPattern") return false;
    const head = first.left.elements[0];
    if (!head || head.type !== "MemberExpression" || locKey(head) !== m.name || first.right.type !== "Identifier") return false;
    const argAt = fn.node.params.findIndex((p) => p.type === "Identifier" && p.name === first.right.name);
    const argBinding = argAt >= 0 && fn.scope.getBinding(first.right.name);
    if (!argBinding || argBinding.constantViolations.length || argBinding.referencePaths.length !== 1) return false;
    const fnBinding = fn.parentPath.scope.getBinding(fn.node.id.name);
    if (!fnBinding || fnBinding.constantViolations.length || !fnBinding.referencePaths.length) return false;
    const wrappers = new Set();
    for (const ref of fnBinding.referencePaths) {
        const name = wrapperOf(ref, fn, argAt);
        if (!name) return false;
        wrappers.add(name);
    }
    const prop = parts[parts.length - 1];
    if (wrappers.has(prop)) return false;
    // Every use of the two names, all over the program.
    let ok = true;
    const calls = [];
    traverse(ast, {
        "Identifier|StringLiteral"(p) {
            const n = p.node.type === "Identifier" ? p.node.name : p.node.value;
            if (n === prop) {
                if (!p.findParent((q) => q.node === m.whilePath.node || q.node === head)) ok = false;
                return;
            }
            if (!wrappers.has(n)) return;
            const member = p.parentPath;
            if (!member.isMemberExpression() || member.node.property !== p.node) { ok = false; return; }
            if (member.parentPath.isAssignmentExpression() && member.parentPath.node.left === member.node &&
                member.parentPath.get("right").isFunctionExpression()) return; // the wrapper itself
            let callee = member;
            if (callee.parentPath.isSequenceExpression() && callee.parentPath.node.expressions.length === 2 &&
                callee.parentPath.node.expressions[1] === member.node && callee.parentPath.node.expressions[0].type === "NumericLiteral")
                callee = callee.parentPath;
            const call = callee.parentPath;
            if (!call.isCallExpression() || call.node.callee !== callee.node || !call.node.arguments.length ||
                call.node.arguments[0].type !== "ArrayExpression" || !topLevelOnly(call.get("arguments.0"))) {
                ok = false;
                return;
            }
            calls.push(call);
        },
    });
    if (!ok || !calls.length) return false;
    m.entries = calls.map((c) => c.node.arguments[0]);
    m.nested = { fn, head: first.left, calls };
    return true;
}

// Whether the state array is still read in the rebuilt code (outside nested functions).
function stillRead(node, name) {
    let found = false;
    const walk = (n) => {
        if (found || !n || typeof n.type !== "string" || /Function|Method/.test(n.type)) return;
        if (n.type === "MemberExpression" && locKey(n) === name) { found = true; return; }
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach(walk); else walk(v);
        }
    };
    walk(node);
    return found;
}

// The machine's own ends (not the program's returns) become breaks to `label`.
function exitsTo(list, label) {
    const walk = (n) => {
        if (!n || typeof n.type !== "string" || /Function|Method/.test(n.type)) return;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach((c, i) => { if (c && c.vexoExit) v[i] = t.breakStatement(t.identifier(label)); else walk(c); });
            else if (v && v.vexoExit) n[k] = t.breakStatement(t.identifier(label));
            else walk(v);
        }
    };
    walk(t.blockStatement(list));
}

// Rebuilds the loop in place; a reason when it stays.
export function rebuildNested(m, vectors) {
    if (!vectors || vectors.length !== m.entries.length) return "入口状态未知";
    const key = vectors[0].join(",");
    if (!vectors.every((v) => v.join(",") === key)) return "各处调用的入口状态不同";
    if (m.sw.cases.some((c) => c.consequent.some(isLexical))) return "分支里有块级声明";
    const { fn, head, calls } = m.nested;
    // The calls will pass `undefined` for the array: nothing may see it through `arguments`.
    if (usesArguments(fn)) return "函数用到 arguments";
    const budget = maxGrowth * countStatements(m.sw.cases.flatMap((c) => c.consequent)) + 200;
    let body;
    try {
        const g = emitter(m, budget).graph(vectors[0]);
        const labels = labelMaker(fn);
        body = g ? structure(g.nodes, g.entry, labels) : [];
        // With code after the loop, leaving the machine goes on to it.
        const rest = fn.node.body.body.length > 2;
        if (rest) {
            const label = labels.next("part");
            exitsTo(body, label);
            body = [Object.assign(t.labeledStatement(t.identifier(label), t.blockStatement(body)), { vexoLabel: true })];
        }
        body = tidy(body, !rest);
        if (stillRead(t.blockStatement(body), m.name)) throw new Unknown();
    } catch (err) {
        if (err instanceof Unknown) return "状态无法全部跟随或结构无法还原";
        throw err;
    }
    fn.node.body.body.splice(1, 1, ...body);
    head.elements[0] = null;
    for (const c of calls) c.node.arguments[0] = t.identifier("undefined");
    return "";
}
