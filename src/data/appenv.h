#pragma once
// The program folder and the ways the program ends or beeps, replaceable in tests.

#include <QString>
#include <functional>

// The folder of the running program with a trailing "/".
QString AppPath();
// Points the program folder elsewhere (tests, the administrator's tool).
void SetAppPath(const QString& folder);

// Ends the program at once. Without a handler the process exits; the window
// side installs one that leaves the event loops, tests one that records or
// throws. When the handler returns, the caller must stop what it is doing.
void EndProgram(int exitCode = 1);
void SetEndProgramHandler(std::function<void(int)> handler);

// The warning sound of refused key strokes.
void Beep();
void SetBeepHandler(std::function<void()> handler);
