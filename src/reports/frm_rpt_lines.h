#pragma once
// The stock-in (frm_rpt_rkDetail, 入库明细) and stock-out (frm_rpt_ckDetail,
// 出库明细) line reports: one row per bill line with its bill's head, opened
// and deleted by the line's bill.

#include "reportform.h"
#include "rpt_engine.h"

#include <memory>

class QCheckBox;
class QDateEdit;

struct LineListKind;

class LineListReport : public ReportForm {
    Q_OBJECT
public:
    QDateEdit* dt_createDateFrom;
    QDateEdit* dt_createDateTo;
    QComboBox* cobo_goodsTypeName;
    QComboBox* cobo_billType;   // cobo_importType / cobo_exportType
    QLineEdit* txt_partnerName; // txt_supplierName / txt_customerName
    QLineEdit* txt_goodsCode;
    QLineEdit* txt_KeyWord;
    QCheckBox* check_pass;
    QCheckBox* check_nopass;

    // the grid columns of some fields
    int colStatus() const { return 3; }
    int colHeadId() const { return 4; }
    int colBillNo() const { return 6; }
    int colAmount() const;

    QString GetColName(int column) const override;

public slots:
    void OpenBill();
    void menu_DeleteBill();

protected:
    LineListReport(const LineListKind& kind, QWidget* parent);
    ~LineListReport() override;
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;

private:
    int headIdOfCurrentRow() const;
    const LineListKind& m_kind;
    std::unique_ptr<ReportDal> m_dal;
    QStringList m_fields; // the field of each grid column after column 0
};

class frm_rpt_rkDetail : public LineListReport {
    Q_OBJECT
public:
    explicit frm_rpt_rkDetail(QWidget* parent = nullptr);
};

class frm_rpt_ckDetail : public LineListReport {
    Q_OBJECT
public:
    explicit frm_rpt_ckDetail(QWidget* parent = nullptr);
};
