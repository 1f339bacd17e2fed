// Parameter names read from function texts as the engine writes them.

#include "script/FunctionParameters.h"

#include <gtest/gtest.h>

namespace {
// "name" or "name=" (optional) per parameter, joined with commas; "-" when not read.
QString summary(const std::optional<FunctionParameters>& params) {
    if (!params)
        return QStringLiteral("-");
    QStringList parts;
    for (const FunctionParameter& p : *params)
        parts << p.name + (p.optional ? QStringLiteral("=") : QString());
    return parts.join(QLatin1Char(','));
}

QString of(const char* source) {
    return summary(parseFunctionParameters(QString::fromUtf8(source)));
}
QString ofSetter(const char* source) {
    return summary(parseSetterParameters(QString::fromUtf8(source)));
}
} // namespace

TEST(FunctionParameters, PlainFunctionsGiveTheirNames) {
    EXPECT_EQ(of("function foo(a, b) { return a + b; }"), QStringLiteral("a,b"));
    EXPECT_EQ(of("function(x){}"), QStringLiteral("x"));
    EXPECT_EQ(of("function () {}"), QString());
    EXPECT_EQ(of("function\n  named /* c */ (\n a, // first\n b /* second */\n) {}"),
              QStringLiteral("a,b"));
    EXPECT_EQ(of("function f(a, b,) {}"), QStringLiteral("a,b"));
    EXPECT_EQ(of("function 中文(甲, $乙, _c1) {}"), QStringLiteral("甲,$乙,_c1"));
}

TEST(FunctionParameters, DefaultsDestructuringAndRest) {
    EXPECT_EQ(of("function f(a, b = 1) {}"), QStringLiteral("a,b="));
    EXPECT_EQ(of("function f({x, y}, [z], {w} = {}) {}"), QStringLiteral(",,="));
    EXPECT_EQ(of("function f(a, ...rest) {}"), QStringLiteral("a,...rest="));
    EXPECT_EQ(of("function f(...[a, b]) {}"), QStringLiteral("="));
    // Default values full of the characters that end or split a list.
    EXPECT_EQ(of("function f(a = (1, 2), b = [3, 4], c = {d: 5, e: 6}) {}"),
              QStringLiteral("a=,b=,c="));
    EXPECT_EQ(of("function f(a = ')', b = \"(,\", c = `x${(1, 2)}y,`) {}"),
              QStringLiteral("a=,b=,c="));
    EXPECT_EQ(of("function f(a = /[),]/g, b = 4 / 2, c) {}"), QStringLiteral("a=,b=,c"));
    EXPECT_EQ(of("function (a = b-- / 2, c = d++ / 3) {}"), QStringLiteral("a=,c="));
    EXPECT_EQ(of("function f(a = () => { return /)/; }, b) {}"), QStringLiteral("a=,b"));
    EXPECT_EQ(of("function f(a = x => x, b = y == 1) {}"), QStringLiteral("a=,b="));
}

