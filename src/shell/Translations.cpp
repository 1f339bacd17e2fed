#include "shell/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstring>

namespace {
// The editor component's context menu: it ships no Chinese catalogue.
class EditorMenuTranslator : public QTranslator {
public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char* context, const char* sourceText, const char*,
                      int) const override {
        // The editing component asks under this context for its right-click menu.
        if (!context || !sourceText || std::strcmp(context, "ContextMenu") != 0)
            return {};
        struct Entry {
            const char* source;
            const char* chinese;
        };
        static constexpr Entry entries[] = {
            {"Undo", "撤销"},  {"Redo", "重做"},   {"Cut", "剪切"},        {"Copy", "复制"},
            {"Paste", "粘贴"}, {"Delete", "删除"}, {"Select All", "全选"},
        };
        for (const Entry& e : entries) {
            if (std::strcmp(sourceText, e.source) == 0)
                return QString::fromUtf8(e.chinese);
        }
        return {};
    }
};
} // namespace

bool installTranslations(QCoreApplication& app) {
    // Owned by the application: translators must live as long as it does.
    QCoreApplication::installTranslator(new EditorMenuTranslator(&app));
    // Dates, sizes and numbers in Qt's dialogs follow the interface's language too.
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    QLocale::setDefault(chinese);
    auto* qt = new QTranslator(&app);
    if (!qt->load(chinese, QStringLiteral("qt"), QStringLiteral("_"),
                  QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}
