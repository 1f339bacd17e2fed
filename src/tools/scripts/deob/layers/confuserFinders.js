// js-confuser finds the global object by trying candidates in turn: `[function () {
// return globalThis; }, function () { return global; }, function () { return window; },
// …]`, in a loop that returns the first one that answers and has the names it wants
// (`String`). Its later candidates can hide a machine of their own or a decoder that
// builds `new Function("return this")` from encoded text. When the first candidate is
// `globalThis`, which every engine that runs the script has and which has those names,
// the others are never tried: they go, and with them what only they used.
import { traverse, freshScopes } from "../babel.js";
import { sweepUnused, isWithin } from "./confuserCleanup.js";

const returnsGlobalThis = (f) => {
    if (f.type !== "FunctionExpression" || f.params.length || f.async || f.generator) return false;
    const b = f.body.body;
    return b.length === 1 && b[0].type === "ReturnStatement" && !!b[0].argument &&
        b[0].argument.type === "Identifier" && b[0].argument.name === "globalThis";
};

// The finder's loop: a `for` over the candidates whose body tries one (a `try`).
function triesInTurn(fnPath) {
    let found = false;
    fnPath.traverse({
        Function(p) { p.skip(); },
        ForStatement(p) {
            const body = p.node.body.type === "BlockStatement" && p.node.body.body.length === 1 ? p.node.body.body[0] : p.node.body;
            if (body.type === "TryStatement") found = true;
        },
    });
    return found;
}

function dropCandidates(ast) {
    let changed = false;
    const removed = new Set(), seeds = new Set();
    traverse(ast, {
        ArrayExpression(path) {
            const els = path.node.elements;
            if (els.length < 2 || !returnsGlobalThis(els[0]) ||
                !els.every((e) => e && e.type === "FunctionExpression" && !e.params.length)) return;
            const fn = path.getFunctionParent();
            if (!fn || !triesInTurn(fn) || path.findParent((p) => p.isLoop())) return;
            path.get("elements").slice(1).forEach((el) => {
                const names = new Set();
                el.traverse({
                    Identifier(p) {
                        if (!p.isReferencedIdentifier()) return;
                        const b = p.scope.getBinding(p.node.name);
                        if (b && !isWithin(b.path, el)) names.add(b);
                    },
                });
                for (const b of names) seeds.add(b);
                removed.add(el);
            });
            for (const el of path.get("elements").slice(1)) el.remove();
            changed = true;
        },
    });
    if (changed) sweepUnused(seeds, removed);
    return changed;
}

export const globalFinders = {
    name: "全局对象查找（多余的候选）",
    detect: (code) => /\bglobalThis\b/.test(code) && /\btry\b/.test(code),
    run(ast) {
        freshScopes();
        return dropCandidates(ast);
    },
};
