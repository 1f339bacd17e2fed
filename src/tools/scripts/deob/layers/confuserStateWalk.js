// The pieces of a flattened machine's walk: where its state array is kept, the values of
// expressions built of numbers and state reads, the updates that move it from one state
// to the next, and the check that a statement of the program's own leaves the states alone.
import { t } from "../babel.js";

export class Unknown extends Error {}

// The state array's place as text: a name (`s`) or a chain of plain members
// (`scope.a.s`, where nested machines keep theirs); null for anything else.
export function locKey(node) {
    if (node.type === "Identifier") return node.name;
    if (node.type === "MemberExpression" && !node.computed && node.property.type === "Identifier") {
        const o = locKey(node.object);
        return o === null ? null : o + "." + node.property.name;
    }
    return null;
}

export function isStateRead(node, name) {
    return node.type === "MemberExpression" && node.computed && locKey(node.object) === name;
}

// Whether the expression mentions the state array at all (outside nested functions).
export function mentions(node, name) {
    let found = false;
    const walk = (n) => {
        if (found || !n || typeof n.type !== "string") return;
        if (n.type === "Identifier" || n.type === "MemberExpression") {
            if (locKey(n) === name) { found = true; return; }
            if (n.type === "Identifier") return;
        }
        if (/Function|Class/.test(n.type)) return;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach(walk); else walk(v);
        }
    };
    walk(node);
    return found;
}

// The value of an expression built of numbers and state reads, under the states `v`.
export function evaluate(node, name, v) {
    switch (node.type) {
    case "NumericLiteral": return node.value;
    case "BooleanLiteral": return node.value;
    case "ParenthesizedExpression": return evaluate(node.expression, name, v);
    case "MemberExpression": {
        if (!isStateRead(node, name)) throw new Unknown();
        const k = evaluate(node.property, name, v);
        if (!Number.isInteger(k) || k < 0 || k >= v.length) throw new Unknown();
        return v[k];
    }
    case "UnaryExpression": {
        const a = evaluate(node.argument, name, v);
        switch (node.operator) {
        case "-": return -a;
        case "+": return +a;
        case "!": return !a;
        case "~": return ~a;
        }
        throw new Unknown();
    }
    case "BinaryExpression": {
        const a = evaluate(node.left, name, v), b = evaluate(node.right, name, v);
        switch (node.operator) {
        case "+": return a + b;
        case "-": return a - b;
        case "*": return a * b;
        case "%": return a % b;
        case "|": return a | b;
        case "&": return a & b;
        case "^": return a ^ b;
        case "<<": return a << b;
        case ">>": return a >> b;
        case ">>>": return a >>> b;
        case "==": return a == b; // eslint-disable-line eqeqeq
        case "!=": return a != b; // eslint-disable-line eqeqeq
        case "===": return a === b;
        case "!==": return a !== b;
        case "<": return a < b;
        case ">": return a > b;
        case "<=": return a <= b;
        case ">=": return a >= b;
        }
        throw new Unknown();
    }
    case "LogicalExpression": {
        const a = evaluate(node.left, name, v);
        if (node.operator === "&&") return a && evaluate(node.right, name, v);
        if (node.operator === "||") return a || evaluate(node.right, name, v);
        throw new Unknown();
    }
    }
    throw new Unknown();
}

// `s[k] += expr` (also `-=`, `=`): { key, operator, value } nodes, or null.
function stateUpdate(node, name) {
    if (node.type !== "AssignmentExpression" || !isStateRead(node.left, name)) return null;
    if (!["=", "+=", "-="].includes(node.operator)) return null;
    return node;
}

export function updatesOf(stmt, name) {
    if (stmt.type !== "ExpressionStatement") return null;
    const list = stmt.expression.type === "SequenceExpression" ? stmt.expression.expressions : [stmt.expression];
    return list.every((e) => stateUpdate(e, name)) ? list : null;
}

