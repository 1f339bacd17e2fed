#include "script/SourceScan.h"

#include "engine/JsHandle.h"
#include "tools/CarriedScripts.h"

#include <QStringView>

std::optional<FunctionParameters> decodeParameters(const QString& text) {
    FunctionParameters params;
    qsizetype from = 0;
    while (from < text.size()) {
        const qsizetype comma = text.indexOf(QLatin1Char(','), from);
        if (comma < 0)
            return std::nullopt;
        QStringView item = QStringView(text).mid(from, comma - from);
        FunctionParameter p;
        p.optional = item.endsWith(QLatin1Char('='));
        if (p.optional)
            item.chop(1);
        p.name = item.toString();
        params.append(std::move(p));
        from = comma + 1;
    }
    return params;
}

namespace {
std::optional<Declaration::Kind> kindOf(QStringView word) {
    static const struct {
        const char* word;
        Declaration::Kind kind;
    } kinds[] = {{"function", Declaration::Function}, {"var", Declaration::Var},
                 {"let", Declaration::Let},           {"const", Declaration::Const},
                 {"class", Declaration::Class},       {"=", Declaration::Assignment}};
    for (const auto& k : kinds)
        if (word == QLatin1String(k.word))
            return k.kind;
    return std::nullopt;
}

// One line of the reader's list: kind, name, offset and parameters, split by tabs.
std::optional<Declaration> declarationFrom(QStringView line) {
    const qsizetype a = line.indexOf(QLatin1Char('\t'));
    const qsizetype b = a < 0 ? -1 : line.indexOf(QLatin1Char('\t'), a + 1);
    const qsizetype c = b < 0 ? -1 : line.indexOf(QLatin1Char('\t'), b + 1);
    if (c < 0)
        return std::nullopt;
    const auto kind = kindOf(line.left(a));
    bool ok = false;
    const qsizetype offset = line.mid(b + 1, c - b - 1).toLongLong(&ok);
    if (!kind || !ok || b == a + 1)
        return std::nullopt;
    Declaration d;
    d.kind = *kind;
    d.name = line.mid(a + 1, b - a - 1).toString();
    d.offset = offset;
    const QStringView params = line.mid(c + 1);
    if (params != QLatin1String("-"))
        d.parameters = decodeParameters(params.toString());
    return d;
}
} // namespace

SourceScan::SourceScan() {
    load();
}

SourceScan::SourceScan(JSContextRef engine) : m_context(EngineContext::inGroupOf(engine)) {
    load();
}

void SourceScan::load() {
    if (!m_context.enter())
        return;
    JSValueRef exception = nullptr;
    m_context.evaluate(CarriedScripts::sourceScan(), QStringLiteral("sourcescan.js"), &exception);
    if (!exception) {
        m_declarations = m_context.function(QStringLiteral("declarationList"));
        m_parameters = m_context.function(QStringLiteral("parameterList"));
    }
}

const SourceScan& SourceScan::reader() {
    thread_local std::unique_ptr<SourceScan> kept;
    // A reader whose load was stopped is made again at the next use.
    if (!kept || !kept->isValid()) {
        kept.reset();
        kept = std::make_unique<SourceScan>();
    }
    return *kept;
}

const SourceScan& SourceScan::beside(JSContextRef engine) {
    thread_local std::unique_ptr<SourceScan> kept;
    if (!kept || !kept->isValid() ||
        JSContextGetGroup(kept->m_context.context()) != JSContextGetGroup(engine)) {
        kept.reset(); // the old reader goes before the new one is made
        kept = std::make_unique<SourceScan>(engine);
    }
    return *kept;
}

std::optional<FunctionParameters> SourceScan::parameters(const QString& functionText) const {
    if (!m_parameters || !m_context.enter())
        return std::nullopt;
    JSGlobalContextRef ctx = m_context.context();
    JSValueRef argument = jsMakeString(ctx, functionText);
    JSValueRef exception = nullptr;
    JSValueRef list = JSObjectCallAsFunction(ctx, m_parameters, nullptr, 1, &argument, &exception);
    if (exception || !list || !JSValueIsString(ctx, list))
        return std::nullopt;
    return decodeParameters(jsValueToQString(ctx, list));
}

std::vector<Declaration> SourceScan::declarations(const QString& source) const {
    std::vector<Declaration> out;
    if (!m_declarations || !m_context.enter())
        return out;
    JSGlobalContextRef ctx = m_context.context();
    JSValueRef argument = jsMakeString(ctx, source);
    JSValueRef exception = nullptr;
    JSValueRef list =
        JSObjectCallAsFunction(ctx, m_declarations, nullptr, 1, &argument, &exception);
    if (exception || !list || !JSValueIsString(ctx, list))
        return out;
    const QString text = jsValueToQString(ctx, list);
    for (QStringView line : QStringView(text).split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        if (auto d = declarationFrom(line))
            out.push_back(std::move(*d));
    }
    return out;
}
