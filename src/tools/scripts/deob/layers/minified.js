// Minified code written back as people write it: !0/!1 → true/false, void 0 →
// undefined, typeof x > "u" → typeof x === "undefined", constants put to the right of a
// comparison, `a && b()` / `a ? b() : c()` statements as if statements, comma sequences
// split (statements, returns, for heads, declarations), one declaration per name, 1/0 →
// Infinity, 1e3 → 1000. Each rewrite keeps what the code does exactly.
import { t, traverse, freshScopes } from "../babel.js";

const mirrored = { "==": "==", "===": "===", "!=": "!=", "!==": "!==", "<": ">", ">": "<", "<=": ">=", ">=": "<=" };
const negated = { "==": "!=", "!=": "==", "===": "!==", "!==": "===" };

function unbound(path, name) {
    return !path.scope.hasBinding(name, true);
}

// A value that reading runs nothing and that cannot change: the right side of a
// comparison as people write it.
function isConstant(node, path) {
    if (t.isLiteral(node) && node.type !== "TemplateLiteral" && node.type !== "RegExpLiteral") return true;
    if (node.type === "Identifier") return (node.name === "undefined" || node.name === "NaN" ||
        node.name === "Infinity") && unbound(path, node.name);
    if (node.type === "UnaryExpression" && node.operator === "-") return node.argument.type === "NumericLiteral";
    return node.type === "UnaryExpression" && node.operator === "void" && node.argument.type === "NumericLiteral";
}

function isTypeof(node) {
    return node.type === "UnaryExpression" && node.operator === "typeof";
}

// The test `!(e)` written plainly.
function negation(e) {
    if (e.type === "UnaryExpression" && e.operator === "!") return e.argument;
    if (e.type === "BinaryExpression" && negated[e.operator]) return t.binaryExpression(negated[e.operator], e.left, e.right);
    return t.unaryExpression("!", e);
}

function block(statements) {
    return t.blockStatement(statements);
}

// The statements an expression statement's expression stands for: sequences one per
// statement, logical and conditional expressions as if statements.
function statementsOf(e) {
    if (e.type === "SequenceExpression") return e.expressions.flatMap(statementsOf);
    if (e.type === "LogicalExpression" && (e.operator === "&&" || e.operator === "||"))
        return [t.ifStatement(e.operator === "&&" ? e.left : negation(e.left), block(statementsOf(e.right)))];
    if (e.type === "ConditionalExpression")
        return [t.ifStatement(e.test, block(statementsOf(e.consequent)), elseOf(statementsOf(e.alternate)))];
    if (e.type === "UnaryExpression" && (e.operator === "!" || e.operator === "void") &&
        e.argument.type === "CallExpression" && e.argument.callee.type === "FunctionExpression")
        return [t.expressionStatement(e.argument)]; // !function () {…}() — the value is dropped
    return [t.expressionStatement(e)];
}

// `else if` stays a chain.
function elseOf(statements) {
    return statements.length === 1 && statements[0].type === "IfStatement" ? statements[0] : block(statements);
}

function inList(path) {
    return path.parentPath.isBlockStatement() || path.parentPath.isProgram() || path.parentPath.isSwitchCase();
}

// Puts statements in place of the statement at `path`: in a list they join it, elsewhere
// (the body of an if or a loop) they take a block.
function replaceStatement(path, statements) {
    if (inList(path)) path.replaceWithMultiple(statements);
    else path.replaceWith(statements.length === 1 && statements[0].type !== "IfStatement" &&
        statements[0].type !== "VariableDeclaration" ? statements[0] : block(statements));
}

// Runs `before` ahead of the statement at `path` (above its labels).
function hoistBefore(path, expressions) {
    let at = path;
    while (at.parentPath.isLabeledStatement()) at = at.parentPath;
    const statements = expressions.flatMap(statementsOf);
    if (inList(at)) at.insertBefore(statements);
    else at.replaceWith(block(statements.concat([at.node])));
}

function plainNumber(node) {
    const raw = node.extra && node.extra.raw;
    if (!raw || !/^(?:\d*\.\d*|\d+)(?:e[+-]?\d+)?$/i.test(raw) || !/[eE.]/.test(raw)) return false;
    const text = String(node.value);
    if (/e/.test(text) || text === raw || text.length > 22) return false;
    // 1.50 stays 1.50 (a price, a version); only the minifier's forms go.
    if (/^\d+\.\d+$/.test(raw)) return false;
    delete node.extra;
    return true;
}

