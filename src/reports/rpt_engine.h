#pragma once
// The report engine's data side. Every report kind owns a temporary table
// (a per-program TEMP shadow, see the schema): a search refills it in one
// transaction from the bill tables under the source conditions, then reads it
// back under the list conditions and a sort; export and print read it again
// as the last search left it. A kind is described by data: its table, its
// column lists and the statements of its refill.

#include "data/conditions.h"
#include "data/results.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDomElement;

struct ReportKindDef {
    QString table;           // the temporary table, e.g. temp_rpt_rkHead
    QString columns;         // the full column list
    QString outputColumns;   // the columns of export and print
    // the statements of a refill, in order, for its argument: the rendered
    // source conditions (stock and summaries: the account id list); the
    // summaries also take their rendered sum conditions
    std::function<QStringList(const QString& argument, const QString& sumConditions)> refill;
    QString tieOrder = "id"; // the order of rows that sort alike
};

class ReportDal {
public:
    explicit ReportDal(ReportKindDef kind) : m_kind(std::move(kind)) {}
    virtual ~ReportDal() = default;
    const ReportKindDef& kind() const { return m_kind; }

    // Empties and refills the kind's table in one transaction.
    m_DBresult Refill(const ConditionSet& source) { return RefillWith(GetConditionSql(source)); }
    m_DBresult RefillWith(const QString& argument, const QString& sumConditions = {});
    // Refills, then reads the table under the list conditions, the extra
    // WHERE text and the page record's sort. A failed refill gives no record
    // set and its message in str_MsgBox.
    m_recordSet GetListForCondition(const ConditionSet& source, const ConditionSet& list,
                                    const m_PageInfor& page, const QString& selectList = {},
                                    const QString& extraWhere = {}) {
        return ListAfterRefill(GetConditionSql(source), list, page, selectList, extraWhere);
    }
    m_recordSet ListAfterRefill(const QString& argument, const ConditionSet& list, const m_PageInfor& page,
                                const QString& selectList = {}, const QString& extraWhere = {},
                                const QString& sumConditions = {});
    // The sort of a list, its export and its print: the field and direction
    // of the page record, rows of equal value in the kind's own order (the
    // lines: by bill, then by their place in it); "" without a field.
    virtual QString OrderClause(const m_PageInfor& page) const;
    // Reads the table as the last search left it (output: the export columns).
    RecordSet GetDataTable(const QString& where, const QString& order, bool output);
    // The same rows read one at a time (see RowCursor): the export of a
    // report of any size.
    std::unique_ptr<RowCursor> OpenDataCursor(const QString& where, const QString& order, bool output);
    // The print node (DataDetail) of every row of the last search under the
    // list condition text, in the page record's sort; null when there are none.
    QDomElement GetDetailRowNode(const QString& where, const m_PageInfor& page, const QString& templateCode);

protected:
    // A kind read straight from the books puts its rows' statement here.
    void setTable(const QString& table) { m_kind.table = table; }

private:
    ReportKindDef m_kind;
};

// The stock-in and stock-out bill lists.
class dal_rpt_rkHead : public ReportDal {
public:
    dal_rpt_rkHead();
    m_DBresult insert_temp_rpt_rkHead(const ConditionSet& source) { return Refill(source); }
};

class dal_rpt_ckHead : public ReportDal {
public:
    dal_rpt_ckHead();
    m_DBresult insert_temp_rpt_ckHead(const ConditionSet& source) { return Refill(source); }
};

// The stock-in and stock-out lines with their bills' heads.
class dal_rpt_rkDetail : public ReportDal {
public:
    dal_rpt_rkDetail();
    m_DBresult insert_temp_rpt_rkDetail(const ConditionSet& source) { return Refill(source); }
};

class dal_rpt_ckDetail : public ReportDal {
public:
    dal_rpt_ckDetail();
    m_DBresult insert_temp_rpt_ckDetail(const ConditionSet& source) { return Refill(source); }
};
