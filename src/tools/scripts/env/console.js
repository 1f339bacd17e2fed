// The console: each call is one output-pane line "console.<kind>：<text>", written through
// the host in order with every other line of the run. group() indents what follows.

import { formatArgs, valueText } from "./format.js";
import { define, method } from "./native.js";

export function installConsole(host, clock) {
    let indent = "";
    const counts = new Map();
    const timers = new Map();
    const write = (kind, text) => host.write("console." + kind + "：" + indent + text);
    const label = (v) => (v === undefined ? "default" : String(v));
    const console = {};
    const add = (name, length, body) => define(console, name, method(name, length, body));
    const plain = (kind) => (...args) => write(kind, formatArgs(args));

    add("log", 0, plain("log"));
    add("info", 0, plain("info"));
    add("debug", 0, plain("debug"));
    add("warn", 0, plain("warn"));
    add("error", 0, plain("error"));
    add("dir", 0, (v) => {
        write("dir", valueText(v, 1));
        if ((typeof v === "object" && v !== null) || typeof v === "function") host.keepValue(v);
    });
    add("dirxml", 0, plain("dirxml"));
    add("table", 0, (v, ...rest) => write("table", formatArgs([v, ...rest])));
    add("trace", 0, (...args) => {
        let stack = "";
        try {
            stack = String(new Error().stack || "").split("\n").slice(2).join("\n");
        } catch {}
        write("trace", formatArgs(args) + (stack ? "\n" + stack : ""));
    });
    add("assert", 0, (ok, ...args) => {
        if (ok) return;
        write("error", "Assertion failed" + (args.length ? ": " + formatArgs(args) : ""));
    });
    add("group", 0, (...args) => {
        if (args.length) write("group", formatArgs(args));
        indent += "  ";
    });
    add("groupCollapsed", 0, (...args) => {
        if (args.length) write("group", formatArgs(args));
        indent += "  ";
    });
    add("groupEnd", 0, () => {
        indent = indent.slice(2);
    });
    add("count", 0, (name) => {
        const key = label(name);
        const n = (counts.get(key) || 0) + 1;
        counts.set(key, n);
        write("count", key + ": " + n);
    });
    add("countReset", 0, (name) => {
        counts.delete(label(name));
    });
    add("time", 0, (name) => {
        timers.set(label(name), clock.performanceNow());
    });
    const elapsed = (kind, name, args, end) => {
        const key = label(name);
        if (!timers.has(key)) {
            write("warn", "Timer '" + key + "' does not exist");
            return;
        }
        const ms = clock.performanceNow() - timers.get(key);
        if (end) timers.delete(key);
        write(kind, key + ": " + ms + " ms" + (args.length ? " " + formatArgs(args) : ""));
    };
    add("timeLog", 0, (name, ...args) => elapsed("timeLog", name, args, false));
    add("timeEnd", 0, (name) => elapsed("timeEnd", name, [], true));
    add("clear", 0, () => {});
    define(globalThis, "console", console);
    return console;
}
