// Functions rebuilt at run time from strings: `var fns = [run("function e() { var [fns,
// args] = arguments; function f(a, b) {…} return f.apply(this, args); } e;"), …]` where
// run hands its argument to a direct eval, and each original function became
// `function name() { return fns[0].apply(this, [fns, arguments]); }`. The function in the
// string takes its place again; the array and its runner go once nothing uses them.
import { t, traverse, freshScopes, tryParse } from "../babel.js";
import { constantValue, isPlainName } from "../constant.js";
import { memberKey } from "../subst.js";

// function run(code) { … eval(code) … }: a direct eval of its only parameter.
function isEvalRunner(fnPath) {
    const fn = fnPath.node;
    if (fn.params.length !== 1 || fn.params[0].type !== "Identifier") return false;
    let found = false;
    fnPath.traverse({
        CallExpression(p) {
            const c = p.node;
            if (c.callee.type === "Identifier" && c.callee.name === "eval" && c.arguments.length === 1 &&
                c.arguments[0].type === "Identifier" && c.arguments[0].name === fn.params[0].name &&
                !p.scope.hasBinding("eval", true)) found = true;
        },
    });
    return found;
}

// The embedded text: `function e() { var [arr, args] = arguments; function f(…) {…}
// return f.apply(this, args); } e;` → { fn: f's node, arrayName }.
function embedded(text) {
    const ast = tryParse(text);
    if (!ast || ast.program.body.length !== 2) return null;
    const [decl, tail] = ast.program.body;
    if (decl.type !== "FunctionDeclaration" || decl.params.length || tail.type !== "ExpressionStatement" ||
        tail.expression.type !== "Identifier" || tail.expression.name !== decl.id.name) return null;
    const body = decl.body.body;
    if (body.length !== 3) return null;
    const [v, f, r] = body;
    if (v.type !== "VariableDeclaration" || v.declarations.length !== 1) return null;
    const pattern = v.declarations[0].id, init = v.declarations[0].init;
    if (pattern.type !== "ArrayPattern" || pattern.elements.length !== 2 ||
        !pattern.elements.every((e) => e && e.type === "Identifier") ||
        !init || init.type !== "Identifier" || init.name !== "arguments") return null;
    if (f.type !== "FunctionDeclaration" || f.async || f.generator) return null;
    if (r.type !== "ReturnStatement" || !r.argument || r.argument.type !== "CallExpression") return null;
    const c = r.argument;
    if (c.callee.type !== "MemberExpression" || memberKey(c.callee) !== "apply" || c.callee.object.type !== "Identifier" ||
        c.callee.object.name !== f.id.name || c.arguments.length !== 2 || c.arguments[0].type !== "ThisExpression" ||
        c.arguments[1].type !== "Identifier" || c.arguments[1].name !== pattern.elements[1].name) return null;
    // The function may call its siblings through the array, never the eval's names.
    const [arrayName, argsName] = pattern.elements.map((e) => e.name);
    let ok = true;
    traverse(ast, {
        Identifier(p) {
            if (!p.isReferencedIdentifier() || !p.findParent((q) => q.node === f)) return;
            if (p.node.name === argsName || p.node.name === decl.id.name) ok = false;
        },
    });
    return ok ? { fn: f, arrayName } : null;
}

// `return arr[i].apply(this, [arr, arguments])`: i, or -1.
function stubIndex(fn, arrayName) {
    const body = fn.body.body;
    if (fn.params.length || body.length !== 1 || body[0].type !== "ReturnStatement" || !body[0].argument) return -1;
    const c = body[0].argument;
    if (c.type !== "CallExpression" || c.callee.type !== "MemberExpression" || memberKey(c.callee) !== "apply") return -1;
    const m = c.callee.object;
    if (m.type !== "MemberExpression" || !m.computed || m.object.type !== "Identifier" || m.object.name !== arrayName) return -1;
    const i = constantValue(m.property, null);
    if (!i || typeof i.value !== "number") return -1;
    const [self, list] = c.arguments;
    if (c.arguments.length !== 2 || self.type !== "ThisExpression" || list.type !== "ArrayExpression" ||
        list.elements.length !== 2 || list.elements[0].type !== "Identifier" || list.elements[0].name !== arrayName ||
        list.elements[1].type !== "Identifier" || list.elements[1].name !== "arguments") return -1;
    return i.value;
}

function rebuild(ast) {
    let changed = false;
    traverse(ast, {
        VariableDeclarator(path) {
            const init = path.node.init;
            if (path.node.id.type !== "Identifier" || !init || init.type !== "ArrayExpression") return;
            const arrayName = path.node.id.name;
            const binding = path.scope.getBinding(arrayName);
            if (!binding || binding.constantViolations.length) return;
            const pieces = [];
            let runner = null;
            for (const e of init.elements) {
                if (!e || e.type !== "CallExpression" || e.callee.type !== "Identifier" || e.arguments.length !== 1 ||
                    e.arguments[0].type !== "StringLiteral") return;
                const rb = path.scope.getBinding(e.callee.name);
                if (!rb || !rb.path.isFunctionDeclaration() || (runner && runner !== rb) || !isEvalRunner(rb.path)) return;
                runner = rb;
                const piece = embedded(e.arguments[0].value);
                if (!piece || piece.arrayName !== arrayName) return;
                pieces.push(piece);
            }
            if (!pieces.length) return;
            // Every use of the array: a stub, or a call inside the embedded functions.
            const stubs = [];
            for (const ref of binding.referencePaths) {
                const fn = ref.getFunctionParent();
                const i = fn && (fn.isFunctionDeclaration() || fn.isFunctionExpression()) ? stubIndex(fn.node, arrayName) : -1;
                if (i < 0 || i >= pieces.length) return;
                // The code ran at the top; where the stub stands, no local may hide a name it reads.
                const names = collectNames(pieces[i].fn);
                if (names.some((n) => { const b = fn.scope.parent.getBinding(n); return b && b.scope !== binding.scope; }))
                    return;
                stubs.push({ fn, piece: pieces[i] });
            }
            const names = new Set(pieces.flatMap((p) => collectNames(p.fn)));
            if (names.has(arrayName)) return; // the embedded code still reaches the array
            for (const s of stubs) {
                s.fn.node.params = s.piece.fn.params;
                s.fn.node.body = s.piece.fn.body;
            }
            path.remove();
            if (runner.references === init.elements.length) runner.path.remove();
            changed = true;
        },
    });
    return changed;
}

function collectNames(fn) {
    const out = [];
    const walk = (n) => {
        if (!n || typeof n.type !== "string") return;
        if (n.type === "Identifier") out.push(n.name);
        for (const k of t.VISITOR_KEYS[n.type] || []) {
            const c = n[k];
            if (Array.isArray(c)) c.forEach(walk);
            else walk(c);
        }
    };
    walk(fn.body);
    return out.filter(isPlainName);
}

export const confuserRgf = {
    name: "运行时生成的函数（RGF）",
    detect: (code) => /\beval\b/.test(code) && /\.apply\b|\["apply"\]/.test(code),
    run(ast) {
        freshScopes();
        return rebuild(ast);
    },
};
