#include "countimport.h"

#include "stocktake.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"
#include "master/numbertext.h"

#include <QHash>
#include <map>

namespace {

enum Col { Code, Unit, Qty, Location };

// The summed pieces of each goods and location, with the line to add when
// the count has none.
struct Counted {
    StockTakeLine goods;
    double pieces = 0;
    int firstRow = 0;
};

// Reads the count and checks the rows against it; the counts by goods and location.
std::map<std::pair<int, int>, Counted> check(ImportSheet& sheet, int countId, StockTakeSheet& count) {
    std::map<std::pair<int, int>, Counted> counted;
    dal_stocktake dal;
    const StockTakeHead head = dal.GetModel(countId);
    if (head.id < 1) {
        sheet.refusal = QStringLiteral("盘点单不存在!");
        return counted;
    }
    if (head.state != kCounting) {
        sheet.refusal = StockTakeRefusal(head.billNo, head.state, QStringLiteral("导入"));
        return counted;
    }
    count.load(head, dal.Lines(countId));
    const QSet<QString> places = StockTakeIdSet(head.places), types = StockTakeIdSet(head.goodsTypes);
    QHash<QString, std::pair<int, QString>> locations;
    const RecordSet rs = sqlHelper::ExecuteSql("SELECT id, locationCode FROM tb_location");
    for (int r = 0; r < rs.RecordCount(); ++r)
        locations.insert(ImportKey(acc::valueText(rs.at(r, 1))),
                         {rs.at(r, 0).toInt(), acc::valueText(rs.at(r, 1))});
    QHash<QString, std::pair<StockTakeLine, double>> goodsOf; // by code: the goods and the pieces of its unit
    QHash<QString, int> matches;
    for (int r = 0; r < int(sheet.rows.size()); ++r) {
        ImportRow& row = sheet.rows[r];
        const QString code = row.cell(Code);
        if (code.isEmpty()) {
            row.error(Code, QStringLiteral("货品编码或条码不能为空"));
            continue;
        }
        if (!matches.contains(ImportKey(code))) {
            StockTakeLine goods;
            double pieces = 0;
            matches.insert(ImportKey(code), StockTakeGoodsForCode(code, 0, goods, pieces));
            goodsOf.insert(ImportKey(code), {goods, pieces});
        }
        const int found = matches.value(ImportKey(code));
        if (found == 0)
            row.error(Code, QStringLiteral("[%1]不是货品编码, 也不是条码").arg(code));
        else if (found > 1)
            row.error(Code, QStringLiteral("[%1]对应 %2 个货品, 请用货品编码").arg(code).arg(found));
        auto [goods, pieces] = goodsOf.value(ImportKey(code));
        if (found == 1 && !row.cell(Unit).isEmpty()) { // the named unit of the goods
            const RecordSet unit = sqlHelper::ExecuteSql(
                "SELECT packQty FROM tb_goods_detail WHERE headId = " + QString::number(goods.goodsId) +
                " AND unit = " + sqlHelper::FormatParamValue(row.cell(Unit)));
            if (unit.RecordCount() == 0)
                row.error(Unit, QStringLiteral("货品[%1]没有单位[%2]").arg(goods.goodsCode, row.cell(Unit)));
            else
                pieces = unit.at(0, 0).toDouble() > 0 ? unit.at(0, 0).toDouble() : 1;
        }
        if (found == 1 && !types.isEmpty() && !types.contains(QString::number(goods.goodsTypeId)))
            row.error(Code, QStringLiteral("货品 %1 不属于本次盘点的货品类别!").arg(goods.goodsCode));
        else if (found == 1 && goods.lotTracked) // the file names no lot
            row.error(Code,
                      QStringLiteral("货品 %1 按批次管理, 请在盘点窗口按批次盘点").arg(goods.goodsCode));
        const std::optional<double> qty = NumberValue(row.cell(Qty), true);
        if (!qty)
            row.error(Qty, QStringLiteral("[%1]不是有效的数字").arg(row.cell(Qty)));
        else if (*qty < 0)
            row.error(Qty, QStringLiteral("盘点数量不能为负数"));
        const QString place = row.cell(Location);
        const auto at = locations.constFind(ImportKey(place));
        if (place.isEmpty())
            row.error(Location, QStringLiteral("库位不能为空"));
        else if (at == locations.constEnd())
            row.error(Location, QStringLiteral("库位[%1]不存在").arg(place));
        else if (!places.isEmpty() && !places.contains(QString::number(at->first)))
            row.error(Location, QStringLiteral("库位 %1 不在本次盘点的范围内!").arg(at->second));
        if (row.hasError()) continue;
        goods.locationId = at->first;
        goods.locationCode = at->second;
        Counted& c = counted[{goods.goodsId, goods.locationId}];
        if (c.goods.goodsId == 0) {
            c.goods = goods;
            c.firstRow = r;
        }
        c.pieces += *qty * pieces;
        row.status =
            count.find(goods.goodsId, goods.locationId) >= 0 ? ImportStatus::Update : ImportStatus::New;
    }
    for (const auto& [where, c] : counted)
        if (count.find(where.first, where.second) < 0 && !(c.pieces > 0))
            sheet.rows[c.firstRow].warn(Qty, QStringLiteral("盘点单上没有该货品和库位, 数量为 0, 不添加"));
    return counted;
}

} // namespace

