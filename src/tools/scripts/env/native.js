// Functions the environment defines in JavaScript read as built-ins do: their source is
// "function name() { [native code] }" through Function.prototype.toString, which itself
// reads so. Pages print their own functions' source to tell a stub from the real thing.

const names = new WeakMap();
const realToString = Function.prototype.toString;
const apply = Reflect.apply;

// Method syntax gives functions without a prototype property, as built-in functions are.
const replacement = {
    toString() {
        const name = typeof this === "function" ? names.get(this) : undefined;
        if (name !== undefined) return "function " + name + "() { [native code] }";
        return apply(realToString, this, []);
    },
}.toString;

// Marks fn as built-in under its own name (or the one given); returns fn.
export function markNative(fn, name) {
    names.set(fn, name === undefined ? String(fn.name) : String(name));
    return fn;
}

// Defines a global (or a member) as the engine defines its own: writable, configurable,
// not enumerable, so it stays out of the function list.
export function define(target, key, value) {
    Object.defineProperty(target, key, { value, writable: true, enumerable: false, configurable: true });
    return value;
}

// A prototype-less function named `name` with `length` parameters, marked built-in.
export function method(name, length, body) {
    const fn = { [name](...args) { return apply(body, this, args); } }[name];
    Object.defineProperty(fn, "length", { value: length });
    return markNative(fn);
}

export function installNativeToString() {
    markNative(replacement, "toString");
    define(Function.prototype, "toString", replacement);
}
