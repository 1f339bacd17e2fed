// The flattened functions rebuilt as straight code. A machine whose every entry is known
// (`main([…states], scope, …)` calls with arrays the sandbox computes) is followed from
// each entry over its states: each state it reaches is one block of the program's own
// statements (with the state reads it makes put in as numbers), ending where the machine
// jumps to the next state, returns or throws. Those blocks are then laid out as
// structured code (confuserStructure.js), and each entry becomes a function of its own
// that takes the machine's other parameters: `main(E1, scope, rt, args)` becomes
// `main_1(scope, rt, args)`, and `main` goes once no call is left. No state array,
// switch or dispatch loop stays. A machine the walk cannot follow, whose blocks do not
// nest (a loop entered in two places), or that would grow too much is left flattened,
// and the history says so.
import { t, traverse, freshScopes, treeChanged } from "../babel.js";
import { Unknown, mentions, evaluate, updatesOf, applyUpdates, checkOpaque, dispatchOf } from "./confuserStateWalk.js";
import { computeEntries, numberNode, findMachines } from "./confuserStates.js";
import { jumpTo, eachTail, structure } from "./confuserStructure.js";
import { tidy } from "./confuserTidy.js";
import { sweepUnused } from "./confuserCleanup.js";
import { nestedEntries, rebuildNested } from "./confuserRebuildNested.js";

const maxStates = 4000;
const maxSteps = 400000;
// Statements the rebuilt functions may have for each statement of the machine's cases:
// a state reached from two places is one block, but a case reached in two states is two.
const maxGrowth = 3;

export const isLexical = (s) => (s.type === "VariableDeclaration" && s.kind !== "var") || s.type === "ClassDeclaration" ||
    s.type === "FunctionDeclaration";
const fallMarker = (v) => ({ type: "EmptyStatement", vexoFall: v });
const isFall = (s) => s.vexoFall !== undefined;
const block = (list) => t.blockStatement(list);

export function countStatements(list) {
    let n = 0;
    const walk = (x) => {
        if (!x || typeof x.type !== "string") return;
        if (t.isStatement(x)) ++n;
        for (const k of t.VISITOR_KEYS[x.type] || []) {
            const v = x[k];
            if (Array.isArray(v)) v.forEach(walk); else walk(v);
        }
    };
    list.forEach(walk);
    return n;
}

// Whether the name is left anywhere outside nested functions (classes included).
function named(node, name) {
    let found = false;
    const walk = (n) => {
        if (found || !n || typeof n.type !== "string" || /Function|Method/.test(n.type)) return;
        if (n.type === "Identifier" && n.name === name) found = true;
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach(walk); else walk(v);
        }
    };
    walk(node);
    return found;
}

