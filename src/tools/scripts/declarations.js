// The names a script declares at its top level, in source order, for the function list.
//
// topLevelDeclarations(src) gives { kind, name, offset, params } per name: kind is
// "function" (a declaration, or a named function expression at the top level), "var",
// "let", "const" (each declarator, destructuring patterns included), "class", or "=" (a
// plain assignment `name = …`); offset is where the name stands in src; params the
// parameter list (see parameters.js) when the name is given a function written there,
// else null. Which of these names hold functions is for the engine to say after the
// load: the scan only reads the text, so an occasional name too many does no harm.

import { Tokens, EOF, WORD, NUM, STR, PUNCT, LINE_COMMENT, BLOCK_COMMENT, OTHER } from "./lex.js";
import { Cursor, parametersAt, skipDefault, withLineFeeds, encodeParameters, EXPRESSION, AFTER_NAME,
    CLASS_TAIL } from "./parameters.js";

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

export function topLevelDeclarations(text) {
    const src = withLineFeeds(String(text));
    const t = new Tokens(src), lx = t.lexer;
    const out = [];
    let depth = 0;
    let want = NONE;
    let decl = null; // "var", "let" or "const" while a declaration list runs (to its ";")
    let pending = null; // the name an "=" right after it would assign
    let afterLet = false; // "let" was the last token: a keyword or a plain name
    let afterDot = false;

    function add(kind, name, offset, params) {
        const entry = { kind, name, offset, params };
        out.push(entry);
        return entry;
    }
    function addPattern(kind, offset) {
        const cur = new Cursor(src, offset), names = [];
        cur.next();
        if (readPattern(cur, names, 0)) for (const [name, at] of names) add(kind, name, at, null);
    }

    for (;;) {
        const type = t.next();
        if (type === EOF) break;
        if (type === LINE_COMMENT || type === BLOCK_COMMENT) continue;
        if (type === OTHER && src.charCodeAt(lx.start) < 32) continue;
        const text = t.text, start = lx.start;
        const dot = afterDot;
        afterDot = type === PUNCT && (text === "." || text === "?.");
        if (type === PUNCT) {
            const opener = text === "(" || text === "[" || text === "{";
            if (opener || text === ")" || text === "]" || text === "}") {
                if (depth === 0 && (text === "[" || text === "{") && (want === DECLARATOR || afterLet)) {
                    addPattern(afterLet ? "let" : decl, start);
                    if (afterLet) decl = "let";
                }
                if (opener) depth++;
                else if (depth > 0) depth--;
                want = NONE;
                pending = null;
                afterLet = false;
                continue;
            }
            if (depth > 0) continue;
            if (text === "=" && pending !== null) {
                const params = parametersAt(src, lx.pos, EXPRESSION);
                if (pending.kind === "=") add("=", pending.name, pending.offset, params);
                else pending.params = params;
            } else if (text === "," && decl !== null) {
                want = DECLARATOR;
                pending = null;
                afterLet = false;
                continue;
            } else if (text === ";") {
                decl = null;
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
            add("function", text, start, parametersAt(src, lx.pos, AFTER_NAME));
            want = NONE;
            continue;
        }
        if (want === CLASS_NAME) {
            if (text !== "extends") add("class", text, start, parametersAt(src, lx.pos, CLASS_TAIL));
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
