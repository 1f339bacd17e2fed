#include "tools/DeobHistoryWindow.h"

#include "editor/CodeEditor.h"
#include "tools/FormatScript.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QVBoxLayout>

DeobHistoryWindow::DeobHistoryWindow(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("解密记录"));
    resize(900, 560);
    m_list = new QListWidget(this);
    // Not one of the six: no line marks, no brace scan of its own.
    constexpr int kViewerIndex = 6;
    m_code = new CodeEditor(kViewerIndex, this);
    m_code->Configure();
    m_code->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 1UL);
    m_applyButton = new QPushButton(QStringLiteral("放入当前编辑框"), this);
    m_applyButton->setEnabled(false);
    auto* close = new QPushButton(QStringLiteral("关闭"), this);

    auto* splitter = m_splitter = new QSplitter(this);
    splitter->addWidget(m_list);
    splitter->addWidget(m_code);
    splitter->setStretchFactor(1, 3);
    splitter->setChildrenCollapsible(false);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_applyButton);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("上次“eval解密”解除的各层（选中一层查看其后的代码）："), this));
    layout->addWidget(splitter, 1);
    layout->addLayout(buttons);

    connect(m_list, &QListWidget::currentRowChanged, this, &DeobHistoryWindow::showStage);
    connect(m_applyButton, &QPushButton::clicked, this, [this] {
        const int row = m_list->currentRow();
        if (!m_apply || row < 0 || row >= m_codes.size() || m_codes[row].isEmpty())
            return;
        // A stage goes in laid out, as "eval解密" leaves its result; the original as it was,
        // and every stage as it is while a self-check would trip on the layout.
        const ToolResult laidOut =
            row > 0 && !m_keepLayout ? FormatScript(m_codes[row]) : ToolResult{};
        m_apply(laidOut.ok ? laidOut.text : m_codes[row]);
    });
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    setRun({}, {});
}

void DeobHistoryWindow::setRun(const QString& original, const DeobResult& result) {
    m_keepLayout = result.keepLayout;
    m_list->clear();
    m_codes.clear();
    if (original.isEmpty() && result.history.isEmpty()) {
        m_list->addItem(QStringLiteral("（还没有解密记录）"));
        m_codes << QString();
        m_list->setCurrentRow(0);
        return;
    }
    m_list->addItem(QStringLiteral("原始代码（%1 字节）").arg(original.toUtf8().size()));
    m_codes << original;
    for (const DeobStage& s : result.history) {
        m_list->addItem(s.historyLine(true));
        m_codes << (s.peeled ? s.code : QString());
    }
    // A bundle's modules, each a file of its own.
    for (const DeobModule& m : result.modules) {
        m_list->addItem(m.entry ? QStringLiteral("模块：%1（入口）").arg(m.name)
                                : QStringLiteral("模块：%1").arg(m.name));
        m_codes << m.code;
    }
    m_list->setCurrentRow(m_list->count() - 1 - int(result.modules.size()));
    fitList();
}

void DeobHistoryWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    fitList();
}

void DeobHistoryWindow::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    // A narrower window takes its room from the list first, once that has half.
    if (m_list->width() > (m_splitter->width() - m_splitter->handleWidth()) / 2)
        fitList();
}

void DeobHistoryWindow::fitList() {
    const int total = m_splitter->width() - m_splitter->handleWidth();
    if (total <= 0)
        return;
    const int wanted = m_list->sizeHintForColumn(0) + 2 * m_list->frameWidth() +
                       m_list->verticalScrollBar()->sizeHint().width() + 8;
    const int listWidth = qMin(wanted, total / 2);
    m_splitter->setSizes({listWidth, total - listWidth});
}

void DeobHistoryWindow::showStage(int row) {
    const bool has = row >= 0 && row < m_codes.size() && !m_codes[row].isEmpty();
    m_code->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 0UL);
    m_code->SetText(has ? m_codes[row].toUtf8() : QByteArray());
    m_code->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    m_code->SendScintilla(QsciScintillaBase::SCI_SETREADONLY, 1UL);
    m_applyButton->setEnabled(has);
}
