#pragma once
// What the bill lists and the line reports share: the filters of a bill
// (dates, type, partner with its lookup, keyword, approval state), opening
// the bill of the current row and deleting it.

#include "reportform.h"
#include "rpt_filters.h"

#include <memory>

class BillStore;
class QCheckBox;
class QDateEdit;

// Lets the user pick a supplier or customer (mode "supplier" / "customer");
// the picked name, or "" when nothing was picked.
QString PickPartnerName(QWidget* parent, const char* mode);

// The differences of one bill report kind. A kind without type and partner
// (transfers) leaves typeDict and partnerLabel null.
struct BillReportKind {
    bool out;
    const char* objectName;
    const char* title;
    const char* header;
    const char* typeComboName;
    const char* typeDict;
    const char* partnerLabel;
    const char* partnerNameName;
    const char* partnerButtonName;
    const char* partnerMode;
    const char* entryWindow;
    QString (*codeBrowse)();
    QString (*codeDelete)();
    QString (*codeAdd)();    // bill lists only
    QString (*codePass)();   // bill lists only
    QString (*codeNoPass)(); // bill lists only
    std::unique_ptr<BillStore> (*store)();
};

class BillReportForm : public ReportForm {
    Q_OBJECT
public:
    QDateEdit* dt_createDateFrom;
    QDateEdit* dt_createDateTo;
    QComboBox* cobo_billType;   // cobo_importType / cobo_exportType
    QLineEdit* txt_partnerName; // txt_supplierName / txt_customerName
    QLineEdit* txt_KeyWord;
    QCheckBox* check_pass;
    QCheckBox* check_nopass;

public slots:
    void OpenBill();
    void menu_DeleteBill();
    void SearchPartner();

protected:
    BillReportForm(const BillReportKind& kind, QWidget* parent);
    // The grid columns of the row's bill id and status.
    virtual int billIdColumn() const = 0;
    virtual int statusColumn() const = 0;
    // Lays out the filters, with a kind's own fields in the first and second row.
    // The row menu's 查看单据 and 删除单据.
    void addBillMenu();
    void layOutFilters(std::initializer_list<std::pair<const char*, QWidget*>> first,
                       std::initializer_list<std::pair<const char*, QWidget*>> second);
    void fillFilter(BillListFilter& f) const;
    int currentBillId() const;
    void showStatusIcon(int row);

    const BillReportKind& m_kind;
};
