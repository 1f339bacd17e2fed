// The modules of a bundle linked into one scope, without the loader, as a scope-hoisting
// bundler lays them out: each module's code once, before the first module that needs it,
// `require("./a.js")` read as a.js's exports, `module.exports = x` / `exports.k = x` as a
// variable of its own, clashing names renamed. Only where nothing can tell: every module
// requires what it needs at its top, before its own code (so the order the modules run
// in stays), with names the bundle keeps (no require of a computed name), never in a
// circle, and uses `module` and `exports` only to give its exports (not `this`, not a
// top-level `return`, no directive). Anything else: null, and the loader stays.
import { t, traverse, parse, generate } from "./babel.js";

function isRequire(node) {
    return node && node.type === "CallExpression" && node.callee.type === "Identifier" && node.callee.name === "require" &&
        node.arguments.length === 1 && node.arguments[0].type === "StringLiteral";
}

// The file a require names, from the file it is in (both as unbundle.js names them).
function resolveName(from, spec) {
    if (!/^\.\.?\//.test(spec)) return null;
    const parts = from.split("/").slice(0, -1);
    for (const s of spec.split("/")) {
        if (s === "..") { if (!parts.length) return null; parts.pop(); } else if (s !== ".") parts.push(s);
    }
    return parts.join("/");
}

// `var t = module;` / `var n = exports;` (as minifiers write them): each use of the alias
// becomes the name itself. False when a use sits where that name means something else.
function dropAliases(ast) {
    let ok = true;
    traverse(ast, {
        Program(p) {
            for (const stmt of p.get("body")) {
                if (!stmt.isVariableDeclaration() || stmt.node.declarations.length !== 1) continue;
                const d = stmt.node.declarations[0];
                if (d.id.type !== "Identifier" || !d.init || d.init.type !== "Identifier" ||
                    (d.init.name !== "module" && d.init.name !== "exports") || p.scope.hasBinding(d.init.name)) continue;
                const b = p.scope.getBinding(d.id.name);
                if (!b || b.constantViolations.length) { ok = false; continue; }
                for (const ref of b.referencePaths) {
                    if (ref.scope.getBinding(d.init.name)) { ok = false; return; }
                    ref.replaceWith(t.identifier(d.init.name));
                }
                stmt.remove();
            }
            p.stop();
        },
    });
    return ok;
}

// A declaration whose running has no effect of its own (nor can fail).
function runsNothing(s) {
    if (s.type === "FunctionDeclaration") return true;
    if (s.type !== "VariableDeclaration") return false;
    const pure = (n) => !n || ["NumericLiteral", "StringLiteral", "BooleanLiteral", "NullLiteral", "FunctionExpression",
        "ArrowFunctionExpression"].includes(n.type) || (n.type === "ObjectExpression" && !n.properties.length) ||
        (n.type === "ArrayExpression" && !n.elements.length);
    return s.declarations.every((d) => d.id.type === "Identifier" && pure(d.init));
}

// `(() => { … })();` or `(function () { … })();`: the function, else null.
function calledAtOnce(s) {
    if (s.type !== "ExpressionStatement" || s.expression.type !== "CallExpression" || s.expression.arguments.length) return null;
    const f = s.expression.callee;
    if ((f.type !== "ArrowFunctionExpression" && f.type !== "FunctionExpression") || f.params.length || f.async ||
        f.generator || f.body.type !== "BlockStatement" || f.body.directives.length) return null;
    return f;
}

function requiresAt(list) {
    return list.some((s) => /require/.test(generate(t.file(t.program([t.cloneNode(s)])))));
}

// A module's shape: { ast, requires: [{ name, node }], free: Set of globals it reads,
// exportsMode: "object" | "value" | "none" } or null when it cannot be linked.
function moduleShape(file, names) {
    let ast;
    try {
        ast = parse(file.code);
    } catch (e) {
        return null;
    }
    if (ast.program.sourceType === "module" || ast.program.directives.length) return null;
    // A module whose code is one block (as the eval devtool leaves it): the block's
    // statements (with nothing around it, its scope is the module's).
    const top = ast.program.body.filter((s) => s.type !== "EmptyStatement");
    if (top.length === 1 && top[0].type === "BlockStatement") {
        ast.program.body = top[0].body;
        ast = parse(generate(ast)); // the scopes as they are now
    }
    if (!dropAliases(ast)) return null;
    // The requires come first: at the module's top, after declarations that run nothing,
    // or at the start of a function the top calls at once (`(() => { var a = require(…); … })()`).
    let body = ast.program.body;
    const requires = [];
    let i = 0;
    while (i < body.length && runsNothing(body[i])) ++i;
    const iife = body[i] && calledAtOnce(body[i]);
    if (iife && !requiresAt(body.slice(0, i))) { body = iife.body.body; i = 0; }
    for (; i < body.length; ++i) {
        const s = body[i];
        let call = null;
        if (s.type === "ExpressionStatement" && isRequire(s.expression)) call = s.expression;
        else if (s.type === "VariableDeclaration" && s.declarations.length === 1 && s.declarations[0].id.type === "Identifier" &&
            isRequire(s.declarations[0].init)) call = s.declarations[0].init;
        if (!call) break;
        const name = resolveName(file.name, call.arguments[0].value);
        if (!name || !names.has(name)) return null;
        requires.push({ name, call, statement: s });
    }
    let ok = true, valueExports = 0, objectExports = false;
    const free = new Set();
    traverse(ast, {
        Program(p) {
            for (const n of Object.keys(p.scope.globals)) free.add(n);
        },
        ThisExpression(p) {
            if (!p.findParent((q) => q.isFunction() && !q.isArrowFunctionExpression())) ok = false;
        },
        ReturnStatement(p) {
            if (!p.getFunctionParent()) ok = false;
        },
        Identifier(p) {
            const n = p.node.name;
            if (!p.isReferencedIdentifier() || p.scope.hasBinding(n, true)) return;
            if (n === "arguments" && !p.getFunctionParent()) ok = false;
            if (n === "require" && !requires.some((r) => r.call.callee === p.node)) ok = false;
            if (n === "exports") {
                // exports.k, read or written
                if (!(p.parent.type === "MemberExpression" && p.parent.object === p.node && !p.parent.computed)) ok = false;
                objectExports = true;
            }
            if (n === "module") {
                const m = p.parent;
                if (m.type !== "MemberExpression" || m.object !== p.node || m.computed || m.property.name !== "exports") { ok = false; return; }
                const up = p.parentPath.parentPath;
                if (up.isMemberExpression() && up.node.object === m && !up.node.computed) { objectExports = true; return; }
                // module.exports = value, as a statement of the module's top
                if (up.isAssignmentExpression() && up.node.left === m && up.node.operator === "=" &&
                    up.parentPath.isExpressionStatement() && up.parentPath.parentPath.isProgram()) { ++valueExports; return; }
                ok = false;
            }
        },
    });
    if (!ok || valueExports > 1 || (valueExports && objectExports)) return null;
    return { ast, requires, free, exportsMode: valueExports ? "value" : objectExports ? "object" : "none" };
}

// One script from the files of unbundle(), or null.
export function linkModules(files) {
    if (files.some((f) => !/\.js$/.test(f.name) || f.name === "webpack-runtime.js")) return null;
    const entry = files.find((f) => f.entry);
    if (!entry) return null;
    const byName = new Map(files.map((f) => [f.name, f]));
    const names = new Set(byName.keys());
    const shapes = new Map();
    for (const [name, f] of byName) {
        const s = moduleShape(f, names);
        if (!s) return null;
        shapes.set(name, s);
    }
    // The order the modules run in: each before the first module that requires it.
    const order = [], state = new Map();
    const visit = (name) => {
        if (state.get(name) === "done") return true;
        if (state.get(name) === "open") return false; // a circle: the loader's half-done exports
        state.set(name, "open");
        for (const r of shapes.get(name).requires) if (!visit(r.name)) return false;
        state.set(name, "done");
        order.push(name);
        return true;
    };
    if (!visit(entry.name)) return null;
    // Names: every module's top-level names and the globals any module reads are taken.
    // A new name is also none that any module writes anywhere (a local of that name
    // would hide it).
    const taken = new Set(), anywhere = new Set();
    for (const name of order) {
        for (const n of shapes.get(name).free) taken.add(n);
        traverse(shapes.get(name).ast, { Identifier(p) { anywhere.add(p.node.name); } });
    }
    const fresh = (want) => {
        let n = want;
        if (taken.has(n) || want.endsWith("Exports")) for (let k = 2; taken.has(n) || anywhere.has(n); ++k) n = want + k;
        taken.add(n);
        return n;
    };
    const exportsName = new Map();
    const out = [];
    for (const name of order) {
        const s = shapes.get(name);
        let program = null;
        traverse(s.ast, { Program(p) { program = p; p.stop(); } });
        for (const own of Object.keys(program.scope.bindings)) {
            const n = fresh(own);
            if (n !== own) program.scope.rename(own, n);
        }
        const base = name.split("/").pop().replace(/\.js$/, "").replace(/[^\w$]+(\w)?/g, (m, c) => (c || "").toUpperCase())
            .replace(/^(\d)/, "_$1");
        exportsName.set(name, fresh(base + "Exports"));
    }
    for (const name of order) {
        const s = shapes.get(name);
        const exp = exportsName.get(name);
        for (const r of s.requires) {
            const target = exportsName.get(r.name);
            if (r.statement.type === "ExpressionStatement") r.statement.type = "EmptyStatement";
            else r.statement.declarations[0].init = t.identifier(target);
        }
        traverse(s.ast, {
            Identifier(p) {
                const n = p.node.name;
                if ((n !== "exports" && n !== "module") || !p.isReferencedIdentifier() || p.scope.hasBinding(n, true)) return;
                if (n === "exports") p.replaceWith(t.identifier(exp));
                else p.parentPath.replaceWith(t.identifier(exp));
            },
        });
        const body = s.ast.program.body.filter((st) => st.type !== "EmptyStatement");
        if (exp) body.unshift(t.variableDeclaration("var", [t.variableDeclarator(t.identifier(exp), t.objectExpression([]))]));
        out.push(...body);
    }
    // One function around it all: the modules' names stay out of the global scope, as
    // in the bundle.
    const wrapped = t.expressionStatement(t.callExpression(t.functionExpression(null, [], t.blockStatement(out)), []));
    return generate(t.file(t.program([wrapped])));
}
