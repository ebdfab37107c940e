#pragma once
// The stock-in (frm_rpt_rkHead, 入库单据) and stock-out (frm_rpt_ckHead,
// 出库单据) bill lists: bills by date, account, approval, type, partner and
// keyword, opened by a double click, approved, withdrawn and deleted from
// the pop-up menu.

#include "reportform.h"
#include "rpt_engine.h"

#include <memory>

class QCheckBox;
class QDateEdit;

struct BillListKind;

class BillListReport : public ReportForm {
    Q_OBJECT
public:
    enum Col { colNo, colCheck, colId, colStatus, colAccount, colBillNo, colUBillNo, colType, colPartner, colItems,
               colAmount, colRemark, colCreator, colDate, colCount };

    QDateEdit* dt_createDateFrom;
    QDateEdit* dt_createDateTo;
    QComboBox* cobo_billType; // cobo_importType / cobo_exportType
    QLineEdit* txt_partnerName; // txt_supplierName / txt_customerName
    QLineEdit* txt_KeyWord;
    QCheckBox* check_pass;
    QCheckBox* check_nopass;

    QString GetColName(int column) const override;

public slots:
    void OpenBill();
    void AddNew();
    void menu_pass();
    void menu_nopass();
    void menu_DeleteBill();
    void SearchPartner();

protected:
    BillListReport(const BillListKind& kind, QWidget* parent);
    ~BillListReport() override;
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;

private:
    void setPass(bool approve);
    int currentId() const;
    const BillListKind& m_kind;
    std::unique_ptr<ReportDal> m_dal;
};

class frm_rpt_rkHead : public BillListReport {
    Q_OBJECT
public:
    explicit frm_rpt_rkHead(QWidget* parent = nullptr);
};

class frm_rpt_ckHead : public BillListReport {
    Q_OBJECT
public:
    explicit frm_rpt_ckHead(QWidget* parent = nullptr);
};
