#pragma once
// "环境代码": the user's own environment script, kept as environment.js in the program's
// settings folder so that stubs written for one site survive, and the stubs the access
// record offers for missing names.

#include <QString>
#include <QStringList>

class EnvironmentCode {
public:
    explicit EnvironmentCode(QString directory);

    QString path() const;
    // The text kept; empty when there is none yet (or it cannot be read: *error says why).
    QString load(QString* error = nullptr) const;
    // Replaces the kept text in one step (a temporary file renamed over the old one).
    bool save(const QString& text, QString* error = nullptr) const;

private:
    QString m_directory;
};

// One line of stub per missing path: `window.chrome = {};` for a global that is not
// there, `navigator.xyz = undefined;` for a member; a path that cannot be assigned
// (the result of a call) becomes a comment.
QStringList stubsFor(const QStringList& missingPaths);
// The text with the stubs added at its end, each only once.
QString withStubs(const QString& code, const QStringList& stubs);
