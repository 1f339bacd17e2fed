// Dev check of single behaviours of the three carried scripts:
//   jsc bench/jsdev/unit.js   (from the repository root)
var DIR = "src/tools/scripts/";
var failures = 0, checks = 0;
function eq(what, got, want) {
    checks++;
    if (got !== want) {
        failures++;
        print("FAIL " + what + "\n    got  " + JSON.stringify(got) + "\n    want " + JSON.stringify(want));
    }
}
function realmWith(file) {
    var r = $.createRealm();
    r.evalScript(readFile(DIR + file));
    return r.global;
}
var B = realmWith("beautifier.js"), M = realmWith("jsmin.js"), U = realmWith("unpacker.js");
function fmt(s) { return B.format(s, "", "", "", "").split("\n    ").join("\r\n"); }
function thrown(f) { try { f(); return "no error"; } catch (e) { return e; } }

// ---- beautifier: output contract with the editor ----
eq("empty input", B.format("", "", "", "", ""), "");
eq("base indent on every line", B.format("if(a){b()}", "", "", "", ""), "if (a) {\n        b()\n    }");
eq("template lines keep their value", fmt("var t=`a\n  b\r\nc`;"), "var t = `a\r\n  b\r\nc`;");
eq("blank lines collapse to one", fmt("a();\n\n\n\nb();"), "a();\r\n\r\nb();");
eq("no trailing blank lines", fmt("a();\n\n\n"), "a();");
eq("string continuation survives", fmt('x="a\\\r\nb"'), 'x = "a\\\r\nb"');
// ---- beautifier: layout ----
eq("else joins the brace", fmt("if(a){b()}\nelse{c()}"), "if (a) {\r\n    b()\r\n} else {\r\n    c()\r\n}");
eq("anonymous and named functions", fmt("f=function(){};function g(a,b){}"),
    "f = function () {};\r\nfunction g(a, b) {}");
eq("for header", fmt("for(var i=0;i<n;i++)x+=i"), "for (var i = 0; i < n; i++) x += i");
eq("object one property per line", fmt("o={a:1,b:[1,2]}"), "o = {\r\n    a: 1,\r\n    b: [1, 2]\r\n}");
eq("switch", fmt("switch(x){case 1:a();break;default:b()}"),
    "switch (x) {\r\n    case 1:\r\n        a();\r\n        break;\r\n    default:\r\n        b()\r\n}");
eq("return keeps its line break", fmt("function f(){return\nx}"), "function f() {\r\n    return\r\n    x\r\n}");
eq("postfix line break kept", fmt("a\n++b"), "a\r\n++b");
eq("unary signs never merge", fmt("a+ +b- -c+ ++d"), "a + +b - -c + ++d");
eq("integer before dot", fmt("1 .toString()+1..x"), "1 .toString() + 1..x");
eq("regex after if paren", fmt("if(a)/b/.test(c)"), "if (a) /b/.test(c)");
eq("division after paren", fmt("x=(a)/b/c"), "x = (a) / b / c");
eq("regex class with slash", fmt("x=/[/]+/g"), "x = /[/]+/g");
eq("html comment stays a comment", fmt("x=a<!--b\n,c"), "x = a <!--b\r\n    , c");
eq("hashbang", fmt("#!/bin/x\nfoo()"), "#!/bin/x\r\nfoo()");
eq("chinese identifiers", fmt("var 名字='张三';"), "var 名字 = '张三';");
eq("private and static", fmt("class A{static #x=1;get y(){return A.#x}}"),
    "class A {\r\n    static #x = 1;\r\n    get y() {\r\n        return A.#x\r\n    }\r\n}");
eq("arrow and optional chaining", fmt("f=async(a)=>a?.b??c"), "f = async (a) => a?.b ?? c");
eq("line comment stays at line end", fmt("a(); // x\nb()"), "a(); // x\r\nb()");
eq("comment after a statement without semicolon", fmt("x = 1\n// c\ny()"), "x = 1\r\n// c\r\ny()");
eq("comment at the end of a block", fmt("if(a){x=1\n// c\n}"), "if (a) {\r\n    x = 1\r\n    // c\r\n}");
eq("comment before else", fmt("if(a)x=1\n// c\nelse y()"), "if (a) x = 1\r\n// c\r\nelse y()");
eq("comment after return", fmt("function f(){return\n/* c */\n}"), "function f() {\r\n    return\r\n    /* c */\r\n}");
eq("comment inside a continued expression", fmt("x = a\n// c\n+ b"), "x = a\r\n    // c\r\n    + b");
// ---- beautifier: never throws, copies what it cannot read ----
eq("unterminated string", fmt("a = 'abc\nb = 1"), "a = 'abc\r\nb = 1");
eq("unterminated comment", fmt("a(); /* open"), "a(); /* open");
eq("unterminated template", fmt("a = `x ${ y"), "a = `x ${ y");
eq("stray closers", typeof fmt(")]}}) x ((["), "string");
var deep = ""; for (var i = 0; i < 20000; i++) deep += "`${"; 
eq("deep template nesting", typeof fmt(deep), "string");
var noise = ""; var seed = 7;
for (i = 0; i < 20000; i++) { seed = (seed * 1103515245 + 12345) & 0x7fffffff; noise += String.fromCharCode(seed % 300); }
eq("random text does not throw", typeof fmt(noise), "string");
eq("random text is idempotent", fmt(fmt(noise)), fmt(noise));

