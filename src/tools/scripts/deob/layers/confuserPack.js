// A program packed into one Function string: `Function("o", "…code…")({ get "k"() { return
// log; }, set "k"(v) { log = v; }, get "t"() { return typeof x; } })`. The code inside
// reads every global through the object's accessors. It becomes the program again, with
// each `o["k"]` back as the global it stands for and its final `return x;` as `x;`.
import { t, traverse, tryParse } from "../babel.js";
import { memberKey, propertyKey, forEachChild } from "../subst.js";
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

// Every name the code declares anywhere (a plain walk: scope data for a whole packed
// program costs seconds, and obfuscator-made names seldom meet the globals).
function declaredNames(node, out) {
    const add = (id) => {
        if (!id) return;
        if (id.type === "Identifier") out.add(id.name);
        else if (id.type === "ObjectPattern") id.properties.forEach((p) => add(p.type === "RestElement" ? p.argument : p.value));
        else if (id.type === "ArrayPattern") id.elements.forEach(add);
        else if (id.type === "AssignmentPattern") add(id.left);
        else if (id.type === "RestElement") add(id.argument);
    };
    const walk = (n) => {
        if (!n || typeof n.type !== "string") return;
        if (n.type === "VariableDeclarator") add(n.id);
        else if (t.isFunction(n) || n.type === "ClassDeclaration" || n.type === "ClassExpression") {
            add(n.id);
            if (n.params) n.params.forEach(add);
        } else if (n.type === "CatchClause") add(n.param);
        else if (n.type === "ImportSpecifier" || n.type === "ImportDefaultSpecifier" || n.type === "ImportNamespaceSpecifier") add(n.local);
        forEachChild(n, walk);
    };
    walk(node);
    return out;
}

function unpack(ast) {
    let program = null;
    traverse(ast, { Program(p) { program = p; p.stop(); } });
    const packed = packedCall(ast.program, program.scope);
    if (!packed) return false;
    const inner = tryParse(packed.body);
    if (!inner || inner.program.directives.some((d) => d.value.value === "use strict")) return false;
    const { param, map } = packed;
    const declared = declaredNames(inner.program, new Set());
    if (declared.has(param) || [...map.values()].some((e) => declared.has(e.name))) return false;
    const body = inner.program.body;
    let ok = true;
    // depth: functions (not arrows) around the node, for `this` and `arguments`; any
    // function at all, for `return`.
    const walk = (node, parent, key, index, depth, any) => {
        if (!ok || !node || typeof node.type !== "string") return;
        if (depth === 0 && (node.type === "ThisExpression" || node.type === "Identifier" && node.name === "arguments") ||
            any === 0 && node.type === "ReturnStatement" && node !== body[body.length - 1]) { ok = false; return; }
        if (node.type === "MemberExpression" && node.object.type === "Identifier" && node.object.name === param) {
            const k = memberKey(node);
            const entry = k !== null && map.get(k);
            if (!entry) { ok = false; return; }
            const written = (parent.type === "AssignmentExpression" && key === "left") || parent.type === "UpdateExpression";
            if ((written && entry.set === undefined) || (written && entry.kind === "typeof")) { ok = false; return; }
            const out = entry.kind === "typeof" ? t.unaryExpression("typeof", t.identifier(entry.name)) : t.identifier(entry.name);
            if (index === null) parent[key] = out;
            else parent[key][index] = out;
            return;
        }
        if (node.type === "Identifier" && node.name === param) { ok = false; return; }
        const fn = t.isFunction(node);
        const inner = fn && node.type !== "ArrowFunctionExpression" ? depth + 1 : depth;
        const innerAny = fn ? any + 1 : any;
        for (const k of t.VISITOR_KEYS[node.type] || []) {
            const c = node[k];
            if (Array.isArray(c)) for (let i = 0; i < c.length; ++i) walk(c[i], node, k, i, inner, innerAny);
            else walk(c, node, k, null, inner, innerAny);
        }
    };
    walk(inner.program, null, null, null, 0, 0);
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
    run(ast) {
        return unpack(ast);
    },
};
