#include "script/InspectorWindow.h"

#include "script/ObjectDescription.h"

#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>

namespace {
// The designed size; the two panes share whatever the user adds to it.
constexpr int kWidth = 610;
constexpr int kHeight = 353;
constexpr int kMinWidth = 400;
constexpr int kMinHeight = 240;
constexpr int kMaxShownChars = 2000;

QFont controlFont() {
    return QFont(QStringLiteral("微软雅黑"), 9);
}

// Rows one pixel taller than the font, so neighbouring items do not touch.
class RowHeightDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(option.fontMetrics.height() + 1);
        return size;
    }
};

void whiteBackground(QWidget* widget) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Base, Qt::white);
    palette.setColor(QPalette::Text, Qt::black);
    widget->setPalette(palette);
}
} // namespace

InspectorWindow::InspectorWindow(std::shared_ptr<ScriptObject> object, QWidget* parent)
    : QDialog(parent), m_memberBox(new QGroupBox(QStringLiteral("对象属性方法"), this)),
      m_memberText(new QPlainTextEdit(this)),
      m_arrayBox(new QGroupBox(QStringLiteral("数组内容查看"), this)),
      m_arrayList(new QListWidget(this)) {
    setObjectName(QStringLiteral("InspectorWindow"));
    setWindowTitle(QStringLiteral("对象查看器DEMO"));
    setModal(true);
    setMinimumSize(kMinWidth, kMinHeight);

    m_memberBox->setObjectName(QStringLiteral("分组框1"));
    m_arrayBox->setObjectName(QStringLiteral("分组框2"));

    // The listing has no scroll bars, yet a long one stays readable: the wheel and the
    // cursor keys still scroll it, and lines wrap at the pane's width.
    m_memberText->setObjectName(QStringLiteral("编辑框1"));
    m_memberText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memberText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memberText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    whiteBackground(m_memberText);

    m_arrayList->setObjectName(QStringLiteral("列表框1"));
    m_arrayList->setSortingEnabled(false);
    m_arrayList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_arrayList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_arrayList->setItemDelegate(new RowHeightDelegate(m_arrayList));
    whiteBackground(m_arrayList);

    for (QWidget* control :
         {static_cast<QWidget*>(m_memberBox), static_cast<QWidget*>(m_memberText),
          static_cast<QWidget*>(m_arrayBox), static_cast<QWidget*>(m_arrayList)})
        control->setFont(controlFont());
    // The group boxes only frame; the panes sit on top of them.
    m_memberText->raise();
    m_arrayList->raise();

    move(50, 50);
    resize(kWidth, kHeight);
    layOut();

    fillArrayList(ArrayListing(object));
    m_memberText->setPlainText(DescribeObject(object));
}

void InspectorWindow::fillArrayList(const QStringList& items) {
    // An item is one line; laying out megabytes of it would hold the window up for
    // seconds. The row shows the beginning, the item keeps the whole text.
    for (const QString& text : items) {
        auto* item = new QListWidgetItem;
        item->setData(Qt::UserRole, text);
        item->setText(text.size() > kMaxShownChars ? text.left(kMaxShownChars) + QStringLiteral("…")
                                                   : text);
        m_arrayList->addItem(item);
    }
}

void InspectorWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    layOut();
}

void InspectorWindow::layOut() {
    // At the designed size every control has its place of the original layout; extra
    // width goes half to each pane, extra height to both.
    const int extraWidth = width() - kWidth;
    const int extraHeight = height() - kHeight;
    const int leftExtra = extraWidth / 2;
    const int rightExtra = extraWidth - leftExtra;
    m_memberBox->setGeometry(0, 0, 280 + leftExtra, 320 + extraHeight);
    m_memberText->setGeometry(3, 16, 272 + leftExtra, 296 + extraHeight);
    m_arrayBox->setGeometry(280 + leftExtra, 0, 320 + rightExtra, 320 + extraHeight);
    m_arrayList->setGeometry(285 + leftExtra, 16, 307 + rightExtra, 295 + extraHeight);
}