// ---- minifier ----
eq("empty", M.jsmin("", "", 2), "");
eq("two statements, leading line feed", M.jsmin("", "var a = 1;\nvar b = a + 2;\n", 2), "\nvar a=1;var b=a+2;");
eq("comments first", M.jsmin("", "// c\n/* d */\nif (a) b();", 2), "\nif(a)b();");
eq("no line feed before a quote", M.jsmin("", "'use strict';\nx()", 2), "'use strict';x()");
eq("header comment", M.jsmin("hdr", "a;", 2), "hdr\n\na;");
eq("ret holds the last result", M.ret, "hdr\n\na;");
eq("sizes", [M.jsmin.oldSize, M.jsmin.newSize].join(), "2,3");
eq("has", M.eval("\"abc\".has(\"b\") && !\"abc\".has(\"d\")"), true);
eq("spaces that matter", M.jsmin("", "a + +b; a - -b; a + ++b; a++ + b; x = y / /re/.source", 2),
    "\na+ +b;a- -b;a+ ++b;a++ +b;x=y/ /re/.source");
eq("asi line breaks", M.jsmin("", "return\nx\na\n++b\nc\n!d\ne\n'f'", 2), "\nreturn\nx\na\n++b\nc\n!d\ne\n'f'");
eq("regex after keyword", M.jsmin("", "return /a b/.test(s)", 2), "\nreturn/a b/.test(s)");
eq("regex class", M.jsmin("", "x = /[/ ]/", 2), "\nx=/[/ ]/");
eq("template copied", M.jsmin("", "x = `a  ${ `b ${ '}' }` }  c`", 2), "\nx=`a  ${ `b ${ '}' }` }  c`");
eq("tab inside string kept", M.jsmin("", "x = 'a\tb'", 2), "\nx='a\tb'");
eq("block comment with line break", M.jsmin("", "a /*\n*/ b", 2), "\na\nb");
eq("regex then in", M.jsmin("", "x = /a/ in y", 2), "\nx=/a/ in y");
eq("level 1 keeps line breaks", M.jsmin("", "a = 1\n\n+\nb", 1), "\na=1\n+\nb");
eq("unterminated comment", thrown(function () { M.jsmin("", "a /* b", 2); }), "Error: Unterminated comment.");
eq("unterminated string", thrown(function () { M.jsmin("", "a = 'b\nc'", 2); }),
    "Error: unterminated string literal: \n");
eq("unterminated regex", thrown(function () { M.jsmin("", "a = /b\n", 2); }),
    "Error: unterminated Regular Expression literal");
eq("unterminated template", thrown(function () { M.jsmin("", "a = `b", 2); }),
    "Error: unterminated template literal");

// ---- unpacker ----
eq("packer detect with spaces", U.P_A_C_K_E_R.detect(" Eval (Function (p"), true);
eq("packer detect outer parens", U.P_A_C_K_E_R.detect("eval((function("), true);
eq("packer detect tab", U.P_A_C_K_E_R.detect("eval\t(function("), false);
eq("escaped detect", U.EscapedBookmarklet.detect("a%20b"), true);
eq("escaped needs no space", U.EscapedBookmarklet.detect("a%20 b"), false);
eq("obfuscator detect", U.JavascriptObfuscator.detect("var _0x1f = [\"a\"];"), true);
eq("obfuscator detect lower case only", U.JavascriptObfuscator.detect("var _0x1F=[\"a\"];"), false);
eq("smart split", JSON.stringify(U.JavascriptObfuscator._smart_split('"a", "b\\"c",""')), JSON.stringify(['"a"', '"b\\"c"', '""']));
eq("trim comments", U.trim_leading_comments("// a\n  // b\n\t code // c\n"), "code // c\n");
eq("backslash escape keeps its value", U.unpacker_filter('var _0xa=["a\\x5cn","\\x24&"];x=_0xa[0]+_0xa[1]'),
    "x='a\\\\n'+'$&'");
eq("not all strings: left alone", U.unpacker_filter("var _0xa=[\"a\",b];x=_0xa[0]"), "var _0xa=[\"a\",b];x=_0xa[0]");
eq("identifier boundary", U.unpacker_filter('var _0xa=["v"];y=x_0xa[0]+_0xa[0]+o._0xa[0]'), "y=x_0xa[0]+'v'+o._0xa[0]");
eq("broken packed code unchanged", U.unpacker_filter("eval(function(p){return p}('x'"), "eval(function(p){return p}('x'");
eq("non-string result unchanged", U.unpacker_filter("eval(function(p){return 5}(1))"), "eval(function(p){return 5}(1))");
eq("plain code unchanged", U.unpacker_filter("  var a = 1;"), "  var a = 1;");
eq("escaped then packed", U.unpacker_filter(escape("eval(function(p){return p}('ok=1'))")), "ok=1");
var before = Object.getOwnPropertyNames($.createRealm().global).sort();
var after = Object.getOwnPropertyNames(U).filter(function (n) { return before.indexOf(n) < 0; }).sort();
eq("unpacker globals", after.join(","),
    "EscapedBookmarklet,JavascriptObfuscator,P_A_C_K_E_R,trim_leading_comments,unpacked_source,unpacker_filter");

print(checks + " checks, " + failures + " failures");
if (failures) throw new Error("unit check failed");
