#pragma once
#include "results.h"

// Writes a compacted copy "CompactBackUp_<yyyymmddhhmmss>.mdb" of the live
// database into the program folder; a database on a server is written as a
// pg_dump archive in custom format, "CompactBackUp_<yyyymmddhhmmss>.dump"
// (restored into an empty database with pg_restore). Shows nothing: on a
// failure str_MsgBox holds the reason, which the caller shows.
m_DBresult BackUpDB();
// The file the last successful backup of this program wrote ("" before one).
QString LastBackupFile();
// "数据压缩备份完毕!" with the backup's file on the second line.
QString BackupDoneMessage();
// Compacts the live database file in place; on a failure str_MsgBox holds the reason.
m_DBresult CompactDB();
// "数据压缩修复完毕!"
QString CompactDoneMessage();
