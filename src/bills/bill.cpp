#include "bill.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "numbering/billno.h"
#include "output/printout.h"

const BillKind kStockIn{"rk", "supplierId", "supplierName", false};
const BillKind kStockOut{"ck", "customerId", "customerName", true};

namespace {

// Stock-in texts; the stock-out ones follow by naming the customer.
QString forKind(const BillKind& k, QString text) {
    text.replace("supplierId", k.partnerId).replace("supplierName", k.partnerName);
    return text;
}

int& partnerId(m_rk_head& h) {
    return h.supplierId;
}
int& partnerId(m_ck_head& h) {
    return h.customerId;
}
QString& partnerName(m_rk_head& h) {
    return h.supplierName;
}
QString& partnerName(m_ck_head& h) {
    return h.customerName;
}
int partnerId(const m_rk_head& h) {
    return h.supplierId;
}
int partnerId(const m_ck_head& h) {
    return h.customerId;
}
const QString& partnerName(const m_rk_head& h) {
    return h.supplierName;
}
const QString& partnerName(const m_ck_head& h) {
    return h.customerName;
}
void readPartner(m_rk_detail& d, const RecordSet& rs) {
    d.supplierId = rs.value("supplierId").toInt();
    d.supplierName = acc::valueText(rs.value("supplierName"));
}
void readPartner(m_ck_detail& d, const RecordSet& rs) {
    d.customerId = rs.value("customerId").toInt();
    d.customerName = acc::valueText(rs.value("customerName"));
    d.salePrice = rs.value("salePrice").toDouble();
}
void addSalePrice(SqlParams& p, const m_rk_detail&) {
    (void)p;
}
void addSalePrice(SqlParams& p, const m_ck_detail& d) {
    p.AddItem("@salePrice", d.salePrice);
}

// The parameters of a head; the partner's are named after the kind's column.
template <class Head> SqlParams headParams(const BillKind& k, const Head& h) {
    SqlParams p;
    p.AddItem("@id", h.id);
    p.AddItem("@accountId", h.accountId);
    p.AddItem("@billNo", h.billNo);
    p.AddItem("@ubillNo", h.ubillNo);
    p.AddItem("@utypeId", h.utypeId);
    p.AddItem(QString('@') + k.partnerId, partnerId(h));
    p.AddItem(QString('@') + k.partnerName, partnerName(h));
    p.AddItem("@remark", h.remark);
    p.AddItem("@ispass", h.ispass);
    p.AddItem("@creator", h.creator);
    p.AddItem("@createTime", h.createTime);
    p.AddItem("@updateLastUser", h.updateLastUser);
    p.AddItem("@updateLastTime", h.updateLastTime);
    p.AddItem("@userId", h.userId);
    return p;
}

template <class Detail> SqlParams lineParams(const Detail& d) {
    SqlParams p;
    p.AddItem("@id", d.id);
    p.AddItem("@headId", d.headId);
    p.AddItem("@rowNo", d.rowNo);
    p.AddItem("@goodsTypeId", d.goodsTypeId);
    p.AddItem("@goodsTypeName", d.goodsTypeName);
    p.AddItem("@goodsId", d.goodsId);
    p.AddItem("@goodsCode", d.goodsCode);
    p.AddItem("@goodsDetailCode", d.goodsDetailCode);
    p.AddItem("@goodsName", d.goodsName);
    p.AddItem("@goodsDesc", d.goodsDesc);
    p.AddItem("@unit", d.unit);
    p.AddItem("@inPrice", d.inPrice);
    addSalePrice(p, d);
    p.AddItem("@packQty", d.packQty);
    p.AddItem("@weight", d.weight);
    p.AddItem("@qty", d.qty);
    p.AddItem("@locationId", d.locationId);
    p.AddItem("@lotNo", d.lotNo);
    p.AddItem("@remark", d.remark);
    p.AddItem("@productionDate", d.productionDate);
    p.AddItem("@expiryDate", d.expiryDate);
    return p;
}

// Numbers the lines from the table's next id inside the transaction, inserts
// them and returns the set under its new keys.
template <class Detail>
OrderedMap<QString, Detail> insertLines(const BillKind& k, int headId,
                                        const OrderedMap<QString, Detail>& lines, int lineId) {
    OrderedMap<QString, Detail> numbered;
    // the kind's line insert with a row of values per line, some hundred lines a statement
    const QString insert = k.lineInsert();
    const qsizetype values = insert.indexOf(" values ", 0, Qt::CaseInsensitive);
    const QString head = insert.left(values + 8), row = insert.mid(values + 8).trimmed();
    QStringList rows;
    auto flush = [&] {
        if (rows.isEmpty()) return;
        sqlHelper::ExecuteInTrans(head + rows.join(','));
        rows.clear();
    };
    for (const auto& [key, line] : lines) {
        Detail d = line;
        d.id = lineId;
        d.headId = headId;
        const SqlParams p = lineParams(d);
        rows << sqlHelper::ReplaceParams(row, &p);
        numbered.AddItem(LineKey(k, lineId), d);
        ++lineId;
        if (rows.size() >= 200) flush();
    }
    flush();
    return numbered;
}

void readHead(BillHeadFields& m, const RecordSet& rs) {
    auto text = [&](const char* f) { return acc::valueText(rs.value(f)); };
    m.id = rs.value("id").toInt();
    m.accountId = rs.value("accountId").toInt();
    m.billNo = text("billNo");
    m.ubillNo = text("ubillNo");
    m.utypeId = rs.value("utypeId").toInt();
    m.remark = text("remark");
    m.creator = text("creator");
    m.createTime = text("createTime");
    m.updateLastUser = text("updateLastUser");
    m.updateLastTime = text("updateLastTime");
    m.userId = rs.value("userId").toInt();
    m.ispass = static_cast<qint16>(rs.value("ispass").toInt());
    m.accountName = text("accountName");
    m.totalItemRow = text("totalItemRow");
    m.utype = text("utype");
    m.totalQty = acc::val(text("totalQty"));
    m.totalAmount = acc::val(text("totalAmount"));
    m.rowsCount = rs.value("rowsCount").toInt();
}

void readDetail(BillDetailFields& m, const RecordSet& rs) {
    auto text = [&](const char* f) { return acc::valueText(rs.value(f)); };
    auto number = [&](const char* f) { return acc::val(text(f)); };
    m.id = rs.value("id").toInt();
    m.headId = rs.value("headId").toInt();
    m.rowNo = rs.value("rowNo").toInt();
    m.goodsTypeId = rs.value("goodsTypeId").toInt();
    m.goodsTypeName = text("goodsTypeName");
    m.goodsId = rs.value("goodsId").toInt();
    m.goodsCode = text("goodsCode");
    m.goodsDetailCode = text("goodsDetailCode");
    m.goodsName = text("goodsName");
    m.goodsDesc = text("goodsDesc");
    m.unit = text("unit");
    m.inPrice = number("inPrice");
    m.packQty = number("packQty");
    m.weight = number("weight");
    m.qty = number("qty");
    m.locationId = rs.value("locationId").toInt();
    m.lotNo = text("lotNo");
    m.remark = text("remark");
    m.accountId = rs.value("accountId").toInt();
    m.accountName = text("accountName");
    m.billNo = text("billNo");
    m.ubillNo = text("ubillNo");
    m.utype = text("utype");
    m.utypeId = rs.value("utypeId").toInt();
    m.userId = rs.value("userId").toInt();
    m.totalQty = number("totalQty");
    m.totalDefaultQty = number("totalDefaultQty");
    m.totalWeight = number("totalWeight");
    m.totalAmount = number("totalAmount");
    m.locationCode = text("locationCode");
    m.ispass = static_cast<qint16>(rs.value("ispass").toInt());
    m.passName = text("passName");
}

m_DBresult refillTemp(const QString& temp, const QString& fields, const QString& search,
                      const ConditionSet& conditions) {
    KeyValue batch;
    batch.AddItem("Delete From " + temp, SqlParams());
    batch.AddItem("insert into " + temp + "( " + fields + ") " + search + " where 1=1 " +
                      GetConditionSql(conditions),
                  SqlParams());
    return sqlHelper::ExecuteTrans(batch);
}

} // namespace

