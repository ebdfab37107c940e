#pragma once
// The stock-in (frm_rpt_rkHead, 入库单据) and stock-out (frm_rpt_ckHead,
// 出库单据) bill lists: bills by date, account, approval, type, partner and
// keyword, opened by a double click, approved, withdrawn and deleted from
// the pop-up menu.

#include "billreportform.h"
#include "rpt_engine.h"

class BillListReport : public BillReportForm {
    Q_OBJECT
public:
    enum Col {
        colNo,
        colCheck,
        colId,
        colStatus,
        colAccount,
        colBillNo,
        colUBillNo,
        colType,
        colPartner,
        colItems,
        colAmount,
        colRemark,
        colCreator,
        colDate,
        colCount
    };

    QString GetColName(int column) const override;

public slots:
    void AddNew();
    void menu_pass();
    void menu_nopass();

protected:
    BillListReport(const BillReportKind& kind, QWidget* parent);
    ~BillListReport() override;
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    int billIdColumn() const override { return colId; }
    int statusColumn() const override { return colStatus; }

private:
    void setPass(bool approve);
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
