#pragma once
// The program's start before its main window: names, the log, a first
// shop when an installed program finds none, and the first database access.

#include <QString>

// Asks, when an installed program has no database and no server, whether to
// create an empty (or demonstration) shop in the data folder, and creates it.
// False when the user declines or the creation fails (told already).
bool OfferFirstShop();

// The start-up line of the log: version, engine, database or server, schema version.
void LogStartUp();

// Everything from the names to the database's first access. False when the
// program must end; the reason has been shown.
bool StartProgram();
