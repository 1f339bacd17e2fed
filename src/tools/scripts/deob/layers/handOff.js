// Code handed over as a string anywhere in the script, where the string is known without
// running the script (literals, constants, atob/decodeURIComponent/escape/unescape/
// String.fromCharCode chains): a direct eval becomes its code in place; Function(…),
// through any alias, `x.constructor.constructor` or a parameter it was passed as, becomes
// a function expression; a string given to setTimeout/setInterval, or to an indirect
// eval, becomes a function or block of its code — each only where the code means the
// same there (no name it uses is hidden at that spot, the same strictness).
import { t, traverse, freshScopes, parse as parseScript } from "../babel.js";
import { closedCopy, evaluateStrings, isFunctionConstructor } from "../known.js";
import { excess, tooLarge } from "../size.js";
import { forgetSeparators } from "../subst.js";
import { parse as babelParse } from "@babel/parser";

// Code as eval and timers take it: a script, so `return` at its top is an error.
function parseCode(text) {
    if (typeof text !== "string") return null;
    const bytes = excess(text);
    if (bytes) throw tooLarge(handOffs.name, bytes);
    let ast;
    try {
        ast = babelParse(text, { sourceType: "script", plugins: ["regexpUnicodeSets"] });
    } catch (e) {
        return null;
    }
    forgetSeparators(ast.program);
    return ast;
}

function isName(node, name) {
    return node && node.type === "Identifier" && node.name === name;
}

function unbound(path, name) {
    return !path.scope.hasBinding(name, true);
}

// What the parsed code declares at its top and the names it leaves to the global scope;
// `thisAtTop`: it reads `this` outside any function of its own.
// For the code of a Function, `outermost` is that function: its top is what counts.
function shapeOf(ast, outermost = () => false) {
    let shape = null;
    traverse(ast, {
        Program(p) {
            shape = { declares: Object.keys(p.scope.bindings), globals: Object.keys(p.scope.globals),
                thisAtTop: false, functionsAtTop: p.node.body.some((s) => s.type === "FunctionDeclaration") };
        },
        ThisExpression(p) {
            if (!p.findParent((q) => q.isFunction() && !q.isArrowFunctionExpression() && !outermost(q)))
                shape.thisAtTop = true;
        },
        Identifier(p) {
            if (p.node.name === "arguments" && !p.findParent((q) => q.isFunction() &&
                !q.isArrowFunctionExpression() && !outermost(q))) shape.usesArguments = true;
        },
        Function(p) {
            if (outermost(p) && Object.keys(p.scope.bindings).length) shape.innerDeclares = true;
        },
        ReturnStatement(p) {
            const f = p.getFunctionParent();
            if (f && outermost(f)) shape.returnsAtTop = true;
        },
    });
    return shape;
}

// Code that runs at the global scope may run where it stands when every global name it
// uses means the same there and it declares nothing of its own.
function globalCodeFits(shape, path) {
    if (shape.declares.length || shape.globals.includes("arguments")) return false;
    return shape.globals.every((n) => {
        const b = path.scope.getBinding(n);
        return !b || b.scope.path.isProgram();
    });
}

function strictCode(ast) {
    return ast.program.directives.some((d) => d.value.value === "use strict");
}

// eval, window.eval, (0, eval) — an indirect one runs at the global scope.
function evalKind(callee, path) {
    if (isName(callee, "eval")) return unbound(path, "eval") ? "direct" : null;
    if (callee.type === "MemberExpression" && !callee.computed && isName(callee.property, "eval") &&
        ["window", "globalThis", "self"].some((g) => isName(callee.object, g) && unbound(path, g)))
        return unbound(path, "eval") || callee.object.name !== "window" ? "indirect" : null;
    if (callee.type === "SequenceExpression" && callee.expressions.length === 2 &&
        callee.expressions[0].type === "NumericLiteral" && isName(callee.expressions[1], "eval"))
        return unbound(path, "eval") ? "indirect" : null;
    return null;
}

function timerKind(callee, path) {
    const named = (n) => (isName(n, "setTimeout") || isName(n, "setInterval")) && unbound(path, n.name);
    if (named(callee)) return true;
    return callee.type === "MemberExpression" && !callee.computed && named(callee.property) &&
        ["window", "globalThis", "self"].some((g) => isName(callee.object, g) && unbound(path, g));
}

function inStatementList(path) {
    return path.parentPath.isBlockStatement() || path.parentPath.isProgram() || path.parentPath.isSwitchCase();
}

// The hand-offs of the tree: { path, kind, parts: [expressions whose strings make the code] }.
function findSites(ast) {
    const sites = [];
    traverse(ast, {
        "CallExpression|NewExpression"(path) {
            const { callee, arguments: args } = path.node;
            if (args.some((a) => a.type === "SpreadElement")) return;
            const uses = [];
            if (isFunctionConstructor(callee, path, 0, uses)) {
                if (args.length) sites.push({ path, kind: "function", parts: args, uses });
                return;
            }
            if (path.isNewExpression() || !args.length) return;
            const e = evalKind(callee, path);
            if (e && args.length === 1) sites.push({ path, kind: e, parts: [args[0]], uses });
            else if (timerKind(callee, path) && args[0].type !== "FunctionExpression" &&
                     args[0].type !== "ArrowFunctionExpression")
                sites.push({ path, kind: "timer", parts: [args[0]], uses });
        },
    });
    return sites;
}

