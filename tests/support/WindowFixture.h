#pragma once
// The real main window with its global objects and the recording dialogs: what most window
// tests start from. A test's own fixture derives from it and adds what it reads.

#include "FakeDialogs.h"

#include "script/GlobalObjects.h"
#include "shell/MainWindow.h"

struct WindowFixture {
    GlobalObjects globals;
    FakeDialogs dialogs;
    MainWindow window{globals, dialogs};
};
