// The behaviour check: a peeled script must still do what the original did. Both run in
// the sandbox with a console (and a global log) that records, timers that run in order of their delays once
// the script is done (setInterval never fires, as debug protection starts one), and a
// seeded Math.random; then what they printed and the globals they defined (with their
// types) are compared. A user's expression can be given too: its value after the run is
// part of what must not change.
import { runInSandbox, SandboxTimeout, SandboxStopped, pageCodecs } from "./sandbox.js";
import { traverse, tryParse } from "./babel.js";

const maxTimers = 1000;

const checkPrelude = `
var __vexoOut = [], __vexoTimers = [], __vexoBase;
(function () {
    var show = function (v, depth) {
        var type = typeof v;
        if (type === "string") return depth ? JSON.stringify(v) : v;
        if (type === "number") return v === 0 && 1 / v < 0 ? "-0" : String(v);
        if (type === "function") return "[function]";
        if (type === "bigint") return v + "n";
        if (v === null || type !== "object") return String(v);
        if (depth > 2) return "[…]";
        try {
            if (v instanceof Error) return String(v.name) + ": " + String(v.message);
            if (Array.isArray(v)) return "[" + v.map(function (x) { return show(x, depth + 1); }).join(", ") + "]";
            if (typeof Map === "function" && v instanceof Map) return "Map(" + v.size + ")";
            if (typeof Set === "function" && v instanceof Set) return "Set(" + v.size + ")";
            return "{" + Object.keys(v).map(function (k) { return k + ": " + show(v[k], depth + 1); }).join(", ") + "}";
        } catch (e) {
            return "[unreadable]";
        }
    };
    var record = function (kind) {
        return function () {
            var parts = [];
            for (var i = 0; i < arguments.length; i++) parts.push(show(arguments[i], 0));
            __vexoOut.push(kind + parts.join(" "));
        };
    };
    var quiet = function () {};
    // log(x): how small test programs print (a script's own log takes its place).
    globalThis.log = record("");
    globalThis.console = { log: record(""), info: record(""), debug: record(""), dir: record(""),
        table: record(""), warn: record("warn: "), error: record("error: "), trace: record("trace: "),
        assert: function (ok) { if (!ok) __vexoOut.push("assert"); }, group: quiet, groupEnd: quiet,
        groupCollapsed: quiet, time: quiet, timeEnd: quiet, timeLog: quiet, count: quiet, clear: quiet };
    var seq = 0;
    globalThis.setTimeout = function (fn, ms) {
        __vexoTimers.push({ fn: fn, ms: +ms || 0, id: ++seq, args: Array.prototype.slice.call(arguments, 2) });
        return seq;
    };
    globalThis.clearTimeout = function (id) {
        __vexoTimers = __vexoTimers.filter(function (t) { return t.id !== id; });
    };
    globalThis.setInterval = function () { return ++seq; };
    globalThis.clearInterval = quiet;
    ${pageCodecs}
    var state = 42;
    Math.random = function () {
        state = (state * 1103515245 + 12345) % 2147483648;
        return state / 2147483648;
    };
    __vexoBase = Object.getOwnPropertyNames(globalThis);
})();
`;

// After the script: the timers, one at a time, then the summary as the completion value.
// (Promise jobs run only once the run is over: what they print is not compared.)
function checkEpilogue(expr) {
    return `
var __vexoError = null;
try { (0, eval)(__vexoScript); } catch (e) { __vexoError = e && e.name || "error"; }
(function () {
    for (var ran = 0; __vexoTimers.length && ran < ${maxTimers}; ++ran) {
        var next = 0;
        for (var i = 1; i < __vexoTimers.length; i++)
            if (__vexoTimers[i].ms < __vexoTimers[next].ms) next = i;
        var timer = __vexoTimers.splice(next, 1)[0];
        try {
            if (typeof timer.fn === "function") timer.fn.apply(undefined, timer.args);
            else (0, eval)(String(timer.fn));
        } catch (e) { __vexoOut.push("uncaught " + (e && e.name || "error")); }
    }
})();
(function () {
    var base = {}, globals = [];
    for (var i = 0; i < __vexoBase.length; i++) base[__vexoBase[i]] = true;
    var names = Object.getOwnPropertyNames(globalThis);
    for (var j = 0; j < names.length; j++) {
        var name = names[j];
        if (base[name] || /^__vexo/.test(name)) continue;
        var v;
        try { v = globalThis[name]; } catch (e) { v = e; }
        globals.push([name, v === null ? "null" : Array.isArray(v) ? "array" : typeof v]);
    }
    var check = null;
    ${expr === undefined ? "" : `
    try {
        var value = (0, eval)(${JSON.stringify("(" + expr + ")")});
        check = typeof value === "string" ? JSON.stringify(value) : typeof value === "function" ? "[function]" :
            typeof value === "object" && value !== null ? JSON.stringify(value) : String(value);
        if (check === undefined) check = String(value);
    } catch (e) { check = "抛出 " + (e && e.name || "error"); }`}
    return JSON.stringify({ out: __vexoOut, error: __vexoError, globals: globals, check: check });
})();
`;
}