QString BillKind::table(const char* part) const {
    return QStringLiteral("tb_%1_%2").arg(tag, part);
}
QString BillKind::view(const char* part) const {
    return QStringLiteral("v_%1_%2").arg(tag, part);
}
QString BillKind::tempTable(const char* part) const {
    return QStringLiteral("temp_%1_%2").arg(tag, part);
}

QString BillKind::headFields() const {
    return forKind(*this, " id,accountId,accountName,billNo,ubillNo,utypeId,utype,supplierId,ispass,passName,"
                          "supplierName,remark,creator,createTime,updateLastUser,updateLastTime,userId,"
                          "totalItemRow,rowsCount,totalQty,totalAmount ");
}

QString BillKind::detailFields() const {
    return forKind(*this,
                   QString(" id,headId,accountId,accountName,ispass,passName,billNo,ubillNo,utypeId,utype,"
                           "supplierId,supplierName,userId,rowNo,goodsTypeId,goodsTypeName,goodsId,"
                           "goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,inPrice,") +
                       (salePrice ? "salePrice," : "") +
                       "packQty,weight,qty,totalQty,totalDefaultQty,totalWeight,totalAmount,locationId,"
                       "locationCode,lotNo,remark ");
}

QString BillKind::lineInsert() const {
    const QString sale = salePrice ? "salePrice," : "";
    const QString saleParam = salePrice ? "@salePrice," : "";
    return "insert into " + table("detail") +
           " (id,headId,rowNo,goodsTypeId,goodsTypeName,goodsId,goodsCode,goodsDetailCode,goodsName,"
           "goodsDesc,"
           "unit,inPrice," +
           sale +
           "packQty,weight,qty,locationId,lotNo,remark,productionDate,expiryDate )  values "
           "(@id,@headId,@rowNo,@goodsTypeId,@goodsTypeName,"
           "@goodsId,@goodsCode,@goodsDetailCode,@goodsName,@goodsDesc,@unit,@inPrice," +
           saleParam + "@packQty,@weight,@qty,@locationId,@lotNo,@remark,@productionDate,@expiryDate ) ";
}

