#include "billlinesmodel.h"

#include "data/accesstext.h"
#include "data/sysvar.h"
#include "master/numbertext.h"

#include <QBrush>

BillLinesModel::BillLinesModel(std::vector<LineColumn> columns, bool salePrice, QObject* parent)
    : QAbstractTableModel(parent), m_columns(std::move(columns)), m_salePrice(salePrice) {}

int BillLinesModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int BillLinesModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_columns.size());
}

int BillLinesModel::column(LineField field) const {
    for (size_t c = 0; c < m_columns.size(); ++c)
        if (m_columns[c].field == field) return static_cast<int>(c);
    return -1;
}

LineField BillLinesModel::field(int column) const {
    return m_columns[column].field;
}

QString BillLinesModel::caption(LineField field) const {
    const int c = column(field);
    return c < 0 ? QString() : QString::fromUtf8(m_columns[c].caption);
}

namespace {

QString shortNumber(double v) {
    return acc::numberQText(v);
}

bool isNumberField(LineField f) {
    switch (f) {
    case LineField::PackQty:
    case LineField::Weight:
    case LineField::Price:
    case LineField::Qty:
    case LineField::Amount:
        return true;
    default:
        return false;
    }
}

bool isEditable(LineField f) {
    switch (f) {
    case LineField::GoodsName:
    case LineField::GoodsDesc:
    case LineField::Price:
    case LineField::Qty:
    case LineField::LocationCode: // checked as in the input bar
    case LineField::ToLocationCode:
    case LineField::LotNo:
    case LineField::Remark:
    case LineField::ProductionDate:
    case LineField::ExpiryDate:
        return true;
    default:
        return false;
    }
}

// The amount shows once the price and the quantity are both numbers.
QString amountText(const BillEntryRow& row) {
    const std::optional<double> price = NumberValue(row.price, true);
    const std::optional<double> qty = NumberValue(row.qty, true);
    if (!price || !qty || row.price.trimmed().isEmpty() || row.qty.trimmed().isEmpty()) return {};
    return acc::format(*price * *qty, SysVar().Sys_AmountFormat);
}

} // namespace

QString BillLinesModel::text(int r, LineField f) const {
    const BillEntryRow& row = m_rows[r];
    const BillEntryLine& l = row.line;
    switch (f) {
    case LineField::No:
        return QString::number(r + 1);
    case LineField::GoodsCode:
        return l.goodsCode;
    case LineField::GoodsName:
        return l.goodsName;
    case LineField::GoodsDesc:
        return l.goodsDesc;
    case LineField::Unit:
        return l.unit;
    case LineField::PackQty:
        return l.goodsId ? shortNumber(l.packQty) : QString();
    case LineField::Weight:
        return l.goodsId ? shortNumber(l.weight) : QString();
    case LineField::Price:
        return row.price;
    case LineField::Qty:
        return row.qty;
    case LineField::Amount:
        return amountText(row);
    case LineField::LocationCode:
        return row.locationCode;
    case LineField::ToLocationCode:
        return row.toLocationCode;
    case LineField::LotNo:
        return l.lotNo;
    case LineField::Remark:
        return l.remark;
    case LineField::ProductionDate:
        return l.productionDate;
    case LineField::ExpiryDate:
        return l.expiryDate;
    }
    return {};
}

QVariant BillLinesModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const LineField f = field(index.column());
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return text(index.row(), f);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(isNumberField(f) ? Qt::AlignRight | Qt::AlignVCenter
                                                    : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::BackgroundRole:
        // what every line needs is marked
        if (m_required.isValid() && (f == LineField::Price || f == LineField::Qty ||
                                     f == LineField::LocationCode || f == LineField::ToLocationCode))
            return QBrush(m_required);
        return {};
    default:
        return {};
    }
}

