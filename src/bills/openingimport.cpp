#include "openingimport.h"

#include "bill.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/results.h"
#include "data/sqlhelper.h"
#include "master/numbertext.h"

#include <QDate>
#include <QHash>
#include <QSet>

namespace {

enum Col { Code, Unit, Qty, Price, Location, Lot };

const char* const kOpeningType = "期初入库";

struct GoodsUnit {
    int goodsId = 0, goodsTypeId = 0;
    QString goodsCode, goodsName, goodsDesc, goodsTypeName, unit, barcode, status;
    double packQty = 1, weight = 0, inPrice = 0;
    bool isDefault = false;
};

struct Shop {
    QHash<QString, std::vector<GoodsUnit>> unitsOfGoods; // by goods code
    QHash<QString, GoodsUnit> byBarcode;
    QHash<QString, std::pair<int, QString>> locations; // enabled, granted: code -> id, code
    int typeId = 0;
    bool accountOk = false;
};

Shop readShop(const std::function<RecordSet(const QString&)>& query, const OpeningOptions& o) {
    Shop shop;
    const RecordSet rs = query("SELECT h.id, h.goodsTypeId, h.goodsCode, h.goodsName, h.goodsDesc, t.uname, "
                               "d.unit, d.goodsDetailCode, "
                               "h.status, d.packQty, d.weight, d.inPrice, d.isDefault FROM (tb_goods_detail "
                               "AS d INNER JOIN tb_goods_head "
                               "AS h ON h.id = d.headId) LEFT JOIN tb_dictionary AS t ON t.id = "
                               "h.goodsTypeId ORDER BY d.headId, d.rowNo, "
                               "d.id");
    for (int r = 0; r < rs.RecordCount(); ++r) {
        GoodsUnit u;
        u.goodsId = rs.at(r, 0).toInt();
        u.goodsTypeId = rs.at(r, 1).toInt();
        u.goodsCode = acc::valueText(rs.at(r, 2));
        u.goodsName = acc::valueText(rs.at(r, 3));
        u.goodsDesc = acc::valueText(rs.at(r, 4));
        u.goodsTypeName = acc::valueText(rs.at(r, 5));
        u.unit = acc::valueText(rs.at(r, 6));
        u.barcode = acc::valueText(rs.at(r, 7)).trimmed();
        u.status = acc::valueText(rs.at(r, 8));
        u.packQty = rs.at(r, 9).toDouble();
        u.weight = rs.at(r, 10).toDouble();
        u.inPrice = rs.at(r, 11).toDouble();
        u.isDefault = rs.at(r, 12).toInt() == 1;
        shop.unitsOfGoods[ImportKey(u.goodsCode)].push_back(u);
        if (!u.barcode.isEmpty()) shop.byBarcode.insert(ImportKey(u.barcode), u);
    }
    const RecordSet places =
        query("SELECT id, locationCode FROM tb_location WHERE state = 1 AND isLock = 0 AND id IN (" +
              o.grantedLocations + ")");
    for (int r = 0; r < places.RecordCount(); ++r)
        shop.locations.insert(ImportKey(acc::valueText(places.at(r, 1))),
                              {places.at(r, 0).toInt(), acc::valueText(places.at(r, 1))});
    const RecordSet type =
        query(QStringLiteral("SELECT id FROM tb_dictionary WHERE utype = 'importType' AND uname = "
                             "'%1' ORDER BY id")
                  .arg(QString::fromUtf8(kOpeningType)));
    shop.typeId = type.RecordCount() > 0 ? type.at(0, 0).toInt() : 0;
    shop.accountOk =
        query("SELECT count(*) FROM tb_dictionary WHERE utype = 'accountType' AND isstart = 1 AND id = " +
              QString::number(o.accountId))
            .at(0, 0)
            .toInt() > 0;
    return shop;
}

std::vector<m_rk_detail> check(ImportSheet& sheet, const OpeningOptions& o, const Shop& shop) {
    std::vector<m_rk_detail> lines;
    if (!shop.accountOk)
        sheet.refusal = QStringLiteral("账目标识不存在或已禁用");
    else if (!QDate::fromString(o.date, "yyyy-MM-dd").isValid())
        sheet.refusal = QStringLiteral("建单日期无效: %1").arg(o.date);
    else if (shop.typeId == 0)
        sheet.refusal = QStringLiteral("入库类别[期初入库]不存在");
    if (!sheet.refusal.isEmpty()) return lines;
    for (ImportRow& row : sheet.rows) {
        const QString code = row.cell(Code), unitName = row.cell(Unit);
        const GoodsUnit* unit = nullptr;
        const auto goods = shop.unitsOfGoods.constFind(ImportKey(code));
        if (code.isEmpty()) {
            row.error(Code, QStringLiteral("货品编码或条码不能为空"));
        } else if (goods != shop.unitsOfGoods.constEnd()) { // a goods code: the named unit, else the default
            for (const GoodsUnit& u : *goods)
                if (unitName.isEmpty() ? u.isDefault : ImportKey(u.unit) == ImportKey(unitName)) unit = &u;
            if (!unit)
                row.error(unitName.isEmpty() ? Code : Unit,
                          unitName.isEmpty() ? QStringLiteral("货品[%1]没有默认单位").arg(code)
                                             : QStringLiteral("货品[%1]没有单位[%2]").arg(code, unitName));
        } else if (const auto barcode = shop.byBarcode.constFind(ImportKey(code));
                   barcode != shop.byBarcode.constEnd()) {
            unit = &*barcode;
            if (!unitName.isEmpty() && ImportKey(unitName) != ImportKey(unit->unit)) {
                row.error(Unit, QStringLiteral("条码[%1]是单位[%2]的条码").arg(code, unit->unit));
                unit = nullptr;
            }
        } else {
            row.error(Code, QStringLiteral("[%1]不是货品编码, 也不是条码").arg(code));
        }
        if (unit && unit->status != QStringLiteral("启用"))
            row.error(Code,
                      QStringLiteral("货品[%1]的状态是%2, 不能入库").arg(unit->goodsCode, unit->status));
        m_rk_detail l;
        const std::optional<double> qty = NumberValue(row.cell(Qty), true);
        if (!qty)
            row.error(Qty, QStringLiteral("[%1]不是有效的数字").arg(row.cell(Qty)));
        else if (*qty <= 0)
            row.error(Qty, QStringLiteral("数量必须大于0"));
        else
            l.qty = *qty;
        const std::optional<double> price = NumberFieldValue(row.cell(Price));
        if (!price) row.error(Price, QStringLiteral("[%1]不是有效的数字").arg(row.cell(Price)));
        const QString place = row.cell(Location);
        const auto at = shop.locations.constFind(ImportKey(place));
        if (place.isEmpty())
            row.error(Location, QStringLiteral("库位不能为空"));
        else if (at == shop.locations.constEnd())
            row.error(Location, QStringLiteral("库位[%1]不存在、已锁定或没有权限").arg(place));
        if (row.cell(Lot).size() > 50) row.error(Lot, QStringLiteral("超过 50 个字符"));
        if (row.hasError() || !unit) continue;
        row.status = ImportStatus::New;
        l.goodsId = unit->goodsId;
        l.goodsTypeId = unit->goodsTypeId;
        l.goodsTypeName = unit->goodsTypeName;
        l.goodsCode = unit->goodsCode;
        l.goodsDetailCode = unit->barcode;
        l.goodsName = unit->goodsName;
        l.goodsDesc = unit->goodsDesc;
        l.unit = unit->unit;
        l.packQty = unit->packQty;
        l.weight = unit->weight;
        l.inPrice = row.cell(Price).isEmpty() ? unit->inPrice : *price;
        l.locationId = at->first;
        l.lotNo = row.cell(Lot);
        lines.push_back(l);
    }
    return lines;
}

} // namespace

