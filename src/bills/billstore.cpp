#include "billstore.h"

#include "bill.h"
#include "data/accesstext.h"

namespace {

template <class Head> void partnerInto(Head& h, const BillEntryHead& e);
template <> void partnerInto(m_rk_head& h, const BillEntryHead& e) {
    h.supplierId = e.partnerId;
    h.supplierName = e.partnerName;
}
template <> void partnerInto(m_ck_head& h, const BillEntryHead& e) {
    h.customerId = e.partnerId;
    h.customerName = e.partnerName;
}
void partnerFrom(const m_rk_head& h, BillEntryHead& e) {
    e.partnerId = h.supplierId;
    e.partnerName = h.supplierName;
}
void partnerFrom(const m_ck_head& h, BillEntryHead& e) {
    e.partnerId = h.customerId;
    e.partnerName = h.customerName;
}
void salePriceInto(m_rk_detail&, double) {}
void salePriceInto(m_ck_detail& d, double price) {
    d.salePrice = price;
}

// The lines' select parts; the values are read by name. The dates come from
// the line table itself: the line views came before them.
const char* const kStockInLines =
    "select 0,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
    "goodsTypeName,unit,packQty,weight,inPrice,qty,totalAmount,locationId,"
    "locationCode,lotNo,remark,(select productionDate from tb_rk_detail x where x.id=v_rk_detail.id) as "
    "productionDate,(select expiryDate from tb_rk_detail x where x.id=v_rk_detail.id) as expiryDate  ";
const char* const kStockOutLines =
    "select 0,id,goodsId,goodsTypeId,goodsCode,goodsDetailCode,goodsName,goodsDesc,"
    "goodsTypeName,unit,packQty,weight,inPrice,salePrice,qty,totalAmount,locationId,"
    "locationCode,lotNo,remark,(select productionDate from tb_ck_detail x where x.id=v_ck_detail.id) as "
    "productionDate,(select expiryDate from tb_ck_detail x where x.id=v_ck_detail.id) as expiryDate  ";

template <class HeadDal, class DetailDal, class Head, class Detail> class StoreOf : public BillStore {
public:
    StoreOf(const BillKind& kind, const char* partnerColumn, const char* priceColumn, const char* linesSelect)
        : m_kind(kind), m_partnerColumn(partnerColumn), m_priceColumn(priceColumn),
          m_linesSelect(linesSelect) {}

    BillEntryHead Load(int id) override {
        const Head h = m_head.GetModel(id);
        BillEntryHead e;
        e.id = h.id;
        e.billNo = h.billNo;
        e.accountId = h.accountId;
        e.accountName = h.accountName;
        e.ubillNo = h.ubillNo;
        e.utypeId = h.utypeId;
        e.utype = h.utype;
        partnerFrom(h, e);
        e.remark = h.remark;
        e.ispass = h.ispass;
        e.creator = h.creator;
        e.createTime = h.createTime;
        e.updateLastUser = h.updateLastUser;
        e.updateLastTime = h.updateLastTime;
        e.userId = h.userId;
        return e;
    }

    std::vector<BillEntryRow> Lines(int headId) override {
        ConditionSet c;
        c.AddItem("1", m_condition("headId", "=", headId));
        const RecordSet rs = m_detail.GetListForCondition(c, QString::fromLatin1(m_linesSelect)).recordSet;
        return EntryRowsOf(rs, m_priceColumn.toLatin1().constData());
    }

    m_DBresult Save(BillEntryHead& e, const std::vector<BillEntryLine>& lines) override {
        Head h;
        h.id = e.id;
        h.billNo = e.billNo;
        h.accountId = e.accountId;
        h.ubillNo = e.ubillNo;
        h.utypeId = e.utypeId;
        partnerInto(h, e);
        h.remark = e.remark;
        h.ispass = 0;
        h.creator = e.creator;
        h.createTime = e.createTime;
        h.updateLastUser = e.updateLastUser;
        h.updateLastTime = e.updateLastTime;
        h.userId = e.userId;
        OrderedMap<QString, Detail> set;
        int k = 0;
        for (const BillEntryLine& l : lines) {
            Detail d;
            d.rowNo = l.rowNo;
            d.goodsId = l.goodsId;
            d.goodsTypeId = l.goodsTypeId;
            d.goodsTypeName = l.goodsTypeName;
            d.goodsCode = l.goodsCode;
            d.goodsDetailCode = l.goodsDetailCode;
            d.goodsName = l.goodsName;
            d.goodsDesc = l.goodsDesc;
            d.unit = l.unit;
            d.packQty = l.packQty;
            d.weight = l.weight;
            d.inPrice = l.inPrice;
            salePriceInto(d, l.salePrice);
            d.qty = l.qty;
            d.locationId = l.locationId;
            d.lotNo = l.lotNo;
            d.remark = l.remark;
            d.productionDate = l.productionDate;
            d.expiryDate = l.expiryDate;
            set.AddItem(LineKey(m_kind, ++k), d); // renumbered inside the save
        }
        if (e.id < 1) {
            const m_DBresult r = m_head.Add(h, set);
            if (r.isResult) {
                e.id = h.id;
                e.billNo = h.billNo;
            }
            return r;
        }
        return m_head.Update_All(h, set);
    }

    bool SetPass(int id, int state, const QString& user, const QString& time) override {
        Head h;
        h.id = id;
        h.ispass = static_cast<qint16>(state);
        h.updateLastUser = user;
        h.updateLastTime = time;
        return m_head.Update_pass(h) > 0;
    }

    m_DBresult Delete(int id) override { return m_head.Delete(id); }

    std::optional<double> LastPrice(int partnerId, const QString& goodsCode) override {
        if (partnerId < 1) return std::nullopt;
        ConditionSet c;
        c.AddItem("1", m_condition(m_partnerColumn, "=", partnerId));
        c.AddItem("2", m_condition("goodsCode", "=", goodsCode));
        // a count's adjustment bill is no purchase or sale
        const m_recordSet rs = m_detail.GetListForCondition(
            c, QStringLiteral("select top 1 %1 ").arg(m_priceColumn),
            QStringLiteral(
                " and headId not in (select %1HeadId from tb_stocktake_head) order by headId Desc,id Desc")
                .arg(QLatin1String(m_kind.tag)));
        if (rs.recordCount < 1) return std::nullopt;
        return acc::val(acc::valueText(rs.recordSet.at(0, 0)));
    }

private:
    const BillKind& m_kind;
    QString m_partnerColumn;
    QString m_priceColumn;
    const char* m_linesSelect;
    HeadDal m_head;
    DetailDal m_detail;
};

} // namespace

