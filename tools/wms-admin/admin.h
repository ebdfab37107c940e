#pragma once
#include <QStringList>
#include <QTextStream>

// Runs the administrator's command line (arguments without the program name);
// returns the exit code. Output goes to out, errors to err.
int RunAdmin(const QStringList& args, QTextStream& out, QTextStream& err);
// The commands and their options, as the usage lists them.
QString AdminCommandsHelp();
