// Script layout for the "格式化" button.
//
// format(source) re-lays out a script: 4-space indentation, braces on the
// line of their statement, one statement per line, spaced operators.  Only
// the white space between tokens changes.  Strings, templates, regular
// expressions and comments are copied character for character, line breaks
// that automatic semicolon insertion depends on are kept, and input the
// scanner does not understand is copied as it stands.
//
// Output contract: lines are joined by "\n" and every line after the first
// starts with four extra spaces; the caller turns each "\n    " into CR LF.

import { Lexer, EOF, WORD, NUM, STR, TPL, RE, PUNCT, LINE_COMMENT, BLOCK_COMMENT, OTHER, isSpace, isLineBreak,
    isIdPart, isIdStart, knownWord, punctText } from "./lex.js";

export function format(source, unused1, unused2, unused3, unused4) {
    "use strict";
    if (source === undefined || source === null) return "";
    var text = String(source);
    if (text.indexOf("\r") !== -1) text = text.replace(/\r\n?/g, "\n");
    if (text === "") return "";
    try {
        return format.layout(text);
    } catch (e) {
        // Deep nesting can exhaust the stack. The caller must hear that the layout failed:
        // the text handed back unchanged would pass for a formatted one.
        if (e instanceof RangeError) throw new Error("代码嵌套过深，无法排版");
        throw e;
    }
}