// The blocks of one machine's states, reached from the entry vectors: key → statements.
export function emitter(m, budget) {
    const { name, sw } = m;
    const bodies = sw.cases.map((c) => c.consequent);
    let steps = 0, made = 0;
    const dispatch = dispatchOf(m);
    // A copy of a program statement with its state reads as numbers (and opaque tests
    // on the states as booleans).
    const substitute = (node, v) => {
        made += countStatements([node]);
        if (made > budget) throw new Unknown();
        const copy = t.cloneNode(node, true);
        const walk = (n) => {
            // Class keys and fields are read where the class is made: under `v`.
            if (!n || typeof n.type !== "string" || /Function|Method/.test(n.type)) return;
            for (const k of t.VISITOR_KEYS[n.type] || []) {
                const c = n[k];
                const swap = (x, set) => {
                    if (!x || typeof x.type !== "string") return;
                    if (t.isExpression(x) && mentions(x, name)) {
                        let value;
                        try { value = evaluate(x, name, v); } catch (e) { value = undefined; }
                        if (typeof value === "number") { set(numberNode(value)); return; }
                        if (typeof value === "boolean") { set(t.booleanLiteral(value)); return; }
                    }
                    walk(x);
                };
                if (Array.isArray(c)) c.forEach((x, i) => swap(x, (y) => { c[i] = y; }));
                else swap(c, (y) => { n[k] = y; });
            }
        };
        walk(copy);
        return copy;
    };
    const seen = new Map(); // state key → vector, to be emitted
    const pending = [];
    const jump = (v) => {
        if (dispatch(v) < 0) return Object.assign(t.returnStatement(null), { vexoExit: true });
        const key = v.join(",");
        if (!seen.has(key)) {
            if (seen.size >= maxStates) throw new Unknown();
            seen.set(key, v);
            pending.push(key);
        }
        return jumpTo(key);
    };
    const caseTail = (k) => (v) => (k + 1 < bodies.length ? emit(bodies[k + 1], 0, v, caseTail(k + 1)) : [jump(v)]);
    const falls = (v) => [fallMarker(v)];
    // Statements for `list` from `i` under the states `v`; `tail(v)` gives what runs
    // when the list falls off its end.
    const emit = (list, i, v, tail) => {
        const out = [];
        // A piece that may fall off its end (an if, a block): when every way out of it
        // leaves the same states, the code after it follows it once; otherwise each way
        // gets its own copy of what follows.
        const piece = (stmts, at) => {
            const ends = [];
            eachTail(stmts, (l, j) => ends.push([l, j]), isFall);
            if (!ends.length) return { done: true };
            const key = ends[0][0][ends[0][1]].vexoFall.join(",");
            if (ends.every(([l, j]) => l[j].vexoFall.join(",") === key)) {
                const w = ends[0][0][ends[0][1]].vexoFall;
                for (const [l, j] of ends) l.splice(j, 1);
                return { done: false, v: w };
            }
            for (const [l, j] of ends) l.splice(j, 1, ...emit(list, at, l[j].vexoFall, tail));
            return { done: true };
        };
        for (; i < list.length; ++i) {
            if (++steps > maxSteps) throw new Unknown();
            const s = list[i];
            const ups = updatesOf(s, name);
            if (ups) { v = applyUpdates(ups, name, v); continue; }
            switch (s.type) {
            case "BreakStatement":
            case "ContinueStatement":
                if (s.label) throw new Unknown();
                out.push(jump(v));
                return out;
            case "ReturnStatement":
            case "ThrowStatement":
                checkOpaque(s, name);
                out.push(substitute(s, v));
                return out;
            case "EmptyStatement":
                continue;
            case "BlockStatement": {
                if (s.body.some(isLexical)) throw new Unknown();
                const stmts = emit(s.body, 0, v, falls);
                const r = piece(stmts, i + 1);
                out.push(...stmts);
                if (r.done) return out;
                v = r.v;
                continue;
            }
            case "IfStatement": {
                // Tests of numbers and state reads only (`if (false)` where an opaque
                // test was folded) choose their way; the program's own tests both.
                let known = false, value;
                try { value = evaluate(s.test, name, v); known = true; } catch (e) { known = false; }
                const listOf = (b) => (b.type === "BlockStatement" ? b.body : [b]);
                let stmts;
                if (known) {
                    const b = value ? s.consequent : s.alternate;
                    stmts = b ? emit(listOf(b), 0, v, falls) : [fallMarker(v)];
                } else {
                    checkOpaque(s.test, name);
                    const test = substitute(t.expressionStatement(s.test), v).expression;
                    const yes = emit(listOf(s.consequent), 0, v, falls);
                    const no = s.alternate ? emit(listOf(s.alternate), 0, v, falls) : [fallMarker(v)];
                    stmts = [t.ifStatement(test, block(yes), block(no))];
                }
                const r = piece(stmts, i + 1);
                out.push(...stmts);
                if (r.done) return out;
                v = r.v;
                continue;
            }
            }
            if (isLexical(s)) throw new Unknown();
            checkOpaque(s, name);
            out.push(substitute(s, v));
        }
        out.push(...tail(v));
        return out;
    };
    // The graph from one entry: key → statements ending in jumps.
    const graph = (entry) => {
        const nodes = new Map();
        const first = jump(entry);
        if (first.type === "ReturnStatement") return null;
        while (pending.length) {
            const key = pending.pop();
            if (nodes.has(key)) continue;
            const v = seen.get(key);
            const k = dispatch(v);
            nodes.set(key, emit(bodies[k], 0, v, caseTail(k)));
        }
        return { nodes, entry: first.vexoJump };
    };
    return { graph, reset: () => { seen.clear(); pending.length = 0; } };
}

// Label names not used in the function.
export function labelMaker(fn) {
    const taken = new Set();
    fn.traverse({ LabeledStatement(p) { taken.add(p.node.label.name); } });
    let n = 0;
    return {
        next(base) {
            let name;
            do name = base + ++n; while (taken.has(name));
            return name;
        },
    };
}

export function usesArguments(fn) {
    let found = false;
    fn.traverse({
        Function(p) { if (!p.isArrowFunctionExpression()) p.skip(); },
        Identifier(p) { if (p.node.name === "arguments") found = true; },
        MetaProperty() { found = true; },
    });
    return found;
}

