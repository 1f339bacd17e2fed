#include "shell/Dialogs.h"

#include <QDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

void WidgetDialogs::message(QWidget* parent, const QString& text, const QString& caption) {
    // A plain box: OK only, no icon.
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    box.exec();
}

Dialogs::Answer WidgetDialogs::question(QWidget* parent, const QString& text,
                                        const QString& caption) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

Dialogs::Answer WidgetDialogs::yesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

QString WidgetDialogs::openFileName(QWidget* parent, const QString& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), filter);
}

QString WidgetDialogs::saveFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix) {
    QFileDialog dialog(parent, QString(), QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(defaultSuffix);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}

void WidgetDialogs::runModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}
