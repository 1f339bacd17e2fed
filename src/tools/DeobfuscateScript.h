#pragma once
// Peels obfuscation off a script layer by layer with the carried deobfuscator, which
// runs in a tool engine of its own; whatever code comes from the script itself runs only
// in the sandbox (tools/Sandbox.h).

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
};

struct DeobResult {
    bool ok = false;
    bool stopped = false; // the user pressed "停止"
    QString code;
    QString error;
    QList<DeobStage> history;

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
};

DeobResult DeobfuscateScript(const QString& source, const DeobOptions& options = {});
