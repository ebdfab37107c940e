#pragma once
// The program folder and the ways the program ends or beeps, replaceable in tests.

#include <QString>
#include <functional>

// The folder of the running program with a trailing "/".
QString AppPath();
// Points the program folder elsewhere (tests, the administrator's tool).
void SetAppPath(const QString& folder);

// Asks the program's top to end the program at once, telling the user the
// reason when there is one: the window side installs a handler that leaves
// the event loops, tests one that records or throws. When the handler
// returns, the caller must stop what it is doing.
void EndProgram(int exitCode = 1, const QString& reason = QString());
// The program's top ends the process (telling the user the reason, when there
// is one); without a handler nothing ends here and the caller's failure (a
// thrown DbError) carries on.
void SetEndProgramHandler(std::function<void(int exitCode, const QString& reason)> handler);

// The warning sound of refused key strokes.
void Beep();
void SetBeepHandler(std::function<void()> handler);
