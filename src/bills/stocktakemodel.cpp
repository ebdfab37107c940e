#include "stocktakemodel.h"

#include "data/accesstext.h"

#include <QColor>
#include <cmath>

namespace {

QString units(double pieces, double perUnit) {
    return acc::formatNumber(pieces / perUnit, "#0.0##");
}

} // namespace

StockTakeModel::StockTakeModel(StockTakeSheet& sheet, QObject* parent)
    : QAbstractTableModel(parent), m_sheet(sheet) {}

void StockTakeModel::refresh(int filter) {
    beginResetModel();
    m_filter = filter;
    m_rows.clear();
    const auto& lines = m_sheet.lines();
    for (int r = 0; r < static_cast<int>(lines.size()); ++r)
        if (shown(lines[static_cast<size_t>(r)])) m_rows.push_back(r);
    endResetModel();
}

int StockTakeModel::sheetRow(int row) const {
    return row >= 0 && row < static_cast<int>(m_rows.size()) ? m_rows[static_cast<size_t>(row)] : -1;
}

int StockTakeModel::rowOf(int sheetRow) const {
    for (int k = 0; k < static_cast<int>(m_rows.size()); ++k)
        if (m_rows[static_cast<size_t>(k)] == sheetRow) return k;
    return -1;
}

void StockTakeModel::lineChanged(int sheetRow) {
    const int row = rowOf(sheetRow);
    if (row >= 0) emit dataChanged(index(row, 0), index(row, Count - 1));
}

int StockTakeModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int StockTakeModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : Count;
}

QVariant StockTakeModel::headerData(int section, Qt::Orientation o, int role) const {
    if (o != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, o, role);
    static const char* const names[] = {"序号", "库位",   "货品编码", "货品名称", "规格",
                                        "单位", "批次号", "账面数量", "盘点数量", "差异"};
    return QString::fromUtf8(names[section]);
}

QVariant StockTakeModel::data(const QModelIndex& index, int role) const {
    const int r = sheetRow(index.row());
    if (r < 0) return {};
    const StockTakeLine& l = m_sheet.lines()[static_cast<size_t>(r)];
    const int c = index.column();
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        switch (c) {
        case No:
            return index.row() + 1;
        case Place:
            return l.locationCode.isEmpty() ? QStringLiteral("(无库位)") : l.locationCode;
        case Code:
            return l.goodsCode;
        case Name:
            return l.goodsName;
        case Desc:
            return l.goodsDesc;
        case Unit:
            return l.packQty > 1 ? QStringLiteral("%1(%2)").arg(l.unit).arg(l.packQty) : l.unit;
        case Lot:
            return l.byLot && l.lotNo.isEmpty() ? QStringLiteral("(无批次)") : l.lotNo;
        case Book:
            return units(l.book(), l.perUnit());
        case Counted:
            return l.countQty ? units(*l.countQty, l.perUnit()) : QString();
        case Difference:
            return l.countQty ? units(l.difference(), l.perUnit()) : QString();
        default:
            return {};
        }
    }
    if (role == Qt::TextAlignmentRole && c >= Book) return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role == Qt::TextAlignmentRole && (c == No || c == Unit)) return int(Qt::AlignCenter);
    if (role == Qt::ForegroundRole && c == Difference && l.countQty) {
        if (l.difference() < -0.000001) return QColor(200, 0, 0); // shortage
        if (l.difference() > 0.000001) return QColor(0, 140, 0);  // surplus
    }
    if (role == Qt::BackgroundRole && c == Counted && m_sheet.open()) return QColor(255, 250, 220);
    return {};
}

Qt::ItemFlags StockTakeModel::flags(const QModelIndex& index) const {
    Qt::ItemFlags f = QAbstractTableModel::flags(index);
    if (index.column() == Counted && m_sheet.open()) f |= Qt::ItemIsEditable;
    return f;
}

bool StockTakeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (role != Qt::EditRole || index.column() != Counted || !edit) return false;
    const int r = sheetRow(index.row());
    if (r < 0 || !edit(r, value.toString())) return false;
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), Count - 1));
    return true;
}

bool StockTakeModel::shown(const StockTakeLine& l) const {
    if (m_filter == Uncounted) return !l.countQty;
    if (m_filter == Differing) return l.countQty && std::abs(l.difference()) > 0.000001;
    return true;
}
