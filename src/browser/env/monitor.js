// "环境监控": the environment's objects seen through proxies that tell the host of every
// read, write and call a page script makes on them, and of every property it looks for
// that is not there. Only accesses made by the page's script count: the first frame of
// the stack that is not the environment's own must be the script's.
import { hasSlot, native, setSlot, slot } from "./native.js";

const proxies = new WeakMap(); // target -> proxy
const targets = new WeakMap(); // proxy -> target
const ownUrl = /@vexo:browser:/;

function preview(value) {
    switch (typeof value) {
    case "undefined": return "未定义";
    case "string": return JSON.stringify(value.length > 200 ? value.slice(0, 200) + "…" : value);
    case "function": return "ƒ " + (value.name || "") + "()";
    case "symbol": return value.toString();
    case "object":
        if (value === null) return "null";
        if (Array.isArray(value)) return "Array(" + value.length + ")";
        try {
            return Object.prototype.toString.call(value);
        } catch (e) {
            return "[object]";
        }
    default: return String(value);
    }
}

// The caller's frame as "url:line:column", or "" when the access is not the page's.
function caller() {
    const stack = String(new Error().stack || "").split("\n");
    for (const frame of stack) {
        if (ownUrl.test(frame) || frame.indexOf("@") < 0 || frame.endsWith("[native code]")) continue;
        const m = /@(vexo:(?:code\/[0-9]+|eval)):([0-9]+):([0-9]+)$/.exec(frame);
        return m ? m[2] + ":" + m[3] : "";
    }
    return "";
}

let sink = null;
export function startMonitor(record) {
    sink = record;
}

function note(kind, path, value) {
    if (!sink) return;
    const at = caller();
    if (at !== "") sink(kind, path, preview(value), at);
}

function unwrap(v) {
    return v !== null && (typeof v === "object" || typeof v === "function") && targets.has(v) ? targets.get(v) : v;
}

function shouldWrap(v) {
    return v !== null && (typeof v === "function" || (typeof v === "object" && hasSlot(v)));
}

// The proxy for value, watched under path; values that are not the environment's pass.
export function watched(value, path) {
    if (!shouldWrap(value) || targets.has(value)) return value;
    const known = proxies.get(value);
    if (known) return known;
    const target = value;
    const handler = {
        get(t, key) {
            const v = Reflect.get(t, key, t);
            if (typeof key !== "string") return v;
            const p = path + "." + key;
            note(key in t ? "读取" : "缺失", p, v);
            return watched(v, p);
        },
        set(t, key, v) {
            if (typeof key === "string") note("写入", path + "." + key, v);
            return Reflect.set(t, key, unwrap(v), t);
        },
        has(t, key) {
            const found = Reflect.has(t, key);
            if (typeof key === "string") note(found ? "读取" : "缺失", path + "." + key, found);
            return found;
        },
    };
    if (typeof target === "function") {
        handler.apply = (t, self, args) => {
            note("调用", path, undefined);
            return watched(Reflect.apply(t, unwrap(self), args), path + "()");
        };
        handler.construct = (t, args, newTarget) => {
            note("调用", "new " + path, undefined);
            return watched(Reflect.construct(t, args, newTarget === proxy ? t : newTarget), path + "()");
        };
    }
    const proxy = new Proxy(target, handler);
    proxies.set(target, proxy);
    targets.set(proxy, target);
    if (typeof target === "function") native(proxy, target.name);
    if (hasSlot(target)) setSlot(proxy, slot(target));
    return proxy;
}
