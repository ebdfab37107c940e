#pragma once
// The near-expiry window (效期预警): the lots in stock whose expiry date is
// within the warning days, expired ones first and in red, the others amber.

#include "reportform.h"
#include "rpt_expiry.h"

class frm_rpt_expiry : public ReportForm {
    Q_OBJECT
public:
    explicit frm_rpt_expiry(QWidget* parent = nullptr);

    QComboBox* cobo_location; // the granted locations; blank: all of them
    QComboBox* cobo_goodsTypeName;
    QLineEdit* txt_KeyWord;
    QLineEdit* txt_warnDays; // the warning days, kept for the next search and the status bar

    QString GetColName(int column) const override;

protected:
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    RecordSet pageRows(int pageIndex, int pageSize) override;

private:
    dal_rpt_expiry m_dal;
    ExpiryFilter m_filter;
};
