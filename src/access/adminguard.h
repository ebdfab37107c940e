#pragma once
// Somebody must always be able to grant permissions again: a change that
// would leave no user whose department holds the permission window's code
// (limited) is refused. Login does not look at a user's "in use" mark, so
// every user counts.

// The number of users who could open the permission window after a change:
// a user (userId) moved to newDepartment or, with newDepartment < 0,
// deleted; a new user (userId 0) saved into newDepartment; or a
// department's grant of the code set or taken (grantDepartment, holdsLimited).
struct GrantChange {
    int userId = 0;
    int newDepartment = -1;
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
