#include "rpt_filters.h"

#include "data/sqlvalue.h"

namespace {

// A span of creation days as conditions on the stored text, which an index
// serves: from the first day's start to before the day after the last, so a
// stored time of day still counts on its day.
void addDateSpan(ConditionSet& into, const char* fromKey, const char* toKey, const QString& field,
                 const QDate& from, const QDate& to) {
    if (from.isValid()) into.AddItem(fromKey, m_condition(field, ">=", from.toString(Qt::ISODate)));
    if (to.isValid()) into.AddItem(toKey, m_condition(field, "<", to.addDays(1).toString(Qt::ISODate)));
}

} // namespace

void BillListConditions(const BillListFilter& f, ConditionSet& source, ConditionSet& list) {
    addDateSpan(source, "1", "2", "createTime", f.from, f.to);
    if (!f.accountIds.trimmed().isEmpty())
        source.AddItem("3", m_condition("accountId", "in", Raw(f.accountIds + "0")));
    // 3 is no state: with neither box ticked nothing is found
    source.AddItem("4", m_condition("ispass", "in",
                                    Raw(QString(f.approved ? "1," : "") + (f.unapproved ? "0," : "") + "3")));
    const QString partner = f.stockOut ? "customerName" : "supplierName";
    if (!f.type.trimmed().isEmpty()) list.AddItem("1", m_condition("utype", "=", f.type));
    if (!f.partner.trimmed().isEmpty()) list.AddItem("2", m_condition(partner, "like", f.partner));
    if (!f.keyword.isEmpty())
        list.AddItem("3",
                     m_condition("billNo & iif(ubillNo is null,'',ubillNo) & " + partner, "like", f.keyword));
}

QString BillListSelect(bool stockOut) {
    return QString("select 0,id,passName,accountName,billNo,ubillNo,utype,") +
           (stockOut ? "customerName" : "supplierName") +
           ",totalItemRow,totalAmount,remark,creator,createTime ";
}

void LineListConditions(const LineListFilter& f, ConditionSet& source, ConditionSet& list) {
    ConditionSet billList; // the bill list's own list conditions do not apply to lines
    BillListConditions(f, source, billList);
    const QString partner = f.stockOut ? "customerName" : "supplierName";
    if (!f.goodsType.trimmed().isEmpty()) list.AddItem("1", m_condition("goodsTypeName", "=", f.goodsType));
    if (!f.type.trimmed().isEmpty()) list.AddItem("2", m_condition("utype", "=", f.type));
    if (!f.partner.trimmed().isEmpty()) list.AddItem("3", m_condition(partner, "like", f.partner));
    if (!f.goodsCode.trimmed().isEmpty()) list.AddItem("4", m_condition("goodsCode", "like", f.goodsCode));
    if (!f.keyword.isEmpty())
        list.AddItem("5", m_condition("billNo & iif(ubillNo is null,'',ubillNo) & " + partner +
                                          " & goodsCode & goodsName & pinyin & goodsDesc & goodsTypeName & "
                                          "locationCode & iif(lotNo is null,'',lotNo)",
                                      "like", f.keyword));
}

QString LineListSelect(bool stockOut) {
    return QString("select 0,id,passName,headId,accountName,billNo,ubillNo,utype,") +
           (stockOut ? "customerName" : "supplierName") +
           ",goodsTypeName,goodsCode,goodsDetailCode,goodsName,goodsDesc,unit,packQty,weight,inPrice," +
           (stockOut ? "salePrice," : "") +
           "qty,totalAmount,totalQty,totalDefaultQty,totalWeight,locationCode,lotNo,remark,creator,"
           "createTime ";
}

