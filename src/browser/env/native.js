// What makes the environment's functions and objects look built in: every function it
// defines reports native code through Function.prototype.toString (that function too),
// interfaces have their prototypes, members are accessors and methods on the prototype
// (enumerable, as the browser's bindings make them), and instance state lives in a side
// table rather than in own properties a script could list.

const apply = Reflect.apply;
const defineProperty = Object.defineProperty;
const originalToString = Function.prototype.toString;
const nativeNames = new WeakMap();
const engineNative = /^function ([^(]*)\(\) \{\s*\[native code\]\s*\}$/;

// Marks fn as native under the given name (its own name by default).
export function native(fn, name) {
    nativeNames.set(fn, name === undefined ? fn.name : name);
    return fn;
}

export function isNative(fn) {
    return nativeNames.has(fn);
}

// Chrome's text for a built-in: on one line, `function name() { [native code] }`. The
// engine's own built-ins are written over several lines; they get the same form.
function installToString() {
    const replacement = {
        toString() {
            const name = nativeNames.get(this);
            if (name !== undefined)
                return "function " + name + "() { [native code] }";
            const text = apply(originalToString, this, []);
            const m = engineNative.exec(text);
            return m ? "function " + m[1] + "() { [native code] }" : text;
        },
    }.toString;
    native(replacement);
    defineProperty(Function.prototype, "toString", {
        value: replacement, writable: true, enumerable: false, configurable: true,
    });
}
installToString();

// Instance state, keyed by the object (and by any proxy standing for it).
const slots = new WeakMap();

export function setSlot(object, state) {
    slots.set(object, state);
    return object;
}

// The state behind `this`; a call on anything else is what the browser calls an illegal
// invocation (reading Navigator.prototype.userAgent directly throws it too).
export function slot(object) {
    const s = object !== null && (typeof object === "object" || typeof object === "function")
        ? slots.get(object) : undefined;
    if (s === undefined)
        throw new TypeError("Illegal invocation");
    return s;
}

export function hasSlot(object) {
    return slots.has(object);
}

function named(name, f) {
    defineProperty(f, "name", { value: name, configurable: true });
    return native(f, name);
}

// An interface object: name, parent interface (or null), and a constructor body. Without a
// body the interface cannot be constructed by scripts ("Illegal constructor").
export function defineInterface(name, parent, construct) {
    let ctor;
    if (construct) {
        ctor = function () {
            if (new.target === undefined)
                throw new TypeError("Failed to construct '" + name +
                    "': Please use the 'new' operator, this DOM object constructor cannot be called as a function.");
            return apply(construct, this, arguments);
        };
        defineProperty(ctor, "length", { value: construct.length, configurable: true });
    } else {
        ctor = function () {
            throw new TypeError("Illegal constructor");
        };
        defineProperty(ctor, "length", { value: 0, configurable: true });
    }
    named(name, ctor);
    const proto = ctor.prototype;
    if (parent) {
        Object.setPrototypeOf(ctor, parent);
        Object.setPrototypeOf(proto, parent.prototype);
    }
    defineProperty(proto, Symbol.toStringTag, { value: name, configurable: true });
    return ctor;
}

// Accessors on a prototype, as the browser's bindings define attributes.
export function accessor(proto, name, get, set) {
    defineProperty(proto, name, {
        get: get ? named("get " + name, get) : undefined,
        set: set ? named("set " + name, set) : undefined,
        enumerable: true,
        configurable: true,
    });
}

// Read-only attributes: name -> function(state) giving the value.
export function getters(proto, table) {
    for (const name of Object.keys(table)) {
        const read = table[name];
        accessor(proto, name, function () {
            return read.call(this, slot(this), this);
        });
    }
}

// Operations on a prototype: name -> function; the function's own length is kept.
export function methods(proto, table) {
    for (const name of Object.keys(table)) {
        const f = table[name];
        defineProperty(proto, name, {
            value: named(name, f), writable: true, enumerable: true, configurable: true,
        });
    }
}

// Constants (Node.ELEMENT_NODE, XMLHttpRequest.DONE, ...) on the interface and prototype.
export function constants(ctor, table) {
    for (const name of Object.keys(table)) {
        const d = { value: table[name], writable: false, enumerable: true, configurable: false };
        defineProperty(ctor, name, d);
        defineProperty(ctor.prototype, name, d);
    }
}

// An object of the interface, with its state.
export function create(ctor, state) {
    return setSlot(Object.create(ctor.prototype), state);
}

// A plain function that looks built in (globals such as atob, fetch).
export function fn(name, f) {
    return named(name, f);
}

// Defines a global the way the browser does: writable, configurable, not enumerable for
// interfaces, enumerable for other members of window.
export function defineGlobal(global, name, value, enumerable) {
    defineProperty(global, name, {
        value, writable: true, enumerable: !!enumerable, configurable: true,
    });
}

export function globalAccessor(global, name, get, set) {
    defineProperty(global, name, {
        get: named("get " + name, get),
        set: set ? named("set " + name, set) : undefined,
        enumerable: true,
        configurable: true,
    });
}