std::vector<ImportColumn> CountImportColumns() {
    return {
        {QStringLiteral("货品编码"),
         {QStringLiteral("条码"), QStringLiteral("货品编码或条码")},
         true,
         true,
         QStringLiteral("6901234567892"),
         QStringLiteral("货品编码或条码; 同一货品和库位的各行相加")},
        {QStringLiteral("单位"),
         {},
         false,
         true,
         QString(),
         QStringLiteral("空: 条码的单位, 或货品的默认单位")},
        {QStringLiteral("数量"), {}, true, false, "1", QStringLiteral("该单位的数量, 不能为负数")},
        {QStringLiteral("库位"),
         {QStringLiteral("库位编号")},
         true,
         true,
         "A",
         QStringLiteral("本次盘点范围内的库位编号")},
    };
}

void CheckCountImport(ImportSheet& sheet, int countId) {
    StockTakeSheet count;
    check(sheet, countId, count);
}

ImportOutcome WriteCountImport(ImportSheet& sheet, int countId, const ImportProgress& progress) {
    ImportOutcome outcome;
    outcome.message = ImportRefusal(sheet);
    if (!outcome.message.isEmpty()) return outcome;
    // checked again under the write's locks: the shop may have changed since
    ImportSheet again = ForRecheck(sheet);
    StockTakeSheet count;
    const auto counted = check(again, countId, count);
    outcome.message = ImportRefusal(again);
    if (!outcome.message.isEmpty()) {
        sheet = again;
        return outcome;
    }
    if (progress && !progress(0, int(counted.size()))) {
        outcome.message = QStringLiteral("导入已取消, 没有写入任何数据");
        return outcome;
    }
    for (const auto& [where, c] : counted) {
        const int row = count.find(where.first, where.second);
        if (row >= 0) {
            StockTakeLine& l = count.lines()[static_cast<size_t>(row)];
            l.countQty = c.pieces;
            l.changed = true;
            ++outcome.updated;
        } else if (c.pieces > 0) {
            QString error;
            if (count.add(c.goods, c.pieces, &error) < 0) {
                outcome.message = error;
                return outcome;
            }
            ++outcome.added;
        }
    }
    dal_stocktake dal;
    const m_DBresult saved = count.save(dal); // one transaction, refused unless the count is still open
    if (!saved.isResult) {
        outcome.added = outcome.updated = 0;
        outcome.message = saved.str_MsgBox;
        return outcome;
    }
    sheet = again;
    outcome.written = true;
    outcome.ids = {countId};
    if (progress) progress(int(counted.size()), int(counted.size()));
    return outcome;
}
