#pragma once
// The eval command's debugging options:
//   --break FILE:LINE[:CONDITION]  a scripted breakpoint in one of the --load files
//   --on-break EXPR                a value printed each time the last --break is reached
//   --trace NAME[,NAME…]           the calls of these functions, as a tree on stderr
// None of them stops the script: the values are taken where it runs and it goes on.

#include <QString>
#include <QStringList>

#include <memory>

class CliDebugListener;

class DebugOptions {
public:
    DebugOptions();
    ~DebugOptions();

    // Takes the option at args[i] (and its value); false when args[i] is not one of ours.
    // A bad value sets *error to the message.
    bool take(const QStringList& args, qsizetype& i, QString* error);
    // Ties the --break files to the --load files; false with a message when one is not
    // loaded.
    bool resolve(const QStringList& loadedFiles, QString* error);
    bool any() const { return !m_breaks.isEmpty() || !m_trace.isEmpty(); }

    // Hands the settings to the debugger; false (with the reason printed) when the engine's
    // debugger cannot be reached.
    bool install();
    // Prints the values reported so far, in the order the script reached them (before
    // any line the job itself writes).
    void drain();
    // After a job: waits for the last reports and prints the call tree of the job.
    void finishJob();
    void uninstall();

private:
    struct Break {
        QString spec; // as given, for the output
        QString file;
        int line = 0;
        QString condition;
        QStringList expressions;
        int source = 0;
    };
    QList<Break> m_breaks;
    QStringList m_trace;
    std::unique_ptr<CliDebugListener> m_listener;
};
