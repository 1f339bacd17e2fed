// The debugger route by source instrumentation, for measurement only (it does not ship):
// with the carried syntax-tree toolkit, a probe call goes in front of every statement of
// every statement list. A probe looks its number up in the table of set breakpoints and
// reports a hit; a breakpoint is a statement's number. The real thing would also need a
// condition evaluated in the statement's scope, steps and frames; the probe per statement
// is the least it costs.
import { parse, traverse, t, generate } from "../../src/tools/scripts/deob/babel.js";

const PROBE = "__vexoProbe";

function probeFor(id) {
    return t.expressionStatement(t.callExpression(t.identifier(PROBE), [t.numericLiteral(id)]));
}

// The text with probes, and for each probe the 1-based line of its statement in the
// original text, as JSON { code, lines }.
globalThis.vexoInstrument = function (source) {
    const ast = parse(String(source));
    const lines = [];
    const withProbes = (list) => {
        const out = [];
        for (const statement of list) {
            if (!t.isFunctionDeclaration(statement) && statement.loc) {
                lines.push(statement.loc.start.line);
                out.push(probeFor(lines.length));
            }
            out.push(statement);
        }
        return out;
    };
    traverse(ast, {
        // A lone statement as the body of a loop or an if becomes a block, so it gets a probe.
        "IfStatement|Loop|LabeledStatement|WithStatement"(path) {
            for (const key of ["consequent", "alternate", "body"]) {
                const body = path.node[key];
                if (body && t.isStatement(body) && !t.isBlockStatement(body))
                    path.node[key] = t.blockStatement([body]);
            }
        },
        // An arrow's expression body: a probe before it is evaluated.
        ArrowFunctionExpression(path) {
            if (!t.isBlockStatement(path.node.body) && path.node.body.loc) {
                lines.push(path.node.body.loc.start.line);
                path.node.body = t.blockStatement([
                    probeFor(lines.length),
                    t.returnStatement(path.node.body),
                ]);
            }
        },
        Program: { exit(path) { path.node.body = withProbes(path.node.body); } },
        BlockStatement: { exit(path) { path.node.body = withProbes(path.node.body); } },
        SwitchCase: { exit(path) { path.node.consequent = withProbes(path.node.consequent); } },
    });
    return JSON.stringify({ code: generate(ast), lines });
};

// What runs before the instrumented text: the table and the probe.
globalThis.vexoProbeRuntime = function () {
    return "var __vexoBreaks = Object.create(null), __vexoHits = 0;\n" +
        "function " + PROBE + "(id) { if (__vexoBreaks[id]) ++__vexoHits; }\n";
};
