#include "JsGenerator.h"

#include <array>
#include <vector>

unsigned ByteChoices::pick(unsigned count) {
    if (count <= 1 || m_at >= m_size)
        return 0;
    return m_data[m_at++] % count;
}

namespace {
constexpr int kMaxDepth = 5;

struct Context {
    bool inFunction = false;
    bool inLoop = false;
    bool inSwitch = false;
    bool async = false;
    bool generator = false;
};

class Generator {
public:
    explicit Generator(ByteChoices& in) : m_in(in) {}

    std::string program() {
        std::string out;
        const unsigned count = 1 + m_in.pick(12);
        for (unsigned i = 0; i < count || (!m_in.exhausted() && i < 40); ++i)
            out += statement(Context{}, 0) + separator();
        return out;
    }

    std::string expression(int depth) { return expr(Context{}, depth); }

private:
    template <size_t N> const char* oneOf(const std::array<const char*, N>& items) {
        return items[m_in.pick(N)];
    }

    // Space, line breaks and comments between tokens where any of them is allowed.
    std::string gap() {
        switch (m_in.pick(12)) {
        case 1:
            return "\n";
        case 2:
            return "\r\n  ";
        case 3:
            return "\t";
        case 4:
            return " /* 注释 */ ";
        case 5:
            return " /*\n * block\n */ ";
        case 6:
            return "  ";
        default:
            return " ";
        }
    }

    // After a statement: a line break, a trailing comment, blank lines.
    std::string separator() {
        switch (m_in.pick(8)) {
        case 1:
            return " // 行尾注释\n";
        case 2:
            return "\n\n";
        case 3:
            return "\n/* 块 */\n";
        case 4:
            return "\r\n";
        case 5:
            return "\n// c\n";
        default:
            return "\n";
        }
    }

    // A statement's end: a semicolon, or a bare line break that ends it by ASI.
    std::string end() { return m_in.chance(2) ? "\n" : ";"; }

    std::string identifier() {
        static const std::array<const char*, 18> names = {
            "a",     "b",      "x",   "$",      "_y",       "变量", "of", "get",   "set",
            "async", "static", "let", "yield_", "\\u0061b", "aé",   "c1", "value", "i"};
        return oneOf(names);
    }

    std::string propertyName() {
        static const std::array<const char*, 12> names = {
            "p",   "class", "if", "default", "get",          "set",
            "new", "中文",  "$x", "length",  "constructor_", "await"};
        return oneOf(names);
    }

    std::string number() {
        static const std::array<const char*, 16> numbers = {
            "0",    "1",     "42",  "1.5",   ".5",
            "5.",   "0x1F",  "1e3", "2E-7",  "0b101",
            "0o17", "1_000", "10n", "0xffn", "9007199254740993",
            "017"};
        return oneOf(numbers);
    }

    std::string string() {
        static const std::array<const char*, 16> strings = {"''",
                                                            "\"\"",
                                                            "'a'",
                                                            "\"b\"",
                                                            "'it\\'s'",
                                                            "\"q\\\"q\"",
                                                            "'\\n\\t\\r'",
                                                            "'\\u4e2d\\x41'",
                                                            "'中文'",
                                                            "'\\\\'",
                                                            "'/* not a comment */'",
                                                            "'// nor this'",
                                                            "\"line\\\ncontinued\"",
                                                            "'\\0'",
                                                            "'\\u{1F600}'",
                                                            "'a    b'"};
        return oneOf(strings);
    }

    std::string regex() {
        static const std::array<const char*, 10> regexes = {
            "/ab+c/",    "/a/gi",       "/[/]/",      "/\\//g",   "/[\\]]+/",
            "/^\\s*$/m", "/(?:x|y)*?/", "/\\d{2,}/u", "/[^'\"]/", "/=/"};
        return oneOf(regexes);
    }

    std::string templateLiteral(const Context& c, int depth) {
        switch (m_in.pick(5)) {
        case 1:
            return "`plain ${" + expr(c, depth + 1) + "} text`";
        case 2:
            return "`line one\n    line two ${" + expr(c, depth + 1) + "}`";
        case 3:
            return "`\\`${a}${b}\\${`";
        case 4:
            return "tag`x${" + expr(c, depth + 1) + "}y`";
        default:
            return "`t`";
        }
    }

