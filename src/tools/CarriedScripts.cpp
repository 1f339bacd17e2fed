#include "tools/CarriedScripts.h"

#include <QFile>

namespace {
QString load(const char* path) {
    QFile file(QString::fromLatin1(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}
} // namespace

namespace CarriedScripts {
QString beautifier() {
    static const QString text = load(":/scripts/beautifier.js");
    return text;
}
QString unpacker() {
    static const QString text = load(":/scripts/unpacker.js");
    return text;
}
QString minifier() {
    static const QString text = load(":/scripts/jsmin.js");
    return text;
}
QString deobfuscator() {
    static const QString text = load(":/scripts/deobfuscator.js");
    return text;
}
QString environment() {
    static const QString text = load(":/scripts/environment.js");
    return text;
}
} // namespace CarriedScripts
