// The inspector window: its controls as designed, both panes filled, text reachable.

#include "script/InspectorWindow.h"
#include "engine/ScriptObject.h"
#include "script/ScriptHost.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QWheelEvent>

namespace {
template <typename T> T* control(QWidget& window, const char* name) {
    T* found = window.findChild<T*>(QString::fromUtf8(name));
    EXPECT_TRUE(found) << name;
    return found;
}
} // namespace

TEST(InspectorWindow, ControlsAsDesignedAndBothPanesFilled) {
    ScriptHost host;
    InspectorWindow window(
        host.Eval(QStringLiteral("var a = [10, 'a']; a.note = 'n'; a")).toObject());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("对象查看器DEMO"));
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.pos(), QPoint(50, 50));
    EXPECT_EQ(window.size(), QSize(610, 353));

    auto* memberBox = control<QGroupBox>(window, "分组框1");
    auto* memberText = control<QPlainTextEdit>(window, "编辑框1");
    auto* arrayBox = control<QGroupBox>(window, "分组框2");
    auto* arrayList = control<QListWidget>(window, "列表框1");
    ASSERT_TRUE(memberBox && memberText && arrayBox && arrayList);
    EXPECT_EQ(memberBox->title(), QStringLiteral("对象属性方法"));
    EXPECT_EQ(arrayBox->title(), QStringLiteral("数组内容查看"));
    EXPECT_EQ(memberBox->geometry(), QRect(0, 0, 280, 320));
    EXPECT_EQ(memberText->geometry(), QRect(3, 16, 272, 296));
    EXPECT_EQ(arrayBox->geometry(), QRect(280, 0, 320, 320));
    EXPECT_EQ(arrayList->geometry(), QRect(285, 16, 307, 295));
    for (QWidget* w : {static_cast<QWidget*>(memberBox), static_cast<QWidget*>(memberText),
                       static_cast<QWidget*>(arrayBox), static_cast<QWidget*>(arrayList)}) {
        EXPECT_EQ(w->font().family(), QStringLiteral("微软雅黑")) << w->objectName().toStdString();
        EXPECT_EQ(w->font().pointSize(), 9);
    }

    EXPECT_FALSE(memberText->isReadOnly());
    EXPECT_EQ(memberText->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(memberText->palette().color(QPalette::Base), QColor(Qt::white));
    EXPECT_EQ(memberText->palette().color(QPalette::Text), QColor(Qt::black));
    // The array's own members and those of Array.prototype.
    const QString members = memberText->toPlainText();
    EXPECT_TRUE(
        members.startsWith(QStringLiteral("对象类型名称:Array    共有 2 个属性(含读/写)，")));
    EXPECT_TRUE(members.contains(QStringLiteral("\n方法:push\n")));
    EXPECT_TRUE(members.endsWith(QStringLiteral("\n属性:length\n属性:note\n")));

    EXPECT_FALSE(arrayList->isSortingEnabled());
    EXPECT_EQ(arrayList->selectionMode(), QAbstractItemView::SingleSelection);
    EXPECT_EQ(arrayList->palette().color(QPalette::Base), QColor(Qt::white));
    ASSERT_EQ(arrayList->count(), 3);
    EXPECT_EQ(arrayList->item(0)->text(), QStringLiteral("数组长度(length)--->2"));
    EXPECT_EQ(arrayList->item(1)->text(), QStringLiteral("下标0--->10"));
    EXPECT_EQ(arrayList->item(2)->text(), QStringLiteral("下标1--->a"));
    EXPECT_EQ(arrayList->visualItemRect(arrayList->item(0)).height(),
              QFontMetrics(arrayList->font()).height() + 1);
}

TEST(InspectorWindow, EmptyReferenceAndResizing) {
    InspectorWindow window(nullptr);
    auto* memberText = control<QPlainTextEdit>(window, "编辑框1");
    auto* arrayList = control<QListWidget>(window, "列表框1");
    ASSERT_TRUE(memberText && arrayList);
    EXPECT_TRUE(memberText->toPlainText().isEmpty());
    ASSERT_EQ(arrayList->count(), 1);
    EXPECT_EQ(arrayList->item(0)->text(), QStringLiteral("数组长度(length)--->0"));

    // Both panes take their share of a larger window.
    window.show();
    window.resize(810, 453);
    EXPECT_EQ(memberText->geometry(), QRect(3, 16, 372, 396));
    EXPECT_EQ(arrayList->geometry(), QRect(385, 16, 407, 395));
}

TEST(InspectorWindow, LongListingScrollsWithoutScrollBars) {
    ScriptHost host;
    InspectorWindow window(
        host.Eval(QStringLiteral("var o = {}; for (var i = 0; i < 200; ++i) o['m' + i] = i; o"))
            .toObject());
    window.show();
    auto* memberText = control<QPlainTextEdit>(window, "编辑框1");
    ASSERT_TRUE(memberText);
    QScrollBar* bar = memberText->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_EQ(bar->value(), 0);
    const QPoint at(10, 10);
    QWheelEvent wheel(at, memberText->viewport()->mapToGlobal(at), QPoint(), QPoint(0, -120),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(memberText->viewport(), &wheel);
    EXPECT_GT(bar->value(), 0);
}

TEST(InspectorWindow, HugeElementShowsItsBeginningAndKeepsTheWhole) {
    ScriptHost host;
    InspectorWindow window(host.Eval(QStringLiteral("['y'.repeat(1e6), 'short']")).toObject());
    auto* arrayList = control<QListWidget>(window, "列表框1");
    ASSERT_TRUE(arrayList);
    ASSERT_EQ(arrayList->count(), 3);
    const QString whole = QStringLiteral("下标0--->") + QString(1000000, QLatin1Char('y'));
    EXPECT_EQ(arrayList->item(1)->data(Qt::UserRole).toString(), whole);
    EXPECT_EQ(arrayList->item(1)->text(), whole.left(2000) + QStringLiteral("…"));
    EXPECT_EQ(arrayList->item(2)->text(), QStringLiteral("下标1--->short"));
}