    std::string params(const Context& c, int depth) {
        std::string out = "(";
        const unsigned count = m_in.pick(4);
        for (unsigned i = 0; i < count; ++i) {
            if (i)
                out += ", ";
            switch (m_in.pick(6)) {
            case 1:
                out += "p" + std::to_string(i) + " = " + expr(c, depth + 1);
                break;
            case 2:
                out += "{ k" + std::to_string(i) + ", m" + std::to_string(i) + " = 1 }";
                break;
            case 3:
                out += "[q" + std::to_string(i) + ", , r" + std::to_string(i) + "]";
                break;
            default:
                out += "p" + std::to_string(i);
                break;
            }
        }
        if (m_in.chance(1))
            out += count ? ", ...rest" : "...rest";
        return out + ")";
    }

    std::string body(Context c, int depth) {
        c.inLoop = false;
        c.inSwitch = false;
        std::string out = "{" + gap();
        const unsigned count = m_in.pick(4);
        for (unsigned i = 0; i < count; ++i)
            out += statement(c, depth + 1) + separator();
        return out + "}";
    }

    std::string function(const Context& outer, int depth, bool expression) {
        Context c = outer;
        c.inFunction = true;
        c.async = m_in.chance(2);
        c.generator = m_in.chance(2);
        std::string out = c.async ? "async function" : "function";
        if (c.generator)
            out += "*";
        if (!expression || m_in.chance(3))
            out += " f" + serial();
        return out + params(c, depth) + gap() + body(c, depth);
    }

    std::string arrow(const Context& outer, int depth) {
        Context c = outer;
        c.inFunction = true;
        c.generator = false;
        c.async = m_in.chance(2);
        std::string out = c.async ? "async " : "";
        out += m_in.chance(2) ? identifier() == "let" ? "z" : "v" : params(c, depth);
        out += " => ";
        if (m_in.chance(4))
            return out + body(c, depth);
        const std::string e = expr(c, depth + 1);
        // An object literal as a concise body needs parentheses.
        return out + (e[0] == '{' ? "(" + e + ")" : e);
    }

    std::string classBody(const Context& outer, int depth) {
        Context c = outer;
        c.inFunction = true;
        c.async = false;
        c.generator = false;
        std::string out = "{" + gap();
        const unsigned count = m_in.pick(5);
        for (unsigned i = 0; i < count; ++i) {
            const std::string name = "m" + std::to_string(i);
            switch (m_in.pick(8)) {
            case 1:
                out += "get " + name + "() { return 1 }";
                break;
            case 2:
                out += "set " + name + "(v) {}";
                break;
            case 3:
                out += "static " + name + "() {}";
                break;
            case 4:
                out += name + " = " + expr(c, depth + 1) + ";";
                break;
            case 5:
                out += "async *" + name + "() { yield 1 }";
                break;
            case 6:
                out += "constructor(a) { this.a = a }";
                break;
            case 7:
                out += "static { this.s = 1 }";
                break;
            default:
                out += name + params(c, depth) + " " + body(c, depth);
                break;
            }
            out += separator();
        }
        return out + "}";
    }

    std::string objectLiteral(const Context& c, int depth) {
        std::string out = "{";
        const unsigned count = m_in.pick(5);
        for (unsigned i = 0; i < count; ++i) {
            if (i)
                out += "," + gap();
            switch (m_in.pick(8)) {
            case 1:
                out += "[" + expr(c, depth + 1) + "]: 1";
                break;
            case 2:
                out += "a";
                break; // shorthand
            case 3:
                out += "get g() { return 2 }";
                break;
            case 4:
                out += "m(x) { return x }";
                break;
            case 5:
                out += "..." + primary(c, depth + 1);
                break;
            case 6:
                out += "'quoted key': " + expr(c, depth + 1);
                break;
            case 7:
                out += "async *gen() {}";
                break;
            default:
                out += propertyName() + ": " + expr(c, depth + 1);
                break;
            }
        }
        if (count && m_in.chance(1))
            out += ",";
        return out + "}";
    }

    std::string arrayLiteral(const Context& c, int depth) {
        std::string out = "[";
        const unsigned count = m_in.pick(5);
        for (unsigned i = 0; i < count; ++i) {
            if (i)
                out += ", ";
            if (m_in.chance(1))
                out += "...";
            if (!m_in.chance(1))
                out += expr(c, depth + 1); // else a hole
        }
        return out + "]";
    }

