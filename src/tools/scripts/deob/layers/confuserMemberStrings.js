// Concealed strings whose decoder is a closure kept in a member of a scope object:
// `sc.m.dec = function (...a) { return inner({ m: sc.m }, 0, a); }` and calls like
// `(1, sc.m.dec)(229, 8)`. The closure exists only while its function runs, so each call
// is evaluated where it stands: the script runs once in the sandbox with a probe before
// the statement that holds the call (and before the top-level statement of its function,
// which reaches the cases of a switch that never match), and records what the call itself
// gives when it runs. A call becomes a literal when every one of these gave the same
// string and the callee was the decoder closure each time. A decoder member goes only
// when nothing can reach it any more: no other use of its name, and its holder object
// only ever read by plain names.
import {freshScopes, generate, t, traverse} from "../babel.js";
import {constantValue} from "../constant.js";
import {runInSandbox} from "../sandbox.js";
import {memberKey} from "../subst.js";

import {
    longString,
    memberFunctions,
    removeDead,
    removeDeadLocals,
    sweepCalled
} from "./confuserMemberCleanup.js";
import {quietPrelude} from "./confuserStrings.js";

// `(1, a.b.c)` → the member; a plain member as it is.
function calleeMember(node) {
    if (node.type === "SequenceExpression" && node.expressions.length === 2 &&
        node.expressions[0].type === "NumericLiteral")
        node = node.expressions[1];
    if (node.type === "Identifier")
        return node;
    return node.type === "MemberExpression" && !node.computed && node.property.type === "Identifier"
               ? node
               : null;
}

// Tables of literals nothing writes: a variable or a member (by name) given an array of
// literals once and otherwise only read at an index (`k[2]`, `sc.t.n[2]`).
function literalTables(ast) {
    const given = new Map(), spoilt = new Set();
    const nameOf = (n) => n.type === "Identifier"         ? "#" + n.name
                          : n.type === "MemberExpression" ? memberKey(n)
                                                          : null;
    const give = (target, value, at) => {
        const name = target && nameOf(target);
        if (name === null || name === undefined)
            return;
        const v = value && value.type === "ArrayExpression" ? constantValue(value, at) : null;
        if (!v || given.has(name))
            spoilt.add(name);
        else
            given.set(name, target);
    };
    traverse(ast, {
        VariableDeclarator(p) {
            if (p.node.id.type === "Identifier" && p.node.init)
                give(p.node.id, p.node.init, p);
        },
        AssignmentExpression(
            p) { give(p.node.left, p.node.operator === "=" ? p.node.right : null, p); },
        "Identifier|MemberExpression"(p) {
            const name = nameOf(p.node);
            if (name === null)
                return;
            if (p.isIdentifier() && !p.isReferencedIdentifier())
                return;
            const up = p.parentPath;
            if (up.isVariableDeclarator() && up.node.id === p.node)
                return;
            if (up.isAssignmentExpression() && up.node.left === p.node)
                return;
            // A read at an index that is not a write.
            if (up.isMemberExpression() && up.node.object === p.node && up.node.computed) {
                const w = up.parentPath;
                if (!(w.isAssignmentExpression() && w.node.left === up.node) &&
                    !w.isUpdateExpression() &&
                    !(w.isUnaryExpression() && w.node.operator === "delete") &&
                    !w.isForXStatement())
                    return;
            }
            if (p.isMemberExpression() && up.isMemberExpression() && up.node.object === p.node &&
                !up.node.computed && up.node.property.name === "length")
                return;
            spoilt.add(name);
        },
    });
    return new Set([...given.keys() ].filter((n) => !spoilt.has(n)));
}

// Arguments made of numbers and reads of such tables (`8`, `sc.t.n[2]`): the same at
// every call, never a value of the moment.
function isTableArgument(n, tables) {
    switch (n.type) {
    case "NumericLiteral":
        return true;
    case "MemberExpression": {
        const o = n.object;
        const name = o.type === "Identifier"         ? "#" + o.name
                     : o.type === "MemberExpression" ? memberKey(o)
                                                     : null;
        return n.computed && tables.has(name) && isTableArgument(n.property, tables);
    }
    case "UnaryExpression":
        return n.operator === "-" && isTableArgument(n.argument, tables);
    case "BinaryExpression":
        return /^[-+*|&^]$/.test(n.operator) && isTableArgument(n.left, tables) &&
               isTableArgument(n.right, tables);
    }
    return false;
}

