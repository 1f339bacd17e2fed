#include "script/InspectorWindow.h"

#include "script/ObjectDescription.h"
#include "script/ValueTreeModel.h"
#include "script/ValueTreeView.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStyledItemDelegate>
#include <QVBoxLayout>

namespace {
// The designed size; the panes share whatever the user adds to it.
constexpr int kWidth = 900;
constexpr int kHeight = 520;
constexpr int kMinWidth = 480;
constexpr int kMinHeight = 280;
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

// A frame with one pane filling it.
QGroupBox* framed(QGroupBox* box, QWidget* pane) {
    auto* layout = new QVBoxLayout(box);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(pane);
    return box;
}
} // namespace

InspectorWindow::InspectorWindow(std::shared_ptr<ScriptObject> object, QWidget* parent)
    : QDialog(parent), m_treeBox(new QGroupBox(QStringLiteral("对象树"), this)),
      m_tree(new ValueTreeView(this)),
      m_model(new ValueTreeModel(object, QStringLiteral("计算结果"), this)),
      m_memberBox(new QGroupBox(QStringLiteral("对象属性方法"), this)),
      m_memberText(new QPlainTextEdit(this)),
      m_arrayBox(new QGroupBox(QStringLiteral("数组内容查看"), this)),
      m_arrayList(new QListWidget(this)) {
    setObjectName(QStringLiteral("InspectorWindow"));
    setWindowTitle(QStringLiteral("对象查看器DEMO"));
    setModal(true);
    setMinimumSize(kMinWidth, kMinHeight);

    m_treeBox->setObjectName(QStringLiteral("分组框3"));
    m_memberBox->setObjectName(QStringLiteral("分组框1"));
    m_arrayBox->setObjectName(QStringLiteral("分组框2"));

    m_tree->setObjectName(QStringLiteral("树_对象"));
    m_tree->setValueModel(m_model);
    whiteBackground(m_tree);

    // Long listings scroll; lines wrap at the pane's width.
    m_memberText->setObjectName(QStringLiteral("编辑框1"));
    m_memberText->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_memberText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_memberText->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    whiteBackground(m_memberText);

    m_arrayList->setObjectName(QStringLiteral("列表框1"));
    m_arrayList->setSortingEnabled(false);
    m_arrayList->setSelectionMode(QAbstractItemView::SingleSelection);
    m_arrayList->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_arrayList->setItemDelegate(new RowHeightDelegate(m_arrayList));
    whiteBackground(m_arrayList);

    for (QWidget* control : std::initializer_list<QWidget*>{m_treeBox, m_tree, m_memberBox,
                                                            m_memberText, m_arrayBox, m_arrayList})
        control->setFont(controlFont());

    // The tree takes the larger left part; the two listings share the right one.
    auto* listings = new QSplitter(Qt::Vertical, this);
    listings->addWidget(framed(m_memberBox, m_memberText));
    listings->addWidget(framed(m_arrayBox, m_arrayList));
    auto* panes = new QSplitter(Qt::Horizontal, this);
    panes->setObjectName(QStringLiteral("分隔条"));
    panes->addWidget(framed(m_treeBox, m_tree));
    panes->addWidget(listings);
    panes->setStretchFactor(0, 3);
    panes->setStretchFactor(1, 2);
    panes->setSizes({kWidth * 3 / 5, kWidth * 2 / 5});
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addWidget(panes);

    move(50, 50);
    resize(kWidth, kHeight);

    // The value's first level is shown at once: listing members runs none of its getters.
    m_tree->expand(m_model->index(0, 0));
    fillArrayList(ArrayListing(object));
    m_memberText->setPlainText(DescribeObject(object));
}

QTreeView* InspectorWindow::tree() const {
    return m_tree;
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
