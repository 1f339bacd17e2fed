// The members and locals given a function once, and the removal of decoders among them
// once nothing can reach them: a member only when no other use of its name is left and
// its holder object is only ever read by plain names, a local when nothing reads it.
import {freshScopes, traverse, treeChanged} from "../babel.js";
import {memberKey, propertyKey} from "../subst.js";

import {sweepUnused} from "./confuserCleanup.js";

export const longString = 40;

function isFunctionValue(n) {
    return n && (n.type === "FunctionExpression" || n.type === "ArrowFunctionExpression") &&
           !n.async && !n.generator;
}

// The members assigned a function once: name → { path (the assignment), fn, holder, reads }.
export function memberFunctions(ast) {
    const found = new Map(), twice = new Set();
    traverse(ast, {
        AssignmentExpression(path) {
            const {left, right, operator} = path.node;
            if (operator !== "=" || left.type !== "MemberExpression" || left.computed ||
                left.property.type !== "Identifier")
                return;
            const name = left.property.name;
            if (found.has(name) || !isFunctionValue(right)) {
                twice.add(name);
                return;
            }
            const holder = left.object.type === "MemberExpression" ? memberKey(left.object) : null;
            found.set(name, {path, holder, fn : path.get("right")});
        },
    });
    for (const n of twice)
        found.delete(n);
    // Locals given a decoder once, often only when the caller passed none:
    // `if (!dec) dec = function (a, b) { … };`.
    traverse(ast, {
        AssignmentExpression(path) {
            const {left, right, operator} = path.node;
            if (operator !== "=" || left.type !== "Identifier" || !isFunctionValue(right))
                return;
            const b = path.scope.getBinding(left.name);
            if (!b || b.constantViolations.length !== 1 ||
                !(b.kind === "param" || (b.path.isVariableDeclarator() && !b.path.node.init)))
                return;
            found.set(b, {path, holder : null, fn : path.get("right"), local : true});
        },
        // Declared decoders, often in the block that uses them, called with numbers read
        // from a table (`dec(1486, k[2])`).
        FunctionDeclaration(path) {
            const b = path.parentPath.scope.getBinding(path.node.id.name);
            // A function declared in a block counts once more as its own redeclaration.
            if (b && b.path === path && b.constantViolations.every((v) => v.node === path.node) &&
                !path.node.async && !path.node.generator)
                found.set(b, {path, holder : null, fn : path, declared : true});
        },
    });
    return found;
}

// Where the name of a member is written anywhere (reads, writes, keys, strings).
function nameUses(ast) {
    const uses = new Map();
    const add = (name, path) => {
        if (!uses.has(name))
            uses.set(name, []);
        uses.get(name).push(path);
    };
    let open = false; // code that could reach members by computed names or enumeration
    traverse(ast, {
        MemberExpression(p) {
            const k = memberKey(p.node);
            if (k !== null)
                add(k, p);
        },
        ObjectProperty(p) {
            const k = propertyKey(p.node);
            if (k !== null)
                add(k, p);
        },
        ObjectMethod(p) {
            const k = propertyKey(p.node);
            if (k !== null)
                add(k, p);
        },
        StringLiteral(p) { add(p.node.value, p); },
        ForInStatement() { open = true; },
        SpreadElement(p) {
            if (p.parentPath.isObjectExpression())
                open = true;
        },
        WithStatement() { open = true; },
        Identifier(p) {
            if (/^(?:eval|Function|Reflect|JSON|keys|values|entries|getOwnPropertyNames|getOwnPropertyDescriptors|assign)$/
                    .test(p.node.name))
                open = true;
        },
    });
    return {uses, open};
}

// The holder object (`sc.m`) is reached only as `x.m.name`, or passed on as `{ m: x.m }`;
// and the objects that carry it (`sc`) only read by plain names.
function holderClosed(holder, uses) {
    for (const p of uses.get(holder) || []) {
        if (p.isObjectProperty()) {
            const v = p.node.value;
            if (v.type !== "ObjectExpression" &&
                !(v.type === "MemberExpression" && memberKey(v) === holder))
                return false;
            continue;
        }
        // `x["m"]`: the key of a use listed as the member itself.
        if (p.isStringLiteral() &&
            ((p.parentPath.isMemberExpression() && p.parent.property === p.node) ||
             (p.parentPath.isObjectProperty() && p.parent.key === p.node)))
            continue;
        if (!p.isMemberExpression())
            return false;
        const up = p.parentPath;
        if (up.isMemberExpression() && up.node.object === p.node && memberKey(up.node) !== null)
            continue;
        if (up.isObjectProperty() && up.node.value === p.node && propertyKey(up.node) === holder)
            continue;
        if (up.isAssignmentExpression() && up.node.left === p.node &&
            up.node.right.type === "ObjectExpression")
            continue;
        return false;
    }
    // The carriers: identifiers `sc` in `sc.m`; each of their reads a plain member.
    for (const p of uses.get(holder) || []) {
        if (!p.isMemberExpression() || p.node.object.type !== "Identifier")
            continue;
        const b = p.scope.getBinding(p.node.object.name);
        if (!b)
            return false;
        for (const r of b.referencePaths) {
            const up = r.parentPath;
            if (up.isMemberExpression() && up.node.object === r.node && memberKey(up.node) !== null)
                continue;
            return false;
        }
    }
    return true;
}

