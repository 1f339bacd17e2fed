// Flattened control flow over a state array: `function main(s, scope, …) { while
// (sum(s) !== END) switch (sum(s)) { case 922: …; s[12] += s[26] - 840, …; break; … } }`,
// entered through calls that pass the whole array (`main([...slice(0, 12), -200, …])`).
// Every state is a constant reachable by evaluation: starting from each entry array the
// machine is run over the states alone (the program's own statements are stepped over,
// and where the program decides — an `if` on its own values — both ways are followed).
// What that gives: each `s[k]` read by the program's code becomes the number it always is
// there, each opaque test on the states its constant, and the cases no state reaches go.
// The decoder calls inside then have constant arguments, and the dead branches fold away.
// A machine whose states the walk cannot follow (a test or an update it cannot evaluate,
// the array passed on or written elsewhere, an entry it cannot compute) is left alone.
import { t, traverse, freshScopes, generate, generateNode } from "../babel.js";
import { runInSandbox } from "../sandbox.js";
import { quietPrelude } from "./confuserStrings.js";

const maxVisits = 20000;
const maxSteps = 2000000;

class Unknown extends Error {}

function isStateRead(node, name) {
    return node.type === "MemberExpression" && node.computed && node.object.type === "Identifier" &&
        node.object.name === name;
}

