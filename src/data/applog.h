#pragma once
// The program's log: categories per layer, a file of limited size with the
// last few kept, and a backtrace when the program crashes.

#include <QLoggingCategory>
#include <QString>
#include <QStringList>

#include "sqlvalue.h"

Q_DECLARE_LOGGING_CATEGORY(lcData)
Q_DECLARE_LOGGING_CATEGORY(lcSchema)
Q_DECLARE_LOGGING_CATEGORY(lcAccess)
Q_DECLARE_LOGGING_CATEGORY(lcMaster)
Q_DECLARE_LOGGING_CATEGORY(lcBills)
Q_DECLARE_LOGGING_CATEGORY(lcOutput)
Q_DECLARE_LOGGING_CATEGORY(lcApp)
Q_DECLARE_LOGGING_CATEGORY(lcAdmin)

namespace AppLog {

inline constexpr qint64 kMaxBytes = 1024 * 1024;
inline constexpr int kKeep = 3;

// Writes every message to LogFolder()/<name>.log from now on, warnings
// still to standard error too, and a backtrace there on a crash
// (SIGSEGV, SIGABRT). The file is moved to .1 (.2, .3 older) once it
// passes maxBytes.
void Start(const QString& name, qint64 maxBytes = kMaxBytes);
// Closes the file and gives messages back to Qt's own handler (tests).
void Stop();
// The file being written; "" before Start.
QString File();

// Moves file to file.1, file.1 to file.2 ..., dropping the one past keep.
void Rotate(const QString& file, int keep = kKeep);

// Logs an engine's error with its statement (cut to a few thousand characters).
void EngineError(const QString& statement, const QString& message);

// While one lives, an engine error logs the program's own statement with
// its parameters (a password's value as "***") in place of the engine's text.
class StatementNote {
public:
    StatementNote(const QString& sql, const SqlParams* params);
    ~StatementNote();
    StatementNote(const StatementNote&) = delete;
    StatementNote& operator=(const StatementNote&) = delete;
    QString text() const;

private:
    const StatementNote* m_outer;
    const QString& m_sql;
    const SqlParams* m_params;
};

// A connection text with its password replaced by "***" (key=value and URI forms).
QString WithoutPassword(const QString& conninfo);

} // namespace AppLog