export function applyUpdates(list, name, v) {
    const w = v.slice();
    for (const u of list) {
        const k = evaluate(u.left.property, name, w);
        if (!Number.isInteger(k) || k < 0 || k >= w.length) throw new Unknown();
        const x = evaluate(u.right, name, w);
        if (typeof x !== "number") throw new Unknown();
        w[k] = u.operator === "=" ? x : u.operator === "+=" ? w[k] + x : w[k] - x;
    }
    return w;
}

// Whether writing to `target` (a name, a member or a destructuring pattern) may change
// the array or where it is kept.
function touches(target, name) {
    if (!target) return false;
    switch (target.type) {
    case "Identifier":
    case "MemberExpression": {
        // The place written may hold the array (or be in it); the objects written through
        // on the way to it are only read.
        for (let n = target; n; n = n.type === "MemberExpression" ? n.object : null) {
            const k = locKey(n);
            if (k !== null && (k === name || k.startsWith(name + ".") || (n === target && name.startsWith(k + "."))))
                return true;
            if (n.type === "MemberExpression" && n.computed && locKey(n.object) === name) return true;
            if (n.type !== "MemberExpression") break;
        }
        return false;
    }
    case "ArrayPattern": return target.elements.some((e) => touches(e, name));
    case "ObjectPattern": return target.properties.some((p) => touches(p.type === "RestElement" ? p.argument : p.value, name));
    case "AssignmentPattern": return touches(target.left, name);
    case "RestElement": return touches(target.argument, name);
    }
    return false;
}

// A statement of the program's own that must leave the machine's states alone and hand
// control back only by falling off its end (or by leaving the function). Nested
// functions may not write to the array either (they may run inside a block).
export function checkOpaque(stmt, name) {
    // A plain name is never seen by nested functions (the machine is only taken so): a
    // name of theirs written there is another variable.
    const may = (nested) => !nested || name.includes(".");
    // Labels the statement itself declares: jumps to them stay inside it.
    const own = new Set();
    const walk = (n, loops, switches, nested) => {
        if (!n || typeof n.type !== "string") return;
        if (/Function|Class/.test(n.type)) nested = true;
        switch (n.type) {
        case "BreakStatement":
            if (!nested && (n.label ? !own.has(n.label.name) : loops + switches === 0)) throw new Unknown();
            return;
        case "ContinueStatement":
            if (!nested && (n.label ? !own.has(n.label.name) : loops === 0)) throw new Unknown();
            return;
        case "LabeledStatement":
            if (!nested) own.add(n.label.name);
            break;
        case "AssignmentExpression":
            if (may(nested) && touches(n.left, name)) throw new Unknown();
            break;
        case "UpdateExpression":
            if (may(nested) && touches(n.argument, name)) throw new Unknown();
            break;
        case "UnaryExpression":
            if (n.operator === "delete" && may(nested) && touches(n.argument, name)) throw new Unknown();
            break;
        case "ForInStatement":
        case "ForOfStatement":
            if (may(nested) && touches(n.left.type === "VariableDeclaration" ? null : n.left, name)) throw new Unknown();
            break;
        case "Identifier":
            return;
        }
        const loop = /^(For|ForIn|ForOf|While|DoWhile)Statement$/.test(n.type) ? 1 : 0;
        const sw = n.type === "SwitchStatement" ? 1 : 0;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach((c) => walk(c, loops + loop, switches + sw, nested));
            else walk(v, loops + loop, switches + sw, nested);
        }
    };
    walk(stmt, 0, 0, false);
}

// The case a machine's state vector goes to: -1 when the loop ends there; Unknown when no
// case takes it and there is no default (it would go round for ever: not the machine we
// know).
export function dispatchOf(m) {
    const { name, sw } = m;
    return (v) => {
        let total = 0;
        for (const x of v) total += x;
        if (total === evaluate(m.end, name, v)) return -1;
        for (let k = 0; k < sw.cases.length; ++k) {
            const c = sw.cases[k];
            if (c.test && evaluate(c.test, name, v) === total) return k;
        }
        const k = sw.cases.findIndex((c) => !c.test);
        if (k < 0) throw new Unknown();
        return k;
    };
}
