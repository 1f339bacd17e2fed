// Layers that work on the text: the three unpackers carried since the first release
// (run in the sandbox, since the packer's decoder is the script's own code), and the
// encodings that hide a whole script in one expression (JSFuck, aaencode, jjencode).
import { runInSandbox, captureStrings } from "../sandbox.js";
import { tryParse } from "../babel.js";

// Runs one of the carried unpackers on the text in the sandbox; null when it
// recognised nothing or changed nothing.
function carriedUnpack(unpackerSource, call, code) {
    const out = runInSandbox(unpackerSource + "\n;JSON.stringify((function (source) {\n" + call +
        "\n})(" + JSON.stringify(code) + "));");
    return out === "undefined" ? null : JSON.parse(out);
}

export function carriedLayers(unpackerSource) {
    return [
        {
            name: "eval(function(p,a,c,k,e,r)) 打包",
            detect: (code) => /eval\s*\(\s*\(?\s*function\s*\(/i.test(code.slice(0, 4096)),
            peel: (code) => carriedUnpack(unpackerSource,
                "var s = trim_leading_comments(source);\n" +
                "if (!P_A_C_K_E_R.detect(s)) return null;\n" +
                "var u = P_A_C_K_E_R.unpack(s); return u === s ? null : u;", code),
        },
        {
            name: "%转义",
            detect: (code) => code.indexOf("%20") >= 0 && code.indexOf(" ") < 0,
            peel: (code) => carriedUnpack(unpackerSource,
                "if (!EscapedBookmarklet.detect(source)) return null;\n" +
                "var u = EscapedBookmarklet.unpack(source); return u === source ? null : u;", code),
        },
        {
            name: "_0x字符串数组（行内）",
            detect: (code) => /^\s*var _0x[a-f\d]+ ?= ?\[/.test(code),
            peel: (code) => carriedUnpack(unpackerSource,
                "var s = trim_leading_comments(source);\n" +
                "if (!JavascriptObfuscator.detect(s)) return null;\n" +
                "var u = JavascriptObfuscator.unpack(s); return u === s ? null : u;", code),
        },
    ];
}

// The payload an encoded script hands to Function or eval: the last captured text that
// is a valid script.
function capturedPayload(code) {
    const captured = captureStrings(code);
    for (let i = captured.length - 1; i >= 0; --i) {
        if (captured[i].trim() !== "" && tryParse(captured[i])) return captured[i];
    }
    return null;
}

export const encodingLayers = [
    {
        name: "JSFuck",
        // Nothing but []()!+ (and spacing): the whole script is one such expression.
        detect: (code) => code.length > 100 && /^[\s[\]()!+;]+$/.test(code),
        peel: capturedPayload,
    },
    {
        name: "aaencode",
        detect: (code) => code.indexOf("ﾟωﾟﾉ") >= 0 && code.indexOf("ﾟДﾟ") >= 0,
        peel: capturedPayload,
    },
    {
        name: "jjencode",
        detect: (code) => /^\s*([\w$]+)\s*=\s*~\s*\[\s*\]\s*;\s*\1\s*=\s*\{/.test(code),
        peel: capturedPayload,
    },
];
