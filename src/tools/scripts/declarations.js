// The names a script declares at its top level, in source order, for the function list.
//
// topLevelDeclarations(src) gives { kind, name, offset, params } per name: kind is
// "function" (a declaration, or a named function expression at the top level), "var",
// "let", "const" (each declarator, destructuring patterns included), "class", or "=" (a
// plain assignment `name = …`); offset is where the name stands in src; params the
// parameter list (see parameters.js) when the name is given a function written there,
// else null. Which of these names hold functions is for the engine to say after the
// load: the scan only reads the text, so an occasional name too many does no harm.

import { Tokens, EOF, WORD, NUM, STR, PUNCT, LINE_COMMENT, BLOCK_COMMENT, OTHER, isIdStart, isSpace, isLineBreak,
    wordEnd } from "./lex.js";
import { Cursor, readFunction, skipDefault, withLineFeeds, encodeParameters, EXPRESSION, AFTER_NAME }
    from "./parameters.js";

// What the next name at the top level is.
const NONE = 0, FUNCTION_NAME = 1, CLASS_NAME = 2, DECLARATOR = 3;
// Nested patterns deeper than this are not followed.
const MAX_PATTERN_DEPTH = 64;

function readTarget(cur, out, depth) {
    if (cur.isName()) {
        out.push([cur.text, cur.start]);
    } else if (!(cur.is("[") || cur.is("{")) || !readPattern(cur, out, depth + 1)) {
        return false;
    }
    cur.next();
    return true;
}

// The names a destructuring pattern binds (the current token is its "[" or "{"), with
// their offsets; false when it is no pattern.
function readPattern(cur, out, depth) {
    if (depth > MAX_PATTERN_DEPTH) return false;
    const close = cur.is("[") ? "]" : "}";
    for (;;) {
        cur.next();
        if (cur.is(close)) return true;
        if (close === "]" && cur.is(",")) continue; // a hole
        if (cur.is("...")) {
            cur.next();
            if (!readTarget(cur, out, depth)) return false;
        } else if (close === "]") {
            if (!readTarget(cur, out, depth)) return false;
        } else {
            const key = cur.isName() ? [cur.text, cur.start] : null;
            if (key === null && cur.type !== STR && cur.type !== NUM && !(cur.is("[") && cur.skipGroup()))
                return false;
            cur.next();
            if (cur.is(":")) {
                cur.next();
                if (!readTarget(cur, out, depth)) return false;
            } else if (key !== null) {
                out.push(key); // shorthand
            } else {
                return false;
            }
        }
        if (cur.is("=") && !skipDefault(cur, close)) return false;
        if (cur.is(close)) return true;
        if (!cur.is(",")) return false;
    }
}

function skipBlanks(src, p) {
    let c;
    while (p < src.length && (isSpace((c = src.charCodeAt(p))) || isLineBreak(c))) p++;
    return p;
}

// Whether a function or class may be written from p on (after an "="): "(", function,
// async, class or `name =>`. Most values are none, and are not read further.
function functionMayStart(src, p) {
    p = skipBlanks(src, p);
    const c = src.charCodeAt(p);
    if (c === 40) return true; // (
    if (!isIdStart(c)) return false;
    const e = wordEnd(src, p + 1), w = src.slice(p, e);
    if (w === "function" || w === "async" || w === "class") return true;
    const a = skipBlanks(src, e);
    return src.charCodeAt(a) === 61 && src.charCodeAt(a + 1) === 62; // =>
}

