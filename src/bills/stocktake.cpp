// The counting rules: where a line is, what a scan or typed quantity does, what may be taken away.
#include "stocktake.h"

#include "master/goods.h"

#include <QSet>
#include <cmath>

namespace {

constexpr double kEpsilon = 0.000001;
constexpr double kMaxPieces = 1e12; // beyond any shelf, within what a double keeps exact to the piece

} // namespace

QString StockTakeStateName(int state) {
    switch (state) {
    case kCounting:
        return QStringLiteral("盘点中");
    case kPosted:
        return QStringLiteral("已过账");
    case kAbandoned:
        return QStringLiteral("已作废");
    default:
        return QString();
    }
}

QString StockTakeRefusal(const QString& billNo, int state, const QString& what) {
    return QStringLiteral("盘点单 %1 %2, 不能再%3!").arg(billNo, StockTakeStateName(state), what);
}

QSet<QString> StockTakeIdSet(const QString& ids) {
    QSet<QString> out;
    for (const QString& id : ids.split(',', Qt::SkipEmptyParts))
        out.insert(id.trimmed());
    return out;
}

void StockTakeSheet::load(const StockTakeHead& head, std::vector<StockTakeLine> lines) {
    m_head = head;
    m_lines = std::move(lines);
    m_removed.clear();
    index();
}

void StockTakeSheet::index() {
    m_rows.clear();
    for (size_t r = 0; r < m_lines.size(); ++r)
        m_rows[key(m_lines[r].goodsId, m_lines[r].locationId, m_lines[r].byLot, m_lines[r].lotNo)] =
            static_cast<int>(r);
}

bool StockTakeSheet::removable(int row, QString* error) const {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (row < 0 || row >= static_cast<int>(m_lines.size())) return fail(QStringLiteral("当前记录不存在!"));
    if (!open()) return fail(StockTakeRefusal(m_head.billNo, m_head.state, QStringLiteral("修改")));
    const StockTakeLine& l = m_lines[static_cast<size_t>(row)];
    if (std::abs(l.bookQty) > kEpsilon)
        return fail(QStringLiteral("货品 %1 开始盘点时有账面数量, 不能删除; 没有找到时请把盘点数量填为 0。")
                        .arg(l.goodsCode));
    return true;
}

bool StockTakeSheet::remove(int row, QString* error) {
    if (!removable(row, error)) return false;
    const StockTakeLine& l = m_lines[static_cast<size_t>(row)];
    if (l.id > 0) m_removed.push_back(l.id);
    m_lines.erase(m_lines.begin() + row);
    index();
    return true;
}

m_DBresult StockTakeSheet::save(dal_stocktake& dal) {
    const m_DBresult r = dal.SaveCounts(m_head.id, m_lines, m_removed);
    if (r.isResult) {
        m_removed.clear();
        index();
    }
    return r;
}

int StockTakeSheet::find(int goodsId, int locationId) const {
    return m_rows.value(key(goodsId, locationId, false, QString()), -1);
}

int StockTakeSheet::findLot(int goodsId, int locationId, const QString& lotNo) const {
    return m_rows.value(key(goodsId, locationId, true, lotNo), -1);
}

QStringList StockTakeSheet::lotsAt(int goodsId, int locationId) const {
    QStringList out;
    for (const StockTakeLine& l : m_lines)
        if (l.byLot && l.goodsId == goodsId && l.locationId == locationId) out << l.lotNo;
    return out;
}

