#pragma once
// The transfer list (frm_rpt_dbHead, 调拨单据) and the transfer lines
// (frm_rpt_dbDetail, 调拨明细): transfers by date, account mark, approval,
// from and to location (each with the locations below it) and keyword,
// touching a location the user may see. A transfer opens by a double click,
// is approved, withdrawn and deleted from the pop-up menu, and prints from
// the current row; the list exports.

#include "billreportform.h"

#include <QStringList>
#include <memory>

class ReportDal;

class TransferReport : public BillReportForm {
    Q_OBJECT
public:
    QComboBox* cobo_fromLocation;
    QComboBox* cobo_toLocation;

    QString GetColName(int column) const override;

public slots:
    void AddNew();
    void menu_pass();
    void menu_nopass();
    void PrintCurrent();

protected:
    TransferReport(const BillReportKind& kind, bool lines, QWidget* parent);
    ~TransferReport() override;
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    int billIdColumn() const override { return m_lines ? 4 : 2; } // the line's transfer, not the line
    int statusColumn() const override { return 3; }

private:
    void setPass(bool approve);
    bool m_lines;
    std::unique_ptr<ReportDal> m_dal;
    QStringList m_fields; // the field of each grid column after column 0
};

class frm_rpt_dbHead : public TransferReport {
    Q_OBJECT
public:
    explicit frm_rpt_dbHead(QWidget* parent = nullptr);
};

class frm_rpt_dbDetail : public TransferReport {
    Q_OBJECT
public:
    explicit frm_rpt_dbDetail(QWidget* parent = nullptr);
};
