// Unpacker for the "eval解密" button.  Its definitions also go into the main engine
// beside the user's script (the packer's decoders run only in the sandbox, where
// vexojs-cli unpack and the deobfuscator call it), so it defines only these globals: P_A_C_K_E_R,
// EscapedBookmarklet, JavascriptObfuscator, trim_leading_comments,
// unpacker_filter (and unpacked_source, set while unpacking packed code).
//
// unpacker_filter(source) peels layers off one after another: code packed as
// eval(function(p,a,c,k,e,r|d){...}(...)), scripts written in %-escapes, and
// scripts that keep their strings in a leading "var _0x...=[...];" array.

import { Lexer, Tokens, EOF, PUNCT, STR, stringValue } from "./lex.js";

export var P_A_C_K_E_R = {
    detect: function (str) {
        // The start is enough; a payload of many megabytes is not copied three times.
        var s = String(str).slice(0, 1024).toLowerCase().split(" ").join("");
        return s.indexOf("eval(function(") === 0 || s.indexOf("eval((function(") === 0;
    },

    // Runs the packer's own decoder (never the decoded payload) and returns
    // what it produced, or the text unchanged when that fails.
    unpack: function (str) {
        if (!P_A_C_K_E_R.detect(str)) return str;
        var call = str, rest = "";
        var end = P_A_C_K_E_R._call_end(str);
        if (end > 0) {
            // Only the eval(...) call is decoded; whatever follows it is kept.
            call = str.slice(0, end);
            rest = str.slice(end).replace(/^[\s;]+/, "");
        }
        var result = P_A_C_K_E_R._decode(call);
        if (result === null && rest !== "") {
            rest = "";
            result = P_A_C_K_E_R._decode(str);
        }
        if (result === null) return str;
        return rest === "" ? result : result + "\n" + rest;
    },

    _decode: function (str) {
        try {
            // Indirect eval runs as global code: the decoder sees none of this module.
            globalThis.unpacked_source = undefined;
            (0, eval)("unpacked_source = " + str.slice(4) + ";");
            var result = globalThis.unpacked_source;
            if (typeof result === "string" && result !== "") return result;
        } catch (e) {
            // not decodable: leave the text alone
        }
        return null;
    },

    // End of the eval(...) call at the start of str (index after its closing
    // parenthesis), or -1 when it cannot be found with certainty.
    _call_end: function (str) {
        var tokens = new Tokens(str, unsure), lx = tokens.lexer, depth = 0;
        try {
            for (;;) {
                var type = tokens.next();
                if (type === EOF) return -1;
                if (type !== PUNCT) continue;
                var c = str.charCodeAt(lx.start);
                if (c === 40 || c === 91 || c === 123) {
                    depth++;
                } else if (c === 41 || c === 93 || c === 125) {
                    depth--;
                    if (depth === 0) return c === 41 ? lx.pos : -1;
                    if (depth < 0) return -1;
                } else if (c === 47 && tokens.reOk) {
                    return -1; // a regular expression without its end
                }
            }
        } catch (e) {
            if (e === unsure) return -1;
            throw e;
        }
    }
};

// Thrown (as itself) by the lexer's callback on a literal or comment without its end.
function unsure() {
    throw unsure;
}

export var EscapedBookmarklet = {
    detect: function (str) {
        str = String(str);
        return str.indexOf("%20") !== -1 && str.indexOf(" ") === -1;
    },

    unpack: function (str) {
        if (EscapedBookmarklet.detect(str)) return unescape(str);
        return str;
    }
};