QString LineKey(const BillKind& kind, int lineId) {
    return QString::number(lineId) + '|' + kind.lineInsert();
}

// ---- heads ----

template <class Head, class Detail>
QString BillHeadDal<Head, Detail>::GetSqlSearch(const QString& kind) const {
    if (kind == "a") return "select " + m_kind.headFields() + " from " + m_kind.view("head");
    if (kind == "f") return m_kind.headFields();
    return {};
}

template <class Head, class Detail> m_DBresult BillHeadDal<Head, Detail>::Add(Head& head, LineSet& lines) {
    Head stored = head;
    LineSet numbered;
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        numbered = lines;
        AddInTrans(stored, numbered);
    });
    if (r.isResult) {
        head = stored;
        lines = numbered;
    }
    return r;
}

template <class Head, class Detail> void BillHeadDal<Head, Detail>::AddInTrans(Head& stored, LineSet& lines) {
    // the bill's id and number and its lines' ids, read at once under both tables' keys
    const QString heads = m_kind.table("head"), details = m_kind.table("detail");
    const QString lastNo = LastBillNoQuery(m_kind.tag, stored.createTime);
    sqlHelper::LockInTrans(QStringList{heads, details});
    const RecordSet maxima = sqlHelper::QueryInTrans("select (select max(id) from " + heads + "), (" +
                                                     lastNo + "), (select max(id) from " + details + ")");
    stored.id = maxima.at(0, 0).toInt() + 1;
    stored.billNo = BillNoAfter(m_kind.tag, stored.createTime, maxima.at(0, 1));
    const QString insert =
        forKind(m_kind, "insert into " + m_kind.table("head") +
                            " (id,accountId,billNo,ubillNo,utypeId,supplierId,supplierName,"
                            "remark,ispass,creator,createTime,updateLastUser,updateLastTime,"
                            "userId )  values (@id,@accountId,@billNo,@ubillNo,@utypeId,"
                            "@supplierId,@supplierName,@remark,@ispass,@creator,@createTime,"
                            "@updateLastUser,@updateLastTime,@userId ) ");
    sqlHelper::ExecuteInTrans(insert, headParams(m_kind, stored));
    lines = insertLines(m_kind, stored.id, lines, maxima.at(0, 2).toInt() + 1);
}

template <class Head, class Detail> Head BillHeadDal<Head, Detail>::GetModel(int id) {
    Head m;
    const RecordSet rs = sqlHelper::ReadRecord(GetSqlSearch("a") + " where id=" + QString::number(id));
    if (rs.RecordCount() > 0) {
        readHead(m, rs);
        partnerId(m) = rs.value(m_kind.partnerId).toInt();
        partnerName(m) = acc::valueText(rs.value(m_kind.partnerName));
    }
    return m;
}

template <class Head, class Detail> RecordSet BillHeadDal<Head, Detail>::GetDataTable(const QString& where) {
    return sqlHelper::ExecuteSql(GetSqlSearch("a") + " where 1=1 " + where);
}

