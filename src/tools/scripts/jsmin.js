// Minifier for the "压缩" button, after Douglas Crockford's JSMin rules.
//
// jsmin(comment, input, level) drops comments and needless white space.
// Strings, template literals (nested ${ } included) and regular expressions
// are copied exactly.  A space survives only where two tokens would merge
// without it; a line break survives where it may end a statement (JSMin's
// rule: after a letter, digit, quote, backquote, regular expression or one of
// } ] ) + - and before a letter, digit, quote or one of { [ ( + - ! ~, and
// always after return, break, continue, throw and yield).  Level 1 keeps every
// line break; levels 2 and 3 apply the rule above.
//
// The result is the comment (followed by "\n" when not empty) and the code.
// The code starts with "\n" when its first character is alphanumeric or one
// of { [ ( + -.  Errors are thrown as strings.

String.prototype.has = function (c) {
    return this.indexOf(c) > -1;
};

var ret = "";

function jsmin(comment, input, level) {
    "use strict";
    var code = jsmin.run(input === undefined || input === null ? "" : String(input),
        Number(level) === 1 ? 1 : 2);
    jsmin.oldSize = input === undefined || input === null ? 0 : String(input).length;
    jsmin.newSize = code.length;
    comment = comment === undefined || comment === null ? "" : String(comment);
    ret = comment === "" ? code : comment + "\n" + code;
    return ret;
}

jsmin.oldSize = 0;
jsmin.newSize = 0;