// Whether a member function decodes: it, the functions it calls by name and the member
// functions it calls read a long string. No `this`: a probe calls it without one.
function decoders(members, ast, wanted) {
    const programLong = new Set(), longMembers = new Set();
    traverse(ast, {
        VariableDeclarator(p) {
            const init = p.node.init;
            if (p.node.id.type === "Identifier" && init && init.type === "StringLiteral" &&
                init.value.length >= longString)
                programLong.add(p.scope.getBinding(p.node.id.name));
        },
        AssignmentExpression(p) {
            const r = p.node.right;
            if (r.type !== "StringLiteral" || r.value.length < longString)
                return;
            if (p.node.left.type === "Identifier")
                programLong.add(p.scope.getBinding(p.node.left.name));
            // The encoded text kept in a scope object too (`sc.m.text = "…"`).
            else if (p.node.left.type === "MemberExpression" && memberKey(p.node.left) !== null)
                longMembers.add(memberKey(p.node.left));
        },
    });
    const memo = new Map();
    // long: a long string read here or in a function called from here; own: read in the
    // function's own code; pure: nothing written but what the functions on the way in
    // declare (`outer`: the callers, whose locals an inner function may set).
    const reads = (fnPath, seen, outer = []) => {
        const r = {long : false, own : false, ok : true, pure : true};
        if (seen.has(fnPath.node))
            return r;
        seen.add(fnPath.node);
        const inside = (name, at) => {
            const b = at.scope.getBinding(name);
            for (let q = b && b.scope.path; q; q = q.parentPath)
                if (q.node === fnPath.node || outer.includes(q.node))
                    return true;
            return false;
        };
        const join = (sub) => {
            r.long = r.long || sub.long;
            r.ok = r.ok && sub.ok;
            r.pure = r.pure && sub.pure;
        };
        const longHere = (p) => {
            r.long = true;
            if (p.getFunctionParent() === fnPath)
                r.own = true;
        };
        const writes = (node, at) => {
            if (!node)
                return;
            if (node.type === "Identifier") {
                if (!inside(node.name, at))
                    r.pure = false;
            } else if (node.type === "MemberExpression") {
                let o = node.object;
                while (o.type === "MemberExpression")
                    o = o.object;
                if (o.type !== "Identifier" || !inside(o.name, at))
                    r.pure = false;
            } else if (node.type === "ArrayPattern") {
                node.elements.forEach((e) => writes(e, at));
            } else if (node.type === "ObjectPattern") {
                node.properties.forEach((e) => writes(e.type === "RestElement" ? e : e.value, at));
            } else if (node.type === "RestElement") {
                writes(node.argument, at);
            } else if (node.type === "AssignmentPattern") {
                writes(node.left, at);
            } else {
                r.pure = false;
            }
        };
        fnPath.traverse({
            StringLiteral(p) {
                if (p.node.value.length >= longString)
                    longHere(p);
            },
            ThisExpression(p) {
                if (p.getFunctionParent() === fnPath)
                    r.ok = false;
            },
            AssignmentExpression(p) { writes(p.node.left, p); },
            UpdateExpression(p) { writes(p.node.argument, p); },
            UnaryExpression(p) {
                if (p.node.operator === "delete")
                    writes(p.node.argument, p);
            },
            ForXStatement(
                p) { writes(p.node.left.type === "VariableDeclaration" ? null : p.node.left, p); },
            Identifier(p) {
                if (!p.isReferencedIdentifier())
                    return;
                if (programLong.has(p.scope.getBinding(p.node.name)))
                    longHere(p);
                const b = p.scope.getBinding(p.node.name);
                const held = b && members.get(b);
                if (held && !seen.has(held.fn.node))
                    join(reads(held.fn, seen, [...outer, fnPath.node ]));
            },
            MemberExpression(p) {
                if (longMembers.has(memberKey(p.node)))
                    longHere(p);
                const m = members.get(!p.node.computed && p.node.property.type === "Identifier"
                                          ? p.node.property.name
                                          : "");
                if (m && !seen.has(m.fn.node))
                    join(reads(m.fn, seen, [...outer, fnPath.node ]));
            },
        });
        return r;
    };
    const out = new Map();
    for (const [name, m] of members) {
        if (!wanted.has(name))
            continue;
        let r = memo.get(m.fn.node);
        if (!r)
            memo.set(m.fn.node, r = reads(m.fn, new Set()));
        // A declared function that only calls a decoder is the program's own: its own code
        // reads the encoded text.
        if (r.long && r.ok && r.pure && (!m.declared || r.own))
            out.set(name, m);
    }
    return out;
}

