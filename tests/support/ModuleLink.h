#pragma once
// Module files (name → CommonJS source) as one script that runs them together: require()
// resolves paths relative to the requiring file, each module runs once, the entry first.

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QString>

inline QString linkedModules(const QMap<QString, QString>& files, const QString& entry) {
    QJsonObject map;
    for (auto it = files.begin(); it != files.end(); ++it)
        map.insert(it.key(), it.value());
    return QStringLiteral(
               "(function (files, entry) {"
               "  var cache = {};"
               "  function resolve(from, name) {"
               "    var parts = from.split('/').slice(0, -1);"
               "    name.split('/').forEach(function (p) {"
               "      if (p === '..') parts.pop(); else if (p !== '.') parts.push(p); });"
               "    var path = parts.join('/');"
               "    return files.hasOwnProperty(path) ? path : path + '.js';"
               "  }"
               "  function load(path) {"
               "    if (cache[path]) return cache[path].exports;"
               "    if (!files.hasOwnProperty(path)) throw new Error('no file ' + path);"
               "    var module = cache[path] = { exports: {} };"
               "    Function('module', 'exports', 'require', files[path]).call(module.exports,"
               "      module, module.exports, function (n) { return load(resolve(path, n)); });"
               "    return module.exports;"
               "  }"
               "  load(entry[0]);"
               "})(%1, %2);")
        .arg(QString::fromUtf8(QJsonDocument(map).toJson(QJsonDocument::Compact)),
             QString::fromUtf8(QJsonDocument(QJsonArray{entry}).toJson(QJsonDocument::Compact)));
}
