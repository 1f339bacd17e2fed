#pragma once
// Where the update record comes from, and the one place the update check reads it.

#include "editor/HttpFetch.h"

#include <QString>

// The address of the update record; VEXOJS_UPDATE_URL replaces it when set.
QString updateAddress();

// Sets a reader up for the update record: one over kMaxUpdateRecordBytes fails once that
// much has come.
void limitToUpdateRecord(HttpFetch& reader);
