// An encoder in the style of aaencode: the whole script becomes kaomoji-named variables
// and emoticon arithmetic. Written for our fixtures from the published idea: numbers come
// from emoticon arithmetic, letters from what true, false, undefined and an object read
// as text, Function from a number's constructor's constructor, and the script itself from
// octal (or \u) escapes that an inner Function turns back into text.
"use strict";

// Digits 0..15 as emoticon expressions (ﾟΘﾟ = 1, o = 3, ﾟｰﾟ = 4, c = 0).
const DIGIT = [
    "(c^_^o)", "(ﾟΘﾟ)", "((o^_^o)-(ﾟΘﾟ))", "(o^_^o)", "(ﾟｰﾟ)", "((ﾟｰﾟ)+(ﾟΘﾟ))", "((o^_^o)+(o^_^o))",
    "((ﾟｰﾟ)+(o^_^o))", "((ﾟｰﾟ)+(ﾟｰﾟ))", "((ﾟｰﾟ)+(ﾟｰﾟ)+(ﾟΘﾟ))",
    "(ﾟДﾟ).ﾟaﾟ", "(ﾟДﾟ).ﾟbﾟ", "(ﾟДﾟ).ﾟcﾟ", "(ﾟДﾟ).ﾟdﾟ", "(ﾟДﾟ).ﾟeﾟ", "(ﾟДﾟ).ﾟfﾟ",
];

// Letters by position in "undefined_", "false_", "true_" and "[object Object]_".
const U = "(ﾟωﾟﾉ+'_')", F = "((ﾟｰﾟ==3)+'_')", T = "((o==3)+'_')", O = "((ﾟДﾟ)+'_')";
const letter = (src, i) => `${src}[${DIGIT[i]}]`;

function preamble() {
    return [
        "ﾟωﾟﾉ=/｀ｍ´）ﾉ ~┻━┻ /['_'];",          // undefined: a regular expression has no "_"
        "o=_=3; (ﾟｰﾟ)=o+(o/o); c=(ﾟΘﾟ)=(ﾟｰﾟ)-(ﾟｰﾟ); (ﾟΘﾟ)=(o^_^o)/(o^_^o);",
        "(ﾟДﾟ)={ﾟΘﾟ:'_'};",
        // the hexadecimal letters a..f, kept on the object
        `(ﾟДﾟ).ﾟaﾟ=${letter(F, 1)}; (ﾟДﾟ).ﾟbﾟ=${letter(O, 2)}; (ﾟДﾟ).ﾟcﾟ=${letter(O, 5)};`,
        `(ﾟДﾟ).ﾟdﾟ=${letter(U, 2)}; (ﾟДﾟ).ﾟeﾟ=${letter(T, 3)}; (ﾟДﾟ).ﾟfﾟ=${letter(F, 0)};`,
        // "constructor" and "return"
        "(ﾟoﾟ)=" + [[O, 5], [O, 1], [U, 1], [F, 3], [T, 0], [T, 1], [U, 0], [O, 5], [T, 0], [O, 1], [T, 1]]
            .map(([s, i]) => letter(s, i)).join("+") + ";",
        "(ﾟεﾟ)=" + [[T, 1], [T, 3], [T, 0], [U, 0], [T, 1], [U, 1]].map(([s, i]) => letter(s, i)).join("+") + ";",
        "(ﾟДﾟ)['_']=(o^_^o)[ﾟoﾟ][ﾟoﾟ];",          // Function
        "(oﾟｰﾟo)=" + letter(U, 0) + ";",           // "u" for \u escapes
    ].join("\n");
}

function escapeChar(ch) {
    const n = ch.charCodeAt(0);
    if (n < 128) return "'\\\\'+" + n.toString(8).split("").map((d) => DIGIT[+d]).join("+");
    return "'\\\\'+(oﾟｰﾟo)+" + n.toString(16).padStart(4, "0").split("").map((d) => DIGIT[parseInt(d, 16)]).join("+");
}

function encode(code) {
    const body = Array.from(code).map((ch) => ch.length > 1 ? escapeChar(ch[0]) + "+" + escapeChar(ch[1]) : escapeChar(ch));
    return preamble() + "\n(ﾟДﾟ)['_']((ﾟДﾟ)['_']((ﾟεﾟ)+'\"'+" + body.join("+") + "+'\"')(ﾟΘﾟ))('_');\n";
}

module.exports = { encode };
