// String arrays: the array of (encoded) strings, its rotation and its decoder(s) are
// found by shape, run only in the sandbox, and every decoder call — also through the
// wrapper functions and aliases around it — becomes its string literal. The array,
// rotation, decoders and wrappers go once nothing uses them any more.
import { t, traverse, freshScopes, treeChanged, generateNode } from "../babel.js";
import { constantValue } from "../constant.js";
import { sandboxJson } from "../sandbox.js";

function allStrings(array) {
    return array.type === "ArrayExpression" && array.elements.length > 0 &&
        array.elements.every((e) => e && e.type === "StringLiteral");
}

// function a() { var x = ['..', ...]; a = function () { return x; }; return a(); }
function isArrayFunction(node) {
    if (node.type !== "FunctionDeclaration" || !node.id) return false;
    const body = node.body.body;
    return body.length >= 2 && body.length <= 4 && body[0].type === "VariableDeclaration" &&
        body[0].declarations.length === 1 && body[0].declarations[0].init &&
        allStrings(body[0].declarations[0].init);
}

function functionOf(node) {
    if (node.type === "FunctionDeclaration") return node;
    if (node.type === "VariableDeclaration" && node.declarations.length === 1) {
        const init = node.declarations[0].init;
        if (init && (init.type === "FunctionExpression" || init.type === "ArrowFunctionExpression"))
            return init;
    }
    return null;
}

function declaredName(node) {
    if (node.type === "FunctionDeclaration") return node.id.name;
    if (node.type === "VariableDeclaration" && node.declarations.length === 1 &&
        node.declarations[0].id.type === "Identifier")
        return node.declarations[0].id.name;
    return null;
}

function isInside(path, nodes) {
    return !!path.findParent((p) => nodes.has(p.node));
}

// The statement `return target(args)` of a wrapper: target's name and argument templates.
function wrapperShape(fn) {
    if (!fn.body || fn.body.type !== "BlockStatement" || fn.body.body.length !== 1) return null;
    const ret = fn.body.body[0];
    if (ret.type !== "ReturnStatement" || !ret.argument || ret.argument.type !== "CallExpression")
        return null;
    const call = ret.argument;
    if (call.callee.type !== "Identifier") return null;
    if (!fn.params.every((p) => p.type === "Identifier")) return null;
    const names = new Set(fn.params.map((p) => p.name));
    let ok = true;
    const check = (n) => {
        if (n.type === "Identifier") { if (!names.has(n.name)) ok = false; return; }
        if (n.type === "NumericLiteral" || n.type === "StringLiteral") return;
        if (n.type === "UnaryExpression" && (n.operator === "-" || n.operator === "+")) return check(n.argument);
        if (n.type === "BinaryExpression" && /^[-+*/%^|&]$/.test(n.operator)) { check(n.left); check(n.right); return; }
        ok = false;
    };
    call.arguments.forEach(check);
    return ok ? { params: fn.params.map((p) => p.name), target: call.callee.name, args: call.arguments } : null;
}

