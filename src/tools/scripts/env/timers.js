// Timers on the host's event loop. The host keeps the due times and runs the loop after
// each load and each evaluation; the callbacks stay here, keyed by the timer's number. A
// callback that throws is reported as the browser's console does and the loop goes on.

import { formatArgs } from "./format.js";
import { define, method } from "./native.js";

export function installTimers(host) {
    const callbacks = new Map();
    const uncaught = (prefix, e) => host.write("console.error：" + prefix + formatArgs([e]));
    const evaluate = (0, eval);

    host.setDispatcher((id, time) => {
        const entry = callbacks.get(id);
        if (!entry) return;
        if (!entry.repeat) callbacks.delete(id);
        try {
            if (typeof entry.fn === "function") Reflect.apply(entry.fn, globalThis, entry.kind === "frame" ? [time] : entry.args);
            else evaluate(String(entry.fn));
        } catch (e) {
            uncaught("Uncaught ", e);
        }
    });

    const schedule = (kind, repeat) => (fn, delay, ...args) => {
        const id = host.addTimer(kind === "timeout" ? Number(delay) || 0 : 0, repeat, kind);
        callbacks.set(id, { fn, args, repeat, kind });
        return id;
    };
    const cancel = (id) => {
        const n = Number(id);
        if (callbacks.delete(n)) host.clearTimer(n);
    };
    const add = (name, length, body) => define(globalThis, name, method(name, length, body));
    add("setTimeout", 1, schedule("timeout", false));
    add("setInterval", 1, schedule("timeout", true));
    add("clearTimeout", 0, cancel);
    add("clearInterval", 0, cancel);
    const frame = schedule("frame", false);
    add("requestAnimationFrame", 1, (fn) => {
        if (typeof fn !== "function")
            throw new TypeError("Failed to execute 'requestAnimationFrame' on 'Window': parameter 1 is not of type 'Function'.");
        return frame(fn);
    });
    add("cancelAnimationFrame", 1, cancel);
    const immediate = schedule("immediate", false);
    add("setImmediate", 1, (fn, ...args) => immediate(fn, 0, ...args));
    add("clearImmediate", 1, cancel);
    if (typeof globalThis.queueMicrotask !== "function")
        add("queueMicrotask", 1, (fn) => {
            if (typeof fn !== "function")
                throw new TypeError("Failed to execute 'queueMicrotask' on 'Window': parameter 1 is not of type 'Function'.");
            Promise.resolve().then(() => {
                try {
                    fn();
                } catch (e) {
                    uncaught("Uncaught ", e);
                }
            });
        });
}
