#pragma once
// A waiter that presses "停止" as soon as a job is handed to the script thread, then waits
// for the job to end.

#include "engine/ScriptThread.h"

class StopAtOnce : public ScriptWaiter {
public:
    void wait(ScriptJob& job) override {
        ScriptThread::instance().requestStop();
        job.waitDone(-1);
    }
};
