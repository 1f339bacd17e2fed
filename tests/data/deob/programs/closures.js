// Closures: counters, memoisation, partial application.
function makeCounter(start, step) {
    var value = start;
    return { next: function () { value += step; return value; }, reset: function () { value = start; return "reset"; } };
}
function memo(fn) {
    var cache = {};
    return function (n) { if (!(n in cache)) cache[n] = fn(n); return cache[n]; };
}
var fib = memo(function (n) { return n < 2 ? n : fib(n - 1) + fib(n - 2); });
var c = makeCounter(10, 3);
log(c.next() + "," + c.next() + "," + c.reset() + "," + c.next());
log(fib(40));
function partial(f) { var bound = [].slice.call(arguments, 1); return function () { return f.apply(null, bound.concat([].slice.call(arguments))); }; }
var add3 = partial(function (a, b, c) { return a + b * c; }, 7);
log(add3(2, 5));
var fns = [];
for (let i = 0; i < 4; i++) fns.push(() => i * i);
log(fns.map((f) => f()).join(" "));
