/* leading block comment */ // and a line comment
// a line comment with "quotes" and 'apostrophes' and /slashes/ and `ticks`
var /* between */ a /* more */ = /* even here */ 1; // trailing
var s = "// not a comment", t = '/* not a comment */', u = `/* nor */ // this`;
function /* name */ f(/* no params */) /* before body */ {
    // first line of body
    return /* value */ a + /* plus */ 1 // end
    /* after return statement */
}
var o = { // after brace
    x: 1, // after x
    /* before y */ y: 2,
    z: /* value */ 3 /* after value */
};
if (a) { // same line as if
    a++; /* trailing block */
} // after if
else { a-- }
var arr = [1, /* two */ 2, 3 // three
];
/**
 * A doc comment
 *   with indentation that must stay
 */
function doc() { return "doc" }
var x = a /* division follows */ / 2 /* and more */ / 1;
var longComment = 1; /* spans
two lines */ var after = 2;
var empty = function () { /* only a comment */ };
var emptyLine = function () {
    // only a line comment
};
/* a comment before the end */

function __result() {
    return [a, s, t, u, f(), o.x + o.y + o.z, arr.length, doc(), x, longComment + after, typeof empty(),
        typeof emptyLine()].join(",");
}
// trailing comment at the very end
