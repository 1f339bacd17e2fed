// Template literals: nesting, tags, raw strings, line breaks inside
const who = "world", n = 3
const simple = `hello ${who}`
const nested = `outer ${`inner ${`deepest ${n * 2}`} ${"}" + '{'}`} end`
const withObject = `${ { a: 1, b: { c: "}" } }.b.c }`
const withFunc = `${(function () { return `f${[1, 2].map(x => `<${x}>`).join("")}` })()}`
const multi = `line one
    line two indented
        line three
  ${who}
`
function tag(strings, ...values) {
    return strings.raw.map((s, i) => s + (i < values.length ? "[" + values[i] + "]" : "")).join("")
}
const tagged = tag`a${1}b${"two"}c\n`
const raw = String.raw`C:\new\table ${who}`
const withComment = `${/* not } a brace */ n + 1}${// line comment }
n}`
const escaped = `\` \${not} \\${n}`
const spacey = `    four spaces
        eight spaces
	tab`
const crlfValue = `a
b`.length

function __result() {
    return JSON.stringify([simple, nested, withObject, withFunc, multi, tagged, raw, withComment, escaped, spacey,
        crlfValue])
}
