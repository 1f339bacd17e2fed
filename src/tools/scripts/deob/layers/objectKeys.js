// Objects taken apart into property assignments (var o = {}; o.a = 1; o.b = f; var p = o;)
// are put back together as one literal, so that the proxy layer can see them whole.
import { t, traverse, freshScopes } from "../babel.js";
import { memberKey, namesRead, propertyKey } from "../subst.js";
import { isPlainName } from "../constant.js";

// Values whose evaluation can neither run code of the script nor see the object being
// built: moved into the literal, they give the same result. Names must be declared (an
// undeclared one would throw) and must not be the object itself.
function inert(node, path, self) {
    switch (node.type) {
    case "StringLiteral": case "NumericLiteral": case "BooleanLiteral": case "NullLiteral":
    case "BigIntLiteral": case "RegExpLiteral":
    case "FunctionExpression": case "ArrowFunctionExpression":
        return true;
    case "TemplateLiteral":
        return node.expressions.length === 0;
    case "Identifier":
        return node.name !== self && (path.scope.hasBinding(node.name) ||
            node.name === "undefined" || node.name === "NaN" || node.name === "Infinity");
    case "UnaryExpression":
        // -, + and ~ would call valueOf on an object: only on number literals.
        if (node.operator === "-" || node.operator === "+" || node.operator === "~")
            return node.argument.type === "NumericLiteral" || node.argument.type === "BigIntLiteral";
        return node.operator !== "delete" && inert(node.argument, path, self);
    case "ArrayExpression":
        return node.elements.every((e) => e === null || inert(e, path, self));
    case "ObjectExpression":
        return node.properties.every((p) => p.type === "ObjectMethod" ? !p.computed
            : p.type === "ObjectProperty" && !p.computed && inert(p.value, path, self));
    default:
        return false;
    }
}

function keyNode(key) {
    if (isPlainName(key)) return t.identifier(key);
    if (/^(?:0|[1-9]\d{0,14})$/.test(key)) return t.numericLiteral(Number(key));
    return t.stringLiteral(key);
}

export const objectAssembly = {
    name: "对象属性合并",
    run(ast) {
        freshScopes();
        let changed = false;
        traverse(ast, {
            VariableDeclarator(path) {
                const { id, init } = path.node;
                if (id.type !== "Identifier" || !init || init.type !== "ObjectExpression") return;
                // An assignment may run a setter (its own, or one its prototype brings):
                // only plain data properties and methods let it become a literal property.
                if (!init.properties.every((p) => (p.type === "ObjectProperty" && !p.computed &&
                    propertyKey(p) !== "__proto__") || (p.type === "ObjectMethod" && p.kind === "method")))
                    return;
                const decl = path.parentPath;
                if (decl.node.declarations.length !== 1 || !decl.inList) return;
                const name = id.name;
                const binding = path.scope.getBinding(name);
                if (!binding || binding.path !== path) return;

                // The assignments right after the declaration.
                const folded = [];
                for (let next = decl.getSibling(decl.key + 1); next.node; next = next.getSibling(next.key + 1)) {
                    const s = next.node;
                    if (s.type !== "ExpressionStatement" || s.leadingComments || s.trailingComments) break;
                    const e = s.expression;
                    if (e.type !== "AssignmentExpression" || e.operator !== "=" ||
                        e.left.type !== "MemberExpression" || e.left.object.type !== "Identifier" ||
                        e.left.object.name !== name) break;
                    const key = memberKey(e.left);
                    if (key === null || key === "__proto__" || !inert(e.right, next, name)) break;
                    init.properties.push(t.objectProperty(keyNode(key), e.right));
                    folded.push(next);
                }
                for (const s of folded) s.remove();
                if (folded.length) changed = true;

                // `var p = o, …;` right after, and o used nowhere else: p takes the literal
                // (it is evaluated first either way).
                const after = decl.getSibling(decl.key + 1);
                if (!after.node || after.node.type !== "VariableDeclaration") return;
                const alias = after.node.declarations[0];
                if (alias.id.type !== "Identifier" || !alias.init || alias.init.type !== "Identifier" ||
                    alias.init.name !== name || binding.constantViolations.length) return;
                const refs = binding.referencePaths.filter((r) => !folded.some((s) => r.isDescendant(s)));
                if (refs.length !== 1 || refs[0].node !== alias.init) return;
                if (init.properties.some((p) => namesRead(p).includes(name))) return;
                alias.init = init;
                decl.remove();
                changed = true;
            },
        });
        return changed;
    },
};