TEST(FunctionParameters, EveryFunctionFormGivesItsNames) {
    // Arrow functions, with and without parentheses, async or not.
    EXPECT_EQ(of("(u,w)=>u"), QStringLiteral("u,w"));
    EXPECT_EQ(of("(a, b = 2, ...more) => a"), QStringLiteral("a,b=,...more="));
    EXPECT_EQ(of("() => {}"), QString());
    EXPECT_EQ(of("a => a"), QStringLiteral("a"));
    EXPECT_EQ(of("async x => x"), QStringLiteral("x"));
    EXPECT_EQ(of("async (p, q) => p"), QStringLiteral("p,q"));
    EXPECT_EQ(of("async => 1"), QStringLiteral("async")); // a parameter called async
    EXPECT_EQ(of("({a}, [b]) => a"), QStringLiteral(","));
    // Async functions and generators.
    EXPECT_EQ(of("async function f(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("async function (a, b) {}"), QStringLiteral("a,b"));
    EXPECT_EQ(of("function* g(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("function *g(a, b) {}"), QStringLiteral("a,b"));
    EXPECT_EQ(of("function*(c){}"), QStringLiteral("c"));
    EXPECT_EQ(of("async function* ag(d) {}"), QStringLiteral("d"));
    // Methods of objects and classes, whatever their prefixes and names.
    EXPECT_EQ(of("m(a,...rest){}"), QStringLiteral("a,...rest="));
    EXPECT_EQ(of("method(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("functional(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("async load(url, retries = 3) {}"), QStringLiteral("url,retries="));
    EXPECT_EQ(of("*items(from) {}"), QStringLiteral("from"));
    EXPECT_EQ(of("async *stream(n) {}"), QStringLiteral("n"));
    EXPECT_EQ(of("static create(x) {}"), QStringLiteral("x"));
    EXPECT_EQ(of("static async *s(y) {}"), QStringLiteral("y"));
    EXPECT_EQ(of("'odd name'(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("[Symbol.iterator]() {}"), QString());
    EXPECT_EQ(of("42(n) {}"), QStringLiteral("n"));
    EXPECT_EQ(of("#secret(k) {}"), QStringLiteral("k"));
    EXPECT_EQ(of("get size() { return 1; }"), QString());
    EXPECT_EQ(of("set size(v) {}"), QStringLiteral("v"));
    // Methods named like the prefixes.
    EXPECT_EQ(of("get(key) {}"), QStringLiteral("key"));
    EXPECT_EQ(of("async(a) {}"), QStringLiteral("a"));
    EXPECT_EQ(of("static(a, b) {}"), QStringLiteral("a,b"));
}

TEST(FunctionParameters, ClassesGiveTheirConstructorsNames) {
    EXPECT_EQ(of("class K { constructor(a) {} }"), QStringLiteral("a"));
    EXPECT_EQ(of("class { constructor(id, opts = {}) {} }"), QStringLiteral("id,opts="));
    // Members before it, with bodies, values, strings and a regular expression full of
    // the characters that could mislead a scan.
    EXPECT_EQ(of("class Sub extends mix(Base, {k: 1}) {\n"
                 "  static constructor(wrong) {}\n"
                 "  field = a.constructor(1)\n"
                 "  re = /[}{]constructor(/g; s = '}constructor(';\n"
                 "  m() { constructor(0); }\n"
                 "  get g() { return '{'; }\n"
                 "  constructor(x, ...more) { super(x); }\n"
                 "}"),
              QStringLiteral("x,...more="));
    EXPECT_EQ(of("class Q { 'constructor'(q) {} }"), QStringLiteral("q"));
    // Without a constructor of its own, or with text that does not close, nothing.
    EXPECT_EQ(of("class Plain { m(a) {} }"), QStringLiteral("-"));
    EXPECT_EQ(of("class Derived extends Plain {}"), QStringLiteral("-"));
    EXPECT_EQ(of("class Open { constructor(a"), QStringLiteral("-"));
    EXPECT_EQ(of("class Open { m() {"), QStringLiteral("-"));
}

TEST(FunctionParameters, TextsThatNameNoParametersAreNotRead) {
    EXPECT_EQ(of("function push() {\n    [native code]\n}"), QStringLiteral("-"));
    EXPECT_EQ(of("function get size() {\n    [native code]\n}"), QStringLiteral("-"));
    EXPECT_EQ(of("m() {\n    [native code]\n}"), QStringLiteral("-"));
    EXPECT_EQ(of(""), QStringLiteral("-"));
    EXPECT_EQ(of("(a, b)"), QStringLiteral("-")); // no arrow after the list
    EXPECT_EQ(of("m(a) => a"), QStringLiteral("-"));
    EXPECT_EQ(of("foo bar(a) {}"), QStringLiteral("-"));
}

TEST(FunctionParameters, BrokenTextGivesNothing) {
    EXPECT_EQ(of("function f(a, b"), QStringLiteral("-"));
    EXPECT_EQ(of("function f(a,, b) {}"), QStringLiteral("-"));
    EXPECT_EQ(of("function f(a = 'open) {}"), QStringLiteral("-"));
    EXPECT_EQ(of("function f(a = [1, 2) {}"), QStringLiteral("-"));
    EXPECT_EQ(of("function f(a /* open) {}"), QStringLiteral("-"));
    EXPECT_EQ(of("function f(a b) {}"), QStringLiteral("-"));
    // Nesting deeper than anyone writes is given up on rather than followed.
    const QString deep = QStringLiteral("function f(a = ") + QString(5000, QLatin1Char('[')) +
                         QString(5000, QLatin1Char(']')) + QStringLiteral(") {}");
    EXPECT_FALSE(parseFunctionParameters(deep));
}

TEST(FunctionParameters, Setters) {
    EXPECT_EQ(ofSetter("set value(v) { this._v = v; }"), QStringLiteral("v"));
    EXPECT_EQ(ofSetter("set 'odd name'(x) {}"), QStringLiteral("x"));
    EXPECT_EQ(ofSetter("set [Symbol.iterator + 'k'](y) {}"), QStringLiteral("y"));
    EXPECT_EQ(ofSetter("set #hidden(z) {}"), QStringLiteral("z"));
    EXPECT_EQ(ofSetter("set 42(n) {}"), QStringLiteral("n"));
    EXPECT_EQ(ofSetter("set v({a, b}) {}"), QString());
    EXPECT_EQ(ofSetter("function (w) {}"), QStringLiteral("w"));
    // A method called "set" installed as a setter: its first parameter takes the value.
    EXPECT_EQ(ofSetter("set(a, b) {}"), QStringLiteral("a,b"));
    EXPECT_EQ(ofSetter("function set x() {\n    [native code]\n}"), QStringLiteral("-"));
}
