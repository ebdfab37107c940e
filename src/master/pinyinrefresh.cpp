#include "pinyinrefresh.h"

#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "pinyin.h"

namespace {

// Rewrites the initials of one table's rows whose stored initials differ.
int refreshTable(const QString& table, const QString& nameColumn) {
    const RecordSet rows = sqlHelper::ExecuteSql("select id, " + nameColumn + ", pinyin from " + table);
    const QString update = "update " + table + " set pinyin=@pinyin where id=@id";
    int changed = 0;
    for (int r = 0; r < rows.RecordCount(); ++r) {
        const QString initials = GetPinyinInitials(rows.at(r, 1).toString());
        if (!rows.at(r, 2).isNull() && rows.at(r, 2).toString() == initials) continue;
        SqlParams p;
        p.AddItem("@pinyin", initials);
        p.AddItem("@id", rows.at(r, 0).toLongLong());
        changed += sqlHelper::ExecuteNonQuery(update, p);
    }
    return changed;
}

} // namespace

int RefreshStoredPinyin() {
    sqlHelper::OpenConn();
    Database& db = Database::instance();
    db.beginWrite();
    try {
        const int changed = refreshTable("tb_goods_head", "goodsName") + refreshTable("tb_customer", "uname");
        db.execute("COMMIT");
        return changed;
    } catch (...) {
        if (db.inTransaction()) db.execute("ROLLBACK");
        throw;
    }
}
