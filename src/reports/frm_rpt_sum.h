#pragma once
// The stock-in (frm_rpt_rkSum, 入库汇总) and stock-out (frm_rpt_ckSum,
// 出库汇总) summaries: per goods, what came in (went out) through approved
// bills of a partner, a type and a date range.

#include "reportform.h"

#include <memory>

class QCheckBox;
class QDateEdit;
class SumReportDal;
class QTreeWidgetItem;

class SumReport : public ReportForm {
    Q_OBJECT
public:
    QDateEdit* dt_createDateFrom;
    QDateEdit* dt_createDateTo;
    QComboBox* cobo_goodsTypeName;
    QLineEdit* txt_partnerName; // txt_supplierName / txt_customerName
    QLineEdit* txt_KeyWord;
    QCheckBox* Chk_ContainerZero;
    // the type selection box: pic_Box_ImportType, tv_ImportType, txt_importType
    // (stock-out: pic_Box_ExportType, tv_ExportType, txt_ExportType)
    QFrame* pic_Box_Type;
    QTreeWidget* tv_Type;
    QLineEdit* txt_type;
    QString typeTag; // the chosen type's id

    QString GetColName(int column) const override;
    ~SumReport() override;

public slots:
    void ShowTypeBox();
    void ChooseType(QTreeWidgetItem* node);
    void ClearType();
    void SearchPartner();

protected:
    SumReport(bool stockOut, QWidget* parent);
    bool buildConditions(ConditionSet& source, ConditionSet& list) override;
    m_recordSet runList(const ConditionSet& source, const ConditionSet& list) override;
    void fillRow(int row, const RecordSet& rs) override;
    void headerReset() override;

private:
    bool m_out;
    std::unique_ptr<SumReportDal> m_dal;
    ConditionSet m_sum; // the sum conditions of the search under way
};

class frm_rpt_rkSum : public SumReport {
    Q_OBJECT
public:
    explicit frm_rpt_rkSum(QWidget* parent = nullptr) : SumReport(false, parent) {}
};

class frm_rpt_ckSum : public SumReport {
    Q_OBJECT
public:
    explicit frm_rpt_ckSum(QWidget* parent = nullptr) : SumReport(true, parent) {}
};
