// Texts that Qt and the editor component draw themselves come out in Chinese.

#include "shell/Translations.h"
#include "editor/CodeEditor.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QContextMenuEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QRegularExpression>
#include <QTranslator>

#include <memory>

namespace {
QStringList actionTexts(QMenu& menu) {
    QStringList texts;
    for (QAction* a : menu.actions()) {
        if (!a->isSeparator())
            texts << a->text();
    }
    return texts;
}

// Installs the translations for one test and takes them out again afterwards, so the
// other tests of this program see Qt as it comes.
struct Translated {
    QLocale locale;
    bool qtCatalogue = installTranslations(*qApp);
    ~Translated() {
        QLocale::setDefault(locale);
        for (QTranslator* t : qApp->findChildren<QTranslator*>()) {
            QCoreApplication::removeTranslator(t);
            delete t;
        }
    }
};
} // namespace

TEST(Translations, EditorLineEditAndFileDialogSpeakChinese) {
    Translated translated;
    ASSERT_TRUE(translated.qtCatalogue) << "Qt's Chinese catalogue (qt6-translations-l10n)";

    // The editor's own menu, as a right click opens it.
    CodeEditor editor(0);
    editor.resize(300, 200);
    editor.show();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(50, 50),
                            editor.mapToGlobal(QPoint(50, 50)));
    QApplication::sendEvent(editor.viewport(), &click);
    // The menu pops up without a loop of its own.
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(menu);
    const QStringList editorTexts = actionTexts(*menu);
    menu->close();
    EXPECT_EQ(editorTexts,
              QStringList({QStringLiteral("撤销"), QStringLiteral("重做"), QStringLiteral("剪切"),
                           QStringLiteral("复制"), QStringLiteral("粘贴"), QStringLiteral("删除"),
                           QStringLiteral("全选")}));

    // The search box, the address field and every other text field.
    QLineEdit line;
    const std::unique_ptr<QMenu> lineMenu(line.createStandardContextMenu());
    const QStringList lineTexts = actionTexts(*lineMenu);
    ASSERT_FALSE(lineTexts.isEmpty());
    for (const QString& text : lineTexts) {
        EXPECT_FALSE(text.contains(QRegularExpression(QStringLiteral("^&?[A-Za-z][a-z]+"))))
            << text.toStdString();
    }

    // Open and save go through Qt's own dialog here.
    QFileDialog dialog;
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    auto* lookIn = dialog.findChild<QLabel*>(QStringLiteral("lookInLabel"));
    ASSERT_TRUE(lookIn);
    EXPECT_NE(lookIn->text(), QStringLiteral("Look in:"));
    EXPECT_TRUE(
        lookIn->text().contains(QRegularExpression(QStringLiteral("[\\x{4e00}-\\x{9fff}]"))))
        << lookIn->text().toStdString();

    // Only the menu's own entries are ours; anything else passes through.
    EXPECT_EQ(QCoreApplication::translate("ContextMenu", "Undo everything"),
              QStringLiteral("Undo everything"));
    EXPECT_EQ(QCoreApplication::translate("SomethingElse", "Undo"), QStringLiteral("Undo"));
}
