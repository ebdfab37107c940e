#pragma once
// The test every guarded command makes first.

#include <QString>

// True when the current user's department holds the code; otherwise shows
// the restriction message ("System") when asked to.
bool CheckFunction(const QString& code, bool showMessage = true);