export const stringArrays = {
    name: "字符串数组",
    run(ast, text) {
        const isArrayStatement = (n) => isArrayFunction(n) ||
            (n.type === "VariableDeclaration" && n.declarations.length === 1 &&
             n.declarations[0].id.type === "Identifier" && n.declarations[0].init &&
             allStrings(n.declarations[0].init));
        if (!ast.program.body.some(isArrayStatement)) return false;
        // The rotation often shares one statement with the code after it (a, b, c);):
        // those statements are split first, so that the rotation stands alone. Done on
        // the nodes, before the scopes are built: expression statements declare nothing.
        const body = ast.program.body;
        let split = false;
        for (let i = 0; i < body.length; ++i) {
            const s = body[i];
            if (s.type !== "ExpressionStatement" || s.expression.type !== "SequenceExpression") continue;
            const parts = s.expression.expressions.map((e) => t.expressionStatement(e));
            if (s.leadingComments) parts[0].leadingComments = s.leadingComments;
            body.splice(i, 1, ...parts);
            i += parts.length - 1;
            split = true;
        }
        if (split) treeChanged();
        freshScopes();
        let program;
        traverse(ast, { Program(p) { program = p; p.stop(); } });
        const scope = program.scope;
        const top = program.get("body");

        // The arrays: array functions and top-level `var x = ['..', ...]`.
        const arrays = new Map(); // binding → statement path
        for (const s of top) {
            const n = s.node;
            if (!isArrayStatement(n)) continue;
            arrays.set(scope.getBinding(n.type === "FunctionDeclaration" ? n.id.name : n.declarations[0].id.name), s);
        }
        if (arrays.size === 0) return split;
        const arrayStatements = new Set([...arrays.values()].map((s) => s.node));

        // Decoders: top-level functions that read an array; the rotation: top-level
        // statements (other than those) that use an array.
        const decoders = new Map(); // binding → statement path
        const rotation = [];
        for (const [binding] of arrays) {
            for (const ref of binding.referencePaths) {
                if (isInside(ref, arrayStatements)) continue;
                const stmt = ref.find((p) => p.parentPath && p.parentPath.isProgram());
                if (!stmt) continue;
                const fn = functionOf(stmt.node);
                if (fn && fn.params.length >= 1) {
                    decoders.set(scope.getBinding(declaredName(stmt.node)), stmt);
                } else if (stmt.isExpressionStatement() && !rotation.includes(stmt)) {
                    rotation.push(stmt);
                }
            }
        }
        const machinery = new Set([...arrayStatements, ...[...decoders.values()].map((s) => s.node),
            ...rotation.map((s) => s.node)]);

        // Wrappers (functions returning a decoder call on their parameters) and aliases.
        const roles = new Map(); // binding → { kind: "decoder" | "wrapper" | "alias", ... }
        for (const [b] of decoders) roles.set(b, { kind: "decoder", name: b.identifier.name });
        const wrappers = [];
        const callPaths = []; // every call of a plain name, looked at once the roles are known
        traverse(ast, {
            CallExpression(path) {
                if (path.node.callee.type === "Identifier") callPaths.push(path);
            },
            Function(path) {
                if (isInside(path, machinery)) return;
                const shape = wrapperShape(path.node);
                if (!shape) return;
                let binding = null;
                if (path.isFunctionDeclaration()) binding = path.scope.parent.getBinding(path.node.id.name);
                else if (path.parentPath.isVariableDeclarator() && path.parent.id.type === "Identifier")
                    binding = path.parentPath.scope.getBinding(path.parent.id.name);
                if (binding) wrappers.push({ binding, path, shape });
            },
            VariableDeclarator(path) {
                if (isInside(path, machinery)) return;
                if (path.node.id.type === "Identifier" && path.node.init && path.node.init.type === "Identifier")
                    wrappers.push({ binding: path.scope.getBinding(path.node.id.name), path, alias: path.node.init.name });
            },
        });
        // A wrapper counts once its target is known (chains settle in a few passes).
        for (let pass = 0, grew = true; grew && pass < 50; ++pass) {
            grew = false;
            for (const w of wrappers) {
                if (!w.binding || roles.has(w.binding)) continue;
                const targetName = w.alias || w.shape.target;
                const target = w.path.scope.getBinding(targetName);
                if (!target || !roles.has(target)) continue;
                if (w.binding.constantViolations.length) continue;
                roles.set(w.binding, w.alias ? { kind: "alias", target, w } : { kind: "wrapper", target, w });
                grew = true;
            }
        }

        // Resolves a call through wrappers to a decoder call with constant arguments.
        const resolve = (binding, args, depth) => {
            const role = roles.get(binding);
            if (!role || depth > 60) return null;
            if (role.kind === "decoder") return { name: role.name, args };
            if (role.kind === "alias") return resolve(role.target, args, depth + 1);
            const env = {};
            role.w.shape.params.forEach((p, i) => { env[p] = args[i]; });
            const next = [];
            for (const a of role.w.shape.args) {
                const v = constantValue(a, null, env);
                if (!v) return null;
                next.push(v.value);
            }
            return resolve(role.target, next, depth + 1);
        };

        // The call sites.
        const sites = [];
        const keyOf = new Map();
        const calls = [];
        const wrapperNodes = new Set(wrappers.filter((w) => roles.has(w.binding)).map((w) => w.path.node));
        for (const path of callPaths) {
            const binding = path.scope.getBinding(path.node.callee.name);
            if (!binding || !roles.has(binding)) continue;
            if (isInside(path, machinery) || isInside(path, wrapperNodes)) continue;
            const args = [];
            let constant = true;
            for (const a of path.node.arguments) {
                const v = constantValue(a, path);
                if (!v || (typeof v.value === "object" && v.value !== null)) { constant = false; break; }
                args.push(v.value);
            }
            if (!constant) continue;
            const root = resolve(binding, args, 0);
            if (!root) continue;
            const text = root.name + "(" + root.args.map((v) => v === undefined ? "undefined" : JSON.stringify(v)).join(",") + ")";
            if (!keyOf.has(text)) { keyOf.set(text, calls.length); calls.push(text); }
            sites.push({ path, index: keyOf.get(text), binding });
        }
        if (sites.length === 0) return split;

        // Decode every distinct call in one sandbox run.
        // In source order and as written (node positions index the text the tree came from).
        const preamble = [...machinery].sort((a, b) => a.start - b.start)
            .map((n) => (text && n.start != null ? text.slice(n.start, n.end) : generateNode(n))).join("\n");
        const probe = preamble + "\n;JSON.stringify([" + calls.map((c) =>
            "(function () { try { var v = " + c + "; return typeof v === 'string' ? [v] : null; } catch (e) { return null; } })()").join(",\n") + "]);";
        const results = sandboxJson(probe);
        let changed = false;
        const replaced = new Set();
        for (const site of sites) {
            const r = results[site.index];
            if (!r) continue;
            replaced.add(site.path.node.callee);
            site.path.replaceWith(t.stringLiteral(r[0]));
            changed = true;
        }
        if (!changed) return split;

        // Remove what nothing uses any more: wrappers first (they may use each other),
        // then the array, rotation and decoders.
        const removed = new Set();
        const unused = (binding) => binding.referencePaths.every((ref) =>
            replaced.has(ref.node) || isInside(ref, removed) || isInside(ref, machinery));
        for (let grew = true; grew;) {
            grew = false;
            for (const [binding, role] of roles) {
                if (role.kind === "decoder" || removed.has(role.w.path.node)) continue;
                if (!unused(binding)) continue;
                removed.add(role.w.path.node);
                grew = true;
            }
        }
        const machineryUnused = [...decoders.keys(), ...arrays.keys()].every((b) => unused(b));
        for (const [binding, role] of roles) {
            if (role.kind === "decoder" || !removed.has(role.w.path.node)) continue;
            const p = role.w.path;
            if (p.removed) continue;
            if (p.isFunctionDeclaration()) p.remove();
            else if (p.isVariableDeclarator()) p.remove();
            else if (p.parentPath.isVariableDeclarator()) p.parentPath.remove();
            void binding;
        }
        if (machineryUnused) {
            for (const s of [...arrays.values(), ...decoders.values(), ...rotation])
                if (!s.removed) s.remove();
        }
        return true;
    },
};
