#include "transfer.h"

#include "billstore.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "numbering/billno.h"

namespace {

const char* const kHeads = "tb_transfer_head";
const char* const kLines = "tb_transfer_detail";

SqlParams lineParams(const BillEntryLine& l, int id, int headId) {
    SqlParams p;
    p.AddItem("@id", id);
    p.AddItem("@headId", headId);
    p.AddItem("@rowNo", l.rowNo);
    p.AddItem("@goodsTypeId", l.goodsTypeId);
    p.AddItem("@goodsTypeName", l.goodsTypeName);
    p.AddItem("@goodsId", l.goodsId);
    p.AddItem("@goodsCode", l.goodsCode);
    p.AddItem("@goodsDetailCode", l.goodsDetailCode);
    p.AddItem("@goodsName", l.goodsName);
    p.AddItem("@goodsDesc", l.goodsDesc);
    p.AddItem("@unit", l.unit);
    p.AddItem("@packQty", l.packQty);
    p.AddItem("@weight", l.weight);
    p.AddItem("@qty", l.qty);
    p.AddItem("@fromLocationId", l.locationId);
    p.AddItem("@toLocationId", l.toLocationId);
    p.AddItem("@lotNo", l.lotNo);
    p.AddItem("@remark", l.remark);
    p.AddItem("@productionDate", l.productionDate);
    p.AddItem("@expiryDate", l.expiryDate);
    return p;
}

// Inserts the lines numbered from firstId, some hundred a statement.
void insertLines(int headId, const std::vector<BillEntryLine>& lines, int firstId) {
    const QString head =
        QStringLiteral("insert into %1 (id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,"
                       "goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,qty,fromLocationId,"
                       "toLocationId,lotNo,remark,productionDate,expiryDate) values ")
            .arg(QLatin1String(kLines));
    const QString row =
        QStringLiteral("(@id,@headId,@rowNo,@goodsTypeId,@goodsTypeName,@goodsId,@goodsCode,"
                       "@goodsDetailCode,@goodsName,@goodsDesc,@unit,@packQty,@weight,@qty,"
                       "@fromLocationId,@toLocationId,@lotNo,@remark,@productionDate,@expiryDate)");
    QStringList rows;
    auto flush = [&] {
        if (rows.isEmpty()) return;
        sqlHelper::ExecuteInTrans(head + rows.join(','));
        rows.clear();
    };
    int id = firstId;
    for (const BillEntryLine& l : lines) {
        const SqlParams p = lineParams(l, id++, headId);
        rows << sqlHelper::ReplaceParams(row, &p);
        if (rows.size() >= 200) flush();
    }
    flush();
}

// Inside the writing transaction: the stored transfer may be changed, or why not.
void checkStored(int id, const QString& approvedMessage) {
    const RecordSet rs = sqlHelper::QueryInTrans(
        QStringLiteral("select ispass from %1 where id=%2").arg(QLatin1String(kHeads)).arg(id));
    if (rs.RecordCount() < 1) throw DbError(QStringLiteral("当前单据已被删除!"));
    if (rs.at(0, 0).toInt() == 1) throw DbError(approvedMessage);
}

class TransferStore final : public BillStore {
public:
    BillEntryHead Load(int id) override {
        BillEntryHead e;
        const RecordSet rs = sqlHelper::ReadRecord(
            "select id,accountId,accountName,billNo,ispass,remark,creator,createTime,updateLastUser,"
            "updateLastTime,userId from v_transfer_head where id=" +
            QString::number(id));
        if (rs.RecordCount() < 1) return e;
        auto text = [&](const char* f) { return acc::valueText(rs.value(f)); };
        e.id = rs.value("id").toInt();
        e.accountId = rs.value("accountId").toInt();
        e.accountName = text("accountName");
        e.billNo = text("billNo");
        e.ispass = rs.value("ispass").toInt();
        e.remark = text("remark");
        e.creator = text("creator");
        e.createTime = text("createTime");
        e.updateLastUser = text("updateLastUser");
        e.updateLastTime = text("updateLastTime");
        e.userId = rs.value("userId").toInt();
        return e;
    }

