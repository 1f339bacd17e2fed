// Structured code from a graph of blocks that end in jumps: a flattened function's states
// once they are followed. Each block is placed once, under the block that dominates it;
// a block entered from two places follows a labelled block that the jumps break out of,
// a block jumped back to heads a loop. Then the labels and jumps that the order of the
// code makes needless go, and the loops take the shapes people write (while, do-while).
// A graph with a loop entered in two places (not reducible) throws Unknown.
import { t } from "../babel.js";
import { Unknown } from "./confuserStateWalk.js";

// Jump markers: plain statements that the emitter leaves at the end of a block's lists.
export const jumpTo = (key) => ({ type: "EmptyStatement", vexoJump: key });

// The markers at the tail positions of `list` (the last statement, through if/else and
// blocks): calls visit(list, index).
export function eachTail(list, visit, marker) {
    const last = list.length - 1;
    if (last < 0) return;
    const s = list[last];
    if (marker(s)) visit(list, last);
    else if (s.type === "IfStatement") {
        eachTail(s.consequent.body, visit, marker);
        if (s.alternate) eachTail(s.alternate.body, visit, marker);
    } else if (s.type === "BlockStatement") eachTail(s.body, visit, marker);
}

const isJump = (s) => s.vexoJump !== undefined;
// Labels of the structure (the program's own labelled statements keep theirs).
const ours = (s) => Object.assign(s, { vexoLabel: true });

// The jump markers at the end of any list of the block's code: an if whose branch
// jumps may be followed by more of the block.
function eachJumpMarker(list, visit) {
    for (const s of list) {
        if (s.type === "IfStatement") {
            eachJumpMarker(s.consequent.body, visit);
            if (s.alternate) eachJumpMarker(s.alternate.body, visit);
        } else if (s.type === "BlockStatement") eachJumpMarker(s.body, visit);
    }
    if (list.length && isJump(list[list.length - 1])) visit(list, list.length - 1);
}

function analyse(nodes, entry) {
    const succ = new Map();
    for (const [key, body] of nodes) {
        const out = [];
        eachJumpMarker(body, (list, i) => out.push(list[i].vexoJump));
        succ.set(key, out);
    }
    // Depth-first order; an edge to a block on the stack goes back.
    const order = [], rpo = new Map(), back = new Set(), state = new Map();
    const stack = [[entry, 0]];
    state.set(entry, 1);
    while (stack.length) {
        const top = stack[stack.length - 1];
        const next = succ.get(top[0]);
        if (top[1] < next.length) {
            const w = next[top[1]++];
            if (!state.has(w)) { state.set(w, 1); stack.push([w, 0]); }
            else if (state.get(w) === 1) back.add(top[0] + "\u0000" + w);
        } else {
            state.set(top[0], 2);
            order.push(top[0]);
            stack.pop();
        }
    }
    order.reverse();
    order.forEach((k, i) => rpo.set(k, i));
    const preds = new Map(order.map((k) => [k, []]));
    for (const k of order) for (const w of succ.get(k)) preds.get(w).push(k);
    // Dominators by the iterative method over the reverse post-order.
    const idom = new Map([[entry, entry]]);
    const intersect = (a, b) => {
        while (a !== b) {
            while (rpo.get(a) > rpo.get(b)) a = idom.get(a);
            while (rpo.get(b) > rpo.get(a)) b = idom.get(b);
        }
        return a;
    };
    for (let changed = true; changed;) {
        changed = false;
        for (const k of order) {
            if (k === entry) continue;
            let d = null;
            for (const p of preds.get(k)) if (idom.has(p)) d = d === null ? p : intersect(p, d);
            if (idom.get(k) !== d) { idom.set(k, d); changed = true; }
        }
    }
    const dominates = (a, b) => {
        for (let x = b; ; x = idom.get(x)) {
            if (x === a) return true;
            if (x === entry) return false;
        }
    };
    const headers = new Map(); // header → blocks of its loop
    for (const edge of back) {
        const [from, h] = edge.split("\u0000");
        if (!dominates(h, from)) throw new Unknown();
        if (!headers.has(h)) headers.set(h, new Set([h]));
        const body = headers.get(h), work = [from];
        while (work.length) {
            const x = work.pop();
            if (body.has(x)) continue;
            body.add(x);
            work.push(...preds.get(x));
        }
    }
    const forward = (k) => preds.get(k).filter((p) => !back.has(p + "\u0000" + k)).length;
    const children = new Map(order.map((k) => [k, []]));
    for (const k of order) if (k !== entry) children.get(idom.get(k)).push(k);
    return { rpo, back, headers, merge: (k) => forward(k) >= 2, children };
}

// Statements for the graph `nodes` (key → statements ending in jump markers) from `entry`.
export function structure(nodes, entry, labels) {
    const g = analyse(nodes, entry);
    const placed = new Set();
    const doTree = (x, ctx) => {
        if (placed.has(x)) throw new Unknown();
        placed.add(x);
        const kids = g.children.get(x).filter(g.merge).sort((a, b) => g.rpo.get(b) - g.rpo.get(a));
        const within = (ys, c) => withFollows(ys, c, (c2) => translate(x, c2));
        if (!g.headers.has(x)) return within(kids, ctx);
        const loop = g.headers.get(x);
        const inside = kids.filter((k) => loop.has(k)), outside = kids.filter((k) => !loop.has(k));
        return withFollows(outside, ctx, (c) => {
            const label = labels.next("loop");
            const body = within(inside, [{ loop: x, label }, ...c]);
            const w = t.whileStatement(t.booleanLiteral(true), t.blockStatement(body));
            w.vexoBuilt = true;
            return [ours(t.labeledStatement(t.identifier(label), w))];
        });
    };
    const withFollows = (ys, ctx, core) => {
        if (!ys.length) return core(ctx);
        const [y, ...rest] = ys;
        const label = labels.next("part");
        const inner = withFollows(rest, [{ follow: y, label }, ...ctx], core);
        return [ours(t.labeledStatement(t.identifier(label), t.blockStatement(inner))), ...doTree(y, ctx)];
    };
    const translate = (x, ctx) => {
        const body = nodes.get(x);
        const jumps = [];
        eachJumpMarker(body, (list, i) => jumps.push([list, i]));
        for (const [list, i] of jumps) {
            const to = list[i].vexoJump;
            let code;
            if (g.back.has(x + "\u0000" + to)) {
                const c = ctx.find((e) => e.loop === to);
                if (!c) throw new Unknown();
                code = [t.continueStatement(t.identifier(c.label))];
            } else if (g.merge(to)) {
                const c = ctx.find((e) => e.follow === to);
                if (!c) throw new Unknown();
                code = [t.breakStatement(t.identifier(c.label))];
            } else code = doTree(to, ctx);
            list.splice(i, 1, ...code);
        }
        return body;
    };
    const out = doTree(entry, []);
    if (placed.size !== g.rpo.size) throw new Unknown();
    return out;
}
