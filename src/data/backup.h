#pragma once
#include "results.h"

// Writes a compacted copy "CompactBackUp_<yyyymmddhhmmss>.mdb" of the live
// database into the program folder; a database on a server is written as a
// pg_dump archive in custom format, "CompactBackUp_<yyyymmddhhmmss>.dump"
// (restored into an empty database with pg_restore).
m_DBresult BackUpDB(bool showMessage);
// The file the last successful backup of this program wrote ("" before one).
QString LastBackupFile();
// "数据压缩备份完毕!" with the backup's file on the second line.
QString BackupDoneMessage();
// Compacts the live database file in place.
m_DBresult CompactDB();
