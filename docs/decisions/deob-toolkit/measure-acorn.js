var kit = "acorn+escodegen";
function kitParse(src) { return TK.acorn.parse(src, { ecmaVersion: "latest" }); }
function kitGen(ast) { return TK.escodegen.generate(ast, { format: { compact: true } }); }
function scopeDemo() { return "none (needs a separate scope library)"; }
