// The lexer of the carried code tools (layout, minifier, unpacker).
//
// Lexer.scan(regexAllowed) reads the white space before a token and the token: names
// and keywords, numbers (separators, BigInt suffix), strings, templates (nested ${ }
// included), regular expressions, punctuators and comments (HTML-like ones and a
// leading #! line too). Whether a slash starts a regular expression is the caller's to
// say; Tokens says it from the tokens before (after x--, ), ], a name, a number or an
// expression's closing brace a slash divides).
//
// Input the lexer cannot read is never lost: an unterminated literal or comment runs to
// where it stops (the line end for a string, the end of the text otherwise) and the
// optional fail(kind) callback hears of it; it may throw to end the scan.
// Callers turn CR LF and CR into LF first: LF, U+2028 and U+2029 end lines here.

export const EOF = 0, WORD = 1, NUM = 2, STR = 3, TPL = 4, RE = 5, PUNCT = 6;
export const LINE_COMMENT = 7, BLOCK_COMMENT = 8, OTHER = 9;
// what fail(kind) is told
export const OPEN_STRING_LINE = 1, OPEN_STRING = 2, OPEN_TEMPLATE = 3, OPEN_COMMENT = 4;

const ID = 1, DIGIT = 2;
const CC = new Uint8Array(128);
for (let i = 65; i <= 90; i++) CC[i] = ID;
for (let i = 97; i <= 122; i++) CC[i] = ID;
CC[36] = ID; // $
CC[95] = ID; // _
for (let i = 48; i <= 57; i++) CC[i] = DIGIT;

export function isSpace(c) {
    return c === 32 || c === 9 || c === 11 || c === 12 || c === 0xa0 || c === 0xfeff ||
        c === 0x1680 || (c >= 0x2000 && c <= 0x200a) || c === 0x202f || c === 0x205f || c === 0x3000;
}
export function isLineBreak(c) {
    return c === 10 || c === 0x2028 || c === 0x2029;
}
// Every character above ASCII that is neither space nor line break counts as a letter:
// Chinese names need no table.
export function isWide(c) {
    return c > 127 && !isSpace(c) && !isLineBreak(c);
}
export function isIdStart(c) {
    return c < 128 ? CC[c] === ID : isWide(c);
}
export function isIdPart(c) {
    return c < 128 ? CC[c] !== 0 : isWide(c);
}

function setOf(words) {
    const s = Object.create(null);
    for (const w of words.split(" ")) s[w] = true;
    return s;
}
// Words after which an expression starts, so a slash begins a regular expression.
// "let", "of", "yield" and "await" may be plain names; Tokens decides "of" by its place.
export const REGEX_AFTER = setOf("return typeof case do else in instanceof new delete void throw yield await");

// The words the tools ask about (keywords, and names that are keywords in places). Each
// is found from its length and its first and last letters without cutting it out of the
// source, and the answer is the one shared string: looking it up in a table of words then
// costs no hashing of a fresh piece of text.
const KNOWN_WORDS = ["async", "await", "break", "case", "catch", "class", "const", "continue", "debugger",
    "default", "delete", "do", "else", "enum", "export", "extends", "false", "finally", "for", "function",
    "get", "if", "import", "in", "instanceof", "let", "new", "null", "of", "return", "set", "static",
    "super", "switch", "this", "throw", "true", "try", "typeof", "var", "void", "while", "with", "yield"];
function wordKey(n, first, last) {
    return (n * 32 + (first & 31)) * 32 + (last & 31);
}
const KNOWN = new Array(wordKey(10, 122, 122) + 1).fill(null);
for (const w of KNOWN_WORDS) {
    const k = wordKey(w.length, w.charCodeAt(0), w.charCodeAt(w.length - 1));
    if (KNOWN[k] === null) KNOWN[k] = [];
    KNOWN[k].push(w);
}

// The known word src holds at [start, end), or null when it holds none.
export function knownWord(src, start, end) {
    const n = end - start;
    if (n < 2 || n > 10) return null;
    const first = src.charCodeAt(start), last = src.charCodeAt(end - 1);
    if (first < 97 || first > 122 || last < 97 || last > 122) return null;
    const list = KNOWN[wordKey(n, first, last)];
    if (list === null) return null;
    for (let j = 0; j < list.length; j++) {
        const w = list[j];
        let i = 1;
        while (i < n - 1 && src.charCodeAt(start + i) === w.charCodeAt(i)) i++;
        if (i >= n - 1) return w;
    }
    return null;
}

