// Readable names for the obfuscator's _0x-style identifiers: by role (arg1, fn1, str1,
// …), numbered per scope, every binding renamed with all its uses. A name is taken only
// where it hides nothing and nothing hides it.
import { t, traverse, freshScopes } from "../babel.js";
import { isObfuscatedName } from "../constant.js";

function roleOf(binding) {
    const p = binding.path;
    if (binding.kind === "param") return "arg";
    if (binding.kind === "hoisted" || p.isFunctionExpression() || p.isFunctionDeclaration()) return "fn";
    if (p.isClassDeclaration() || p.isClassExpression()) return "Cls";
    if (p.isCatchClause()) return "err";
    if (p.isVariableDeclarator()) {
        const init = p.node.init;
        if (!init) return "v";
        if (t.isFunction(init)) return "fn";
        if (init.type === "StringLiteral" || init.type === "TemplateLiteral") return "str";
        if (init.type === "NumericLiteral") return "num";
        if (init.type === "ArrayExpression") return "arr";
        if (init.type === "ObjectExpression") return "obj";
        if (init.type === "ClassExpression") return "Cls";
    }
    return "v";
}

function renameBinding(scope, binding, oldName, newName) {
    const fix = (id) => {
        if (id.name === oldName) id.name = newName;
    };
    const keepKey = (path) => {
        // { x } keeps its key when x is renamed.
        const parent = path.parent;
        if (parent && parent.type === "ObjectProperty" && parent.shorthand && parent.value === path.node) {
            parent.shorthand = false;
            parent.key = t.identifier(oldName);
        }
    };
    fix(binding.identifier);
    if (binding.path) {
        const idPath = binding.path.isVariableDeclarator() ? binding.path.get("id") : null;
        if (idPath) idPath.traverse({ Identifier(p) { if (p.node === binding.identifier) keepKey(p); } });
    }
    for (const ref of binding.referencePaths) {
        if (ref.node.type !== "Identifier") continue;
        keepKey(ref);
        fix(ref.node);
    }
    for (const cv of binding.constantViolations) {
        const ids = t.getBindingIdentifiers(cv.node, true);
        for (const id of ids[oldName] || []) fix(id);
        if (cv.isAssignmentExpression() || cv.isForXStatement()) {
            const left = cv.get("left");
            if (left.isIdentifier() && left.node.name === newName) continue;
            left.traverse({ Identifier(p) { if (p.node.name === oldName) { keepKey(p); fix(p.node); } } });
        } else if (cv.isUpdateExpression() && cv.node.argument.type === "Identifier") {
            fix(cv.node.argument);
        }
    }
    delete scope.bindings[oldName];
    scope.bindings[newName] = binding;
}

export const renameIdentifiers = {
    name: "变量重命名",
    run(ast) {
        freshScopes();
        let changed = false;
        let programScope = null;
        const seen = new Set();
        // Labels have a namespace of their own; every _0x label gets a name no other
        // label of the script has, so no nesting can clash.
        const labels = [], taken = new Set();
        traverse(ast, {
            LabeledStatement(path) {
                const name = path.node.label.name;
                taken.add(name);
                if (isObfuscatedName(name)) labels.push(path);
            },
            Scopable(path) {
                const scope = path.scope;
                if (seen.has(scope)) return;
                seen.add(scope);
                if (!programScope) programScope = scope.getProgramParent();
                const counters = {};
                for (const name of Object.keys(scope.bindings)) {
                    if (!isObfuscatedName(name)) continue;
                    const binding = scope.bindings[name];
                    if (binding.kind === "module") continue;
                    const role = roleOf(binding);
                    const uses = binding.referencePaths.concat(binding.constantViolations);
                    for (let n = counters[role] || 1; ; ++n) {
                        const candidate = role + n;
                        if (scope.hasBinding(candidate) || programScope.globals[candidate] ||
                            uses.some((u) => u.scope.getBinding(candidate))) continue;
                        counters[role] = n + 1;
                        renameBinding(scope, binding, name, candidate);
                        changed = true;
                        break;
                    }
                }
            },
        });
        let next = 1;
        for (const path of labels) {
            const oldName = path.node.label.name;
            while (taken.has("label" + next)) ++next;
            const newName = "label" + next++;
            path.node.label.name = newName;
            path.traverse({
                "BreakStatement|ContinueStatement"(jump) {
                    if (jump.node.label && jump.node.label.name === oldName) jump.node.label.name = newName;
                },
                // An inner label of the same name cannot exist: it would not parse.
                Function(fn) { fn.skip(); },
            });
            changed = true;
        }
        return changed;
    },
};
