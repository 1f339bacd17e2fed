// The browser's own objects beside the document: navigator (a current desktop Chrome by
// default), location (from the page address; navigation is recorded, never followed),
// screen, history and performance.
import { create, defineInterface, getters, methods, slot } from "./native.js";
import { parseURL, serialize, urlParts, withPart } from "./url.js";

export const chromeVersion = "131.0.0.0";
export const defaultNavigator = {
    userAgent: "Mozilla/5.0 (Windows NT 10.0; Win64; x64) AppleWebKit/537.36 (KHTML, like Gecko) Chrome/" + chromeVersion + " Safari/537.36",
    platform: "Win32",
    language: "zh-CN",
    languages: ["zh-CN", "zh"],
    vendor: "Google Inc.",
    hardwareConcurrency: 8,
    deviceMemory: 8,
    maxTouchPoints: 0,
};

const pluginList = [
    ["PDF Viewer", "Portable Document Format", "internal-pdf-viewer"],
    ["Chrome PDF Viewer", "Portable Document Format", "internal-pdf-viewer"],
    ["Chromium PDF Viewer", "Portable Document Format", "internal-pdf-viewer"],
    ["Microsoft Edge PDF Viewer", "Portable Document Format", "internal-pdf-viewer"],
    ["WebKit built-in PDF", "Portable Document Format", "internal-pdf-viewer"],
];
const mimeList = [["application/pdf", "Portable Document Format", "pdf"], ["text/pdf", "Portable Document Format", "pdf"]];

export const Plugin = defineInterface("Plugin", null);
export const PluginArray = defineInterface("PluginArray", null);
export const MimeType = defineInterface("MimeType", null);
export const MimeTypeArray = defineInterface("MimeTypeArray", null);
getters(Plugin.prototype, { name: (s) => s.name, description: (s) => s.description, filename: (s) => s.filename, length: () => mimeList.length });
getters(MimeType.prototype, { type: (s) => s.type, description: (s) => s.description, suffixes: (s) => s.suffixes, enabledPlugin: (s) => s.plugin });

function arrayLike(ctor, items, key) {
    const list = create(ctor, { items });
    items.forEach((item, i) => Object.defineProperty(list, i, { value: item, enumerable: true, configurable: true }));
    getters(ctor.prototype, { length: (s) => s.items.length });
    methods(ctor.prototype, {
        item(i) { return slot(this).items[i >>> 0] || null; },
        namedItem(name) { return slot(this).items.find((x) => x[key] === name) || null; },
    });
    if (ctor === PluginArray) methods(ctor.prototype, { refresh() {} });
    Object.defineProperty(ctor.prototype, Symbol.iterator, { value: Array.prototype.values, writable: true, configurable: true });
    return list;
}

export const Navigator = defineInterface("Navigator", null);