// Removes decoder members nothing reaches any more, and then what only they used.
export function removeDead(ast, names) {
    let removed = 0;
    for (let again = true; again;) {
        again = false;
        treeChanged();
        freshScopes();
        const members = memberFunctions(ast);
        const {uses, open} = nameUses(ast);
        if (open)
            return removed;
        const unreached = (name, assignment, holder) => {
            const others =
                (uses.get(name) ||
                 []).filter((p) => p !== assignment.get("left") && !p.isDescendant(assignment));
            return !others.length && !!holder && holderClosed(holder, uses);
        };
        for (const name of names) {
            const m = members.get(name);
            if (!m || !m.path.parentPath.isExpressionStatement() ||
                !unreached(name, m.path, m.holder))
                continue;
            const used = calledFunctions(m.fn);
            m.path.parentPath.remove();
            // Scopes again, without the removed closure; then the functions only it called.
            sweepCalled(ast, used);
            ++removed;
            again = true;
            break;
        }
        if (again)
            continue;
        // The encoded text the decoders read from a member (`sc.m.text = "…"`), once no
        // decoder is left to read it.
        traverse(ast, {
            AssignmentExpression(path) {
                const {left, right} = path.node;
                if (again || left.type !== "MemberExpression" || right.type !== "StringLiteral" ||
                    right.value.length < longString || !path.parentPath.isExpressionStatement())
                    return;
                const name = memberKey(left);
                const holder =
                    left.object.type === "MemberExpression" ? memberKey(left.object) : null;
                if (name === null || !unreached(name, path, holder))
                    return;
                path.parentPath.remove();
                ++removed;
                again = true;
            },
        });
    }
    return removed;
}

// The functions and variables a decoder reads by name (their declarations, found again
// after the tree changed), and the sweep of those nothing else uses.
function calledFunctions(fnPath) {
    const used = new Set();
    fnPath.traverse({
        Identifier(p) {
            const b = p.isReferencedIdentifier() && p.scope.getBinding(p.node.name);
            if (b && (b.path.isFunctionDeclaration() || b.path.isVariableDeclarator()))
                used.add(b.path.node);
        },
    });
    return used;
}

export function sweepCalled(ast, used) {
    treeChanged();
    freshScopes();
    const seeds = new Set();
    const look = (p, id) => {
        if (used.has(p.node) && id && id.type === "Identifier") {
            const b = p.scope.getBinding(id.name);
            if (b && b.path === p)
                seeds.add(b);
        }
    };
    traverse(ast, {
        FunctionDeclaration(p) { look(p, p.node.id); },
        VariableDeclarator(p) { look(p, p.node.id); },
    });
    sweepUnused(seeds, new Set());
}

// Local decoders nothing calls any more: `if (!dec) dec = …;` goes (the parameter stays).
export function removeDeadLocals(ast, assignments) {
    const left = new Set(assignments);
    for (let again = true; again && left.size;) {
        again = false;
        treeChanged();
        freshScopes();
        let found = null;
        traverse(ast, {
            AssignmentExpression(path) {
                if (found || !left.has(path.node))
                    return;
                const statement = path.parentPath;
                if (!statement.isExpressionStatement())
                    return;
                let whole = statement, test = null;
                const up =
                    statement.parentPath.isBlockStatement() && statement.parent.body.length === 1
                        ? statement.parentPath.parentPath
                        : statement.parentPath;
                if (up.isIfStatement() && !up.node.alternate &&
                    up.node.consequent !== up.node.test &&
                    up.node.test.type === "UnaryExpression" && up.node.test.operator === "!" &&
                    up.node.test.argument.type === "Identifier" &&
                    up.node.test.argument.name === path.node.left.name) {
                    whole = up;
                    test = up.node.test.argument;
                }
                const b = path.scope.getBinding(path.node.left.name);
                if (!b || b.referencePaths.some((r) => r.node !== test && !r.isDescendant(path)))
                    return;
                found = {whole, fn : path.get("right"), node : path.node};
                path.stop();
            },
        });
        if (!found)
            break;
        left.delete(found.node);
        const used = calledFunctions(found.fn);
        found.whole.remove();
        sweepCalled(ast, used);
        again = true;
    }
}
