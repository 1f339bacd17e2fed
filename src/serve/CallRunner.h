#pragma once
// One service call on one engine: the call or the expression under the time limit, its
// answer as JSON. Engine thread only.

#include "serve/CallRequest.h"

#include <QByteArray>

class ScriptEngine;

struct CallOutcome {
    QByteArray answer;
    bool ok = false; // false: the answer is an engine error
};

// Runs the request with a limit of timeoutSeconds (> 0); a call over it ends with error
// 5100 and leaves the engine usable.
CallOutcome runCall(ScriptEngine& engine, const CallRequest& request, double timeoutSeconds);

// The global functions of the loaded code, as "函数列表" lists them, with their parameter
// names: [{"name": "sign", "count": 2, "parameters": ["text", "key"]}, ...].
QByteArray functionListJson(ScriptEngine& engine);
