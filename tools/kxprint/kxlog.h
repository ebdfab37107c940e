#pragma once
// The print tool's log: the program that starts it names the file (--log);
// the file is moved to .1 (.2, .3 older) once it passes 1 MB, and a crash
// writes a backtrace into it.

#include <QString>

namespace kx {

void StartLog(const QString& file);

} // namespace kx
