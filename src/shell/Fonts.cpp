#include "shell/Fonts.h"

#include <QFont>
#include <QFontDatabase>
#include <QStringList>

void installFontSubstitutes() {
    const QStringList families = QFontDatabase::families();
    auto firstInstalled = [&](const QStringList& candidates) {
        for (const QString& f : candidates)
            if (families.contains(f))
                return f;
        return QString();
    };
    const QString sans =
        firstInstalled({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
                        QStringLiteral("WenQuanYi Micro Hei")});
    const QString serif =
        firstInstalled({QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Serif SC")});
    // 黑体 is the code editors' face: code columns must line up, so it gets the
    // fixed-width member of the same family (same CJK glyphs, fixed-width Latin).
    const QString mono = firstInstalled({QStringLiteral("Noto Sans Mono CJK SC")});
    if (!sans.isEmpty())
        QFont::insertSubstitution(QStringLiteral("微软雅黑"), sans);
    if (!mono.isEmpty() || !sans.isEmpty())
        QFont::insertSubstitution(QStringLiteral("黑体"), mono.isEmpty() ? sans : mono);
    if (!serif.isEmpty() || !sans.isEmpty())
        QFont::insertSubstitution(QStringLiteral("SimSun"), serif.isEmpty() ? sans : serif);
}
