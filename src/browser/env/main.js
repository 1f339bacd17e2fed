// The browser environment: run as the body of a function of vexoHost, after the basic
// environment (console, timers, clock) and before the user's environment code and the
// page's script. vexoHost.browser holds the settings as JSON: page address, referrer,
// navigator values, whether the access record is on.
import { defineGlobal, defineInterface, fn, globalAccessor, native, slot } from "./native.js";
import { URL, URLSearchParams, parseURL, serialize } from "./url.js";
import { atob, btoa, DOMException, structuredClone, TextDecoder, TextEncoder } from "./text.js";
import * as events from "./events.js";
import * as dom from "./dom.js";
import { Document, DocumentType, DOMImplementation, HTMLDocument, makeDocument } from "./document.js";
import { Storage, storageFor } from "./storage.js";
import { CanvasRenderingContext2D, ImageData } from "./canvas.js";
import * as bom from "./bom.js";
import * as net from "./network.js";
import { Crypto, CryptoKey, SubtleCrypto, makeCrypto } from "./crypto.js";
import { startMonitor, watched } from "./monitor.js";

/* global vexoHost */
const host = vexoHost;
const settings = JSON.parse(host.browser || "{}");
const global = globalThis;
const originalSetTimeout = typeof global.setTimeout === "function" ? global.setTimeout : null;
const schedule = originalSetTimeout ? (f) => originalSetTimeout(f, 0) : (f) => Promise.resolve().then(f);

// Names that tell a script it runs under Node or a module loader: never defined, so
// wrappers take their browser branch.
for (const name of ["require", "module", "exports", "process", "global", "define", "Buffer", "setImmediate", "clearImmediate"])
    delete global[name];

const pageRecord = parseURL(settings.url || "") || parseURL("https://www.example.com/");
const page = { record: pageRecord, referrer: settings.referrer || "", title: settings.title || "" };
const clock = {
    origin: typeof host.timeOrigin === "number" ? host.timeOrigin : Date.now(),
    now: typeof host.performanceNow === "function" ? () => host.performanceNow() : () => Date.now() - clock.origin,
    wallNow: () => Date.now(),
};
const resolveURL = (u) => {
    const r = parseURL(String(u), page.record);
    return r ? serialize(r) : String(u);
};

function requestLine(method, url, headers, body) {
    host.write("网络请求（未发送）：" + method + " " + url + " 头：" + headers + " 体：" + body);
}
net.setNetworkHost({ network: requestLine }, resolveURL, schedule);
events.setMessageScheduler(schedule);
dom.setDocumentHooks(resolveURL, net.elementLoad);
dom.watchInsertions((el) => {
    const tag = slot(el).name;
    if (tag === "SCRIPT" || tag === "IFRAME") net.elementLoad(el);
});

// A frame's window: the page's globals with a document, a location and names of its own.
dom.setFrameMaker((frame) => {
    const frameDoc = makeDocument({ record: parseURL("about:blank"), referrer: "", title: "" }, clock);
    const win = Object.create(global);
    const own = { document: frameDoc, frameElement: frame, parent: global, top: global };
    for (const k of Object.keys(own)) Object.defineProperty(win, k, { value: own[k], enumerable: true, configurable: true });
    for (const k of ["window", "self", "frames"]) Object.defineProperty(win, k, { value: win, enumerable: true, configurable: true });
    return { window: win, document: frameDoc };
});

function navigate(kind, url) {
    host.write("页面跳转（未执行）：" + kind + " " + resolveURL(url));
}

const navigatorSettings = Object.assign({}, bom.defaultNavigator, settings.navigator || {});
if (settings.navigator && settings.navigator.userAgent && !settings.navigator.platform) {
    const ua = navigatorSettings.userAgent;
    navigatorSettings.platform = /Windows/.test(ua) ? "Win32" : /Mac OS X/.test(ua) ? "MacIntel" : /Android/.test(ua) ? "Linux armv8l" : /iPhone|iPad/.test(ua) ? "iPhone" : "Linux x86_64";
}

const pageOrigin = serialize(pageRecord).replace(/^([a-z]+:\/\/[^/]*).*$/, "$1");
const objects = {
    navigator: bom.makeNavigator(navigatorSettings, net.sendBeacon),
    location: bom.makeLocation(page, navigate),
    document: makeDocument(page, clock),
    screen: bom.makeScreen(),
    history: bom.makeHistory(navigate),
    performance: bom.makePerformance(clock),
    crypto: makeCrypto((view) => host.fillRandom(view), (name, binary) => host.digest(name, binary)),
    localStorage: storageFor("local", pageOrigin),
    sessionStorage: storageFor("session", pageOrigin),
};

const monitoring = !!settings.monitor && typeof host.record === "function";
if (monitoring) startMonitor((kind, path, value, at) => host.record(kind, path, value, at));
const shown = {};
for (const name of Object.keys(objects)) shown[name] = monitoring ? watched(objects[name], name) : objects[name];