jsmin.run = (function () {
    "use strict";

    // 1: counts as alphanumeric (JSMin's rule: letters, digits, _ $ \ and
    // everything above 126)
    var ALNUM = new Uint8Array(128);
    (function () {
        var i;
        for (i = 48; i <= 57; i++) ALNUM[i] = 1;
        for (i = 65; i <= 90; i++) ALNUM[i] = 1;
        for (i = 97; i <= 122; i++) ALNUM[i] = 1;
        ALNUM[36] = ALNUM[95] = ALNUM[92] = 1;
    })();
    function alnum(c) {
        return c < 128 ? ALNUM[c] === 1 : !isWhite(c) && !isBreak(c);
    }
    function isWhite(c) {
        // every control character except the line feed reads as a space
        return (c < 32 && c !== 10) || c === 32 || c === 0xa0 || c === 0xfeff || c === 0x1680 ||
            (c >= 0x2000 && c <= 0x200a) || c === 0x202f || c === 0x205f || c === 0x3000;
    }
    function isBreak(c) {
        return c === 10 || c === 0x2028 || c === 0x2029;
    }
    function setOf(words) {
        var s = Object.create(null), list = words.split(" ");
        for (var i = 0; i < list.length; i++) s[list[i]] = true;
        return s;
    }
    // words after which a slash starts a regular expression
    var RE_AFTER = setOf("return typeof case do else in instanceof new delete void throw yield await of");
    // words after which a line break always ends the statement
    var RESTRICTED = setOf("return break continue throw yield");
    var BLOCK_AFTER = setOf("else do try finally");
    var CTRL = setOf("if while for with");

    var WORD = 1, NUM = 2, STR = 3, TPL = 4, RE = 5, PUNCT = 6;

    return function run(src, level) {
        if (src.indexOf("\r") !== -1) src = src.replace(/\r\n?/g, "\n");
        var len = src.length, pos = 0;
        var out = [];
        var pType = 0, pText = "", pDot = false;
        var parens = [], braces = [], lastParenCtrl = false, lastBraceBlock = false;

        function fail(msg) {
            throw msg;
        }
        function skipString(p, q) {
            p++;
            while (p < len) {
                var c = src.charCodeAt(p);
                if (c === q) return p + 1;
                if (c === 92) {
                    if (p + 1 >= len) break;
                    p += 2;
                    continue;
                }
                if (c === 10) fail("Error: unterminated string literal: \n");
                p++;
            }
            return fail("Error: unterminated string literal: ");
        }
        function skipTemplate(p) {
            p++;
            while (p < len) {
                var c = src.charCodeAt(p);
                if (c === 96) return p + 1;
                if (c === 92) { p += 2; continue; }
                if (c === 36 && src.charCodeAt(p + 1) === 123) { p = skipTemplateExpr(p + 2); continue; }
                p++;
            }
            return fail("Error: unterminated template literal");
        }
        function skipTemplateExpr(p) {
            var depth = 0, reOk = true;
            while (p < len) {
                var c = src.charCodeAt(p);
                if (c === 125) {
                    if (depth === 0) return p + 1;
                    depth--; p++; reOk = false;
                } else if (c === 123) {
                    depth++; p++; reOk = true;
                } else if (c === 96) {
                    p = skipTemplate(p); reOk = false;
                } else if (c === 39 || c === 34) {
                    p = skipString(p, c); reOk = false;
                } else if (c === 47) {
                    var d = src.charCodeAt(p + 1), e;
                    if (d === 47) {
                        while (p < len && src.charCodeAt(p) !== 10) p++;
                    } else if (d === 42) {
                        e = src.indexOf("*/", p + 2);
                        if (e < 0) fail("Error: Unterminated comment.");
                        p = e + 2;
                    } else if (reOk && (e = skipRegex(p)) > 0) {
                        p = e; reOk = false;
                    } else {
                        p++; reOk = true;
                    }
                } else if (c === 32 || c === 10 || c === 9) {
                    p++;
                } else if (alnum(c) || c === 35) {
                    var s = p;
                    p++;
                    while (p < len && alnum(src.charCodeAt(p))) p++;
                    reOk = RE_AFTER[src.slice(s, p)] === true;
                } else if ((c === 43 || c === 45) && src.charCodeAt(p + 1) === c) {
                    p += 2; reOk = false; // "x--" ends an operand: a slash after it divides
                } else {
                    p++;
                    reOk = !(c === 41 || c === 93);
                }
            }
            return fail("Error: unterminated template literal");
        }
        // End of the regular expression at p, or -1 when the line ends first.
        function skipRegex(p) {
            var inClass = false;
            p++;
            while (p < len) {
                var c = src.charCodeAt(p);
                if (c === 92) {
                    if (p + 1 >= len || isBreak(src.charCodeAt(p + 1))) return -1;
                    p += 2;
                    continue;
                }
                if (isBreak(c)) return -1;
                if (inClass) {
                    if (c === 93) inClass = false;
                } else if (c === 91) {
                    inClass = true;
                } else if (c === 47) {
                    p++;
                    while (p < len && alnum(src.charCodeAt(p))) p++;
                    return p;
                }
                p++;
            }
            return -1;
        }
        function punctLength(c) {
            var c1 = src.charCodeAt(pos + 1), c2 = src.charCodeAt(pos + 2);
            switch (c) {
                case 62:
                    if (c1 === 62) {
                        if (c2 === 62) return src.charCodeAt(pos + 3) === 61 ? 4 : 3;
                        return c2 === 61 ? 3 : 2;
                    }
                    return c1 === 61 ? 2 : 1;
                case 60:
                    if (c1 === 60) return c2 === 61 ? 3 : 2;
                    return c1 === 61 ? 2 : 1;
                case 61:
                    if (c1 === 61) return c2 === 61 ? 3 : 2;
                    return c1 === 62 ? 2 : 1;
                case 33:
                    if (c1 === 61) return c2 === 61 ? 3 : 2;
                    return 1;
                case 43: case 45:
                    return c1 === c || c1 === 61 ? 2 : 1;
                case 42:
                    if (c1 === 42) return c2 === 61 ? 3 : 2;
                    return c1 === 61 ? 2 : 1;
                case 38: case 124:
                    if (c1 === c) return c2 === 61 ? 3 : 2;
                    return c1 === 61 ? 2 : 1;
                case 63:
                    if (c1 === 63) return c2 === 61 ? 3 : 2;
                    if (c1 === 46 && !(c2 >= 48 && c2 <= 57)) return 2;
                    return 1;
                case 46:
                    return c1 === 46 && c2 === 46 ? 3 : 1;
                case 37: case 94: case 47:
                    return c1 === 61 ? 2 : 1;
                default:
                    return 1;
            }
        }
        function scanNumber() {
            var c = src.charCodeAt(pos), x = src.charCodeAt(pos + 1) | 32;
            if (c === 48 && (x === 120 || x === 111 || x === 98)) {
                pos += 2;
                while (pos < len && alnum(src.charCodeAt(pos))) pos++;
                return;
            }
            while (pos < len && ((c = src.charCodeAt(pos)) >= 48 && c <= 57 || c === 95)) pos++;
            if (c === 46) {
                pos++;
                while (pos < len && ((c = src.charCodeAt(pos)) >= 48 && c <= 57 || c === 95)) pos++;
            }
            if ((c | 32) === 101) {
                var d = src.charCodeAt(pos + 1);
                if (d === 43 || d === 45) d = src.charCodeAt(pos + 2);
                if (d >= 48 && d <= 57) {
                    pos += 2;
                    while (pos < len && ((c = src.charCodeAt(pos)) >= 48 && c <= 57 || c === 95)) pos++;
                }
            }
            while (pos < len && alnum(src.charCodeAt(pos)) && src.charCodeAt(pos) !== 92) pos++;
        }
        // "of" is a keyword only in a for head right after the binding (a name or the end
        // of a pattern); set when an "of" is read
        var ofKeyword = false;
        function ofFollowsBinding() {
            return parens.length > 0 && parens[parens.length - 1] === "for" && !pDot &&
                ((pType === WORD && RE_AFTER[pText] !== true) || pText === "]" || pText === "}");
        }
        // Can a slash here start a regular expression?
        function regexAllowed() {
            if (pType === 0) return true;
            if (pType === WORD) {
                // "of" is a keyword only in the head of a for loop; elsewhere it is a name
                if (pText === "of") return !pDot && ofKeyword;
                return !pDot && RE_AFTER[pText] === true;
            }
            if (pType === PUNCT) {
                if (pText === ")") return lastParenCtrl;
                if (pText === "]") return false;
                if (pText === "}") return lastBraceBlock;
                if (pText === "++" || pText === "--") return false;
                return true;
            }
            return false;
        }
        // A regular expression is certain here (JSMin's own list).
        function regexCertain() {
            return pType === 0 || (pType === PUNCT && pText.length === 1 && "(,=:[!&|?{};".indexOf(pText) >= 0);
        }

        var first = true, gapSpace = false, gapBreak = false;
        while (true) {
            // white space and comments between tokens
            gapSpace = false;
            gapBreak = false;
            while (pos < len) {
                var c = src.charCodeAt(pos);
                if (c === 10 || c === 0x2028 || c === 0x2029) {
                    gapBreak = true;
                    pos++;
                } else if (c === 32 || c === 9 || (c < 32) || (c > 127 && isWhite(c))) {
                    gapSpace = true;
                    pos++;
                } else if (c === 47 && src.charCodeAt(pos + 1) === 47) {
                    while (pos < len && !isBreak(src.charCodeAt(pos))) pos++;
                    gapSpace = true;
                } else if (c === 47 && src.charCodeAt(pos + 1) === 42) {
                    var end = src.indexOf("*/", pos + 2);
                    if (end < 0) fail("Error: Unterminated comment.");
                    for (var q = pos + 2; q < end; q++) {
                        if (isBreak(src.charCodeAt(q))) { gapBreak = true; break; }
                    }
                    gapSpace = true;
                    pos = end + 2;
                } else if ((c === 60 && src.startsWith("!--", pos + 1)) ||
                    (c === 45 && src.startsWith("->", pos + 1) && (gapBreak || out.length === 0))) {
                    // <!-- anywhere and --> at the start of a line open a line comment in scripts
                    while (pos < len && !isBreak(src.charCodeAt(pos))) pos++;
                    gapSpace = true;
                } else if (c === 35 && pos === 0 && src.charCodeAt(1) === 33) {
                    while (pos < len && !isBreak(src.charCodeAt(pos))) pos++; // #! line
                } else {
                    break;
                }
            }
            if (pos >= len) break;

            var start = pos, type;
            c = src.charCodeAt(pos);
            var c1 = src.charCodeAt(pos + 1);
            if ((c >= 48 && c <= 57) || (c === 46 && c1 >= 48 && c1 <= 57)) {
                scanNumber();
                type = NUM;
            } else if (alnum(c) || (c === 35 && pos + 1 < len && (alnum(c1)))) {
                pos++;
                while (pos < len) {
                    var w = src.charCodeAt(pos);
                    if (w === 123 && src.charCodeAt(pos - 1) === 117 && src.charCodeAt(pos - 2) === 92) {
                        var close = src.indexOf("}", pos); // \u{...} escape
                        pos = close < 0 ? len : close + 1;
                    } else if (alnum(w)) {
                        pos++;
                    } else {
                        break;
                    }
                }
                type = WORD;
            } else if (c === 34 || c === 39) {
                pos = skipString(pos, c);
                type = STR;
            } else if (c === 96) {
                pos = skipTemplate(pos);
                type = TPL;
            } else if (c === 47 && regexAllowed()) {
                var reEnd = skipRegex(pos);
                if (reEnd < 0) {
                    if (regexCertain()) fail("Error: unterminated Regular Expression literal");
                    pos += punctLength(c);
                    type = PUNCT;
                } else {
                    pos = reEnd;
                    type = RE;
                }
            } else {
                pos += punctLength(c);
                type = PUNCT;
            }
            var text = src.slice(start, pos);

            // separator before the token
            if (first) {
                if (alnum(c) || c === 123 || c === 91 || c === 40 || c === 43 || c === 45) out.push("\n");
                first = false;
            } else if (gapBreak || gapSpace) {
                var a = pText.charCodeAt(pText.length - 1);
                var keep = false;
                if (gapBreak) {
                    if (level === 1 || (pType === WORD && !pDot && RESTRICTED[pText] === true)) {
                        keep = true;
                    } else if (alnum(a) || pType === NUM || pType === STR || pType === TPL || pType === RE ||
                        a === 125 || a === 93 || a === 41 || a === 43 || a === 45) {
                        keep = alnum(c) || c === 123 || c === 91 || c === 40 || c === 43 || c === 45 ||
                            c === 33 || c === 126 || c === 34 || c === 39 || c === 35 || c === 96 ||
                            (c === 46 && c1 >= 48 && c1 <= 57);
                    }
                }
                if (keep) {
                    out.push("\n");
                } else if ((alnum(a) && (alnum(c) || c === 35)) ||
                    (pType === RE && alnum(c)) ||
                    ((a === 43 || a === 45) && c === a) ||
                    (a === 47 && (c === 47 || c === 42)) ||
                    (pType === NUM && c === 46 && /^[0-9_]+$/.test(pText)) ||
                    // "5." ends in a dot, yet "5.in" would read as a bad number
                    (pType === NUM && alnum(c)) ||
                    (a === 60 && c === 33)) {
                    out.push(" ");
                }
            }
            out.push(text);

            // structure needed to tell a regular expression from a division
            if (type === PUNCT) {
                var ch = text.charCodeAt(0);
                if (ch === 40) {
                    // the control word that opened it ("for" also lets "of" be a keyword)
                    parens.push(pType === WORD && !pDot && CTRL[pText] === true ? pText : false);
                } else if (ch === 41) {
                    lastParenCtrl = parens.length > 0 ? parens.pop() !== false : false;
                } else if (ch === 123) {
                    braces.push(pType === 0 || (pType === PUNCT && (pText === ")" || pText === ";" ||
                        pText === "{" || pText === "}")) || (pType === WORD && BLOCK_AFTER[pText] === true));
                } else if (ch === 125) {
                    lastBraceBlock = braces.length > 0 ? braces.pop() : true;
                }
            }
            if (type === WORD && text === "of") ofKeyword = ofFollowsBinding();
            pDot = pType === PUNCT && (pText === "." || pText === "?.");
            pType = type;
            pText = text;
        }
        return out.join("");
    };
})();
