#pragma once
// The stock-taking window (库存盘点): start a count, count by scanning or
// typing, keep it open over days, post it or abandon it, print the count sheet.

#include "stocktake.h"
#include "stocktakemodel.h"

#include <QWidget>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;

class frmStockTake : public QWidget {
    Q_OBJECT
public:
    explicit frmStockTake(QWidget* parent = nullptr);

    QLabel* lab_head;         // number, state, account, locations, category
    QLabel* lab_summary;      // lines, uncounted, differing
    QComboBox* cobo_location; // where the scanned goods lies
    QLineEdit* txt_goodsCode;
    QLineEdit* txt_Qty; // default units a scan adds
    QComboBox* cobo_filter;
    QTableView* grid;
    QAction* saveAction;
    QAction* postAction;
    QAction* abandonAction;
    QPushButton* search;

    const StockTakeSheet& sheet() const { return m_sheet; }
    // The sheet row shown in a grid row (-1 when none).
    int sheetRow(int gridRow) const;
    int gridRowCount() const;

    enum Filter {
        All = StockTakeModel::All,
        Uncounted = StockTakeModel::Uncounted,
        Differing = StockTakeModel::Differing
    };

public slots:
    // A new count of the account, location (0: every granted one) and category (0: every one).
    bool StartCount(int accountId, int locationId, int goodsTypeId);
    void NewCount();
    void ChooseCount();
    void OpenCount(int id);
    // The code in the input bar: a barcode or goods code adds its unit; else the lookup opens.
    void GoodsCodeEntered();
    void SearchGoods();
    // A typed count (default units) for a grid row; "" makes it uncounted again.
    bool SetCounted(int gridRow, const QString& text);
    // Takes away a line found during the count (asks first).
    bool RemoveLine(int gridRow);
    bool SaveCount();
    void PostCount();
    // Counts of the open count from a spreadsheet (导入盘点).
    void ImportCounts();
    void AbandonCount();
    void PrintSheet(bool blind);
    void FilterChanged();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void showCount();
    void showSummary();
    bool confirmDiscard();
    void addScanned(const StockTakeLine& goods, double pieces);
    bool needOpenCount();

    dal_stocktake m_dal;
    StockTakeSheet m_sheet;
    StockTakeModel* m_model;
};
