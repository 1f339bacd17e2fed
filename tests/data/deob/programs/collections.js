// Map, Set, WeakMap, destructuring and spreading.
const m = new Map([["a", 1], ["b", 2]]);
m.set("c", 3).delete("a");
log([...m].map(([k, v]) => k + v).join(";"));
const s = new Set("mississippi");
log([...s].join("") + " " + s.size);
const { x, y: [first, ...rest], ...others } = { x: 1, y: [2, 3, 4], z: 5, w: 6 };
log(x + first + rest.length + Object.keys(others).join(""));
const merged = { ...{ a: 1, b: 2 }, ...{ b: 3 } };
log(JSON.stringify(merged));
const wm = new WeakMap(); const key = {}; wm.set(key, "secret");
log(wm.get(key) + wm.has({}));
log(Object.entries({ p: 1, q: 2 }).flat().join("-"));