template <class Head, class Detail>
m_recordSet BillHeadDal<Head, Detail>::GetListForCondition(const ConditionSet& conditions,
                                                           const QString& selectPart, const QString& tail) {
    const QString select = selectPart.trimmed().isEmpty() ? "select " + m_kind.headFields() : selectPart;
    return RunListQuery(select, m_kind.view("head") + " ", conditions, tail);
}

namespace {

// Inside the writing transaction: the stored bill may be changed, or the
// reason why not. What a window showed may be stale: another window or
// program may have approved or deleted the bill meanwhile.
void checkStoredBill(const BillKind& k, int id, const QString& approvedMessage) {
    const RecordSet rs =
        sqlHelper::QueryInTrans("select ispass from " + k.table("head") + " where id=" + QString::number(id));
    if (rs.RecordCount() < 1) throw DbError(QStringLiteral("当前单据已被删除!"));
    if (rs.at(0, 0).toInt() == 1) throw DbError(approvedMessage);
    const QString count = CountOfAdjustmentBill(QLatin1String(k.tag) == QLatin1String("ck"), id);
    if (!count.isEmpty()) throw DbError(AdjustmentBillRefusal(count, QStringLiteral("删除")));
}

} // namespace

template <class Head, class Detail> m_DBresult BillHeadDal<Head, Detail>::Delete(int id) {
    return sqlHelper::ExecuteTransWith([&] {
        checkStoredBill(m_kind, id, QStringLiteral("当前单据已审核,不能删除!"));
        SqlParams lines;
        lines.AddItem("@headId", id);
        sqlHelper::ExecuteInTrans("Delete From " + m_kind.table("detail") + " where headId=@headId", lines);
        SqlParams head;
        head.AddItem("@id", id);
        sqlHelper::ExecuteInTrans("Delete From " + m_kind.table("head") + " where id=@id", head);
    });
}

template <class Head, class Detail> int BillHeadDal<Head, Detail>::Update_pass(const Head& head) {
    // a count's adjustment bill stays approved
    const bool out = QLatin1String(m_kind.tag) == QLatin1String("ck");
    if (head.ispass == 0 && !CountOfAdjustmentBill(out, head.id).isEmpty()) return 0;
    SqlParams p;
    p.AddItem("@id", head.id);
    p.AddItem("@ispass", head.ispass);
    p.AddItem("@updateLastUser", head.updateLastUser);
    p.AddItem("@updateLastTime", head.updateLastTime);
    return sqlHelper::ExecuteNonQuery("update " + m_kind.table("head") +
                                          "  set ispass=@ispass, updateLastUser=@updateLastUser,"
                                          " updateLastTime=@updateLastTime where id=@id",
                                      p);
}

template <class Head, class Detail>
m_DBresult BillHeadDal<Head, Detail>::Update_All(const Head& head, LineSet& lines) {
    LineSet numbered;
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        checkStoredBill(m_kind, head.id, QStringLiteral("当前单据已审核,不能保存!"));
        const QString update =
            forKind(m_kind, "update " + m_kind.table("head") +
                                "  set accountId=@accountId, ubillNo=@ubillNo, utypeId=@utypeId,"
                                " supplierId=@supplierId, supplierName=@supplierName,"
                                " remark=@remark, updateLastUser=@updateLastUser,"
                                " updateLastTime=@updateLastTime where id=@id");
        sqlHelper::ExecuteInTrans(update, headParams(m_kind, head));
        // the new lines are numbered after the old ones, which they replace
        const int firstLineId = sqlHelper::MaxIdInTrans(m_kind.table("detail")) + 1;
        SqlParams p;
        p.AddItem("@headId", head.id);
        sqlHelper::ExecuteInTrans("delete from " + m_kind.table("detail") + " where headId=@headId", p);
        numbered = insertLines(m_kind, head.id, lines, firstLineId);
    });
    if (r.isResult) lines = numbered;
    return r;
}

template <class Head, class Detail>
m_DBresult BillHeadDal<Head, Detail>::insertTemp(const ConditionSet& conditions) {
    return refillTemp(m_kind.tempTable("head"), m_kind.headFields(), GetSqlSearch("a"), conditions);
}

