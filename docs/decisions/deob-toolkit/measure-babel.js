var kit = "babel";
function kitParse(src) { return TK.parse(src, { sourceType: "script", plugins: ["regexpUnicodeSets"] }); }
function kitGen(ast) { return TK.generate(ast, { comments: false, minified: true }).code; }
function scopeDemo() {
    var ast = kitParse("var a = 1; function f(a) { return a + 1; } f(a);");
    TK.traverse(ast, { FunctionDeclaration(p) { p.scope.rename("a", "arg1"); } });
    return kitGen(ast);
}