int StockTakeSheet::add(const StockTakeLine& goods, double pieces, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return -1;
    };
    if (m_head.id < 1) return fail(QStringLiteral("请先新建或打开一张盘点单!"));
    if (!open()) return fail(StockTakeRefusal(m_head.billNo, m_head.state, QStringLiteral("盘点")));
    if (goods.goodsId < 1) return fail(QStringLiteral("货品不存在!"));
    if (!(pieces > 0)) return fail(QStringLiteral("盘点数量必须大于 0!"));
    if (pieces > kMaxPieces) return fail(QStringLiteral("盘点数量太大!"));
    if (!m_head.places.isEmpty() &&
        !StockTakeIdSet(m_head.places).contains(QString::number(goods.locationId)))
        return fail(QStringLiteral("库位 %1 不在本次盘点的范围内!")
                        .arg(goods.locationCode.isEmpty() ? QStringLiteral("(无)") : goods.locationCode));
    if (!m_head.goodsTypes.isEmpty() &&
        !StockTakeIdSet(m_head.goodsTypes).contains(QString::number(goods.goodsTypeId)))
        return fail(QStringLiteral("货品 %1 不属于本次盘点的货品类别!").arg(goods.goodsCode));
    if (goods.lotTracked && !goods.byLot)
        return fail(QStringLiteral("货品 %1 按批次管理, 请按批次盘点!").arg(goods.goodsCode));
    int row = goods.byLot ? findLot(goods.goodsId, goods.locationId, goods.lotNo)
                          : find(goods.goodsId, goods.locationId);
    if (row < 0) {
        StockTakeLine l = goods;
        l.id = 0;
        l.bookQty = 0;
        l.countQty.reset();
        m_lines.push_back(l);
        row = static_cast<int>(m_lines.size()) - 1;
        m_rows[key(goods.goodsId, goods.locationId, goods.byLot, goods.lotNo)] = row;
    }
    StockTakeLine& l = m_lines[static_cast<size_t>(row)];
    if (l.countQty.value_or(0) + pieces > kMaxPieces) return fail(QStringLiteral("盘点数量太大!"));
    l.countQty = l.countQty.value_or(0) + pieces;
    l.changed = true;
    return row;
}

bool StockTakeSheet::setCounted(int row, const QString& text, QString* error) {
    auto fail = [&](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (row < 0 || row >= static_cast<int>(m_lines.size())) return fail(QStringLiteral("当前记录不存在!"));
    if (!open()) return fail(StockTakeRefusal(m_head.billNo, m_head.state, QStringLiteral("盘点")));
    StockTakeLine& l = m_lines[static_cast<size_t>(row)];
    const QString t = text.trimmed();
    if (t.isEmpty()) {
        if (l.countQty) l.changed = true;
        l.countQty.reset();
        return true;
    }
    bool ok = false;
    const double units = t.toDouble(&ok);
    if (!ok || !std::isfinite(units)) return fail(QStringLiteral("盘点数量必须是数字!"));
    if (units < 0) return fail(QStringLiteral("盘点数量不能小于 0!"));
    const double pieces = units * l.perUnit();
    if (pieces > kMaxPieces) return fail(QStringLiteral("盘点数量太大!"));
    if (!l.countQty || std::abs(*l.countQty - pieces) > kEpsilon) l.changed = true;
    l.countQty = pieces;
    return true;
}

bool StockTakeSheet::dirty() const {
    if (!m_removed.empty()) return true;
    for (const StockTakeLine& l : m_lines)
        if (l.changed) return true;
    return false;
}

int StockTakeSheet::uncounted() const {
    int n = 0;
    for (const StockTakeLine& l : m_lines)
        if (!l.countQty) ++n;
    return n;
}

int StockTakeGoodsForCode(const QString& code, int detailId, StockTakeLine& goods, double& pieces) {
    dal_goods_detail dal;
    const m_goods_detail d = dal.GetModelForInput(code, detailId, false);
    if (d.irowsCount != 1) return d.irowsCount;
    const m_goods_detail unit = dal.GetModelForDefault(d.headId);
    goods = StockTakeLine();
    goods.goodsId = d.headId;
    goods.goodsTypeId = d.goodsTypeId;
    goods.goodsCode = d.goodsCode;
    goods.goodsName = d.goodsName;
    goods.goodsDesc = d.goodsDesc;
    goods.pinyin = d.pinyin;
    goods.unit = unit.id > 0 ? unit.unit : d.unit;
    goods.packQty = unit.id > 0 ? unit.packQty : d.packQty;
    goods.lotTracked = GoodsLotTracked(d.headId);
    pieces = d.packQty > 0 ? d.packQty : 1;
    return 1;
}
