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
import { Unknown, locKey, mentions, evaluate, updatesOf, applyUpdates, checkOpaque, dispatchOf } from "./confuserStateWalk.js";

const maxVisits = 20000;
const maxSteps = 2000000;

// A flattened machine: { name, sum, end, sw, whilePath, fn } or null. `fn` is set when
// the array is the first parameter of the function the loop makes up, used only here:
// then every entry is a call of that function.
export function machineOf(whilePath) {
    const w = whilePath.node;
    const test = w.test;
    if (test.type !== "BinaryExpression" || (test.operator !== "!==" && test.operator !== "!=")) return null;
    const sumOf = (call) => call.type === "CallExpression" && call.callee.type === "Identifier" &&
        call.arguments.length === 1 ? locKey(call.arguments[0]) : null;
    const name = sumOf(test.left);
    if (name === null) return null;
    const sum = test.left.callee.name;
    let sw = w.body;
    if (sw.type === "BlockStatement" && sw.body.length === 1) sw = sw.body[0];
    if (sw.type !== "SwitchStatement" || sumOf(sw.discriminant) !== name || sw.discriminant.callee.name !== sum) return null;
    if (!Array.isArray(whilePath.container)) return null;
    const sumBinding = whilePath.scope.getBinding(sum);
    if (!sumBinding || !sumBinding.path.isFunctionDeclaration() || sumBinding.constantViolations.length) return null;
    const base = name.split(".")[0];
    const binding = whilePath.scope.getBinding(base);
    if (!binding) return null;
    const here = whilePath.getFunctionParent();
    // The array's holder is not seen by nested functions (they might change it inside a
    // block); for a plain name every use must be a read, an update or one of the sums.
    for (const v of binding.constantViolations) if (v.getFunctionParent() !== here) return null;
    for (const ref of binding.referencePaths) {
        if (ref.getFunctionParent() !== here) return null;
        if (base !== name) continue;
        const parent = ref.parent;
        if (parent === test.left || parent === sw.discriminant) continue;
        if (parent.type === "MemberExpression" && parent.object === ref.node && parent.computed) continue;
        return null;
    }
    const m = { name, sum, end: test.right, sw, whilePath, fn: null };
    const fn = here;
    if (base === name && fn && binding.kind === "param" && binding.scope === fn.scope && !binding.constantViolations.length &&
        fn.node.params[0] && fn.node.params[0].type === "Identifier" && fn.node.params[0].name === name &&
        fn.node.body.body && fn.node.body.body[0] === w) m.fn = fn;
    return m;
}

// The calls that enter the machine's function: the nodes of their state arrays, or null
// when the function is used in any other way (its entries would not all be known).
export function entriesOf(m) {
    const fn = m.fn;
    if (!fn) return null;
    let binding = null;
    if (fn.isFunctionDeclaration()) binding = fn.parentPath.scope.getBinding(fn.node.id.name);
    else if (fn.parentPath.isVariableDeclarator() && fn.parentPath.node.id.type === "Identifier")
        binding = fn.parentPath.scope.getBinding(fn.parentPath.node.id.name);
    if (!binding || binding.constantViolations.length || !binding.referencePaths.length) return null;
    const args = [], calls = [];
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
        calls.push(call);
    }
    m.calls = calls;
    return args;
}

// Runs the script quietly in the sandbox, then computes the entry arrays of the machines
// whose entries are all known (and tries their sum functions). The other machines report
// the arrays they start from as the script runs. Per machine: [arrays…] or null.
// Every state machine of the tree, with the entry calls each is known by.
export function findMachines(ast) {
    const machines = [];
    traverse(ast, {
        WhileStatement(path) {
            const m = machineOf(path);
            if (!m) return;
            m.entries = entriesOf(m);
            machines.push(m);
        },
    });
    return machines;
}