// settings: the defaults above, changed by the user's options.
export function makeNavigator(settings, sendBeacon) {
    const plugins = pluginList.map(([name, description, filename]) => create(Plugin, { name, description, filename }));
    const mimes = mimeList.map(([type, description, suffixes]) => create(MimeType, { type, description, suffixes, plugin: plugins[0] }));
    const state = {
        settings,
        plugins: arrayLike(PluginArray, plugins, "name"),
        mimeTypes: arrayLike(MimeTypeArray, mimes, "type"),
    };
    const nav = create(Navigator, state);
    getters(Navigator.prototype, {
        userAgent: (s) => s.settings.userAgent,
        appVersion: (s) => s.settings.userAgent.replace(/^Mozilla\//, ""),
        appName: () => "Netscape",
        appCodeName: () => "Mozilla",
        product: () => "Gecko",
        productSub: () => "20030107",
        platform: (s) => s.settings.platform,
        vendor: (s) => s.settings.vendor,
        vendorSub: () => "",
        language: (s) => s.settings.language,
        languages: (s) => Object.freeze(s.settings.languages.slice()),
        cookieEnabled: () => true,
        onLine: () => true,
        hardwareConcurrency: (s) => s.settings.hardwareConcurrency,
        deviceMemory: (s) => s.settings.deviceMemory,
        maxTouchPoints: (s) => s.settings.maxTouchPoints,
        webdriver: () => false,
        pdfViewerEnabled: () => true,
        doNotTrack: () => null,
        plugins: (s) => s.plugins,
        mimeTypes: (s) => s.mimeTypes,
        connection: (s) => s.connection || (s.connection = { effectiveType: "4g", rtt: 50, downlink: 10, saveData: false, type: undefined, onchange: null, addEventListener() {}, removeEventListener() {} }),
        userAgentData: (s) => s.uaData || (s.uaData = userAgentData(s.settings)),
        geolocation: () => ({ getCurrentPosition() {}, watchPosition() { return 0; }, clearWatch() {} }),
        mediaDevices: () => ({ enumerateDevices: () => Promise.resolve([]), getUserMedia: () => Promise.reject(new Error("Permission denied")) }),
        permissions: () => ({ query: (d) => Promise.resolve({ name: d && d.name, state: "prompt", onchange: null }) }),
        clipboard: () => ({ writeText: () => Promise.resolve(), readText: () => Promise.resolve("") }),
        serviceWorker: () => undefined,
    });
    methods(Navigator.prototype, {
        javaEnabled() { slot(this); return false; },
        sendBeacon(url, data) { slot(this); return sendBeacon(url, data); },
        vibrate() { return true; },
        getBattery() { return Promise.resolve({ charging: true, chargingTime: 0, dischargingTime: Infinity, level: 1, addEventListener() {} }); },
        getGamepads() { return [null, null, null, null]; },
    });
    return nav;
}

function userAgentData(settings) {
    const m = /Chrome\/([0-9]+)/.exec(settings.userAgent);
    const major = m ? m[1] : chromeVersion.split(".")[0];
    const brands = [{ brand: "Google Chrome", version: major }, { brand: "Chromium", version: major }, { brand: "Not_A Brand", version: "24" }];
    const platform = /Windows/.test(settings.userAgent) ? "Windows" : /Mac OS X/.test(settings.userAgent) ? "macOS" : /Android/.test(settings.userAgent) ? "Android" : "Linux";
    return {
        brands,
        mobile: /Mobile/.test(settings.userAgent),
        platform,
        getHighEntropyValues: () => Promise.resolve({ brands, mobile: false, platform, architecture: "x86", bitness: "64", model: "", platformVersion: "15.0.0", uaFullVersion: chromeVersion, fullVersionList: brands }),
        toJSON() { return { brands, mobile: false, platform }; },
    };
}

export const Location = defineInterface("Location", null);

// page: { record } shared with the document; navigate(kind, url) records a navigation.
export function makeLocation(page, navigate) {
    const loc = create(Location, page);
    // In the browser these members are the instance's own (unforgeable) properties.
    for (const part of Object.keys(urlParts)) {
        const read = urlParts[part];
        Object.defineProperty(loc, part, {
            get: Object.defineProperty(function () { return read(slot(this).record); }, "name", { value: "get " + part }),
            set: part === "origin" ? undefined : Object.defineProperty(function (value) {
                const next = withPart(slot(this).record, part, value);
                if (next) navigate("assign", serialize(next));
            }, "name", { value: "set " + part }),
            enumerable: true,
            configurable: false,
        });
    }
    const ops = {
        assign(url) { navigate("assign", String(url)); },
        replace(url) { navigate("replace", String(url)); },
        reload() { navigate("reload", serialize(slot(loc).record)); },
        toString() { return serialize(slot(this).record); },
    };
    for (const k of Object.keys(ops)) {
        Object.defineProperty(ops[k], "name", { value: k });
        Object.defineProperty(loc, k, { value: ops[k], writable: false, enumerable: true, configurable: false });
    }
    Object.defineProperty(loc, "ancestorOrigins", { value: { length: 0, item: () => null, contains: () => false }, enumerable: true });
    return loc;
}
export { parseURL };

export const Screen = defineInterface("Screen", null);
export function makeScreen() {
    const screen = create(Screen, {});
    getters(Screen.prototype, {
        width: () => 1920, height: () => 1080, availWidth: () => 1920, availHeight: () => 1040,
        availLeft: () => 0, availTop: () => 0, colorDepth: () => 24, pixelDepth: () => 24,
        orientation: () => ({ type: "landscape-primary", angle: 0, onchange: null, addEventListener() {} }),
        isExtended: () => false,
    });
    return screen;
}

export const History = defineInterface("History", null);
export function makeHistory(navigate) {
    const history = create(History, { entries: [null], index: 0 });
    getters(History.prototype, {
        length: (s) => s.entries.length,
        state: (s) => s.entries[s.index],
        scrollRestoration: () => "auto",
    });
    methods(History.prototype, {
        pushState(state, title, url) { const s = slot(this); s.entries.splice(s.index + 1, Infinity, state); s.index++; if (url !== undefined && url !== null) navigate("pushState", String(url)); },
        replaceState(state, title, url) { const s = slot(this); s.entries[s.index] = state; if (url !== undefined && url !== null) navigate("replaceState", String(url)); },
        back() { slot(this); },
        forward() { slot(this); },
        go() { slot(this); },
    });
    return history;
}

export const Performance = defineInterface("Performance", null);
export const PerformanceTiming = defineInterface("PerformanceTiming", null);
// now(): milliseconds since the page's start, from the (possibly virtual) clock.
export function makePerformance(clock) {
    const start = clock.origin;
    const timing = create(PerformanceTiming, {});
    const offsets = { navigationStart: 0, fetchStart: 2, domainLookupStart: 3, domainLookupEnd: 3, connectStart: 3, connectEnd: 3, requestStart: 5, responseStart: 40, responseEnd: 42, domLoading: 45, domInteractive: 80, domContentLoadedEventStart: 80, domContentLoadedEventEnd: 81, domComplete: 120, loadEventStart: 120, loadEventEnd: 121, unloadEventStart: 0, unloadEventEnd: 0, redirectStart: 0, redirectEnd: 0, secureConnectionStart: 0 };
    const table = {};
    for (const k of Object.keys(offsets)) table[k] = () => (offsets[k] || k === "navigationStart" ? Math.round(start + offsets[k]) : 0);
    getters(PerformanceTiming.prototype, table);
    methods(PerformanceTiming.prototype, { toJSON() { const o = {}; for (const k of Object.keys(offsets)) o[k] = this[k]; return o; } });
    const perf = create(Performance, { marks: [] });
    getters(Performance.prototype, {
        timeOrigin: () => start,
        timing: () => timing,
        navigation: () => ({ type: 0, redirectCount: 0 }),
        memory: () => ({ jsHeapSizeLimit: 4294705152, totalJSHeapSize: 10000000, usedJSHeapSize: 8000000 }),
    });
    methods(Performance.prototype, {
        now() { slot(this); return clock.now(); },
        mark(name) { const s = slot(this); const e = { name: String(name), entryType: "mark", startTime: clock.now(), duration: 0 }; s.marks.push(e); return e; },
        measure(name) { const e = { name: String(name), entryType: "measure", startTime: 0, duration: clock.now() }; slot(this).marks.push(e); return e; },
        getEntries() { return slot(this).marks.slice(); },
        getEntriesByType(type) { return type === "navigation" ? [] : slot(this).marks.filter((m) => m.entryType === type); },
        getEntriesByName(name) { return slot(this).marks.filter((m) => m.name === name); },
        clearMarks() { slot(this).marks = []; },
        clearMeasures() {},
        clearResourceTimings() {},
        setResourceTimingBufferSize() {},
        toJSON() { return { timeOrigin: start }; },
    });
    return perf;
}