// window, with its interface: the global object's prototype cannot be replaced, so the
// interface's name and instanceof answer through the global itself.
const Window = defineInterface("Window", events.EventTarget);
Object.defineProperty(global, Symbol.toStringTag, { value: "Window", configurable: true });
Object.defineProperty(Window, Symbol.hasInstance, {
    value: native(function (v) {
        return v === global || Function.prototype[Symbol.hasInstance].call(this, v);
    }, "[Symbol.hasInstance]"),
    configurable: true,
});
// Functions of window stay out of enumeration, so the function list shows the script's own.
for (const k of ["addEventListener", "removeEventListener", "dispatchEvent"])
    defineGlobal(global, k, events.EventTarget.prototype[k], false);

for (const name of ["window", "self", "frames", "parent", "top"]) {
    globalAccessor(global, name, () => global, name === "window" || name === "top" ? undefined : () => {});
}
for (const name of Object.keys(shown)) globalAccessor(global, name, () => shown[name], name === "location" ? (v) => shown.location.assign(v) : undefined);

const interfaces = Object.assign({
    Window, URL, URLSearchParams, DOMException, TextEncoder, TextDecoder, Storage, Document, HTMLDocument, DocumentType,
    DOMImplementation, CanvasRenderingContext2D, ImageData, Crypto, CryptoKey, SubtleCrypto,
    EventTarget: events.EventTarget, Event: events.Event, CustomEvent: events.CustomEvent, MessageEvent: events.MessageEvent,
    ProgressEvent: events.ProgressEvent, UIEvent: events.UIEvent, MouseEvent: events.MouseEvent, KeyboardEvent: events.KeyboardEvent,
    ErrorEvent: events.ErrorEvent, MessageChannel: events.MessageChannel, MessagePort: events.MessagePort, Node: dom.Node, NodeList: dom.NodeList, HTMLCollection: dom.HTMLCollection, Element: dom.Element,
    HTMLElement: dom.HTMLElement, HTMLUnknownElement: dom.HTMLUnknownElement, CharacterData: dom.CharacterData, Text: dom.Text,
    Comment: dom.Comment, DocumentFragment: dom.DocumentFragment, CSSStyleDeclaration: dom.CSSStyleDeclaration, DOMTokenList: dom.DOMTokenList,
    Navigator: bom.Navigator, Location: bom.Location, Screen: bom.Screen, History: bom.History, Performance: bom.Performance,
    PerformanceTiming: bom.PerformanceTiming, Plugin: bom.Plugin, PluginArray: bom.PluginArray, MimeType: bom.MimeType,
    MimeTypeArray: bom.MimeTypeArray, XMLHttpRequest: net.XMLHttpRequest, XMLHttpRequestEventTarget: net.XMLHttpRequestEventTarget,
    Headers: net.Headers, Request: net.Request, Response: net.Response, Blob: net.Blob, FormData: net.FormData, WebSocket: net.WebSocket,
}, dom.elementKinds);
for (const name of Object.keys(interfaces)) defineGlobal(global, name, monitoring ? watched(interfaces[name], name) : interfaces[name], false);

// new Image() and new Audio() make elements of the document.
const doc = objects.document;
const Image = fn("Image", function Image(width, height) {
    if (new.target === undefined) throw new TypeError("Failed to construct 'Image': Please use the 'new' operator, this DOM object constructor cannot be called as a function.");
    const img = doc.createElement("img");
    if (width !== undefined) img.width = width;
    if (height !== undefined) img.height = height;
    return img;
});
Image.prototype = dom.elementKinds.HTMLImageElement.prototype;
const Audio = fn("Audio", function Audio(src) {
    const a = doc.createElement("audio");
    if (src !== undefined) a.src = src;
    return a;
});
Audio.prototype = dom.elementKinds.HTMLAudioElement.prototype;
defineGlobal(global, "Image", monitoring ? watched(Image, "Image") : Image, false);
defineGlobal(global, "Audio", Audio, false);