// Function(a, b, body) builds its function from this very text.
function functionFromParts(texts) {
    const body = texts[texts.length - 1];
    const source = "(function (" + texts.slice(0, -1).join(",") + "\n) {\n" + body + "\n})";
    const ast = parseCode(source);
    if (!ast || ast.program.body.length !== 1 || ast.program.directives.length) return null;
    const e = ast.program.body[0].expression;
    return e && e.type === "FunctionExpression" ? ast : null;
}

function isPureArgument(node, path) {
    return t.isLiteral(node) && node.type !== "TemplateLiteral" ||
        node.type === "Identifier" && (path.scope.hasBinding(node.name, true) || node.name === "Function");
}

// A function just made of Function code, `path` its place: the wrappers around it that
// only served to reach Function go. (function (F) { return <it>; })(Function) is <it>;
// <it>(); as a statement at the top is its body when that declares nothing.
function settle(path, shape) {
    let p = path;
    for (;;) {
        const ret = p.parentPath;
        const fn = ret && ret.isReturnStatement() && ret.parentPath.parentPath;
        if (!fn || !fn.isFunctionExpression() || fn.node.body.body.length !== 1 || fn.node.async ||
            fn.node.generator || !fn.node.params.every((q) => q.type === "Identifier")) break;
        const call = fn.parentPath;
        if (!call.isCallExpression({ callee: fn.node }) ||
            !call.node.arguments.every((a) => isPureArgument(a, call))) break;
        call.replaceWith(p.node);
        p = call;
    }
    const call = p.parentPath;
    if (!call.isCallExpression({ callee: p.node }) || call.node.arguments.length ||
        !call.parentPath.isExpressionStatement() || !call.parentPath.parentPath.isProgram()) return;
    const fn = p.node;
    if (fn.params.length || fn.body.directives.length || shape.thisAtTop || shape.usesArguments ||
        shape.returnsAtTop || shape.innerDeclares) return;
    call.parentPath.replaceWithMultiple(fn.body.body);
}

function aloneInFunction(stmt) {
    const body = stmt.parentPath;
    return body.isBlockStatement() && body.parentPath.isFunction() && body.node.body.length === 1;
}

// Strict code given to eval as all that a function does (webpack's eval devtool wraps
// each module so): its declarations stay its own either way, so it can be the body of a
// function with plain parameters, which then says "use strict" itself.
function strictEvalAlone(path, ast) {
    const stmt = path.parentPath;
    const body = stmt.parentPath;
    const fn = body.parentPath;
    if (!stmt.isExpressionStatement() || !body.isBlockStatement() || !fn || !fn.isFunction() ||
        body.node.body.length !== 1 || body.node.directives.length ||
        !fn.node.params.every((p) => p.type === "Identifier") ||
        !ast.program.directives.every((d) => d.value.value === "use strict")) return false;
    body.node.directives = ast.program.directives;
    stmt.replaceWithMultiple(ast.program.body.length ? ast.program.body : [t.emptyStatement()]);
    return true;
}

// The replacement for one site, or null when its code would not mean the same there.
function replace(site, texts) {
    const { path, kind } = site;
    const strictSite = path.isInStrictMode();
    if (kind === "function") {
        const ast = functionFromParts(texts);
        if (!ast) return false;
        const fn = ast.program.body[0].expression;
        const shape = shapeOf(ast, (q) => q.node === fn);
        // The function is made at the global scope, and is strict only by its own word.
        if (strictSite && !fn.body.directives.some((d) => d.value.value === "use strict")) return false;
        if (!shape.globals.every((n) => { const b = path.scope.getBinding(n); return !b || b.scope.path.isProgram(); }))
            return false;
        path.replaceWith(fn);
        settle(path, shape);
        return true;
    }
    const ast = parseCode(texts[0]);
    if (!ast) return false;
    const statements = ast.program.body;
    if (kind === "direct") {
        // A direct eval runs its code in the scope where it stands.
        if (ast.program.directives.length) return strictEvalAlone(path, ast);
        if (path.parentPath.isExpressionStatement() && inStatementList(path.parentPath)) {
            const shape = shapeOf(ast);
            // In strict code they would stay the eval's own: fine only when nothing else
            // in the function could see them.
            if (strictSite && shape.declares.length && !aloneInFunction(path.parentPath)) return false;
            // Functions declared by eval code belong to the whole function, not a block.
            const home = path.parentPath.parentPath;
            if (shape.functionsAtTop && !home.isProgram() && !(home.isBlockStatement() && home.parentPath.isFunction()))
                return false;
            const lexical = statements.some((s) => (s.type === "VariableDeclaration" && s.kind !== "var") ||
                s.type === "ClassDeclaration");
            if (lexical) path.parentPath.replaceWith(t.blockStatement(statements));
            else if (statements.length) path.parentPath.replaceWithMultiple(statements);
            else path.parentPath.remove();
            return true;
        }
        // eval("(…)") as a value: the expression itself.
        if (statements.length === 1 && statements[0].type === "ExpressionStatement") {
            path.replaceWith(statements[0].expression);
            return true;
        }
        return false;
    }
    // Global code: the same strictness, nothing declared, no name hidden at the site.
    const shape = shapeOf(ast);
    if (kind === "timer" && shape.declares.length) return lastTimerInline(path, ast, shape);
    if (strictCode(ast) !== strictSite || !globalCodeFits(shape, path)) return false;
    if (kind === "timer") {
        // A timer calls its function with the global object as `this` (in sloppy code).
        if (strictSite && shape.thisAtTop) return false;
        if (ast.program.directives.length) return false;
        path.get("arguments.0").replaceWith(t.functionExpression(null, [], t.blockStatement(statements)));
        return true;
    }
    // An indirect eval as a statement (a top-level one is peeled with the script ahead of it).
    if (!path.scope.getFunctionParent() || shape.thisAtTop || ast.program.directives.length) return false;
    if (!path.parentPath.isExpressionStatement() || !inStatementList(path.parentPath)) return false;
    path.parentPath.replaceWith(t.blockStatement(statements));
    return true;
}

