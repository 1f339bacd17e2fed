#include "script/FunctionParameters.h"

#include "script/JsIdentifiers.h"

#include <QRegularExpression>

namespace {
// Deeper nesting than this inside a parameter list is not worth following.
constexpr int kMaxDepth = 256;

bool isIdentifier(const QString& text) {
    if (text.isEmpty() || !isJsIdStart(text[0]))
        return false;
    for (QChar c : text)
        if (!isJsIdPart(c))
            return false;
    return true;
}

// After these words a "/" starts a regular expression, not a division.
bool precedesExpression(const QString& word) {
    static const char* const words[] = {"return", "typeof", "case",       "do",     "else",
                                        "in",     "of",     "new",        "delete", "void",
                                        "throw",  "yield",  "instanceof", "await"};
    for (const char* w : words)
        if (word == QLatin1String(w))
            return true;
    return false;
}

bool isOpener(QChar c) {
    return c == QLatin1Char('(') || c == QLatin1Char('[') || c == QLatin1Char('{');
}

bool isCloser(QChar c) {
    return c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}');
}

QChar closerOf(QChar opener) {
    if (opener == QLatin1Char('('))
        return QLatin1Char(')');
    if (opener == QLatin1Char('['))
        return QLatin1Char(']');
    return QLatin1Char('}');
}

// Walks a function's text just far enough to find its parameter list, stepping over
// strings, templates, comments, regular expressions and bracketed groups in default
// values. Every skip returns false on text that does not close.
class Reader {
public:
    explicit Reader(const QString& text) : m_s(text) {}

    QChar peek(qsizetype k = 0) const { return m_i + k < m_s.size() ? m_s[m_i + k] : QChar(); }
    qsizetype position() const { return m_i; }
    QString text(qsizetype from, qsizetype to) const { return m_s.mid(from, to - from); }
    bool atEnd() const { return m_i >= m_s.size(); }
    void advance() { ++m_i; }

    bool atComment() const {
        return peek() == QLatin1Char('/') &&
               (peek(1) == QLatin1Char('/') || peek(1) == QLatin1Char('*'));
    }

    bool skipComment() {
        if (peek(1) == QLatin1Char('/')) {
            while (!atEnd() && peek() != QLatin1Char('\n') && peek() != QLatin1Char('\r'))
                ++m_i;
            return true;
        }
        const qsizetype end = m_s.indexOf(QLatin1String("*/"), m_i + 2);
        if (end < 0)
            return false;
        m_i = end + 2;
        return true;
    }

    bool skipBlank() {
        while (!atEnd()) {
            if (peek().isSpace())
                ++m_i;
            else if (atComment()) {
                if (!skipComment())
                    return false;
            } else
                break;
        }
        return true;
    }

    QString takeWord() {
        const qsizetype start = m_i;
        while (!atEnd() && isJsIdPart(peek())) {
            if (peek() == QLatin1Char('\\'))
                ++m_i; // \uXXXX inside a name
            ++m_i;
        }
        return m_s.mid(start, m_i - start);
    }

    bool skipString() {
        const QChar quote = peek();
        ++m_i;
        while (!atEnd()) {
            const QChar c = m_s[m_i++];
            if (c == QLatin1Char('\\'))
                ++m_i;
            else if (c == quote)
                return true;
            else if (c == QLatin1Char('\n') || c == QLatin1Char('\r'))
                return false;
        }
        return false;
    }

    bool skipTemplate(int depth) {
        ++m_i;
        while (!atEnd()) {
            const QChar c = peek();
            if (c == QLatin1Char('\\')) {
                m_i += 2;
            } else if (c == QLatin1Char('`')) {
                ++m_i;
                return true;
            } else if (c == QLatin1Char('$') && peek(1) == QLatin1Char('{')) {
                ++m_i;
                if (!skipGroup(depth + 1))
                    return false;
            } else {
                ++m_i;
            }
        }
        return false;
    }

