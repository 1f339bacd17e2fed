#include "editor/ReplaceBar.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include <algorithm>
#include <limits>

namespace {
QPushButton* barButton(const QString& text, const char* name, QWidget* parent) {
    auto* b = new QPushButton(text, parent);
    b->setObjectName(QString::fromUtf8(name));
    b->setAutoDefault(false);
    // As narrow as the caption allows: the bar covers code.
    b->setMinimumWidth(b->fontMetrics().horizontalAdvance(text) + 16);
    b->setMaximumWidth(b->minimumWidth());
    return b;
}
} // namespace

ReplaceBar::ReplaceBar(QWidget* area) : QFrame(area) {
    setObjectName(QStringLiteral("替换栏"));
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    QFont font(QStringLiteral("微软雅黑"), 9);
    setFont(font);

    auto* label = new QLabel(QStringLiteral("替换为"), this);
    m_replacement = new QLineEdit(this);
    m_replacement->setObjectName(QStringLiteral("编辑框_替换内容"));
    m_replacement->setMaxLength(std::numeric_limits<int>::max());
    m_replacement->setMinimumWidth(150);
    m_previous = barButton(QStringLiteral("上一个"), "按钮_上一个", this);
    m_next = barButton(QStringLiteral("下一个"), "按钮_下一个", this);
    m_replace = barButton(QStringLiteral("替换"), "按钮_替换", this);
    m_replaceAll = barButton(QStringLiteral("全部替换"), "按钮_全部替换", this);
    m_close = new QToolButton(this);
    m_close->setObjectName(QStringLiteral("按钮_关闭替换"));
    m_close->setText(QStringLiteral("×"));
    m_close->setAutoRaise(true);
    m_close->setToolTip(QStringLiteral("关闭 (Esc)"));
    connect(m_close, &QToolButton::clicked, this, &QWidget::hide);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(6, 3, 3, 3);
    row->setSpacing(4);
    row->addWidget(label);
    row->addWidget(m_replacement, 1);
    for (QWidget* w : {static_cast<QWidget*>(m_previous), static_cast<QWidget*>(m_next),
                       static_cast<QWidget*>(m_replace), static_cast<QWidget*>(m_replaceAll),
                       static_cast<QWidget*>(m_close)})
        row->addWidget(w);

    area->installEventFilter(this);
    hide();
}

void ReplaceBar::open() {
    place();
    show();
    raise();
    m_replacement->setFocus(Qt::ShortcutFocusReason);
    m_replacement->selectAll();
}

void ReplaceBar::place() {
    QWidget* area = parentWidget();
    int top = 0;
    if (auto* tabs = qobject_cast<QTabWidget*>(area))
        top = tabs->tabBar()->geometry().bottom() + 1;
    const QSize size = sizeHint();
    // At the right, clear of the editor's vertical scroll bar.
    constexpr int kScrollBarRoom = 18;
    const int width = std::min(size.width() + 80, area->width() - kScrollBarRoom);
    setGeometry(area->width() - kScrollBarRoom - width, top, width, size.height());
}

bool ReplaceBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize && isVisible())
        place();
    return QFrame::eventFilter(watched, event);
}

void ReplaceBar::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QFrame::keyPressEvent(event);
}
