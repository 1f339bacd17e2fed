// URL and URLSearchParams after the URL Standard, for the schemes page scripts meet:
// the special ones (http, https, ws, wss, ftp, file) with hosts, and opaque ones
// (data:, blob:, javascript:, about:). International host names are kept as written.
import { accessor, create, defineInterface, getters, methods, native, setSlot, slot } from "./native.js";

const specialPorts = { "http:": "80", "https:": "443", "ws:": "80", "wss:": "443", "ftp:": "21", "file:": "" };

function isSpecial(protocol) {
    return Object.prototype.hasOwnProperty.call(specialPorts, protocol);
}

// Percent-encodes C0 controls, non-ASCII (as UTF-8) and the characters of the set.
function encodeSet(text, extra) {
    let out = "";
    for (const ch of text) {
        const c = ch.codePointAt(0);
        if (c >= 0x20 && c <= 0x7e && extra.indexOf(ch) < 0) out += ch;
        else if (c < 0x80) out += "%" + (c < 16 ? "0" : "") + c.toString(16).toUpperCase();
        else {
            try {
                out += encodeURIComponent(ch);
            } catch (e) {
                out += "%EF%BF%BD"; // a lone surrogate
            }
        }
    }
    return out;
}
const pathSet = " \"#<>?`{}";
const querySet = " \"#<>";
const specialQuerySet = " \"#<>'";
const fragmentSet = " \"<>`";
const userinfoSet = " \"#<>?`{}/:;=@[\\]^|";

function normalizePath(segments, special) {
    const out = [];
    for (const raw of segments) {
        const s = raw.toLowerCase();
        if (s === ".." || s === ".%2e" || s === "%2e." || s === "%2e%2e") {
            if (out.length) out.pop();
            if (segments[segments.length - 1] === raw) out.push("");
        } else if (s === "." || s === "%2e") {
            if (segments[segments.length - 1] === raw) out.push("");
        } else {
            out.push(encodeSet(raw, pathSet));
        }
    }
    if (special && out.length === 0) out.push("");
    return out;
}

