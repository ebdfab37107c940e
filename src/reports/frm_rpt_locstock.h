#pragma once
// The stock per location window (库位库存): where each goods lies and how much.

#include "reportform.h"
#include "rpt_locstock.h"

class frm_rpt_locStock : public ReportForm {
    Q_OBJECT
public:
    explicit frm_rpt_locStock(QWidget* parent = nullptr);

    QComboBox* cobo_location; // the granted locations; blank: all of them
    QComboBox* cobo_goodsTypeName;
    QLineEdit* txt_KeyWord;

    QString GetColName(int column) const override;

public slots:
    // The stock of one goods, by its code.
    void ShowGoods(const QString& goodsCode);
    // The lots of the current row's goods at its location (查看批次).
    void ShowRowLots();

protected:
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    RecordSet pageRows(int pageIndex, int pageSize) override;

private:
    dal_rpt_locStock m_dal;
    LocStockFilter m_filter;
};
