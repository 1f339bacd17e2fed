// Regular expressions in every position where a slash can start one
var text = "a/b/c 12 / 3 = 4; path=/usr/local/bin // not a comment"
var parts = text.split(/\//), n = 12 / 3 / 2
var cls = /[/\]]+/g.exec("x/]/y")[0]
var hasSlash = /\//.test(text) && !/^\s*$/.test(text)
function kind(s) {
    if (/^\d+$/.test(s)) return "digits"
    else if (/^[a-z]+$/i.test(s)) return "letters"
    return typeof /x/ === "object" ? "other" : "?"
}
function firstWord(s) { return s.match(/\w+/)[0] }
var arr = [/a/, /b/g, /[/]/], flags = arr.map(function (r) { return r.flags }).join(",")
var re2 = text.replace(/(\d+) \/ (\d+)/, "$2 of $1")
var ternary = n > 1 ? /big/.source : /small/.source
var inParens = (/z/).test("z"), afterComma = [1, /q/.source], afterNot = !/y/.test("x")
var div = (n) / 2 / 1, div2 = arr.length / 3
var x = 4, y = 2, g = 1
var divs = x / y / g
var unicode = /\u{1F600}/u.test("😀"), sticky = /b/y
sticky.lastIndex = 1
var stickyHit = sticky.test("ab")
var named = "2024-05-06".replace(/(?<y>\d+)-(?<m>\d+)-(?<d>\d+)/, "$<d>.$<m>.$<y>")
var lookbehind = "price: $42".match(/(?<=\$)\d+/)[0]
if (x) /never/.test("never") ; else void 0
var escapes = /\/\*not a comment\*\//.source + /'"`/.source
var inTemplate = `${/t+/.exec("attt")[0]}`
var afterReturn = (function () { return /r/.test("r") })()
var afterTypeof = typeof /t/
var afterIn = "source" in /t/
var afterArrow = ((s) => /^a/.test(s))("abc")
var afterBrace = (function () { { } /x/.test("x"); return 1 })()

function __result() {
    return [parts.length, n, cls, hasSlash, kind("123"), kind("abc"), kind("-"), firstWord("  hi there"),
        flags, re2, ternary, inParens, afterComma.join(""), afterNot, div, div2, divs, unicode, stickyHit,
        named, lookbehind, escapes, inTemplate, afterReturn, afterTypeof, afterIn, afterArrow, afterBrace].join("|")
}
