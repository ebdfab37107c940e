#include "billcheck.h"

#include "master/numbertext.h"

#include <QHash>
#include <algorithm>
#include <cmath>
#include <optional>

bool HoldsGoods(const BillEntryRow& row) {
    return !row.line.goodsCode.trimmed().isEmpty() && row.line.goodsId != 0 && row.line.goodsTypeId != 0;
}

namespace {

BillProblem headProblem(BillProblem::Where where, const QString& text) {
    BillProblem p;
    p.where = where;
    p.text = text;
    return p;
}

// Why a line's price or quantity cannot be saved: no number, or below 0.
BillProblem::Where badNumber(const BillEntryRow& row, int rowNo, const BillCheckTexts& texts, QString* text) {
    const std::pair<BillProblem::Where, const QString*> cells[] = {{BillProblem::LinePrice, &row.price},
                                                                   {BillProblem::LineQty, &row.qty}};
    for (const auto& [where, value] : cells) {
        const bool price = where == BillProblem::LinePrice;
        if (price && texts.priceCaption.isEmpty()) continue; // a kind without prices
        const std::optional<double> v = NumberValue(*value, true);
        if (!v) {
            *text = QStringLiteral("第%1行%2不是有效的数字,请重新输入!")
                        .arg(rowNo)
                        .arg(price ? texts.priceCaption : texts.qtyCaption);
            return where;
        }
        if (*v < 0) { // a correction is a bill of the other kind, not a negative line
            *text = QStringLiteral("第%1行%2不能小于0!")
                        .arg(rowNo)
                        .arg(price ? QStringLiteral("价格") : QStringLiteral("数量"));
            return where;
        }
        if (!price && *v <= 0 && !texts.toLocationMissing.isEmpty()) { // a transfer moves something
            *text = QStringLiteral("第%1行数量必须大于0!").arg(rowNo);
            return where;
        }
    }
    return BillProblem::None;
}

} // namespace

BillProblem CheckBill(const BillHeadInput& head, const std::vector<BillEntryRow>& lines,
                      const BillCheckTexts& texts) {
    if (!texts.partnerMissing.isEmpty() && (head.partnerName.trimmed().isEmpty() || head.partnerId < 1))
        return headProblem(BillProblem::Partner, texts.partnerMissing);
    if (head.accountName.trimmed().isEmpty())
        return headProblem(BillProblem::Account, QStringLiteral("请选择账目标识!"));
    if (!texts.typeMissing.isEmpty() && head.typeName.trimmed().isEmpty())
        return headProblem(BillProblem::Type, texts.typeMissing);
    if (head.approved) return headProblem(BillProblem::Approved, QStringLiteral("当前单据已审核,不能保存!"));
    // lines without goods go, from the last up; the walk stops at the first
    // (lowest) line that lacks its location or name, or whose price or
    // quantity is no number or below 0 (lines above it keep their numbers)
    BillProblem p;
    int r = static_cast<int>(lines.size()) - 1;
    for (; r >= 0; --r) {
        const BillEntryRow& row = lines[r];
        if (!HoldsGoods(row)) {
            p.dropped.push_back(r);
            continue;
        }
        const int rowNo = r + 1; // the lines above it stay, so its number stays
        const bool transfer = !texts.toLocationMissing.isEmpty();
        if (row.locationCode.trimmed().isEmpty()) {
            p.where = BillProblem::LineLocation;
            p.text = texts.locationMissing;
        } else if (transfer && row.toLocationCode.trimmed().isEmpty()) {
            p.where = BillProblem::LineToLocation;
            p.text = texts.toLocationMissing;
        } else if (transfer && row.locationCode.trimmed().compare(row.toLocationCode.trimmed(),
                                                                  Qt::CaseInsensitive) == 0) {
            p.where = BillProblem::LineToLocation;
            p.text = QStringLiteral("第%1行调出库位和调入库位不能相同!").arg(rowNo);
        } else if (row.line.goodsName.trimmed().isEmpty()) {
            p.where = BillProblem::LineName;
            p.text = QStringLiteral("货品名称不能为空!");
        } else {
            p.where = badNumber(row, rowNo, texts, &p.text);
        }
        if (p.where != BillProblem::None) {
            p.row = r;
            return p;
        }
    }
    // a bill without goods moves no stock and would only take a number
    if (p.dropped.size() == lines.size()) {
        p.where = BillProblem::NoLines;
        p.text = QStringLiteral("当前单据没有货品明细,不能保存!");
    }
    return p;
}

namespace {

std::optional<QDate> dateOf(const QString& text) {
    const QDate d = QDate::fromString(text.trimmed(), Qt::ISODate);
    if (!d.isValid() || text.trimmed().size() != 10) return std::nullopt;
    return d;
}

BillProblem lineProblem(BillProblem::Where where, int row, const QString& text) {
    BillProblem p;
    p.where = where;
    p.row = row;
    p.text = text;
    return p;
}

} // namespace

