#pragma once
// The stock-in (frmImport, 入库业务) and stock-out (frmExport, 出库业务)
// entry windows. They are twins: BillEntryForm holds everything they share,
// and a description of each kind names the controls, columns, messages, permission
// codes and lookups that differ. Stock-out adds a sale-price column and the
// negative-stock question when goods are entered.

#include "billstore.h"
#include "master/goods.h"
#include "master/location.h"

#include <QWidget>
#include <memory>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class uvg;

struct BillEntryKind;

class BillEntryForm : public QWidget {
    Q_OBJECT
public:
    // The grid's columns; -1 for a column the kind does not have.
    struct Columns {
        int no = 0, check = 1, id = 2, goodsId = 3, goodsTypeId = 4, goodsCode = 5, detailCode = 6,
            goodsName = 7, goodsDesc = 8, goodsType = 9, unit = 10, packQty = 11, weight = 12, inPrice = 13,
            salePrice = -1, qty = 14, amount = 15, locationId = 16, locationCode = 17, lotNo = 18, remark = 19,
            count = 20;
        int price() const { return salePrice >= 0 ? salePrice : inPrice; }
    };
    const Columns& cols() const { return m_cols; }
    bool isStockOut() const;

    QLineEdit* txt_id;
    QLineEdit* txt_billNo;
    QLineEdit* txt_partnerName; // txt_supplierName / txt_customerName
    QLineEdit* txt_partnerId;   // txt_supplierId / txt_customerId
    QPushButton* btn_searchPartner;
    QComboBox* cobo_accountType;
    QComboBox* cobo_billType; // cobo_importType / cobo_exportType
    QLineEdit* txt_ubillNo;
    QLineEdit* txt_creator;
    QDateEdit* dt_createDate;
    QLineEdit* txt_remark;
    QLineEdit* txt_BillAmount;
    QLabel* img_pass;
    QLabel* img_nopass;
    QLineEdit* txt_goodsCode;
    QLineEdit* txt_goodsId;
    QLineEdit* txt_Qty;
    QLineEdit* txt_price; // txt_inPrice / txt_salePrice
    QComboBox* cobo_location;
    QPushButton* btn_searchGoods;
    QLabel* lb_NoGoods;
    QTableWidget* grid; // vs_import / vs_export
    uvg* rows;
    QMenu* rowMenu;
    QAction* passAction;
    QAction* printAction;
    QAction* searchBillAction;

    // "反审" on the approval key means the bill is approved.
    bool isApproved() const;

public slots:
    void NewBill();
    void LoadBill(int id);
    // A new bill for a partner picked elsewhere (the partner window).
    void NewBillForPartner(int partnerId, const QString& partnerName);
    void SaveBill();
    void PassBill();
    void DeleteBill();
    void PrintBill();
    void RefreshBill();
    void SearchBill();
    void GoodsCodeEntered();
    void SearchGoods();
    void SearchPartner();
    void SetLocationForSelection();
    void AddGridRow();
    void DeleteGridRow();
    void FillDropDowns();

protected:
    BillEntryForm(const BillEntryKind& kind, QWidget* parent);
    ~BillEntryForm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks before unsaved changes are thrown away; true to go on.
    bool confirmDiscard();
    void startNewBill();
    void buildGrid();
    void showApproval(bool approved);
    void hideStamps();
    void recalcRow(int row);
    void recalcTotal();
    void paintRequiredCells(int first = 0, int last = -1);
    // ownPrice: the unit's own price when the line's price was filled in
    // automatically; such a price follows a change of partner.
    void addGoodsToGrid(const m_goods_detail& goods, double qty, std::optional<double> ownPrice);
    void repriceForPartner();
    // The enabled, unlocked location granted to the user with this code; id 0 when none.
    static m_location availableLocation(const QString& code);
    void locationTyped(QTableWidgetItem* item);
    // Why the row's price or quantity cannot be saved (no number, or below 0),
    // with the cell; empty when both can.
    QString badNumber(int row, QTableWidgetItem** cell) const;
    void openGoodsLookup(const QString& keyword);
    bool confirmStock(const m_goods_detail& goods, double qty);
    void refuse(const QString& text, QWidget* focus = nullptr);
    QString cell(int row, int column) const;
    void setCell(int row, int column, const QString& text);
    int formId() const;

    const BillEntryKind& m_kind;
    Columns m_cols;
    std::unique_ptr<BillStore> m_store;
    dal_goods_detail m_goods;
    bool m_recalculating = false;
    bool m_dirty = false; // changed since the last load, save or new bill
    QWidget* m_inputBox = nullptr;
    QWidget* m_rowButtons[2] = {nullptr, nullptr};
};

class frmImport : public BillEntryForm {
    Q_OBJECT
public:
    explicit frmImport(QWidget* parent = nullptr);
public slots:
    void GetRK_Infor(int id) { LoadBill(id); }
};

class frmExport : public BillEntryForm {
    Q_OBJECT
public:
    explicit frmExport(QWidget* parent = nullptr);
public slots:
    void GetCK_Infor(int id) { LoadBill(id); }
};