// Whether the expression mentions the state array at all (outside nested functions).
function mentions(node, name) {
    let found = false;
    const walk = (n) => {
        if (found || !n || typeof n.type !== "string") return;
        if (n.type === "Identifier") { if (n.name === name) found = true; return; }
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
function evaluate(node, name, v) {
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

function updatesOf(stmt, name) {
    if (stmt.type !== "ExpressionStatement") return null;
    const list = stmt.expression.type === "SequenceExpression" ? stmt.expression.expressions : [stmt.expression];
    return list.every((e) => stateUpdate(e, name)) ? list : null;
}

function applyUpdates(list, name, v) {
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

// A statement of the program's own that must leave the machine's states alone and hand
// control back only by falling off its end (or by leaving the function).
function checkOpaque(stmt, name) {
    const walk = (n, loops, switches) => {
        if (!n || typeof n.type !== "string") return;
        // Nested functions cannot see the array (every use of it is in the machine's own
        // function, machineOf checks).
        if (/Function|Class/.test(n.type)) return;
        switch (n.type) {
        case "BreakStatement":
            if (n.label || loops + switches === 0) throw new Unknown();
            return;
        case "ContinueStatement":
            if (n.label || loops === 0) throw new Unknown();
            return;
        case "LabeledStatement":
            throw new Unknown();
        case "AssignmentExpression":
        case "UpdateExpression": {
            const target = n.type === "UpdateExpression" ? n.argument : n.left;
            if (target.type === "Identifier" && target.name === name) throw new Unknown();
            if (isStateRead(target, name) || mentionsAsObject(target, name)) throw new Unknown();
            break;
        }
        case "Identifier":
            return;
        }
        const loop = /^(For|ForIn|ForOf|While|DoWhile)Statement$/.test(n.type) ? 1 : 0;
        const sw = n.type === "SwitchStatement" ? 1 : 0;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach((c) => walk(c, loops + loop, switches + sw));
            else walk(v, loops + loop, switches + sw);
        }
    };
    walk(stmt, 0, 0);
}

function mentionsAsObject(target, name) {
    for (let n = target; n && n.type === "MemberExpression"; n = n.object)
        if (n.object.type === "Identifier" && n.object.name === name) return true;
    return false;
}

// A flattened machine in a function: { fn (path), name, sum, end, sw } or null.
function machineOf(whilePath) {
    const w = whilePath.node;
    const test = w.test;
    if (test.type !== "BinaryExpression" || (test.operator !== "!==" && test.operator !== "!=")) return null;
    const call = test.left;
    if (call.type !== "CallExpression" || call.callee.type !== "Identifier" || call.arguments.length !== 1 ||
        call.arguments[0].type !== "Identifier") return null;
    const sum = call.callee.name, name = call.arguments[0].name;
    let sw = w.body;
    if (sw.type === "BlockStatement" && sw.body.length === 1) sw = sw.body[0];
    if (sw.type !== "SwitchStatement") return null;
    const d = sw.discriminant;
    if (d.type !== "CallExpression" || d.callee.type !== "Identifier" || d.callee.name !== sum ||
        d.arguments.length !== 1 || d.arguments[0].type !== "Identifier" || d.arguments[0].name !== name) return null;
    const fn = whilePath.parentPath && whilePath.parentPath.parentPath;
    if (!fn || !fn.isFunction() || fn.node.body.body[0] !== w) return null;
    const p = fn.node.params[0];
    if (!p || p.type !== "Identifier" || p.name !== name) return null;
    const binding = whilePath.scope.getBinding(name);
    if (!binding || binding.kind !== "param" || binding.scope !== fn.scope || binding.constantViolations.length) return null;
    // Every use of the array: the two sums, and reads and updates in the function itself.
    for (const ref of binding.referencePaths) {
        if (ref.getFunctionParent() !== fn) return null;
        const parent = ref.parent;
        if (parent === call || parent === d) continue;
        if (parent.type === "MemberExpression" && parent.object === ref.node && parent.computed) continue;
        return null;
    }
    const sumBinding = whilePath.scope.getBinding(sum);
    if (!sumBinding || !sumBinding.path.isFunctionDeclaration() || sumBinding.constantViolations.length) return null;
    return { fn, name, sum, sumBinding, end: test.right, sw, whilePath };
}

// The calls that enter the machine's function: the nodes of their state arrays, or null
// when the function is used in any other way (its entries would not all be known).
function entriesOf(m) {
    const fn = m.fn;
    let binding = null;
    if (fn.isFunctionDeclaration()) binding = fn.parentPath.scope.getBinding(fn.node.id.name);
    else if (fn.parentPath.isVariableDeclarator() && fn.parentPath.node.id.type === "Identifier")
        binding = fn.parentPath.scope.getBinding(fn.parentPath.node.id.name);
    if (!binding || binding.constantViolations.length || !binding.referencePaths.length) return null;
    const args = [];
    for (const ref of binding.referencePaths) {
        const call = ref.parentPath;
        if (!call.isCallExpression() || call.node.callee !== ref.node || !call.node.arguments.length) return null;
        const a = call.node.arguments[0];
        if (a.type === "SpreadElement") return null;
        // The array may use only what the program's top level defines.
        let local = false;
        call.get("arguments.0").traverse({
            Identifier(p) {
                if (!p.isReferencedIdentifier()) return;
                const b = p.scope.getBinding(p.node.name);
                if (b && !b.scope.path.isProgram()) local = true;
            },
            Function() { local = true; },
        });
        if (local || (a.type === "Identifier" && a.name === m.name)) return null;
        args.push(a);
    }
    return args;
}

// Runs the script quietly in the sandbox, then computes every machine's entry arrays and
// tries its sum function; per machine: [arrays…] or null.
function computeEntries(script, machines) {
    const parts = machines.map((m) => "(function () { try { var e = [" +
        m.entries.map((a) => generateNode(a)).join(", ") + "];\n" +
        "if (" + m.sum + "([3, -5, 9]) !== 7 || " + m.sum + "([]) !== 0) return null;\n" +
        "for (var i = 0; i < e.length; i++) if (!Array.isArray(e[i]) || !e[i].every(function (x) { return typeof x === 'number' && x === (x | 0); })) return null;\n" +
        "return e; } catch (x) { return null; } })()");
    const text = runInSandbox(quietPrelude + "try { (0, eval)(" + JSON.stringify(script) + "); } catch (e) {}\n" +
        "JSON.stringify([" + parts.join(",\n") + "]);");
    return JSON.parse(text);
}

// Follows the machine from its entries. Returns { reads: Map node → Set of values,
// tests: Map node → Set, reached: Set of case nodes, consequents: Set of statements }.
function walkMachine(m, entries) {
    const { name, sw } = m;
    const reads = new Map(), tests = new Map(), reached = new Set(), ran = new Set();
    const seen = new Set();
    const queue = [];
    let steps = 0;
    const note = (map, node, value) => {
        let s = map.get(node);
        if (!s) map.set(node, (s = new Set()));
        s.add(value);
    };
    const enqueue = (v) => {
        const key = v.join(",");
        if (seen.has(key)) return;
        if (seen.size >= maxVisits) throw new Unknown();
        seen.add(key);
        queue.push(v);
    };
    // The state reads in the program's own code: the largest pieces that evaluate.
    const record = (node, v) => {
        const walk = (n) => {
            if (!n || typeof n.type !== "string" || /Function|Class/.test(n.type)) return;
            if (!mentions(n, name)) return;
            if (t.isExpression(n)) {
                let value;
                try { value = evaluate(n, name, v); } catch (e) { value = undefined; }
                if (typeof value === "number") { note(reads, n, value); return; }
            }
            for (const k of t.VISITOR_KEYS[n.type] || []) {
                const c = n[k];
                if (Array.isArray(c)) c.forEach(walk); else walk(c);
            }
        };
        walk(node);
    };
    // Runs `list` from `i` under `v`; `rest` is what follows when the list falls off.
    const run = (list, i, v, rest) => {
        for (; i < list.length; ++i) {
            if (++steps > maxSteps) throw new Unknown();
            const s = list[i];
            if (ran.has(s) === false && list.isCaseBody) ran.add(s);
            const ups = updatesOf(s, name);
            if (ups) { v = applyUpdates(ups, name, v); continue; }
            switch (s.type) {
            case "BreakStatement":
            case "ContinueStatement":
                if (s.label) throw new Unknown();
                enqueue(v);
                return;
            case "ReturnStatement":
            case "ThrowStatement":
                if (s.argument) { checkOpaque(s, name); record(s.argument, v); }
                return;
            case "EmptyStatement":
                continue;
            case "BlockStatement":
                run(s.body, 0, v, { list, i: i + 1, rest });
                return;
            case "IfStatement": {
                let known = false, value;
                if (mentions(s.test, name)) {
                    try { value = evaluate(s.test, name, v); known = true; } catch (e) { known = false; }
                }
                const after = { list, i: i + 1, rest };
                const branch = (b) => b ? run(b.type === "BlockStatement" ? b.body : [b], 0, v, after) : run(list, i + 1, v, rest);
                if (known) {
                    note(tests, s, !!value);
                    branch(value ? s.consequent : s.alternate);
                } else {
                    checkOpaque(s.test, name);
                    record(s.test, v);
                    branch(s.consequent);
                    branch(s.alternate);
                }
                return;
            }
            }
            checkOpaque(s, name);
            record(s, v);
        }
        if (rest) run(rest.list, rest.i, v, rest.rest);
        else fallOff(list, v);
    };
    // The end of a case body runs into the next case's.
    const bodies = sw.cases.map((c) => { const b = c.consequent.slice(); b.isCaseBody = true; return b; });
    bodies.forEach((b, k) => { b.caseIndex = k; });
    const fallOff = (list, v) => {
        if (list.caseIndex === undefined) throw new Unknown();
        const k = list.caseIndex + 1;
        if (k >= bodies.length) { enqueue(v); return; } // the switch ends: the loop goes round
        run(bodies[k], 0, v, null);
    };
    entries.forEach(enqueue);
    while (queue.length) {
        const v = queue.pop();
        let total = 0;
        for (const x of v) total += x;
        if (total === evaluate(m.end, name, v)) continue;
        let target = -1;
        for (let k = 0; k < sw.cases.length && target < 0; ++k) {
            const c = sw.cases[k];
            if (c.test && evaluate(c.test, name, v) === total) target = k;
        }
        if (target < 0) target = sw.cases.findIndex((c) => !c.test);
        if (target < 0) throw new Unknown(); // would go round for ever: not the machine we know
        reached.add(sw.cases[target]);
        run(bodies[target], 0, v, null);
    }
    // Statements of the case bodies that ran (the bodies were copied: map them back).
    return { reads, tests, reached, ran };
}

function numberNode(x) {
    return x < 0 || Object.is(x, -0) ? t.unaryExpression("-", t.numericLiteral(-x)) : t.numericLiteral(x);
}

function resolve(m, walked) {
    let changed = false;
    const { reads, tests, reached, ran } = walked;
    // The cases no state reaches and whose statements never run go.
    const kept = m.sw.cases.filter((c) => reached.has(c) || c.consequent.some((s) => ran.has(s)));
    if (kept.length < m.sw.cases.length) {
        m.sw.cases = kept;
        changed = true;
    }
    const replaceIn = (root) => {
        const swap = (parent, key, index) => {
            const n = index === undefined ? parent[key] : parent[key][index];
            const r = reads.get(n);
            if (r && r.size === 1) {
                const x = [...r][0];
                if (index === undefined) parent[key] = numberNode(x); else parent[key][index] = numberNode(x);
                changed = true;
                return true;
            }
            return false;
        };
        const walk = (n) => {
            if (!n || typeof n.type !== "string") return;
            if (n.type === "IfStatement") {
                const r = tests.get(n);
                if (r && r.size === 1) { n.test = t.booleanLiteral([...r][0]); changed = true; }
            }
            for (const k of t.VISITOR_KEYS[n.type] || []) {
                const v = n[k];
                if (Array.isArray(v)) v.forEach((c, i) => { if (c && !swap(n, k, i)) walk(c); });
                else if (v && !swap(n, k)) walk(v);
            }
        };
        walk(root);
    };
    for (const c of m.sw.cases) c.consequent.forEach(replaceIn);
    return changed;
}

function undoStateMachines(ast, source) {
    const machines = [];
    traverse(ast, {
        WhileStatement(path) {
            const m = machineOf(path);
            if (!m) return;
            m.entries = entriesOf(m);
            if (m.entries) machines.push(m);
        },
    });
    if (!machines.length) return false;
    const arrays = computeEntries(source, machines);
    let changed = false;
    machines.forEach((m, i) => {
        if (!arrays[i] || !arrays[i].length) return;
        let walked;
        try {
            walked = walkMachine(m, arrays[i]);
        } catch (e) {
            if (e instanceof Unknown) return;
            throw e;
        }
        if (resolve(m, walked)) changed = true;
    });
    return changed;
}

export const stateMachines = {
    name: "控制流平坦化（状态数组）",
    detect: (code) => /\bswitch\b/.test(code) && /\bwhile\b/.test(code),
    run(ast, text) {
        freshScopes();
        return undoStateMachines(ast, text || generate(ast));
    },
};
