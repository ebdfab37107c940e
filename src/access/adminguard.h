#pragma once
// Somebody must always be able to grant permissions again: a change that
// would leave no user whose department holds the permission window's code
// (limited) is refused. A user who is not in use cannot log in, so only
// users in use count (a Null mark counts as in use).

// The number of users who could open the permission window after a change:
// a user (userId) moved to newDepartment with the in-use mark enabled or,
// with newDepartment < 0, deleted; a new user (userId 0) saved into
// newDepartment; or a department's grant of the code set or taken
// (grantDepartment, holdsLimited).
struct GrantChange {
    int userId = 0;
    int newDepartment = -1;
    bool enabled = true;
    int grantDepartment = -1;
    bool holdsLimited = true;
};

// What the permission refresh of the main window does (closing every window
// and reading the grants again); the permission window calls it as well.
#include <functional>
std::function<void()>& PermissionRefresher();
int AdministratorsAfter(const GrantChange& change);
// The count now.
int AdministratorsNow();
// True when the change takes the last of them away.
bool LocksOutAdministrators(const GrantChange& change);