function outerStatement(path) {
    const fn = path.getFunctionParent();
    let s = path.getStatementParent(), top = null;
    for (let p = s; p && p.getFunctionParent() === fn; p = p.parentPath)
        if (p.isStatement() && (p.parentPath.isBlockStatement() || p.parentPath.isProgram()) &&
            (!fn ? p.parentPath.isProgram() : p.parentPath.parentPath === fn))
            top = p;
    if (s && s.getFunctionParent() !== fn)
        s = null;
    return {inner : s, top};
}

// Whether every name the call reads means the same before statement s.
function sameNames(call, s) {
    let same = true;
    const look = (p) => {
        if (p.isReferencedIdentifier() &&
            p.scope.getBinding(p.node.name) !== s.scope.getBinding(p.node.name))
            same = false;
    };
    call.traverse({Identifier : look});
    return same;
}

function probeScript(ast, calls, members) {
    // Statements that get probes: statement node → [call indexes].
    const before = new Map();
    const saved = [];
    calls.forEach((c, k) => {
        const {inner, top} = outerStatement(c.path);
        for (const s of new Set([ inner, top ])) {
            if (!s || s.isFunctionDeclaration() || !sameNames(c.path, s))
                continue;
            if (!before.has(s))
                before.set(s, []);
            before.get(s).push(k);
        }
    });
    // Calls of a declared decoder that reads only what the whole program declares are
    // also tried after the script (for those in code that never runs).
    const atEnd = [];
    calls.forEach((c, k) => {
        const program = c.path.scope.getProgramParent();
        let global = !!c.declared;
        c.path.traverse({
            Identifier(p) {
                const b = p.isReferencedIdentifier() && p.scope.getBinding(p.node.name);
                if (p.isReferencedIdentifier() && (!b || b.scope !== program))
                    global = false;
            },
        });
        const callee = c.path.scope.getBinding(c.member.name);
        if (global && callee && callee.scope === program)
            atEnd.push(k);
    });
    const probes = [];
    const sure = (c) => t.booleanLiteral(!!c.declared);
    const attempt = (k) => {
        const args = calls[k].path.node.arguments.map((a) => t.cloneNode(a));
        const call = t.callExpression(t.identifier("__vexoCallee"), [
            t.cloneNode(calls[k].member), t.arrowFunctionExpression([], t.arrayExpression(args)),
            sure(calls[k])
        ]);
        return t.arrayExpression([ t.numericLiteral(k), t.arrowFunctionExpression([], call) ]);
    };
    for (const [s, ks] of before) {
        const list = t.arrayExpression(ks.map(attempt));
        probes.push(s.insertBefore(
            t.expressionStatement(t.callExpression(t.identifier("__vexoProbe"), [ list ])))[0]);
    }
    if (atEnd.length) {
        const body = ast.program.body;
        body.push(t.expressionStatement(t.callExpression(
            t.identifier("__vexoProbe"), [ t.arrayExpression(atEnd.map(attempt)) ])));
        probes.push({remove : () => body.pop()});
    }
    calls.forEach((c, k) => {
        const n = c.path.node;
        saved.push({callee : n.callee, arguments : n.arguments});
        n.callee = t.identifier("__vexoSeen");
        n.arguments = [
            t.numericLiteral(k), t.cloneNode(c.member), t.arrayExpression(saved[k].arguments),
            sure(c)
        ];
    });
    const marked = [];
    for (const m of members.values()) {
        if (m.declared)
            continue;
        const a = m.path.node;
        marked.push([ a, a.right ]);
        a.right = t.callExpression(t.identifier("__vexoMark"), [ a.right ]);
    }
    try {
        return generate(ast);
    } finally {
        calls.forEach((c, k) => Object.assign(c.path.node, saved[k]));
        for (const [a, r] of marked)
            a.right = r;
        for (const p of probes)
            p.remove();
    }
}