    std::vector<BillEntryRow> Lines(int headId) override {
        return EntryRowsOf(
            sqlHelper::ExecuteSql(
                "select goodsId,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,goodsName,"
                "goodsDesc,unit,packQty,weight,qty,fromLocationId as locationId,fromLocationCode as "
                "locationCode,toLocationId,toLocationCode,lotNo,remark,(select productionDate from "
                "tb_transfer_detail x where x.id=v_transfer_detail.id) as productionDate,(select "
                "expiryDate from tb_transfer_detail x where x.id=v_transfer_detail.id) as expiryDate "
                "from v_transfer_detail where "
                "headId=" +
                QString::number(headId) + " order by rowNo,id"),
            nullptr);
    }

    m_DBresult Save(BillEntryHead& e, const std::vector<BillEntryLine>& lines) override {
        std::vector<BillEntryLine> numbered = lines;
        for (std::size_t k = 0; k < numbered.size(); ++k)
            numbered[k].rowNo = static_cast<int>(k) + 1;
        SqlParams head;
        head.AddItem("@accountId", e.accountId);
        head.AddItem("@remark", e.remark);
        head.AddItem("@creator", e.creator);
        head.AddItem("@createTime", e.createTime);
        head.AddItem("@updateLastUser", e.updateLastUser);
        head.AddItem("@updateLastTime", e.updateLastTime);
        head.AddItem("@userId", e.userId);
        if (e.id >= 1) {
            head.AddItem("@id", e.id);
            return sqlHelper::ExecuteTransWith([&] {
                checkStored(e.id, QStringLiteral("当前单据已审核,不能保存!"));
                sqlHelper::ExecuteInTrans(
                    QStringLiteral("update %1 set accountId=@accountId, remark=@remark, "
                                   "updateLastUser=@updateLastUser, "
                                   "updateLastTime=@updateLastTime where id=@id")
                        .arg(QLatin1String(kHeads)),
                    head);
                // the new lines are numbered after the old ones, which they replace
                const int firstLineId = sqlHelper::MaxIdInTrans(QLatin1String(kLines)) + 1;
                sqlHelper::ExecuteInTrans(
                    QStringLiteral("delete from %1 where headId=%2").arg(QLatin1String(kLines)).arg(e.id));
                insertLines(e.id, numbered, firstLineId);
            });
        }
        int id = 0;
        QString billNo;
        const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
            // the transfer's id and number and its lines' ids, read at once under both tables' keys
            sqlHelper::LockInTrans(QStringList{QLatin1String(kHeads), QLatin1String(kLines)});
            const RecordSet maxima = sqlHelper::QueryInTrans(
                QStringLiteral("select (select max(id) from %1), (%2), (select max(id) from %3)")
                    .arg(QLatin1String(kHeads), LastBillNoQuery("db", e.createTime), QLatin1String(kLines)));
            id = maxima.at(0, 0).toInt() + 1;
            billNo = BillNoAfter("db", e.createTime, maxima.at(0, 1));
            head.AddItem("@id", id);
            head.AddItem("@billNo", billNo);
            sqlHelper::ExecuteInTrans(
                QStringLiteral(
                    "insert into %1 (id,accountId,billNo,remark,ispass,creator,createTime,updateLastUser,"
                    "updateLastTime,userId) values (@id,@accountId,@billNo,@remark,0,@creator,"
                    "@createTime,@updateLastUser,@updateLastTime,@userId)")
                    .arg(QLatin1String(kHeads)),
                head);
            insertLines(id, numbered, maxima.at(0, 2).toInt() + 1);
        });
        if (r.isResult) {
            e.id = id;
            e.billNo = billNo;
            e.ispass = 0;
        }
        return r;
    }

    bool SetPass(int id, int state, const QString& user, const QString& time) override {
        SqlParams p;
        p.AddItem("@id", id);
        p.AddItem("@ispass", state);
        p.AddItem("@updateLastUser", user);
        p.AddItem("@updateLastTime", time);
        return sqlHelper::ExecuteNonQuery(
                   QStringLiteral("update %1 set ispass=@ispass, updateLastUser=@updateLastUser,"
                                  " updateLastTime=@updateLastTime where id=@id")
                       .arg(QLatin1String(kHeads)),
                   p) > 0;
    }

    m_DBresult Delete(int id) override {
        return sqlHelper::ExecuteTransWith([&] {
            checkStored(id, QStringLiteral("当前单据已审核,不能删除!"));
            sqlHelper::ExecuteInTrans(
                QStringLiteral("delete from %1 where headId=%2").arg(QLatin1String(kLines)).arg(id));
            sqlHelper::ExecuteInTrans(
                QStringLiteral("delete from %1 where id=%2").arg(QLatin1String(kHeads)).arg(id));
        });
    }

    std::optional<double> LastPrice(int, const QString&) override { return std::nullopt; }
};

