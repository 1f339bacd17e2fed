#pragma once
// Where the update record comes from, and the one place the update check reads it.

#include "editor/HttpFetch.h"

#include <QString>

// The address of the update record; VEXOJS_UPDATE_URL replaces it when set.
QString updateAddress();

// Reads the address in a local event loop, so the window keeps painting meanwhile;
// a record over kMaxUpdateRecordBytes fails once that much has come.
FetchResult fetchUpdateRecord(const QString& address);
