// Readable names for the obfuscator's _0x-style identifiers: by role (arg1, fn1, str1,
// …), numbered per scope, every binding renamed with all its uses. A name is taken only
// where it hides nothing and nothing hides it. Code that names variables by text keeps
// them: every scope a direct eval can see, and every name written in a code string
// handed to eval, Function or a timer.
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

// Callees that run a string as code.
const CODE_RUNNERS = new Set(["eval", "Function", "setTimeout", "setInterval", "execScript"]);

function calleeName(callee) {
    if (callee.type === "Identifier") return callee.name;
    if ((callee.type === "MemberExpression" || callee.type === "OptionalMemberExpression") && !callee.computed &&
        callee.property.type === "Identifier") return callee.property.name;
    if (callee.type === "SequenceExpression") return calleeName(callee.expressions[callee.expressions.length - 1]);
    return null;
}

// What renaming must leave alone: the scopes a direct eval sees (its own and every
// enclosing one, by their nodes), and the names that occur in the texts of code strings.
function namesReachedByText(ast) {
    const frozen = new Set(), keep = new Set();
    const addWords = (text) => {
        for (const word of text.match(/[A-Za-z_$][\w$]*/g) || []) keep.add(word);
    };
    traverse(ast, {
        "CallExpression|OptionalCallExpression|NewExpression"(path) {
            const callee = path.node.callee;
            const name = calleeName(callee);
            if (!CODE_RUNNERS.has(name)) return;
            if (name === "eval" && callee.type === "Identifier" && !path.scope.getBinding("eval")) {
                for (let s = path.scope; s; s = s.parent) frozen.add(s.block);
            }
            for (const arg of path.get("arguments")) {
                if (arg.isStringLiteral()) addWords(arg.node.value);
                arg.traverse({
                    StringLiteral(p) { addWords(p.node.value); },
                    TemplateElement(p) { addWords(p.node.value.cooked || p.node.value.raw); },
                });
            }
        },
    });
    return { frozen, keep };
}

export const renameIdentifiers = {
    name: "变量重命名",
    run(ast) {
        freshScopes();
        let changed = false;
        let programScope = null;
        const seen = new Set();
        const { frozen, keep } = namesReachedByText(ast);
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
                if (frozen.has(scope.block)) return;
                const counters = {};
                for (const name of Object.keys(scope.bindings)) {
                    if (!isObfuscatedName(name) || keep.has(name)) continue;
                    const binding = scope.bindings[name];
                    if (binding.kind === "module") continue;
                    const role = roleOf(binding);
                    const uses = binding.referencePaths.concat(binding.constantViolations);
                    for (let n = counters[role] || 1; ; ++n) {
                        const candidate = role + n;
                        if (scope.hasBinding(candidate) || programScope.globals[candidate] || keep.has(candidate) ||
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
