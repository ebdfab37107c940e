#pragma once
// The lines of a bill in the entry window's grid: one record per line, shown
// through the columns the bill kind lists. The price and the quantity are
// kept as typed; the amount and the total follow from them.

#include "billstore.h"

#include <QAbstractTableModel>
#include <QColor>
#include <vector>

enum class LineField {
    No,
    GoodsCode,
    GoodsName,
    GoodsDesc,
    Unit,
    PackQty,
    Weight,
    Price, // the kind's price
    Qty,
    Amount,
    LocationCode,   // a transfer's from location
    ToLocationCode, // a transfer's to location
    LotNo,
    Remark,
    ProductionDate, // yyyy-MM-dd, may be empty
    ExpiryDate
};

struct LineColumn {
    LineField field;
    const char* caption;
    int width;
};

class BillLinesModel : public QAbstractTableModel {
    Q_OBJECT
public:
    BillLinesModel(std::vector<LineColumn> columns, bool salePrice, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool insertRows(int row, int count, const QModelIndex& parent = {}) override;
    bool removeRows(int row, int count, const QModelIndex& parent = {}) override;

    // The column showing a field; -1 when the kind does not show it.
    int column(LineField field) const;
    LineField field(int column) const;
    QString caption(LineField field) const;
    int width(int column) const { return m_columns[column].width; }

    const std::vector<BillEntryRow>& rows() const { return m_rows; }
    const BillEntryRow& row(int r) const { return m_rows[r]; }
    void setRows(std::vector<BillEntryRow> rows);
    // Replaces a line (a goods entered, a location chosen); the price is put
    // into the price format.
    void setRow(int r, BillEntryRow row);
    void setLocation(int r, int locationId, const QString& code);
    void setToLocation(int r, int locationId, const QString& code);
    // Prices filled in automatically become the bill's own.
    void keepPrices();
    QString text(int r, LineField field) const;
    // The line as it is stored: its number, and the price and quantity as typed.
    BillEntryLine lineToStore(int r) const;
    // The bill's amount: the lines' amounts in the amount format, added up.
    double total() const;
    // The quantities that are numbers, added up (a bill without prices).
    double totalQty() const;
    void setRequiredColor(const QColor& color);

signals:
    // The user changed a cell (the model's own changes do not count).
    void typed(int row, LineField field, const QString& text);

private:
    static void reformatPrice(BillEntryRow& row);
    std::vector<LineColumn> m_columns;
    bool m_salePrice;
    std::vector<BillEntryRow> m_rows;
    QColor m_required;
};
