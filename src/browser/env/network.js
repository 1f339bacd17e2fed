// Network objects that never send: XMLHttpRequest, fetch, navigator.sendBeacon,
// WebSocket and the loads of images and scripts each write one line to the output pane
// with method, address, headers and body, and are answered with an empty 200, or with
// what the user's environment code returns for them (vexoEnv.respond).
import { accessor, constants, create, defineInterface, fn, getters, methods, setSlot, slot } from "./native.js";
import { EventTarget, dispatch, makeEvent, ProgressEvent } from "./events.js";
import { domError, utf8Decode, utf8Encode, bytesOf } from "./text.js";
import { URLSearchParams } from "./url.js";

let host = null;
let resolve = (u) => String(u);
let later = (f) => Promise.resolve().then(f);
let responder = null;

export function setNetworkHost(h, resolveURL, schedule) {
    host = h;
    resolve = resolveURL;
    if (schedule) later = schedule;
}
export function setResponder(f) {
    responder = typeof f === "function" ? f : null;
}

function bodyText(body) {
    if (body === undefined || body === null) return "";
    if (typeof body === "string") return body;
    const bytes = bytesOf(body);
    if (bytes) return utf8Decode(bytes);
    if (body instanceof URLSearchParams) return body.toString();
    if (body instanceof FormData) return slot(body).entries.map(([k, v]) => k + "=" + v).join("&");
    return String(body);
}

// Writes the attempt and gives the answer: { status, statusText, headers: [[k, v]], body }.
function request(method, url, headers, body) {
    const href = resolve(url);
    const headerText = headers.map(([k, v]) => k + ": " + v).join(", ");
    if (host) host.network(String(method).toUpperCase(), href, headerText, bodyText(body));
    let answer = null;
    if (responder) {
        try {
            answer = responder({ method: String(method).toUpperCase(), url: href, headers: Object.fromEntries(headers), body: bodyText(body) });
        } catch (e) {
            answer = null;
        }
    }
    const a = answer && typeof answer === "object" ? answer : {};
    let rh = a.headers || {};
    if (!Array.isArray(rh)) rh = Object.keys(rh).map((k) => [k.toLowerCase(), String(rh[k])]);
    return {
        url: href,
        status: a.status === undefined ? 200 : a.status | 0,
        statusText: a.statusText === undefined ? (a.status === undefined || a.status === 200 ? "OK" : "") : String(a.statusText),
        headers: rh,
        body: a.body === undefined || a.body === null ? "" : typeof a.body === "string" ? a.body : JSON.stringify(a.body),
    };
}
export { request as networkRequest };

export const FormData = defineInterface("FormData", null, function () {
    setSlot(this, { entries: [] });
});
methods(FormData.prototype, {
    append(k, v) { slot(this).entries.push([String(k), String(v)]); },
    set(k, v) { const s = slot(this); s.entries = s.entries.filter((e) => e[0] !== String(k)); s.entries.push([String(k), String(v)]); },
    get(k) { const e = slot(this).entries.find((x) => x[0] === String(k)); return e ? e[1] : null; },
    getAll(k) { return slot(this).entries.filter((x) => x[0] === String(k)).map((x) => x[1]); },
    has(k) { return slot(this).entries.some((x) => x[0] === String(k)); },
    delete(k) { const s = slot(this); s.entries = s.entries.filter((e) => e[0] !== String(k)); },
    entries() { return slot(this).entries.slice()[Symbol.iterator](); },
    forEach(f, t) { for (const [k, v] of slot(this).entries) f.call(t, v, k, this); },
});

export const XMLHttpRequestEventTarget = defineInterface("XMLHttpRequestEventTarget", EventTarget);
export const XMLHttpRequest = defineInterface("XMLHttpRequest", XMLHttpRequestEventTarget, function () {
    setSlot(this, { state: 0, method: "GET", url: "", headers: [], answer: null, type: "", async: true, sent: false, timeout: 0, withCredentials: false });
});
constants(XMLHttpRequest, { UNSENT: 0, OPENED: 1, HEADERS_RECEIVED: 2, LOADING: 3, DONE: 4 });

function fire(target, type, ctor) {
    dispatch(target, makeEvent(type, ctor));
}

function response(s) {
    const body = s.answer ? s.answer.body : "";
    if (s.state !== 4) return s.type === "" || s.type === "text" ? "" : null;
    switch (s.type) {
    case "json":
        try {
            return body === "" ? null : JSON.parse(body);
        } catch (e) {
            return null;
        }
    case "arraybuffer": return utf8Encode(body).buffer;
    case "blob": return null;
    case "document": return null;
    default: return body;
    }
}