    bool skipRegex() {
        ++m_i;
        bool inClass = false;
        while (!atEnd()) {
            const QChar c = m_s[m_i++];
            if (c == QLatin1Char('\\')) {
                ++m_i;
            } else if (c == QLatin1Char('[')) {
                inClass = true;
            } else if (c == QLatin1Char(']')) {
                inClass = false;
            } else if (c == QLatin1Char('\n') || c == QLatin1Char('\r')) {
                return false;
            } else if (c == QLatin1Char('/') && !inClass) {
                takeWord(); // flags
                return true;
            }
        }
        return false;
    }

    // One token that is not a blank, a comment or a bracket; tells whether a "/" after
    // it would start a regular expression.
    bool skipToken(int depth, bool regexAllowed, bool* regexNext) {
        const QChar c = peek();
        *regexNext = false;
        if (c == QLatin1Char('"') || c == QLatin1Char('\''))
            return skipString();
        if (c == QLatin1Char('`'))
            return skipTemplate(depth);
        if (c == QLatin1Char('/') && regexAllowed)
            return skipRegex();
        if (isJsIdStart(c)) {
            *regexNext = precedesExpression(takeWord());
            return true;
        }
        if (c.isDigit()) {
            while (!atEnd() && (isJsIdPart(peek()) || peek() == QLatin1Char('.')))
                ++m_i;
            return true;
        }
        if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && peek(1) == c) {
            m_i += 2; // "x--" ends an operand: a slash after it divides
            return true;
        }
        ++m_i; // an operator or other punctuation
        *regexNext = true;
        return true;
    }

    // From an opening bracket through its matching closing one.
    bool skipGroup(int depth) {
        if (depth > kMaxDepth)
            return false;
        const QChar closer = closerOf(peek());
        ++m_i;
        bool regexAllowed = true;
        while (!atEnd()) {
            const QChar c = peek();
            if (c.isSpace()) {
                ++m_i;
            } else if (atComment()) {
                if (!skipComment())
                    return false;
            } else if (isOpener(c)) {
                if (!skipGroup(depth + 1))
                    return false;
                regexAllowed = false;
            } else if (isCloser(c)) {
                ++m_i;
                return c == closer;
            } else if (!skipToken(depth, regexAllowed, &regexAllowed)) {
                return false;
            }
        }
        return false;
    }

    // After the "(" of a parameter list, through its ")".
    std::optional<FunctionParameters> readParameters() {
        FunctionParameters params;
        QString text;             // the current parameter, comments left out
        qsizetype defaultAt = -1; // where its top-level "=" is
        bool regexAllowed = true;
        while (!atEnd()) {
            const QChar c = peek();
            if (c == QLatin1Char(',') || c == QLatin1Char(')')) {
                ++m_i;
                const bool closing = c == QLatin1Char(')');
                if (text.trimmed().isEmpty()) {
                    // Nothing between two commas is an error; "()" and a trailing comma
                    // are not.
                    if (!closing)
                        return std::nullopt;
                } else {
                    auto param = parameterFrom(text, defaultAt);
                    if (!param)
                        return std::nullopt;
                    params.append(*param);
                }
                if (closing)
                    return params;
                text.clear();
                defaultAt = -1;
                regexAllowed = true;
                continue;
            }
            const qsizetype start = m_i;
            if (c.isSpace()) {
                ++m_i;
            } else if (atComment()) {
                if (!skipComment())
                    return std::nullopt;
                text += QLatin1Char(' ');
                continue;
            } else if (isOpener(c)) {
                if (!skipGroup(1))
                    return std::nullopt;
                regexAllowed = false;
            } else if (isCloser(c)) {
                return std::nullopt;
            } else if (c == QLatin1Char('=') && defaultAt < 0) {
                defaultAt = text.size();
                ++m_i;
                regexAllowed = true;
            } else if (!skipToken(1, regexAllowed, &regexAllowed)) {
                return std::nullopt;
            }
            text += m_s.mid(start, m_i - start);
        }
        return std::nullopt;
    }

    // The body of a built-in function: "{ [native code] }" and nothing after it.
    bool nativeBodyFollows() const {
        static const QRegularExpression native(
            QStringLiteral("^\\s*\\{\\s*\\[native code\\]\\s*\\}\\s*$"));
        return native.match(QStringView(m_s).mid(m_i)).hasMatch();
    }

