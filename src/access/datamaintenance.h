#pragma once
// Clearing groups of data and initialising the database, each after a silent
// backup. Every group is cleared in one transaction, so a failure never
// leaves lines without their bills or bills without their lines.

#include <QString>
#include <QStringList>

// The groups in the order they are cleared.
inline const QStringList kDataGroups = {"tb_import",   "tb_export", "tb_transfer",
                                        "tb_customer", "tb_goods",  "tb_location"};

struct ClearOutcome {
    int cleared = 0; // groups deleted
    QString refusal; // the reference that stopped the clearing
    QString error;   // the engine's error that stopped it (its group unchanged), or the backup's
    bool backupFailed = false;
};

// Clears the checked groups (keys of kDataGroups; other keys are ignored) in
// order. A refusal or an error ends the work; groups cleared before stay cleared.
// Shows nothing: the caller tells the user.
ClearOutcome ClearDataGroups(const QStringList& checked);

// Deletes every business and master record in one transaction; users,
// departments, system dictionary entries, function grants and settings stay.
// "" on success, else the reason (the backup's failure or the engine's error).
QString InitialiseData(bool* backupFailed = nullptr);
