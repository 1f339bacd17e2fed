// Event, CustomEvent and EventTarget: listeners by type, capture flag and once, called in
// order with the event; the on<type> handler properties are read by dispatchEvent too.
import { accessor, constants, create, defineInterface, getters, hasSlot, methods, setSlot, slot } from "./native.js";

const listenerTables = new WeakMap();

export const EventTarget = defineInterface("EventTarget", null, function () {
    setSlot(this, {});
});

function listenersOf(target) {
    let t = listenerTables.get(target);
    if (!t) {
        t = new Map();
        listenerTables.set(target, t);
    }
    return t;
}

function captureOf(options) {
    return typeof options === "boolean" ? options : !!(options && options.capture);
}

methods(EventTarget.prototype, {
    addEventListener(type, callback, options) {
        if (arguments.length < 2) throw new TypeError("Failed to execute 'addEventListener' on 'EventTarget': 2 arguments required, but only " + arguments.length + " present.");
        if (callback === null || callback === undefined) return;
        const table = listenersOf(this);
        type = String(type);
        const list = table.get(type) || [];
        const capture = captureOf(options);
        if (list.some((l) => l.callback === callback && l.capture === capture)) return;
        list.push({ callback, capture, once: !!(options && options.once) });
        table.set(type, list);
    },
    removeEventListener(type, callback, options) {
        const table = listenersOf(this);
        const list = table.get(String(type));
        if (!list) return;
        const capture = captureOf(options);
        table.set(String(type), list.filter((l) => !(l.callback === callback && l.capture === capture)));
    },
    dispatchEvent(event) {
        if (!hasSlot(event) || !(event instanceof Event)) throw new TypeError("Failed to execute 'dispatchEvent' on 'EventTarget': parameter 1 is not of type 'Event'.");
        return dispatch(this, event);
    },
});

export function dispatch(target, event) {
    const s = slot(event);
    s.target = target;
    s.currentTarget = target;
    s.phase = 2;
    const list = (listenersOf(target).get(s.type) || []).slice();
    const handler = target["on" + s.type];
    const calls = list.map((l) => l);
    if (typeof handler === "function") calls.push({ callback: handler, handler: true });
    for (const l of calls) {
        if (s.stopImmediate) break;
        if (l.once) target.removeEventListener(s.type, l.callback, l.capture);
        try {
            const f = typeof l.callback === "function" ? l.callback : l.callback && l.callback.handleEvent;
            if (typeof f === "function") {
                const r = f.call(typeof l.callback === "function" ? target : l.callback, event);
                if (l.handler && r === false) s.canceled = s.cancelable;
            }
        } catch (e) {
            // A throwing listener does not stop the others, as in the browser; the error is
            // reported where uncaught errors go.
            if (typeof globalThis.reportError === "function") globalThis.reportError(e);
        }
    }
    s.currentTarget = null;
    s.phase = 0;
    return !s.canceled;
}

export const Event = defineInterface("Event", null, function (type, init) {
    if (arguments.length < 1) throw new TypeError("Failed to construct 'Event': 1 argument required, but only 0 present.");
    initEvent(this, type, init);
});

export function initEvent(event, type, init) {
    setSlot(event, {
        type: String(type),
        bubbles: !!(init && init.bubbles),
        cancelable: !!(init && init.cancelable),
        composed: !!(init && init.composed),
        detail: init && init.detail !== undefined ? init.detail : null,
        target: null, currentTarget: null, phase: 0, canceled: false, stopImmediate: false,
        timeStamp: typeof performance !== "undefined" ? performance.now() : 0,
        extra: init || {},
    });
}

