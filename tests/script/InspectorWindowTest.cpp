// The inspector window: its controls as designed, both panes filled, text reachable.

#include "script/InspectorWindow.h"

#include "../support/Controls.h"

#include "engine/ScriptObject.h"
#include "engine/ScriptThread.h"
#include "script/ScriptHost.h"
#include "script/ValueTreeModel.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeView>
#include <QWheelEvent>

#include <iterator>
#include <memory>

TEST(InspectorWindow, ControlsAsDesignedAndBothPanesFilled) {
    ScriptHost host;
    InspectorWindow window(
        host.Eval(QStringLiteral("var a = [10, 'a']; a.note = 'n'; a")).toObject());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("对象查看器DEMO"));
    EXPECT_TRUE(window.isModal());
    EXPECT_EQ(window.pos(), QPoint(50, 50));
    EXPECT_EQ(window.size(), QSize(900, 520));

    auto* treeBox = control<QGroupBox>(window, "分组框3");
    auto* tree = control<QTreeView>(window, "树_对象");
    auto* memberBox = control<QGroupBox>(window, "分组框1");
    auto* memberText = control<QPlainTextEdit>(window, "编辑框1");
    auto* arrayBox = control<QGroupBox>(window, "分组框2");
    auto* arrayList = control<QListWidget>(window, "列表框1");
    ASSERT_TRUE(treeBox && tree && memberBox && memberText && arrayBox && arrayList);
    EXPECT_EQ(treeBox->title(), QStringLiteral("对象树"));
    EXPECT_EQ(memberBox->title(), QStringLiteral("对象属性方法"));
    EXPECT_EQ(arrayBox->title(), QStringLiteral("数组内容查看"));
    // Each pane sits inside its own frame, and no two frames overlap.
    window.show();
    const struct {
        QGroupBox* box;
        QWidget* pane;
    } frames[] = {{treeBox, tree}, {memberBox, memberText}, {arrayBox, arrayList}};
    for (const auto& f : frames) {
        EXPECT_EQ(f.pane->parentWidget(), f.box);
        EXPECT_TRUE(f.box->rect().contains(f.pane->geometry())) << f.box->title().toStdString();
        for (const auto& other : frames) {
            const QRect a(f.box->mapTo(&window, QPoint()), f.box->size());
            const QRect b(other.box->mapTo(&window, QPoint()), other.box->size());
            if (f.box != other.box) {
                EXPECT_FALSE(a.intersects(b));
            }
        }
    }
    // The tree takes the larger part of the width.
    EXPECT_GT(treeBox->width(), memberBox->width());
    for (QWidget* w : {static_cast<QWidget*>(treeBox), static_cast<QWidget*>(tree),
                       static_cast<QWidget*>(memberBox), static_cast<QWidget*>(memberText),
                       static_cast<QWidget*>(arrayBox), static_cast<QWidget*>(arrayList)}) {
        EXPECT_EQ(w->font().family(), QStringLiteral("微软雅黑")) << w->objectName().toStdString();
        EXPECT_EQ(w->font().pointSize(), 9);
    }

    EXPECT_FALSE(memberText->isReadOnly());
    EXPECT_EQ(memberText->verticalScrollBarPolicy(), Qt::ScrollBarAsNeeded);
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

    // Every pane takes its share of a larger window.
    window.show();
    const QSize memberBefore = memberText->size();
    const QSize arrayBefore = arrayList->size();
    window.resize(1100, 720);
    QApplication::processEvents();
    EXPECT_GT(memberText->width(), memberBefore.width());
    EXPECT_GT(memberText->height(), memberBefore.height());
    EXPECT_GT(arrayList->width(), arrayBefore.width());
    EXPECT_GT(arrayList->height(), arrayBefore.height());
}

