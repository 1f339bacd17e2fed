#pragma once
// The search row under the editors: "查找" or Enter in the search box selects the next
// match after the caret in the current editor; with none left the caret goes back to the
// start, so the next press begins again at the top. Nothing is logged.

#include <QObject>

#include <QList>
#include <QPair>

#include <functional>

class CodeEditor;
class QComboBox;
class QLineEdit;
class QPushButton;

class SearchRow : public QObject {
    Q_OBJECT
public:
    // The entries of the mode list, in its order.
    enum Mode { WholeWord = 0, MatchCase = 1, RegularExpression = 2 };

    SearchRow(QLineEdit* text, QComboBox* mode, QPushButton* button,
              std::function<CodeEditor*()> currentEditor, QObject* parent = nullptr);

    // The click handler of "查找".
    void FindNext();
    // The match before the selection; with none before it the caret goes to the end, so
    // the next step begins again at the bottom.
    void FindPrevious();
    Mode mode() const;
    // Key handler of the search box: Enter searches; true when the key was taken.
    bool OnSearchKey(int key, Qt::KeyboardModifiers state);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit* m_text;
    QComboBox* m_mode;
    std::function<CodeEditor*()> m_currentEditor;
};

// One search step in the editor from its caret, with the flags of the mode. An empty
// needle, or a regular expression the editor cannot compile, finds nothing and leaves
// caret and selection be.
void FindNextIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode);
void FindPreviousIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode);

// Every match in the editor in order, at most `limit` of them; empty for an empty needle
// or a regular expression the editor cannot compile.
QList<QPair<int, int>> MatchesIn(const CodeEditor& editor, const QByteArray& needle,
                                 SearchRow::Mode mode, int limit);