export var JavascriptObfuscator = {
    detect: function (str) {
        return /^var _0x[a-f0-9]+ ?= ?\[/.test(str);
    },

    // Moves the strings of the leading array back to where they are used.
    unpack: function (str) {
        if (!JavascriptObfuscator.detect(str)) return str;
        var m = /var (_0x[a-f0-9]+) ?= ?\[(.*?)\];/.exec(str);
        if (m === null || m.index !== 0) return str;
        var name = m[1], items = JavascriptObfuscator._smart_split(m[2]);
        // The array must consist of double-quoted strings only; otherwise
        // cutting it out would lose data.
        var left = m[2];
        for (var i = 0; i < items.length; i++) left = left.replace(items[i], "");
        if (!/^[\s,]*$/.test(left)) return str;
        var values = [];
        for (i = 0; i < items.length; i++) {
            var v = JavascriptObfuscator._string_value(items[i]);
            if (v === null) return str;
            values.push(JavascriptObfuscator._quote(v));
        }
        if (values.length === 0) return str;
        var body = str.substring(m[0].length);
        var ref = new RegExp("(^|[^\\w$.\\u0080-\\uffff])" + name + "\\[(\\d+)\\]", "g");
        var result = body.replace(ref, function (all, before, index) {
            var k = Number(index);
            return k < values.length && String(k) === index ? before + values[k] : all;
        });
        // Any other use of the array (push, a computed index...) would be left without
        // its declaration: then it was no string table, and the text stays as it is.
        var stray = new RegExp("(^|[^\\w$.\\u0080-\\uffff])" + name + "(?![\\w$\\u0080-\\uffff])");
        return stray.test(result) ? str : result;
    },

    // Splits the array text into its double-quoted elements, quotes kept.
    _smart_split: function (str) {
        var strings = [], lx = new Lexer(String(str));
        for (var type; (type = lx.scan(false)) !== EOF;) {
            if (type === STR && str.charCodeAt(lx.start) === 34) strings.push(lx.text());
        }
        return strings;
    },

    // The value of a double-quoted literal "..." (null when it is not one).
    _string_value: function (lit) {
        if (lit.length < 2 || lit.charAt(0) !== '"' || lit.charAt(lit.length - 1) !== '"') return null;
        return stringValue(lit);
    },

    // A single-quoted literal whose value is v.  Printable characters
    // (Chinese included) stay as they are.
    _quote: function (v) {
        var out = ["'"];
        for (var i = 0; i < v.length; i++) {
            var c = v.charAt(i), code = v.charCodeAt(i);
            if (c === "\\") out.push("\\\\");
            else if (c === "'") out.push("\\'");
            else if (c === "\n") out.push("\\n");
            else if (c === "\r") out.push("\\r");
            else if (c === "\t") out.push("\\t");
            else if (c === "\b") out.push("\\b");
            else if (c === "\f") out.push("\\f");
            else if (c === "\v") out.push("\\v");
            else if (code < 32 || (code >= 0x7f && code <= 0x9f)) {
                out.push("\\x" + (code < 16 ? "0" : "") + code.toString(16));
            } else if (code === 0x2028 || code === 0x2029) {
                out.push("\\u" + code.toString(16));
            } else if (code >= 0xd800 && code <= 0xdbff && i + 1 < v.length &&
                v.charCodeAt(i + 1) >= 0xdc00 && v.charCodeAt(i + 1) <= 0xdfff) {
                out.push(c + v.charAt(i + 1));
                i++;
            } else if (code >= 0xd800 && code <= 0xdfff) {
                out.push("\\u" + code.toString(16)); // lone surrogate
            } else {
                out.push(c);
            }
        }
        out.push("'");
        return out.join("");
    }
};

export function trim_leading_comments(str) {
    // Drops a run of leading "//" comment lines, then leading white space.
    return String(str).replace(/^(\s*\/\/[^\n]*\n)+/, "").replace(/^\s+/, "");
}

export function unpacker_filter(source) {
    source = source === undefined || source === null ? "" : String(source);
    // One layer at a time. A text that keeps producing new layers (a decoder that never
    // finishes, or one that doubles its payload each time) ends with the reason instead
    // of running until memory is gone.
    for (var layers = 0; ; layers++) {
        var next = unpacker_filter.peel(source);
        if (next === null) return source;
        if (layers === unpacker_filter.MAX_LAYERS)
            throw new Error("加壳超过 " + unpacker_filter.MAX_LAYERS + " 层，已停止解密");
        if (unpacker_filter.utf8Exceeds(next, unpacker_filter.MAX_BYTES))
            throw new Error("第 " + (layers + 1) + " 层解出的代码超过 " +
                unpacker_filter.MAX_BYTES / 1048576 + " MiB，已停止解密");
        source = next;
    }
}

unpacker_filter.MAX_LAYERS = 200;
// The same cap as for a script read from a file or a download.
unpacker_filter.MAX_BYTES = 64 * 1048576;

// The text under one layer, or null when no unpacker recognises the text.
unpacker_filter.peel = function (source) {
    var stripped = trim_leading_comments(source), unpacked;
    if (P_A_C_K_E_R.detect(stripped)) {
        unpacked = P_A_C_K_E_R.unpack(stripped);
        if (unpacked !== stripped) return unpacked;
    }
    if (EscapedBookmarklet.detect(source)) {
        unpacked = EscapedBookmarklet.unpack(source);
        if (unpacked !== source) return unpacked;
    }
    if (JavascriptObfuscator.detect(stripped)) {
        unpacked = JavascriptObfuscator.unpack(stripped);
        if (unpacked !== stripped) return unpacked;
    }
    return null;
};

// Whether the UTF-8 form of s is longer than limit bytes (counted only when the length
// alone does not tell).
unpacker_filter.utf8Exceeds = function (s, limit) {
    if (s.length > limit) return true;
    if (s.length * 3 <= limit || !/[^\0-\x7f]/.test(s)) return false; // ASCII: a byte each
    var bytes = 0;
    for (var i = 0; i < s.length; i++) {
        var c = s.charCodeAt(i);
        bytes += c < 0x80 ? 1 : c < 0x800 ? 2 : 3; // a surrogate pair: 3 + 3 >= 4
        if (bytes > limit) return true;
    }
    return false;
};
