#pragma once
// "解密记录": the layers of the last "eval解密" run, and the code after each of them in a
// read-only editor with the editors' highlighting; the chosen stage can be put into the
// current editor.

#include "tools/DeobfuscateScript.h"

#include <QDialog>

#include <functional>

class CodeEditor;
class QListWidget;
class QPushButton;
class QSplitter;

class DeobHistoryWindow : public QDialog {
    Q_OBJECT
public:
    explicit DeobHistoryWindow(QWidget* parent = nullptr);

    // The original text and the run's history; replaces what was shown.
    void setRun(const QString& original, const DeobResult& result);
    // Called with the chosen stage's code when "放入当前编辑框" is pressed.
    void setApply(std::function<void(const QString&)> apply) { m_apply = std::move(apply); }

    QListWidget* stageList() const { return m_list; }
    CodeEditor* codeView() const { return m_code; }
    QPushButton* applyButton() const { return m_applyButton; }

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void showStage(int row);
    // Widens the stage list to its longest entry, up to half the window.
    void fitList();

    QSplitter* m_splitter = nullptr;
    QListWidget* m_list = nullptr;
    CodeEditor* m_code = nullptr;
    QPushButton* m_applyButton = nullptr;
    QStringList m_codes;       // per row; empty for skipped layers
    bool m_keepLayout = false; // the run's code must not be laid out (a self-check is left)
    std::function<void(const QString&)> m_apply;
};
