// Console text as a browser's console shows it on one line: strings bare at the top,
// quoted inside objects; objects and arrays as a short preview ({a: 1, b: "x"},
// [1, 2, 3]), functions by their signature (ƒ sign(a, b)); %s %d %i %f %o %O %c
// substitutions in a first string argument. Getters are not run; a member that cannot be
// read shows as such instead of failing the call.

const maxDepth = 2; // nesting shown before an object reads {…}
const maxItems = 100; // members or elements shown before "…"

const objectToString = Object.prototype.toString;
const functionToString = Function.prototype.toString;
const apply = Reflect.apply;
const identifier = /^[A-Za-z_$][\w$]*$/;

function tagOf(v) {
    try {
        return apply(objectToString, v, []).slice(8, -1);
    } catch {
        return "Object";
    }
}

function quote(s) {
    return JSON.stringify(s);
}

function number(n) {
    return Object.is(n, -0) ? "-0" : String(n);
}

// "ƒ sign(a, b)", "class Point", "ƒ push()" (built-ins name no parameters).
export function functionText(fn) {
    let source = "";
    try {
        source = apply(functionToString, fn, []);
    } catch {}
    let name = "";
    try {
        name = typeof fn.name === "string" ? fn.name : "";
    } catch {}
    if (/^class\b/.test(source)) return "class " + (name || "(anonymous)");
    let params = "";
    if (!/\[native code\]\s*\}\s*$/.test(source)) {
        const arrow = /^(?:async\s*)?(\([^)]*\)|[\w$]+)\s*=>/.exec(source);
        const list = arrow ? arrow[1] : (/\(([^)]*)\)/.exec(source) || ["", ""])[1];
        params = list.replace(/^\(|\)$/g, "").split(",").map((p) => p.trim()).filter(Boolean).join(", ");
    }
    return "ƒ " + name + "(" + params + ")";
}

function keyText(key) {
    if (typeof key === "symbol") return "[" + String(key) + "]";
    return identifier.test(key) || /^\d+$/.test(key) ? key : quote(key);
}

function memberText(obj, key, depth, seen) {
    let desc;
    try {
        desc = Reflect.getOwnPropertyDescriptor(obj, key);
    } catch {
        return "?";
    }
    if (!desc) return "undefined";
    if (!("value" in desc)) return "(...)";
    return valueText(desc.value, depth + 1, seen);
}

function ownKeys(obj) {
    try {
        return Reflect.ownKeys(obj).filter((k) => {
            const d = Reflect.getOwnPropertyDescriptor(obj, k);
            return d && d.enumerable;
        });
    } catch {
        return [];
    }
}

function constructorName(obj) {
    try {
        const proto = Object.getPrototypeOf(obj);
        if (proto === null) return "";
        const d = Reflect.getOwnPropertyDescriptor(proto, "constructor");
        const name = d && typeof d.value === "function" ? d.value.name : "";
        return name === "Object" ? "" : String(name || "");
    } catch {
        return "";
    }
}

function arrayText(arr, depth, seen, length) {
    const parts = [];
    let holes = 0;
    const flush = () => {
        if (holes) parts.push("empty × " + holes);
        holes = 0;
    };
    for (let i = 0; i < length && parts.length < maxItems; i++) {
        if (!Reflect.getOwnPropertyDescriptor(arr, String(i))) {
            holes++;
            continue;
        }
        flush();
        parts.push(memberText(arr, String(i), depth, seen));
    }
    flush();
    if (parts.length >= maxItems && length > maxItems) parts.push("…");
    // Named members after the elements, as the console lists them.
    for (const k of ownKeys(arr)) {
        if (typeof k === "string" && /^\d+$/.test(k)) continue;
        if (parts.length > maxItems) break;
        parts.push(keyText(k) + ": " + memberText(arr, k, depth, seen));
    }
    return "[" + parts.join(", ") + "]";
}

