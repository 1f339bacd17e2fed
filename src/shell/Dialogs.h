#pragma once
// Every message box, file dialog and modal window the workbench shows goes through this
// interface, so tests can answer them without a display.

#include <QString>

class QDialog;
class QMessageBox;
class QWidget;

class Dialogs {
public:
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;
    // A box with an OK button and no icon; without a caption of its own it shows "信息：".
    virtual void message(QWidget* parent, const QString& text,
                         const QString& caption = QStringLiteral("信息：")) = 0;
    // OK and Cancel with the information icon; closing the box counts as Cancel.
    virtual Answer question(QWidget* parent, const QString& text, const QString& caption) = 0;
    // "是" and "否" with the question icon; Yes or No, closing the box counts as No.
    virtual Answer yesNo(QWidget* parent, const QString& text, const QString& caption) = 0;
    // File dialogs take their filter as "name|patterns|name|patterns" (patterns separated
    // by ";") and offer initialName as the file chosen; the empty text when cancelled.
    virtual QString openFileName(QWidget* parent, const QString& filter,
                                 const QString& initialName = {}) = 0;
    virtual QString saveFileName(QWidget* parent, const QString& filter,
                                 const QString& defaultSuffix, const QString& initialName = {}) = 0;
    // Runs a modal window until it is closed.
    virtual void runModal(QDialog& dialog) = 0;
};

// The real boxes and dialogs.
class WidgetDialogs : public Dialogs {
public:
    void message(QWidget* parent, const QString& text, const QString& caption) override;
    Answer question(QWidget* parent, const QString& text, const QString& caption) override;
    Answer yesNo(QWidget* parent, const QString& text, const QString& caption) override;
    QString openFileName(QWidget* parent, const QString& filter,
                         const QString& initialName = {}) override;
    QString saveFileName(QWidget* parent, const QString& filter, const QString& defaultSuffix,
                         const QString& initialName = {}) override;
    void runModal(QDialog& dialog) override;
};

// The width a box needs to show its whole caption in the title bar.
int captionWidth(const QWidget& box);
// Holds a message box at least that wide, however short its text.
void widenForCaption(QMessageBox& box);
