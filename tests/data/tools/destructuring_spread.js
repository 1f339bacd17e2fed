// Destructuring, defaults, rest and spread, optional chaining, nullish, new number forms
const { a, b: { c = 5, ...restB } = {}, ...rest } = { a: 1, b: { d: 2, e: 3 }, f: 4, g: 5 }
const [first, , third = "t", ...others] = [10, 20, undefined, 40, 50]
function params({ x = 1, y } = {}, [p, q] = [7, 8], ...more) { return [x, y, p, q, more.length].join(":") }
const merged = { ...rest, ...{ h: 6 }, a }
const arr = [...others, ...'hi', ...new Set([1, 1, 2])]
const deep = { l1: { l2: null, fn() { return "called" } } }
const opt = [deep?.l1?.l2?.x, deep.l1?.fn?.(), deep.nope?.[0], deep?.["l1"]?.fn()]
const nullish = [null ?? "n", 0 ?? "z", "" || "e", (0 || null) ?? "mixed"]
let la = null, lb = 0, lc = 1
la ??= "set"; lb ||= "or"; lc &&= "and"
const nums = [1_000_000, 0xff, 0b1010, 0o17, 1e3, .5, 5., 2 ** 10, (-2) ** 2, 10n ** 3n,
    0xFFn, 1_0.0_1]
const big = (2n ** 64n).toString()
const swap = (() => { let m = 1, n = 2;[m, n] = [n, m]; return m * 10 + n })()
const ternaryChain = a > 0 ? a > 1 ? "big" : "one" : "neg"
const comma = (1, 2, 3)
const voided = void 0, neg = -(-a), not = !!a, bits = ~a >>> 0, shift = -16 >> 2, ushift = -16 >>> 28

function __result() {
    return JSON.stringify([a, c, restB, rest, first, third, others, params(undefined, undefined, 1, 2),
        params({ y: "Y" }, [3]), merged, arr, opt, nullish, la, lb, lc, nums.map(String), big, swap, ternaryChain,
        comma, voided, neg, not, bits, shift, ushift])
}
