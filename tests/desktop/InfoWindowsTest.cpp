// The about, contact and reference windows as the menus open them.

#include "../support/FakeDialogs.h"
#include "../support/MenuEntry.h"
#include "../support/UrlCatcher.h"
#include "../support/WindowFixture.h"

#include "desktop/AboutWindow.h"
#include "desktop/DesktopServices.h"
#include "desktop/InfoTexts.h"
#include "desktop/ReferenceWindow.h"
#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include <string>

namespace {
struct Workbench : WindowFixture {
    DesktopServices& desktop() { return *window.findChild<DesktopServices*>(); }
};

// Clicks the link whose text is `text` the way a mouse would.
void clickLink(QTextBrowser& browser, const QString& text) {
    QTextCursor found = browser.document()->find(text);
    ASSERT_FALSE(found.isNull()) << text.toStdString();
    QTextCursor middle(browser.document());
    middle.setPosition(found.selectionStart() + 1);
    browser.setTextCursor(middle);
    browser.ensureCursorVisible();
    const QPoint at = browser.cursorRect(middle).center();
    QWidget* viewport = browser.viewport();
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QApplication::sendEvent(viewport, &release);
}
} // namespace

TEST(AboutWindow, VersionNotesExactly) {
    const std::string in(11, ' ');
    const std::string expected =
        in + "版本号：1.9 \r\n\r\n" + in + "1.修复一些小错误\r\n\r\n" + in +
        "2.完善JS速查手册，方便查询\r\n\r\n" + in + "3.美化界面,增加匹配括号高亮\r\n\r\n" + in +
        "4.增加JS压缩功能避免复制后进去的JS过长\r\n\r\n" + in +
        "5.增加常用编码的解码功能(U码，URL，UTF8，base64)" + in + "\r\n\r\n" + in +
        "注：对象查看功能致谢林川 周野 特此留名\r\n\r\n" + std::string(93, ' ') +
        "Marlo-2014.21.58";
    EXPECT_EQ(aboutNotes().toUtf8().toStdString(), expected);
    EXPECT_EQ(aboutNotes().split(QStringLiteral("\r\n")).size(), 15);

    AboutWindow about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("关于VexoJS调试工具"));
    auto* title = about.findChild<QLabel*>(QStringLiteral("标签2"));
    auto* notes = about.findChild<QLabel*>(QStringLiteral("标签1"));
    ASSERT_TRUE(title && notes);
    EXPECT_EQ(title->text(), QStringLiteral("版本说明"));
    EXPECT_TRUE(title->font().bold());
    EXPECT_EQ(title->font().pointSize(), 10);
    EXPECT_EQ(notes->text(), QString(aboutNotes()).replace("\r\n", "\n"));
    EXPECT_EQ(notes->geometry(), QRect(8, 32, 512, 296));
    EXPECT_FALSE(about.testAttribute(Qt::WA_QuitOnClose));
}

TEST(ContactWindow, GreetingAndLinkExactly) {
    const std::string expected =
        "有好的建议？\r\n有好的想法？\r\n发现BUG？\r\n捐助作者？\r\n\r\nVexo在此恭候大家";
    EXPECT_EQ(contactGreeting().toUtf8().toStdString(), expected);

    const QUrl target(contactAddress());
    EXPECT_EQ(target.path(), QStringLiteral("/msgrd"));
    EXPECT_EQ(target.query(), QStringLiteral("v=3&uin=1029384756&site=JS&menu=yes"));

    ContactWindow contact;
    EXPECT_EQ(contact.windowTitle(), QStringLiteral("联系Marlo"));
    auto* link = contact.findChild<QLabel*>(QStringLiteral("超级链接框1"));
    auto* greeting = contact.findChild<QLabel*>(QStringLiteral("标签1"));
    ASSERT_TRUE(link && greeting);
    // Centred by the label across the whole window, link and greeting alike.
    EXPECT_EQ(greeting->alignment(), Qt::AlignHCenter | Qt::AlignTop);
    EXPECT_EQ(greeting->geometry().center().x(), contact.rect().center().x());
    EXPECT_EQ(link->geometry().center().x(), contact.rect().center().x());
    EXPECT_TRUE(link->text().contains(QStringLiteral(">点此联系我-Marlo<")));
    UrlCatcher browser;
    emit link->linkActivated(contactAddress());
    ASSERT_EQ(browser.urls.size(), 1);
    EXPECT_EQ(browser.urls.first(), target);
}

