// A small evaluator for expressions built only of literals, so folding them can never
// depend on the script's variables or run any of its code.
import { t } from "./babel.js";

const NONE = undefined;

function isUnboundGlobal(path, name) {
    return !!path && !path.scope.hasBinding(name, true);
}

// { value } for a constant expression, NONE otherwise. `path` (optional) lets
// `undefined`, `NaN` and `Infinity` count when the script does not shadow them; `env`
// (optional) gives values to names (the parameters of a wrapper being inlined).
export function constantValue(node, path, env) {
    switch (node.type) {
    case "StringLiteral":
    case "NumericLiteral":
    case "BooleanLiteral":
        return { value: node.value };
    case "NullLiteral":
        return { value: null };
    case "Identifier":
        if (env && Object.prototype.hasOwnProperty.call(env, node.name)) return { value: env[node.name] };
        if (node.name === "undefined" && isUnboundGlobal(path, "undefined")) return { value: undefined };
        if (node.name === "NaN" && isUnboundGlobal(path, "NaN")) return { value: NaN };
        if (node.name === "Infinity" && isUnboundGlobal(path, "Infinity")) return { value: Infinity };
        return NONE;
    case "TemplateLiteral":
        if (node.expressions.length === 0 && node.quasis[0].value.cooked != null)
            return { value: node.quasis[0].value.cooked };
        return NONE;
    case "MemberExpression": {
        // "abc".length and [..].length
        const key = node.computed ? node.property.type === "StringLiteral" && node.property.value
            : node.property.type === "Identifier" && node.property.name;
        if (key !== "length") return NONE;
        const o = constantValue(node.object, path, env);
        return o && (typeof o.value === "string" || Array.isArray(o.value)) ? { value: o.value.length } : NONE;
    }
    case "ParenthesizedExpression":
        return constantValue(node.expression, path, env);
    case "ArrayExpression": {
        const items = [];
        for (const e of node.elements) {
            if (!e || e.type === "SpreadElement") return NONE;
            const v = constantValue(e, path, env);
            if (!v || (typeof v.value === "object" && v.value !== null)) return NONE;
            items.push(v.value);
        }
        return { value: items };
    }
    case "UnaryExpression": {
        if (node.operator === "delete") return NONE;
        const a = constantValue(node.argument, path, env);
        if (!a) return NONE;
        const v = a.value;
        switch (node.operator) {
        case "!": return { value: !v };
        case "-": return Array.isArray(v) && v.length > 1 ? NONE : { value: -v };
        case "+": return Array.isArray(v) && v.length > 1 ? NONE : { value: +v };
        case "~": return { value: ~v };
        case "typeof": return { value: typeof v };
        case "void": return { value: undefined };
        }
        return NONE;
    }
    case "BinaryExpression": {
        if (node.operator === "in" || node.operator === "instanceof") return NONE;
        const a = constantValue(node.left, path, env);
        if (!a) return NONE;
        const b = constantValue(node.right, path, env);
        if (!b) return NONE;
        const x = a.value, y = b.value;
        switch (node.operator) {
        case "+": return { value: x + y };
        case "-": return { value: x - y };
        case "*": return { value: x * y };
        case "/": return { value: x / y };
        case "%": return { value: x % y };
        case "**": return { value: x ** y };
        case "==": return { value: x == y }; // eslint-disable-line eqeqeq
        case "!=": return { value: x != y }; // eslint-disable-line eqeqeq
        case "===": return { value: x === y && !Array.isArray(x) };
        case "!==": return { value: x !== y || Array.isArray(x) };
        case "<": return { value: x < y };
        case ">": return { value: x > y };
        case "<=": return { value: x <= y };
        case ">=": return { value: x >= y };
        case "&": return { value: x & y };
        case "|": return { value: x | y };
        case "^": return { value: x ^ y };
        case "<<": return { value: x << y };
        case ">>": return { value: x >> y };
        case ">>>": return { value: x >>> y };
        }
        return NONE;
    }
    case "LogicalExpression": {
        const a = constantValue(node.left, path, env);
        if (!a) return NONE;
        const b = constantValue(node.right, path, env);
        if (!b) return NONE;
        if (node.operator === "&&") return { value: a.value && b.value };
        if (node.operator === "||") return { value: a.value || b.value };
        return { value: a.value ?? b.value };
    }
    case "ConditionalExpression": {
        const c = constantValue(node.test, path, env);
        if (!c) return NONE;
        return constantValue(c.value ? node.consequent : node.alternate, path, env);
    }
    }
    return NONE;
}

// Whether a value can be written back as a plain literal.
export function isPrintable(value) {
    if (typeof value === "string" || typeof value === "boolean" || value === null) return true;
    if (typeof value === "number") return Number.isFinite(value) && !Object.is(value, -0);
    return false;
}

export function literalFor(value) {
    if (typeof value === "string") return t.stringLiteral(value);
    if (typeof value === "boolean") return t.booleanLiteral(value);
    if (value === null) return t.nullLiteral();
    if (value < 0) return t.unaryExpression("-", t.numericLiteral(-value));
    return t.numericLiteral(value);
}

// The truth value of a constant test, or NONE.
export function constantTruth(node, path) {
    const v = constantValue(node, path);
    return v ? { value: !!v.value } : NONE;
}

const reserved = new Set(("break case catch class const continue debugger default delete do else enum " +
    "export extends false finally for function if import in instanceof new null return super switch " +
    "this throw true try typeof var void while with yield let static implements interface package " +
    "private protected public await").split(" "));

// The names the obfuscator makes up: _0x1a2b, and b_0x1a2b or a1__0x1a2b for wrapper
// copies (a letter or two, maybe digits, before the `_0x`).
export function isObfuscatedName(s) {
    return /^(?:[a-z]{1,2}\d*_?)?_0x[\da-f]+$/i.test(s);
}

export function isPlainName(s) {
    return /^[A-Za-z_$][\w$]*$/.test(s) && !reserved.has(s);
}