template <class Head, class Detail>
QDomElement BillHeadDal<Head, Detail>::GetGroupHeadRowNode(const ConditionSet& conditions,
                                                           const QString& templateCode) {
    const m_DBresult refilled = insertTemp(conditions);
    if (!refilled.isResult) throw DbError(refilled.str_MsgBox);
    // the checker of an approved bill: its approval is the last change it took
    return PrintOut::BuildRecordNode(
        sqlHelper::ExecuteSql("select *, iif(ispass = 0, Null, updateLastUser) as checker from " +
                              m_kind.tempTable("head") + " order by id"),
        templateCode, "DataGroupHead");
}

// ---- lines ----

template <class Detail> QString BillDetailDal<Detail>::GetSqlSearch(const QString& kind) const {
    if (kind == "a") return "select " + m_kind.detailFields() + " from " + m_kind.view("detail");
    if (kind == "f") return m_kind.detailFields();
    return {};
}

template <class Detail> void BillDetailDal<Detail>::Add(const Detail& line) {
    sqlHelper::ExecuteNonQuery(m_kind.lineInsert(), lineParams(line));
}

template <class Detail> Detail BillDetailDal<Detail>::GetModel(int id) {
    Detail m;
    const RecordSet rs = sqlHelper::ReadRecord(GetSqlSearch("a") + " where id=" + QString::number(id));
    if (rs.RecordCount() > 0) {
        readDetail(m, rs);
        readPartner(m, rs);
    }
    return m;
}

template <class Detail> RecordSet BillDetailDal<Detail>::GetDataTable(const QString& where) {
    return sqlHelper::ExecuteSql(GetSqlSearch("a") + " where 1=1 " + where);
}

template <class Detail>
m_recordSet BillDetailDal<Detail>::GetListForCondition(const ConditionSet& conditions,
                                                       const QString& selectPart, const QString& tail) {
    const QString select = selectPart.trimmed().isEmpty() ? "select " + m_kind.detailFields() : selectPart;
    return RunListQuery(select, m_kind.view("detail") + " ", conditions, tail);
}

template <class Detail> m_DBresult BillDetailDal<Detail>::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From " + m_kind.table("detail") + " where id=@id"}, id);
}

template <class Detail> void BillDetailDal<Detail>::Update(const Detail& line) {
    const QString sale = m_kind.salePrice ? " salePrice=@salePrice," : "";
    sqlHelper::ExecuteNonQuery(
        "update " + m_kind.table("detail") +
            "  set headId=@headId, rowNo=@rowNo, goodsTypeId=@goodsTypeId,"
            " goodsTypeName=@goodsTypeName, goodsId=@goodsId, goodsCode=@goodsCode,"
            " goodsDetailCode=@goodsDetailCode, goodsName=@goodsName, goodsDesc=@goodsDesc,"
            " unit=@unit, inPrice=@inPrice," +
            sale +
            " packQty=@packQty, weight=@weight, qty=@qty, locationId=@locationId,"
            " lotNo=@lotNo, remark=@remark, productionDate=@productionDate, expiryDate=@expiryDate where "
            "id=@id",
        lineParams(line));
}

template <class Detail> m_DBresult BillDetailDal<Detail>::insertTemp(const ConditionSet& conditions) {
    return refillTemp(m_kind.tempTable("detail"), m_kind.detailFields(), GetSqlSearch("a"), conditions);
}

template <class Detail>
QDomElement BillDetailDal<Detail>::GetDetailRowNode(const ConditionSet& conditions,
                                                    const QString& templateCode) {
    const m_DBresult refilled = insertTemp(conditions);
    if (!refilled.isResult) throw DbError(refilled.str_MsgBox);
    return PrintOut::BuildRecordNode(
        sqlHelper::ExecuteSql("select * from " + m_kind.tempTable("detail") + " order by headId,rowNo"),
        templateCode, "DataDetail");
}

template class BillHeadDal<m_rk_head, m_rk_detail>;
template class BillHeadDal<m_ck_head, m_ck_detail>;
template class BillDetailDal<m_rk_detail>;
template class BillDetailDal<m_ck_detail>;

QString CountOfAdjustmentBill(bool out, int billId) {
    if (billId < 1) return {};
    const RecordSet rs =
        sqlHelper::ExecuteSql(QStringLiteral("select top 1 billNo from tb_stocktake_head where %1=%2")
                                  .arg(out ? "ckHeadId" : "rkHeadId")
                                  .arg(billId));
    return rs.RecordCount() > 0 ? acc::valueText(rs.at(0, 0)) : QString();
}

QString AdjustmentBillRefusal(const QString& countNo, const QString& what) {
    return QStringLiteral("该单据是盘点单 %1 的调整单据, 不能%2!").arg(countNo, what);
}
