#pragma once
// Reads the update record from its address. The one place the update check touches the
// network.

#include <QByteArray>
#include <QString>

struct FetchOutcome {
    bool ok = false;
    QByteArray body;
    QString error; // why nothing was read
};

// The address of the update record; VEXOJS_UPDATE_URL replaces it when set.
QString updateAddress();

// Reads the address; waits in a local event loop, so the window keeps painting.
FetchOutcome fetchUpdateRecord(const QString& address);
