// An encoder in the style of jjencode: the script becomes `$`-named properties and
// symbols only. Written for our fixtures from the published idea: `$=~[]` starts a
// counter at -1, an object literal of ++$ gives the digits, letters come from
// false/true/undefined/[object Object] read as text, Function is a number's
// constructor's constructor, and the script is spelled in octal escapes that an inner
// Function turns back into text.
"use strict";

// Property names for the digits 0..15: four characters, "_" for 0 and "$" for 1.
const key = (n) => n.toString(2).padStart(4, "0").replace(/0/g, "_").replace(/1/g, "$");

function encode(code, g) {
    g = g || "$";
    const d = (n) => `${g}.${key(n)}`;
    const parts = [];
    parts.push(`${g}=~[];`);
    parts.push(`${g}={${Array.from({ length: 16 }, (_, i) => `${key(i)}:++${g}`).join(",")}};`);
    parts.push(`${g}.$_f=(![]+"");${g}.$_t=(!""+"");${g}.$_u=(${g}[${g}]+"");${g}.$_o=(${g}+"");`);
    const L = (src, i) => `${g}.$_${src}[${d(i)}]`;
    const word = (letters) => letters.map(([s, i]) => L(s, i)).join("+");
    parts.push(`${g}.$$=${word([["o", 5], ["o", 1], ["u", 1], ["f", 3], ["t", 0], ["t", 1], ["u", 0], ["o", 5], ["t", 0], ["o", 1], ["t", 1]])};`);
    parts.push(`${g}.$_=${word([["t", 1], ["t", 3], ["t", 0], ["u", 0], ["t", 1], ["u", 1]])};`);
    parts.push(`${g}.$=(${d(0)})[${g}.$$][${g}.$$];`);
    parts.push(`${g}._$=${L("u", 0)};`);
    const hexLetters = { a: ["f", 1], b: ["o", 2], c: ["o", 5], d: ["u", 2], e: ["t", 3], f: ["f", 0] };
    const hex = (c) => /\d/.test(c) ? d(+c) : L(...hexLetters[c]);
    const esc = (n) => n < 128
        ? `"\\\\"+` + n.toString(8).split("").map((c) => d(+c)).join("+")
        : `"\\\\"+${g}._$+` + n.toString(16).padStart(4, "0").split("").map(hex).join("+");
    const body = [];
    for (let i = 0; i < code.length; ++i) body.push(esc(code.charCodeAt(i)));
    parts.push(`${g}.$(${g}.$(${g}.$_+"\\""+${body.join("+")}+"\\"")())();`);
    return parts.join("") + "\n";
}

module.exports = { encode };
