// localStorage and sessionStorage: string keys and values in insertion order, named
// properties (storage.key = 1 stores "1"), a quota, and one area per origin.
import { defineInterface, getters, methods, setSlot, slot } from "./native.js";
import { domError } from "./text.js";

const quota = 5 * 1024 * 1024; // characters, as the browser counts them

export const Storage = defineInterface("Storage", null);

function area(storage) {
    return slot(storage).items;
}

function store(items, key, value) {
    let used = 0;
    for (const [k, v] of items) if (k !== key) used += k.length + v.length;
    if (used + key.length + value.length > quota)
        throw domError("Failed to execute 'setItem' on 'Storage': Setting the value of '" + key + "' exceeded the quota.", "QuotaExceededError");
    items.set(key, value);
}

methods(Storage.prototype, {
    getItem(key) {
        if (arguments.length < 1) throw new TypeError("Failed to execute 'getItem' on 'Storage': 1 argument required, but only 0 present.");
        const items = area(this);
        key = String(key);
        return items.has(key) ? items.get(key) : null;
    },
    setItem(key, value) {
        if (arguments.length < 2) throw new TypeError("Failed to execute 'setItem' on 'Storage': 2 arguments required, but only " + arguments.length + " present.");
        store(area(this), String(key), String(value));
    },
    removeItem(key) {
        if (arguments.length < 1) throw new TypeError("Failed to execute 'removeItem' on 'Storage': 1 argument required, but only 0 present.");
        area(this).delete(String(key));
    },
    clear() {
        area(this).clear();
    },
    key(index) {
        if (arguments.length < 1) throw new TypeError("Failed to execute 'key' on 'Storage': 1 argument required, but only 0 present.");
        const keys = Array.from(area(this).keys());
        const i = Number(index) >>> 0;
        return i < keys.length ? keys[i] : null;
    },
});
getters(Storage.prototype, { length: (s) => s.items.size });

const proto = Storage.prototype;

// A Storage object whose own properties are its items.
export function makeStorage(items) {
    const target = setSlot(Object.create(proto), { items });
    const storage = new Proxy(target, {
        get(t, key, receiver) {
            if (typeof key === "string" && !(key in proto) && items.has(key)) return items.get(key);
            return Reflect.get(t, key, receiver === storage ? t : receiver);
        },
        set(t, key, value) {
            if (typeof key !== "string" || key in proto) return Reflect.set(t, key, value);
            store(items, key, String(value));
            return true;
        },
        has(t, key) {
            return (typeof key === "string" && items.has(key)) || Reflect.has(t, key);
        },
        deleteProperty(t, key) {
            if (typeof key === "string" && items.has(key)) {
                items.delete(key);
                return true;
            }
            return Reflect.deleteProperty(t, key);
        },
        ownKeys(t) {
            return Array.from(items.keys()).concat(Reflect.ownKeys(t));
        },
        getOwnPropertyDescriptor(t, key) {
            if (typeof key === "string" && items.has(key))
                return { value: items.get(key), writable: true, enumerable: true, configurable: true };
            return Reflect.getOwnPropertyDescriptor(t, key);
        },
        defineProperty(t, key, d) {
            if (typeof key === "string" && "value" in d) {
                store(items, key, String(d.value));
                return true;
            }
            return Reflect.defineProperty(t, key, d);
        },
    });
    setSlot(storage, { items });
    return storage;
}

// One area per origin for each kind, kept for the whole run.
const areas = { local: new Map(), session: new Map() };

export function storageFor(kind, origin) {
    const table = areas[kind];
    if (!table.has(origin)) table.set(origin, new Map());
    return makeStorage(table.get(origin));
}
