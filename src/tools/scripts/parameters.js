// Parameter names of a function, read from its text with the shared lexer.
//
// functionParameters(text) reads the text the engine gives for a function
// (Function.prototype.toString): `function` declarations and expressions, generators,
// async functions, arrow functions, methods written in objects and classes (with their
// get, set, static, async and * prefixes), and classes (their constructor's). It gives a
// list of { name, optional } or null for text that is none of these forms, that does not
// close, or that is a built-in's ("{ [native code] }" names no parameters). A
// destructuring pattern has the empty name, a rest parameter "...name"; a default value
// or a rest parameter makes a parameter optional.
//
// parametersAt(src, pos, forms) reads from pos inside a larger text without copying it,
// readFunction(cursor, forms) from where a token stream stands: the declaration scan
// reads ahead in its own stream and comes back.

import { Tokens, EOF, WORD, NUM, STR, PUNCT, LINE_COMMENT, BLOCK_COMMENT, OTHER } from "./lex.js";

// Deeper nesting than this inside a parameter list is not worth following.
const MAX_DEPTH = 256;

// Which texts parametersAt accepts.
export const ANY_FUNCTION = 0; // every form above (a function's own text)
export const EXPRESSION = 1; // what may follow "=": function and class expressions, arrows
export const AFTER_NAME = 2; // the list and body after a declaration's name
export const CLASS_TAIL = 3; // a class after its name: its constructor's list

const CLOSER = { "(": ")", "[": "]", "{": "}" };

// The tokens that count (no comments, no control characters) of a token stream, one
// look-ahead. The stream's lexer reports unterminated literals to broken() (Cursor.of
// makes a stream that does).
export class Cursor {
    constructor(tokens) {
        this.broken = false; // an unterminated literal or comment was met
        this.tokens = tokens;
        this.ahead = null;
        this.type = EOF;
        this.text = "";
        this.start = 0;
    }

    static of(src, pos) {
        let cur = null;
        const tokens = new Tokens(src, () => cur.setBroken());
        tokens.lexer.pos = pos;
        return (cur = new Cursor(tokens));
    }
    setBroken() {
        this.broken = true;
    }
    // Starts afresh where the stream stands.
    reset() {
        this.broken = false;
        this.ahead = null;
    }

    next() {
        if (this.ahead !== null) {
            const a = this.ahead;
            this.ahead = null;
            this.type = a[0];
            this.text = a[1];
            this.start = a[2];
            return this.type;
        }
        const t = this.tokens, lx = t.lexer;
        for (;;) {
            const type = t.next();
            if (type === LINE_COMMENT || type === BLOCK_COMMENT) continue;
            if (type === OTHER && lx.src.charCodeAt(lx.start) < 32) continue;
            // A slash where only a regular expression can stand, none closing on its line.
            if (t.regexOpen) this.broken = true;
            this.type = type;
            this.text = type === EOF ? "" : t.text;
            this.start = lx.start;
            return type;
        }
    }

    // The type and text of the token after the current one, without moving on.
    peek() {
        const type = this.type, text = this.text, start = this.start;
        this.next();
        this.ahead = [this.type, this.text, this.start];
        this.type = type;
        this.text = text;
        this.start = start;
        return this.ahead;
    }

    is(punct) {
        return this.type === PUNCT && this.text === punct;
    }
    isOpener() {
        return this.type === PUNCT && CLOSER[this.text] !== undefined;
    }
    isCloser() {
        return this.type === PUNCT && (this.text === ")" || this.text === "]" || this.text === "}");
    }
    // A name (not a private one).
    isName() {
        return this.type === WORD && this.text.charCodeAt(0) !== 35;
    }

    // From the current opening bracket through its matching closing one; false when the
    // brackets do not match or the text ends first.
    skipGroup() {
        const open = [CLOSER[this.text]];
        while (open.length > 0) {
            const type = this.next();
            if (type === EOF || this.broken) return false;
            if (type !== PUNCT) continue;
            const c = CLOSER[this.text];
            if (c !== undefined) {
                if (open.length >= MAX_DEPTH) return false;
                open.push(c);
            } else if (this.isCloser() && open.pop() !== this.text) {
                return false;
            }
        }
        return true;
    }
}

// One parameter from the current token: its name, or "" for a pattern; null when the
// text is no parameter.
function parameterHead(cur) {
    if (cur.is("...")) {
        cur.next();
        if (cur.isName()) return "..." + cur.text;
        return cur.isOpener() && cur.text !== "(" && cur.skipGroup() ? "" : null;
    }
    if (cur.isName()) return cur.text;
    if ((cur.is("[") || cur.is("{")) && cur.skipGroup()) return "";
    return null;
}

// A default value: up to the "," or the closer that ends it (left as the current token).
export function skipDefault(cur, closer) {
    for (;;) {
        const type = cur.next();
        if (type === EOF || cur.broken) return false;
        if (cur.is(",") || cur.is(closer)) return true;
        if (cur.isOpener()) {
            if (!cur.skipGroup()) return false;
        } else if (cur.isCloser()) {
            return false;
        }
    }
}

// After the "(" of a parameter list, through its ")".
function readParameters(cur) {
    const params = [];
    for (;;) {
        cur.next();
        if (cur.is(")")) return params; // "()" or a trailing comma
        let optional = cur.is("...");
        const head = parameterHead(cur);
        if (head === null) return null;
        cur.next();
        if (cur.is("=")) {
            optional = true;
            if (!skipDefault(cur, ")")) return null;
        }
        if (cur.broken) return null;
        params.push({ name: head, optional });
        if (cur.is(")")) return params;
        if (!cur.is(",")) return null;
    }
}

