#include "browser/EnvironmentCode.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

EnvironmentCode::EnvironmentCode(QString directory) : m_directory(std::move(directory)) {}

QString EnvironmentCode::path() const {
    return m_directory + QStringLiteral("/environment.js");
}

QString EnvironmentCode::load(QString* error) const {
    QFile file(path());
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return {};
    }
    return QString::fromUtf8(file.readAll());
}

bool EnvironmentCode::save(const QString& text, QString* error) const {
    QDir().mkpath(m_directory);
    QSaveFile file(path());
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    file.write(text.toUtf8());
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

QStringList stubsFor(const QStringList& missingPaths) {
    static const QRegularExpression assignable(
        QStringLiteral("^[\\p{L}_$][\\p{L}\\p{N}_$]*(\\.[\\p{L}_$][\\p{L}\\p{N}_$]*)+$"));
    QStringList stubs;
    for (const QString& path : missingPaths) {
        QString line;
        if (!assignable.match(path).hasMatch())
            line = QStringLiteral("// ") + path;
        else if (path.startsWith(QLatin1String("window.")) && path.count(QLatin1Char('.')) == 1)
            line = path + QStringLiteral(" = {};");
        else
            line = path + QStringLiteral(" = undefined;");
        if (!stubs.contains(line))
            stubs << line;
    }
    return stubs;
}

QString withStubs(const QString& code, const QStringList& stubs) {
    QStringList existing = code.split(QLatin1Char('\n'));
    for (QString& l : existing)
        l = l.trimmed();
    QString out = code;
    for (const QString& stub : stubs) {
        if (existing.contains(stub))
            continue;
        if (!out.isEmpty() && !out.endsWith(QLatin1Char('\n')))
            out += QLatin1Char('\n');
        out += stub + QLatin1Char('\n');
        existing << stub;
    }
    return out;
}