// What a script does when run on its own: { out, error, globals, check }, or
// { timeout: true }.
function behaviourOf(code, expr) {
    let text;
    try {
        text = runInSandbox(checkPrelude + "var __vexoScript = " + JSON.stringify(code) + ";\n" + checkEpilogue(expr));
    } catch (e) {
        if (e instanceof SandboxStopped) throw e;
        if (e instanceof SandboxTimeout) return { timeout: true };
        return { failed: String(e && e.message || e) };
    }
    return JSON.parse(text);
}

function same(a, b) {
    return JSON.stringify(a) === JSON.stringify(b);
}

// The names the code's top level declares or leaves to the global object.
function namesUsedAtTop(text) {
    const names = new Set();
    const ast = tryParse(text);
    if (!ast) return names;
    traverse(ast, {
        Program(path) {
            for (const name of Object.keys(path.scope.bindings)) names.add(name);
            for (const name of Object.keys(path.scope.globals)) names.add(name);
            path.stop();
        },
    });
    return names;
}

// Whether `after` does what `before` did. Names the obfuscator
// made may be renamed or gone, helpers whose uses were all inlined may go, and code once
// run by Function may now define its names at the top; a name still used but no longer
// defined, or a type that changed, is a difference.
function sameBehaviour(before, after, text) {
    let names = null;
    const used = () => names || (names = namesUsedAtTop(text));
    if (after.timeout || after.failed) return false;
    if (!same(before.out, after.out) || before.error !== after.error) return false;
    const had = new Map(before.globals), has = new Map(after.globals);
    for (const [name, type] of had) {
        if (has.has(name)) {
            if (has.get(name) !== type) return false;
            continue;
        }
        if (used().has(name)) return false;
    }
    return true;
}

// Checks the run's stages (the history's peeled layers, each with its code) against the
// original. Returns { stage, note, check } where stage is the index in `stages` of the
// first one that changed the behaviour (or the value of the expression), -1 when none did,
// and check the expression's values: { original, changed: value of that stage }.
export function checkStages(source, stages, expr) {
    const result = { stage: -1, note: "", check: null };
    if (!stages.length && expr === undefined) return result;
    const original = behaviourOf(source, expr);
    if (original.timeout || original.failed || original.error) {
        result.note = original.timeout ? "原脚本在时限内没有运行完，未检查" : "原脚本不能单独运行，未检查";
        if (expr !== undefined) result.check = { original: null };
        return result;
    }
    if (!same(original, behaviourOf(source, expr))) {
        result.note = "原脚本每次运行的结果不同，未检查";
        return result;
    }
    // An expression the original cannot evaluate (its names are not global there) says
    // nothing about the stages.
    const compare = expr !== undefined && !/^抛出 /.test(original.check);
    if (expr !== undefined) result.check = { original: original.check };
    if (!stages.length) return result;
    const differs = (i) => {
        let after = behaviourOf(stages[i].code, expr);
        // The original ran within the limit; a stage that does not may only have met a
        // busy machine. One more try before a time-out counts as a change (a guard that
        // loops forever on laid-out code times out both times).
        if (after.timeout) after = behaviourOf(stages[i].code, expr);
        if (expr !== undefined) result.check.changed = after.timeout || after.failed ? null : after.check;
        return (compare && after.check !== original.check) ||
            !sameBehaviour(original, after, stages[i].code);
    };
    // The last stage is the result: when it keeps the behaviour, no stage needs a run.
    if (!differs(stages.length - 1)) return result;
    for (let i = 0; i < stages.length; ++i) {
        if (differs(i) || i === stages.length - 1) {
            result.stage = i;
            break;
        }
    }
    return result;
}
