#pragma once
#include "results.h"

// Writes a compacted copy "CompactBackUp_<yyyymmddhhmmss>.mdb" of the live
// database into the program folder.
m_DBresult BackUpDB(bool showMessage);
// Compacts the live database file in place.
m_DBresult CompactDB();
