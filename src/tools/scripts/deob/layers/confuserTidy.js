// The rebuilt function's statements as people write them: jumps to where the code goes
// anyway go, labels nothing names go, `while (true) { if (c) { … } else break; }` reads
// `while (c) { … }` and a loop that tests at its end reads `do { … } while (c)`. Each
// rewrite keeps the order in which the statements run.
import { t } from "../babel.js";
import { eachTail } from "./confuserStructure.js";

const isLexical = (s) => (s.type === "VariableDeclaration" && s.kind !== "var") || s.type === "ClassDeclaration" ||
    s.type === "FunctionDeclaration";

function negate(test) {
    // Only ever a test: `!!x` and `x` choose the same way.
    if (test.type === "UnaryExpression" && test.operator === "!") return test.argument;
    return t.unaryExpression("!", test);
}

// Each jump in the generated structure, with the loops around it up to the function
// (program statements hold none of ours: their own jumps stay inside them).
function eachJump(list, visit, loops = []) {
    for (let i = 0; i < list.length; ++i) {
        const s = list[i];
        if (s.type === "BreakStatement" || s.type === "ContinueStatement") visit(s, loops, list, i);
        else if (s.type === "IfStatement") {
            eachJump(s.consequent.body, visit, loops);
            if (s.alternate) eachJump(s.alternate.body, visit, loops);
        } else if (s.type === "BlockStatement") eachJump(s.body, visit, loops);
        else if (s.type === "LabeledStatement") {
            const b = s.body;
            if (b.type === "BlockStatement") eachJump(b.body, visit, loops);
            else if (b.vexoBuilt) eachJump(b.body.body, visit, [...loops, s]);
        } else if (s.vexoBuilt) eachJump(s.body.body, visit, [...loops, s]);
    }
}

const jumpMarker = (kind, label) => (s) => s.type === kind && s.label && s.label.name === label;

function pass(body, ends) {
    let changed = false;
    // Tail jumps: the end of the function, of a labelled block, of a loop's body.
    const strip = (list, marker) => eachTail(list, (l, i) => { l.splice(i, 1); changed = true; }, marker);
    if (ends) strip(body, (s) => s.type === "ReturnStatement" && !s.argument);
    const visitLabels = (list) => {
        for (const s of list) {
            if (s.type === "LabeledStatement") {
                const name = s.label.name;
                if (s.body.type === "BlockStatement") {
                    strip(s.body.body, jumpMarker("BreakStatement", name));
                    visitLabels(s.body.body);
                } else if (s.body.vexoBuilt) {
                    strip(s.body.body.body, jumpMarker("ContinueStatement", name));
                    visitLabels(s.body.body.body);
                }
            } else if (s.type === "IfStatement") {
                visitLabels(s.consequent.body);
                if (s.alternate) visitLabels(s.alternate.body);
            } else if (s.type === "BlockStatement") visitLabels(s.body);
            else if (s.vexoBuilt) visitLabels(s.body.body);
        }
    };
    visitLabels(body);
    // A break out of a labelled block that ends in the loop it is in leaves that loop.
    const retarget = (list) => {
        for (const s of list) {
            if (s.type !== "LabeledStatement" || s.body.type !== "BlockStatement") continue;
            const inner = s.body.body, last = inner[inner.length - 1];
            if (last && last.type === "LabeledStatement" && last.body.vexoBuilt) {
                eachJump(last.body.body.body, (j) => {
                    if (j.type === "BreakStatement" && j.label && j.label.name === s.label.name) {
                        j.label = t.identifier(last.label.name);
                        changed = true;
                    }
                });
            }
        }
    };
    // Labels to the innermost loop go; labels no jump names go.
    const used = new Set();
    const walkLists = (list, fn) => {
        fn(list);
        for (const s of list) {
            if (s.type === "IfStatement") {
                walkLists(s.consequent.body, fn);
                if (s.alternate) walkLists(s.alternate.body, fn);
            } else if (s.type === "BlockStatement") walkLists(s.body, fn);
            else if (s.type === "LabeledStatement" && s.body.type === "BlockStatement") walkLists(s.body.body, fn);
            else if (s.type === "LabeledStatement" && s.body.vexoBuilt) walkLists(s.body.body.body, fn);
            else if (s.vexoBuilt) walkLists(s.body.body, fn);
        }
    };
    walkLists(body, retarget);
    eachJump(body, (j, loops) => {
        if (!j.label) return;
        const inner = loops[loops.length - 1];
        if (inner && inner.type === "LabeledStatement" && inner.label.name === j.label.name) {
            j.label = null;
            changed = true;
        } else used.add(j.label.name);
    });
    walkLists(body, (list) => {
        for (let i = 0; i < list.length; ++i) {
            const s = list[i];
            if (s.type === "LabeledStatement" && s.vexoLabel && !used.has(s.label.name)) {
                if (s.body.type === "BlockStatement" && !s.body.body.some(isLexical)) list.splice(i, 1, ...s.body.body);
                else list[i] = s.body;
                changed = true;
                --i;
            } else if (s.type === "IfStatement") {
                if (s.alternate && !s.alternate.body.length) { s.alternate = null; changed = true; }
                if (!s.consequent.body.length && s.alternate) {
                    s.test = negate(s.test);
                    s.consequent = s.alternate;
                    s.alternate = null;
                    changed = true;
                }
            }
        }
    });
    walkLists(body, (list) => {
        for (let i = 0; i < list.length; ++i) {
            const s = list[i];
            if (s.vexoBuilt && shapeLoop(s, null)) changed = true;
            if (s.type === "LabeledStatement" && s.body.vexoBuilt && shapeLoop(s.body, s.label.name)) changed = true;
            if (s.vexoBuilt && !s.label) {
                const after = testedLoop(s);
                if (after) { list.splice(i + 1, 0, ...after); changed = true; }
            }
            // `L: { if (c) break L; rest }` runs the rest only when c is false.
            if (s.type === "LabeledStatement" && s.body.type === "BlockStatement") {
                const inner = s.body.body;
                const k = inner.findIndex((x) => x.type === "IfStatement" && !x.alternate &&
                    only1(x.consequent, (j) => j.type === "BreakStatement" && j.label && j.label.name === s.label.name));
                if (k >= 0 && k < inner.length - 1) {
                    const rest = inner.splice(k + 1);
                    inner[k] = t.ifStatement(negate(inner[k].test), t.blockStatement(rest));
                    changed = true;
                }
            }
        }
    });
    return changed;
}