// End of the line the text at p is on (index of its line break, or the text's length).
export function lineEnd(src, p) {
    const len = src.length;
    while (p < len) {
        const c = src.charCodeAt(p);
        if (c === 10 || c === 0x2028 || c === 0x2029) return p;
        p++;
    }
    return len;
}

// Runs of characters a string literal holds with no meaning to its end: past its first
// characters a long (payload) string is crossed by search, not character by character.
const PLAIN_IN = [];
PLAIN_IN[34] = /[^"\\\n]*/y;
PLAIN_IN[39] = /[^'\\\n]*/y;

// End of the string literal whose quote is at p.
export function stringEnd(src, p, fail) {
    const q = src.charCodeAt(p), len = src.length;
    const near = p + 64;
    p++;
    while (p < len) {
        let c = src.charCodeAt(p);
        if (p > near && c !== q && c !== 92 && c !== 10) {
            const plain = PLAIN_IN[q];
            plain.lastIndex = p;
            plain.test(src);
            p = plain.lastIndex;
            if (p >= len) break;
            c = src.charCodeAt(p);
        }
        if (c === q) return p + 1;
        if (c === 92) {
            if (p + 1 >= len) break;
            p += 2;
            continue;
        }
        if (c === 10) {
            if (fail) fail(OPEN_STRING_LINE);
            return p; // stops before the line break
        }
        p++;
    }
    if (fail) fail(OPEN_STRING);
    return len;
}

const SIMPLE_ESCAPE = { n: "\n", t: "\t", r: "\r", b: "\b", f: "\f", v: "\v" };

// The value of a quoted string literal (its quotes included), or null when lit is not
// one: an unescaped quote or CR/LF inside, or a malformed escape.
export function stringValue(lit) {
    const q = lit.charAt(0);
    if (lit.length < 2 || (q !== '"' && q !== "'") || lit.charAt(lit.length - 1) !== q) return null;
    const s = lit.slice(1, -1), out = [], n = s.length;
    let i = 0;
    while (i < n) {
        const c = s.charAt(i);
        if (c !== "\\") {
            if (c === q || c === "\n" || c === "\r") return null;
            out.push(c);
            i++;
            continue;
        }
        if (i + 1 >= n) return null;
        const e = s.charAt(i + 1);
        i += 2;
        if (SIMPLE_ESCAPE[e] !== undefined) {
            out.push(SIMPLE_ESCAPE[e]);
        } else if (e === "x") {
            if (!/^[0-9a-fA-F]{2}$/.test(s.substr(i, 2))) return null;
            out.push(String.fromCharCode(parseInt(s.substr(i, 2), 16)));
            i += 2;
        } else if (e === "u") {
            let hex;
            if (s.charAt(i) === "{") {
                const close = s.indexOf("}", i);
                hex = close < 0 ? "" : s.slice(i + 1, close);
                if (!/^[0-9a-fA-F]{1,6}$/.test(hex) || parseInt(hex, 16) > 0x10ffff) return null;
                out.push(String.fromCodePoint(parseInt(hex, 16)));
                i = close + 1;
            } else {
                hex = s.substr(i, 4);
                if (!/^[0-9a-fA-F]{4}$/.test(hex)) return null;
                out.push(String.fromCharCode(parseInt(hex, 16)));
                i += 4;
            }
        } else if (e >= "0" && e <= "7") {
            // \0 and legacy octal escapes
            let oct = /^[0-7]{1,3}/.exec(s.slice(i - 1))[0];
            if (oct.length === 3 && oct.charAt(0) > "3") oct = oct.slice(0, 2);
            out.push(String.fromCharCode(parseInt(oct, 8)));
            i += oct.length - 1;
        } else if (e === "\r") {
            if (s.charAt(i) === "\n") i++; // line continuation
        } else if (e === "\n" || e === "\u2028" || e === "\u2029") {
            // line continuation
        } else {
            out.push(e); // \\ \" \' and escapes that stand for the character itself
        }
    }
    return out.join("");
}

// End of the block comment that opens at p.
export function blockCommentEnd(src, p, fail) {
    const e = src.indexOf("*/", p + 2);
    if (e >= 0) return e + 2;
    if (fail) fail(OPEN_COMMENT);
    return src.length;
}

// End of the regular expression whose slash is at p, flags included, or -1 when the
// line ends before its closing slash.
export function regexEnd(src, p) {
    const len = src.length;
    let inClass = false;
    p++;
    while (p < len) {
        const c = src.charCodeAt(p);
        if (c === 92) {
            if (p + 1 >= len || isLineBreak(src.charCodeAt(p + 1))) return -1;
            p += 2;
            continue;
        }
        if (isLineBreak(c)) return -1;
        if (inClass) {
            if (c === 93) inClass = false;
        } else if (c === 91) {
            inClass = true;
        } else if (c === 47) {
            p++;
            while (p < len && isIdPart(src.charCodeAt(p))) p++;
            return p;
        }
        p++;
    }
    return -1;
}

// End of the template literal whose backquote is at p. Nested templates and the
// expressions in ${ } are followed with a stack (no recursion, so no depth limit);
// inside an expression strings, comments, regular expressions and braces are stepped
// over, a slash reading as a regular expression where an operand is expected.
export function templateEnd(src, p, fail) {
    const len = src.length;
    const depth = []; // open braces of each ${ } being read, innermost last
    let inText = true, reOk = true;
    p++;
    while (p < len) {
        let c = src.charCodeAt(p);
        if (inText) {
            if (c === 96) {
                p++;
                if (depth.length === 0) return p;
                inText = false;
                reOk = false;
            } else if (c === 92) {
                p += 2;
            } else if (c === 36 && src.charCodeAt(p + 1) === 123) {
                p += 2;
                depth.push(0);
                inText = false;
                reOk = true;
            } else {
                p++;
            }
            continue;
        }
        const top = depth.length - 1;
        if (c === 125) {
            p++;
            if (depth[top] === 0) {
                depth.pop();
                inText = true;
            } else {
                depth[top]--;
                reOk = false;
            }
        } else if (c === 123) {
            depth[top]++;
            p++;
            reOk = true;
        } else if (c === 96) {
            p++;
            inText = true;
        } else if (c === 39 || c === 34) {
            p = stringEnd(src, p, fail);
            reOk = false;
        } else if (c === 47) {
            const d = src.charCodeAt(p + 1);
            let e;
            if (d === 47) {
                p = lineEnd(src, p);
            } else if (d === 42) {
                p = blockCommentEnd(src, p, fail);
            } else if (reOk && (e = regexEnd(src, p)) > 0) {
                p = e;
                reOk = false;
            } else {
                p++;
                reOk = true;
            }
        } else if (isSpace(c) || isLineBreak(c)) {
            p++;
        } else if (isIdPart(c) || c === 92 || c === 35) {
            const s = p;
            p = wordEnd(src, p + 1);
            reOk = REGEX_AFTER[src.slice(s, p)] === true;
        } else if ((c === 43 || c === 45) && src.charCodeAt(p + 1) === c) {
            p += 2;
            reOk = false; // "x--" ends an operand: a slash after it divides
        } else {
            p++;
            reOk = !(c === 41 || c === 93);
        }
    }
    if (fail) fail(OPEN_TEMPLATE);
    return len;
}

// Length of the punctuator at p (the longest that matches).
export function punctLength(src, p) {
    const c = src.charCodeAt(p), c1 = src.charCodeAt(p + 1), c2 = src.charCodeAt(p + 2);
    switch (c) {
    case 62: // >
        if (c1 === 62) {
            if (c2 === 62) return src.charCodeAt(p + 3) === 61 ? 4 : 3;
            return c2 === 61 ? 3 : 2;
        }
        return c1 === 61 ? 2 : 1;
    case 60: // <
        if (c1 === 60) return c2 === 61 ? 3 : 2;
        return c1 === 61 ? 2 : 1;
    case 61: // =
        if (c1 === 61) return c2 === 61 ? 3 : 2;
        return c1 === 62 ? 2 : 1;
    case 33: // !
        if (c1 === 61) return c2 === 61 ? 3 : 2;
        return 1;
    case 43: case 45: // + -
        return c1 === c || c1 === 61 ? 2 : 1;
    case 42: // *
        if (c1 === 42) return c2 === 61 ? 3 : 2;
        return c1 === 61 ? 2 : 1;
    case 38: case 124: // & |
        if (c1 === c) return c2 === 61 ? 3 : 2;
        return c1 === 61 ? 2 : 1;
    case 63: // ?
        if (c1 === 63) return c2 === 61 ? 3 : 2;
        if (c1 === 46 && !(c2 >= 48 && c2 <= 57)) return 2; // ?. but not ?.5
        return 1;
    case 46: // .
        return c1 === 46 && c2 === 46 ? 3 : 1;
    case 37: case 94: case 47: // % ^ /
        return c1 === 61 ? 2 : 1;
    default:
        return 1;
    }
}

// The punctuators punctLength finds, each as one shared string: code that switches on a
// punctuator's text then compares it by identity, which a fresh slice of the source
// would not allow.
const PUNCT_ONE = [], PUNCT_MORE = [];
for (let i = 0; i < 128; i++) PUNCT_ONE.push(String.fromCharCode(i));
// (written out: strings a program cuts apart are not the shared ones its literals are)
for (const p of ["=>", "==", "!=", "<=", ">=", "++", "--", "+=", "-=", "*=", "/=", "%=", "&=", "|=",
    "^=", "&&", "||", "??", "?.", "**", "<<", ">>", "===", "!==", "**=", "<<=", ">>=", ">>>", "&&=", "||=", "??=", "...", ">>>="]) {
    const k = p.charCodeAt(0) * 128 + p.charCodeAt(1);
    if (PUNCT_MORE[k] === undefined) PUNCT_MORE[k] = [];
    PUNCT_MORE[k].push(p);
}
for (let k = 0; k < 128 * 128; k++) if (PUNCT_MORE[k] === undefined) PUNCT_MORE[k] = null;

// The text of the punctuator at [start, end).
export function punctText(src, start, end) {
    const c = src.charCodeAt(start);
    if (end - start === 1) return c < 128 ? PUNCT_ONE[c] : src.slice(start, end);
    const list = PUNCT_MORE[c * 128 + src.charCodeAt(start + 1)];
    if (list !== null && list !== undefined) {
        for (let j = 0; j < list.length; j++) {
            const p = list[j];
            if (p.length === end - start && (p.length === 2 || src.startsWith(p, start))) return p;
        }
    }
    return src.slice(start, end);
}

function digitsEnd(src, p) {
    const len = src.length;
    let c;
    while (p < len && (((c = src.charCodeAt(p)) >= 48 && c <= 57) || c === 95)) p++;
    return p;
}

// End of the number at p: 0x/0o/0b forms, separators, fraction, exponent, BigInt's n
// (letters stuck to a number stay with it).
export function numberEnd(src, p) {
    const len = src.length;
    const x = src.charCodeAt(p + 1) | 32;
    if (src.charCodeAt(p) === 48 && (x === 120 || x === 111 || x === 98)) {
        p += 2;
        while (p < len && isIdPart(src.charCodeAt(p))) p++;
        return p;
    }
    p = digitsEnd(src, p);
    if (src.charCodeAt(p) === 46) p = digitsEnd(src, p + 1);
    if ((src.charCodeAt(p) | 32) === 101) {
        let d = src.charCodeAt(p + 1);
        if (d === 43 || d === 45) d = src.charCodeAt(p + 2);
        if (d >= 48 && d <= 57) p = digitsEnd(src, p + 2);
    }
    while (p < len && isIdPart(src.charCodeAt(p))) p++;
    return p;
}

// End of the name whose rest starts at p (\u escapes included).
export function wordEnd(src, p) {
    const len = src.length;
    for (;;) {
        let c = 0;
        while (p < len && (c = src.charCodeAt(p)) < 128 && CC[c] !== 0) p++;
        if (p >= len) return p;
        if (c === 92 && src.charCodeAt(p + 1) === 117) {
            if (src.charCodeAt(p + 2) === 123) {
                const e = src.indexOf("}", p);
                p = e < 0 ? len : e + 1;
            } else {
                p += 2;
            }
        } else if (c > 127 && isWide(c)) {
            p++;
        } else {
            return p;
        }
    }
}

// What a token starting with an ASCII character can be, by that character.
const K_OTHER = 0, K_ID = 1, K_DIGIT = 2, K_DOT = 3, K_QUOTE = 4, K_TICK = 5, K_SLASH = 6, K_LT = 7,
    K_MINUS = 8, K_HASH = 9, K_BACKSLASH = 10, K_PUNCT = 11;
const START = new Uint8Array(128);
for (const ch of "()[]{};,:~!$%&*+<=>?^|") START[ch.charCodeAt(0)] = K_PUNCT;
for (let i = 0; i < 128; i++) {
    if (CC[i] === ID) START[i] = K_ID;
    else if (CC[i] === DIGIT) START[i] = K_DIGIT;
}
START[46] = K_DOT;
START[34] = START[39] = K_QUOTE;
START[96] = K_TICK;
START[47] = K_SLASH;
START[60] = K_LT;
START[45] = K_MINUS;
START[35] = K_HASH;
START[92] = K_BACKSLASH;

export class Lexer {
    constructor(src, fail) {
        this.src = src;
        this.len = src.length;
        this.fail = fail || null;
        this.pos = 0; // end of the current token
        this.type = EOF;
        this.start = 0;
        this.nl = 0; // line breaks before the token
        this.space = false; // white space (or a line break) before the token
        // Only comments and white space since the last line break (or the start): where
        // "-->" opens a comment.
        this.lineStart = true;
    }

    save() {
        return [this.pos, this.type, this.start, this.nl, this.space, this.lineStart];
    }
    restore(s) {
        [this.pos, this.type, this.start, this.nl, this.space, this.lineStart] = s;
    }
    text() {
        return this.src.slice(this.start, this.pos);
    }

    // Reads the next token; returns its type. reOk: whether a slash here begins a regular
    // expression, or an object whose regexAllowed() tells (asked only at a slash).
    scan(reOk) {
        const src = this.src, len = this.len;
        let pos = this.pos, nl = 0, sp = false, c = 0;
        while (pos < len) {
            c = src.charCodeAt(pos);
            if (c === 10 || c === 0x2028 || c === 0x2029) {
                nl++;
                pos++;
            } else if (c === 32 || c === 9 || (c > 127 && isSpace(c)) || c === 11 || c === 12) {
                sp = true;
                pos++;
            } else {
                break;
            }
        }
        this.nl = nl;
        this.space = sp || nl > 0;
        this.start = pos;
        const atLineStart = this.lineStart || nl > 0;
        this.lineStart = false;
        if (pos >= len) {
            this.pos = pos;
            return (this.type = EOF);
        }
        const c1 = src.charCodeAt(pos + 1);
        let type = PUNCT, e;
        switch (c < 128 ? START[c] : K_ID) {
        case K_ID:
            pos = wordEnd(src, pos + 1);
            type = WORD;
            break;
        case K_DIGIT:
            pos = numberEnd(src, pos);
            type = NUM;
            break;
        case K_DOT:
            if (c1 >= 48 && c1 <= 57) {
                pos = numberEnd(src, pos);
                type = NUM;
            } else {
                pos += punctLength(src, pos);
            }
            break;
        case K_QUOTE:
            pos = stringEnd(src, pos, this.fail);
            type = STR;
            break;
        case K_TICK:
            pos = templateEnd(src, pos, this.fail);
            type = TPL;
            break;
        case K_SLASH:
            if (c1 === 47) {
                pos = lineEnd(src, pos);
                type = LINE_COMMENT;
                this.lineStart = atLineStart;
            } else if (c1 === 42) {
                e = blockCommentEnd(src, pos, this.fail);
                type = BLOCK_COMMENT;
                this.lineStart = atLineStart || lineEnd(src, pos) < e;
                pos = e;
            } else if ((reOk === true || (reOk !== false && reOk.regexAllowed())) && (e = regexEnd(src, pos)) > 0) {
                pos = e;
                type = RE;
            } else {
                pos += punctLength(src, pos);
            }
            break;
        case K_LT:
        case K_MINUS:
            // <!-- anywhere and --> at the start of a line open a line comment in scripts
            if (c === 60 ? c1 === 33 && src.charCodeAt(pos + 2) === 45 && src.charCodeAt(pos + 3) === 45 :
                c1 === 45 && src.charCodeAt(pos + 2) === 62 && atLineStart) {
                pos = lineEnd(src, pos);
                type = LINE_COMMENT;
                this.lineStart = atLineStart;
            } else {
                pos += punctLength(src, pos);
            }
            break;
        case K_HASH:
            if (c1 < 128 ? CC[c1] === ID || c1 === 92 : isWide(c1)) {
                pos = wordEnd(src, pos + 1); // a private name
                type = WORD;
            } else if (c1 === 33 && pos === 0) {
                pos = lineEnd(src, pos); // #! line
                type = LINE_COMMENT;
                this.lineStart = true;
            } else {
                pos++;
                type = OTHER;
            }
            break;
        case K_BACKSLASH:
            if (c1 === 117) {
                pos = wordEnd(src, pos);
                type = WORD;
            } else {
                pos++;
                type = OTHER;
            }
            break;
        case K_PUNCT:
            pos += punctLength(src, pos);
            break;
        default:
            pos++;
            type = OTHER;
        }
        this.pos = pos;
        return (this.type = type);
    }
}

// Words that open the statement a "(" heads (after "for (", "of" may be a keyword).
const CTRL = setOf("if while for with");
// Words after which "{" opens a block, not an object.
const BLOCK_AFTER = setOf("else do try finally");

// Tokens of a text with the regular-expression question answered from the tokens before:
// after ")" of if/while/for/with, after "}" of a block, after an operator or a keyword
// that expects an expression a slash begins a regular expression; after a name, a
// number, x++ / x--, ")" or "]" it divides. Control characters are no tokens of the
// language: they are handed out (as OTHER) but leave that state alone.
export class Tokens {
    // keepText: whether text is set for names, numbers, strings, templates and regular
    // expressions too (a caller that writes tokens from their places in the source needs
    // it only for punctuators and known words).
    constructor(src, fail, keepText = true) {
        this.lexer = new Lexer(src, fail);
        this.keepText = keepText;
        this.pType = EOF; // the last token that counts (no comment)
        // its text where the state asks about it: a punctuator, a known word (see
        // knownWord); "" for other names and for literals
        this.pText = "";
        this.pDot = false; // the one before it was "." or "?."
        this.parens = []; // per open "(": its control word, or false
        this.braces = []; // per open "{": whether it is a block
        this.lastParenCtrl = false;
        this.lastBraceBlock = false;
        this.ofKeyword = false; // the last "of" read was the keyword of a for head
        this.reOk = true; // for a token that starts with a slash: whether a regular expression could be there
        // The token is a slash where only a regular expression can be, and none ends on
        // its line.
        this.regexOpen = false;
        this.text = ""; // the last token's text (not set for comments and control characters)
        this.word = null; // the last token's known word, or null
    }

    // The whole state, to read ahead and come back (the bracket stacks are copied only
    // when not empty: at the top level of a script they are).
    save() {
        const lx = this.lexer;
        return {
            pos: lx.pos, type: lx.type, start: lx.start, nl: lx.nl, space: lx.space, lineStart: lx.lineStart,
            pType: this.pType, pText: this.pText, pDot: this.pDot,
            parens: this.parens.length === 0 ? null : this.parens.slice(),
            braces: this.braces.length === 0 ? null : this.braces.slice(),
            lastParenCtrl: this.lastParenCtrl, lastBraceBlock: this.lastBraceBlock, ofKeyword: this.ofKeyword,
            reOk: this.reOk, regexOpen: this.regexOpen, text: this.text, word: this.word,
        };
    }
    restore(s) {
        const lx = this.lexer;
        lx.pos = s.pos;
        lx.type = s.type;
        lx.start = s.start;
        lx.nl = s.nl;
        lx.space = s.space;
        lx.lineStart = s.lineStart;
        this.pType = s.pType;
        this.pText = s.pText;
        this.pDot = s.pDot;
        if (s.parens === null) this.parens.length = 0;
        else this.parens = s.parens.slice();
        if (s.braces === null) this.braces.length = 0;
        else this.braces = s.braces.slice();
        this.lastParenCtrl = s.lastParenCtrl;
        this.lastBraceBlock = s.lastBraceBlock;
        this.ofKeyword = s.ofKeyword;
        this.reOk = s.reOk;
        this.regexOpen = s.regexOpen;
        this.text = s.text;
        this.word = s.word;
    }

    // Reads the next token (comments included); returns its type.
    next() {
        const lx = this.lexer, src = lx.src;
        const type = lx.scan(this);
        if (type === PUNCT && src.charCodeAt(lx.start) === 47) {
            this.reOk = this.regexAllowed();
            this.regexOpen = this.reOk && this.regexCertain();
        } else {
            this.reOk = type === RE;
            this.regexOpen = false;
        }
        if (type === LINE_COMMENT || type === BLOCK_COMMENT || type === EOF) return type;
        if (type === OTHER && src.charCodeAt(lx.start) < 32) return type;
        let key = "";
        if (type === WORD) {
            const w = (this.word = knownWord(src, lx.start, lx.pos));
            if (w !== null) key = this.text = w;
            else if (this.keepText) this.text = src.slice(lx.start, lx.pos);
        } else if (type === PUNCT || type === OTHER) {
            this.word = null;
            key = this.text = type === PUNCT ? punctText(src, lx.start, lx.pos) : src.slice(lx.start, lx.pos);
            const ch = src.charCodeAt(lx.start);
            if (ch === 40) {
                this.parens.push(this.pType === WORD && !this.pDot && CTRL[this.pText] === true ? this.pText : false);
            } else if (ch === 41) {
                this.lastParenCtrl = this.parens.length > 0 ? this.parens.pop() !== false : false;
            } else if (ch === 123) {
                const p = this.pType, px = this.pText;
                this.braces.push(p === EOF || (p === PUNCT && (px === ")" || px === ";" || px === "{" || px === "}")) ||
                    (p === WORD && BLOCK_AFTER[px] === true));
            } else if (ch === 125) {
                this.lastBraceBlock = this.braces.length > 0 ? this.braces.pop() : true;
            }
        } else {
            this.word = null;
            if (this.keepText) this.text = src.slice(lx.start, lx.pos);
        }
        if (key === "of") this.ofKeyword = this.ofFollowsBinding();
        this.pDot = this.pType === PUNCT && (this.pText === "." || this.pText === "?.");
        this.pType = type === OTHER ? PUNCT : type;
        this.pText = key;
        return type;
    }

    // "of" is a keyword only in a for head right after the binding (a name or the end of
    // a pattern).
    ofFollowsBinding() {
        return this.parens.length > 0 && this.parens[this.parens.length - 1] === "for" && !this.pDot &&
            ((this.pType === WORD && REGEX_AFTER[this.pText] !== true) || this.pText === "]" || this.pText === "}");
    }

    regexAllowed() {
        const p = this.pType, px = this.pText;
        if (p === EOF) return true;
        if (p === WORD) {
            if (this.pDot) return false;
            if (px === "of") return this.ofKeyword;
            return REGEX_AFTER[px] === true;
        }
        if (p === PUNCT) {
            if (px === ")") return this.lastParenCtrl;
            if (px === "]") return false;
            if (px === "}") return this.lastBraceBlock;
            if (px === "++" || px === "--") return false;
            return true;
        }
        return false;
    }

    // After these a slash can only begin a regular expression.
    regexCertain() {
        return this.pType === EOF ||
            (this.pType === PUNCT && this.pText.length === 1 && "(,=:[!&|?{};".indexOf(this.pText) >= 0);
    }
}

// "TYPE:text" for every token of src (comments included), as the tests write them.
const NAMES = ["eof", "word", "num", "str", "tpl", "re", "punct", "line", "block", "other"];
export function tokenList(src) {
    const t = new Tokens(src), out = [];
    while (t.next() !== EOF) out.push(NAMES[t.lexer.type] + ":" + t.lexer.text());
    return out;
}
