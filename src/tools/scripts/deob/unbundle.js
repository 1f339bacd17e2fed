// The modules of a bundle (webpack 4/5 module maps and chunks, browserify, esbuild's
// __commonJS wrappers) as files of their own: one CommonJS file per module, named from
// the bundle's own module names where it keeps them (else module-<id>.js), the loader's
// calls turned into require() between the files, and an entry file that runs what the
// bundle ran at its start. Returns null when the bundle is not one of these or a module
// still needs the loader's private state.
import { t, traverse, parse, generate } from "./babel.js";
import { propertyKey } from "./subst.js";
import { webpackRuntime } from "./unbundleRuntime.js";

const runtimeFile = "webpack-runtime.js";

function isFunctionNode(n) {
    return n && (n.type === "FunctionExpression" || n.type === "ArrowFunctionExpression" || n.type === "ObjectMethod");
}

// { id → function } of an object or array of module functions (at least one).
function moduleMap(node) {
    const map = new Map();
    if (!node) return null;
    if (node.type === "ArrayExpression") {
        node.elements.forEach((e, i) => { if (e) map.set(String(i), e); });
        if (!node.elements.every((e) => !e || isFunctionNode(e))) return null;
    } else if (node.type === "ObjectExpression") {
        for (const p of node.properties) {
            const key = p.type === "SpreadElement" ? null : propertyKey(p);
            const fn = p.type === "ObjectMethod" ? p : p.value;
            if (key === null || !isFunctionNode(fn) || (p.type === "ObjectMethod" && p.kind !== "method")) return null;
            map.set(key, fn);
        }
    } else {
        return null;
    }
    return map.size ? map : null;
}