TEST(InfoWindows, MenusOpenThemModalOrBeside) {
    Workbench wb;
    QStringList opened;
    wb.dialogs.onModal = [&](QDialog& d) { opened << d.windowTitle(); };
    for (const char* item : {"软件版本", "联系作者", "检查更新", "JavaScript速查"})
        EXPECT_TRUE(menuEntry(wb.window, item)->isEnabled()) << item;
    EXPECT_FALSE(menuEntry(wb.window, "数组对象查看")->isEnabled());

    menuEntry(wb.window, "软件版本")->trigger();
    menuEntry(wb.window, "联系作者")->trigger();
    EXPECT_EQ(opened,
              QStringList({QStringLiteral("关于VexoJS调试工具"), QStringLiteral("联系Marlo")}));

    // The reference window stands beside the main window; a second choice reuses it.
    menuEntry(wb.window, "JavaScript速查")->trigger();
    ReferenceWindow* reference = wb.desktop().referenceWindow();
    ASSERT_TRUE(reference);
    EXPECT_TRUE(reference->isVisible());
    EXPECT_FALSE(reference->isModal());
    menuEntry(wb.window, "JavaScript速查")->trigger();
    EXPECT_EQ(wb.desktop().referenceWindow(), reference);
    EXPECT_EQ(wb.dialogs.modalRuns, 2);
}

TEST(ReferenceWindow, OpensOnItsFirstPageAndFollowsLinks) {
    UrlCatcher browser;
    ReferenceWindow window;
    window.show();
    QTextBrowser* pane = window.browser();
    EXPECT_EQ(window.windowTitle(), QStringLiteral("JScript速查手册"));
    EXPECT_EQ(pane->objectName(), QStringLiteral("超文本浏览框1"));
    EXPECT_EQ(pane->source(), QUrl(QStringLiteral("qrc:/manual/javascript.html")));
    EXPECT_TRUE(pane->toPlainText().startsWith(QStringLiteral("JavaScript 速查手册")));

    clickLink(*pane, QStringLiteral("String 字符串"));
    EXPECT_EQ(pane->source(), QUrl(QStringLiteral("qrc:/manual/string.html")));
    EXPECT_TRUE(pane->toPlainText().contains(QStringLiteral("charCodeAt")));
    clickLink(*pane, QStringLiteral("« 目录"));
    EXPECT_EQ(pane->source(), QUrl(QStringLiteral("qrc:/manual/javascript.html")));
    EXPECT_TRUE(browser.urls.isEmpty());

    // Web links leave the program for the system's browser; the page stays.
    clickLink(*pane, QStringLiteral("MDN JavaScript 参考"));
    ASSERT_EQ(browser.urls.size(), 1);
    EXPECT_EQ(browser.urls.first().scheme(), QStringLiteral("https"));
    EXPECT_EQ(pane->source(), QUrl(QStringLiteral("qrc:/manual/javascript.html")));
}

TEST(ReferenceWindow, EveryLinkOfEveryPageLeadsSomewhere) {
    static const QRegularExpression href(QStringLiteral("href=\"([^\"]+)\""));
    int pages = 0;
    for (QDirIterator it(QStringLiteral(":/manual")); it.hasNext();) {
        const QString path = it.next();
        if (!path.endsWith(QStringLiteral(".html")))
            continue;
        ++pages;
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString html = QString::fromUtf8(file.readAll());
        for (auto m = href.globalMatch(html); m.hasNext();) {
            const QUrl link =
                QUrl(QStringLiteral("qrc") + path).resolved(QUrl(m.next().captured(1)));
            if (link.scheme() == QStringLiteral("https"))
                continue;
            ASSERT_EQ(link.scheme(), QStringLiteral("qrc")) << link.toString().toStdString();
            EXPECT_TRUE(QFile::exists(QStringLiteral(":") + link.path()))
                << path.toStdString() << " -> " << link.toString().toStdString();
            if (link.hasFragment()) {
                QFile target(QStringLiteral(":") + link.path());
                ASSERT_TRUE(target.open(QIODevice::ReadOnly));
                EXPECT_TRUE(target.readAll().contains("id=\"" + link.fragment().toUtf8() + "\""))
                    << link.toString().toStdString();
            }
        }
    }
    EXPECT_GE(pages, 8);
}
