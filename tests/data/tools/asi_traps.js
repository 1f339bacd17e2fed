// Code without semicolons, where line breaks decide the meaning
var out = []
function retNothing() {
    return
    42
}
function retValue() {
    return (
        42
    )
}
var a = 1
var b = 2
a
++b
out.push(a, b)
var c = a
-b
out.push(c)
let d = [1, 2, 3]
;[4, 5].forEach(v => out.push(v))
;(function () { out.push("iife") })()
;`tpl`.length
let e = d
[0]
out.push(e)
let f = 10
let g = f
/2/1
out.push(g)
var i = 0
do i++
while (i < 3)
out.push(i)
var k = 5
k
--
k
out.push(k)
function* gen() {
    yield
    1
    yield 2
}
out.push([...gen()].length)
outer: for (var x = 0; x < 3; x++) {
    for (var y = 0; y < 3; y++) {
        if (y == 1) continue outer
        if (x == 2) break
        out.push("" + x + y)
    }
}
var obj = {
    get
    value() { return "getter" }
}
out.push(obj.value)
var h = function () { return 7 }
(function () { return 8 })
out.push(h)
var arrow = () =>
    "arrow body"
out.push(arrow())
var l = 1, m = l++
+1
out.push(l, m)
throw_: {
    break throw_
}
out.push(retNothing(), retValue())

function __result() {
    return out.join(",")
}
