// Generators, iterators, async functions (only their synchronous part is observed)
function* range(from, to, step = 1) {
    for (let i = from; i < to; i += step) yield i
}
function* flatten(arr) {
    for (const x of arr) {
        if (Array.isArray(x)) yield* flatten(x)
        else yield x
    }
}
function* talker() {
    const got = []
    let v = yield "first"
    while (v !== undefined) { got.push(v); v = yield got.length }
    return got.join("+")
}
const t = talker(), steps = [t.next().value, t.next("a").value, t.next("b").value, t.next().value]
const fib = { *[Symbol.iterator]() { let [a, b] = [0, 1]; for (;;) { yield a; [a, b] = [b, a + b] } } }
const firstFib = []
for (const f of fib) { if (f > 50) break; firstFib.push(f) }
let order = []
async function job(x) { order.push("start " + x); await null; order.push("end " + x); return x * 2 }
const asyncArrow = async (y) => { order.push("arrow " + y); return y }
const p = job(1); asyncArrow(2)
order.push("sync done")
const isPromise = p instanceof Promise
const gObj = { * g() { yield 'o' }, async * ag() { yield 1 }, async m() { return 1 } }
const ranged = [...range(0, 10, 3)]

function __result() {
    return [ranged.join(","), [...flatten([1, [2, [3, [4]]], 5])].join(""), steps.join("/"), firstFib.join(" "),
        order.slice(0, 3).join(";"), isPromise, [...gObj.g()][0], typeof gObj.ag, typeof gObj.m].join("|")
}
