#include "adminguard.h"

#include "data/sqlhelper.h"

#include <QSet>

namespace {

int count(const GrantChange* change) {
    QSet<int> holding;
    const RecordSet grants =
        sqlHelper::ExecuteSql("select departmentId from tb_user_group_fun where funCode='limited'");
    for (int r = 0; r < grants.RecordCount(); ++r)
        holding.insert(grants.at(r, 0).toInt());
    if (change && change->grantDepartment >= 0) {
        if (change->holdsLimited)
            holding.insert(change->grantDepartment);
        else
            holding.remove(change->grantDepartment);
    }
    const RecordSet users = sqlHelper::ExecuteSql("select id, dictionaryId, isStart from tb_user");
    int n = 0;
    bool changedSeen = false;
    for (int r = 0; r < users.RecordCount(); ++r) {
        int department = users.at(r, 1).toInt();
        const QVariant inUse = users.at(r, 2);
        bool enabled = inUse.isNull() || inUse.toInt() != 0;
        if (change && change->userId > 0 && users.at(r, 0).toInt() == change->userId) {
            changedSeen = true;
            if (change->newDepartment < 0) continue; // deleted
            department = change->newDepartment;
            enabled = change->enabled;
        }
        n += enabled && holding.contains(department);
    }
    // a new user saved into the department
    if (change && change->userId <= 0 && change->newDepartment >= 0 && !changedSeen)
        n += change->enabled && holding.contains(change->newDepartment);
    return n;
}

} // namespace

int AdministratorsAfter(const GrantChange& change) {
    return count(&change);
}

int AdministratorsNow() {
    return count(nullptr);
}

bool LocksOutAdministrators(const GrantChange& change) {
    return AdministratorsNow() > 0 && AdministratorsAfter(change) == 0;
}

std::function<void()>& PermissionRefresher() {
    static std::function<void()> refresher;
    return refresher;
}