const bare = (s, kind) => s.type === kind && !s.label;
const only = (block, kind) => block && block.body.length === 1 && bare(block.body[0], kind);

// Whether a bare jump of `kind` in the loop's body belongs to the loop itself.
function hasOwn(list, kind, label) {
    let found = false;
    eachJump(list, (j, loops) => {
        if (j.type === kind && ((!loops.length && !j.label) || (j.label && j.label.name === label))) found = true;
    });
    return found;
}

const only1 = (block, test) => block.body.length === 1 && test(block.body[0]);

// `while (true) { A; if (c) { X; continue; } B }` where B always leaves the loop: the
// loop goes round while c holds, and B runs after it. With A empty it is `while (c) { X }`,
// with X empty `do { A } while (c)`. Returns B (to follow the loop) or null.
function testedLoop(w) {
    if (w.type !== "WhileStatement" || w.test.type !== "BooleanLiteral") return null;
    const body = w.body.body;
    const at = body.findIndex((x) => x.type === "IfStatement" && !x.alternate && x.consequent.body.length &&
        bare(x.consequent.body[x.consequent.body.length - 1], "ContinueStatement"));
    if (at < 0 || at === body.length - 1) return null;
    const a = body.slice(0, at), x = body[at].consequent.body.slice(0, -1), b = body.slice(at + 1);
    if (a.length && x.length) return null;
    // B ends in a jump on every way through it, and its own breaks are those ends.
    let ownEnds = 0, own = 0;
    eachTail(b, () => { ++ownEnds; }, (j) => bare(j, "BreakStatement"));
    eachJump(b, (j, loops) => { if (!loops.length && !j.label) ++own; });
    if (!lastExits(b) || own !== ownEnds || hasOwn(a, "ContinueStatement", null) || hasOwn(b, "ContinueStatement", null))
        return null;
    eachTail(b, (l, i) => l.splice(i, 1), (j) => bare(j, "BreakStatement"));
    if (a.length) w.type = "DoWhileStatement";
    w.test = body[at].test;
    w.body = t.blockStatement(a.length ? a : x);
    return b;
}

// Whether every way through the list ends in a jump or a return.
function lastExits(list) {
    const s = list[list.length - 1];
    if (!s) return false;
    if (/^(Return|Throw|Break|Continue)Statement$/.test(s.type)) return true;
    if (s.type === "IfStatement") return !!s.alternate && lastExits(s.consequent.body) && lastExits(s.alternate.body);
    if (s.type === "BlockStatement") return lastExits(s.body);
    return false;
}

// `while (true)` with the test first or last becomes `while (c)` or `do … while (c)`.
function shapeLoop(w, label) {
    if (w.type !== "WhileStatement" || w.test.type !== "BooleanLiteral") return false;
    const body = w.body.body;
    const first = body[0], last = body[body.length - 1];
    if (first && first.type === "IfStatement") {
        if (body.length === 1 && first.alternate && only(first.alternate, "BreakStatement")) {
            w.test = first.test;
            w.body = first.consequent;
            return true;
        }
        if (only(first.consequent, "BreakStatement")) {
            w.test = negate(first.test);
            body.splice(0, 1, ...(first.alternate ? first.alternate.body : []));
            return true;
        }
    }
    if (last && last.type === "IfStatement" && !last.alternate && only(last.consequent, "BreakStatement") &&
        body.length > 1 && !hasOwn(body.slice(0, -1), "ContinueStatement", label)) {
        w.type = "DoWhileStatement";
        w.test = negate(last.test);
        body.pop();
        return true;
    }
    return false;
}

// `ends`: the statements end the function (a `return;` at their end may go).
export function tidy(body, ends = true) {
    for (let k = 0; k < 50 && pass(body, ends); ++k);
    return body;
}
