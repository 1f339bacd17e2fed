var T = TK, kit = "terser";
function kitParse(src) { return T.parse(src); }
function kitGen(ast) { var os = T.OutputStream({ beautify: false }); ast.print(os); return os.get(); }
function scopeDemo() {
    var ast = T.parse("var a = 1; function f(a) { return a + 1; } f(a);");
    ast.figure_out_scope();
    var fn = ast.body[1];
    fn.argnames[0].thedef.name = "arg1";
    fn.argnames[0].thedef.orig.concat(fn.argnames[0].thedef.references).forEach(function (n) { n.name = "arg1"; });
    return kitGen(ast);
}