bool BillLinesModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole || index.row() >= rowCount()) return false;
    const LineField f = field(index.column());
    if (!isEditable(f)) return false;
    const QString text = value.toString();
    BillEntryRow& row = m_rows[index.row()];
    switch (f) {
    case LineField::GoodsName:
        row.line.goodsName = text;
        break;
    case LineField::GoodsDesc:
        row.line.goodsDesc = text;
        break;
    case LineField::Price:
        row.price = text;
        row.ownPrice.reset(); // a typed price stays whatever the partner
        reformatPrice(row);
        break;
    case LineField::Qty:
        row.qty = text;
        break;
    case LineField::LocationCode:
        row.locationCode = text;
        break;
    case LineField::ToLocationCode:
        row.toLocationCode = text;
        break;
    case LineField::LotNo:
        row.line.lotNo = text;
        break;
    case LineField::Remark:
        row.line.remark = text;
        break;
    case LineField::ProductionDate:
        row.line.productionDate = text.trimmed();
        break;
    case LineField::ExpiryDate:
        row.line.expiryDate = text.trimmed();
        break;
    default:
        return false;
    }
    emit dataChanged(this->index(index.row(), 0), this->index(index.row(), columnCount() - 1));
    emit typed(index.row(), f, text);
    return true;
}

Qt::ItemFlags BillLinesModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (isEditable(field(index.column()))) f |= Qt::ItemIsEditable;
    return f;
}

QVariant BillLinesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount()) return {};
    const LineField f = field(section);
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromUtf8(m_columns[section].caption);
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(f == LineField::No || f == LineField::Unit ? Qt::AlignCenter
                                   : isNumberField(f) ? Qt::AlignRight | Qt::AlignVCenter
                                                      : Qt::AlignLeft | Qt::AlignVCenter);
    case Qt::UserRole: // the grid helper passes over these when it moves on
        return isEditable(f) ? QVariant() : QVariant(QStringLiteral("readonly"));
    default:
        return {};
    }
}

bool BillLinesModel::insertRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || row > rowCount() || count < 1) return false;
    beginInsertRows({}, row, row + count - 1);
    m_rows.insert(m_rows.begin() + row, count, BillEntryRow());
    endInsertRows();
    return true;
}

bool BillLinesModel::removeRows(int row, int count, const QModelIndex& parent) {
    if (parent.isValid() || row < 0 || count < 1 || row + count > rowCount()) return false;
    beginRemoveRows({}, row, row + count - 1);
    m_rows.erase(m_rows.begin() + row, m_rows.begin() + row + count);
    endRemoveRows();
    return true;
}

void BillLinesModel::reformatPrice(BillEntryRow& row) {
    // a price that is not one number stays as typed (the save refuses it),
    // and an empty one stays empty
    const std::optional<double> price = NumberValue(row.price, true);
    if (price && !row.price.trimmed().isEmpty()) row.price = acc::format(*price, SysVar().Sys_PriceFormat);
}

BillEntryLine BillLinesModel::lineToStore(int r) const {
    const BillEntryRow& row = m_rows[r];
    BillEntryLine l = row.line;
    l.rowNo = r + 1;
    l.qty = acc::val(row.qty);
    (m_salePrice ? l.salePrice : l.inPrice) = acc::val(row.price);
    return l;
}

void BillLinesModel::setRows(std::vector<BillEntryRow> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    for (BillEntryRow& row : m_rows)
        reformatPrice(row);
    endResetModel();
}

void BillLinesModel::setRow(int r, BillEntryRow row) {
    reformatPrice(row);
    m_rows[r] = std::move(row);
    emit dataChanged(index(r, 0), index(r, columnCount() - 1));
}

void BillLinesModel::setLocation(int r, int locationId, const QString& code) {
    m_rows[r].line.locationId = locationId;
    m_rows[r].locationCode = code;
    const int c = column(LineField::LocationCode);
    emit dataChanged(index(r, c), index(r, c));
}

void BillLinesModel::setToLocation(int r, int locationId, const QString& code) {
    m_rows[r].line.toLocationId = locationId;
    m_rows[r].toLocationCode = code;
    const int c = column(LineField::ToLocationCode);
    emit dataChanged(index(r, c), index(r, c));
}

void BillLinesModel::keepPrices() {
    for (BillEntryRow& row : m_rows)
        row.ownPrice.reset();
}

double BillLinesModel::total() const {
    double total = 0;
    for (const BillEntryRow& row : m_rows)
        total += acc::val(amountText(row));
    return total;
}

double BillLinesModel::totalQty() const {
    double total = 0;
    for (const BillEntryRow& row : m_rows)
        if (const std::optional<double> qty = NumberValue(row.qty, true); qty && row.line.goodsId)
            total += *qty;
    return total;
}

void BillLinesModel::setRequiredColor(const QColor& color) {
    m_required = color;
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1), {Qt::BackgroundRole});
}