export function topLevelDeclarations(text) {
    const src = withLineFeeds(String(text));
    let cur = null;
    // Inside brackets only punctuators count (and members at the top of a class body):
    // the stream cuts out the text of names and literals only where they are read.
    const t = new Tokens(src, () => cur.setBroken(), false), lx = t.lexer;
    cur = new Cursor(t);
    // The function written from here: read ahead in the same stream, then back.
    function parametersHere(forms) {
        const saved = t.save();
        t.keepText = true;
        const params = readFunction(cur, forms);
        t.keepText = false;
        t.restore(saved);
        return params;
    }
    const out = [];
    let depth = 0;
    let want = NONE;
    let decl = null; // "var", "let" or "const" while a declaration list runs (to its ";")
    let pending = null; // the name an "=" right after it would assign
    let afterLet = false; // "let" was the last token: a keyword or a plain name
    let afterDot = false;
    // A class's constructor is looked for as its body goes by: the entries that take its
    // parameters, while the class's name and heritage are read (classWaiting) and while
    // its body is (classBody, with the token before each member-level one).
    let classFor = null, classWaiting = null, classBody = null, memberPrev = "";

    function add(kind, name, offset, params) {
        const entry = { kind, name, offset, params };
        out.push(entry);
        return entry;
    }
    // The pattern whose "[" or "{" was just read.
    function addPattern(kind) {
        const saved = t.save(), names = [];
        cur.reset();
        cur.type = PUNCT;
        cur.text = t.text;
        t.keepText = true;
        if (readPattern(cur, names, 0)) for (const [name, at] of names) add(kind, name, at, null);
        t.keepText = false;
        t.restore(saved);
    }

    for (;;) {
        const type = t.next();
        if (type === EOF) break;
        if (type === LINE_COMMENT || type === BLOCK_COMMENT) continue;
        if (type === OTHER && src.charCodeAt(lx.start) < 32) continue;
        const start = lx.start;
        let text = type === PUNCT || type === OTHER ? t.text : t.word;
        if (text === null && (depth === 0 || (classBody !== null && depth === 1))) text = src.slice(start, lx.pos);
        const dot = afterDot;
        afterDot = type === PUNCT && (text === "." || text === "?.");
        if (classBody !== null && depth === 1) {
            if ((text === "constructor" && type === WORD) || (type === STR && text.slice(1, -1) === "constructor")) {
                if (memberPrev !== "static" && memberPrev !== "." && memberPrev !== "?.") {
                    const params = parametersHere(AFTER_NAME);
                    if (params !== null) for (const e of classBody) if (e.params === null) e.params = params;
                }
            }
            memberPrev = type === STR ? text.slice(1, -1) : text;
        }
        if (type === PUNCT) {
            const opener = text === "(" || text === "[" || text === "{";
            if (opener || text === ")" || text === "]" || text === "}") {
                if (depth === 0 && (text === "[" || text === "{") && (want === DECLARATOR || afterLet)) {
                    addPattern(afterLet ? "let" : decl);
                    if (afterLet) decl = "let";
                }
                if (depth === 0 && text === "{" && classWaiting !== null) {
                    classBody = classWaiting;
                    classWaiting = null;
                    memberPrev = "";
                }
                if (opener) depth++;
                else if (depth > 0 && --depth === 0) classBody = null;
                want = NONE;
                pending = null;
                afterLet = false;
                continue;
            }
            if (depth > 0) continue;
            if (text === "=" && pending !== null) {
                // A class expression's constructor is found as its body goes by.
                const isClass = src.startsWith("class", skipBlanks(src, lx.pos));
                const params = !isClass && functionMayStart(src, lx.pos) ? parametersHere(EXPRESSION) : null;
                const entry = pending.kind === "=" ? add("=", pending.name, pending.offset, params) : pending;
                entry.params = params;
                classFor = isClass ? entry : null;
            } else if (text === "," && decl !== null) {
                want = DECLARATOR;
                pending = null;
                afterLet = false;
                continue;
            } else if (text === ";") {
                decl = null;
                classWaiting = null;
            }
            if (!(want === FUNCTION_NAME && text === "*")) want = NONE;
            pending = null;
            afterLet = false;
            continue;
        }
        if (depth > 0) continue;
        if (type !== WORD) {
            want = NONE;
            pending = null;
            afterLet = false;
            continue;
        }
        if (want === FUNCTION_NAME) {
            add("function", text, start, parametersHere(AFTER_NAME));
            want = NONE;
            continue;
        }
        if (want === CLASS_NAME) {
            if (text !== "extends") classWaiting.push(add("class", text, start, null));
            want = NONE;
            continue;
        }
        if (want === DECLARATOR) {
            pending = add(decl, text, start, null);
            want = NONE;
            continue;
        }
        if (afterLet) {
            afterLet = false;
            if (text !== "in" && text !== "instanceof" && text !== "of") {
                decl = "let";
                pending = add("let", text, start, null);
                continue;
            }
        }
        pending = null;
        if (!dot) {
            if (text === "function") {
                want = FUNCTION_NAME;
                continue;
            }
            if (text === "class") {
                want = CLASS_NAME;
                classWaiting = classFor !== null ? [classFor] : [];
                classFor = null;
                continue;
            }
            if (text === "var" || text === "const") {
                decl = text;
                want = DECLARATOR;
                continue;
            }
            if (text === "let") afterLet = true; // `let x`, or `let = 1` with let a name
            pending = { kind: "=", name: text, offset: start };
        }
    }
    return out;
}

// The list as one text for the host: a line per name, "kind TAB name TAB offset TAB
// parameters" (see encodeParameters; "-" when unknown).
export function declarationsText(text) {
    let out = "";
    for (const d of topLevelDeclarations(text)) {
        const p = encodeParameters(d.params);
        out += d.kind + "\t" + d.name + "\t" + d.offset + "\t" + (p === null ? "-" : p) + "\n";
    }
    return out;
}
