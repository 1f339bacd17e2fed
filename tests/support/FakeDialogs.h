#pragma once
// Answers the workbench's boxes and dialogs without a display, and records them.

#include "shell/Dialogs.h"

#include <QDialog>
#include <QStringList>

#include <functional>

class FakeDialogs : public Dialogs {
public:
    void message(QWidget*, const QString& text, const QString& caption) override {
        messages << caption + QStringLiteral("|") + text;
    }
    Answer question(QWidget*, const QString& text, const QString& caption) override {
        questions << caption + QStringLiteral("|") + text;
        return answer;
    }
    Answer yesNo(QWidget*, const QString& text, const QString& caption) override {
        questions << caption + QStringLiteral("|") + text;
        return yesNoAnswer;
    }
    QString openFileName(QWidget*, const QString& filter,
                         const QString& initialName = {}) override {
        filters << filter;
        initialNames << initialName;
        return fileToOpen;
    }
    QString saveFileName(QWidget*, const QString& filter, const QString& defaultSuffix,
                         const QString& initialName = {}) override {
        filters << filter;
        suffixes << defaultSuffix;
        initialNames << initialName;
        return fileToSave;
    }
    void runModal(QDialog& dialog) override {
        ++modalRuns;
        if (onModal)
            onModal(dialog);
    }

    Answer answer = Answer::Cancel;
    Answer yesNoAnswer = Answer::No;
    QString fileToOpen;
    QString fileToSave;
    QStringList messages;
    QStringList questions;
    QStringList filters;
    QStringList suffixes;
    QStringList initialNames;
    int modalRuns = 0;
    std::function<void(QDialog&)> onModal;
};