format.layout = (function () {
    "use strict";

    function setOf(words) {
        var s = Object.create(null), list = words.split(" ");
        for (var i = 0; i < list.length; i++) s[list[i]] = true;
        return s;
    }
    var KEYWORD = setOf("break case catch class const continue debugger default delete do else " +
        "enum export extends false finally for function if import in instanceof let new null of " +
        "return super switch this throw true try typeof var void while with yield await");
    var VALUE = setOf("this super null true false");
    var CTRL = setOf("if for while switch catch with");
    var RESTRICTED = setOf("return break continue throw yield debugger");
    var CALLABLE = setOf("this super import");
    var MODIFIER = setOf("get set static async");
    var STMT_BODY = setOf("else do try finally catch");

    // token kinds (the lexer's)
    var LCOM = LINE_COMMENT, BCOM = BLOCK_COMMENT;
    // frame kinds
    var BLOCK = 1, SWITCH = 2, CLASS = 3, OBJECT = 4, PAREN = 5, BRACKET = 6;
    // what a closing brace ends
    var K_STMT = 1, K_EXPR = 2, K_MEMBER = 3;
    // colon roles
    var C_KEY = 1, C_TERNARY = 2, C_CASE = 3, C_LABEL = 4;

    var CHUNK = 16384;
    // Levels of indentation written, summed over the lines, past which the pieces are no
    // longer joined as the layout goes: only code nested thousands deep gets there, and
    // its text (quadratic in the depth) is then refused by the one join at the end before
    // it is built, as a layout too deep (a joined chunk would be built first).
    var CHUNK_INDENT = 1 << 22;
    // A line break with the caller's base indent and n levels of indentation.
    var BREAK = ["\n    "];
    function lineBreak(n) {
        while (BREAK.length <= n) BREAK.push(BREAK[BREAK.length - 1] + "    ");
        return BREAK[n];
    }
    // Line breaks inside a token (templates, comments, string continuations) get the
    // base indent too: the caller turns every "\n    " back into a line end.
    function withBaseIndent(text) {
        return text.indexOf("\n") < 0 ? text : text.replaceAll("\n", "\n    ");
    }

    return function layout(src) {
        var len = src.length, pos = 0;
        var tType = EOF, tStart = 0, tNl = 0, tSp = false;

        var lx = new Lexer(src);
        function scan(reOk) {
            tType = lx.scan(reOk);
            tStart = lx.start;
            tNl = lx.nl;
            tSp = lx.space;
            pos = lx.pos;
        }

        // ---- printer state -------------------------------------------------
        // The output in pieces (mostly slices of the source); every CHUNK pieces are joined
        // into one text, so that the slices can be collected while the layout goes on.
        var out = [], done = [], indented = 0;
        // Tokens written as they stand, with the same white space between them as in the
        // source, go out as one slice of it: [runStart, runEnd) is the part not yet in out
        // (NO_RUN after a line break, which never matches the source's).
        var NO_RUN = -2, runStart = NO_RUN, runEnd = NO_RUN;
        var hasOut = false, atLineStart = true, lineIndent = 0;
        var top = { t: BLOCK, outer: 0, inner: 0, kind: K_STMT, ternary: 0, caseOpen: false, val: false,
            ctrl: null, fn: false, fnExpr: false, method: false, isDo: false, pendingDo: 0 };
        var stack = [top];
        // [pStart, pEnd): where the previous token is in the source
        var pType = EOF, pText = "", pStart = 0, pEnd = 0, pKw = false, pUnary = false, pGen = 0, pModifier = false;
        var reOk = true, stmtStart = true, stmtEnded = true, memberStart = false, restricted = false;
        var wordAtStmtStart = false, asyncAtStmtStart = false;
        var pendingNl = 0, mustNl = false, afterComment = false, commentSincePrev = false;
        // `do ... while (x)` has just closed: a ";" right after it on the same line is its own.
        var doWhileClosed = false, ownSemicolon = false;
        var lastParen = null, lastClosedKind = K_STMT, lastClosedDo = false;
        var fnPending = -1, fnPendingExpr = false, classPending = -1, classPendingExpr = false;
        var ctrlPending = -1, ctrlWord = null, doPending = false;

        function blockish(f) {
            return f.t <= CLASS;
        }
        function push(t, kind) {
            var f = { t: t, outer: lineIndent, inner: lineIndent + 1, kind: kind, ternary: 0, caseOpen: false,
                val: false, ctrl: null, fn: false, fnExpr: false, method: false, isDo: false, pendingDo: 0 };
            stack.push(f);
            top = f;
            return f;
        }
        function pop() {
            var f = stack.pop();
            top = stack[stack.length - 1];
            return f;
        }
        // Index of the frame a closer ends, or -1 for a stray closer.
        function findOpener(t) {
            for (var i = stack.length - 1; i > 0; i--) {
                var ft = stack[i].t;
                if (t === PAREN || t === BRACKET) {
                    if (ft === t) return i;
                    if (ft !== PAREN && ft !== BRACKET) return -1;
                } else if (ft !== PAREN && ft !== BRACKET) {
                    return i;
                }
            }
            return -1;
        }
        function lineIndentFor(isCase) {
            var f = top, ind = f.inner;
            if (f.t === SWITCH && !isCase) ind++;
            if (f.t === CLASS) {
                if (!memberStart) ind++;
            } else if (f.t === OBJECT) {
                if (!memberStart) ind++;
            } else if (blockish(f)) {
                if (!stmtEnded) ind++;
            }
            return ind;
        }
        function flushRun() {
            if (runEnd > runStart) out.push(src.slice(runStart, runEnd));
        }
        // Writes the token at [start, end) after one space (spaced) or none; piece is its
        // text when that differs from the source's, else null.
        function put(spaced, start, end, piece) {
            if (spaced ? start !== runEnd + 1 || src.charCodeAt(runEnd) !== 32 : start !== runEnd) {
                flushRun();
                if (spaced) out.push(" ");
                runStart = start;
            }
            if (piece === null) {
                runEnd = end;
            } else {
                runEnd = start;
                flushRun();
                out.push(piece);
                runStart = runEnd = end;
            }
        }
        function newline(count, ind) {
            flushRun();
            runStart = runEnd = NO_RUN;
            if (count > 1) out.push("\n    ");
            out.push(lineBreak(ind));
            indented += ind;
            lineIndent = ind;
            atLineStart = true;
        }
        // A line break after a finished expression ends the statement when
        // the next token cannot continue it.
        function lineBreakMayEnd() {
            return pType !== EOF && (!reOk || restricted) && !afterDot();
        }
        function startsStatement(type, text) {
            if (type === WORD) return !(text === "in" || text === "instanceof" || text === "of");
            if (type === PUNCT) {
                return text === "{" || text === "++" || text === "--" || text === "!" || text === "~" ||
                    text === ";" || text === "#" || (text === "[" && top.t === CLASS);
            }
            return type === NUM || type === STR || type === OTHER;
        }
        function endByLineBreak() {
            if (top.t === CLASS) {
                memberStart = true;
                top.val = false;
            } else if (blockish(top)) {
                stmtStart = true;
                stmtEnded = true;
            }
        }
        // Comments on their own lines between a statement without a semicolon
        // and what follows: whether the statement ended is decided by the first
        // token after them, so look at it now; the end of the text and a
        // closing brace end the statement too.  The answer is kept for the
        // rest of a run of comments.
        var aheadEnd = -1, aheadEnds = false;
        function commentEndsStatement() {
            if (tStart >= aheadEnd) {
                var saved = lx.save(), savedType = tType, savedStart = tStart, savedNl = tNl, savedSp = tSp;
                do scan(reOk); while (tType === LCOM || tType === BCOM);
                aheadEnds = tType === EOF || (tType === PUNCT && src.charCodeAt(tStart) === 125) ||
                    startsStatement(tType, src.slice(tStart, pos));
                aheadEnd = tStart;
                lx.restore(saved);
                pos = lx.pos; tType = savedType; tStart = savedStart; tNl = savedNl; tSp = savedSp;
            }
            return aheadEnds;
        }
        function emitComment(text) {
            var own = tNl > 0 || atLineStart || mustNl, spaced = false;
            if (own && hasOut && lineBreakMayEnd() && commentEndsStatement()) endByLineBreak();
            if (!hasOut) {
                lineIndent = 0;
            } else if (own) {
                var n = Math.max(tNl > 1 ? 2 : tNl, pendingNl, 1);
                newline(n, lineIndentFor(false));
                pendingNl = 0;
                mustNl = false;
            } else {
                spaced = !(pType === PUNCT && (pText === "(" || pText === "[") && !afterComment);
            }
            put(spaced, tStart, pos, tType === BCOM && text.indexOf("\n") >= 0 ? withBaseIndent(text) : null);
            hasOut = true;
            atLineStart = false;
            afterComment = true;
            commentSincePrev = true;
            if (tType === LCOM) mustNl = true;
        }

        // "of" is a keyword only in a for head, right after the binding (a name, or the
        // end of a pattern): in "for (k in of / 2)" it is a plain name.
        function ofInForHead() {
            return top.t === PAREN && top.ctrl === "for" &&
                ((pType === WORD && !pKw) || (pType === PUNCT && (pText === "]" || pText === "}")));
        }
        // "let" declares only before a name or a pattern; elsewhere (let = 1,
        // let / 2) it is a plain name, after which a slash divides.
        function letDeclares() {
            var p = pos, c;
            while (p < len && (isSpace(c = src.charCodeAt(p)) || isLineBreak(c))) p++;
            return c === 91 || c === 123 || c === 92 || isIdStart(c);
        }

        // ---- main loop -----------------------------------------------------
        for (;;) {
            if (out.length >= CHUNK && indented < CHUNK_INDENT) {
                done.push(out.join(""));
                out.length = 0;
            }
            scan(reOk);
            if (tType === EOF) break;
            var known = tType === WORD ? knownWord(src, tStart, pos) : null;
            // Other names, numbers and regular expressions are written from the source and
            // asked about by their characters: their text is left empty.
            var text = known !== null ? known : tType === PUNCT ? punctText(src, tStart, pos) :
                tType === WORD || tType === NUM || tType === RE ? "" : src.slice(tStart, pos);
            if (tType === LCOM || tType === BCOM) {
                emitComment(text);
                continue;
            }
            var type = tType, nl = tNl > 1 ? 2 : tNl;
            var isPunct = type === PUNCT;
            var inObjOrClass = top.t === OBJECT || top.t === CLASS;

            if (nl > 0 && lineBreakMayEnd() && startsStatement(type, text)) endByLineBreak();

            var kw = false;
            if (type === WORD) {
                kw = known !== null && KEYWORD[text] === true && !afterDot() && !(memberStart && inObjOrClass) &&
                    !(text === "of" && !ofInForHead()) &&
                    !(text === "let" && !letDeclares());
            }
            if (ctrlPending >= 0 && !(isPunct && text === "(") && !(kw && text === "await")) ctrlPending = -1;

            var want = nl > pendingNl ? nl : pendingNl;
            ownSemicolon = doWhileClosed && isPunct && text === ";" && nl === 0;
            doWhileClosed = false;
            if (ownSemicolon) want = 0;
            var space = false, isCase = false, closer = null, colon = 0, unary = false;
            var open = 0, openKind = 0, openBody = false, doWhile = false;

            if (isPunct) {
                switch (text) {
                    case "{":
                        classifyBrace();
                        open = brType;
                        openKind = brKind;
                        openBody = brBody;
                        if (openBody) want = 0;
                        break;
                    case "}":
                        var bi = findOpener(BLOCK);
                        if (bi > 0) {
                            closer = stack[bi];
                            var empty = pType === PUNCT && pText === "{" && !commentSincePrev &&
                                stack.length - 1 === bi;
                            want = empty ? 0 : Math.max(want, 1);
                        }
                        break;
                    case ")":
                    case "]":
                        var pi = findOpener(text === ")" ? PAREN : BRACKET);
                        if (pi > 0) closer = stack[pi];
                        break;
                    case ":":
                        if (top.t === OBJECT && top.ternary === 0) colon = C_KEY;
                        else if (top.ternary > 0) { colon = C_TERNARY; top.ternary--; }
                        else if (blockish(top) && top.caseOpen) colon = C_CASE;
                        else if (blockish(top) && pType === WORD && wordAtStmtStart) colon = C_LABEL;
                        else colon = C_TERNARY;
                        break;
                    case "++":
                    case "--":
                        unary = reOk || nl > 0;
                        break;
                    case "+":
                    case "-":
                    case "!":
                    case "~":
                        unary = reOk;
                        break;
                }
            } else if (kw) {
                if ((text === "else" || text === "catch" || text === "finally") && pType === PUNCT &&
                    pText === "}" && lastClosedKind === K_STMT) {
                    want = 0;
                } else if (text === "while" && pType === PUNCT && pText === "}" && lastClosedDo) {
                    want = 0;
                    doWhile = true;
                } else if (text === "while" && stmtStart && top.pendingDo > 0) {
                    doWhile = true; // do statement; while (...)
                }
                if ((text === "case" || text === "default") && top.t === SWITCH && stmtStart) isCase = true;
            }
            if (mustNl && want === 0) want = 1;

            // ---- white space before the token ----
            if (!hasOut) {
                lineIndent = 0;
            } else if (want > 0) {
                newline(want, closer !== null ? closer.outer : lineIndentFor(isCase));
            } else if (!atLineStart) {
                space = wantSpace(type, text, kw, colon, unary);
                if (!space) space = glued();
            }
            put(space, tStart, pos, (type === STR || type === TPL) && text.indexOf("\n") >= 0 ?
                withBaseIndent(text) : null);
            hasOut = true;
            atLineStart = false;
            pendingNl = 0;
            mustNl = false;
            afterComment = false;
            commentSincePrev = false;

            // ---- effect of the token on the structure ----
            var gen = 0, modifier = false, wasStmtStart = stmtStart;
            restricted = false;
            if (type === WORD) {
                if (kw) {
                    reOk = VALUE[text] !== true;
                    restricted = RESTRICTED[text] === true;
                    if (CTRL[text] === true) {
                        ctrlPending = stack.length;
                        ctrlWord = doWhile ? "dowhile" : text;
                    }
                    if (text === "function") {
                        fnPending = stack.length;
                        fnPendingExpr = !(stmtStart || (pType === WORD && pText === "async" && asyncAtStmtStart));
                    } else if (text === "class") {
                        classPending = stack.length;
                        classPendingExpr = !stmtStart;
                    } else if (text === "do") {
                        doPending = true;
                        top.pendingDo++;
                    }
                    if (doWhile && top.pendingDo > 0) top.pendingDo--;
                    if (isCase) top.caseOpen = true;
                    stmtStart = STMT_BODY[text] === true;
                } else {
                    reOk = false;
                    if (inObjOrClass && memberStart && known !== null && MODIFIER[text] === true) modifier = true;
                    stmtStart = false;
                }
                asyncAtStmtStart = text === "async" && wasStmtStart;
                wordAtStmtStart = wasStmtStart;
                stmtEnded = false;
                if (!modifier) memberStart = false;
            } else if (isPunct) {
                effectOfPunct(text, nl, unary, colon, open, openKind, closer);
                if (text === "*" && pGenStar()) {
                    gen = pType === WORD && pText === "function" ? 1 : pType === WORD && pText === "yield" ? 2 : 3;
                    if (gen === 3) memberStart = true;
                }
            } else {
                reOk = type === OTHER;
                stmtStart = false;
                stmtEnded = false;
                memberStart = false;
            }
            pType = type;
            pText = text;
            pStart = tStart;
            pEnd = pos;
            pKw = kw;
            pUnary = unary;
            pGen = gen;
            pModifier = modifier;
        }
        flushRun();
        if (done.length === 0) return out.join("");
        done.push(out.join(""));
        return done.join("");

        // ---- helpers that read the printer state ----
        function afterDot() {
            return pType === PUNCT && (pText === "." || pText === "?.");
        }
        function pGenStar() {
            if (pType === WORD) return pText === "function" || (pText === "yield" && pKw) || pModifier;
            if (pType === PUNCT) return (top.t === OBJECT || top.t === CLASS) && memberStartBefore;
            return false;
        }

        var brType, brKind, brBody, memberStartBefore;
        function classifyBrace() {
            brBody = true;
            if (classPending === stack.length) {
                brType = CLASS;
                brKind = classPendingExpr ? K_EXPR : K_STMT;
                return;
            }
            if (pType === PUNCT && pText === ")" && lastParen !== null) {
                var lp = lastParen;
                brType = BLOCK;
                if (lp.ctrl !== null) {
                    brType = lp.ctrl === "switch" ? SWITCH : BLOCK;
                    brKind = K_STMT;
                } else if (lp.fn) {
                    brKind = lp.fnExpr ? K_EXPR : K_STMT;
                } else if (lp.method) {
                    brKind = top.t === CLASS ? K_MEMBER : K_EXPR;
                } else {
                    brBody = false;
                    brKind = tNl > 0 && blockish(top) ? K_STMT : K_EXPR;
                }
                return;
            }
            if (pType === PUNCT && pText === "=>") {
                brType = BLOCK;
                brKind = K_EXPR;
                return;
            }
            if (pType === WORD && pKw && STMT_BODY[pText] === true) {
                brType = BLOCK;
                brKind = K_STMT;
                return;
            }
            if (pType === WORD && top.t === CLASS && pText === "static" && pModifier) {
                brType = BLOCK;
                brKind = K_MEMBER;
                return;
            }
            brBody = false;
            if (stmtStart && blockish(top) && top.t !== CLASS) {
                brType = BLOCK;
                brKind = K_STMT;
            } else {
                brType = OBJECT;
                brKind = K_EXPR;
            }
        }

        function effectOfPunct(text, nl, unary, colon, open, openKind, closer) {
            memberStartBefore = memberStart;
            var wasMember = memberStart;
            memberStart = false;
            switch (text) {
                case "{":
                    if (classPending === stack.length) classPending = -1;
                    if (open === OBJECT || open === CLASS) {
                        var f = push(open, openKind);
                        memberStart = true;
                    } else {
                        f = push(open, openKind);
                        stmtStart = true;
                        stmtEnded = true;
                        if (doPending && pType === WORD && pText === "do") f.isDo = true;
                    }
                    doPending = false;
                    pendingNl = 1;
                    reOk = true;
                    return;
                case "}":
                    if (closer === null) {
                        reOk = true;
                        stmtStart = stmtEnded = blockish(top);
                        lastClosedKind = K_STMT;
                        lastClosedDo = false;
                        return;
                    }
                    while (pop() !== closer) { /* unbalanced parens inside */ }
                    lastClosedKind = closer.kind;
                    lastClosedDo = closer.isDo;
                    if (closer.kind === K_EXPR) {
                        reOk = false;
                        stmtStart = stmtEnded = false;
                    } else {
                        reOk = true;
                        pendingNl = 1;
                        if (top.t === CLASS) {
                            memberStart = true;
                            top.val = false;
                        } else {
                            stmtStart = stmtEnded = true;
                        }
                    }
                    return;
                case "(":
                case "[":
                    var isFn = text === "(" && fnPending === stack.length;
                    var ctrl = text === "(" && ctrlPending === stack.length ? ctrlWord : null;
                    var method = text === "(" && !isFn && (top.t === CLASS || top.t === OBJECT) && !top.val;
                    var fnExpr = fnPendingExpr;
                    if (isFn) fnPending = -1;
                    ctrlPending = -1;
                    f = push(text === "(" ? PAREN : BRACKET, K_EXPR);
                    f.ctrl = ctrl;
                    f.fn = isFn;
                    f.fnExpr = fnExpr;
                    f.method = method;
                    reOk = true;
                    stmtStart = stmtEnded = false;
                    return;
                case ")":
                case "]":
                    if (closer !== null) {
                        while (pop() !== closer) { /* unbalanced brackets inside */ }
                        if (text === ")") lastParen = closer;
                    } else if (text === ")") {
                        lastParen = null;
                    }
                    if (text === ")" && closer !== null && closer.ctrl === "dowhile") {
                        // do ... while (x) ends its statement even without a semicolon
                        reOk = true;
                        stmtStart = stmtEnded = true;
                        pendingNl = 1;
                        doWhileClosed = true;
                        return;
                    }
                    if (text === ")" && closer !== null && closer.ctrl !== null) {
                        reOk = true;
                        stmtStart = true;
                    } else {
                        reOk = false;
                        stmtStart = false;
                    }
                    stmtEnded = false;
                    return;
                case ";":
                    top.ternary = 0;
                    reOk = true;
                    if (top.t === CLASS) {
                        pendingNl = 1;
                        memberStart = true;
                        top.val = false;
                    } else if (blockish(top)) {
                        // a lone ";" that guards the next line (;[1, 2].map...) stays in front of it
                        if (!stmtEnded || ownSemicolon) pendingNl = 1;
                        stmtStart = stmtEnded = true;
                        top.caseOpen = false;
                        fnPending = classPending = -1;
                    } else {
                        stmtStart = stmtEnded = false;
                    }
                    return;
                case ",":
                    reOk = true;
                    stmtStart = stmtEnded = false;
                    if (top.t === OBJECT) {
                        top.ternary = 0;
                        top.val = false;
                        pendingNl = 1;
                        memberStart = true;
                    }
                    return;
                case ":":
                    reOk = true;
                    if (colon === C_KEY) {
                        top.val = true;
                        stmtStart = stmtEnded = false;
                    } else if (colon === C_CASE) {
                        top.caseOpen = false;
                        pendingNl = 1;
                        stmtStart = stmtEnded = true;
                    } else if (colon === C_LABEL) {
                        stmtStart = stmtEnded = true;
                    } else {
                        stmtStart = stmtEnded = false;
                    }
                    return;
                case "?":
                    top.ternary++;
                    break;
                case "=":
                    if (top.t === CLASS) top.val = true;
                    break;
                case "++":
                case "--":
                    reOk = unary;
                    stmtStart = stmtEnded = false;
                    return;
                case "*":
                    if (wasMember && (top.t === OBJECT || top.t === CLASS)) memberStart = true;
                    break;
            }
            reOk = true;
            stmtStart = stmtEnded = false;
        }

        // Space between the previous token and this one on the same line.
        function wantSpace(t, x, kw, colon, unary) {
            if (afterComment) return !(t === PUNCT && (x === "," || x === ";" || x === ")" || x === "]"));
            var p = pType, px = pText;
            if (t === OTHER || p === OTHER) return tSp;
            if (t === PUNCT) {
                switch (x) {
                    case ")": case "]": case ",": case ";": case ".": case "?.":
                        return false;
                    case ":":
                        return colon === C_TERNARY;
                    case "++": case "--":
                        if (!unary) return false;
                        break;
                    case "(": case "[":
                        if (p === WORD) {
                            if (pModifier) return x === "[";
                            if (pKw) return CALLABLE[px] !== true;
                            return x === "(" && px === "async";
                        }
                        if (p === PUNCT) {
                            if (px === ")") return lastParen !== null && lastParen.ctrl !== null;
                            if (px === "]") return false;
                            if (px === "}") return lastClosedKind !== K_EXPR;
                            if (px === "*") return pGen === 1 || pGen === 2;
                            break;
                        }
                        return false;
                    case "{":
                        if (p === PUNCT && (px === "(" || px === "[" || px === "..." || px === "!" || px === "~" ||
                            px === "." || pUnary)) return false;
                        return true;
                    case "*":
                        if (p === WORD && (px === "function" || px === "yield") && pKw) return false;
                        break;
                }
            }
            if (t === TPL) {
                if (p === WORD) return pKw && VALUE[px] !== true;
                if (p === PUNCT && (px === ")" || px === "]")) return false;
                if (p === PUNCT && px === "}" && lastClosedKind === K_EXPR) return false;
            }
            if (p === PUNCT) {
                switch (px) {
                    case "(": case "[": case "{": case ".": case "?.": case "...": case "!": case "~":
                        return false;
                    case "++": case "--": case "+": case "-":
                        return !pUnary;
                    case "*":
                        return pGen !== 3;
                    case ";":
                        return !blockish(top);
                }
                return true;
            }
            return true;
        }

        // True when writing the token right after the previous one would merge them.
        function glued() {
            var a = src.charCodeAt(pEnd - 1), b = src.charCodeAt(tStart);
            if ((isIdPart(a) || a === 92) && (isIdPart(b) || b === 92 || b === 35)) return true;
            if ((a === 43 || a === 45) && b === a) return true;
            if (a === 47 && (b === 47 || b === 42)) return true;
            if (pType === NUM && b === 46 && /^[0-9_]+$/.test(src.slice(pStart, pEnd))) return true;
            if (a === 60 && b === 33) return true;
            return false;
        }
    };
})();
