#pragma once
// The stock report window (库存总账): goods by type and keyword with what came
// in, went out and is left, in pieces, weight and default units. Balances
// below the goods' lower limit show red, above a set upper limit orange.

#include "reportform.h"
#include "rpt_stock.h"

class QCheckBox;

class frm_rpt_stock : public ReportForm {
    Q_OBJECT
public:
    explicit frm_rpt_stock(QWidget* parent = nullptr);

    QComboBox* cobo_goodsTypeName;
    QLineEdit* txt_KeyWord;
    QCheckBox* Chk_ContainerZero;
    QCheckBox* chk_lowStock; // only goods below their lower limit

    QString GetColName(int column) const override;
    static QColor lowStockColor();
    static QColor highStockColor();

protected:
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    void headerReset() override;

private:
    dal_rpt_stock m_dal;
};
