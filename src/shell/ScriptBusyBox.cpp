#include "shell/ScriptBusyBox.h"

#include <QDialog>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

QPushButton* buildBusyBox(QDialog& box, const QString& name, const QString& title,
                          std::initializer_list<QWidget*> content, int minimumWidth) {
    box.setObjectName(name);
    box.setWindowTitle(title);
    box.setWindowFlags(box.windowFlags() & ~Qt::WindowContextHelpButtonHint);
    box.setModal(true);
    auto* stop = new QPushButton(QStringLiteral("停止"), &box);
    stop->setObjectName(QStringLiteral("按钮_停止"));
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(stop);
    auto* layout = new QVBoxLayout(&box);
    for (QWidget* w : content)
        layout->addWidget(w);
    layout->addLayout(row);
    box.setMinimumWidth(minimumWidth);
    return stop;
}

void ScriptBusyBox::wait(ScriptJob& job) {
    {
        QEventLoop loop;
        QObject::connect(&job, &ScriptJob::finished, &loop, &QEventLoop::quit);
        QTimer::singleShot(kDelayMs, &loop, &QEventLoop::quit);
        if (job.isDone())
            return;
        // Input waits until the script is done; painting and timers go on.
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (job.isDone())
        return;

    QDialog box(m_parent);
    auto* label = new QLabel(QStringLiteral("脚本运行中…"), &box);
    QPushButton* stop = buildBusyBox(box, QStringLiteral("脚本运行中"),
                                     QStringLiteral("脚本运行中…"), {label}, 260);

    auto requestStop = [&] {
        ScriptThread::instance().requestStop();
        stop->setEnabled(false);
        label->setText(QStringLiteral("正在停止…"));
    };
    QObject::connect(stop, &QPushButton::clicked, &box, requestStop);
    // Closing the box also stops the script; the box stays until the thread is free.
    QObject::connect(&box, &QDialog::rejected, &box, [&] {
        if (!job.isDone())
            requestStop();
    });
    QObject::connect(&job, &ScriptJob::finished, &box, &QDialog::accept);
    while (!job.isDone())
        box.exec();
}