getters(XMLHttpRequest.prototype, {
    readyState: (s) => s.state,
    status: (s) => (s.state >= 2 && s.answer ? s.answer.status : 0),
    statusText: (s) => (s.state >= 2 && s.answer ? s.answer.statusText : ""),
    responseURL: (s) => (s.answer ? s.answer.url : ""),
    response: (s) => response(s),
    responseText: (s) => {
        if (s.type !== "" && s.type !== "text") throw domError("Failed to read the 'responseText' property from 'XMLHttpRequest': The value is only accessible if the object's 'responseType' is '' or 'text' (was '" + s.type + "').", "InvalidStateError");
        return s.state === 4 && s.answer ? s.answer.body : "";
    },
    responseXML: () => null,
    upload: (s, self) => s.upload || (s.upload = create(XMLHttpRequestEventTarget, {})),
});
accessor(XMLHttpRequest.prototype, "responseType", function () { return slot(this).type; }, function (v) { slot(this).type = String(v); });
accessor(XMLHttpRequest.prototype, "timeout", function () { return slot(this).timeout; }, function (v) { slot(this).timeout = v >>> 0; });
accessor(XMLHttpRequest.prototype, "withCredentials", function () { return slot(this).withCredentials; }, function (v) { slot(this).withCredentials = !!v; });
for (const h of ["onreadystatechange", "onload", "onloadend", "onloadstart", "onprogress", "onerror", "onabort", "ontimeout"]) {
    const proto = h === "onreadystatechange" ? XMLHttpRequest.prototype : XMLHttpRequestEventTarget.prototype;
    accessor(proto, h, function () { const s = slot(this); return s[h] || null; }, function (v) { slot(this)[h] = typeof v === "function" ? v : null; });
}
methods(XMLHttpRequest.prototype, {
    open(method, url, async) {
        if (arguments.length < 2) throw new TypeError("Failed to execute 'open' on 'XMLHttpRequest': 2 arguments required, but only " + arguments.length + " present.");
        const s = slot(this);
        Object.assign(s, { method: String(method).toUpperCase(), url: String(url), async: async === undefined ? true : !!async, headers: [], answer: null, sent: false, state: 1 });
        fire(this, "readystatechange");
    },
    setRequestHeader(name, value) {
        const s = slot(this);
        if (s.state !== 1 || s.sent) throw domError("Failed to execute 'setRequestHeader' on 'XMLHttpRequest': The object's state must be OPENED.", "InvalidStateError");
        s.headers.push([String(name), String(value)]);
    },
    send(body) {
        const s = slot(this);
        if (s.state !== 1 || s.sent) throw domError("Failed to execute 'send' on 'XMLHttpRequest': The object's state must be OPENED.", "InvalidStateError");
        s.sent = true;
        const answer = request(s.method, s.url, s.headers, s.method === "GET" || s.method === "HEAD" ? null : body);
        const finish = () => {
            s.answer = answer;
            s.state = 2;
            fire(this, "readystatechange");
            s.state = 3;
            fire(this, "readystatechange");
            s.state = 4;
            fire(this, "readystatechange");
            fire(this, "load", ProgressEvent);
            fire(this, "loadend", ProgressEvent);
        };
        if (s.async) {
            fire(this, "loadstart", ProgressEvent);
            later(finish);
        } else finish();
    },
    abort() { const s = slot(this); s.state = 0; s.sent = false; fire(this, "abort", ProgressEvent); },
    getResponseHeader(name) {
        const s = slot(this);
        if (s.state < 2 || !s.answer) return null;
        const found = s.answer.headers.filter(([k]) => k === String(name).toLowerCase()).map(([, v]) => v);
        return found.length ? found.join(", ") : null;
    },
    getAllResponseHeaders() {
        const s = slot(this);
        if (s.state < 2 || !s.answer) return "";
        return s.answer.headers.map(([k, v]) => k + ": " + v + "\r\n").join("");
    },
    overrideMimeType() {},
});

export const Headers = defineInterface("Headers", null, function (init) {
    const list = [];
    if (init && typeof init === "object") {
        const pairs = init instanceof Headers ? slot(init).list : typeof init[Symbol.iterator] === "function" ? Array.from(init, (p) => Array.from(p)) : Object.keys(init).map((k) => [k, init[k]]);
        for (const [k, v] of pairs) list.push([String(k).toLowerCase(), String(v)]);
    }
    setSlot(this, { list });
});
methods(Headers.prototype, {
    append(k, v) { slot(this).list.push([String(k).toLowerCase(), String(v)]); },
    set(k, v) { const s = slot(this); k = String(k).toLowerCase(); s.list = s.list.filter((e) => e[0] !== k); s.list.push([k, String(v)]); },
    get(k) { const v = slot(this).list.filter((e) => e[0] === String(k).toLowerCase()).map((e) => e[1]); return v.length ? v.join(", ") : null; },
    has(k) { return slot(this).list.some((e) => e[0] === String(k).toLowerCase()); },
    delete(k) { const s = slot(this); k = String(k).toLowerCase(); s.list = s.list.filter((e) => e[0] !== k); },
    forEach(f, t) { for (const [k, v] of slot(this).list) f.call(t, v, k, this); },
    entries() { return slot(this).list.map((e) => e.slice())[Symbol.iterator](); },
    keys() { return slot(this).list.map((e) => e[0])[Symbol.iterator](); },
    values() { return slot(this).list.map((e) => e[1])[Symbol.iterator](); },
});
Object.defineProperty(Headers.prototype, Symbol.iterator, { value: Headers.prototype.entries, writable: true, configurable: true });

