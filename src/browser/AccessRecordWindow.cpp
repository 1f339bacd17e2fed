#include "browser/AccessRecordWindow.h"

#include "browser/EnvironmentCode.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {
enum Column { Kind, Path, Value, Count, Position, ColumnCount };
} // namespace

AccessRecordWindow::AccessRecordWindow(std::shared_ptr<AccessRecord> record, QWidget* parent)
    : QDialog(parent), m_record(std::move(record)) {
    setObjectName(QStringLiteral("环境记录"));
    setWindowTitle(QStringLiteral("环境记录"));
    resize(760, 460);
    auto* layout = new QVBoxLayout(this);
    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("加载："), this));
    m_runs = new QComboBox(this);
    m_runs->setMinimumWidth(260);
    top->addWidget(m_runs, 1);
    m_missingOnly = new QCheckBox(QStringLiteral("只看缺失"), this);
    top->addWidget(m_missingOnly);
    m_stubButton = new QPushButton(QStringLiteral("补到环境代码"), this);
    m_stubButton->setToolTip(
        QStringLiteral("为选中的缺失项写入桩代码（window.x = {}; navigator.x = undefined;）"));
    top->addWidget(m_stubButton);
    layout->addLayout(top);

    m_table = new QTableWidget(0, ColumnCount, this);
    m_table->setHorizontalHeaderLabels({QStringLiteral("类型"), QStringLiteral("路径"),
                                        QStringLiteral("值"), QStringLiteral("次数"),
                                        QStringLiteral("首次位置")});
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_table->verticalHeader()->setVisible(false);
    m_table->horizontalHeader()->setSectionResizeMode(Path, QHeaderView::Stretch);
    m_table->horizontalHeader()->setSectionResizeMode(Value, QHeaderView::Stretch);
    layout->addWidget(m_table, 1);
    m_status = new QLabel(this);
    layout->addWidget(m_status);

    m_timer = new QTimer(this);
    m_timer->setInterval(500);
    connect(m_timer, &QTimer::timeout, this, &AccessRecordWindow::refresh);
    connect(m_runs, &QComboBox::currentIndexChanged, this, &AccessRecordWindow::showRun);
    connect(m_missingOnly, &QCheckBox::toggled, this, &AccessRecordWindow::showRun);
    connect(m_stubButton, &QPushButton::clicked, this, &AccessRecordWindow::addStubs);
}

void AccessRecordWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    refresh();
    m_timer->start();
}

void AccessRecordWindow::hideEvent(QHideEvent* event) {
    m_timer->stop();
    QDialog::hideEvent(event);
}

void AccessRecordWindow::refresh() {
    const quint64 version = m_record->version();
    if (version == m_version)
        return;
    m_version = version;
    m_shown = m_record->runs();
    const QSignalBlocker block(m_runs);
    m_runs->clear();
    int n = int(m_shown.size());
    for (const AccessRun& run : m_shown) {
        int missing = 0;
        for (const AccessEntry& e : run.entries)
            missing += e.isMissing() ? 1 : 0;
        m_runs->addItem(QStringLiteral("第%1次 %2（%3项，缺失%4项）")
                            .arg(n--)
                            .arg(run.started.toString(QStringLiteral("HH:mm:ss")))
                            .arg(run.entries.size())
                            .arg(missing));
    }
    m_runs->setCurrentIndex(m_shown.isEmpty() ? -1 : 0);
    showRun();
}

void AccessRecordWindow::showRun() {
    m_table->setRowCount(0);
    const int index = m_runs->currentIndex();
    if (index < 0 || index >= m_shown.size()) {
        m_status->setText(QStringLiteral("没有记录：勾选“环境监控”和“浏览器环境”后加载代码"));
        return;
    }
    const AccessRun& run = m_shown[index];
    const bool missingOnly = m_missingOnly->isChecked();
    for (const AccessEntry& e : run.entries) {
        if (missingOnly && !e.isMissing())
            continue;
        const int row = m_table->rowCount();
        m_table->insertRow(row);
        const QStringList cells{e.kind, e.path, e.value, QString::number(e.count),
                                QStringLiteral("%1行%2列").arg(e.line).arg(e.column)};
        for (int c = 0; c < ColumnCount; ++c)
            m_table->setItem(row, c, new QTableWidgetItem(cells[c]));
    }
    QString status = QStringLiteral("共%1项").arg(run.entries.size());
    if (run.dropped > 0)
        status += QStringLiteral("，另有%1次访问超出记录上限未记").arg(run.dropped);
    m_status->setText(status);
}

void AccessRecordWindow::addStubs() {
    QStringList paths;
    for (const QModelIndex& index : m_table->selectionModel()->selectedRows()) {
        const int row = index.row();
        if (m_table->item(row, Kind)->text() == QLatin1String("缺失"))
            paths << m_table->item(row, Path)->text();
    }
    if (paths.isEmpty()) {
        m_status->setText(QStringLiteral("请先选中缺失项"));
        return;
    }
    if (m_addStubs)
        m_addStubs(stubsFor(paths));
    m_status->setText(QStringLiteral("已写入环境代码：%1项").arg(paths.size()));
}