// The rebuilt functions of one machine (declarations to put after it), or a reason.
function rebuild(m, vectors) {
    const fn = m.fn;
    if (!fn.isFunctionDeclaration()) return "流程所在的函数不是声明";
    if (fn.node.body.body.length !== 1) return "循环之后还有语句";
    if (usesArguments(fn)) return "函数用到 arguments";
    if (m.sw.cases.some((c) => c.consequent.some(isLexical))) return "分支里有块级声明";
    const budget = maxGrowth * countStatements(m.sw.cases.flatMap((c) => c.consequent)) + 200;
    const e = emitter(m, budget);
    const main = fn.node.id.name;
    const byKey = new Map(); // entry vector → new function name
    const made = [];
    const undo = [];
    const binding = fn.parentPath.scope;
    let n = 0;
    const fresh = () => {
        let name;
        do name = main + "_" + ++n; while (binding.hasBinding(name) || made.some((d) => d.id.name === name));
        return name;
    };
    // The calls first point at their own functions, so that the blocks copied after
    // this (which may make calls back into the machine) carry the new calls.
    vectors.forEach((v, i) => {
        const key = v.join(",");
        if (!byKey.has(key)) byKey.set(key, { name: fresh(), v });
        const call = m.calls[i].node;
        undo.push([call, call.callee, call.arguments]);
        call.vexoOldState = call.arguments[0];
        call.callee = t.identifier(byKey.get(key).name);
        call.arguments = call.arguments.slice(1);
    });
    try {
        for (const { name, v } of byKey.values()) {
            e.reset();
            const g = e.graph(v);
            const labels = labelMaker(fn);
            const body = g ? tidy(structure(g.nodes, g.entry, labels)) : [];
            const decl = t.functionDeclaration(t.identifier(name), fn.node.params.slice(1).map((p) => t.cloneNode(p, true)),
                block(body), fn.node.generator, fn.node.async);
            // Every read of the array must have become a number (nested functions
            // never name it: the machine would not have been taken).
            if (named(decl.body, m.name)) throw new Unknown();
            made.push(decl);
        }
    } catch (err) {
        for (const [call, callee, args] of undo) { call.callee = callee; call.arguments = args; }
        if (err instanceof Unknown) return "状态无法全部跟随或结构无法还原";
        throw err;
    }
    return made;
}

function rebuildMachines(ast, notes) {
    const machines = findMachines(ast);
    const known = machines.filter((m) => m.entries && m.fn);
    const nested = machines.filter((m) => !m.fn && nestedEntries(m, ast));
    // Other machines nested in another's function keep their states in its scope object
    // and are entered with arrays that come in as arguments from calls not all known.
    if (known.length + nested.length < machines.length) notes.push("一处平坦化的函数未能重建（入口状态未知）");
    if (!known.length && !nested.length) return false;
    const arrays = computeEntries(ast, known.concat(nested));
    const rebuilt = new Set(), helpers = new Set();
    let changed = false;
    nested.forEach((m, i) => {
        const why = rebuildNested(m, arrays[known.length + i]);
        if (why) notes.push("一处平坦化的函数未能重建（" + why + "）");
        else {
            rebuilt.add(m.whilePath.getFunctionParent().node);
            helpers.add(m.sum);
            changed = true;
        }
    });
    known.forEach((m, i) => {
        const inside = (p) => !!p.findParent((q) => rebuilt.has(q.node)) || rebuilt.has(p.node);
        if (!arrays[i] || arrays[i].length !== m.calls.length || inside(m.fn) || m.calls.some(inside)) {
            notes.push("一处平坦化的函数未能重建（入口状态未知）");
            return;
        }
        const made = rebuild(m, arrays[i]);
        if (typeof made === "string") {
            notes.push("一处平坦化的函数未能重建（" + made + "）");
            return;
        }
        rebuilt.add(m.fn.node);
        helpers.add(m.sum);
        for (const c of m.calls) collectCallees(c.node, helpers);
        m.fn.insertAfter(made);
        m.fn.remove();
        changed = true;
    });
    if (changed) sweepHelpers(ast, helpers);
    return changed;
}

// The names called by the arguments left in a rebuilt call's old state array (the
// slices of the shared sequence).
function collectCallees(node, into) {
    const walk = (n) => {
        if (!n || typeof n.type !== "string") return;
        if (n.type === "CallExpression" && n.callee.type === "Identifier") into.add(n.callee.name);
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const v = n[k];
            if (Array.isArray(v)) v.forEach(walk); else walk(v);
        }
    };
    walk(node.vexoOldState);
}

// The sum and slice helpers the rebuilt machines used go once nothing calls them (and
// the sequence they slice with them). The scopes are built afresh: the rebuilt
// functions are copies that the old scope data does not know.
function sweepHelpers(ast, names) {
    traverse.cache.clear();
    traverse(ast, {
        Program(p) {
            const seeds = new Set();
            for (const n of names) {
                const b = p.scope.getBinding(n);
                if (b) seeds.add(b);
            }
            sweepUnused(seeds, new Set());
            p.stop();
        },
    });
    treeChanged();
}

export const stateRebuild = {
    name: "控制流平坦化（重建结构）",
    detect: (code) => /\bswitch\b/.test(code) && /\bwhile\b/.test(code),
    notes: [],
    remark() {
        const text = [...new Set(this.notes)].join("；");
        this.notes = [];
        return text;
    },
    run(ast) {
        freshScopes();
        return rebuildMachines(ast, this.notes);
    },
};