QString LineListCaptions(bool stockOut) {
    return stockOut ? QStringLiteral("账目标识,状态,单据号码,自定义单号,出库类别,客户名称,货品类别,货品编码,"
                                     "货品名称,描述,单位,"
                                     "内装数,重量,售价,数量,金额,小件数量,默认件数,重量小计,存放库位,批次号,"
                                     "备注,建单人,建单日期,生产日期,有效期至")
                    : QStringLiteral("账目标识,状态,单据号码,自定义单号,入库类别,供应商名称,货品类别,"
                                     "货品编码,货品名称,描述,单位,"
                                     "内装数,重量,价格,数量,金额,小件数量,默认件数,重量小计,存放库位,批次号,"
                                     "备注,建单人,建单日期,生产日期,有效期至");
}

namespace {

// The heads of the span, account marks and approval states.
void transferHeads(const TransferFilter& f, ConditionSet& source) {
    BillListFilter bills;
    bills.from = f.from;
    bills.to = f.to;
    bills.accountIds = f.accountIds;
    bills.approved = f.approved;
    bills.unapproved = f.unapproved;
    ConditionSet none;
    BillListConditions(bills, source, none);
}

// The lines' location conditions over columns of a line.
std::vector<m_condition> lineLocations(const TransferFilter& f) {
    std::vector<m_condition> out;
    if (!f.grantedIds.trimmed().isEmpty()) // either end, at one of the user's locations
        out.emplace_back("fromLocationId in (" + f.grantedIds + ") or toLocationId", "in", Raw(f.grantedIds));
    if (!f.fromIds.trimmed().isEmpty()) out.emplace_back("fromLocationId", "in", Raw(f.fromIds));
    if (!f.toIds.trimmed().isEmpty()) out.emplace_back("toLocationId", "in", Raw(f.toIds));
    return out;
}

} // namespace

void TransferListConditions(const TransferFilter& f, ConditionSet& source, ConditionSet& list) {
    transferHeads(f, source);
    // a transfer with a line at the locations asked for, looked for among the span's transfers only
    ConditionSet places;
    for (const m_condition& c : lineLocations(f))
        places.AddItem(QString::number(places.size() + 1), c);
    if (!places.empty())
        source.AddItem("5", m_condition("id", "in",
                                        Raw("select headId from tb_transfer_detail where headId = "
                                            "tb_transfer_head.id" +
                                            GetConditionSql(places))));
    if (!f.keyword.isEmpty())
        list.AddItem("1", m_condition("billNo & iif(remark is null,'',remark)", "like", f.keyword));
}

void TransferLineConditions(const TransferFilter& f, ConditionSet& source, ConditionSet& list) {
    transferHeads(f, source);
    for (const m_condition& c : lineLocations(f))
        list.AddItem(QString::number(list.size() + 1), c);
    if (!f.keyword.isEmpty())
        list.AddItem("9", m_condition("billNo & goodsCode & goodsName & iif(pinyin is null,'',pinyin) & "
                                      "iif(goodsDesc is null,'',goodsDesc) & iif(fromLocationCode is null,'',"
                                      "fromLocationCode) & iif(toLocationCode is null,'',toLocationCode) & "
                                      "iif(lotNo is null,'',lotNo)",
                                      "like", f.keyword));
}

QString TransferListSelect() {
    return "select 0,id,passName,accountName,billNo,totalItemRow,totalQty,remark,creator,createTime ";
}

QString TransferLineSelect() {
    return "select "
           "0,id,passName,headId,accountName,billNo,goodsTypeName,goodsCode,goodsName,goodsDesc,unit,packQty,"
           "weight,qty,totalQty,totalDefaultQty,totalWeight,fromLocationCode,toLocationCode,lotNo,remark,"
           "creator,"
           "createTime ";
}

QString TransferListCaptions() {
    return QStringLiteral("账目标识,状态,单据号码,单据项目,小件数量,备注,建单人,建单日期");
}

QString TransferLineCaptions() {
    return QStringLiteral(
        "账目标识,状态,单据号码,货品类别,货品编码,货品名称,描述,单位,内装数,重量,数量,小件数量,"
        "默认件数,重量小计,调出库位,调出库位名称,调入库位,调入库位名称,批次号,备注,建单人,建单日期,生产日期,"
        "有效期至");
}