private:
    static std::optional<FunctionParameter> parameterFrom(const QString& text,
                                                          qsizetype defaultAt) {
        const QString head = (defaultAt >= 0 ? text.left(defaultAt) : text).trimmed();
        FunctionParameter param;
        param.optional = defaultAt >= 0;
        if (head.startsWith(QLatin1String("..."))) {
            const QString rest = head.mid(3).trimmed();
            if (isIdentifier(rest))
                param.name = QStringLiteral("...") + rest;
            else if (rest.isEmpty() || !isOpener(rest[0]))
                return std::nullopt;
            param.optional = true;
            return param;
        }
        if (head.isEmpty())
            return std::nullopt;
        if (head[0] == QLatin1Char('{') || head[0] == QLatin1Char('['))
            return param; // a destructuring pattern has no one name
        if (!isIdentifier(head))
            return std::nullopt;
        param.name = head;
        return param;
    }

    const QString& m_s;
    qsizetype m_i = 0;
};

// Where a parameter list may end: in a body (functions, methods), an arrow, or either
// (`async(a)` may be a method called async or an async arrow function).
enum class ListEnd { Body, Arrow, Either };

bool atArrow(const Reader& reader) {
    return reader.peek() == QLatin1Char('=') && reader.peek(1) == QLatin1Char('>');
}

// From the "(" of a parameter list through what must follow it.
std::optional<FunctionParameters> readList(Reader& reader, ListEnd end) {
    if (reader.peek() != QLatin1Char('('))
        return std::nullopt;
    reader.advance();
    auto params = reader.readParameters();
    if (!params || !reader.skipBlank())
        return std::nullopt;
    const bool body = reader.peek() == QLatin1Char('{');
    const bool arrow = atArrow(reader);
    if ((end == ListEnd::Body && !body) || (end == ListEnd::Arrow && !arrow) ||
        (end == ListEnd::Either && !body && !arrow))
        return std::nullopt;
    if (body && reader.nativeBodyFollows())
        return std::nullopt; // built-in: its text names no parameters
    return params;
}

// `x => ...`: one plain parameter.
std::optional<FunctionParameters> singleArrowParameter(const QString& name) {
    return FunctionParameters{FunctionParameter{name, false}};
}

// A property name in a method's text: a word, a private name, a string, a number or
// [computed]. The reader stops after it.
bool skipPropertyName(Reader& reader) {
    const QChar c = reader.peek();
    if (c == QLatin1Char('#')) {
        reader.advance();
        return !reader.takeWord().isEmpty();
    }
    if (isJsIdStart(c))
        return !reader.takeWord().isEmpty();
    if (c == QLatin1Char('"') || c == QLatin1Char('\''))
        return reader.skipString();
    if (c.isDigit()) {
        while (!reader.atEnd() && (isJsIdPart(reader.peek()) || reader.peek() == QLatin1Char('.')))
            reader.advance();
        return true;
    }
    if (c == QLatin1Char('['))
        return reader.skipGroup(1);
    return false;
}

// A method after its modifiers: optional "*", the name, the list and the body.
std::optional<FunctionParameters> readMethod(Reader& reader) {
    if (reader.peek() == QLatin1Char('*')) {
        reader.advance();
        if (!reader.skipBlank())
            return std::nullopt;
    }
    if (!skipPropertyName(reader) || !reader.skipBlank())
        return std::nullopt;
    return readList(reader, ListEnd::Body);
}

// Reads on from just after the keyword "function": optional "*" and name, then the list.
std::optional<FunctionParameters> readAfterFunctionKeyword(Reader& reader) {
    if (!reader.skipBlank())
        return std::nullopt;
    if (reader.peek() == QLatin1Char('*')) {
        reader.advance();
        if (!reader.skipBlank())
            return std::nullopt;
    }
    if (isJsIdStart(reader.peek())) {
        reader.takeWord();
        if (!reader.skipBlank())
            return std::nullopt;
    }
    return readList(reader, ListEnd::Body);
}

