#pragma once
// Moved to the engine library; this forward goes once its last includer is updated.
#include "engine/ScriptThread.h"
