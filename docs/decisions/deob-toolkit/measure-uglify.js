var kit = "uglify", U = { parse: globalThis.parse, OutputStream: OutputStream };
function kitParse(src) { return U.parse(src); }
function kitGen(ast) { var os = U.OutputStream({ beautify: false }); ast.print(os); return os.get(); }
function scopeDemo() {
    var ast = U.parse("var a = 1; function f(a) { return a + 1; } f(a);");
    ast.figure_out_scope();
    var fn = ast.body[1], d = fn.argnames[0].definition();
    d.orig.concat(d.references).forEach(function (n) { n.name = "arg1"; });
    return kitGen(ast);
}