    std::string primary(const Context& c, int depth) {
        const unsigned choices = depth >= kMaxDepth ? 6 : 16;
        switch (m_in.pick(choices)) {
        case 1:
            return number();
        case 2:
            return string();
        case 3:
            return oneOf(
                std::array<const char*, 6>{"true", "false", "null", "undefined", "this", "NaN"});
        case 4:
            return regex();
        case 5:
            return "`t`";
        case 6:
            return arrayLiteral(c, depth);
        case 7:
            return objectLiteral(c, depth);
        case 8:
            return "(" + function(c, depth, true) + ")";
        case 9:
            return "(" + arrow(c, depth) + ")";
        case 10:
            return templateLiteral(c, depth);
        case 11:
            return "(" + expr(c, depth + 1) + ", " + expr(c, depth + 1) + ")";
        case 12:
            return "(class " + classBody(c, depth) + ")";
        case 13:
            return "new " + identifier() + "(" + expr(c, depth + 1) + ")";
        case 14:
            return "(" + expr(c, depth + 1) + ")";
        case 15:
            return c.inFunction && c.generator ? "(yield " + expr(c, depth + 1) + ")"
                   : c.async                   ? "(await " + expr(c, depth + 1) + ")"
                                               : identifier();
        default:
            return identifier();
        }
    }

    std::string postfix(const Context& c, int depth) {
        std::string out = primary(c, depth);
        const unsigned count = depth >= kMaxDepth ? 0 : m_in.pick(3);
        for (unsigned i = 0; i < count; ++i) {
            switch (m_in.pick(7)) {
            case 1:
                out += "[" + expr(c, depth + 1) + "]";
                break;
            case 2:
                out +=
                    "(" + (m_in.chance(2) ? "..." + expr(c, depth + 1) : expr(c, depth + 1)) + ")";
                break;
            case 3:
                out += "?." + propertyName();
                break;
            case 4:
                out += "?.(" + expr(c, depth + 1) + ")";
                break;
            case 5:
                out += "()";
                break;
            case 6:
                out += "`tagged ${1}`";
                break;
            default:
                out += "." + propertyName();
                break;
            }
        }
        return out;
    }

    std::string unary(const Context& c, int depth) {
        switch (m_in.pick(12)) {
        case 1:
            return "!" + unary(c, depth + 1);
        case 2:
            return "- " + unary(c, depth + 1); // the space keeps "- --x" apart
        case 3:
            return "+ " + unary(c, depth + 1);
        case 4:
            return "~" + unary(c, depth + 1);
        case 5:
            return "typeof " + unary(c, depth + 1);
        case 6:
            return "void " + unary(c, depth + 1);
        case 7:
            return "++" + identifier();
        case 8:
            return identifier() + "--";
        case 9:
            return "- -" + identifier();
        case 10:
            return "delete " + postfix(c, depth + 1);
        default:
            return postfix(c, depth);
        }
    }

    std::string expr(const Context& c, int depth) {
        if (depth >= kMaxDepth)
            return primary(c, depth);
        static const std::array<const char*, 24> binary = {
            "+",  "-",  "*",  "/",  "%",  "**", "==", "!=", "===", "!==", "<",  ">",
            "<=", ">=", "&&", "||", "??", "&",  "|",  "^",  "<<",  ">>>", "in", "instanceof"};
        static const std::array<const char*, 8> assign = {"=",
                                                          "+=",
                                                          "-=",
                                                          "**=",
                                                          "?"
                                                          "?=",
                                                          "||=",
                                                          ">>>=",
                                                          "/="};
        switch (m_in.pick(8)) {
        case 1:
        case 2: {
            // Operands in parentheses unless they are plain, so that ?? and ** mixes
            // stay valid; the parentheses themselves are part of what is tested.
            const char* op = oneOf(binary);
            std::string left = unary(c, depth + 1);
            std::string right = unary(c, depth + 1);
            if (m_in.chance(4) || std::string(op) == "**" || std::string(op) == "??") {
                left = "(" + left + ")";
                right = "(" + right + ")";
            }
            return left + gap() + op + gap() + right;
        }
        case 3:
            return "(" + expr(c, depth + 1) + ") ? " + expr(c, depth + 1) + " : " +
                   expr(c, depth + 1);
        case 4:
            return identifier() + " " + oneOf(assign) + " " + expr(c, depth + 1);
        case 5:
            return "[" + identifier() + ", ...x] = " + expr(c, depth + 1);
        case 6:
            return arrow(c, depth);
        default:
            return unary(c, depth);
        }
    }

