// Concealed strings: calls like `dec(0xb4, 8)` of a decoder that cuts its string out of a
// long encoded text and decodes it with a table of its own. The shape: every argument a
// whole number, and the function (or one it calls) reads a long string. Decoders often
// live inside the functions that use them, so each one is rebuilt with the functions it
// depends on in a probe that runs after the script in the sandbox (where the script's
// top-level state, the encoded text among it, is set up); each call that gives a string
// becomes that string, and decoders nothing calls any more go.
import {freshScopes, generate, generateNode, t, traverse} from "../babel.js";
import {constantValue} from "../constant.js";
import {runInSandbox} from "../sandbox.js";

import {isWithin, sweepUnused} from "./confuserCleanup.js";
import {valueAt} from "./confuserGlobals.js";

const longString = 40;

function functionNode(binding) {
    const p = binding.path;
    if (p.isFunctionDeclaration())
        return p;
    if (p.isVariableDeclarator() && p.node.init && p.node.init.type === "FunctionExpression" &&
        !binding.constantViolations.length)
        return p.get("init");
    return null;
}

function isLongStringBinding(binding) {
    const p = binding.path;
    const long = (n) => n && n.type === "StringLiteral" && n.value.length >= longString;
    if (p.isVariableDeclarator() && long(p.node.init))
        return true;
    return binding.constantViolations.some((v) => v.isAssignmentExpression() && long(v.node.right));
}

// What a candidate function needs from outside: the functions of enclosing function
// scopes it calls (rebuilt in the probe), whether it reads a long string; null when it
// reads a local of an enclosing function that cannot be rebuilt.
function dependencies(fnPath, seen) {
    const needs = [];
    let long = false, ok = true;
    // Only the function's own code counts for the long string: a function that merely
    // holds decoder calls in functions of its own is no decoder.
    const own = (p) => p.getFunctionParent() === fnPath;
    fnPath.traverse({
        StringLiteral(p) {
            if (p.node.value.length >= longString && own(p))
                long = true;
        },
        ThisExpression(p) {
            if (own(p))
                ok = false;
        },
        Identifier(p) {
            if (!p.isReferencedIdentifier())
                return;
            if (p.node.name === "arguments" && own(p))
                return;
            const b = p.scope.getBinding(p.node.name);
            if (!b || b.scope.path.isProgram()) {
                if (b && own(p) && isLongStringBinding(b))
                    long = true;
                return;
            }
            if (fnPath.scope === b.scope || isWithin(b.scope.path, fnPath))
                return;
            const dep = functionNode(b);
            if (!dep) {
                ok = false;
                return;
            }
            if (!seen.has(dep.node)) {
                seen.add(dep.node);
                needs.push({path : dep, binding : b});
            }
        },
    });
    if (!ok)
        return null;
    for (const d of needs.slice()) {
        const sub = dependencies(d.path, seen);
        if (!sub)
            return null;
        long = long || sub.long;
        needs.push(...sub.needs);
    }
    return {needs, long};
}

function declarationText(fnPath, name) {
    const n = fnPath.node;
    if (n.type === "FunctionDeclaration")
        return generateNode(n);
    return "var " + name + " = " + generateNode(n) + ";";
}

// Numbers the code computes from its state (`s[13] + 669855`), never a call.
function isArithmetic(node) {
    switch (node.type) {
    case "NumericLiteral":
    case "Identifier":
        return true;
    case "MemberExpression":
        return isArithmetic(node.object) &&
               (!node.computed || node.property.type === "StringLiteral" ||
                isArithmetic(node.property));
    case "UnaryExpression":
        return (node.operator === "-" || node.operator === "+") && isArithmetic(node.argument);
    case "BinaryExpression":
        return /^[-+*%|&^]$|^<<$|^>>>?$/.test(node.operator) && isArithmetic(node.left) &&
               isArithmetic(node.right);
    }
    return false;
}

function wholeNumbers(args, path) {
    if (!args.length || args.length > 4)
        return null;
    const out = [];
    for (const a of args) {
        // Also numbers read from a table of literals nothing writes (`dec(1486, k[2])`).
        const v = constantValue(a, path) || valueAt(a, path);
        if (!v || typeof v.value !== "number" || !Number.isInteger(v.value))
            return null;
        out.push(v.value);
    }
    return out;
}

// The decoder a call names, or null: { fn, binding, name, defs, deps } (cached per function).
function decoderOf(path, cache) {
    const callee = path.node.callee;
    if (callee.type !== "Identifier")
        return null;
    const binding = path.scope.getBinding(callee.name);
    const fn = binding && functionNode(binding);
    if (!fn || fn.node.async || fn.node.generator || isWithin(path, fn))
        return null;
    if (cache.has(fn.node))
        return cache.get(fn.node);
    let d = null;
    const deps = dependencies(fn, new Set([ fn.node ]));
    if (deps && deps.long) {
        const local = !binding.scope.path.isProgram();
        const defs = deps.needs.map((n) => declarationText(n.path, n.binding.identifier.name));
        if (local)
            defs.push(declarationText(fn, callee.name));
        const names =
            deps.needs.map((n) => n.binding.identifier.name).concat(local ? [ callee.name ] : []);
        if (new Set(names).size === names.length)
            d = {binding, name : callee.name, defs, calls : [], deps : deps.needs};
    }
    cache.set(fn.node, d);
    return d;
}

