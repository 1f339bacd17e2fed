// The layout ("格式化") through the program as carried: contract with the editor,
// layout rules, and text it cannot read copied as it stands.
import { B, check, expectFormatted, formatted, section, thrown } from "./harness.js";

section("format: output contract");
check("empty input", B.format("", "", "", "", ""), "");
check("base indent on every line", B.format("if(a){b()}", "", "", "", ""), "if (a) {\n        b()\n    }");
expectFormatted("var t=`a\n  b\r\nc`;", "var t = `a\n  b\nc`;");
expectFormatted("a();\n\n\n\nb();", "a();\n\nb();");
expectFormatted("a();\n\n\n", "a();");
expectFormatted('x="a\\\r\nb"', 'x = "a\\\nb"');

section("format: layout");
// The ";" of `do … while (x);` once went to a line of its own, the next statement glued on;
// without one the statement still ends there, and a ";" on the next line guards that line.
expectFormatted("var k=0;do{k+=7;}while(k<50);log(k);", "var k = 0;\ndo {\n    k += 7;\n} while (k < 50);\nlog(k);");
expectFormatted("do x++; while(x<3) log(x)", "do x++;\nwhile (x < 3)\nlog(x)");
expectFormatted("do{x++}while(x<3)\n;[1].map(f)", "do {\n    x++\n} while (x < 3)\n;[1].map(f)");
// A comment after a statement without ";" stays at the statement's level.
expectFormatted("x = 1\n// c\ny()", "x = 1\n// c\ny()");
expectFormatted("x = 1\n/* c */ y()", "x = 1\n/* c */ y()");
expectFormatted("if(a){b()}\nelse{c()}", "if (a) {\n    b()\n} else {\n    c()\n}");
expectFormatted("f=function(){};function g(a,b){}", "f = function () {};\nfunction g(a, b) {}");
expectFormatted("for(var i=0;i<n;i++)x+=i", "for (var i = 0; i < n; i++) x += i");
expectFormatted("o={a:1,b:[1,2]}", "o = {\n    a: 1,\n    b: [1, 2]\n}");
expectFormatted("switch(x){case 1:a();break;default:b()}",
    "switch (x) {\n    case 1:\n        a();\n        break;\n    default:\n        b()\n}");
expectFormatted("function f(){return\nx}", "function f() {\n    return\n    x\n}");
expectFormatted("a\n++b", "a\n++b");
expectFormatted("a+ +b- -c+ ++d", "a + +b - -c + ++d");
expectFormatted("1 .toString()+1..x", "1 .toString() + 1..x");
expectFormatted("if(a)/b/.test(c)", "if (a) /b/.test(c)");
expectFormatted("x=(a)/b/c", "x = (a) / b / c");
expectFormatted("x=/[/]+/g", "x = /[/]+/g");
expectFormatted("x=a<!--b\n,c", "x = a <!--b\n    , c");
expectFormatted("#!/bin/x\nfoo()", "#!/bin/x\nfoo()");
expectFormatted("var 名字='张三';", "var 名字 = '张三';");
expectFormatted("class A{static #x=1;get y(){return A.#x}}",
    "class A {\n    static #x = 1;\n    get y() {\n        return A.#x\n    }\n}");
expectFormatted("f=async(a)=>a?.b??c", "f = async (a) => a?.b ?? c");
expectFormatted("a(); // x\nb()", "a(); // x\nb()");
expectFormatted("x = 1\n// c\ny()", "x = 1\n// c\ny()");
expectFormatted("if(a){x=1\n// c\n}", "if (a) {\n    x = 1\n    // c\n}");
expectFormatted("if(a)x=1\n// c\nelse y()", "if (a) x = 1\n// c\nelse y()");
expectFormatted("function f(){return\n/* c */\n}", "function f() {\n    return\n    /* c */\n}");
expectFormatted("x = a\n// c\n+ b", "x = a\n    // c\n    + b");
// found by the fuzz harness: after x--, let and of used as names a slash divides
expectFormatted("var r=a-- / 2;function zeta(){}", "var r = a-- / 2;\nfunction zeta() {}");
expectFormatted("t=`${a-- / 2}`/1", "t = `${a-- / 2}` / 1");
expectFormatted("let=1;x=let / 2 / 3", "let = 1;\nx = let / 2 / 3");
expectFormatted("for(k in of / 2 / x);", "for (k in of / 2 / x);");
// U+2028 ends a line comment; "-->" after a comment that spans lines is a comment too
expectFormatted("a() // c\u2028b()", "a() // c\nb()");
expectFormatted("x = 1 /*\n*/ --> c\ny()", "x = 1 /*\n*/ --> c\ny()");

section("format: never throws, copies what it cannot read");
expectFormatted("a = 'abc\nb = 1", "a = 'abc\nb = 1");
expectFormatted("a(); /* open", "a(); /* open");
expectFormatted("a = `x ${ y", "a = `x ${ y");
check("stray closers", typeof formatted(")]}}) x (([") , "string");
check("deep template nesting", typeof formatted("`${".repeat(20000)), "string");
let noise = "", seed = 7;
for (let i = 0; i < 20000; i++) {
    seed = (seed * 1103515245 + 12345) & 0x7fffffff;
    noise += String.fromCharCode(seed % 300);
}
check("random text is idempotent", formatted(formatted(noise)), formatted(noise));
