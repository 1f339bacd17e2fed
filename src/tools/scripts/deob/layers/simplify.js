// Constant folding, dead branches of opaque predicates and comma sequences.
import { t, traverse } from "../babel.js";
import { constantValue, constantTruth, isPrintable, literalFor, isPlainName } from "../constant.js";

// Hex numbers and escapes print as plain literals once their raw text is forgotten.
function dropRaw(node) {
    if (!node.extra || node.extra.raw === undefined) return false;
    const raw = node.extra.raw;
    // (Numbers with separators too: printed from raw, `1_000.x` would not parse.)
    if (node.type === "NumericLiteral" ? /^0[xXoObB]|_/.test(raw) : /\\[xu]/.test(raw)) {
        delete node.extra;
        return true;
    }
    return false;
}

// "abc".length alone stays as written (it may well be the author's); inside a constant
// expression it folds with the rest.
function isFoldable(node) {
    return node.type === "BinaryExpression" || node.type === "UnaryExpression" ||
        node.type === "LogicalExpression" || node.type === "ConditionalExpression" ||
        node.type === "TemplateLiteral";
}

export const foldConstants = {
    name: "常量折叠",
    run(ast) {
        let changed = false;
        traverse(ast, {
            exit(path) {
                const node = path.node;
                if (node.type === "StringLiteral" || node.type === "NumericLiteral") {
                    if (dropRaw(node)) changed = true;
                    return;
                }
                if (node.type === "MemberExpression" || node.type === "OptionalMemberExpression") {
                    if (node.computed && node.property.type === "StringLiteral" &&
                        isPlainName(node.property.value)) {
                        node.property = t.identifier(node.property.value);
                        node.computed = false;
                        changed = true;
                    }
                    return;
                }
                if ((node.type === "ObjectProperty" || node.type === "ObjectMethod" ||
                     node.type === "ClassMethod" || node.type === "ClassProperty") && !node.computed &&
                    node.key.type === "StringLiteral" && isPlainName(node.key.value) &&
                    node.key.value !== "constructor") {
                    node.key = t.identifier(node.key.value);
                    if (node.type === "ObjectProperty") node.shorthand = false;
                    changed = true;
                    return;
                }
                if (!isFoldable(node)) return;
                if (node.type === "UnaryExpression" && node.operator === "-" &&
                    node.argument.type === "NumericLiteral") return;
                if (node.type === "UnaryExpression" && node.operator === "void" &&
                    node.argument.type === "NumericLiteral") {
                    // void 0 reads as undefined where the script does not shadow it.
                    if (!path.scope.hasBinding("undefined", true)) {
                        path.replaceWith(t.identifier("undefined"));
                        changed = true;
                    }
                    return;
                }
                const v = constantValue(node, path);
                if (!v || !isPrintable(v.value)) return;
                if (typeof v.value === "string" && v.value.length > 65536) return;
                path.replaceWith(literalFor(v.value));
                changed = true;
            },
        });
        return changed;
    },
};

function hasLexical(statements) {
    return statements.some((s) => (s.type === "VariableDeclaration" && s.kind !== "var") ||
        s.type === "ClassDeclaration" || s.type === "FunctionDeclaration");
}

// Replaces a statement by the statements of a branch (a block keeps its braces when it
// declares block-scoped names).
function replaceByBranch(path, branch) {
    if (!branch) {
        path.remove();
        return;
    }
    if (branch.type === "BlockStatement" && !hasLexical(branch.body)) {
        if (path.parentPath.isBlockStatement() || path.parentPath.isProgram() ||
            path.parentPath.isSwitchCase()) {
            path.replaceWithMultiple(branch.body);
            return;
        }
    }
    path.replaceWith(branch);
}

export const deadBranches = {
    name: "死代码（不透明谓词）",
    run(ast) {
        let changed = false;
        traverse(ast, {
            IfStatement: {
                exit(path) {
                    const c = constantTruth(path.node.test, path);
                    if (!c) return;
                    replaceByBranch(path, c.value ? path.node.consequent : path.node.alternate);
                    changed = true;
                },
            },
            ConditionalExpression: {
                exit(path) {
                    const c = constantTruth(path.node.test, path);
                    if (!c) return;
                    path.replaceWith(c.value ? path.node.consequent : path.node.alternate);
                    changed = true;
                },
            },
            LogicalExpression: {
                exit(path) {
                    const { operator, left, right } = path.node;
                    const c = constantTruth(left, path);
                    if (!c || operator === "??") return;
                    // true && x → x, false || x → x; the other cases keep the constant.
                    if ((operator === "&&" && c.value) || (operator === "||" && !c.value)) {
                        path.replaceWith(right);
                        changed = true;
                    }
                },
            },
        });
        return changed;
    },
};

export const splitSequences = {
    name: "逗号表达式拆分",
    run(ast) {
        let changed = false;
        traverse(ast, {
            ExpressionStatement(path) {
                const e = path.node.expression;
                if (e.type !== "SequenceExpression" || !path.parentPath.isBlockStatement() &&
                    !path.parentPath.isProgram() && !path.parentPath.isSwitchCase()) return;
                path.replaceWithMultiple(e.expressions.map((x) => t.expressionStatement(x)));
                changed = true;
            },
            ReturnStatement(path) {
                const e = path.node.argument;
                if (!e || e.type !== "SequenceExpression" || !path.parentPath.isBlockStatement() &&
                    !path.parentPath.isSwitchCase()) return;
                const exprs = e.expressions.slice();
                const last = exprs.pop();
                path.replaceWithMultiple(exprs.map((x) => t.expressionStatement(x))
                    .concat([t.returnStatement(last)]));
                changed = true;
            },
        });
        return changed;
    },
};