std::vector<ImportColumn> OpeningImportColumns() {
    const QString none;
    return {
        {QStringLiteral("货品编码"),
         {QStringLiteral("条码"), QStringLiteral("货品编码或条码")},
         true,
         true,
         QStringLiteral("A0001"),
         QStringLiteral("货品编码或某个包装单位的条码")},
        {QStringLiteral("单位"),
         {},
         false,
         true,
         QStringLiteral("瓶"),
         QStringLiteral("空: 条码的单位, 或货品的默认单位")},
        {QStringLiteral("数量"), {}, true, false, "24", QStringLiteral("该单位的数量, 大于 0")},
        {QStringLiteral("进价"),
         {QStringLiteral("进货价")},
         false,
         false,
         "1.2",
         QStringLiteral("空: 该单位的进价")},
        {QStringLiteral("库位"),
         {QStringLiteral("库位编号")},
         true,
         true,
         "A",
         QStringLiteral("库位编号: 未锁定、有权限的库位")},
        {QStringLiteral("批次号"), {}, false, true, none, none},
    };
}

void CheckOpeningImport(ImportSheet& sheet, const OpeningOptions& options) {
    check(sheet, options, readShop([](const QString& sql) { return sqlHelper::ExecuteSql(sql); }, options));
}

QString OpeningBillOf(int accountId) {
    const RecordSet rs = sqlHelper::ExecuteSql(
        QStringLiteral(
            "SELECT min(billNo) FROM tb_rk_head WHERE accountId = %1 AND utypeId IN (SELECT id FROM "
            "tb_dictionary WHERE utype = 'importType' AND uname = '%2')")
            .arg(accountId)
            .arg(QString::fromUtf8(kOpeningType)));
    return acc::valueText(rs.at(0, 0));
}

ImportOutcome WriteOpeningImport(ImportSheet& sheet, const OpeningOptions& options,
                                 const ImportProgress& progress) {
    return WriteChecked(sheet, [&](ImportSheet& again, ImportOutcome& outcome) {
        const Shop shop = readShop([](const QString& sql) { return sqlHelper::QueryInTrans(sql); }, options);
        const std::vector<m_rk_detail> lines = check(again, options, shop);
        RefuseWrong(again);
        TellProgress(progress, 0, int(lines.size()));
        rk_LineSet set;
        for (size_t k = 0; k < lines.size(); ++k) {
            m_rk_detail l = lines[k];
            l.rowNo = int(k) + 1;
            set.AddItem(LineKey(kStockIn, -int(k) - 1), l);
        }
        m_rk_head head;
        head.accountId = options.accountId;
        head.utypeId = shop.typeId;
        head.supplierId = 0;
        head.supplierName = QStringLiteral("期初库存");
        head.remark = QStringLiteral("期初库存导入");
        head.ispass = 1; // written approved: every line books itself as it is inserted
        head.creator = head.updateLastUser = options.user;
        head.createTime = options.date;
        head.updateLastTime = FormatNow("yyyy-MM-dd hh:mm:ss");
        head.userId = options.userId;
        dal_rk_head().AddInTrans(head, set);
        outcome.ids = {head.id};
        outcome.added = int(lines.size());
        TellProgress(progress, int(lines.size()), int(lines.size()));
    });
}