// A class: the parameters of its constructor, found among the members of its body.
// nullopt when it has none written (the length stands in: 0).
std::optional<FunctionParameters> readClassConstructor(Reader& reader) {
    // The name and the heritage: everything up to the body's "{".
    bool regexAllowed = true;
    while (true) {
        if (!reader.skipBlank() || reader.atEnd())
            return std::nullopt;
        const QChar c = reader.peek();
        if (c == QLatin1Char('{'))
            break;
        if (isOpener(c)) {
            if (!reader.skipGroup(1))
                return std::nullopt;
            regexAllowed = false;
        } else if (isCloser(c) || !reader.skipToken(1, regexAllowed, &regexAllowed)) {
            return std::nullopt;
        }
    }
    reader.advance();
    // Members: method bodies and other bracketed groups are stepped over whole, so a
    // "constructor" met here is a member name. `static constructor()` is a method and
    // `a.constructor(…)` in a field's value is a call; neither is the constructor.
    QString previous;
    regexAllowed = true;
    while (true) {
        if (!reader.skipBlank() || reader.atEnd())
            return std::nullopt;
        const QChar c = reader.peek();
        if (c == QLatin1Char('}'))
            return std::nullopt; // no constructor written
        if (isOpener(c)) {
            if (!reader.skipGroup(1))
                return std::nullopt;
            previous = c;
            regexAllowed = false;
            continue;
        }
        if (isCloser(c))
            return std::nullopt;
        QString word;
        if (isJsIdStart(c)) {
            word = reader.takeWord();
            regexAllowed = precedesExpression(word);
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype start = reader.position();
            if (!reader.skipString())
                return std::nullopt;
            word = reader.text(start + 1, reader.position() - 1);
            regexAllowed = false;
        } else {
            const qsizetype start = reader.position();
            if (!reader.skipToken(1, regexAllowed, &regexAllowed))
                return std::nullopt;
            previous = reader.text(start, reader.position());
            continue;
        }
        const bool isMemberName = previous != QLatin1String("static") &&
                                  previous != QLatin1String(".") && previous != QLatin1String("?.");
        previous = word;
        if (word == QLatin1String("constructor") && isMemberName) {
            if (!reader.skipBlank())
                return std::nullopt;
            if (reader.peek() == QLatin1Char('('))
                return readList(reader, ListEnd::Body);
        }
    }
}

// After a word that may be a modifier (async, get, set, static) or the whole name of a
// method or of an arrow's one parameter.
std::optional<FunctionParameters> readAfterWord(Reader& reader, const QString& word, int depth) {
    if (!reader.skipBlank())
        return std::nullopt;
    if (atArrow(reader))
        return singleArrowParameter(word); // `async => 1` too
    if (reader.peek() == QLatin1Char('('))
        return readList(reader, word == QLatin1String("async") ? ListEnd::Either : ListEnd::Body);
    const bool modifier = word == QLatin1String("async") || word == QLatin1String("get") ||
                          word == QLatin1String("set") || word == QLatin1String("static");
    if (!modifier || depth > 3)
        return std::nullopt;
    if (!isJsIdStart(reader.peek()))
        return readMethod(reader);
    const QString next = reader.takeWord();
    if (next == QLatin1String("function"))
        return word == QLatin1String("async") ? readAfterFunctionKeyword(reader) : std::nullopt;
    if (word == QLatin1String("async") && reader.skipBlank() && atArrow(reader))
        return singleArrowParameter(next); // `async x => x`
    return readAfterWord(reader, next, depth + 1);
}
} // namespace

std::optional<FunctionParameters> parseFunctionParameters(const QString& source) {
    Reader reader(source);
    if (!reader.skipBlank())
        return std::nullopt;
    const QChar c = reader.peek();
    if (c == QLatin1Char('('))
        return readList(reader, ListEnd::Arrow);
    if (!isJsIdStart(c))
        return readMethod(reader); // `*gen()`, `'name'()`, `[key]()`, `#name()`, `42()`
    const QString word = reader.takeWord();
    if (word == QLatin1String("function"))
        return readAfterFunctionKeyword(reader);
    if (word == QLatin1String("class"))
        return readClassConstructor(reader);
    return readAfterWord(reader, word, 0);
}

std::optional<FunctionParameters> parseSetterParameters(const QString& source) {
    return parseFunctionParameters(source);
}