const functions = {
    atob, btoa, structuredClone, fetch: net.fetch,
    getComputedStyle: fn("getComputedStyle", function getComputedStyle(el) { return el && el.style ? el.style : doc.body.style; }),
    matchMedia: fn("matchMedia", function matchMedia(query) {
        const q = String(query);
        const matches = /prefers-color-scheme:\s*light|min-width:\s*([0-9]+)px/.test(q) && !(/min-width:\s*([0-9]+)px/.exec(q) && +/min-width:\s*([0-9]+)px/.exec(q)[1] > 1920);
        return { matches, media: q, onchange: null, addListener() {}, removeListener() {}, addEventListener() {}, removeEventListener() {} };
    }),
    alert: fn("alert", function alert(text) { host.write("alert：" + (text === undefined ? "" : String(text))); }),
    confirm: fn("confirm", function confirm(text) { host.write("confirm：" + (text === undefined ? "" : String(text))); return true; }),
    prompt: fn("prompt", function prompt(text) { host.write("prompt：" + (text === undefined ? "" : String(text))); return null; }),
    open: fn("open", function open(url) { navigate("open", url === undefined ? "" : url); return null; }),
    close: fn("close", function close() {}),
    focus: fn("focus", function focus() {}),
    blur: fn("blur", function blur() {}),
    stop: fn("stop", function stop() {}),
    print: fn("print", function print() {}),
    scroll: fn("scroll", function scroll() {}),
    scrollTo: fn("scrollTo", function scrollTo() {}),
    scrollBy: fn("scrollBy", function scrollBy() {}),
    moveTo: fn("moveTo", function moveTo() {}),
    resizeTo: fn("resizeTo", function resizeTo() {}),
    postMessage: fn("postMessage", function postMessage() {}),
    getSelection: fn("getSelection", function getSelection() { return doc.getSelection(); }),
    requestIdleCallback: fn("requestIdleCallback", function requestIdleCallback(f) {
        return originalSetTimeout ? originalSetTimeout(() => f({ didTimeout: false, timeRemaining: () => 50 }), 1) : 0;
    }),
    cancelIdleCallback: fn("cancelIdleCallback", function cancelIdleCallback(id) { if (typeof global.clearTimeout === "function") global.clearTimeout(id); }),
    reportError: fn("reportError", function reportError(e) {
        if (global.console && typeof global.console.error === "function") global.console.error("Uncaught", e);
    }),
};
for (const name of Object.keys(functions)) defineGlobal(global, name, monitoring ? watched(functions[name], name) : functions[name], false);

const values = {
    innerWidth: 1920, innerHeight: 937, outerWidth: 1920, outerHeight: 1040, devicePixelRatio: 1,
    screenX: 0, screenY: 0, screenLeft: 0, screenTop: 0, scrollX: 0, scrollY: 0, pageXOffset: 0, pageYOffset: 0,
    name: "", status: "", closed: false, length: 0, opener: null, frameElement: null, isSecureContext: pageRecord.protocol === "https:",
    origin: pageOrigin, crossOriginIsolated: false,
    onload: null, onerror: null, onunload: null, onbeforeunload: null, onmessage: null, onresize: null, onscroll: null,
    onfocus: null, onblur: null, onhashchange: null, onpopstate: null, onstorage: null, onclick: null, onkeydown: null,
    onmousemove: null, ontouchstart: undefined,
};
for (const name of Object.keys(values)) if (values[name] !== undefined) defineGlobal(global, name, values[name], true);

// What a desktop Chrome has at window.chrome.
const chrome = {
    app: { isInstalled: false, InstallState: { DISABLED: "disabled", INSTALLED: "installed", NOT_INSTALLED: "not_installed" }, RunningState: { CANNOT_RUN: "cannot_run", READY_TO_RUN: "ready_to_run", RUNNING: "running" }, getDetails: fn("getDetails", function getDetails() { return null; }), getIsInstalled: fn("getIsInstalled", function getIsInstalled() { return false; }) },
    csi: fn("csi", function csi() { return { startE: clock.origin, onloadT: clock.origin + 120, pageT: clock.now(), tran: 15 }; }),
    loadTimes: fn("loadTimes", function loadTimes() { return { requestTime: clock.origin / 1000, startLoadTime: clock.origin / 1000, commitLoadTime: clock.origin / 1000 + 0.04, finishDocumentLoadTime: clock.origin / 1000 + 0.08, finishLoadTime: clock.origin / 1000 + 0.12, firstPaintTime: clock.origin / 1000 + 0.09, firstPaintAfterLoadTime: 0, navigationType: "Other", wasFetchedViaSpdy: true, wasNpnNegotiated: true, npnNegotiatedProtocol: "h2", wasAlternateProtocolAvailable: false, connectionInfo: "h2" }; }),
    runtime: {},
};
defineGlobal(global, "chrome", chrome, true);

// The environment's functions that came before it (console, timers) look built in too.
for (const name of ["setTimeout", "setInterval", "clearTimeout", "clearInterval", "queueMicrotask", "requestAnimationFrame", "cancelAnimationFrame"]) {
    if (typeof global[name] === "function") native(global[name], name);
}
if (global.console && typeof global.console === "object") {
    for (const k of Object.keys(global.console)) if (typeof global.console[k] === "function") native(global.console[k], k);
}

// The user's environment code may answer requests: vexoEnv.respond = function (request)
// { return { status, headers, body }; }. vexoEnv is there for that code only.
const envHook = {};
Object.defineProperty(envHook, "respond", { set: (f) => net.setResponder(f), get: () => undefined, enumerable: true });
defineGlobal(global, "vexoEnv", envHook, false);

// The page has loaded by the time the script's timers run.
schedule(() => {
    events.dispatch(doc, events.makeEvent("readystatechange"));
    events.dispatch(doc, events.makeEvent("DOMContentLoaded"));
    events.dispatch(global, events.makeEvent("load"));
});
