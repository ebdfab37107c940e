#pragma once
#include <QString>

// True when another copy of the program (the same program file) is running.
// The first call takes a lock that this process keeps until it ends.
bool AnotherInstanceRunning();

// The lock file used for the test (tests point it elsewhere).
QString InstanceLockPath();
void SetInstanceLockPath(const QString& path);
