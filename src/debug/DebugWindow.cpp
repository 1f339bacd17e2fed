#include "debug/DebugWindow.h"

#include "debug/DebugSession.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
constexpr int kObjectIdRole = Qt::UserRole + 1;
constexpr int kFilledRole = Qt::UserRole + 2;

// Replies come on the inspector thread; the widgets are touched on theirs only.
template <typename F> void onGui(QObject* context, F&& work) {
    if (!context)
        return;
    QMetaObject::invokeMethod(context, std::forward<F>(work), Qt::QueuedConnection);
}
} // namespace

DebugWindow::DebugWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("调试"));
    setWindowTitle(QStringLiteral("调试 - 已暂停"));
    m_toolBar = new QToolBar(this);
    m_stack = new QListWidget(this);
    m_stack->setObjectName(QStringLiteral("调用栈"));
    m_scopes = new QTreeWidget(this);
    m_scopes->setObjectName(QStringLiteral("作用域"));
    m_scopes->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("值")});
    m_scopes->header()->setStretchLastSection(true);
    m_expression = new QLineEdit(this);
    m_expression->setObjectName(QStringLiteral("帧表达式"));
    auto* evaluate = new QPushButton(QStringLiteral("计算表达式"), this);
    evaluate->setObjectName(QStringLiteral("按钮_帧计算"));
    m_result = new QLabel(this);
    m_result->setObjectName(QStringLiteral("帧计算结果"));
    m_result->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_result->setWordWrap(true);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* stackBox = new QWidget(split);
    auto* stackLayout = new QVBoxLayout(stackBox);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    stackLayout->addWidget(new QLabel(QStringLiteral("调用栈"), stackBox));
    stackLayout->addWidget(m_stack);
    auto* scopeBox = new QWidget(split);
    auto* scopeLayout = new QVBoxLayout(scopeBox);
    scopeLayout->setContentsMargins(0, 0, 0, 0);
    scopeLayout->addWidget(new QLabel(QStringLiteral("作用域"), scopeBox));
    scopeLayout->addWidget(m_scopes);
    split->setStretchFactor(1, 2);
    auto* row = new QHBoxLayout;
    row->addWidget(m_expression);
    row->addWidget(evaluate);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_toolBar);
    layout->addWidget(split);
    layout->addLayout(row);
    layout->addWidget(m_result);
    resize(420, 560);

    connect(m_stack, &QListWidget::currentRowChanged, this, &DebugWindow::chooseFrame);
    connect(m_scopes, &QTreeWidget::itemExpanded, this, [this](QTreeWidgetItem* item) {
        if (!item->data(0, kFilledRole).toBool())
            fill(item, item->data(0, kObjectIdRole).toString());
    });
    connect(evaluate, &QPushButton::clicked, this, &DebugWindow::evaluate);
    connect(m_expression, &QLineEdit::returnPressed, this, &DebugWindow::evaluate);
}

void DebugWindow::closeEvent(QCloseEvent* event) {
    // Hidden, the window could not let the script go on: closing it does.
    if (!m_pause.frames.isEmpty())
        emit closedWhilePaused();
    QWidget::closeEvent(event);
}

int DebugWindow::currentFrame() const {
    return m_stack->currentRow();
}

void DebugWindow::showPause(const PauseInfo& info) {
    m_pause = info;
    m_result->clear();
    m_stack->blockSignals(true);
    m_stack->clear();
    for (const CallFrame& f : info.frames) {
        const QString name =
            f.functionName.isEmpty() ? QStringLiteral("（匿名函数）") : f.functionName;
        m_stack->addItem(f.source > 0 ? QStringLiteral("%1  第%2行").arg(name).arg(f.line)
                                      : QStringLiteral("%1  （计算的代码）").arg(name));
    }
    m_stack->blockSignals(false);
    if (info.reason == QLatin1String("exception"))
        m_result->setText(QStringLiteral("异常：") + info.exception.text());
    m_stack->setCurrentRow(info.frames.isEmpty() ? -1 : 0);
}

void DebugWindow::clearPause() {
    m_pause = {};
    ++m_generation;
    m_stack->clear();
    m_scopes->clear();
}

void DebugWindow::chooseFrame(int index) {
    ++m_generation;
    m_scopes->clear();
    if (index < 0 || index >= m_pause.frames.size())
        return;
    const CallFrame& frame = m_pause.frames[index];
    emit frameChosen(frame.source, frame.line);
    for (qsizetype i = 0; i < frame.scopes.size(); ++i) {
        const Scope& scope = frame.scopes[i];
        auto* item = new QTreeWidgetItem(m_scopes);
        // The innermost scope of a function is its locals, whatever the engine calls it.
        item->setText(0, i == 0 && scope.type != QLatin1String("global") ? QStringLiteral("局部")
                                                                         : scope.title());
        item->setData(0, kObjectIdRole, scope.objectId);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        // Locals open at once; the global scope is large and opens on demand.
        if (i == 0 && scope.type != QLatin1String("global"))
            item->setExpanded(true);
    }
}

void DebugWindow::fill(QTreeWidgetItem* item, const QString& objectId) {
    item->setData(0, kFilledRole, true);
    if (objectId.isEmpty())
        return;
    QPointer<DebugWindow> self(this);
    const int generation = m_generation;
    DebugSession::instance().properties(
        objectId, [self, generation, item](const QList<Property>& list) {
            if (!self)
                return;
            onGui(self, [self, generation, item, list] {
                // The items are gone once another pause or frame is shown.
                if (!self || self->m_generation != generation)
                    return;
                for (const Property& p : list) {
                    auto* child = new QTreeWidgetItem(item);
                    child->setText(0, p.name);
                    child->setText(1, p.value.text());
                    if (p.value.expandable() && p.value.type != QLatin1String("function")) {
                        child->setData(0, kObjectIdRole, p.value.objectId);
                        child->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
                    }
                }
                if (list.isEmpty())
                    item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicator);
            });
        });
}

void DebugWindow::evaluate() {
    const int index = currentFrame();
    const QString expression = m_expression->text();
    if (index < 0 || index >= m_pause.frames.size() || expression.trimmed().isEmpty())
        return;
    DebugSession::instance().evaluate(
        m_pause.frames[index].id, expression,
        [self = QPointer<DebugWindow>(this), expression](auto value, bool thrown) {
            const QString text = value ? value->text() : QStringLiteral("（没有结果）");
            onGui(self, [self, expression, text, thrown] {
                if (!self)
                    return;
                self->m_result->setText(
                    (thrown ? QStringLiteral("抛出：") : QStringLiteral("结果：")) + text);
                emit self->evaluated(expression, text, thrown);
            });
        });
}
