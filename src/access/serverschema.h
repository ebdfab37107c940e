#pragma once
// The tables and indexes of a database on the server, written from those of
// an open SQLite database (the program's own schema, or a shop's file being
// copied): the same tables, columns, keys, defaults and indexes. Text the
// file compares without regard to case (COLLATE NOCASE) becomes citext, so
// that comparing, sorting and unique keys ignore case there too. Names are
// written unquoted, as the server folds them to lower case; a name the server
// reserves is quoted in lower case.

#include <QStringList>

class Database;

QStringList ServerTablesFrom(Database& source);

// The script that installs the Access functions the translated statements call.
QString ServerFunctionsScript();