function parseHost(host, special) {
    if (!special) return encodeSet(host, "");
    let h;
    try {
        h = decodeURIComponent(host);
    } catch (e) {
        return null;
    }
    h = h.toLowerCase();
    if (h === "" || /[\x00-\x20#%/:<>?@[\\\]^|]/.test(h.replace(/^\[.*\]$/, "x"))) return null;
    // Dotted numbers (and the shorter forms the standard allows) name an IPv4 address.
    const parts = h.split(".");
    if (parts[parts.length - 1] === "") parts.pop();
    if (parts.length && parts.length <= 4 && parts.every((p) => /^(0x[0-9a-f]*|[0-9]+)$/.test(p))) {
        const nums = parts.map((p) => (p.startsWith("0x") ? parseInt(p.slice(2) || "0", 16) : /^0[0-7]+$/.test(p) ? parseInt(p, 8) : parseInt(p, 10)));
        let value = 0;
        for (let i = 0; i < nums.length - 1; i++) {
            if (nums[i] > 255) return null;
            value += nums[i] * Math.pow(256, 3 - i);
        }
        const last = nums[nums.length - 1];
        if (last >= Math.pow(256, 5 - nums.length)) return null;
        value += last;
        return [value >>> 24, (value >>> 16) & 255, (value >>> 8) & 255, value & 255].join(".");
    }
    return h;
}

// Parses input against an optional base record; null when it is not a URL.
export function parseURL(input, base) {
    let s = String(input).replace(/^[\x00-\x20]+|[\x00-\x20]+$/g, "").replace(/[\t\n\r]/g, "");
    const r = { protocol: "", username: "", password: "", hostname: "", port: "", path: [], opaque: null, query: null, fragment: null };
    const hashAt = s.indexOf("#");
    if (hashAt >= 0) {
        r.fragment = encodeSet(s.slice(hashAt + 1), fragmentSet);
        s = s.slice(0, hashAt);
    }
    const scheme = /^([a-zA-Z][a-zA-Z0-9+.-]*):/.exec(s);
    let rest;
    if (scheme) {
        r.protocol = scheme[1].toLowerCase() + ":";
        rest = s.slice(scheme[0].length);
        if (base && base.protocol === r.protocol && isSpecial(r.protocol) && !/^[/\\]/.test(rest))
            return relative(rest, base, r);
    } else {
        if (!base) return null;
        if (base.opaque !== null) {
            if (s !== "" ) return null;
            return Object.assign({}, base, { fragment: r.fragment });
        }
        r.protocol = base.protocol;
        return relative(s, base, r);
    }
    const special = isSpecial(r.protocol);
    if (special ? /^[/\\]{2}/.test(rest) || r.protocol !== "file:" : rest.startsWith("//")) {
        if (special) rest = rest.replace(/^[/\\]*/, "");
        else rest = rest.slice(2);
        return authority(rest, r, special);
    }
    if (special) {
        if (r.protocol === "file:") return authority(rest.replace(/^[/\\]*/, ""), r, true);
        return authority(rest.replace(/^[/\\]*/, ""), r, true);
    }
    // An opaque path (mailto:, data:, javascript:) or a path without a host.
    const q = rest.indexOf("?");
    if (q >= 0) {
        r.query = encodeSet(rest.slice(q + 1), querySet);
        rest = rest.slice(0, q);
    }
    if (rest.startsWith("/")) r.path = normalizePath(rest.slice(1).split("/"), false);
    else r.opaque = encodeSet(rest, "");
    return r;
}

function authority(rest, r, special) {
    const end = rest.search(special ? /[/\\?]/ : /[/?]/);
    let auth = end < 0 ? rest : rest.slice(0, end);
    rest = end < 0 ? "" : rest.slice(end);
    const at = auth.lastIndexOf("@");
    if (at >= 0) {
        const info = auth.slice(0, at);
        auth = auth.slice(at + 1);
        const colon = info.indexOf(":");
        r.username = encodeSet(colon < 0 ? info : info.slice(0, colon), userinfoSet);
        r.password = colon < 0 ? "" : encodeSet(info.slice(colon + 1), userinfoSet);
    }
    const portMatch = /:([0-9]*)$/.exec(auth);
    let host = auth;
    if (portMatch && !/^\[[^\]]*$/.test(auth.slice(0, portMatch.index))) {
        host = auth.slice(0, portMatch.index);
        if (portMatch[1] !== "") {
            const port = parseInt(portMatch[1], 10);
            if (port > 65535) return null;
            r.port = String(port) === specialPorts[r.protocol] ? "" : String(port);
        }
    } else if (/:[^\]]*$/.test(auth) && !auth.startsWith("[")) {
        return null;
    }
    if (host === "" && special && r.protocol !== "file:") return null;
    const parsed = host === "" ? "" : parseHost(host, special);
    if (parsed === null) return null;
    r.hostname = parsed;
    return pathAndQuery(rest, r, special);
}

function pathAndQuery(rest, r, special) {
    const q = rest.indexOf("?");
    if (q >= 0) {
        r.query = encodeSet(rest.slice(q + 1), special ? specialQuerySet : querySet);
        rest = rest.slice(0, q);
    }
    if (special) rest = rest.replace(/\\/g, "/");
    r.path = rest === "" ? (special ? [""] : []) : normalizePath(rest.replace(/^\//, "").split("/"), special);
    return r;
}

function relative(s, base, r) {
    const special = isSpecial(r.protocol);
    if (special ? /^[/\\]{2}/.test(s) : s.startsWith("//"))
        return authority(s.replace(special ? /^[/\\]*/ : /^\/\//, ""), r, special);
    r.username = base.username;
    r.password = base.password;
    r.hostname = base.hostname;
    r.port = base.port;
    if (s === "") {
        r.path = base.path.slice();
        r.query = base.query;
        return r;
    }
    if (s[0] === "?") {
        r.path = base.path.slice();
        r.query = encodeSet(s.slice(1), special ? specialQuerySet : querySet);
        return r;
    }
    if (/^[/\\]/.test(s) && (special || s[0] === "/")) return pathAndQuery(s, r, special);
    const dir = base.path.slice(0, -1).join("/");
    return pathAndQuery((dir ? "/" + dir + "/" : "/") + s, r, special);
}

export function serialize(r, excludeFragment) {
    let out = r.protocol;
    if (r.opaque !== null) {
        out += r.opaque;
    } else {
        if (r.hostname !== "" || isSpecial(r.protocol)) {
            out += "//";
            if (r.username || r.password)
                out += r.username + (r.password ? ":" + r.password : "") + "@";
            out += r.hostname + (r.port ? ":" + r.port : "");
        }
        out += r.path.length ? "/" + r.path.join("/") : "";
    }
    if (r.query !== null) out += "?" + r.query;
    if (!excludeFragment && r.fragment !== null) out += "#" + r.fragment;
    return out;
}

export function originOf(r) {
    if (r.protocol === "blob:") {
        const inner = parseURL(r.opaque || "");
        return inner ? originOf(inner) : "null";
    }
    if (!isSpecial(r.protocol) || r.protocol === "file:") return "null";
    return r.protocol + "//" + r.hostname + (r.port ? ":" + r.port : "");
}

// The parts of a URL record as location and URL show them.
export const urlParts = {
    href: (r) => serialize(r),
    origin: (r) => originOf(r),
    protocol: (r) => r.protocol,
    username: (r) => r.username,
    password: (r) => r.password,
    host: (r) => r.hostname + (r.port ? ":" + r.port : ""),
    hostname: (r) => r.hostname,
    port: (r) => r.port,
    pathname: (r) => (r.opaque !== null ? r.opaque : r.path.length ? "/" + r.path.join("/") : ""),
    search: (r) => (r.query ? "?" + r.query : ""),
    hash: (r) => (r.fragment ? "#" + r.fragment : ""),
};

// Setting one part: the URL is written anew with that part replaced and parsed again.
export function withPart(r, part, value) {
    value = String(value);
    const p = {};
    for (const k of Object.keys(urlParts)) p[k] = urlParts[k](r);
    switch (part) {
    case "href": return parseURL(value);
    case "protocol": p.protocol = value.replace(/:.*$/, "") + ":"; break;
    case "host": p.host = value; break;
    case "hostname": p.host = value + (r.port ? ":" + r.port : ""); break;
    case "port": p.host = r.hostname + (value ? ":" + value : ""); break;
    case "pathname": p.pathname = value.startsWith("/") ? value : "/" + value; break;
    case "search": p.search = value === "" ? "" : value.startsWith("?") ? value : "?" + value; break;
    case "hash": p.hash = value === "" ? "" : value.startsWith("#") ? value : "#" + value; break;
    case "username": case "password": {
        const copy = Object.assign({}, r, { path: r.path.slice() });
        copy[part] = encodeSet(value, userinfoSet);
        return copy;
    }
    default: return r;
    }
    const auth = r.username || r.password ? r.username + (r.password ? ":" + r.password : "") + "@" : "";
    const text = r.opaque !== null ? p.protocol + p.pathname + p.search + p.hash
        : p.protocol + "//" + auth + p.host + p.pathname + p.search + p.hash;
    return parseURL(text) || r;
}

// application/x-www-form-urlencoded
function formDecode(s) {
    const bytes = s.replace(/\+/g, " ");
    try {
        return decodeURIComponent(bytes);
    } catch (e) {
        return bytes.replace(/%([0-9a-fA-F]{2})/g, (m, h) => {
            const c = parseInt(h, 16);
            return c < 128 ? String.fromCharCode(c) : m;
        });
    }
}
function formEncode(s) {
    return encodeURIComponent(s).replace(/%20/g, "+").replace(/[!'()~]/g, (c) => "%" + c.charCodeAt(0).toString(16).toUpperCase());
}
export function parseForm(query) {
    const list = [];
    for (const piece of String(query).split("&")) {
        if (piece === "") continue;
        const eq = piece.indexOf("=");
        list.push(eq < 0 ? [formDecode(piece), ""] : [formDecode(piece.slice(0, eq)), formDecode(piece.slice(eq + 1))]);
    }
    return list;
}
export function serializeForm(list) {
    return list.map(([k, v]) => formEncode(k) + "=" + formEncode(v)).join("&");
}

export const URLSearchParams = defineInterface("URLSearchParams", null, function (init) {
    let list = [];
    if (init !== undefined && init !== null && typeof init === "object") {
        if (typeof init[Symbol.iterator] === "function") {
            for (const pair of init) {
                const p = Array.from(pair);
                if (p.length !== 2) throw new TypeError("Failed to construct 'URLSearchParams': Sequence initializer must only contain pair elements");
                list.push([String(p[0]), String(p[1])]);
            }
        } else {
            for (const k of Object.keys(init)) list.push([k, String(init[k])]);
        }
    } else if (init !== undefined) {
        list = parseForm(String(init).replace(/^\?/, ""));
    }
    setSlot(this, { list, url: null });
});

function update(s) {
    if (s.url) {
        const text = serializeForm(s.list);
        s.url.record.query = text === "" ? null : text;
    }
}

methods(URLSearchParams.prototype, {
    append(name, value) { const s = slot(this); s.list.push([String(name), String(value)]); update(s); },
    delete(name) { const s = slot(this); name = String(name); s.list = s.list.filter((p) => p[0] !== name); update(s); },
    get(name) { const p = slot(this).list.find((q) => q[0] === String(name)); return p ? p[1] : null; },
    getAll(name) { return slot(this).list.filter((q) => q[0] === String(name)).map((q) => q[1]); },
    has(name) { return slot(this).list.some((q) => q[0] === String(name)); },
    set(name, value) {
        const s = slot(this);
        name = String(name);
        const i = s.list.findIndex((q) => q[0] === name);
        if (i < 0) s.list.push([name, String(value)]);
        else {
            s.list[i][1] = String(value);
            s.list = s.list.filter((q, j) => j <= i || q[0] !== name);
        }
        update(s);
    },
    sort() { const s = slot(this); s.list.sort((a, b) => (a[0] < b[0] ? -1 : a[0] > b[0] ? 1 : 0)); update(s); },
    forEach(callback, thisArg) { for (const [k, v] of slot(this).list.slice()) callback.call(thisArg, v, k, this); },
    keys() { return slot(this).list.map((p) => p[0])[Symbol.iterator](); },
    values() { return slot(this).list.map((p) => p[1])[Symbol.iterator](); },
    entries() { return slot(this).list.map((p) => [p[0], p[1]])[Symbol.iterator](); },
    toString() { return serializeForm(slot(this).list); },
});
Object.defineProperty(URLSearchParams.prototype, Symbol.iterator, { value: URLSearchParams.prototype.entries, writable: true, configurable: true });
getters(URLSearchParams.prototype, { size: (s) => s.list.length });

export const URL = defineInterface("URL", null, function (url, base) {
    let baseRecord;
    if (base !== undefined) {
        baseRecord = parseURL(String(base));
        if (!baseRecord) throw new TypeError("Failed to construct 'URL': Invalid base URL");
    }
    const record = parseURL(String(url), baseRecord);
    if (!record) throw new TypeError("Failed to construct 'URL': Invalid URL");
    const state = { record, params: null };
    setSlot(this, state);
});

function paramsOf(url) {
    const s = slot(url);
    if (!s.params) {
        s.params = create(URLSearchParams, { list: parseForm(s.record.query || ""), url: s });
    }
    return s.params;
}

for (const part of Object.keys(urlParts)) {
    const read = urlParts[part];
    accessor(URL.prototype, part, function () {
        return read(slot(this).record);
    }, part === "origin" ? undefined : function (value) {
        const s = slot(this);
        const next = withPart(s.record, part, value);
        if (!next) {
            if (part === "href") throw new TypeError("Failed to set the 'href' property on 'URL': Invalid URL");
            return;
        }
        s.record = next;
        if (s.params) slot(s.params).list = parseForm(next.query || "");
    });
}
accessor(URL.prototype, "searchParams", function () {
    return paramsOf(this);
});
methods(URL.prototype, {
    toString() { return serialize(slot(this).record); },
    toJSON() { return serialize(slot(this).record); },
});
const statics = {
    canParse(url, base) {
        const b = base === undefined ? undefined : parseURL(String(base));
        return !!(base === undefined || b) && !!parseURL(String(url), b);
    },
    createObjectURL(object) {
        void object;
        return "blob:null/" + "00000000-0000-4000-8000-000000000000";
    },
    revokeObjectURL() {},
};
for (const k of Object.keys(statics)) {
    native(statics[k], k);
    Object.defineProperty(URL, k, { value: statics[k], writable: true, enumerable: true, configurable: true });
}
