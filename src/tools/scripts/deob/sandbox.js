// Code taken from the script runs only through the host's sandbox: a fresh engine with
// no host objects, a time limit and the user's "停止". Results come back as text.

export class SandboxTimeout extends Error {}
export class SandboxStopped extends Error {}

// Runs code; returns the value of its last expression as a string, or throws:
// SandboxStopped when the user stopped the run (the whole run ends), SandboxTimeout when
// the time limit ran out (the layer is skipped), Error when the script threw.
export function runInSandbox(code) {
    const r = vexoSandboxRun(code);
    if (r.status === "ok") return r.value;
    if (r.status === "stopped") throw new SandboxStopped(r.value);
    if (r.status === "timeout") throw new SandboxTimeout(r.value);
    throw new Error(r.value);
}

// Evaluates code in the sandbox and returns the parsed JSON of what it produced.
export function sandboxJson(code) {
    const text = runInSandbox(code);
    return text === "undefined" ? undefined : JSON.parse(text);
}

// A page's atob and btoa (pure functions; payloads are often base64 text), as a piece of
// a prelude.
export const pageCodecs = `
    var letters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    var fail = function () { throw new Error("InvalidCharacterError"); };
    globalThis.atob = function (text) {
        var s = String(text).replace(/[\\t\\n\\f\\r ]/g, "");
        if (s.length % 4 === 0) s = s.replace(/==?$/, "");
        if (s.length % 4 === 1 || /[^A-Za-z0-9+\\/]/.test(s)) fail();
        var out = "", bits = 0, n = 0;
        for (var i = 0; i < s.length; i++) {
            bits = (bits << 6) | letters.indexOf(s.charAt(i));
            n += 6;
            if (n >= 8) { n -= 8; out += String.fromCharCode((bits >> n) & 255); }
        }
        return out;
    };
    globalThis.btoa = function (text) {
        var s = String(text), out = "";
        for (var i = 0; i < s.length; i += 3) {
            var a = s.charCodeAt(i), b = s.charCodeAt(i + 1), c = s.charCodeAt(i + 2);
            if (a > 255 || b > 255 || c > 255) fail();
            var v = (a << 16) | ((b || 0) << 8) | (c || 0);
            out += letters.charAt(v >> 18) + letters.charAt((v >> 12) & 63) +
                (i + 1 < s.length ? letters.charAt((v >> 6) & 63) : "=") +
                (i + 2 < s.length ? letters.charAt(v & 63) : "=");
        }
        return out;
    };
`;

// A prelude that takes over eval, Function (also as reached through any function's
// constructor) and document.write, so the code handed to them is recorded instead of
// being run. Function bodies that only return a value ("return ...") are how encoders
// compute their payload text, so those still run; any other body is the payload.
// `__vexoCaptured` holds the recorded texts in order.
export const capturePrelude = `
var __vexoCaptured = [], __vexoEval = eval;
(function () {
    var RealFunction = Function;
    var record = function (text) { __vexoCaptured.push(String(text)); };
    var fakeFunction = function () {
        var body = arguments.length ? String(arguments[arguments.length - 1]) : "";
        if (/^\\s*return\\b/.test(body)) return RealFunction.apply(null, arguments);
        record(body);
        return function () {};
    };
    var fakeEval = function (text) { if (typeof text === "string") record(text); return undefined; };
    var protos = [Function.prototype,
        Object.getPrototypeOf(function* () {}),
        Object.getPrototypeOf(async function () {}),
        Object.getPrototypeOf(async function* () {})];
    for (var i = 0; i < protos.length; i++)
        Object.defineProperty(protos[i], "constructor", { value: fakeFunction, writable: true, configurable: true });
    globalThis.Function = fakeFunction;
    globalThis.eval = fakeEval;
    var doc = { write: function () { for (var j = 0; j < arguments.length; j++) record(arguments[j]); } };
    doc.writeln = doc.write;
    globalThis.document = doc;
    globalThis.window = globalThis;
    globalThis.self = globalThis;
    ${pageCodecs}
})();
`;

// Runs the script behind the capture prelude; returns the captured strings. A script
// that throws after handing over its payload still counts.
export function captureStrings(script) {
    return sandboxJson(capturePrelude + "try { (0, __vexoEval)(" + JSON.stringify(script) +
        "); } catch (e) {}\nJSON.stringify(__vexoCaptured);");
}
