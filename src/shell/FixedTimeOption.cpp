#include "shell/FixedTimeOption.h"

#include "script/GlobalObjects.h"

#include <QAction>
#include <QDateTimeEdit>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMenu>
#include <QSettings>

namespace {
const QString kOn = QStringLiteral("environment/fixedTime");
const QString kSeed = QStringLiteral("environment/fixedSeed");
const QString kStart = QStringLiteral("environment/fixedStart");

} // namespace

FixedTimeOption::FixedTimeOption(const Workspace& workspace, QString settingsPath)
    : QObject(&workspace.window), m_work(workspace), m_settingsPath(std::move(settingsPath)) {
    const QSettings settings(m_settingsPath, QSettings::IniFormat);
    m_values.seed = settings.value(kSeed, 0).toULongLong();
    m_values.startMs = settings.value(kStart, FixedTime::kDefaultStart).toDouble();
    QMenu* menu = m_work.menu(QStringLiteral("菜单_工具"));
    m_toggle = Workspace::addNamedAction(menu, QStringLiteral("固定时间和随机数"));
    m_toggle->setCheckable(true);
    m_toggle->setChecked(settings.value(kOn, false).toBool());
    m_toggle->setToolTip(
        QStringLiteral("加载代码时从设定的时刻开始计时，Math.random() 按种子取数"));
    m_settings = Workspace::addNamedAction(menu, QStringLiteral("固定时间和随机数设置…"));
    connect(m_toggle, &QAction::toggled, this, [this] {
        store();
        apply();
    });
    connect(m_settings, &QAction::triggered, this, &FixedTimeOption::editValues);
    apply();
}

std::optional<FixedTime> FixedTimeOption::current() const {
    if (!m_toggle->isChecked())
        return std::nullopt;
    return m_values;
}

void FixedTimeOption::setValues(const FixedTime& values) {
    m_values = values;
    store();
    apply();
}

void FixedTimeOption::apply() {
    m_work.globals.mainHost().setFixedTime(current());
}

void FixedTimeOption::store() const {
    QSettings settings(m_settingsPath, QSettings::IniFormat);
    settings.setValue(kOn, m_toggle->isChecked());
    settings.setValue(kSeed, QString::number(m_values.seed));
    settings.setValue(kStart, m_values.startMs);
}

void FixedTimeOption::editValues() {
    QDialog dialog(&m_work.window);
    dialog.setWindowTitle(QStringLiteral("固定时间和随机数"));
    auto* form = new QFormLayout(&dialog);
    auto* seed = new QLineEdit(QString::number(m_values.seed), &dialog);
    auto* start = new QDateTimeEdit(&dialog);
    start->setTimeSpec(Qt::UTC);
    start->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz 'UTC'"));
    start->setDateTime(QDateTime::fromMSecsSinceEpoch(qint64(m_values.startMs), Qt::UTC));
    form->addRow(QStringLiteral("随机数种子："), seed);
    form->addRow(QStringLiteral("开始时间："), start);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    if (dialog.exec() != QDialog::Accepted)
        return;
    bool ok = false;
    FixedTime values = m_values;
    const quint64 n = seed->text().trimmed().toULongLong(&ok);
    if (ok)
        values.seed = n;
    values.startMs = double(start->dateTime().toMSecsSinceEpoch());
    setValues(values);
}
