#pragma once
// Caller code for the call service: "生成Python代码" in the window, and
// "vexojs-cli snippet python|node|go|curl". Each snippet evaluates the expression it is
// made for, standard library only, UTF-8 both ways, and turns an answer with ok false into
// the language's error with the engine's error number and text.

#include <QString>
#include <QStringList>

#include <optional>

struct SnippetTarget {
    QString url = QStringLiteral("http://127.0.0.1:8731/");
    QString token; // empty: the service runs without one
};

// "python", "node", "go", "curl".
QStringList snippetLanguages();
// nullopt for a language not in that list.
std::optional<QString> makeServiceSnippet(const QString& language, const QString& expression,
                                          const SnippetTarget& target = {});