// A file name from a module's name: "./src/a.js" → "src/a.js"; none for numbers.
function fileNameOf(id) {
    if (/^\d+$/.test(id)) return null;
    let name = id.replace(/^(?:\.\/|\.\.\/)+/, "").replace(/^[a-z]+:\/*/i, "").replace(/[?#!].*$/, "");
    name = name.split("/").filter((s) => s && s !== "." && s !== "..").map((s) => s.replace(/[^\w.\-\u4e00-\u9fff]/g, "_")).join("/");
    if (!name) return null;
    return /\.[cm]?js$/.test(name) ? name.replace(/\.[cm]js$/, ".js") : name + ".js";
}

function uniqueNames(ids, named) {
    const used = new Set(), out = new Map();
    for (const id of ids) {
        let name = named(id) || "module-" + id.replace(/[^\w-]/g, "_") + ".js";
        for (let k = 2; used.has(name); ++k) name = name.replace(/(?:-\d+)?\.js$/, "-" + k + ".js");
        used.add(name);
        out.set(id, name);
    }
    return out;
}

// The path from file `from` to file `to`, as require() takes it.
function relative(from, to) {
    const a = from.split("/").slice(0, -1), b = to.split("/");
    while (a.length && b.length > 1 && a[0] === b[0]) { a.shift(); b.shift(); }
    return (a.length ? a.map(() => "..").join("/") + "/" : "./") + b.join("/");
}

const requireOf = (from, to) => t.callExpression(t.identifier("require"), [t.stringLiteral(relative(from, to))]);

// Every call of `binding` with a module id as its argument becomes a require() of that
// module's file; true when the binding is still used otherwise.
function replaceLoaderCalls(binding, idOf, file) {
    let other = false;
    const replaced = [];
    for (const ref of binding.referencePaths) {
        if (replaced.some((r) => ref.isDescendant(r))) continue; // R(R.s = 0)
        const call = ref.parentPath;
        if (call.isCallExpression({ callee: ref.node }) && call.node.arguments.length >= 1) {
            let arg = call.node.arguments[0];
            // R(R.s = 0): the start, which also notes the entry's id
            if (arg.type === "AssignmentExpression" && arg.operator === "=") arg = arg.right;
            const id = arg.type === "StringLiteral" ? arg.value : arg.type === "NumericLiteral" ? String(arg.value) : null;
            const target = id === null ? null : idOf(id);
            if (target) {
                call.replaceWith(requireOf(file, target));
                replaced.push(call);
                continue;
            }
        }
        other = true;
    }
    return other;
}

// The statements of a module function, with the names the loader gave its parameters
// bound to what a CommonJS file has (those the module uses).
function moduleFile(fnPath, given) {
    const fn = fnPath.node;
    const body = fn.body.type === "BlockStatement" ? fn.body : t.blockStatement([t.returnStatement(fn.body)]);
    const prelude = [];
    fn.params.forEach((p, i) => {
        if (p.type !== "Identifier" || i >= given.length || !given[i] || p.name === given[i]) return;
        const b = fnPath.scope.getBinding(p.name);
        if (b && !b.referencePaths.some((r) => !r.removed && r.findParent((q) => q.node === fn)) &&
            !b.constantViolations.length) return;
        prelude.push(t.variableDeclaration("var", [t.variableDeclarator(t.identifier(p.name), given[i] === "require:runtime"
            ? t.callExpression(t.identifier("require"), [t.stringLiteral("./" + runtimeFile)])
            : t.identifier(given[i]))]));
    });
    return { directives: body.directives, body: prelude.concat(body.body) };
}

// The loader's banners (/******/, /*!*** ./a.js ***!*/) say nothing in a file of its own.
function dropBanners(program) {
    const keep = (list) => list && list.filter((c) => !/^[*\s]*$/.test(c.value) && !/^!\*{3}/.test(c.value.trim()));
    traverse(t.file(program), {
        enter(p) {
            const n = p.node;
            for (const k of ["leadingComments", "trailingComments", "innerComments"]) if (n[k]) n[k] = keep(n[k]);
        },
    });
}

function printFile(header, file) {
    const program = t.program(file.body, file.directives);
    dropBanners(program);
    if (header) t.addComment(program.body[0] || program, "leading", " " + header, true);
    return generate(t.file(program));
}

// Splits `a, b;` and `return a, b;` in a statement list; true when it did.
function splitSequences(list) {
    let split = false;
    for (let i = 0; i < list.length; ++i) {
        const st = list[i];
        const e = st.type === "ExpressionStatement" ? st.expression : st.type === "ReturnStatement" ? st.argument : null;
        if (!e || e.type !== "SequenceExpression") continue;
        const parts = e.expressions.map((x) => t.expressionStatement(x));
        if (st.type === "ReturnStatement") parts[parts.length - 1] = t.returnStatement(e.expressions[e.expressions.length - 1]);
        list.splice(i, 1, ...parts);
        i += parts.length - 1;
        split = true;
    }
    return split;
}

// The loader function of a webpack bootstrap: function R(id) { … M[id](…) / M[id].call(…) … }.
function webpackLoader(fnPath) {
    const node = fnPath.node;
    if (node.params.length !== 1 || node.params[0].type !== "Identifier" || !node.body.body) return null;
    const id = node.params[0].name;
    let mapName = null;
    fnPath.traverse({
        CallExpression(p) {
            let c = p.node.callee;
            if (c.type === "MemberExpression" && !c.computed && c.property.name === "call") c = c.object;
            if (c.type === "MemberExpression" && c.computed && c.property.type === "Identifier" &&
                c.property.name === id && c.object.type === "Identifier") mapName = c.object.name;
        },
    });
    return mapName;
}

// The map behind a name: a variable's object, or the bootstrap's argument.
function mapOfBinding(b) {
    if (!b) return null;
    if (b.path.isVariableDeclarator()) return { map: moduleMap(b.path.node.init), statement: b.path.parentPath };
    if (b.kind === "param") {
        const fn = b.scope.path, call = fn.parentPath;
        const i = fn.node.params.indexOf(b.identifier);
        if (call.isCallExpression({ callee: fn.node }) && i >= 0) return { map: moduleMap(call.node.arguments[i]), statement: null };
    }
    return null;
}

// Chunks pushed to webpack's chunk array: (self.webpackChunkX = …).push([[ids], {modules}, …]).
function chunkMaps(ast) {
    const maps = [];
    traverse(ast, {
        CallExpression(p) {
            const c = p.node.callee, a = p.node.arguments[0];
            if (c.type !== "MemberExpression" || c.computed || c.property.name !== "push" || p.node.arguments.length !== 1 ||
                !a || a.type !== "ArrayExpression" || a.elements.length < 2 || !a.elements[0] ||
                a.elements[0].type !== "ArrayExpression" || !/webpack/i.test(generate(t.file(t.program([t.expressionStatement(c.object)])))))
                return;
            const map = moduleMap(a.elements[1]);
            if (map) maps.push({ map, path: p });
        },
    });
    return maps;
}

function webpackModules(ast) {
    let found = null;
    traverse(ast, {
        FunctionDeclaration(p) {
            if (found) return;
            const mapName = webpackLoader(p);
            if (!mapName) return;
            const m = mapOfBinding(p.scope.parent.getBinding(mapName) || p.scope.getBinding(mapName));
            if (m && m.map) found = { loader: p, ...m, mapBinding: p.scope.parent.getBinding(mapName) };
            else if (m) found = { loader: p, map: new Map(), statement: m.statement, mapBinding: p.scope.parent.getBinding(mapName) };
        },
    });
    if (!found) return null;
    const chunks = chunkMaps(ast);
    const map = new Map(found.map);
    for (const c of chunks) for (const [k, v] of c.map) map.set(k, v);
    if (!map.size) return null;
    const names = uniqueNames([...map.keys()], fileNameOf);
    const files = [];
    let needsRuntime = false;
    const paths = pathsOf(ast, map.values());
    for (const [id, fn] of map) {
        const fnPath = paths.get(fn);
        const file = names.get(id);
        const req = fn.params[2] && fn.params[2].type === "Identifier" ? fnPath.scope.getBinding(fn.params[2].name) : null;
        const other = req ? replaceLoaderCalls(req, (x) => names.get(x), file) : false;
        if (other) needsRuntime = true;
        files.push({ id, name: file, code: printFile("webpack module " + JSON.stringify(id),
            moduleFile(fnPath, ["module", "exports", other ? "require:runtime" : null])) });
    }
    // The entry: what the bootstrap runs after the loader and its helpers.
    const loaderName = found.loader.node.id.name;
    const home = found.loader.parentPath;
    // (n.c = t, n(n.s = 0)): the helpers and the start, one statement each.
    if (splitSequences(home.node.body)) {
        traverse.cache.clear();
        return webpackModules(ast);
    }
    const loaderBinding = found.loader.scope.parent.getBinding(loaderName);
    const entryName = names.has("./index.js") || [...names.values()].includes("index.js") ? "entry.js" : "index.js";
    const entry = [];
    // The loader's own state (the map, the cache): only the loader and its helpers may read it.
    const privateState = [found.mapBinding].filter(Boolean);
    const removed = [];
    for (const s of home.get("body")) {
        if (s.node === found.loader.node || (found.statement && s.node === found.statement.node)) continue;
        if (isRuntimeStatement(s.node, loaderName)) { removed.push(s); continue; }
        if (s.isVariableDeclaration() && s.node.declarations.every((d) => d.init && d.init.type === "ObjectExpression" &&
            d.init.properties.length === 0 && d.id.type === "Identifier" && usedIn(found.loader.node, d.id.name))) {
            s.node.declarations.forEach((d) => privateState.push(s.scope.getBinding(d.id.name)));
            continue; // the module cache
        }
        entry.push(s);
    }
    const inLoader = (r) => r.findParent((q) => q.node === found.loader.node || removed.some((x) => x.node === q.node) ||
        (found.statement && q.node === found.statement.node && !isFunctionInMap(r, map)));
    for (const b of privateState) if (b && b.referencePaths.some((r) => !inLoader(r))) return null;
    if (loaderBinding) {
        const entryRefs = loaderBinding.referencePaths.filter((r) => entry.some((s) => r.isDescendant(s)));
        if (replaceLoaderCalls({ referencePaths: entryRefs }, (x) => names.get(x), entryName)) needsRuntime = true;
    }
    // Startup through the chunk's runtime: the modules nothing requires.
    if (chunks.length && !entry.some((s) => /\brequire\(/.test(generate(t.file(t.program([t.cloneNode(s.node)])))))) {
        const required = new Set();
        for (const f of files) for (const m of f.code.matchAll(/require\("\.\/([^"]+)"\)/g)) required.add(m[1]);
        for (const f of files) if (!required.has(f.name)) entry.push({ node: t.expressionStatement(requireOf(entryName, f.name)) });
    }
    const entryBody = entry.map((s) => s.node);
    const entryProgram = { directives: home.node.directives || [], body: entryBody };
    if (needsRuntime && entryBody.length) {
        entryProgram.body = [t.variableDeclaration("var", [t.variableDeclarator(t.identifier(loaderName),
            t.callExpression(t.identifier("require"), [t.stringLiteral("./" + runtimeFile)]))])].concat(entryBody);
    }
    const entryCode = printFile("entry: what the bundle runs first", entryProgram);
    const out = files.map(({ name, code }) => ({ name, code }));
    out.push({ name: entryName, code: entryCode, entry: true });
    if (needsRuntime) out.push({ name: runtimeFile, code: webpackRuntime });
    return { kind: "webpack", files: out };
}

// Whether a reference lies inside one of the module functions.
function isFunctionInMap(ref, map) {
    const fns = new Set(map.values());
    return !!ref.findParent((q) => fns.has(q.node));
}

function usedIn(node, name) {
    return new RegExp("\\b" + name.replace(/\$/g, "\\$") + "\\b").test(generate(t.file(t.program([t.cloneNode(node)]))));
}

// R.d = …, R.o = …, (() => { R.r = …; })(), and sequences of them.
function isRuntimeStatement(node, loader) {
    const root = (m) => (m.type === "MemberExpression" ? root(m.object) : m);
    const assignsLoader = (e) => e.type === "AssignmentExpression" && e.left.type === "MemberExpression" &&
        root(e.left).type === "Identifier" && root(e.left).name === loader;
    if (node.type === "ExpressionStatement") {
        const e = node.expression;
        if (assignsLoader(e)) return true;
        if (e.type === "SequenceExpression" && e.expressions.every(assignsLoader)) return true;
        // (() => { …; R.O.j = …; … })(): a piece of the runtime (chunk loading and the like).
        if (e.type === "CallExpression" && e.arguments.length === 0 && isFunctionNode(e.callee) &&
            e.callee.body.type === "BlockStatement")
            return e.callee.body.body.some((s) => s.type === "ExpressionStatement" && isRuntimeStatement(s, loader) &&
                !(s.expression.type === "CallExpression"));
    }
    return false;
}

// The paths of the given function nodes, found in one walk.
function pathsOf(ast, nodes) {
    const wanted = new Set(nodes), out = new Map();
    traverse(ast, {
        Function(p) {
            if (wanted.has(p.node)) out.set(p.node, p);
        },
    });
    return out;
}

// browserify: (function () { … })()({ 1: [function (require, module, exports) {…}, {"./a": 2}] }, {}, [1])
function browserifyModules(ast) {
    let call = null;
    traverse(ast, {
        CallExpression(p) {
            const a = p.node.arguments;
            if (call || a.length !== 3 || a[0].type !== "ObjectExpression" || a[1].type !== "ObjectExpression" ||
                a[2].type !== "ArrayExpression" || !a[0].properties.length) return;
            if (a[0].properties.every((q) => q.type === "ObjectProperty" && q.value.type === "ArrayExpression" &&
                q.value.elements.length === 2 && isFunctionNode(q.value.elements[0]) &&
                q.value.elements[1].type === "ObjectExpression")) call = p;
        },
    });
    if (!call) return null;
    const mods = new Map();
    for (const q of call.node.arguments[0].properties) {
        const deps = new Map();
        for (const d of q.value.elements[1].properties) {
            const v = d.value;
            if (d.type === "ObjectProperty" && (v.type === "NumericLiteral" || v.type === "StringLiteral")) deps.set(propertyKey(d), String(v.value));
        }
        mods.set(propertyKey(q), { fn: q.value.elements[0], deps });
    }
    const requiredAs = new Map();
    for (const [, m] of mods) for (const [name, id] of m.deps) if (!requiredAs.has(id)) requiredAs.set(id, name);
    const names = uniqueNames([...mods.keys()], (id) => (requiredAs.has(id) ? fileNameOf(requiredAs.get(id).split("/").pop()) : null));
    const files = [];
    const paths = pathsOf(ast, [...mods.values()].map((m) => m.fn));
    for (const [id, m] of mods) {
        const fnPath = paths.get(m.fn);
        const file = names.get(id);
        const p0 = m.fn.params[0];
        const req = p0 && p0.type === "Identifier" ? fnPath.scope.getBinding(p0.name) : null;
        const other = req ? replaceLoaderCalls(req, (x) => (m.deps.has(x) ? names.get(m.deps.get(x)) : null), file) : false;
        files.push({ name: file, code: printFile("browserify module " + id, moduleFile(fnPath, [other ? "require" : null, "module", "exports"])) });
    }
    const entryName = [...names.values()].includes("index.js") ? "entry.js" : "index.js";
    const entries = call.node.arguments[2].elements.filter((e) => e && e.type === "NumericLiteral").map((e) => String(e.value));
    files.push({ name: entryName, entry: true, code: printFile("entry: what the bundle runs first",
        { directives: [], body: entries.filter((id) => names.has(id)).map((id) => t.expressionStatement(requireOf(entryName, names.get(id)))) }) });
    return { kind: "browserify", files };
}

// esbuild: var require_a = __commonJS({ "src/a.js"(exports, module) { … } }); the wrapper
// function is known by its body (it sets up { exports: {} }).
function esbuildModules(ast) {
    let program = null;
    traverse(ast, { Program(p) { program = p; p.stop(); } });
    // The bundle's scope: the program, or the body of its one immediately called arrow.
    let scopePath = program;
    const only = program.get("body").filter((s) => !s.isEmptyStatement());
    if (only.length === 1 && only[0].isExpressionStatement() && only[0].get("expression").isCallExpression() &&
        isFunctionNode(only[0].node.expression.callee)) scopePath = only[0].get("expression.callee");
    const scope = scopePath.scope;
    const statements = scopePath.isProgram() ? scopePath.get("body") : scopePath.get("body.body");
    if (!Array.isArray(statements)) return null;
    const wrappers = new Set();
    for (const [name, b] of Object.entries(scope.bindings)) {
        const init = b.path.isVariableDeclarator() && b.path.node.init;
        // (cb, mod) => function () { … (mod = { exports: {} }) … }, or its minified arrow
        if (init && init.type === "ArrowFunctionExpression" && init.params.length === 2 && isFunctionNode(init.body) &&
            /exports:\s*\{\}/.test(generate(t.file(t.program([t.expressionStatement(t.cloneNode(init))]))))) wrappers.add(name);
    }
    const mods = new Map(); // binding → { key, fn, statement }
    for (const s of statements) {
        if (!s.isVariableDeclaration() || s.node.declarations.length !== 1) continue;
        const d = s.node.declarations[0];
        const init = d.init;
        if (!init || init.type !== "CallExpression" || init.callee.type !== "Identifier" || !wrappers.has(init.callee.name) ||
            init.arguments.length !== 1) continue;
        const a = init.arguments[0];
        // { "src/a.js"(exports, module) { … } }, or (minified) the function alone
        if (isFunctionNode(a)) {
            mods.set(scope.getBinding(d.id.name), { key: String(mods.size + 1), fn: a, statement: s });
            continue;
        }
        if (a.type !== "ObjectExpression" || a.properties.length !== 1) continue;
        const p = a.properties[0];
        const fn = p.type === "ObjectMethod" ? p : p.value;
        if (!isFunctionNode(fn) || propertyKey(p) === null) continue;
        mods.set(scope.getBinding(d.id.name), { key: propertyKey(p), fn, statement: s });
    }
    if (!mods.size) return null;
    const names = uniqueNames([...mods.values()].map((m) => m.key), fileNameOf);
    const fileOfBinding = (b) => (mods.has(b) ? names.get(mods.get(b).key) : null);
    // require_a() anywhere → require("./a.js")
    const rewrite = (b, from) => {
        for (const ref of b.referencePaths) {
            const c = ref.parentPath;
            if (!c.isCallExpression({ callee: ref.node }) || c.node.arguments.length) return false;
            const owner = [...mods.values()].find((m) => c.findParent((q) => q.node === m.fn));
            c.replaceWith(requireOf(owner ? names.get(owner.key) : from, fileOfBinding(b)));
        }
        return true;
    };
    const entryName = [...names.values()].includes("index.js") ? "entry.js" : "index.js";
    for (const b of mods.keys()) if (!rewrite(b, entryName)) return null;
    const files = [];
    const helperNames = Object.keys(scope.bindings).filter((n) => /^__/.test(n) || wrappers.has(n));
    const paths = pathsOf(ast, [...mods.values()].map((m) => m.fn));
    for (const [, m] of mods) {
        const code = printFile("esbuild module " + JSON.stringify(m.key), moduleFile(paths.get(m.fn), ["exports", "module"]));
        files.push({ name: names.get(m.key), code });
    }
    const modStatements = new Set([...mods.values()].map((m) => m.statement.node));
    const entry = statements.filter((s) => !modStatements.has(s.node) &&
        !(s.isVariableDeclaration() && s.node.declarations.every((d) => helperNames.includes(d.id.name)))).map((s) => s.node);
    const entryCode = printFile("entry: what the bundle runs first", { directives: [], body: entry });
    files.push({ name: entryName, code: entryCode, entry: true });
    // Modules that share the bundle's scope (ES modules wrapped by __esm) cannot be apart.
    const left = new RegExp("\\b(?:" + helperNames.map((n) => n.replace(/\$/g, "\\$")).join("|") + ")\\b");
    if (helperNames.length && files.some((f) => left.test(f.code))) return null;
    return { kind: "esbuild", files };
}

export function unbundle(code) {
    // Every loader gives its modules an `exports`: without the word, no parse.
    if (!/\bexports\b/.test(code)) return null;
    let ast;
    try {
        ast = parse(code);
    } catch (e) {
        return null;
    }
    // A finder changes the tree only once it has found its bundle.
    for (const find of [webpackModules, browserifyModules, esbuildModules]) {
        const r = find(ast);
        if (r) return r;
    }
    return null;
}