const BODY = 1, ARROW = 2, EITHER = 3;

// From the "(" (the current token) of a list through what must follow it.
function readList(cur, end, native) {
    if (!cur.is("(")) return null;
    const params = readParameters(cur);
    if (params === null) return null;
    cur.next();
    const body = cur.is("{"), arrow = cur.is("=>");
    if (!(end & BODY && body) && !(end & ARROW && arrow)) return null;
    if (body && native && nativeBodyFollows(cur)) return null; // a built-in's text
    return cur.broken ? null : params;
}

// "{ [native code] }" and nothing after it.
function nativeBodyFollows(cur) {
    const want = ["[", "native", "code", "]", "}"];
    for (const w of want) {
        cur.next();
        if (cur.text !== w) return false;
    }
    return cur.next() === EOF;
}

// A property name (the current token): a word, a private name, a string, a number or
// [computed].
function skipPropertyName(cur) {
    if (cur.type === WORD || cur.type === STR || cur.type === NUM) return true;
    return cur.is("[") && cur.skipGroup();
}

// A method from its optional "*" (the current token): the name, the list and the body.
function readMethod(cur) {
    if (cur.is("*")) cur.next();
    if (!skipPropertyName(cur)) return null;
    cur.next();
    return readList(cur, BODY, true);
}

// From just after the keyword "function": optional "*" and name, then the list.
function readAfterFunctionKeyword(cur) {
    cur.next();
    if (cur.is("*")) cur.next();
    if (cur.isName()) cur.next();
    return readList(cur, BODY, true);
}

// After a word that may be a modifier (async, get, set, static) or the whole name of a
// method or of an arrow's one parameter. In an expression only async is a modifier.
function readAfterWord(cur, word, depth, expression) {
    cur.next();
    if (cur.is("=>")) return [{ name: word, optional: false }]; // `async => 1` too
    const isAsync = word === "async";
    if (cur.is("(")) {
        if (expression && !isAsync) return null;
        return readList(cur, isAsync ? (expression ? ARROW : EITHER) : BODY, true);
    }
    const modifier = isAsync || (!expression && (word === "get" || word === "set" || word === "static"));
    if (!modifier || depth > 3) return null;
    if (!cur.isName()) return expression ? null : readMethod(cur);
    const next = cur.text;
    if (next === "function") return isAsync ? readAfterFunctionKeyword(cur) : null;
    return readAfterWord(cur, next, depth + 1, expression);
}

// A class from after its keyword: the parameters of its constructor, found among the
// members of its body; null when it has none written (the length stands in: 0).
function readClassConstructor(cur) {
    // The name and the heritage: everything up to the body's "{".
    for (;;) {
        cur.next();
        if (cur.type === EOF || cur.broken) return null;
        if (cur.is("{")) break;
        if (cur.isOpener()) {
            if (!cur.skipGroup()) return null;
        } else if (cur.isCloser()) {
            return null;
        }
    }
    // Members: method bodies and other bracketed groups are stepped over whole, so a
    // "constructor" met here is a member name. `static constructor()` is a method and
    // `a.constructor(…)` in a field's value is a call; neither is the constructor.
    let previous = "";
    for (;;) {
        const type = cur.next();
        if (type === EOF || cur.broken) return null;
        if (cur.is("}")) return null; // no constructor written
        if (cur.isOpener()) {
            previous = cur.text;
            if (!cur.skipGroup()) return null;
            continue;
        }
        if (cur.isCloser()) return null;
        let word;
        if (type === WORD) word = cur.text;
        else if (type === STR) word = cur.text.slice(1, -1);
        else {
            previous = cur.text;
            continue;
        }
        const isMemberName = previous !== "static" && previous !== "." && previous !== "?.";
        previous = word;
        if (word === "constructor" && isMemberName) {
            const [aType, aText] = cur.peek();
            if (aType === PUNCT && aText === "(") {
                cur.next();
                return readList(cur, BODY, false);
            }
        }
    }
}

// Reads the function that starts at pos (see the forms above).
export function parametersAt(src, pos, forms) {
    return readFunction(Cursor.of(src, pos), forms);
}

// The same from where the cursor's stream stands, which is left wherever the reading
// ended (a caller that reads on saves and restores the stream around it).
export function readFunction(cur, forms) {
    cur.reset();
    if (forms === CLASS_TAIL) return readClassConstructor(cur);
    cur.next();
    if (forms === AFTER_NAME) return readList(cur, BODY, false);
    const expression = forms === EXPRESSION;
    if (cur.is("(")) return readList(cur, ARROW, false);
    if (!cur.isName()) return expression ? null : readMethod(cur); // `*gen()`, `'name'()`, `[key]()`, `#name()`, `42()`
    const word = cur.text;
    if (word === "function") return readAfterFunctionKeyword(cur);
    if (word === "class") return readClassConstructor(cur);
    return readAfterWord(cur, word, 0, expression);
}

// Callers turn CR into LF first (the lexer's line ends); one for one, so offsets stay.
export function withLineFeeds(src) {
    return src.indexOf("\r") < 0 ? src : src.replace(/\r/g, "\n");
}

export function functionParameters(text) {
    return parametersAt(withLineFeeds(String(text)), 0, ANY_FUNCTION);
}

// The list as one text: "name," per parameter, "=" before the comma when optional
// ("a,b=,...rest=,"); null stays null.
export function encodeParameters(params) {
    if (params === null) return null;
    let out = "";
    for (const p of params) out += p.name + (p.optional ? "=," : ",");
    return out;
}