BillProblem CheckLots(const std::vector<BillEntryRow>& lines, bool stockIn, const QDate& today,
                      const LotFacts& facts, std::vector<std::pair<int, QString>>* expiryFills) {
    QHash<QString, QString> billLots; // goods and lot to the expiry an earlier line gave it
    for (int r = 0; r < static_cast<int>(lines.size()); ++r) {
        const BillEntryRow& row = lines[r];
        if (!HoldsGoods(row)) continue;
        const BillEntryLine& l = row.line;
        const int rowNo = r + 1;
        std::optional<QDate> made, expires;
        if (!l.productionDate.trimmed().isEmpty() && !(made = dateOf(l.productionDate)))
            return lineProblem(BillProblem::LineProductionDate, r,
                               QStringLiteral("第%1行生产日期不是有效的日期(yyyy-MM-dd)!").arg(rowNo));
        if (!l.expiryDate.trimmed().isEmpty() && !(expires = dateOf(l.expiryDate)))
            return lineProblem(BillProblem::LineExpiryDate, r,
                               QStringLiteral("第%1行有效期至不是有效的日期(yyyy-MM-dd)!").arg(rowNo));
        if (made && *made > today)
            return lineProblem(BillProblem::LineProductionDate, r,
                               QStringLiteral("第%1行生产日期不能晚于今天!").arg(rowNo));
        const QString lot = l.lotNo.trimmed();
        const QString key = QString::number(l.goodsId) + '|' + lot;
        if (stockIn) {
            const auto [tracked, shelfLife] = facts.goods(l.goodsId);
            if (tracked && lot.isEmpty())
                return lineProblem(
                    BillProblem::LineLot, r,
                    QStringLiteral("第%1行货品[%2]按批次管理,批次号不能为空!").arg(rowNo).arg(l.goodsName));
            if (!expires && made && shelfLife > 0) {
                expires = made->addDays(shelfLife);
                if (expiryFills) expiryFills->emplace_back(r, expires->toString(Qt::ISODate));
            }
            if (tracked && !expires)
                return lineProblem(
                    BillProblem::LineExpiryDate, r,
                    QStringLiteral("第%1行货品[%2]按批次管理,有效期至不能为空!").arg(rowNo).arg(l.goodsName));
            if (made && expires && *expires < *made)
                return lineProblem(BillProblem::LineExpiryDate, r,
                                   QStringLiteral("第%1行有效期至不能早于生产日期!").arg(rowNo));
            if (lot.isEmpty() || !expires) continue;
            QString registered = billLots.value(key);
            if (registered.isEmpty()) registered = facts.registeredExpiry(l.goodsId, lot);
            if (!registered.isEmpty() && registered != expires->toString(Qt::ISODate))
                return lineProblem(BillProblem::LineExpiryDate, r,
                                   QStringLiteral("批次[%1]的有效期已登记为 %2").arg(lot, registered));
            billLots.insert(key, expires->toString(Qt::ISODate));
        } else if (!lot.isEmpty() && !expires) {
            const QString registered = facts.registeredExpiry(l.goodsId, lot);
            if (!registered.isEmpty() && expiryFills) expiryFills->emplace_back(r, registered);
        }
    }
    return {};
}

LotSplit SplitByExpiry(const std::vector<LotBalance>& lots, const QHash<QString, double>& takenPieces,
                       double qty, double packQty, const QDate& today,
                       const std::function<bool(const LotBalance&)>& takeExpired) {
    const double unit = packQty > 0 ? packQty : 1;
    const QString day = today.toString("yyyy-MM-dd");
    // what each lot can still give: fresh lots by expiry, then those without one, then the expired
    std::vector<LotBalance> fresh, undated, expired;
    for (const LotBalance& l : lots) {
        LotBalance left = l;
        left.pieces -= takenPieces.value(l.lotNo);
        if (left.pieces <= 1e-9) continue;
        (l.expiryDate.isEmpty() ? undated : l.expiryDate < day ? expired : fresh).push_back(left);
    }
    auto byExpiry = [](const LotBalance& a, const LotBalance& b) {
        return a.expiryDate != b.expiryDate ? a.expiryDate < b.expiryDate : a.lotNo < b.lotNo;
    };
    std::stable_sort(fresh.begin(), fresh.end(), byExpiry);
    std::stable_sort(undated.begin(), undated.end(), byExpiry);
    std::stable_sort(expired.begin(), expired.end(), byExpiry);
    LotSplit split;
    double wanted = qty * unit, given = 0;
    auto take = [&](const LotBalance& l) {
        split.available += l.pieces;
        const double pieces = std::min(wanted, l.pieces);
        wanted -= pieces;
        double share = std::round(pieces / unit * 10000) / 10000;
        if (wanted <= 1e-9) share = qty - given; // the last share keeps the whole exact
        given += share;
        if (share > 0) split.takes.push_back({l.lotNo, l.expiryDate, share});
    };
    for (const auto* group : {&fresh, &undated})
        for (const LotBalance& l : *group)
            if (wanted > 1e-9) take(l);
    for (const LotBalance& l : expired) {
        if (wanted <= 1e-9 || !takeExpired(l)) break;
        take(l);
    }
    if (wanted > 1e-9) split.shortfall = qty - given;
    return split;
}
