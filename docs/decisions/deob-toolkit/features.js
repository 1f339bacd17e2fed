// Snippets of modern syntax each candidate must parse and print back (reparsed after
// printing, compared by running both in this context).
var FEATURES = {
    "class fields, #private": "class A { x = 1; static y = 2; #p = 3; #m() { return this.#p; } has(o) { return #p in o; } get v() { return this.#m() + this.x; } } new A().v",
    "optional chaining ?.": "var o = {a: {b: () => 5}}; (o?.a?.b?.() ?? 0) + (o.z?.q ?? 1)",
    "logical assignment ??=": "var a = null, b = 0, c = 1; a ??= 4; b ||= 5; c &&= 6; a + b + c",
    "BigInt": "(2n ** 64n + 0x10n).toString()",
    "numeric separators": "1_000_000 + 0xf_f + 0b1_0 + 1_0.5e1_0",
    "regex flags d, s, v": "[/a.b/s.test('a\\nb'), /(x)/d.exec('yx').indices[1][0], /[\\p{L}--[a-z]]/v.test('A')].join()",
    "async generators": "async function* g() { yield 1; yield* [2, 3]; } (async () => { let s = 0; for await (const v of g()) s += v; return s; })(); 'ok'",
    "class static block": "class B { static #n = 1; static { B.k = B.#n + 1; } } B.k",
};
