// DOMException, Base64 (atob/btoa), UTF-8 through TextEncoder/TextDecoder, and
// structuredClone.
import { constants, defineInterface, fn, getters, methods, setSlot, slot } from "./native.js";

const codes = {
    IndexSizeError: 1, HierarchyRequestError: 3, WrongDocumentError: 4, InvalidCharacterError: 5,
    NoModificationAllowedError: 7, NotFoundError: 8, NotSupportedError: 9, InvalidStateError: 11,
    SyntaxError: 12, InvalidModificationError: 13, NamespaceError: 14, InvalidAccessError: 15,
    TypeMismatchError: 17, SecurityError: 18, NetworkError: 19, AbortError: 20, URLMismatchError: 21,
    QuotaExceededError: 22, TimeoutError: 23, InvalidNodeTypeError: 24, DataCloneError: 25,
};

export const DOMException = defineInterface("DOMException", null, function (message, name) {
    setSlot(this, { message: message === undefined ? "" : String(message), name: name === undefined ? "Error" : String(name) });
});
Object.setPrototypeOf(DOMException.prototype, Error.prototype);
getters(DOMException.prototype, {
    name: (s) => s.name,
    message: (s) => s.message,
    code: (s) => codes[s.name] || 0,
});
constants(DOMException, {
    INDEX_SIZE_ERR: 1, DOMSTRING_SIZE_ERR: 2, HIERARCHY_REQUEST_ERR: 3, WRONG_DOCUMENT_ERR: 4,
    INVALID_CHARACTER_ERR: 5, NO_DATA_ALLOWED_ERR: 6, NO_MODIFICATION_ALLOWED_ERR: 7, NOT_FOUND_ERR: 8,
    NOT_SUPPORTED_ERR: 9, INUSE_ATTRIBUTE_ERR: 10, INVALID_STATE_ERR: 11, SYNTAX_ERR: 12,
    INVALID_MODIFICATION_ERR: 13, NAMESPACE_ERR: 14, INVALID_ACCESS_ERR: 15, VALIDATION_ERR: 16,
    TYPE_MISMATCH_ERR: 17, SECURITY_ERR: 18, NETWORK_ERR: 19, ABORT_ERR: 20, URL_MISMATCH_ERR: 21,
    QUOTA_EXCEEDED_ERR: 22, TIMEOUT_ERR: 23, INVALID_NODE_TYPE_ERR: 24, DATA_CLONE_ERR: 25,
});

export function domError(message, name) {
    return new DOMException(message, name);
}

const alphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

export const btoa = fn("btoa", function btoa(data) {
    if (arguments.length < 1) throw new TypeError("Failed to execute 'btoa' on 'Window': 1 argument required, but only 0 present.");
    const s = String(data);
    let out = "";
    for (let i = 0; i < s.length; i += 3) {
        const a = s.charCodeAt(i), b = s.charCodeAt(i + 1), c = s.charCodeAt(i + 2);
        if (a > 255 || b > 255 || c > 255)
            throw domError("Failed to execute 'btoa' on 'Window': The string to be encoded contains characters outside of the Latin1 range.", "InvalidCharacterError");
        const n = (a << 16) | ((b || 0) << 8) | (c || 0);
        out += alphabet[n >> 18] + alphabet[(n >> 12) & 63] +
            (i + 1 < s.length ? alphabet[(n >> 6) & 63] : "=") + (i + 2 < s.length ? alphabet[n & 63] : "=");
    }
    return out;
});

export const atob = fn("atob", function atob(data) {
    if (arguments.length < 1) throw new TypeError("Failed to execute 'atob' on 'Window': 1 argument required, but only 0 present.");
    let s = String(data).replace(/[\t\n\f\r ]/g, "");
    if (s.length % 4 === 0) s = s.replace(/==?$/, "");
    if (s.length % 4 === 1 || /[^A-Za-z0-9+/]/.test(s))
        throw domError("Failed to execute 'atob' on 'Window': The string to be decoded is not correctly encoded.", "InvalidCharacterError");
    let out = "", bits = 0, n = 0;
    for (let i = 0; i < s.length; i++) {
        n = (n << 6) | alphabet.indexOf(s[i]);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += String.fromCharCode((n >> bits) & 255);
        }
    }
    return out;
});

