#pragma once
// The search row under the editors: "查找" or Enter in the search box selects the next
// match after the caret in the current editor; with none left the caret goes back to the
// start, so the next press begins again at the top. Nothing is logged. The right end of
// the search box tells how it went: "2/5" (the second of five matches), "共 5 处",
// "未找到", "表达式有误", "已替换 5 处". The replace bar's buttons replace the selected
// match and step on, or replace every match as one undo step.

#include <QObject>

#include <QList>
#include <QPair>

#include <functional>

class CodeEditor;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;
class ReplaceBar;

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
    // "替换": the selected match is replaced and the next one selected; without a match
    // selected, the next one is selected first.
    void Replace();
    // "全部替换": every match, one undo step.
    void ReplaceAll();
    // Ctrl+H: the replace bar, with the selected text (one line of it) as the search text.
    void OpenReplace();
    Mode mode() const;
    // Key handler of the search box: Enter searches; true when the key was taken.
    bool OnSearchKey(int key, Qt::KeyboardModifiers state);

    // The bar whose buttons this row serves.
    void attachReplaceBar(ReplaceBar* bar);
    ReplaceBar* replaceBar() const { return m_bar; }
    // What the search box's right end says now.
    QString statusText() const;
    // Most matches counted; more read as "10000+".
    static constexpr int kCountLimit = 10000;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Counts the matches and says where the selection stands among them.
    void showCount();
    void setStatus(const QString& text);
    void placeStatus();

    QLineEdit* m_text;
    QComboBox* m_mode;
    std::function<CodeEditor*()> m_currentEditor;
    QLabel* m_status;
    QTimer* m_recount; // a count a moment after typing stops, not at every key
    ReplaceBar* m_bar = nullptr;
};

// The Scintilla search flags of a mode.
int SearchFlags(SearchRow::Mode mode);

// One search step in the editor from its caret, with the flags of the mode. An empty
// needle, or a regular expression the editor cannot compile, finds nothing and leaves
// caret and selection be.
void FindNextIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode);
void FindPreviousIn(CodeEditor& editor, const QByteArray& needle, SearchRow::Mode mode);

// Every match in the editor in order, at most `limit` of them; empty for an empty needle
// or a regular expression the editor cannot compile (then *badPattern is set).
QList<QPair<int, int>> MatchesIn(const CodeEditor& editor, const QByteArray& needle,
                                 SearchRow::Mode mode, int limit, bool* badPattern = nullptr);
