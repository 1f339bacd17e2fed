#include "shell/Dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

#include <algorithm>

void WidgetDialogs::message(QWidget* parent, const QString& text, const QString& caption) {
    // A plain box: OK only, no icon.
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, parent);
    widenForCaption(box);
    box.exec();
}

int captionWidth(const QWidget& box) {
    // The caption in the title bar's font, with room for the window manager's buttons
    // and icon beside it.
    constexpr int kTitleBarExtras = 150;
    constexpr int kNarrowest = 220;
    const QFontMetrics metrics(QApplication::font("QMdiSubWindowTitleBar"));
    return std::max(kNarrowest, metrics.horizontalAdvance(box.windowTitle()) + kTitleBarExtras);
}

void widenForCaption(QMessageBox& box) {
    // A short text ("保存成功") makes a box narrower than its own title; a message box
    // takes no minimum width, but a spacer in its grid holds it open.
    auto* grid = qobject_cast<QGridLayout*>(box.layout());
    if (!grid)
        return;
    grid->addItem(new QSpacerItem(captionWidth(box), 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                  grid->rowCount(), 0, 1, grid->columnCount());
}

Dialogs::Answer WidgetDialogs::question(QWidget* parent, const QString& text,
                                        const QString& caption) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Ok | QMessageBox::Cancel,
                    parent);
    widenForCaption(box);
    box.setWindowModality(Qt::ApplicationModal);
    return box.exec() == QMessageBox::Ok ? Answer::Ok : Answer::Cancel;
}

Dialogs::Answer WidgetDialogs::yesNo(QWidget* parent, const QString& text, const QString& caption) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::NoButton, parent);
    QPushButton* yes = box.addButton(QStringLiteral("是"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
    widenForCaption(box);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
    return box.clickedButton() == yes ? Answer::Yes : Answer::No;
}

namespace {
// "name|a;b|name|c" becomes Qt's "name (a b);;name (c)"; the names are shown as given.
QStringList nameFilters(const QString& filter) {
    const QStringList parts = filter.split(QLatin1Char('|'));
    if (parts.size() < 2)
        return {filter};
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns = parts[i + 1].split(QLatin1Char(';'), Qt::SkipEmptyParts);
        // "*.*" means every file, also those without a dot.
        for (QString& p : patterns)
            if (p == QLatin1String("*.*"))
                p = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return filters;
}

QString runFileDialog(QWidget* parent, QFileDialog::AcceptMode mode, const QString& filter,
                      const QString& defaultSuffix, const QString& initialName) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile
                                                       : QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters(filter));
    QString suffix = defaultSuffix;
    if (suffix.startsWith(QLatin1Char('.')))
        suffix.remove(0, 1);
    dialog.setDefaultSuffix(suffix);
    if (!initialName.isEmpty())
        dialog.selectFile(initialName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().first();
}
} // namespace

QString WidgetDialogs::openFileName(QWidget* parent, const QString& filter,
                                    const QString& initialName) {
    return runFileDialog(parent, QFileDialog::AcceptOpen, filter, {}, initialName);
}

QString WidgetDialogs::saveFileName(QWidget* parent, const QString& filter,
                                    const QString& defaultSuffix, const QString& initialName) {
    return runFileDialog(parent, QFileDialog::AcceptSave, filter, defaultSuffix, initialName);
}

void WidgetDialogs::runModal(QDialog& dialog) {
    dialog.setWindowModality(Qt::ApplicationModal);
    dialog.exec();
}