    std::string declaration(const Context& c, int depth) {
        std::string out = oneOf(std::array<const char*, 3>{"var ", "let ", "const "});
        const unsigned count = 1 + m_in.pick(3);
        for (unsigned i = 0; i < count; ++i) {
            if (i)
                out += "," + gap();
            switch (m_in.pick(4)) {
            case 1:
                out += "{ a: d" + serial() + ", ...o" + serial() + " } = " + expr(c, depth + 1);
                break;
            case 2:
                out += "[e" + serial() + " = 1, ...r" + serial() + "] = " + expr(c, depth + 1);
                break;
            default:
                out += "v" + serial() + " = " + expr(c, depth + 1);
                break;
            }
        }
        return out;
    }

    std::string serial() { return std::to_string(++m_serial); }

    // The body of if, for, while, with and do: a declaration there goes in a block.
    std::string subStatement(const Context& c, int depth) {
        std::string s = statement(c, depth);
        for (const char* declaration : {"let ", "const ", "class ", "function", "async function"})
            if (s.rfind(declaration, 0) == 0)
                return "{ " + s + " }";
        return s;
    }

    std::string statement(const Context& c, int depth) {
        if (depth >= kMaxDepth)
            return expr(c, depth) + ";";
        Context loop = c;
        loop.inLoop = true;
        switch (m_in.pick(20)) {
        case 1:
            return declaration(c, depth) + end();
        case 2: {
            std::string out =
                "if (" + expr(c, depth + 1) + ")" + gap() + subStatement(c, depth + 1);
            if (m_in.chance(4))
                out += separator() + "else" + gap() + subStatement(c, depth + 1);
            return out;
        }
        case 3:
            return "for (var i = 0; i < 3; i++) " + subStatement(loop, depth + 1);
        case 4:
            return "for (const k in " + expr(c, depth + 1) + ") " + subStatement(loop, depth + 1);
        case 5:
            return "for (let [u, w] of " + expr(c, depth + 1) + ")" + gap() + body(loop, depth);
        case 6:
            return "while (" + expr(c, depth + 1) + ") " + subStatement(loop, depth + 1);
        case 7:
            return "do " + subStatement(loop, depth + 1) + separator() + "while (" +
                   expr(c, depth + 1) + ")" + end();
        case 8:
            return function(c, depth, false);
        case 9:
            return "class C" + serial() + (m_in.chance(2) ? " extends B" : "") + " " +
                   classBody(c, depth);
        case 10: {
            std::string out = "{" + gap();
            const unsigned count = m_in.pick(4);
            for (unsigned i = 0; i < count; ++i)
                out += statement(c, depth + 1) + separator();
            return out + "}";
        }
        case 11:
            if (c.inFunction)
                return m_in.chance(2) ? "return\n" + expr(c, depth + 1) + end()
                                      : "return " + expr(c, depth + 1) + end();
            if (c.inLoop)
                return m_in.chance(4) ? "break" + end() : "continue" + end();
            return "throw " + expr(c, depth + 1) + end();
        case 12:
            return "try " + body(c, depth) +
                   (m_in.chance(4) ? " catch (e) " + body(c, depth)
                                   : " catch " + body(c, depth) + " finally " + body(c, depth));
        case 13: {
            Context inner = c;
            inner.inSwitch = true;
            std::string out = "switch (" + expr(c, depth + 1) + ") {\n";
            const unsigned count = m_in.pick(4);
            bool haveDefault = false;
            for (unsigned i = 0; i < count; ++i) {
                const bool isDefault = !haveDefault && m_in.chance(1);
                haveDefault = haveDefault || isDefault;
                out += isDefault ? "default:" : "case " + expr(c, depth + 1) + ":";
                out += gap() + statement(inner, depth + 1) + separator();
                if (m_in.chance(4))
                    out += "break;\n";
            }
            return out + "}";
        }
        case 14:
            return "lbl: for (;;) { break lbl }";
        case 15:
            return ";";
        case 16:
            return identifier() + "\n++" + identifier() + end(); // ASI before ++
        case 17:
            return "x = y\n" + std::string(m_in.chance(4) ? "(a)" : "[1].map(b)") + end();
        case 18:
            return "a = b\n/re/g.exec(c)" + end();
        case 19:
            return "with (" + expr(c, depth + 1) + ") " + subStatement(c, depth + 1);
        default:
            return expr(c, depth) + end();
        }
    }

    ByteChoices& m_in;
    unsigned m_serial = 0;
};
} // namespace

std::string generateProgram(ByteChoices& in) {
    return Generator(in).program();
}

std::string generateExpression(ByteChoices& in) {
    return Generator(in).expression(2);
}