export const readableMinified = {
    name: "还原压缩代码",
    run(ast) {
        freshScopes();
        let changed = false;
        const did = () => { changed = true; };
        traverse(ast, {
            NumericLiteral(path) {
                if (plainNumber(path.node)) did();
            },
            UnaryExpression: { exit(path) {
                const { operator, argument } = path.node;
                if (operator === "!" && argument.type === "NumericLiteral" && (argument.value === 0 || argument.value === 1)) {
                    path.replaceWith(t.booleanLiteral(argument.value === 0));
                    did();
                } else if (operator === "void" && argument.type === "NumericLiteral" && unbound(path, "undefined")) {
                    path.replaceWith(t.identifier("undefined"));
                    did();
                }
            } },
            BinaryExpression: { exit(path) {
                const node = path.node;
                // 1/0, -1/0, 0/0
                if (node.operator === "/" && node.right.type === "NumericLiteral" && node.right.value === 0 &&
                    !(node.right.extra && /^0[xob]/i.test(node.right.extra.raw || ""))) {
                    const l = node.left;
                    const n = l.type === "NumericLiteral" ? l.value :
                        l.type === "UnaryExpression" && l.operator === "-" && l.argument.type === "NumericLiteral" ? -l.argument.value : null;
                    if (n === null) return;
                    if (n === 0 && unbound(path, "NaN")) path.replaceWith(t.identifier("NaN"));
                    else if (n !== 0 && unbound(path, "Infinity"))
                        path.replaceWith(n > 0 ? t.identifier("Infinity") : t.unaryExpression("-", t.identifier("Infinity")));
                    else return;
                    did();
                    return;
                }
                if (!mirrored[node.operator]) return;
                // Constants to the right: "a" === x → x === "a" (neither side runs code
                // when read, so the order does not matter).
                if (isConstant(node.left, path) && !isConstant(node.right, path)) {
                    const left = node.left;
                    node.left = node.right;
                    node.right = left;
                    node.operator = mirrored[node.operator];
                    did();
                }
                // typeof x > "u": "undefined" is the only result after "u".
                if (isTypeof(node.left) && node.right.type === "StringLiteral" && node.right.value === "u" &&
                    node.operator !== "==" && node.operator !== "===" && node.operator !== "!=" && node.operator !== "!==") {
                    node.operator = node.operator[0] === ">" ? "===" : "!==";
                    node.right = t.stringLiteral("undefined");
                    did();
                }
                // typeof x == "string": both sides are strings, so == is ===.
                if (isTypeof(node.left) && node.right.type === "StringLiteral" && (node.operator === "==" || node.operator === "!=")) {
                    node.operator += "=";
                    did();
                }
            } },
            ExpressionStatement: { exit(path) {
                const e = path.node.expression;
                const split = statementsOf(e);
                if (split.length === 1 && split[0].type === "ExpressionStatement" && split[0].expression === e) return;
                replaceStatement(path, split);
                did();
            } },
            "ReturnStatement|ThrowStatement": { exit(path) {
                const e = path.node.argument;
                if (!e || e.type !== "SequenceExpression") return;
                const last = e.expressions[e.expressions.length - 1];
                const statements = e.expressions.slice(0, -1).flatMap(statementsOf);
                statements.push(path.isReturnStatement() ? t.returnStatement(last) : t.throwStatement(last));
                replaceStatement(path, statements);
                did();
            } },
            "IfStatement|SwitchStatement": { exit(path) {
                const key = path.isIfStatement() ? "test" : "discriminant";
                const e = path.node[key];
                if (e.type !== "SequenceExpression") return;
                path.node[key] = e.expressions[e.expressions.length - 1];
                hoistBefore(path, e.expressions.slice(0, -1));
                did();
            } },
            ForStatement: { exit(path) {
                const init = path.node.init;
                // for (var a = 1, b = 2, i = 0; …): a var is the function's either way, so
                // all but the loop's own counter go ahead (let and const stay: each turn
                // of the loop has its own).
                if (init && init.type === "VariableDeclaration" && init.kind === "var" && init.declarations.length > 1) {
                    const ahead = init.declarations.slice(0, -1).map((d) => t.variableDeclaration("var", [d]));
                    path.node.init = t.variableDeclaration("var", init.declarations.slice(-1));
                    let at = path;
                    while (at.parentPath.isLabeledStatement()) at = at.parentPath;
                    if (inList(at)) at.insertBefore(ahead);
                    else at.replaceWith(block(ahead.concat([at.node])));
                    did();
                    return;
                }
                if (!init || init.type !== "SequenceExpression") return;
                // for (i = 0, j = n; …) is as people write it; what comes before the
                // counters (calls, the minifier's merged statements) goes ahead.
                const list = init.expressions;
                let keep = list.length;
                while (keep > 0 && list[keep - 1].type === "AssignmentExpression") --keep;
                if (keep === list.length) keep = list.length - 1;
                if (keep === 0) return;
                const rest = list.slice(keep);
                path.node.init = rest.length === 1 ? rest[0] : t.sequenceExpression(rest);
                hoistBefore(path, list.slice(0, keep));
                did();
            } },
            ArrowFunctionExpression: { exit(path) {
                // () => (a(), b)
                const body = path.node.body;
                if (body.type !== "SequenceExpression") return;
                const last = body.expressions[body.expressions.length - 1];
                path.node.body = block(body.expressions.slice(0, -1).flatMap(statementsOf).concat([t.returnStatement(last)]));
                did();
            } },
            VariableDeclaration: { exit(path) {
                const node = path.node;
                if (!inList(path) || (path.parentPath.isExportNamedDeclaration())) return;
                // var x = (a(), b) → a(); var x = b
                const first = node.declarations[0];
                if (first.init && first.init.type === "SequenceExpression") {
                    const seq = first.init;
                    first.init = seq.expressions[seq.expressions.length - 1];
                    path.insertBefore(seq.expressions.slice(0, -1).flatMap(statementsOf));
                    did();
                }
                if (node.declarations.length < 2) return;
                path.replaceWithMultiple(node.declarations.map((d) => t.variableDeclaration(node.kind, [d])));
                did();
            } },
        });
        return changed;
    },
};
