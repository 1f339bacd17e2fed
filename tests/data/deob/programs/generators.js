// Generators: ranges, infinite sequences, delegation, spreading.
function* range(start, end, step) { for (let i = start; i < end; i += step) yield i; }
function* fibs() { let a = 0, b = 1; for (;;) { yield a; [a, b] = [b, a + b]; } }
function* take(n, it) { for (const v of it) { if (n-- <= 0) return; yield v; } }
function* concat() { yield* range(0, 3, 1); yield* ["a", "b"]; return "done"; }
log([...range(0, 20, 3)].join(","));
log([...take(12, fibs())].join(" "));
log(Array.from(concat()).join(""));
const it = concat();
let r, steps = 0;
while (!(r = it.next()).done) steps++;
log(steps + ":" + r.value);