function objectText(obj, depth, seen) {
    const tag = tagOf(obj);
    if (tag === "Date") {
        try {
            return String(obj.toString());
        } catch {
            return "Invalid Date";
        }
    }
    if (tag === "RegExp") {
        try {
            return String(obj);
        } catch {}
    }
    if (obj instanceof Error) {
        try {
            return String(obj.name) + ": " + String(obj.message);
        } catch {}
    }
    if (seen.includes(obj)) return Array.isArray(obj) ? "[…]" : "{…}";
    if (Array.isArray(obj)) {
        if (depth > maxDepth) return "Array(" + obj.length + ")";
        return arrayText(obj, depth, seen.concat([obj]), obj.length);
    }
    if (ArrayBuffer.isView(obj) && !(obj instanceof DataView)) {
        const head = tag + "(" + obj.length + ")";
        if (depth > maxDepth) return head;
        return head + " " + arrayText(obj, depth, seen.concat([obj]), obj.length);
    }
    const next = seen.concat([obj]);
    if (tag === "Map" || tag === "Set") {
        let size = 0;
        const parts = [];
        try {
            size = obj.size;
            if (depth <= maxDepth)
                for (const entry of obj) {
                    if (parts.length >= maxItems) {
                        parts.push("…");
                        break;
                    }
                    parts.push(tag === "Map"
                        ? valueText(entry[0], depth + 1, next) + " => " + valueText(entry[1], depth + 1, next)
                        : valueText(entry, depth + 1, next));
                }
        } catch {}
        return tag + "(" + size + ") {" + parts.join(", ") + "}";
    }
    const name = constructorName(obj);
    const prefix = name ? name + " " : tag !== "Object" && tag !== "Function" ? tag + " " : "";
    if (depth > maxDepth) return prefix + "{…}";
    const parts = [];
    const keys = ownKeys(obj);
    for (const k of keys) {
        if (parts.length >= maxItems) {
            parts.push("…");
            break;
        }
        parts.push(keyText(k) + ": " + memberText(obj, k, depth, next));
    }
    return prefix + "{" + parts.join(", ") + "}";
}

// A value inside a preview (depth > 0) or as a whole argument (depth 0).
export function valueText(v, depth, seen) {
    switch (typeof v) {
        case "string":
            return depth ? quote(v) : v;
        case "number":
            return number(v);
        case "bigint":
            return String(v) + "n";
        case "symbol":
            return String(v);
        case "undefined":
            return "undefined";
        case "boolean":
            return String(v);
        case "function":
            return functionText(v);
    }
    if (v === null) return "null";
    try {
        return objectText(v, depth, seen || []);
    } catch {
        return "{…}";
    }
}

function toInteger(v) {
    if (typeof v === "symbol") return "NaN";
    if (typeof v === "bigint") return String(v) + "n";
    const n = typeof v === "object" && v !== null ? NaN : Number(v);
    return number(Number.isFinite(n) ? Math.trunc(n) : parseInt(String(n), 10));
}

function toFloat(v) {
    if (typeof v === "symbol" || (typeof v === "object" && v !== null)) return "NaN";
    return number(Number(v));
}

// The text of one console call's arguments.
export function formatArgs(args) {
    const out = [];
    let rest = 0;
    if (typeof args[0] === "string" && args.length > 1 && args[0].includes("%")) {
        let next = 1;
        const text = args[0].replace(/%([sdifoOc%])/g, (all, kind) => {
            if (kind === "%") return "%";
            if (next >= args.length) return all;
            const v = args[next++];
            switch (kind) {
                case "s":
                    return typeof v === "string" ? v : valueText(v, 1);
                case "d":
                case "i":
                    return toInteger(v);
                case "f":
                    return toFloat(v);
                case "c":
                    return "";
                default:
                    return valueText(v, 1);
            }
        });
        out.push(text);
        rest = next;
    } else if (args.length) {
        out.push(valueText(args[0], 0));
        rest = 1;
    }
    for (let i = rest; i < args.length; i++) out.push(valueText(args[i], 0));
    return out.join(" ");
}