QString TransferListKinds() {
    return "tttnnttd";
}

QString TransferLineKinds() {
    return "tttttttt"
           "nnnnnn"
           "tttttttd"
           "tt";
}

void StockConditions(const StockFilter& f, ConditionSet& list) {
    if (!f.goodsType.trimmed().isEmpty()) list.AddItem("1", m_condition("goodsTypeName", "=", f.goodsType));
    if (!f.keyword.isEmpty())
        list.AddItem("2",
                     m_condition("goodsCode&goodsName&pinyin&goodsDesc&goodsTypeName", "like", f.keyword));
    if (!f.includeZero) list.AddItem("3", m_condition("val(totalBlanceQty)", "<>", Raw("0")));
    if (f.lowOnly) list.AddItem("4", m_condition("val(totalBlanceDefaultQty)", "<", Raw("downqty")));
}

QString StockSelect() {
    return "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit,totalImportQty,"
           "totalExportQty,totalBlanceQty,totalImportWeight,totalExportWeight,totalBlanceWeight,"
           "totalImportDefaultQty,"
           "totalExportDefaultQty,totalBlanceDefaultQty ";
}

void SumConditions(const SumFilter& f, ConditionSet& list, ConditionSet& sum) {
    const QString totalQty = f.stockOut ? "totalExportQty" : "totalImportQty";
    if (!f.goodsType.trimmed().isEmpty()) list.AddItem("1", m_condition("goodsTypeName", "=", f.goodsType));
    if (!f.keyword.isEmpty())
        list.AddItem("2",
                     m_condition("goodsCode&goodsName&pinyin&goodsDesc&goodsTypeName", "like", f.keyword));
    if (!f.includeZero) list.AddItem("3", m_condition("val(" + totalQty + ")", "<>", Raw("0")));
    const QString head = f.stockOut ? "tb_ck_head." : "tb_rk_head.";
    if (!f.partner.trimmed().isEmpty())
        sum.AddItem("1",
                    m_condition(head + (f.stockOut ? "customerName" : "supplierName"), "like", f.partner));
    bool numeric = false;
    const qlonglong typeId = f.typeId.trimmed().toLongLong(&numeric);
    if (numeric) sum.AddItem("2", m_condition(head + "utypeId", "=", typeId));
    addDateSpan(sum, "3", "4", head + "createTime", f.from, f.to);
}

QString SumSelect(bool stockOut) {
    const QString p = stockOut ? "totalExport" : "totalImport";
    return "select 0,id,status,goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,unit," + p + "Qty," +
           p + "Weight," + p + "DefaultQty ";
}

QString SumCaptions() {
    return QStringLiteral("状态,货品类别,货品编码,货品名称,规格,上限,下库,单位,小件汇总,重量汇总,默认件数");
}

QString BillListCaptions(bool stockOut) {
    return stockOut ? QStringLiteral("账目标识,状态,单据号码,自定义单号,出库类别,客户名称,单据项目,单据金额,"
                                     "备注,建单人,建单日期")
                    : QStringLiteral("账目标识,状态,单据号码,自定义单号,入库类别,供应商名称,单据项目,"
                                     "单据金额,备注,建单人,建单日期");
}

QString StockCaptions() {
    return QStringLiteral(
        "状态,货品类别,货品编码,货品名称,描述,上限,下限,单位,小件入库,小件出库,小件库存,入库重量,出库重量,"
        "库存重量,默认件数入库,默认件数出库,默认件数库存");
}

QString BillListKinds() {
    return "tttttttnttd";
}

QString LineListKinds() {
    return "ttttttttttt"
           "nnnnnnnn"
           "tttt"
           "d"
           "tt";
}

QString StockKinds() {
    return "tttttnnt"
           "nnnnnnnnn";
}

QString SumKinds() {
    return "tttttnnt"
           "nnn";
}
