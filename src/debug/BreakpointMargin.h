#pragma once
// The breakpoint margin of one editor, beside the line-mark and fold margins: a click
// sets or clears a breakpoint, a right click offers a condition or a logpoint. The marks
// are Scintilla markers, so they follow their lines through every edit; the current line
// of a pause is marked here too.

#include "debug/DebugTypes.h"

#include <QHash>
#include <QObject>

class CodeEditor;

class BreakpointMargin : public QObject {
    Q_OBJECT
public:
    static constexpr int kMargin = 3;
    static constexpr int kPlainMarker = 2;
    static constexpr int kConditionMarker = 3;
    static constexpr int kLogMarker = 4;
    static constexpr int kCurrentMarker = 5;
    static constexpr int kCurrentLineMarker = 6; // the line's background

    // Adds the margin to the editor (which owns this object).
    explicit BreakpointMargin(CodeEditor* editor);
    static BreakpointMargin* of(CodeEditor* editor);

    // line: 0-based. An empty condition and log expression: a plain breakpoint.
    void set(int line, const QString& condition = {}, const QString& logExpression = {});
    void clear(int line);
    void clearAll();
    bool has(int line) const;
    // The breakpoints where their marks are now, as the first added text's.
    QList<Breakpoint> breakpoints() const;

    // Marks the paused line (0-based; -1: none) and brings it into view.
    void showCurrent(int line);

signals:
    void changed();

private:
    void toggle(int line);
    void askFor(int line, bool log);
    void contextMenu(int line);

    CodeEditor* m_editor;
    struct Extra {
        QString condition;
        QString logExpression;
    };
    QHash<int, Extra> m_extras; // by marker handle
    int m_currentHandle = -1;
};
