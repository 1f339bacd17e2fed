#include "script/DeclarationScanner.h"

#include "script/JsIdentifiers.h"

namespace {
// A small lexer: enough to skip strings, comments, templates and regular expressions
// and to track nesting depth.
class Scanner {
public:
    explicit Scanner(const QString& s) : m_s(s), m_n(s.size()) {}

    QStringList run() {
        QStringList names;
        bool expectName = false;    // after "function", "var", "let", "const"
        bool inDeclaration = false; // a var/let/const list at depth 0, until ";"
        QString lastWord;           // name at depth 0 that an "=" may assign
        bool regexAllowed = true;
        while (m_i < m_n) {
            const QChar c = m_s[m_i];
            if (c.isSpace()) {
                ++m_i;
                continue;
            }
            if (c == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                skipLine();
                continue;
            }
            if (c == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                skipBlockComment();
                continue;
            }
            if (c == QLatin1Char('"') || c == QLatin1Char('\'') || c == QLatin1Char('`')) {
                if (c == QLatin1Char('`')) {
                    ++m_i;
                    skipTemplateBody();
                } else {
                    skipString(c);
                }
                regexAllowed = false;
                expectName = false;
                lastWord.clear();
                continue;
            }
            if (c == QLatin1Char('/') && regexAllowed) {
                skipRegex();
                regexAllowed = false;
                continue;
            }
            if (isJsIdStart(c)) {
                const QString word = readWord();
                if (m_depth == 0) {
                    if (expectName) {
                        names.append(word);
                        expectName = false;
                    } else if (word == QLatin1String("function")) {
                        expectName = true;
                    } else if (word == QLatin1String("var") || word == QLatin1String("let") ||
                               word == QLatin1String("const")) {
                        expectName = true;
                        inDeclaration = true;
                    }
                    lastWord = word;
                }
                regexAllowed = isKeywordBeforeExpression(word);
                continue;
            }
            if (c.isDigit()) {
                while (m_i < m_n && (isJsIdPart(m_s[m_i]) || m_s[m_i] == QLatin1Char('.')))
                    ++m_i;
                regexAllowed = false;
                lastWord.clear();
                continue;
            }
            if ((c == QLatin1Char('+') || c == QLatin1Char('-')) && peek(1) == c) {
                m_i += 2; // "x--" ends an operand: a slash after it divides
                expectName = false;
                lastWord.clear();
                regexAllowed = false;
                continue;
            }
            ++m_i; // punctuation
            if (c == QLatin1Char('{') || c == QLatin1Char('(') || c == QLatin1Char('[')) {
                ++m_depth;
            } else if (c == QLatin1Char('}') || c == QLatin1Char(')') || c == QLatin1Char(']')) {
                if (m_depth > 0)
                    --m_depth;
            } else if (m_depth == 0) {
                if (c == QLatin1Char('=') && !lastWord.isEmpty() &&
                    peekAt(m_i) != QLatin1Char('=') && peekAt(m_i) != QLatin1Char('>'))
                    names.append(lastWord);
                else if (c == QLatin1Char(',') && inDeclaration)
                    expectName = true;
                else if (c == QLatin1Char(';'))
                    inDeclaration = false;
            }
            if (c != QLatin1Char('*')) // "function*" still expects its name
                expectName = expectName && c == QLatin1Char(',');
            lastWord.clear();
            regexAllowed =
                !(c == QLatin1Char(')') || c == QLatin1Char(']') || c == QLatin1Char('}'));
        }
        return names;
    }

private:
    QChar peek(int k) const { return peekAt(m_i + k); }
    QChar peekAt(qsizetype i) const { return i < m_n ? m_s[i] : QChar(); }

    QString readWord() {
        const qsizetype start = m_i;
        while (m_i < m_n && isJsIdPart(m_s[m_i])) {
            if (m_s[m_i] == QLatin1Char('\\'))
                ++m_i; // \uXXXX escape in a name
            ++m_i;
        }
        return m_s.mid(start, m_i - start);
    }

    static bool isKeywordBeforeExpression(const QString& w) {
        static const char* const words[] = {"return", "typeof",     "case",  "do",     "else",
                                            "in",     "of",         "new",   "delete", "void",
                                            "throw",  "instanceof", "yield", "await"};
        for (const char* k : words)
            if (w == QLatin1String(k))
                return true;
        return false;
    }

    void skipLine() {
        while (m_i < m_n && m_s[m_i] != QLatin1Char('\n') && m_s[m_i] != QLatin1Char('\r'))
            ++m_i;
    }
    void skipBlockComment() {
        const qsizetype end = m_s.indexOf(QLatin1String("*/"), m_i + 2);
        m_i = end < 0 ? m_n : end + 2;
    }
    void skipString(QChar quote) {
        ++m_i;
        while (m_i < m_n) {
            const QChar c = m_s[m_i++];
            if (c == QLatin1Char('\\'))
                ++m_i;
            else if (c == quote || c == QLatin1Char('\n'))
                return;
        }
    }
    // After the opening backtick (or after the "}" closing a substitution).
    void skipTemplateBody() {
        while (m_i < m_n) {
            const QChar c = m_s[m_i++];
            if (c == QLatin1Char('\\')) {
                ++m_i;
            } else if (c == QLatin1Char('`')) {
                return;
            } else if (c == QLatin1Char('$') && peekAt(m_i) == QLatin1Char('{')) {
                ++m_i;
                skipSubstitution();
            }
        }
    }
    void skipSubstitution() {
        int depth = 1;
        while (m_i < m_n && depth > 0) {
            const QChar c = m_s[m_i];
            if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
                skipString(c);
            } else if (c == QLatin1Char('`')) {
                ++m_i;
                skipTemplateBody();
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('/')) {
                skipLine();
            } else if (c == QLatin1Char('/') && peek(1) == QLatin1Char('*')) {
                skipBlockComment();
            } else {
                if (c == QLatin1Char('{'))
                    ++depth;
                else if (c == QLatin1Char('}'))
                    --depth;
                ++m_i;
            }
        }
    }
    void skipRegex() {
        ++m_i;
        bool inClass = false;
        while (m_i < m_n) {
            const QChar c = m_s[m_i++];
            if (c == QLatin1Char('\\'))
                ++m_i;
            else if (c == QLatin1Char('['))
                inClass = true;
            else if (c == QLatin1Char(']'))
                inClass = false;
            else if (c == QLatin1Char('\n'))
                return;
            else if (c == QLatin1Char('/') && !inClass)
                break;
        }
        while (m_i < m_n && isJsIdPart(m_s[m_i]))
            ++m_i; // flags
    }

    const QString& m_s;
    const qsizetype m_n;
    qsizetype m_i = 0;
    int m_depth = 0;
};
} // namespace

QStringList scanTopLevelNames(const QString& source) {
    return Scanner(source).run();
}
