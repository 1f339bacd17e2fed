// Small walks over syntax-tree nodes (without paths or scopes, so they are cheap), and
// copying an expression with some names replaced by other expressions.
import { t } from "./babel.js";

// Calls fn(child, node, key) for every child node.
export function forEachChild(node, fn) {
    for (const k of t.VISITOR_KEYS[node.type] || []) {
        const child = node[k];
        if (Array.isArray(child)) {
            for (const c of child) if (c && typeof c.type === "string") fn(c, node, k);
        } else if (child && typeof child.type === "string") {
            fn(child, node, k);
        }
    }
}

export function substitute(expr, map) {
    const copy = t.cloneNode(expr, true, true);
    const walk = (node, parent, key) => {
        if (!node || typeof node.type !== "string") return node;
        if (node.type === "Identifier" && Object.prototype.hasOwnProperty.call(map, node.name)) {
            const isProperty = (parent && (parent.type === "MemberExpression" || parent.type === "OptionalMemberExpression") &&
                key === "property" && !parent.computed) ||
                (parent && parent.type === "ObjectProperty" && key === "key" && !parent.computed);
            if (!isProperty) return t.cloneNode(map[node.name], true);
        }
        for (const k of t.VISITOR_KEYS[node.type] || []) {
            const child = node[k];
            if (Array.isArray(child)) {
                for (let i = 0; i < child.length; ++i) child[i] = walk(child[i], node, k);
            } else if (child) {
                node[k] = walk(child, node, k);
            }
        }
        return node;
    };
    return walk(copy, null, null);
}

// The names an expression reads, in order of appearance (property names excluded).
export function namesRead(expr) {
    const out = [];
    const walk = (node, parent, key) => {
        if (!node || typeof node.type !== "string") return;
        if (node.type === "Identifier") {
            const isProperty = parent && ((parent.type === "MemberExpression" || parent.type === "OptionalMemberExpression") &&
                key === "property" && !parent.computed || parent.type === "ObjectProperty" && key === "key" && !parent.computed);
            if (!isProperty) out.push(node.name);
            return;
        }
        forEachChild(node, walk);
    };
    walk(expr, null, null);
    return out;
}

export function containsFunction(expr) {
    let found = false;
    const walk = (node) => {
        if (!node || typeof node.type !== "string" || found) return;
        if (t.isFunction(node) || node.type === "ThisExpression" || node.type === "Super" ||
            node.type === "YieldExpression" || node.type === "AwaitExpression") { found = true; return; }
        forEachChild(node, walk);
    };
    walk(expr);
    return found;
}

// The key a member expression reads (o.k, o["k"], o[7]), or null when it is computed.
export function memberKey(member) {
    const p = member.property;
    if (!member.computed && p.type === "Identifier") return p.name;
    if (member.computed && p.type === "StringLiteral") return p.value;
    if (member.computed && p.type === "NumericLiteral") return String(p.value);
    return null;
}

// The key of an object property or method written as a name, string or number; null
// for a computed one.
export function propertyKey(prop) {
    if (prop.computed) return null;
    if (prop.key.type === "Identifier") return prop.key.name;
    if (prop.key.type === "StringLiteral") return prop.key.value;
    if (prop.key.type === "NumericLiteral") return String(prop.key.value);
    return null;
}

// Numbers written with separators print from their raw text, and `1_000.x` would not
// parse: in code taken from a string they print as values.
export function forgetSeparators(node) {
    if (node.type === "NumericLiteral" && node.extra && /_/.test(node.extra.raw || "")) delete node.extra;
    forEachChild(node, forgetSeparators);
}
