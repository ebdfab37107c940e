#include "datamaintenance.h"

#include "data/applog.h"
#include "data/backup.h"
#include "data/sqlhelper.h"

namespace {

struct Group {
    const char* key;
    // the reference checks: table, message
    std::vector<std::pair<const char*, const char*>> refs;
    QStringList statements;
};

const std::vector<Group>& groups() {
    static const std::vector<Group> list = {
        // a count's adjustment bills go with the bills, so the counts go too
        {"tb_import",
         {},
         {"delete from tb_stocktake_detail", "delete from tb_stocktake_head", "delete from tb_rk_detail",
          "delete from tb_rk_head"}},
        {"tb_export",
         {},
         {"delete from tb_stocktake_detail", "delete from tb_stocktake_head", "delete from tb_ck_detail",
          "delete from tb_ck_head"}},
        {"tb_transfer", {}, {"delete from tb_transfer_detail", "delete from tb_transfer_head"}},
        {"tb_customer",
         {{"tb_rk_head", "往来单位信息已经在入库表建账,不允许清空!"},
          {"tb_ck_head", "往来单位信息已经在出库表建账,不允许清空!"}},
         {"delete from tb_customer"}},
        {"tb_goods",
         {{"tb_rk_detail", "货品信息已经在入库表建账,不允许清空!"},
          {"tb_ck_detail", "货品信息已经在出库表建账,不允许清空!"},
          {"tb_stocktake_detail", "货品信息已经在盘点表建账,不允许清空!"},
          {"tb_transfer_detail", "货品信息已经在调拨表建账,不允许清空!"}},
         {"delete from tb_goods_detail", "delete from tb_goods_head"}},
        {"tb_location",
         {{"tb_rk_detail", "库位信息已经在入库表建账,不允许清空!"},
          {"tb_ck_detail", "库位信息已经在出库表建账,不允许清空!"},
          {"tb_stocktake_detail", "库位信息已经在盘点表建账,不允许清空!"},
          {"tb_transfer_detail", "库位信息已经在调拨表建账,不允许清空!"}},
         {"delete from tb_location", "delete from tb_location_fun"}},
    };
    return list;
}

} // namespace

ClearOutcome ClearDataGroups(const QStringList& checked) {
    ClearOutcome out;
    const m_DBresult backup = BackUpDB();
    if (!backup.isResult) {
        out.backupFailed = true;
        out.error = backup.str_MsgBox;
        return out;
    }
    for (const Group& g : groups()) {
        if (!checked.contains(QLatin1String(g.key))) continue;
        QString refusal;
        const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
            for (const auto& [table, message] : g.refs)
                if (sqlHelper::QueryInTrans(
                        QStringLiteral("select count(id) from %1").arg(QLatin1String(table)))
                        .at(0, 0)
                        .toInt() > 0) {
                    refusal = QString::fromUtf8(message);
                    return;
                }
            for (const QString& s : g.statements)
                sqlHelper::ExecuteInTrans(s);
        });
        if (!r.isResult) {
            out.error = r.str_MsgBox;
            qCWarning(lcAccess).noquote() << "clearing" << g.key << "failed:" << r.str_MsgBox;
            return out;
        }
        if (!refusal.isEmpty()) {
            out.refusal = refusal;
            qCInfo(lcAccess).noquote() << "clearing" << g.key << "refused:" << refusal;
            return out;
        }
        ++out.cleared;
        qCInfo(lcAccess) << "data group cleared:" << g.key;
    }
    return out;
}

QString InitialiseData(bool* backupFailed) {
    if (backupFailed) *backupFailed = false;
    const m_DBresult backup = BackUpDB();
    if (!backup.isResult) {
        if (backupFailed) *backupFailed = true;
        return backup.str_MsgBox;
    }
    const m_DBresult r = sqlHelper::ExecuteTransWith([] {
        for (const char* s :
             {"delete from tb_stocktake_detail", "delete from tb_stocktake_head", "delete from tb_rk_detail",
              "delete from tb_rk_head", "delete from tb_ck_detail", "delete from tb_ck_head",
              "delete from tb_transfer_detail", "delete from tb_transfer_head", "delete from tb_events",
              "delete from tb_customer", "delete from tb_goods_detail", "delete from tb_goods_head",
              "delete from tb_location", "delete from tb_location_fun", "delete from tb_account_fun",
              "delete from tb_dictionary where isSystemSet=0 and utype<>'department'",
              // every line is gone: the running balance keeps nothing but zeros
              "delete from tb_stock_balance", "delete from tb_stock_location", "delete from tb_stock_lot"})
            sqlHelper::ExecuteInTrans(QString::fromLatin1(s));
    });
    if (r.isResult)
        qCInfo(lcAccess) << "database initialised: business and master records deleted";
    else
        qCWarning(lcAccess).noquote() << "initialisation failed:" << r.str_MsgBox;
    return r.isResult ? QString() : r.str_MsgBox;
}
