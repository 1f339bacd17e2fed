// Comments after statements that end without a semicolon stay at the
// statement's level; this file is laid out exactly as the formatter lays it out.
var out = []
var a = 1
// after a plain statement
var b = 2
/* a block comment on its own line */
out.push(a + b)
function retNothing() {
    return
    // after a bare return
}
function retValue(x) {
    var y = x * 2
    // inside a block, after an assignment
    return y
    // after a return with a value
}
function pick(flag) {
    var r
    if (flag) r = "yes"
    // before else
    else r = "no"
    return r
}
function branches(n) {
    if (n > 0) {
        n = n - 1
        // last line of a block
    } else {
        n = n + 1
        // last line of an else block
    }
    return n
}
function cases(k) {
    var s = ""
    switch (k) {
        case 1:
            s = "one"
            // falls through
        case 2:
            s += "two"
            break
        default:
            s = "other"
            // end of the default case
    }
    return s
}
var c = a
    // a line that continues the expression keeps the deeper indent
    + b
class Counter {
    count = 0
    // between fields
    step = 2
}
var i = 0
do i++
// between do and while
while (i < 3)
out.push(retNothing(), retValue(4), pick(true), pick(false), branches(2), branches(-2))
out.push(cases(1), cases(2), cases(3), c, new Counter().step, i)
// at the end of the text

function __result() {
    return out.join(",")
}
// the very last line
