#pragma once
// The one module through which every data-access class reaches the database.
// Statements are written in the Access dialect and translated for SQLite.

#include "recordset.h"
#include "results.h"
#include "sqlvalue.h"

#include <QString>
#include <QVariant>
#include <functional>

namespace sqlHelper {

// The database password of the original file format; SQLite files have none.
inline const QString kDbPassword = QStringLiteral("Rolfe27K");

// A value of an ini file, cut to limit characters as the file format reads
// them; a negative limit reads the whole value (the server's connection string).
QString GetIniValue(const QString& section, const QString& key, const QString& filePath, int limit = 127);
// The folder of the database file (with a trailing "/"). A missing file ends
// the program after its message.
QString GetDBPath();
// The full path of the database file.
QString DatabaseFile();
// The database file linkDB.ini names, whether it exists or not; "" for a server.
QString ExpectedDatabaseFile();
// Makes the data layer use this file instead of the one linkDB.ini names
// (the administrator's --db option); an empty text undoes it.
void SetDatabaseFile(const QString& path);

// The libpq connection string of the shop's server (linkDB.ini: LinkType=2,
// Server=...), or "" when the database is a file.
QString ServerConnInfo();
// Makes the data layer use this server instead of what linkDB.ini names
// (the administrator's --server option); an empty text undoes it.
void SetServer(const QString& conninfo);

void BuildConnString();
QString connString();
void OpenConn(const QString& password = kDbPassword);
void CloseConn();
bool IsConnOpen();

// The shared record-set slots.
RecordSet& rs();
RecordSet& rs2();
void CloseRs();
void CloseRs2();

// True when the statement is a query: its first 6 characters are SELECT or
// its first 2 are SP, upper-cased, nothing skipped before them.
bool IsQueryText(const QString& sql);

// Sees the text of every statement the data layer runs (tests).
void SetStatementObserver(std::function<void(const QString&)> observer);

// Runs one statement; a query returns its record set, any other statement a
// closed one. Engine errors are thrown as DbError.
RecordSet ExecuteSql(const QString& sql);
// Opens a forward reading of one query (see RowCursor); engine errors are
// thrown as DbError.
std::unique_ptr<RowCursor> OpenCursor(const QString& sql);
// Reads a query through the shared slot, closes the slot again and returns
// the record set on its first row.
RecordSet ReadRecord(const QString& sql);

// Runs one statement with @ parameters; returns the number of changed rows.
int ExecuteNonQuery(const QString& sql, const SqlParams* params = nullptr);
inline int ExecuteNonQuery(const QString& sql, const SqlParams& params) {
    return ExecuteNonQuery(sql, &params);
}
// Runs a batch in one transaction; never throws, a failure comes back in the result.
m_DBresult ExecuteTrans(const KeyValue& batch);
// Runs body in one write transaction (BEGIN IMMEDIATE ... COMMIT): what it
// reads with QueryInTrans and writes with ExecuteInTrans is all or nothing.
// An error rolls back and comes back as a failed result with the engine's text.
m_DBresult ExecuteTransWith(const std::function<void()>& body);
int ExecuteInTrans(const QString& sql, const SqlParams* params = nullptr);
inline int ExecuteInTrans(const QString& sql, const SqlParams& params) {
    return ExecuteInTrans(sql, &params);
}
RecordSet QueryInTrans(const QString& sql);
// Inside a write transaction, before a maximum is read to number what it
// stores: on the server, waits for any other program numbering the same key
// (a table) and holds the key until the transaction ends. SQLite's write
// transaction already holds the whole file.
void LockInTrans(const QString& key);
// Several keys in one statement, taken in their order; a key the transaction
// already holds is not asked for again.
void LockInTrans(const QStringList& keys);
// The highest id of a table inside a write transaction (0 for none), under its lock.
int MaxIdInTrans(const QString& table);
// Runs statements that each take the parameter @id = id, in one transaction.
m_DBresult ExecuteTransById(const QStringList& statements, int id);
// Counts the references to a row before it is deleted.
FkCheckResult CheckFkUsage(const KeyValue& batch);

// Substitutes each placeholder's first occurrence in one pass over the
// statement: inserted values are never scanned again.
QString ReplaceParams(const QString& sql, const SqlParams* params);
QString FormatParamValue(const QVariant& value);
QString EscapeQuote(const QString& text);

// First value of expr, "" when it is Null or blank, an invalid QVariant when there is no row.
// DMax numbers a save: on the server the table's numbering key is held from
// the reading until the next write (ExecuteTrans..., ExecuteNonQuery) has
// ended, so that two programs never take the same maximum.
QVariant DLookup(const QString& expr, const QString& table, const QString& condition);
QVariant DMax(const QString& expr, const QString& table, const QString& condition);
double DCount(const QString& expr, const QString& table, const QString& condition);

} // namespace sqlHelper

// The ids below a node of a tree table (its parentId column), each followed
// by a comma, then the node itself: "7,9,4". A loop in the tree ends the walk.
QString GetSubIds(int parentId, const QString& table, const QString& column);
