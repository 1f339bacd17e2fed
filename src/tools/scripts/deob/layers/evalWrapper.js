// eval / Function / document.write around a string the script computes: the script up
// to that statement runs in the sandbox with those three taken over, and the statement
// becomes the code it would have run.
import { tryParse, generateNode } from "../babel.js";
import { capturePrelude, sandboxJson } from "../sandbox.js";

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

function scriptsOfHtml(html) {
    const parts = [];
    const re = /<script\b[^>]*>([\s\S]*?)<\/script\s*>/gi;
    let m;
    while ((m = re.exec(html))) parts.push(m[1]);
    return parts.length ? parts.join("\n") : null;
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
            let payload = null;
            if (arg.type === "StringLiteral" && kind !== "write") {
                payload = arg.value;
            } else {
                const before = body.slice(0, i).map(generateNode).join("\n");
                const code = capturePrelude +
                    "try { (0, __vexoEval)(" + JSON.stringify(before) + "); } catch (e) {}\n" +
                    "var __vexoMark = __vexoCaptured.length;\n" +
                    "try { (0, __vexoEval)(" + JSON.stringify(generateNode(body[i])) + "); } catch (e) {}\n" +
                    "JSON.stringify(__vexoCaptured.slice(__vexoMark));";
                const captured = sandboxJson(code);
                if (captured.length !== 1) continue;
                payload = captured[0];
            }
            if (kind === "write") payload = scriptsOfHtml(payload);
            if (payload === null) continue;
            const inner = tryParse(payload);
            if (!inner) continue;
            body.splice(i, 1, ...inner.program.body);
            if (inner.program.directives.length && i === 0)
                ast.program.directives.push(...inner.program.directives);
            return true;
        }
        return false;
    },
};
