// A program packed into one Function string: `Function("o", "…code…")({ get "k"() { return
// log; }, set "k"(v) { log = v; }, get "t"() { return typeof x; } })`. The code inside
// reads every global through the object's accessors. It becomes the program again, with
// each `o["k"]` back as the global it stands for and its final `return x;` as `x;`.
import { t, traverse, tryParse } from "../babel.js";
import { memberKey, propertyKey } from "../subst.js";
import { isPlainName } from "../constant.js";

// The global an accessor object maps each key to: { name, kind: "get" | "typeof", set }.
function accessorMap(object) {
    if (!object || object.type !== "ObjectExpression") return null;
    const map = new Map();
    for (const p of object.properties) {
        if (p.type !== "ObjectMethod" || p.computed && p.key.type !== "StringLiteral") return null;
        const key = propertyKey(p) ?? (p.key.type === "StringLiteral" ? p.key.value : null);
        if (key === null || p.async || p.generator) return null;
        const body = p.body.body;
        if (body.length !== 1) return null;
        const entry = map.get(key) || {};
        if (p.kind === "get") {
            const r = body[0];
            if (r.type !== "ReturnStatement" || !r.argument) return null;
            let a = r.argument, kind = "get";
            if (a.type === "UnaryExpression" && a.operator === "typeof") { a = a.argument; kind = "typeof"; }
            if (a.type !== "Identifier") return null;
            entry.name = a.name;
            entry.kind = kind;
        } else if (p.kind === "set") {
            const s = body[0], v = p.params[0];
            if (p.params.length !== 1 || !v || v.type !== "Identifier" || s.type !== "ExpressionStatement") return null;
            const e = s.expression;
            if (e.type !== "AssignmentExpression" || e.operator !== "=" || e.left.type !== "Identifier" ||
                e.right.type !== "Identifier" || e.right.name !== v.name) return null;
            entry.set = e.left.name;
        } else {
            return null;
        }
        map.set(key, entry);
    }
    for (const e of map.values()) {
        if (!e.name || (e.set !== undefined && e.set !== e.name) || !isPlainName(e.name)) return null;
    }
    return map;
}

// Function(param, body)(accessors) as the program's only statement.
function packedCall(program, scope) {
    if (program.body.length !== 1 || program.body[0].type !== "ExpressionStatement") return null;
    const call = program.body[0].expression;
    if (call.type !== "CallExpression" || call.arguments.length !== 1) return null;
    const make = call.callee;
    if (make.type !== "CallExpression" || make.callee.type !== "Identifier" || make.callee.name !== "Function" ||
        scope.hasBinding("Function", true)) return null;
    const args = make.arguments;
    if (args.length !== 2 || !args.every((a) => a.type === "StringLiteral") || !isPlainName(args[0].value)) return null;
    const map = accessorMap(call.arguments[0]);
    return map ? { param: args[0].value, body: args[1].value, map } : null;
}

function unpack(ast) {
    let program = null;
    traverse(ast, { Program(p) { program = p; p.stop(); } });
    const packed = packedCall(ast.program, program.scope);
    if (!packed) return false;
    const inner = tryParse(packed.body);
    if (!inner || inner.program.directives.some((d) => d.value.value === "use strict")) return false;
    const { param, map } = packed;
    let ok = true;
    const body = inner.program.body;
    traverse(inner, {
        Program(p) {
            // The code's own top-level names must not meet the globals it reads.
            for (const e of map.values()) if (p.scope.hasOwnBinding(e.name)) ok = false;
            if (p.scope.hasOwnBinding(param)) ok = false;
        },
        ThisExpression(p) { if (!p.getFunctionParent()) ok = false; },
        Identifier(p) {
            if (!ok || p.node.name === "arguments" && !p.getFunctionParent() && p.isReferencedIdentifier()) ok = false;
            if (p.node.name !== param || !p.isReferencedIdentifier() || p.scope.getBinding(param)) return;
            const m = p.parentPath;
            const key = m.isMemberExpression() && m.node.object === p.node ? memberKey(m.node) : null;
            const entry = key !== null && map.get(key);
            if (!entry) { ok = false; return; }
            if (p.scope.hasBinding(entry.name, true)) { ok = false; return; }
            const written = (m.parentPath.isAssignmentExpression() && m.parentPath.node.left === m.node) ||
                m.parentPath.isUpdateExpression();
            if (written && entry.set === undefined) { ok = false; return; }
            if (entry.kind === "typeof") {
                if (written) { ok = false; return; }
                m.replaceWith(t.unaryExpression("typeof", t.identifier(entry.name)));
            } else {
                m.replaceWith(t.identifier(entry.name));
            }
        },
        ReturnStatement(p) {
            if (!p.getFunctionParent() && (p.parentPath.node !== inner.program || p.node !== body[body.length - 1]))
                ok = false;
        },
    });
    if (!ok) return false;
    const last = body[body.length - 1];
    if (last && last.type === "ReturnStatement") {
        if (last.argument) body[body.length - 1] = t.expressionStatement(last.argument);
        else body.pop();
    }
    ast.program.body = body;
    ast.program.directives = inner.program.directives;
    return true;
}

export const confuserPack = {
    name: "Function 字符串打包",
    detect: (code) => /\bFunction\s*\(/.test(code),
    reparse: true,
    run(ast) {
        return unpack(ast);
    },
};