// Names that let code run after the script, in an order of their own against a timer.
const deferring = new Set(["setTimeout", "setInterval", "setImmediate", "requestAnimationFrame", "requestIdleCallback",
    "queueMicrotask", "Promise", "then", "fetch", "XMLHttpRequest", "addEventListener", "attachEvent", "postMessage",
    "MessageChannel", "MutationObserver", "onload", "onmessage", "Worker", "import"]);

// setTimeout("var x = 1; function f() {}", 0) as the script's last statement: its code
// runs once the script is done, at the global scope, so its declarations are globals. It
// may stand in the timer's place when nothing can tell the difference: the script is
// sloppy and classic (not a module), nothing else in it names what the code declares
// (hoisted there, they would exist from the start), and nothing else in it runs later
// (no other timer, promise, event or async function to come before or after it).
// Otherwise the timer keeps its string (a function would make the names local).
function lastTimerInline(path, ast, shape) {
    const program = path.scope.getProgramParent().path;
    const stmt = path.parentPath;
    const body = program.node.body;
    if (!stmt.isExpressionStatement() || stmt.parentPath !== program || body[body.length - 1] !== stmt.node) return false;
    const callee = path.node.callee;
    const name = callee.type === "Identifier" ? callee.name : callee.property.name;
    if (name !== "setTimeout" || path.node.arguments.length > 2) return false;
    const delay = path.node.arguments[1];
    if (delay && delay.type !== "NumericLiteral") return false;
    if (program.node.sourceType === "module" || program.node.directives.length || ast.program.directives.length) return false;
    const declared = new Set(shape.declares);
    let clear = true;
    const seen = (n) => { if (declared.has(n) || deferring.has(n)) clear = false; };
    program.traverse({
        enter(p) {
            if (!clear || p.node === stmt.node) { p.skip(); return; }
            const n = p.node;
            if (n.type === "Identifier") seen(n.name);
            else if (n.type === "StringLiteral") seen(n.value);
            else if (n.type === "Import" || n.type === "AwaitExpression" || n.type === "YieldExpression") clear = false;
            else if (p.isFunction() && n.async) clear = false;
        },
    });
    if (!clear) return false;
    stmt.replaceWithMultiple(ast.program.body);
    return true;
}

export const handOffs = {
    name: "字符串代码交接",
    reparse: true, // the code's nodes carry positions of another text
    detect: (code) => /\beval\b|Function|constructor|setTimeout|setInterval/.test(code),
    run(ast) {
        freshScopes();
        const sites = [];
        for (const site of findSites(ast)) {
            const copies = site.parts.map((p) => closedCopy(p, site.path, 0, site.uses));
            if (copies.every(Boolean)) sites.push({ site, copies });
        }
        if (!sites.length) return false;
        const values = evaluateStrings(sites.flatMap((s) => s.copies));
        let changed = false, k = 0;
        const done = [], used = [];
        for (const { site, copies } of sites) {
            const texts = values.slice(k, k + copies.length);
            k += copies.length;
            if (texts.some((v) => v === null)) continue;
            // An inner site of code already replaced waits for the next round.
            if (done.some((d) => site.path.isDescendant(d) || d.isDescendant(site.path))) continue;
            if (site.path.removed || !site.path.node) continue;
            if (replace(site, texts)) {
                changed = true;
                done.push(site.path);
                for (const b of site.uses) if (!used.includes(b)) used.push(b);
            }
        }
        // The constants and aliases that only served the code handed over go with it
        // (their values were computed without an error, and reading them runs nothing).
        for (const b of used) {
            if (!b.path.isVariableDeclarator() || b.path.removed) continue;
            if (b.referencePaths.every((r) => done.some((d) => r.isDescendant(d)))) b.path.remove();
        }
        return changed;
    },
};

// For tests: the layer's text-to-text form.
export function peelHandOffs(code) {
    const ast = parseScript(code);
    return handOffs.run(ast) ? ast : null;
}