// Calls with constant arguments are decoded by probes after the script (also those that
// never run); calls whose arguments the script computes (inside flattened control flow)
// are recorded as the script runs: a call that gave one and the same string every time
// it ran becomes that string.
function decodeCalls(ast, source) {
    const cache = new Map();
    const watched = []; // calls with computed arguments: { path, node }
    traverse(ast, {
        CallExpression(path) {
            // Decoders take an offset and a length (or a key, an offset and a length).
            const n = path.node.arguments.length;
            if (n < 2 || n > 4)
                return;
            const d = decoderOf(path, cache);
            if (!d)
                return;
            const args = wholeNumbers(path.node.arguments, path);
            if (args)
                d.calls.push({path, args});
            else if (path.node.arguments.every(isArithmetic))
                watched.push({path});
        },
    });
    const list = [...cache.values() ].filter((d) => d && d.calls.length);
    if (!list.length && !watched.length)
        return false;
    // Each watched call reports its value: the call node is turned into
    // __vexoSeen(k, <the call>) just for the printing, then restored.
    let script = source;
    if (watched.length) {
        const saved = watched.map(({path}, k) => {
            const n = path.node, was = {callee : n.callee, arguments : n.arguments};
            n.callee = t.identifier("__vexoSeen");
            n.arguments = [ t.numericLiteral(k), t.callExpression(was.callee, was.arguments) ];
            return was;
        });
        try {
            script = generate(ast);
        } finally {
            watched.forEach(({path}, k) => Object.assign(path.node, saved[k]));
        }
    }
    const probes = list.map((d) => "(function () {\n" + d.defs.join("\n") + "\nreturn [" +
                                   d.calls
                                       .map((c) => "__vexoTry(function () { return " + d.name +
                                                   "(" + c.args.join(", ") + "); })")
                                       .join(",\n") +
                                   "];\n})()");
    script += "\n;__vexoDecoded = [" + probes.join(",\n") + "];";
    const text = runInSandbox(
        quietPrelude + "var __vexoDecoded = null, __vexoValues = [];\n" +
        "function __vexoTry(f) { try { var v = f(); return typeof v === 'string' ? [v] : null; } catch (e) { return null; } }\n" +
        "function __vexoSeen(k, v) { var was = __vexoValues[k];\n" +
        "    __vexoValues[k] = typeof v === 'string' && (was === undefined || was === v) ? v : false; return v; }\n" +
        "try { (0, eval)(" + JSON.stringify(script) + "); } catch (e) {}\n" +
        "JSON.stringify({ decoded: __vexoDecoded, values: __vexoValues });");
    const {decoded, values} = JSON.parse(text);
    let changed = false;
    const replaced = new Set();
    const replace = (path, value) => {
        if (path.removed)
            return;
        path.replaceWith(t.stringLiteral(value));
        replaced.add(path);
        changed = true;
    };
    if (decoded) {
        list.forEach((d, i) => d.calls.forEach((c, j) => {
            const r = decoded[i] && decoded[i][j];
            if (r)
                replace(c.path, r[0]);
        }));
    }
    watched.forEach(({path}, k) => {
        if (typeof values[k] === "string")
            replace(path, values[k]);
    });
    if (changed)
        removeUnused([...cache.values() ].filter(Boolean), replaced);
    return changed;
}

// Decoders whose every use went, the functions they needed and what only they used.
function removeUnused(list, replaced) {
    const seeds = new Set();
    for (const d of list) {
        seeds.add(d.binding);
        for (const n of d.deps)
            seeds.add(n.binding);
    }
    sweepUnused(seeds, new Set(replaced));
}

// A console that prints nothing and timers that never run: the script only sets itself up.
export const quietPrelude = `
(function () {
    var quiet = function () {};
    globalThis.log = quiet;
    globalThis.console = { log: quiet, info: quiet, debug: quiet, warn: quiet, error: quiet, dir: quiet, table: quiet, trace: quiet };
    globalThis.setTimeout = function () { return 0; };
    globalThis.setInterval = function () { return 0; };
    globalThis.clearTimeout = quiet;
    globalThis.clearInterval = quiet;
})();
`;

export const concealedStrings = {
    name : "字符串隐藏（解码函数）",
    run(ast, text) {
        freshScopes();
        return decodeCalls(ast, text || generate(ast));
    },
};
