// eval / Function / document.write around a string the script computes: the script up
// to that statement runs in the sandbox with those three taken over, and the statement
// becomes the code it would have run.
import { t, tryParse, generateNode } from "../babel.js";
import { forEachChild, forgetSeparators } from "../subst.js";
import { capturePrelude, sandboxJson } from "../sandbox.js";
import { excess, tooLarge } from "../size.js";

function isName(node, name) {
    return node.type === "Identifier" && node.name === name;
}

// eval, window.eval, (0, eval)
function isEvalCallee(c) {
    if (isName(c, "eval")) return true;
    if (c.type === "MemberExpression" && !c.computed && isName(c.property, "eval") &&
        (isName(c.object, "window") || isName(c.object, "globalThis") || isName(c.object, "self")))
        return true;
    return c.type === "SequenceExpression" && c.expressions.length === 2 &&
        c.expressions[0].type === "NumericLiteral" && isName(c.expressions[1], "eval");
}

// What the statement hands over: "eval", "function" or "write"; null when it is none.
function wrapperKind(stmt) {
    if (stmt.type !== "ExpressionStatement") return null;
    const e = stmt.expression;
    if (e.type !== "CallExpression") return null;
    if (isEvalCallee(e.callee) && e.arguments.length === 1) return "eval";
    const c = e.callee;
    if ((c.type === "CallExpression" || c.type === "NewExpression") && isName(c.callee, "Function") &&
        c.arguments.length === 1 && e.arguments.length === 0)
        return "function";
    if (c.type === "MemberExpression" && !c.computed && isName(c.object, "document") &&
        (isName(c.property, "write") || isName(c.property, "writeln")) && e.arguments.length >= 1)
        return "write";
    return null;
}

function payloadArgument(stmt, kind) {
    const e = stmt.expression;
    return kind === "function" ? e.callee.arguments[0] : e.arguments[0];
}

// The payload parsed, or null; a payload over the size limit ends the run before its
// parse (which takes about a hundred times the text).
function parsePayload(payload) {
    if (payload === null) return null;
    const bytes = excess(payload);
    if (bytes) throw tooLarge(evalWrappers.name, bytes);
    const ast = tryParse(payload);
    if (ast) forgetSeparators(ast.program);
    return ast;
}

function scriptsOfHtml(html) {
    const parts = [];
    const re = /<script\b[^>]*>([\s\S]*?)<\/script\s*>/gi;
    let m;
    while ((m = re.exec(html))) parts.push(m[1]);
    return parts.length ? parts.join("\n") : null;
}

// What the statement would have run, computed in the sandbox: the script's statements
// before it run first (with eval, Function and document.write taken over), then the
// statement itself; null unless it handed over exactly one text.
function capturedPayload(before, statement) {
    const code = capturePrelude +
        "try { (0, __vexoEval)(" + JSON.stringify(before.map(generateNode).join("\n")) + "); } catch (e) {}\n" +
        "var __vexoMark = __vexoCaptured.length;\n" +
        "try { (0, __vexoEval)(" + JSON.stringify(generateNode(statement)) + "); } catch (e) {}\n" +
        "JSON.stringify(__vexoCaptured.slice(__vexoMark));";
    const captured = sandboxJson(code);
    return captured.length === 1 ? captured[0] : null;
}

// The statements that take the wrapper's place. let, const and class declared by eval or
// Function code belong to that code alone, so they stay inside a block of their own; a
// written <script> shares the page's scope.
function replacement(inner, kind) {
    const statements = inner.program.body;
    const lexical = statements.some((st) => (st.type === "VariableDeclaration" && st.kind !== "var") ||
        st.type === "ClassDeclaration");
    return lexical && kind !== "write" ? [t.blockStatement(statements)] : statements;
}

// A return or `arguments` outside the nested functions of a Function body.
function leavesItsFunction(program) {
    let found = false;
    // (An arrow's return is its own; its `arguments` are the body's.)
    const walk = (x, inArrow) => {
        if (found || t.isFunction(x) && x.type !== "ArrowFunctionExpression") return;
        if ((x.type === "ReturnStatement" && !inArrow) || isName(x, "arguments")) { found = true; return; }
        forEachChild(x, (c) => walk(c, inArrow || x.type === "ArrowFunctionExpression"));
    };
    walk(program, false);
    return found;
}

// (function () { …; eval(x); … })() and its !function / arrow forms: the function.
function immediateFunction(stmt) {
    if (stmt.type !== "ExpressionStatement") return null;
    let e = stmt.expression;
    if (e.type === "UnaryExpression" && e.operator !== "delete") e = e.argument;
    if (e.type !== "CallExpression" || e.arguments.length !== 0) return null;
    const fn = e.callee;
    if ((fn.type !== "FunctionExpression" && fn.type !== "ArrowFunctionExpression") || fn.async ||
        fn.generator || fn.params.length !== 0 || fn.body.type !== "BlockStatement") return null;
    return fn;
}

// How many direct eval calls a subtree holds.
function directEvals(node) {
    let n = 0;
    const walk = (x) => {
        if (x.type === "CallExpression" && isName(x.callee, "eval")) ++n;
        forEachChild(x, walk);
    };
    walk(node);
    return n;
}

export const evalWrappers = {
    name: "eval/Function/document.write 包装",
    reparse: true, // the payload's nodes carry positions of another text
    run(ast) {
        const body = ast.program.body;
        for (let i = 0; i < body.length; ++i) {
            const kind = wrapperKind(body[i]);
            if (!kind) continue;
            const arg = payloadArgument(body[i], kind);
            let payload = arg.type === "StringLiteral" && kind !== "write" ? arg.value
                : capturedPayload(body.slice(0, i), body[i]);
            if (kind === "write" && payload !== null) payload = scriptsOfHtml(payload);
            const inner = parsePayload(payload);
            if (!inner) continue;
            // A function body that returns or reads its arguments stays a function (the
            // hand-off layer makes it one); at the top it would end the script.
            if (kind === "function" && leavesItsFunction(inner.program)) continue;
            body.splice(i, 1, ...replacement(inner, kind));
            if (inner.program.directives.length && i === 0)
                ast.program.directives.push(...inner.program.directives);
            return true;
        }
        // A direct eval that is a statement of an immediately called function runs its
        // text in that function's scope: the text takes its place there. (Function and
        // document.write code would run at the top instead, so those stay.)
        for (let i = 0; i < body.length; ++i) {
            const fn = immediateFunction(body[i]);
            if (!fn || directEvals(fn.body) !== 1) continue;
            const statements = fn.body.body;
            const j = statements.findIndex((st) => wrapperKind(st) === "eval" && isName(st.expression.callee, "eval"));
            if (j < 0) continue;
            const arg = statements[j].expression.arguments[0];
            const payload = arg.type === "StringLiteral" ? arg.value : capturedPayload(body.slice(0, i), body[i]);
            const inner = parsePayload(payload);
            if (!inner || inner.program.directives.length) continue;
            statements.splice(j, 1, ...replacement(inner, "eval"));
            return true;
        }
        return false;
    },
};
