// Three small shapes that hide plain code behind a name:
// - arrays of literals that every use reads at a constant index (`const k = [0x1, "length"];
//   s[k[1]]`), left by duplicate-literal removal: each read becomes its literal;
// - calls of a function that does nothing, made statements of their own to carry a comma
//   list (`noop(a = 1, b(), c = 2);` where `function noop() { noop = function () {}; }`):
//   the arguments become the statements;
// - tests whether a key is `in` a function that has no properties (`"x7" in empty`), which
//   are always false: the test becomes `false` and the dead-branch layer does the rest.
import { t, traverse, freshScopes } from "../babel.js";
import { constantValue, isPrintable, literalFor } from "../constant.js";
import { sweepUnused } from "./confuserCleanup.js";

function literalElements(node) {
    if (!node || node.type !== "ArrayExpression" || node.elements.length === 0) return null;
    const values = [];
    for (const e of node.elements) {
        if (!e || e.type === "SpreadElement") return null;
        const v = constantValue(e, null);
        if (!v || !(isPrintable(v.value) || v.value === undefined)) return null;
        values.push(v.value);
    }
    return values;
}

// Every use of the binding is a read `name[i]`: those at a constant index in range, and
// (index -1) those at an index the code computes.
function constantReads(binding, size) {
    if (binding.constantViolations.length || !binding.referencePaths.length) return null;
    const reads = [];
    for (const ref of binding.referencePaths) {
        const m = ref.parentPath;
        if (!m.isMemberExpression() || m.node.object !== ref.node || !m.node.computed) return null;
        const p = m.parentPath;
        if ((p.isAssignmentExpression() && p.node.left === m.node) || p.isUpdateExpression() ||
            (p.isUnaryExpression() && p.node.operator === "delete") ||
            ((p.isForInStatement() || p.isForOfStatement()) && p.node.left === m.node)) return null;
        // A read at an index the code computes (flattened control flow) stays as it is.
        const v = constantValue(m.node.property, m);
        if (!v || typeof v.value !== "number") { reads.push({ member: m, index: -1 }); continue; }
        if (!Number.isInteger(v.value) || v.value < 0 || v.value >= size) return null;
        reads.push({ member: m, index: v.value });
    }
    return reads;
}

function inlineLiteralArrays(ast) {
    let changed = false;
    traverse(ast, {
        VariableDeclarator(path) {
            const id = path.node.id;
            if (id.type !== "Identifier") return;
            const values = literalElements(path.node.init);
            if (!values) return;
            const binding = path.scope.getBinding(id.name);
            if (!binding || binding.path !== path) return;
            const reads = constantReads(binding, values.length);
            // Duplicate-literal removal keeps literals the code writes at least twice: a
            // table of them is read about twice per element. A program's own small array
            // read here and there stays as it is.
            if (!reads || values.length < 2 || reads.length < 2 * values.length) return;
            let kept = false;
            for (const r of reads) {
                if (r.index < 0) { kept = true; continue; }
                const v = values[r.index];
                r.member.replaceWith(v === undefined ? t.unaryExpression("void", t.numericLiteral(0)) : literalFor(v));
                changed = true;
            }
            if (!kept) {
                path.remove();
                changed = true;
            }
        },
    });
    return changed;
}

// function f() {} or function f() { f = function () {}; }
function doesNothing(fn) {
    if (fn.params.length || fn.async || fn.generator) return false;
    const body = fn.body.body;
    if (body.length === 0) return true;
    if (body.length !== 1 || body[0].type !== "ExpressionStatement") return false;
    const e = body[0].expression;
    return e.type === "AssignmentExpression" && e.operator === "=" && e.left.type === "Identifier" &&
        e.left.name === fn.id.name && e.right.type === "FunctionExpression" && e.right.params.length === 0 &&
        e.right.body.body.length === 0;
}

function unwrapNoopCalls(ast) {
    let changed = false;
    traverse(ast, {
        FunctionDeclaration(path) {
            const fn = path.node;
            if (!fn.id || !doesNothing(fn)) return;
            const binding = path.parentPath.scope.getBinding(fn.id.name);
            if (!binding || binding.path !== path) return;
            const inside = (p) => p.findParent((q) => q === path);
            const violations = binding.constantViolations.filter((v) => !inside(v));
            if (violations.length) return;
            const statements = [];
            for (const ref of binding.referencePaths) {
                if (inside(ref)) continue;
                const call = ref.parentPath;
                if (!call.isCallExpression() || call.node.callee !== ref.node || !call.parentPath.isExpressionStatement())
                    return;
                if (call.node.arguments.some((a) => a.type === "SpreadElement")) return;
                const stmt = call.parentPath;
                if (!stmt.parentPath.isBlockStatement() && !stmt.parentPath.isProgram() &&
                    !stmt.parentPath.isSwitchCase()) return;
                statements.push(stmt);
            }
            if (!statements.length) return;
            for (const s of statements) {
                // Names in scope and literals do nothing as statements of their own.
                const args = s.node.expression.arguments.filter((a) => !t.isLiteral(a) &&
                    !(a.type === "Identifier" && s.scope.hasBinding(a.name, true)));
                if (args.length) s.replaceWithMultiple(args.map((a) => t.expressionStatement(a)));
                else s.remove();
            }
            path.remove();
            changed = true;
        },
    });
    return changed;
}

// A function declaration with no properties given anywhere: every use is `"k" in f`.
function falseMembershipTests(ast) {
    let changed = false;
    traverse(ast, {
        FunctionDeclaration(path) {
            const fn = path.node;
            if (!fn.id || fn.params.length || fn.body.body.length) return;
            const binding = path.parentPath.scope.getBinding(fn.id.name);
            if (!binding || binding.path !== path || binding.constantViolations.length) return;
            const tests = [];
            for (const ref of binding.referencePaths) {
                const p = ref.parentPath;
                if (!p.isBinaryExpression({ operator: "in" }) || p.node.right !== ref.node) return;
                const key = constantValue(p.node.left, p);
                // Keys every function has (length, name, prototype) are in it.
                if (!key || typeof key.value !== "string" || key.value in function () {}) return;
                tests.push(p);
            }
            if (!tests.length) return;
            // `if ("k" in f) dead();` goes at once, with the functions only it called
            // (the dead code's own); the other tests are left to constant folding.
            const removed = new Set([path]), used = new Set();
            for (const p of tests) {
                const parent = p.parentPath;
                if (parent.isIfStatement() && parent.node.test === p.node) {
                    parent.get("consequent").traverse({
                        Identifier(q) { const b = q.scope.getBinding(q.node.name); if (b) used.add(b); },
                    });
                    removed.add(parent);
                    if (parent.node.alternate) parent.replaceWith(parent.node.alternate);
                    else parent.remove();
                } else {
                    p.replaceWith(t.booleanLiteral(false));
                }
            }
            path.remove();
            sweepUnused(used, removed);
            changed = true;
        },
    });
    return changed;
}

export const literalArrays = {
    name: "重复字面量数组",
    detect: (code) => /\[\s*[^\]]/.test(code),
    run(ast) {
        freshScopes();
        return inlineLiteralArrays(ast);
    },
};

export const noopCalls = {
    name: "空函数调用拆分",
    run(ast) {
        freshScopes();
        return unwrapNoopCalls(ast);
    },
};

export const emptyFunctionTests = {
    name: "不透明谓词（空函数属性）",
    detect: (code) => /\bin\b/.test(code),
    run(ast) {
        freshScopes();
        return falseMembershipTests(ast);
    },
};
