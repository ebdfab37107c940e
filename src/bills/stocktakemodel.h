#pragma once
// The count window's grid: the sheet's lines in default units, under a filter;
// the counted quantity is typed in the grid.

#include "stocktake.h"

#include <QAbstractTableModel>
#include <functional>
#include <vector>

class StockTakeModel : public QAbstractTableModel {
public:
    enum Column { No, Place, Code, Name, Desc, Unit, Lot, Book, Counted, Difference, Count };
    // the entries of the window's filter box
    enum Filter { All = 0, Uncounted = 1, Differing = 2 };

    StockTakeModel(StockTakeSheet& sheet, QObject* parent);

    // Rebuilds the rows under the filter.
    void refresh(int filter);
    int sheetRow(int row) const;
    int rowOf(int sheetRow) const;
    void lineChanged(int sheetRow);
    // Takes a typed count of a sheet row; false when it is refused.
    std::function<bool(int sheetRow, const QString& text)> edit;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant headerData(int section, Qt::Orientation o, int role) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;

private:
    bool shown(const StockTakeLine& l) const;
    StockTakeSheet& m_sheet;
    std::vector<int> m_rows;
    int m_filter = All;
};