std::vector<BillEntryRow> EntryRowsOf(const RecordSet& rs, const char* priceColumn) {
    std::vector<BillEntryRow> rows(rs.RecordCount());
    const bool sale = rs.fieldIndex(QStringLiteral("salePrice")) >= 0;
    const bool to = rs.fieldIndex(QStringLiteral("toLocationId")) >= 0;
    const bool dated = rs.fieldIndex(QStringLiteral("expiryDate")) >= 0;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        auto text = [&](const char* name) { return acc::valueText(rs.at(r, QLatin1String(name))); };
        auto number = [&](const char* name) { return acc::val(text(name)); };
        BillEntryLine& l = rows[r].line;
        l.rowNo = r + 1;
        l.goodsId = static_cast<int>(number("goodsId"));
        l.goodsTypeId = static_cast<int>(number("goodsTypeId"));
        l.goodsTypeName = text("goodsTypeName");
        l.goodsCode = text("goodsCode");
        l.goodsDetailCode = text("goodsDetailCode");
        l.goodsName = text("goodsName");
        l.goodsDesc = text("goodsDesc");
        l.unit = text("unit");
        l.packQty = number("packQty");
        l.weight = number("weight");
        l.qty = number("qty");
        l.locationId = static_cast<int>(number("locationId"));
        l.lotNo = text("lotNo");
        l.remark = text("remark");
        rows[r].locationCode = text("locationCode");
        rows[r].qty = text("qty");
        if (priceColumn) {
            l.inPrice = number("inPrice");
            rows[r].price = text(priceColumn);
        }
        if (sale) l.salePrice = number("salePrice");
        if (to) {
            l.toLocationId = static_cast<int>(number("toLocationId"));
            rows[r].toLocationCode = text("toLocationCode");
        }
        if (dated) {
            l.productionDate = text("productionDate");
            l.expiryDate = text("expiryDate");
        }
    }
    return rows;
}

std::unique_ptr<BillStore> NewStockInStore() {
    return std::make_unique<StoreOf<dal_rk_head, dal_rk_detail, m_rk_head, m_rk_detail>>(
        kStockIn, "supplierId", "inPrice", kStockInLines);
}

std::unique_ptr<BillStore> NewStockOutStore() {
    return std::make_unique<StoreOf<dal_ck_head, dal_ck_detail, m_ck_head, m_ck_detail>>(
        kStockOut, "customerId", "salePrice", kStockOutLines);
}
