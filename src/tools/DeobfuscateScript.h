#pragma once
// Peels obfuscation off a script layer by layer with the carried deobfuscator, which
// runs in a tool engine of its own; whatever code comes from the script itself runs only
// in the sandbox (engine/Sandbox.h).

#include <QList>
#include <QPair>
#include <QString>

// One step of a run: a layer that was peeled, or one that was skipped (note says why).
struct DeobStage {
    QString layer;
    qint64 bytesBefore = 0; // UTF-8 sizes of the code before and after
    qint64 bytesAfter = 0;
    double ms = 0.0;
    bool peeled = false;
    QString note;
    QString code; // the code after this layer (peeled layers only)

    // "已解除：<layer>（a → b 字节[，n 毫秒]）" or "未能解除：<layer>（<why>）", the same
    // wording in the pane, the history window and the command line.
    QString historyLine(bool withTime) const;
};

// The behaviour check after a run: the original and the stages run in the sandbox, and
// the first layer that changed what the script prints or defines is rolled back.
struct DeobBehaviour {
    QString rolledBack; // the layer rolled back with all after it; empty when none was
    QString note;       // why the check did not run, when it did not
    bool haveCheck = false;
    QString checkOriginal; // the expression's value on the original (empty: not evaluated)
    QString checkStage;    // the first layer after which it had another value
    QString checkChanged;  // that value

    // "已回退：<layer> 改变了脚本的行为", or empty.
    QString rollbackMessage() const;
};

struct DeobResult {
    bool ok = false;
    bool stopped = false; // the user pressed "停止"
    QString code;
    QString error;
    QList<DeobStage> history;
    DeobBehaviour behaviour;

    int peeledCount() const;
};

// The largest script (UTF-8 bytes) the deobfuscator takes, and the largest code a layer
// may produce (well below the 64 MiB read cap): the syntax tree with its paths and scope
// data takes about 200 times the text, so a larger script is refused up front (about
// 2 GB at the limit) rather than let to exhaust memory.
constexpr qint64 kDeobMaxBytes = 10 * 1024 * 1024;

struct DeobOptions {
    // Limit of each sandbox run; a layer whose run takes longer is skipped.
    double sandboxSeconds = 5.0;
    bool rename = true;
    qint64 maxBytes = kDeobMaxBytes;
    // Extra text layers as (name, JavaScript function source taking and returning the
    // code); tried after the built-in text layers.
    QList<QPair<QString, QString>> extraLayers;
    bool behaviourCheck = true;
    // An expression evaluated after the original and after each stage; empty for none.
    QString check;
};

DeobResult DeobfuscateScript(const QString& source, const DeobOptions& options = {});
