// The lexer: tokens as "kind:text", the regular expression against division first
// (every case here was once read wrongly by one of the scanners it replaced).
import { tokenList, knownWord, punctText, punctLength } from "../../src/tools/scripts/lex.js";
import { check, section } from "./harness.js";

function expectTokens(input, tokens) {
    check(JSON.stringify(input), tokenList(input).join(" | "), tokens.join(" | "));
}

section("lexer: regular expression or division");
expectTokens("a-- / 2 / 3", ["word:a", "punct:--", "punct:/", "num:2", "punct:/", "num:3"]);
expectTokens("x = a++ /b/g", ["word:x", "punct:=", "word:a", "punct:++", "punct:/", "word:b", "punct:/", "word:g"]);
expectTokens("if (a) /b/.test(c)", ["word:if", "punct:(", "word:a", "punct:)", "re:/b/", "punct:.", "word:test",
    "punct:(", "word:c", "punct:)"]);
expectTokens("(a) / b / c", ["punct:(", "word:a", "punct:)", "punct:/", "word:b", "punct:/", "word:c"]);
expectTokens("x[0] / 2 / y", ["word:x", "punct:[", "num:0", "punct:]", "punct:/", "num:2", "punct:/", "word:y"]);
expectTokens("return /a b/", ["word:return", "re:/a b/"]);
expectTokens("typeof /x/", ["word:typeof", "re:/x/"]);
expectTokens("a.return / 2 / b", ["word:a", "punct:.", "word:return", "punct:/", "num:2", "punct:/", "word:b"]);
expectTokens("let / 2 / x", ["word:let", "punct:/", "num:2", "punct:/", "word:x"]);
expectTokens("of / 2 / x", ["word:of", "punct:/", "num:2", "punct:/", "word:x"]);
expectTokens("for (x of /a/g);", ["word:for", "punct:(", "word:x", "word:of", "re:/a/g", "punct:)", "punct:;"]);
expectTokens("for (k in of / 2 / x);", ["word:for", "punct:(", "word:k", "word:in", "word:of", "punct:/", "num:2",
    "punct:/", "word:x", "punct:)", "punct:;"]);
expectTokens("yield /re/", ["word:yield", "re:/re/"]);
expectTokens("{} /re/", ["punct:{", "punct:}", "re:/re/"]);
expectTokens("x = {} / 2 / y", ["word:x", "punct:=", "punct:{", "punct:}", "punct:/", "num:2", "punct:/", "word:y"]);
expectTokens("x = /[/]+/g", ["word:x", "punct:=", "re:/[/]+/g"]);
expectTokens("a = b / c\n/d/", ["word:a", "punct:=", "word:b", "punct:/", "word:c", "punct:/", "word:d", "punct:/"]);
expectTokens("a = /b\nc", ["word:a", "punct:=", "punct:/", "word:b", "word:c"]);

section("lexer: templates");
expectTokens("`a${ `b${ '}' }` }c` / 2", ["tpl:`a${ `b${ '}' }` }c`", "punct:/", "num:2"]);
expectTokens("`${ a-- / 2 }` + `${ {}.x / 2 }`", ["tpl:`${ a-- / 2 }`", "punct:+", "tpl:`${ {}.x / 2 }`"]);
expectTokens("`${ /}/ }`", ["tpl:`${ /}/ }`"]);
expectTokens("`a\\`b` c", ["tpl:`a\\`b`", "word:c"]);
expectTokens("`open ${ x", ["tpl:`open ${ x"]);

section("lexer: literals, names, punctuators");
expectTokens("1_000n 0xFF_FF .5e-3 1..x 5.in", ["num:1_000n", "num:0xFF_FF", "num:.5e-3", "num:1.", "punct:.",
    "word:x", "num:5.in"]);
expectTokens("'a\\'b' \"c\" 'open\nx", ["str:'a\\'b'", "str:\"c\"", "str:'open", "word:x"]);
expectTokens("a >>>= b ?? c?.d ?.5 : e", ["word:a", "punct:>>>=", "word:b", "punct:??", "word:c", "punct:?.",
    "word:d", "punct:?", "num:.5", "punct::", "word:e"]);
expectTokens("x => ...y **= z", ["word:x", "punct:=>", "punct:...", "word:y", "punct:**=", "word:z"]);
expectTokens("#x \\u0061b 名字 a\\u{62}", ["word:#x", "word:\\u0061b", "word:名字", "word:a\\u{62}"]);
expectTokens("a @ b", ["word:a", "other:@", "word:b"]);

section("lexer: comments and line ends");
expectTokens("a // c\u2028b", ["word:a", "line:// c", "word:b"]);
expectTokens("a /* c */ b /* open", ["word:a", "block:/* c */", "word:b", "block:/* open"]);
expectTokens("#!/bin/x\ny", ["line:#!/bin/x", "word:y"]);
expectTokens("x = a <!-- c\n--> d\ny", ["word:x", "punct:=", "word:a", "line:<!-- c", "line:--> d", "word:y"]);
expectTokens("a --> b", ["word:a", "punct:--", "punct:>", "word:b"]);
expectTokens("/*\n*/ --> c\nd", ["block:/*\n*/", "line:--> c", "word:d"]);

// The shared texts stand for exactly the source's characters: a near miss (same length,
// same first and last letters) is no keyword, and every punctuator reads as itself.
section("lexer: known words and punctuators by their characters");
for (const [text, word] of [["case", "case"], ["cave", null], ["else", "else"], ["elze", null], ["this", "this"],
    ["thus", null], ["instanceof", "instanceof"], ["instanceOf", null], ["of", "of"], ["os", null], ["i", null],
    ["function", "function"], ["functiom", null], ["async", "async"], ["yield", "yield"], ["yields", null],
    ["\\u0069f", null], ["If", null], ["constructor", null], ["名字", null]]) {
    check("knownWord " + text, knownWord(" " + text + " ", 1, text.length + 1), word);
}
for (const p of ["=>", "==", "!=", "<=", ">=", "++", "--", "+=", "-=", "*=", "/=", "%=", "&=", "|=", "^=", "&&",
    "||", "??", "?.", "**", "<<", ">>", "===", "!==", "**=", "<<=", ">>=", ">>>", "&&=", "||=", "??=", "...",
    ">>>=", "(", ")", "{", "}", "[", "]", ";", ",", "<", ">", "+", "-", "*", "/", "%", "&", "|", "^", "!", "~",
    "?", ":", "=", "."]) {
    const src = "a " + p + " b";
    check("punctuator " + p, [punctLength(src, 2), punctText(src, 2, 2 + p.length)].join(" "), p.length + " " + p);
}
