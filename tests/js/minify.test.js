// The minifier ("压缩") through the program as carried.
import { M, U, check, expectMinified, section, thrown } from "./harness.js";

section("minify: contract");
check("empty", M.jsmin("", "", 2), "");
check("two statements, leading line feed", M.jsmin("", "var a = 1;\nvar b = a + 2;\n", 2), "\nvar a=1;var b=a+2;");
check("header comment", M.jsmin("hdr", "a;", 2), "hdr\n\na;");
check("ret holds the last result", M.ret, "hdr\n\na;");
check("sizes", [M.jsmin.oldSize, M.jsmin.newSize].join(), "2,3");
check("has", M.eval("\"abc\".has(\"b\") && !\"abc\".has(\"d\")"), true);
check("level 1 keeps line breaks", M.jsmin("", "a = 1\n\n+\nb", 1), "\na=1\n+\nb");

section("minify: spacing and line breaks");
expectMinified("// c\n/* d */\nif (a) b();", "if(a)b();");
expectMinified("'use strict';\nx()", "'use strict';x()");
// "5.else" and "1.in" are not numbers followed by a word (fuzz finding); the line break
// after "5." ends the statement and stays.
expectMinified("if (a) x **= 5.\nelse y = 1.\nin z", "if(a)x**=5.\nelse y=1.\nin z");
expectMinified("a = 5. ;b = 1.e3 in c", "a=5.;b=1.e3 in c");
expectMinified("a = 5.\nb()", "a=5.\nb()");
expectMinified("a + +b; a - -b; a + ++b; a++ + b; x = y / /re/.source", "a+ +b;a- -b;a+ ++b;a++ +b;x=y/ /re/.source");
expectMinified("return\nx\na\n++b\nc\n!d\ne\n'f'", "return\nx\na\n++b\nc\n!d\ne\n'f'");
expectMinified("return /a b/.test(s)", "return/a b/.test(s)");
expectMinified("x = /[/ ]/", "x=/[/ ]/");
expectMinified("x = `a  ${ `b ${ '}' }` }  c`", "x=`a  ${ `b ${ '}' }` }  c`");
expectMinified("x = 'a\tb'", "x='a\tb'");
expectMinified("a /*\n*/ b", "a\nb");
expectMinified("x = /a/ in y", "x=/a/ in y");
expectMinified("a\u0001b \u0002 c", "a b c");
// found by the fuzz harness
expectMinified("var r = a-- / 2 / 3", "var r=a--/2/3");
expectMinified("t = `${ a-- / 2 }` / 1", "t=`${ a-- / 2 }`/1");
expectMinified("x = of / 2 / 3", "x=of/2/3");
expectMinified("for (x of /a b/g) f()", "for(x of/a b/g)f()");
expectMinified("a = 5. in b", "a=5. in b");
expectMinified("a = 5.\nb", "a=5.\nb");
expectMinified("a\n`t`", "a\n`t`");

section("minify: errors");
check("unterminated comment", thrown(() => M.jsmin("", "a /* b", 2)), "Error: Unterminated comment.");
check("unterminated string", thrown(() => M.jsmin("", "a = 'b\nc'", 2)), "Error: unterminated string literal: \n");
check("unterminated regex", thrown(() => M.jsmin("", "a = /b\n", 2)), "Error: unterminated Regular Expression literal");
check("unterminated template", thrown(() => M.jsmin("", "a = `b", 2)), "Error: unterminated template literal");
check("string open in a template", thrown(() => M.jsmin("", "a = `${ 'b\n` }`", 2)),
    "Error: unterminated string literal: \n");

section("unpacker");
check("packer detect with spaces", U.P_A_C_K_E_R.detect(" Eval (Function (p"), true);
check("packer detect outer parens", U.P_A_C_K_E_R.detect("eval((function("), true);
check("packer detect tab", U.P_A_C_K_E_R.detect("eval\t(function("), false);
check("escaped detect", U.EscapedBookmarklet.detect("a%20b"), true);
check("escaped needs no space", U.EscapedBookmarklet.detect("a%20 b"), false);
check("obfuscator detect", U.JavascriptObfuscator.detect("var _0x1f = [\"a\"];"), true);
check("obfuscator detect lower case only", U.JavascriptObfuscator.detect("var _0x1F=[\"a\"];"), false);
check("smart split", JSON.stringify(U.JavascriptObfuscator._smart_split('"a", "b\\"c",""')),
    JSON.stringify(['"a"', '"b\\"c"', '""']));
check("string value", U.JavascriptObfuscator._string_value('"\\x41\\u{1F600}\\101\\\nb\\q"'), "A\u{1F600}Abq");
check("string value refuses a bad escape", U.JavascriptObfuscator._string_value('"\\x4"'), null);
check("trim comments", U.trim_leading_comments("// a\n  // b\n\t code // c\n"), "code // c\n");
check("call end after a division and a regex", U.P_A_C_K_E_R._call_end("eval(f(a-- / 2, /)/))x"), 21);
check("call end not certain", U.P_A_C_K_E_R._call_end("eval(f('a\n'))"), -1);
check("backslash escape keeps its value", U.unpacker_filter('var _0xa=["a\\x5cn","\\x24&"];x=_0xa[0]+_0xa[1]'),
    "x='a\\\\n'+'$&'");
check("not all strings: left alone", U.unpacker_filter("var _0xa=[\"a\",b];x=_0xa[0]"), "var _0xa=[\"a\",b];x=_0xa[0]");
check("identifier boundary", U.unpacker_filter('var _0xa=["v"];y=x_0xa[0]+_0xa[0]+o._0xa[0]'),
    "y=x_0xa[0]+'v'+o._0xa[0]");
check("broken packed code unchanged", U.unpacker_filter("eval(function(p){return p}('x'"), "eval(function(p){return p}('x'");
check("non-string result unchanged", U.unpacker_filter("eval(function(p){return 5}(1))"), "eval(function(p){return 5}(1))");
check("plain code unchanged", U.unpacker_filter("  var a = 1;"), "  var a = 1;");
check("escaped then packed", U.unpacker_filter(escape("eval(function(p){return p}('ok=1'))")), "ok=1");
const before = Object.getOwnPropertyNames(createRealm("")).sort();
check("unpacker globals", Object.getOwnPropertyNames(U).filter((n) => before.indexOf(n) < 0).sort().join(","),
    "EscapedBookmarklet,JavascriptObfuscator,P_A_C_K_E_R,trim_leading_comments,unpacked_source,unpacker_filter");