export function utf8Encode(text) {
    const s = String(text);
    const out = [];
    for (let i = 0; i < s.length; i++) {
        let c = s.charCodeAt(i);
        if (c >= 0xd800 && c <= 0xdbff && i + 1 < s.length) {
            const d = s.charCodeAt(i + 1);
            if (d >= 0xdc00 && d <= 0xdfff) {
                c = 0x10000 + ((c - 0xd800) << 10) + (d - 0xdc00);
                i++;
            } else c = 0xfffd;
        } else if (c >= 0xd800 && c <= 0xdfff) c = 0xfffd;
        if (c < 0x80) out.push(c);
        else if (c < 0x800) out.push(0xc0 | (c >> 6), 0x80 | (c & 63));
        else if (c < 0x10000) out.push(0xe0 | (c >> 12), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
        else out.push(0xf0 | (c >> 18), 0x80 | ((c >> 12) & 63), 0x80 | ((c >> 6) & 63), 0x80 | (c & 63));
    }
    return new Uint8Array(out);
}

export function utf8Decode(bytes, fatal) {
    let out = "";
    for (let i = 0; i < bytes.length;) {
        const a = bytes[i];
        let need = a < 0x80 ? 0 : a >= 0xc2 && a < 0xe0 ? 1 : a >= 0xe0 && a < 0xf0 ? 2 : a >= 0xf0 && a < 0xf5 ? 3 : -1;
        let c = need === 0 ? a : need === 1 ? a & 31 : need === 2 ? a & 15 : a & 7;
        let j = 1;
        let bad = need < 0;
        for (; !bad && j <= need; j++) {
            const b = bytes[i + j];
            const lo = j === 1 ? (a === 0xe0 ? 0xa0 : a === 0xf0 ? 0x90 : 0x80) : 0x80;
            const hi = j === 1 ? (a === 0xed ? 0x9f : a === 0xf4 ? 0x8f : 0xbf) : 0xbf;
            if (b === undefined || b < lo || b > hi) bad = true;
            else c = (c << 6) | (b & 63);
        }
        if (bad) {
            if (fatal) throw new TypeError("Failed to execute 'decode' on 'TextDecoder': The encoded data was not valid for encoding utf-8");
            out += "\ufffd";
            i += Math.max(1, j - 1);
            continue;
        }
        out += String.fromCodePoint(c);
        i += need + 1;
    }
    return out;
}

export function bytesOf(input) {
    if (input instanceof ArrayBuffer) return new Uint8Array(input);
    if (ArrayBuffer.isView(input)) return new Uint8Array(input.buffer, input.byteOffset, input.byteLength);
    return null;
}

export const TextEncoder = defineInterface("TextEncoder", null, function () {
    setSlot(this, {});
});
getters(TextEncoder.prototype, { encoding: () => "utf-8" });
methods(TextEncoder.prototype, {
    encode(input) {
        slot(this);
        return utf8Encode(input === undefined ? "" : input);
    },
    encodeInto(source, destination) {
        slot(this);
        const bytes = utf8Encode(source);
        let n = Math.min(bytes.length, destination.length);
        while (n > 0 && n < bytes.length && (bytes[n] & 0xc0) === 0x80) n--;
        destination.set(bytes.subarray(0, n));
        return { read: utf8Decode(bytes.subarray(0, n)).length, written: n };
    },
});

const labels = { "utf-8": "utf-8", utf8: "utf-8", "unicode-1-1-utf-8": "utf-8", "utf-16le": "utf-16le", "utf-16": "utf-16le", "utf-16be": "utf-16be", latin1: "windows-1252", "iso-8859-1": "windows-1252", ascii: "windows-1252", "us-ascii": "windows-1252", "windows-1252": "windows-1252" };

export const TextDecoder = defineInterface("TextDecoder", null, function (label, options) {
    const name = labels[String(label === undefined ? "utf-8" : label).trim().toLowerCase()];
    if (!name) throw new RangeError("Failed to construct 'TextDecoder': The encoding label provided ('" + label + "') is invalid.");
    setSlot(this, { name, fatal: !!(options && options.fatal), ignoreBOM: !!(options && options.ignoreBOM) });
});
getters(TextDecoder.prototype, {
    encoding: (s) => s.name,
    fatal: (s) => s.fatal,
    ignoreBOM: (s) => s.ignoreBOM,
});
methods(TextDecoder.prototype, {
    decode(input) {
        const s = slot(this);
        if (input === undefined) return "";
        let bytes = bytesOf(input);
        if (!bytes) throw new TypeError("Failed to execute 'decode' on 'TextDecoder': The provided value is not of type '(ArrayBuffer or ArrayBufferView)'.");
        if (s.name === "utf-8") {
            if (!s.ignoreBOM && bytes[0] === 0xef && bytes[1] === 0xbb && bytes[2] === 0xbf) bytes = bytes.subarray(3);
            return utf8Decode(bytes, s.fatal);
        }
        if (s.name === "windows-1252") return String.fromCharCode.apply(null, Array.from(bytes));
        let out = "";
        const le = s.name === "utf-16le";
        for (let i = 0; i + 1 < bytes.length; i += 2) out += String.fromCharCode(le ? bytes[i] | (bytes[i + 1] << 8) : (bytes[i] << 8) | bytes[i + 1]);
        if (!s.ignoreBOM && out.charCodeAt(0) === 0xfeff) out = out.slice(1);
        return out;
    },
});

// The structured clone of plain data; functions, symbols and host objects cannot be cloned.
function cloneValue(value, seen) {
    if (value === null || typeof value !== "object") {
        if (typeof value === "function" || typeof value === "symbol")
            throw domError("Failed to execute 'structuredClone' on 'Window': " + String(value.toString ? value.toString() : "value") + " could not be cloned.", "DataCloneError");
        return value;
    }
    if (seen.has(value)) return seen.get(value);
    let out;
    const tag = Object.prototype.toString.call(value);
    if (Array.isArray(value)) out = [];
    else if (tag === "[object Date]") return new Date(value.getTime());
    else if (tag === "[object RegExp]") return new RegExp(value.source, value.flags);
    else if (tag === "[object ArrayBuffer]") return value.slice(0);
    else if (ArrayBuffer.isView(value)) return new value.constructor(value);
    else if (tag === "[object Map]") {
        out = new Map();
        seen.set(value, out);
        value.forEach((v, k) => out.set(cloneValue(k, seen), cloneValue(v, seen)));
        return out;
    } else if (tag === "[object Set]") {
        out = new Set();
        seen.set(value, out);
        value.forEach((v) => out.add(cloneValue(v, seen)));
        return out;
    } else if (tag === "[object Boolean]" || tag === "[object Number]" || tag === "[object String]") return Object(value.valueOf());
    else if (value instanceof Error) {
        out = new (globalThis[value.name] || Error)(value.message);
        return out;
    } else if (tag !== "[object Object]") {
        throw domError("Failed to execute 'structuredClone' on 'Window': " + tag + " could not be cloned.", "DataCloneError");
    } else out = {};
    seen.set(value, out);
    for (const k of Object.keys(value)) out[k] = cloneValue(value[k], seen);
    return out;
}

export const structuredClone = fn("structuredClone", function structuredClone(value) {
    if (arguments.length < 1) throw new TypeError("Failed to execute 'structuredClone' on 'Window': 1 argument required, but only 0 present.");
    return cloneValue(value, new Map());
});