const probeRuntime = `
var __vexoValues = [], __vexoMarks = new WeakSet();
function __vexoMark(f) { __vexoMarks.add(f); return f; }
function __vexoNote(k, v) { var was = __vexoValues[k];
    __vexoValues[k] = typeof v === "string" && (was === undefined || was === v) ? v : false; }
function __vexoCallee(f, args, sure) {
    if (!sure && !__vexoMarks.has(f)) throw new Error("not a decoder");
    return f.apply(undefined, args());
}
function __vexoProbe(list) {
    for (var i = 0; i < list.length; i++) { try { __vexoNote(list[i][0], list[i][1]()); } catch (e) {} }
}
function __vexoSeen(k, f, args, sure) {
    if (!sure && !__vexoMarks.has(f)) __vexoValues[k] = false;
    var v = f.apply(undefined, args);
    __vexoNote(k, v);
    return v;
}
`;

function decodeMembers(ast) {
    const members = memberFunctions(ast);
    if (!members.size)
        return false;
    // The calls that could be decoder calls first: only their callees are looked into.
    const found = [], tables = literalTables(ast);
    traverse(ast, {
        CallExpression(path) {
            const member = calleeMember(path.node.callee);
            const n = path.node.arguments.length;
            if (!member || n < 1 || n > 4)
                return;
            const key = member.type === "Identifier" ? path.scope.getBinding(member.name)
                                                     : member.property.name;
            if (!key || !members.has(key))
                return;
            if (!path.node.arguments.every((a) => isTableArgument(a, tables)) ||
                !path.getStatementParent())
                return;
            found.push({path, member, key});
        },
    });
    if (!found.length)
        return false;
    // Member and local decoders are all looked into (one may only serve another, and go
    // with it); declared functions only when a call could be a decoder call.
    const wanted = new Set(found.map((c) => c.key));
    for (const [k, m] of members)
        if (!m.declared)
            wanted.add(k);
    const decs = decoders(members, ast, wanted);
    const calls = found.filter((c) => decs.has(c.key))
                      .map((c) => ({...c, declared : !!decs.get(c.key).declared}));
    if (!calls.length)
        return false;
    const script = probeScript(ast, calls, decs);
    let values;
    try {
        values = JSON.parse(runInSandbox(quietPrelude + probeRuntime + "try { (0, eval)(" +
                                         JSON.stringify(script) +
                                         "); } catch (e) {}\nJSON.stringify(__vexoValues);"));
    } catch (e) {
        return false;
    }
    let changed = false;
    calls.forEach((c, k) => {
        if (typeof values[k] !== "string" || c.path.removed)
            return;
        c.path.replaceWith(t.stringLiteral(values[k]));
        changed = true;
    });
    if (changed) {
        sweepCalled(ast,
                    new Set([...decs.values() ].filter((d) => d.declared).map((d) => d.path.node)));
        removeDeadLocals(ast, [...decs.values() ].filter((d) => d.local).map((d) => d.path.node));
        removeDead(ast, [...decs.keys() ].filter((k) => typeof k === "string"));
    }
    if (globalThis.__d5dump)
        globalThis.__d5dump(generate(ast));
    return changed;
}

export const memberStrings = {
    name : "字符串隐藏（成员中的解码函数）",
    // Decoders given as functions, arrows or declarations.
    detect : (code) => /\bfunction\b|=>/.test(code),
    run(ast) {
        freshScopes();
        return decodeMembers(ast);
    },
};
