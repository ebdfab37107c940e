#pragma once
// The stock-in (frm_rpt_rkDetail, 入库明细) and stock-out (frm_rpt_ckDetail,
// 出库明细) line reports: one row per bill line with its bill's head, opened
// and deleted by the line's bill.

#include "billreportform.h"
#include "rpt_engine.h"

class LineListReport : public BillReportForm {
    Q_OBJECT
public:
    QComboBox* cobo_goodsTypeName;
    QLineEdit* txt_goodsCode;

    // the grid columns of some fields
    int colStatus() const { return 3; }
    int colHeadId() const { return 4; }
    int colBillNo() const { return 6; }
    int colAmount() const;

    QString GetColName(int column) const override;

protected:
    LineListReport(const BillReportKind& kind, QWidget* parent);
    ~LineListReport() override;
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    void pageFilled() override;
    int billIdColumn() const override { return colHeadId(); } // the line's bill, not the line
    int statusColumn() const override { return colStatus(); }

private:
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