QString shortNumber(double v) {
    return acc::numberQText(v);
}

} // namespace

std::unique_ptr<BillStore> NewTransferStore() {
    return std::make_unique<TransferStore>();
}

QString TransferWithdrawalShortfall(int headId) {
    const RecordSet head =
        sqlHelper::ExecuteSql(QStringLiteral("select accountId from %1 where ispass=1 and id=%2")
                                  .arg(QLatin1String(kHeads))
                                  .arg(headId));
    if (head.RecordCount() < 1) return {};
    // what each to location holds of the goods against what the transfer put there
    const RecordSet rs = sqlHelper::ExecuteSql(
        QStringLiteral(
            "select (select locationCode from tb_location where id = d.toLocationId), d.goodsName, "
            "(select importQty - exportQty from tb_stock_location s where s.goodsId = d.goodsId and "
            "s.accountId = %2 and s.locationId = iif(d.toLocationId is null, 0, d.toLocationId)), "
            "d.moved from (select goodsId, toLocationId, max(goodsName) as goodsName, sum(qty * packQty) "
            "as moved from %3 where headId=%1 group by goodsId, toLocationId) d order by d.goodsId, "
            "d.toLocationId")
            .arg(headId)
            .arg(head.at(0, 0).toInt())
            .arg(QLatin1String(kLines)));
    QStringList lines;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const double stock = acc::val(acc::valueText(rs.at(r, 2))),
                     moved = acc::val(acc::valueText(rs.at(r, 3)));
        if (stock - moved >= 0) continue;
        lines << QStringLiteral("库位[%1]的货品[%2]库存(%3)-调回数(%4) = %5")
                     .arg(acc::valueText(rs.at(r, 0)), acc::valueText(rs.at(r, 1)), shortNumber(stock),
                          shortNumber(moved), shortNumber(stock - moved));
    }
    if (lines.isEmpty()) return {};
    return lines.join('\n') + QStringLiteral("\n出现负数,是否继续?");
}

QString TransferStockQuestion(int goodsId, const QString& goodsName, int accountId, int fromLocationId,
                              const QString& fromLocationCode, double pieces, double alreadyTaken) {
    const RecordSet rs = sqlHelper::ExecuteSql(
        QStringLiteral(
            "select importQty - exportQty from tb_stock_location where goodsId=%1 and accountId=%2 and "
            "locationId=%3")
            .arg(goodsId)
            .arg(accountId)
            .arg(fromLocationId));
    const double stock = (rs.RecordCount() > 0 ? acc::val(acc::valueText(rs.at(0, 0))) : 0) - alreadyTaken;
    const double difference = stock - pieces;
    if (difference >= 0) return {};
    return QStringLiteral("库位[%1]的货品[%2]库存(%3)-调出数(%4) = %5 出现负数,是否继续调拨?")
        .arg(fromLocationCode, goodsName, shortNumber(stock), shortNumber(pieces), shortNumber(difference));
}
