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

import { Tokens, EOF, WORD, NUM, STR, TPL, RE, PUNCT, LINE_COMMENT, BLOCK_COMMENT, OTHER, OPEN_STRING_LINE,
    OPEN_STRING, OPEN_TEMPLATE, OPEN_COMMENT, isSpace, isLineBreak, lineEnd } from "./lex.js";

String.prototype.has = function (c) {
    return this.indexOf(c) > -1;
};

// The last result also stays in the global "ret", as it always has.
export function jsmin(comment, input, level) {
    "use strict";
    var code = jsmin.run(input === undefined || input === null ? "" : String(input),
        Number(level) === 1 ? 1 : 2);
    jsmin.oldSize = input === undefined || input === null ? 0 : String(input).length;
    jsmin.newSize = code.length;
    comment = comment === undefined || comment === null ? "" : String(comment);
    const ret = comment === "" ? code : comment + "\n" + code;
    globalThis.ret = ret;
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
        return c < 128 ? ALNUM[c] === 1 : !isSpace(c) && !isLineBreak(c);
    }
    // words after which a line break always ends the statement
    var RESTRICTED = Object.create(null);
    "return break continue throw yield".split(" ").forEach(function (w) { RESTRICTED[w] = true; });

    var MESSAGE = [];
    MESSAGE[OPEN_STRING_LINE] = "Error: unterminated string literal: \n";
    MESSAGE[OPEN_STRING] = "Error: unterminated string literal: ";
    MESSAGE[OPEN_TEMPLATE] = "Error: unterminated template literal";
    MESSAGE[OPEN_COMMENT] = "Error: Unterminated comment.";
    function fail(kind) {
        throw MESSAGE[kind];
    }

    return function run(src, level) {
        if (src.indexOf("\r") !== -1) src = src.replace(/\r\n?/g, "\n");
        var tokens = new Tokens(src, fail, false), lx = tokens.lexer;
        var out = [];
        // pKey: the previous token's text where it matters (a punctuator or a known word), else null;
        // [pStart, pEnd): where it is in the source
        var pType = 0, pKey = null, pDot = false, pStart = 0, pEnd = 0;
        var first = true;
        // Tokens that keep the separator the source has between them go out as one slice
        // of it: [runStart, runEnd) is the part not yet in out.
        var runStart = 0, runEnd = 0;
        for (;;) {
            // white space, comments and control characters between tokens
            var gapSpace = false, gapBreak = false, type;
            for (;;) {
                type = tokens.next();
                if (lx.nl > 0) gapBreak = true;
                if (lx.space) gapSpace = true;
                if (type === LINE_COMMENT) {
                    if (lx.start !== 0 || src.charCodeAt(0) !== 35) gapSpace = true; // not the #! line
                } else if (type === BLOCK_COMMENT) {
                    gapSpace = true;
                    if (lineEnd(src, lx.start) < lx.pos) gapBreak = true;
                } else if (type === OTHER && src.charCodeAt(lx.start) < 32) {
                    gapSpace = true; // every control character except the line feed reads as a space
                } else {
                    break;
                }
            }
            if (type === EOF) break;
            if (type === OTHER) type = PUNCT;
            var start = lx.start;
            var c = src.charCodeAt(start), c1 = src.charCodeAt(start + 1);
            if (tokens.regexOpen)
                throw "Error: unterminated Regular Expression literal";

            // separator before the token: 0 none, 32 a space, 10 a line break
            var sep = 0;
            if (first) {
                if (alnum(c) || c === 123 || c === 91 || c === 40 || c === 43 || c === 45) sep = 10;
                first = false;
                runStart = runEnd = start;
            } else if (gapBreak || gapSpace) {
                var a = src.charCodeAt(pEnd - 1);
                var keep = false;
                if (gapBreak) {
                    if (level === 1 || (pType === WORD && !pDot && pKey !== null && RESTRICTED[pKey] === true)) {
                        keep = true;
                    } else if (alnum(a) || pType === NUM || pType === STR || pType === TPL || pType === RE ||
                        a === 125 || a === 93 || a === 41 || a === 43 || a === 45) {
                        keep = alnum(c) || c === 123 || c === 91 || c === 40 || c === 43 || c === 45 ||
                            c === 33 || c === 126 || c === 34 || c === 39 || c === 35 || c === 96 ||
                            (c === 46 && c1 >= 48 && c1 <= 57);
                    }
                }
                if (keep) {
                    sep = 10;
                } else if ((alnum(a) && (alnum(c) || c === 35)) ||
                    (pType === RE && alnum(c)) ||
                    ((a === 43 || a === 45) && c === a) ||
                    (a === 47 && (c === 47 || c === 42)) ||
                    (pType === NUM && c === 46 && /^[0-9_]+$/.test(src.slice(pStart, pEnd))) ||
                    // "5." ends in a dot, yet "5.in" would read as a bad number
                    (pType === NUM && alnum(c)) ||
                    (a === 60 && c === 33)) {
                    sep = 32;
                }
            }
            if (sep === 0 ? start !== runEnd : start !== runEnd + 1 || src.charCodeAt(runEnd) !== sep) {
                if (runEnd > runStart) out.push(src.slice(runStart, runEnd));
                if (sep === 10) out.push("\n");
                else if (sep === 32) out.push(" ");
                runStart = start;
            }
            runEnd = lx.pos;
            pDot = pType === PUNCT && (pKey === "." || pKey === "?.");
            pType = type;
            pKey = type === WORD ? tokens.word : type === PUNCT ? tokens.text : null;
            pStart = start;
            pEnd = lx.pos;
        }
        if (runEnd > runStart) out.push(src.slice(runStart, runEnd));
        return out.join("");
    };
})();