export function computeEntries(ast, machines) {
    const watched = machines.filter((m) => !m.entries);
    // Each watched loop gets `__vexoEntry(k, <array>);` before it, just for the printing.
    watched.forEach((m, k) => {
        const at = m.whilePath.container.indexOf(m.whilePath.node);
        m.whilePath.container.splice(at, 0, t.expressionStatement(t.callExpression(t.identifier("__vexoEntry"),
            [t.numericLiteral(k), t.cloneNode(m.whilePath.node.test.left.arguments[0])])));
    });
    let script;
    try {
        script = generate(ast);
    } finally {
        for (const m of watched) {
            const at = m.whilePath.container.indexOf(m.whilePath.node);
            m.whilePath.container.splice(at - 1, 1);
        }
    }
    const known = machines.filter((m) => m.entries);
    const parts = known.map((m) => "(function () { try { var e = [" +
        m.entries.map((a) => generateNode(a)).join(", ") + "];\n" +
        "for (var i = 0; i < e.length; i++) if (!__vexoNumbers(e[i])) return null;\n" +
        "return e; } catch (x) { return null; } })()");
    const sums = machines.map((m) => "__vexoSum(function () { return " + m.sum + "; })");
    const text = runInSandbox(quietPrelude + "var __vexoSeen = [];\n" +
        "function __vexoNumbers(a) { return Array.isArray(a) && a.length > 0 && a.every(function (x) { return typeof x === 'number' && x === (x | 0); }); }\n" +
        "function __vexoEntry(k, s) { try { var seen = __vexoSeen[k] || (__vexoSeen[k] = {});\n" +
        "    if (__vexoNumbers(s) && Object.keys(seen).length < 256) seen[JSON.stringify(s)] = 1; } catch (e) {} }\n" +
        "function __vexoSum(f) { try { var s = f(); return s([3, -5, 9]) === 7 && s([]) === 0 && s([1]) === 1; } catch (e) { return false; } }\n" +
        "try { (0, eval)(" + JSON.stringify(script) + "); } catch (e) {}\n" +
        "JSON.stringify({ known: [" + parts.join(",\n") + "], sums: [" + sums.join(", ") + "], seen: __vexoSeen });");
    const r = JSON.parse(text);
    return machines.map((m) => {
        const i = machines.indexOf(m);
        if (!r.sums[i]) return null;
        if (m.entries) return r.known[known.indexOf(m)];
        const seen = r.seen[watched.indexOf(m)];
        return seen ? Object.keys(seen).map((k) => JSON.parse(k)) : null;
    });
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
    const dispatch = dispatchOf(m);
    // Where each jump goes and where each case is entered from (a break statement, or
    // "entry"/"fall" for entries and cases run into from the one before).
    const into = new Map(), goes = new Map();
    const edge = (from, v) => {
        let k = dispatch(v);
        // Labels without code of their own only lead to the next case's code.
        while (k >= 0 && k < sw.cases.length - 1 && !sw.cases[k].consequent.length) ++k;
        if (k >= 0) {
            if (!into.has(k)) into.set(k, new Set());
            into.get(k).add(from);
        }
        if (typeof from !== "string") {
            if (!goes.has(from)) goes.set(from, new Set());
            goes.get(from).add(k);
        }
    };
    const fallsOut = new Set();
    const enqueue = (v, from) => {
        edge(from, v);
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
                enqueue(v, s);
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
        if (k >= bodies.length) { enqueue(v, "fall"); return; } // the switch ends: the loop goes round
        if (!list.length) { run(bodies[k], 0, v, null); return; }
        fallsOut.add(list.caseIndex);
        let j = k;
        while (j < bodies.length - 1 && !bodies[j].length) ++j;
        (into.get(j) || into.set(j, new Set()).get(j)).add("fall");
        run(bodies[k], 0, v, null);
    };
    entries.forEach((v) => enqueue(v, "entry"));
    while (queue.length) {
        const v = queue.pop();
        const target = dispatch(v);
        if (target < 0) continue;
        reached.add(sw.cases[target]);
        run(bodies[target], 0, v, null);
    }
    // Statements of the case bodies that ran (the bodies were copied: map them back).
    return { reads, tests, reached, ran, into, goes, fallsOut };
}

export function numberNode(x) {
    return x < 0 || Object.is(x, -0) ? t.unaryExpression("-", t.numericLiteral(-x)) : t.numericLiteral(x);
}

function resolve(m, walked, complete) {
    let changed = false;
    const { reads, tests, reached, ran } = walked;
    // The cases no state reaches and whose statements never run go.
    const kept = m.sw.cases.filter((c) => reached.has(c) || c.consequent.some((s) => ran.has(s)));
    if (complete && kept.length < m.sw.cases.length) {
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

// Where a statement sits under `root`: { parent, key, index } (index for lists).
function placeOf(root, target) {
    let found = null;
    const walk = (n) => {
        if (found || !n || typeof n.type !== "string" || /Function|Class/.test(n.type)) return;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) {
                const i = v.indexOf(target);
                if (i >= 0) { found = { parent: n, key: k, index: i }; return; }
                v.forEach(walk);
            } else if (v === target) {
                found = { parent: n, key: k };
                return;
            } else walk(v);
            if (found) return;
        }
    };
    walk(root);
    return found;
}

const isLexical = (s) => (s.type === "VariableDeclaration" && s.kind !== "var") || s.type === "ClassDeclaration" ||
    s.type === "FunctionDeclaration";

// Blocks reached from one jump only become the code at that jump: the `break` that sent
// the machine round to a case (always the same one) is replaced by that case's code, and
// the case goes. The states still change as before (later jumps need them), but the
// code reads in order and a conditional jump reads as if/else. Only for machines whose
// every entry is known, and only for cases that neither run into the next one nor are
// run into, nor declare names of the switch's block scope.
function joinBlocks(m, walked, caseNodes) {
    const { into, goes, fallsOut } = walked;
    const sw = m.sw;
    let joined = false;
    for (let k = 0; k < caseNodes.length; ++k) {
        const c = caseNodes[k];
        const from = into.get(k);
        if (!sw.cases.includes(c) || !from || from.size !== 1 || fallsOut.has(k)) continue;
        const [jump] = from;
        if (typeof jump === "string" || goes.get(jump).size !== 1 || c.consequent.some(isLexical)) continue;
        if (placeOf(c, jump) || !c.consequent.length) continue; // a loop back into itself
        const at = placeOf(sw, jump);
        if (!at) continue;
        if (at.index !== undefined) at.parent[at.key].splice(at.index, 1, ...c.consequent);
        else at.parent[at.key] = t.blockStatement(c.consequent);
        // The labels before it that have no code of their own led only here.
        let first = sw.cases.indexOf(c);
        while (first > 0 && !sw.cases[first - 1].consequent.length) --first;
        sw.cases.splice(first, sw.cases.indexOf(c) - first + 1);
        joined = true;
    }
    return joined;
}

function undoStateMachines(ast) {
    const machines = findMachines(ast);
    if (!machines.length) return false;
    const arrays = computeEntries(ast, machines);
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
        // Only a machine whose every entry is known loses the cases no state reaches
        // (others may be entered from states the run did not show).
        const caseNodes = m.sw.cases.slice();
        if (resolve(m, walked, !!m.entries)) changed = true;
        if (m.entries && joinBlocks(m, walked, caseNodes)) changed = true;
    });
    return changed;
}

export const stateMachines = {
    name: "控制流平坦化（状态数组）",
    detect: (code) => /\bswitch\b/.test(code) && /\bwhile\b/.test(code),
    run(ast) {
        freshScopes();
        return undoStateMachines(ast);
    },
};
