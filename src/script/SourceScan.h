#pragma once
// What the carried source reader (scripts/main/sourcescan.js, on the code tools' lexer)
// finds in script text: the names a script declares at its top level, in source order,
// and the parameter names of a function's text. A reader runs in a global context of its
// own, so no loaded script can change what it reads. The function list's reader is an
// engine of its own that each thread keeps for as long as it runs: it reads only text,
// and it stays compiled and warm from one load to the next (every load is a fresh engine,
// and a reader inside it would start cold each time). Its stop check is the thread's
// "停止". Engine thread only.

#include "engine/EngineContext.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>
#include <vector>

struct FunctionParameter {
    // Empty for a destructuring pattern; "...name" for a rest parameter.
    QString name;
    // A default value or a rest parameter: the caller may leave it out.
    bool optional = false;
};

using FunctionParameters = QList<FunctionParameter>;

// A list as the reader writes it: "name," per parameter, "=" before the comma when
// optional ("a,b=,...rest=,"). nullopt for a text that is no such list.
std::optional<FunctionParameters> decodeParameters(const QString& text);

struct Declaration {
    // How the text declares the name: a function declaration (or named function
    // expression), a declarator of var / let / const, a class, or a plain assignment.
    enum Kind { Function, Var, Let, Const, Class, Assignment };
    Kind kind = Function;
    QString name;
    qsizetype offset = 0; // where the name stands in the source (UTF-16 units)
    // The parameters of the function written there; nullopt when none is.
    std::optional<FunctionParameters> parameters;
};

class SourceScan {
public:
    // The calling thread's reader for the function list, compiled on first use and kept
    // in a group of its own.
    static const SourceScan& reader();
    // A reader in a global context of its own in the group of the engine whose context is
    // given (fresh built-ins, that engine's stop watch), for walks over that engine's
    // objects that need the reader's parameterList beside them (the inspector's
    // snapshot). The thread keeps one, beside the engine last asked for; asking for
    // another engine's replaces it.
    static const SourceScan& beside(JSContextRef engine);

    SourceScan(); // in a group of its own
    explicit SourceScan(JSContextRef engine);

    // False when the reader could not be loaded (or the job was stopped meanwhile).
    bool isValid() const { return m_declarations != nullptr; }
    // The reader's context: its globals are declarationList and parameterList.
    const EngineContext& context() const { return m_context; }

    // In source order; empty when the text could not be read (or the job was stopped).
    std::vector<Declaration> declarations(const QString& source) const;
    // The parameters a function's text writes; nullopt for a text that is no function.
    std::optional<FunctionParameters> parameters(const QString& functionText) const;

private:
    void load();

    EngineContext m_context;
    JSObjectRef m_declarations = nullptr; // the reader's declarationList
    JSObjectRef m_parameters = nullptr;   // and its parameterList
};
