#pragma once
// The stock-in (frmImport, 入库业务), stock-out (frmExport, 出库业务) and
// transfer (frmTransfer, 调拨业务) entry windows. BillEntryForm holds
// everything they share, and a description of each kind names the controls,
// columns, messages, permission codes and lookups that differ. Stock-out adds
// a sale-price column and the negative-stock question when goods are
// entered; a transfer has no partner, type or price, and a to location
// beside each line's from location.

#include "billcheck.h"
#include "billlinesmodel.h"
#include "billstore.h"
#include "master/goods.h"
#include "master/location.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class uvg;

// What makes a bill entry window a stock-in or a stock-out window: names,
// captions, messages, permission codes, lookups, the grid's columns and the
// store of its records. A new kind of bill is one more of these.
struct BillEntryKind {
    bool out; // takes goods out: sale prices, and the stock question when goods are entered
    const char* objectName;
    const char* title;
    const char* billNoLabel;
    const char* partnerLabel;
    const char* typeLabel;
    const char* partnerNameName;
    const char* partnerIdName;
    const char* partnerButtonName;
    const char* typeComboName;
    const char* typeDict;
    const char* priceBoxName;
    const char* gridName;
    std::vector<LineColumn> columns;
    const char* partnerMode;
    const char* goodsMode;
    const char* partnerMissing;
    const char* typeMissing;
    const char* locationMissing;
    const char* listWindow; // the bill list report opened by "seachBill"
    QString (*codeSave)();
    QString (*codeUpdate)();
    QString (*codeDelete)();
    QString (*codePass)();
    QString (*codeNoPass)();
    QString (*codePrint)();
    QString (*codeSearch)();
    std::unique_ptr<BillStore> (*store)();
    // Prints a stored bill of the kind; false when refused.
    bool (*print)(int id, const QString& caption);
    // A transfer's: the refusal of a line without a to location (null: not a transfer).
    const char* toLocationMissing = nullptr;
    bool isTransfer() const { return toLocationMissing != nullptr; }
};

// The approval stamp: a red ring with 已审核, a grey one with 未审核; 96 x 96,
// drawn for a pixel ratio.
QPixmap ApprovalStamp(const QString& text, const QColor& color, qreal ratio);

class BillEntryForm : public QWidget {
    Q_OBJECT
public:
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
    QLineEdit* txt_price;                 // txt_inPrice / txt_salePrice
    QComboBox* cobo_location;             // a transfer's from location
    QComboBox* cobo_toLocation = nullptr; // a transfer's to location
    QPushButton* btn_searchGoods;
    QLabel* lb_NoGoods;
    QTableView* grid; // vs_import / vs_export
    BillLinesModel* lines;
    uvg* rows;
    QMenu* rowMenu;
    QAction* saveAction;
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
    void SetToLocationForSelection();
    // A line going out: its lot chosen from the lots of its goods at its location.
    void PickLotForRow();
    void AddGridRow();
    void DeleteGridRow();
    void FillDropDowns();

protected:
    BillEntryForm(const BillEntryKind& kind, QWidget* parent);
    ~BillEntryForm() override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    // The form's keys, as actions with shortcuts.
    void addKeys();
    void closeEvent(QCloseEvent* event) override;

private:
    // Asks before unsaved changes are thrown away; true to go on.
    bool confirmDiscard();
    void startNewBill();
    void buildGrid();
    void showApproval(bool approved);
    void hideStamps();
    void recalcTotal();
    void setCurrentCell(int row, LineField field);
    // ownPrice: the unit's own price when the line's price was filled in
    // automatically; such a price follows a change of partner.
    // Returns the grid row the goods went to.
    int addGoodsToGrid(const m_goods_detail& goods, double qty, std::optional<double> ownPrice,
                       const LotTake* lot = nullptr);
    // A lot-tracked goods going out without a lot: its shares of the location's
    // lots, first expiry first, asking about expired lots and a shortfall;
    // nothing when the user stops.
    std::optional<LotSplit> splitByLots(const m_goods_detail& goods, double qty, int locationId,
                                        const QString& locationCode);
    int accountId() const;
    void repriceForPartner();
    // The enabled, unlocked location granted to the user with this code; id 0 when none.
    static m_location availableLocation(const QString& code);
    void lineTyped(int row, LineField field, const QString& text);
    void locationTyped(int row, LineField field, const QString& text);
    void setLocationsForSelection(LineField field);
    // A transfer's: the question when the goods would leave its from location below 0.
    bool confirmTransferStock(const m_goods_detail& goods, double qty, const m_location& from);
    // A transfer's: the first line whose from or to location is no longer one the user
    // may use (refused with the cell); false when all may be used.
    bool refuseUnavailableLocations();
    // The lot and date rules of the lines (the expiries they find are filled in); false when refused.
    bool checkLots();
    void openGoodsLookup(const QString& keyword);
    bool confirmStock(const m_goods_detail& goods, double qty);
    void refuse(const QString& text, QWidget* focus = nullptr);
    int formId() const;
    // the keys' commands
    void newBillOrRow();
    void switchFocus();
    void focusInputBox(QWidget* box);
    bool enterInInputBar(QWidget* watched);

    const BillEntryKind& m_kind;
    std::unique_ptr<BillStore> m_store;
    dal_goods_detail m_goods;
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

class frmTransfer : public BillEntryForm {
    Q_OBJECT
public:
    explicit frmTransfer(QWidget* parent = nullptr);
};