TEST(InspectorWindow, LongListingScrollsWithItsScrollBar) {
    ScriptHost host;
    InspectorWindow window(
        host.Eval(QStringLiteral("var o = {}; for (var i = 0; i < 200; ++i) o['m' + i] = i; o"))
            .toObject());
    window.show();
    auto* memberText = control<QPlainTextEdit>(window, "编辑框1");
    ASSERT_TRUE(memberText);
    QScrollBar* bar = memberText->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    EXPECT_TRUE(bar->isVisible());
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

namespace {
// The inspector's tree, driven as a user drives it: rows expanded in the view.
struct Tree {
    ScriptHost host;
    std::unique_ptr<InspectorWindow> window;
    QTreeView* view = nullptr;
    ValueTreeModel* model = nullptr;

    explicit Tree(const QString& code, const QString& expression) {
        host.AddCode(code);
        window = std::make_unique<InspectorWindow>(host.Eval(expression).toObject());
        window->show();
        view = window->tree();
        model = window->treeModel();
    }
    QModelIndex top() const { return model->index(0, 0); }
    // The row named `name` under `parent`.
    QModelIndex row(const QModelIndex& parent, const QString& name) const {
        for (int i = 0; i < model->rowCount(parent); ++i)
            if (model->index(i, 0, parent).data().toString() == name)
                return model->index(i, 0, parent);
        return {};
    }
    QString value(const QModelIndex& at) const { return at.siblingAtColumn(1).data().toString(); }
    QModelIndex open(const QModelIndex& at) const {
        view->expand(at);
        QApplication::processEvents();
        return at;
    }
    int counter() { return int(host.Eval(QStringLiteral("counter")).toDouble()); }
};
} // namespace

TEST(InspectorTree, NestedObjectsOpenOneLevelAtATimeAndGettersWaitUntilAsked) {
    Tree t(QStringLiteral("var counter = 0;\n"
                          "function Point(x) { this.x = x; }\n"
                          "var value = {a: 1, s: 'x', n: {deep: {deeper: [1, 2]}},\n"
                          "  f: function add(x, y = 1, ...rest) {}, arr: [1, 2, 3],\n"
                          "  get g() { counter++; return {v: 5}; }, p: new Point(3),\n"
                          "  h: async (q) => q, k: class Shape {}, big: 12n, no: null,\n"
                          "  [Symbol('tag')]: -0};"),
           QStringLiteral("value"));
    ASSERT_TRUE(t.top().isValid());
    EXPECT_EQ(t.value(t.top()), QStringLiteral("{a: 1, s: \"x\", n: {…}, f: ƒ, arr: Array(3), …}"));
    EXPECT_TRUE(t.view->isExpanded(t.top())); // the first level is shown at once
    const struct {
        const char* name;
        const char* shown;
    } members[] = {
        {"a", "1"},
        {"s", "\"x\""},
        {"n", "{deep: {…}}"},
        {"f", "ƒ add(x, y, ...rest)"},
        {"arr", "Array(3)"},
        {"g", "(…)"},
        {"p", "Point {x: 3}"},
        {"h", "async ƒ h(q)"},
        {"k", "class Shape"},
        {"big", "12n"},
        {"no", "null"},
        {"Symbol(tag)", "-0"},
        {"[[Prototype]]", "Object"},
    };
    ASSERT_EQ(t.model->rowCount(t.top()), int(std::size(members)));
    for (int i = 0; i < int(std::size(members)); ++i) {
        const QModelIndex r = t.model->index(i, 0, t.top());
        EXPECT_EQ(r.data().toString(), QString::fromUtf8(members[i].name));
        EXPECT_EQ(t.value(r), QString::fromUtf8(members[i].shown)) << members[i].name;
    }
    EXPECT_EQ(t.counter(), 0); // listing ran no getter

    // Nested objects, one level per expansion.
    const QModelIndex deep =
        t.row(t.open(t.row(t.top(), QStringLiteral("n"))), QStringLiteral("deep"));
    EXPECT_EQ(t.value(deep), QStringLiteral("{deeper: Array(2)}"));
    EXPECT_EQ(t.model->rowCount(deep), 0);
    const QModelIndex deeper = t.row(t.open(deep), QStringLiteral("deeper"));
    t.open(deeper);
    QStringList rows;
    for (int i = 0; i < t.model->rowCount(deeper); ++i)
        rows << t.model->index(i, 0, deeper).data().toString() + QLatin1Char('=') +
                    t.value(t.model->index(i, 0, deeper));
    EXPECT_EQ(rows,
              QStringList({QStringLiteral("0=1"), QStringLiteral("1=2"), QStringLiteral("length=2"),
                           QStringLiteral("[[Prototype]]=Array")}));

    // The getter runs when its row is expanded, once, with the object as `this`.
    const QModelIndex g = t.row(t.top(), QStringLiteral("g"));
    t.open(g);
    EXPECT_EQ(t.counter(), 1);
    EXPECT_EQ(t.value(g), QStringLiteral("{v: 5}"));
    EXPECT_EQ(t.value(t.row(g, QStringLiteral("v"))), QStringLiteral("5"));
    t.view->collapse(g);
    t.open(g);
    EXPECT_EQ(t.counter(), 1);
}

TEST(InspectorTree, LargeObjectsPageAndEndlessReadsAreStopped) {
    Tree t(QStringLiteral("var big = {}; for (var i = 0; i < 450; ++i) big['m' + i] = i;\n"
                          "var spin = {get spin() { for (;;) {} }, after: 1};"),
           QStringLiteral("big"));
    const QModelIndex top = t.top();
    const struct {
        int rows;         // after the step
        const char* last; // the last row's value
    } pages[] = {
        {201, "……还有 250 个成员（双击显示后 200 个）"},
        {401, "……还有 50 个成员（双击显示后 50 个）"},
        {451, "Object"},
    };
    for (const auto& p : pages) {
        SCOPED_TRACE(p.rows);
        if (p.rows > 201) {
            const QModelIndex more = t.model->index(t.model->rowCount(top) - 1, 0, top);
            emit t.view->activated(more);
        }
        ASSERT_EQ(t.model->rowCount(top), p.rows);
        EXPECT_EQ(t.value(t.model->index(p.rows - 1, 0, top)), QString::fromUtf8(p.last));
    }
    EXPECT_EQ(t.model->index(449, 0, top).data().toString(), QStringLiteral("m449"));

    // A getter that never returns: "停止" ends it, the row says so, the engine goes on.
    Tree s(QStringLiteral("var spin = {get spin() { for (;;) {} }, after: 1};"),
           QStringLiteral("spin"));
    const QModelIndex spin = s.row(s.top(), QStringLiteral("spin"));
    ASSERT_TRUE(spin.isValid());
    BlockingWaiter waiter(0.3);
    ScriptThread::instance().setWaiter(&waiter);
    s.open(spin);
    EXPECT_EQ(s.value(spin), QStringLiteral("(…) 脚本运行已被用户中止，错误号=5100，双击重试"));
    EXPECT_EQ(s.model->rowCount(spin), 0);
    EXPECT_EQ(s.value(s.row(s.top(), QStringLiteral("after"))), QStringLiteral("1"));
    ScriptThread::instance().setWaiter(nullptr);
    EXPECT_EQ(s.host.Eval(QStringLiteral("1 + 1")).toDouble(), 2.0);
}

TEST(InspectorTree, EndlessProxyKeyListingIsStopped) {
    // A proxy whose key listing never returns: the stopped read leaves a row to try again
    // (it once hung here, turning the engine's termination into text).
    // The waiter stays for the checks too: whatever a view's layout reads again is stopped
    // as the window's busy box would stop it, never waited for without end.
    BlockingWaiter again(0.3);
    ScriptThread::instance().setWaiter(&again);
    Tree p(QString(), QStringLiteral("new Proxy({}, {ownKeys() { for (;;) {} }})"));
    const int rows = p.model->rowCount(p.top());
    const QString stopped = rows > 0 ? p.value(p.model->index(0, 0, p.top())) : QString();
    ScriptThread::instance().setWaiter(nullptr);
    ASSERT_EQ(rows, 1);
    EXPECT_EQ(stopped, QStringLiteral("……（脚本运行已被用户中止，错误号=5100，双击重试）"));
}