constants(Event, { NONE: 0, CAPTURING_PHASE: 1, AT_TARGET: 2, BUBBLING_PHASE: 3 });
getters(Event.prototype, {
    type: (s) => s.type,
    target: (s) => s.target,
    currentTarget: (s) => s.currentTarget,
    srcElement: (s) => s.target,
    eventPhase: (s) => s.phase,
    bubbles: (s) => s.bubbles,
    cancelable: (s) => s.cancelable,
    composed: (s) => s.composed,
    defaultPrevented: (s) => s.canceled,
    returnValue: (s) => !s.canceled,
    isTrusted: () => false,
    timeStamp: (s) => s.timeStamp,
    cancelBubble: () => false,
});
methods(Event.prototype, {
    preventDefault() { const s = slot(this); if (s.cancelable) s.canceled = true; },
    stopPropagation() { slot(this); },
    stopImmediatePropagation() { slot(this).stopImmediate = true; },
    composedPath() { const s = slot(this); return s.target ? [s.target] : []; },
    initEvent(type, bubbles, cancelable) { const s = slot(this); s.type = String(type); s.bubbles = !!bubbles; s.cancelable = !!cancelable; },
});

export const CustomEvent = defineInterface("CustomEvent", Event, function (type, init) {
    initEvent(this, type, init);
});
getters(CustomEvent.prototype, { detail: (s) => s.detail });

// Events with a few more fields, read from their init dictionaries.
function eventKind(name, fields) {
    const ctor = defineInterface(name, Event, function (type, init) {
        initEvent(this, type, init);
    });
    const table = {};
    for (const f of Object.keys(fields)) table[f] = (s) => (s.extra[f] !== undefined ? s.extra[f] : fields[f]);
    getters(ctor.prototype, table);
    return ctor;
}
export const MessageEvent = eventKind("MessageEvent", { data: null, origin: "", lastEventId: "", source: null, ports: [] });
export const ProgressEvent = eventKind("ProgressEvent", { lengthComputable: false, loaded: 0, total: 0 });
export const UIEvent = eventKind("UIEvent", { view: null, detail: 0 });
export const MouseEvent = defineInterface("MouseEvent", UIEvent, function (type, init) {
    initEvent(this, type, init);
});
{
    const table = {};
    for (const f of ["screenX", "screenY", "clientX", "clientY", "pageX", "pageY", "offsetX", "offsetY", "movementX", "movementY", "button", "buttons"])
        table[f] = (s) => s.extra[f] || 0;
    for (const f of ["ctrlKey", "shiftKey", "altKey", "metaKey"]) table[f] = (s) => !!s.extra[f];
    getters(MouseEvent.prototype, table);
}
export const KeyboardEvent = eventKind("KeyboardEvent", { key: "", code: "", keyCode: 0, which: 0, ctrlKey: false, shiftKey: false, altKey: false, metaKey: false, repeat: false });
export const ErrorEvent = eventKind("ErrorEvent", { message: "", filename: "", lineno: 0, colno: 0, error: null });

// An event made by the environment itself (load, readystatechange, ...).
export function makeEvent(type, ctor, init) {
    const e = Object.create((ctor || Event).prototype);
    initEvent(e, type, init);
    return e;
}

// MessageChannel: two ports; a message posted on one arrives at the other's onmessage
// (or its "message" listeners) on a later turn, as the browser delivers it.
export const MessagePort = defineInterface("MessagePort", EventTarget);
export const MessageChannel = defineInterface("MessageChannel", null, function () {
    const a = create(MessagePort, { other: null, onmessage: null });
    const b = create(MessagePort, { other: a, onmessage: null });
    slot(a).other = b;
    setSlot(this, { port1: a, port2: b });
});
getters(MessageChannel.prototype, { port1: (s) => s.port1, port2: (s) => s.port2 });
let deliver = (f) => Promise.resolve().then(f);
export function setMessageScheduler(schedule) {
    deliver = schedule;
}
methods(MessagePort.prototype, {
    postMessage(data) {
        const other = slot(this).other;
        deliver(() => dispatch(other, makeEvent("message", MessageEvent, { data })));
    },
    start() {},
    close() {},
});
accessor(MessagePort.prototype, "onmessage", function () {
    return slot(this).onmessage;
}, function (f) {
    slot(this).onmessage = typeof f === "function" ? f : null;
});
