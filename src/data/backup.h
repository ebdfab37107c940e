#pragma once
#include "results.h"

// Writes a compacted copy "CompactBackUp_<yyyymmddhhmmss>.mdb" of the live
// database into the program folder; a database on a server is written as a
// pg_dump archive in custom format, "CompactBackUp_<yyyymmddhhmmss>.dump"
// (restored into an empty database with pg_restore).
m_DBresult BackUpDB(bool showMessage);
// Compacts the live database file in place.
m_DBresult CompactDB();
