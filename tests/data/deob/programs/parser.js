// A recursive-descent parser and evaluator for arithmetic expressions.
function tokenize(src) {
    var tokens = [], re = /\s*(\d+\.?\d*|[-+*\/()^])/y, m;
    while (re.lastIndex < src.length && (m = re.exec(src))) tokens.push(m[1]);
    return tokens;
}
function parse(src) {
    var tokens = tokenize(src), pos = 0;
    function peek() { return tokens[pos]; }
    function next() { return tokens[pos++]; }
    function primary() {
        var t = next();
        if (t === "(") { var v = expr(); next(); return v; }
        if (t === "-") return { op: "neg", a: primary() };
        return { num: parseFloat(t) };
    }
    function power() { var b = primary(); if (peek() === "^") { next(); return { op: "^", a: b, b: power() }; } return b; }
    function term() { var a = power(); while (peek() === "*" || peek() === "/") { var op = next(); a = { op: op, a: a, b: power() }; } return a; }
    function expr() { var a = term(); while (peek() === "+" || peek() === "-") { var op = next(); a = { op: op, a: a, b: term() }; } return a; }
    return expr();
}
function evaluate(n) {
    if ("num" in n) return n.num;
    switch (n.op) {
    case "neg": return -evaluate(n.a);
    case "+": return evaluate(n.a) + evaluate(n.b);
    case "-": return evaluate(n.a) - evaluate(n.b);
    case "*": return evaluate(n.a) * evaluate(n.b);
    case "/": return evaluate(n.a) / evaluate(n.b);
    case "^": return Math.pow(evaluate(n.a), evaluate(n.b));
    }
}
["1 + 2 * 3", "(1 + 2) * 3", "2 ^ 3 ^ 2", "-4 + 10 / 4", "((7))"].forEach(function (s) {
    log(s + " = " + evaluate(parse(s)));
});
log(JSON.stringify(parse("1+2*3")));