export const Request = defineInterface("Request", null, function (input, init) {
    const from = input instanceof Request ? slot(input) : null;
    setSlot(this, {
        url: resolve(from ? from.url : String(input)),
        method: String((init && init.method) || (from && from.method) || "GET").toUpperCase(),
        headers: new Headers((init && init.headers) || (from && from.headers) || undefined),
        body: init && init.body !== undefined ? init.body : from ? from.body : null,
    });
});
getters(Request.prototype, { url: (s) => s.url, method: (s) => s.method, headers: (s) => s.headers, credentials: () => "same-origin", mode: () => "cors", cache: () => "default", redirect: () => "follow" });

export const Response = defineInterface("Response", null, function (body, init) {
    setSlot(this, { body: body === undefined || body === null ? "" : bodyText(body), status: init && init.status !== undefined ? init.status | 0 : 200, statusText: (init && init.statusText) || "", headers: new Headers(init && init.headers), url: "", used: false });
});
function consume(r) {
    const s = slot(r);
    if (s.used) return Promise.reject(new TypeError("Failed to execute 'text' on 'Response': body stream already read"));
    s.used = true;
    return Promise.resolve(s.body);
}
getters(Response.prototype, {
    status: (s) => s.status, ok: (s) => s.status >= 200 && s.status < 300, statusText: (s) => s.statusText,
    headers: (s) => s.headers, url: (s) => s.url, redirected: () => false, type: () => "basic", bodyUsed: (s) => s.used, body: () => null,
});
methods(Response.prototype, {
    text() { return consume(this); },
    json() { return consume(this).then((t) => JSON.parse(t)); },
    arrayBuffer() { return consume(this).then((t) => utf8Encode(t).buffer); },
    blob() { return consume(this).then((t) => new Blob([t])); },
    formData() { return consume(this).then(() => new FormData()); },
    clone() { const s = slot(this); const c = Object.create(Response.prototype); setSlot(c, Object.assign({}, s, { used: false })); return c; },
});

export const Blob = defineInterface("Blob", null, function (parts, options) {
    const text = Array.from(parts || [], (p) => (p instanceof Blob ? slot(p).text : bodyText(p))).join("");
    setSlot(this, { text, type: (options && options.type) || "" });
});
getters(Blob.prototype, { size: (s) => utf8Encode(s.text).length, type: (s) => s.type });
methods(Blob.prototype, {
    text() { return Promise.resolve(slot(this).text); },
    arrayBuffer() { return Promise.resolve(utf8Encode(slot(this).text).buffer); },
    slice() { return this; },
});

export const fetch = fn("fetch", function fetch(input, init) {
    let req;
    try {
        req = new Request(input, init);
    } catch (e) {
        return Promise.reject(e);
    }
    const s = slot(req);
    const answer = request(s.method, s.url, slot(s.headers).list, s.method === "GET" || s.method === "HEAD" ? null : s.body);
    return new Promise((done) => {
        later(() => {
            const r = new Response(answer.body, { status: answer.status, statusText: answer.statusText, headers: answer.headers });
            slot(r).url = answer.url;
            done(r);
        });
    });
});

export function sendBeacon(url, data) {
    request("POST", url, [], data === undefined ? null : data);
    return true;
}

export const WebSocket = defineInterface("WebSocket", EventTarget, function (url, protocols) {
    const href = resolve(url);
    if (!/^wss?:/.test(href)) throw domError("Failed to construct 'WebSocket': The URL '" + url + "' is invalid.", "SyntaxError");
    const s = { url: href, state: 0, protocols };
    setSlot(this, s);
    request("GET", href, [["Upgrade", "websocket"]], null);
    later(() => {
        if (s.state !== 0) return;
        s.state = 1;
        fire(this, "open");
    });
});
constants(WebSocket, { CONNECTING: 0, OPEN: 1, CLOSING: 2, CLOSED: 3 });
getters(WebSocket.prototype, { url: (s) => s.url, readyState: (s) => s.state, protocol: () => "", extensions: () => "", bufferedAmount: () => 0 });
accessor(WebSocket.prototype, "binaryType", function () { return slot(this).binaryType || "blob"; }, function (v) { slot(this).binaryType = String(v); });
for (const h of ["onopen", "onmessage", "onerror", "onclose"])
    accessor(WebSocket.prototype, h, function () { return slot(this)[h] || null; }, function (v) { slot(this)[h] = typeof v === "function" ? v : null; });
methods(WebSocket.prototype, {
    send(data) {
        const s = slot(this);
        if (s.state === 0) throw domError("Failed to execute 'send' on 'WebSocket': Still in CONNECTING state.", "InvalidStateError");
        request("SEND", s.url, [], data);
    },
    close() {
        const s = slot(this);
        if (s.state >= 2) return;
        s.state = 3;
        later(() => fire(this, "close"));
    },
});

// An image, script or frame load the document starts.
export function elementLoad(el) {
    const src = el.getAttribute("src");
    if (src === null || src === "") return;
    // about:blank, data: and blob: addresses are not loads from the network.
    if (/^(https?|wss?|ftp):/.test(resolve(src))) request("GET", src, [], null);
    later(() => fire(el, "load"));
}
