#pragma once
// The report engine's data side. Every report kind owns a temporary table
// (a per-program TEMP shadow, see the schema): a search refills it in one
// transaction from the bill tables under the source conditions, with one
// set statement, then reads it back under the list conditions and a sort, a
// page at a time; export and print read it again as the last search left it.
// A kind is described by data: its table, its column lists and the select of
// its rows.

#include "data/conditions.h"
#include "data/results.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QDomElement;

struct ReportKindDef {
    QString table;         // the temporary table, e.g. temp_rpt_rkHead
    QString columns;       // the full column list
    QString outputColumns; // the columns of export and print
    // the select of the table's rows, its columns named as the table's, for
    // its argument: the rendered source conditions (stock and summaries: the
    // account id list); the summaries also take their rendered sum conditions
    std::function<QString(const QString& argument, const QString& sumConditions)> select;
    QString tieOrder = "id"; // the order of rows that sort alike
    // A list sorted on this field (either way) is not copied into the table:
    // its count and pages are read from the select itself, a page by the ids
    // of its rows first, so that the first page of a large span shows without
    // copying every row found. Empty: every list fills the table.
    QString pagedSort;
};

class ReportDal {
public:
    explicit ReportDal(ReportKindDef kind) : m_kind(std::move(kind)) {}
    virtual ~ReportDal() = default;
    const ReportKindDef& kind() const { return m_kind; }

    // The pieces of the kinds' selects: a stored creation time as the day
    // the lists show, and a formatted figure whose value is 0 (or that is
    // empty) as "0", the formatting done once.
    static QString dayOf(const QString& field);
    static QString zeroAsZero(const QString& formatted);
    // The statements of a refill: empty the table, insert the kind's rows.
    QStringList RefillStatements(const QString& argument, const QString& sumConditions = {}) const;
    // Empties and refills the kind's table in one transaction.
    m_DBresult Refill(const ConditionSet& source) { return RefillWith(GetConditionSql(source)); }
    m_DBresult RefillWith(const QString& argument, const QString& sumConditions = {});
    // Refills the table with the rows that pass the list conditions, in the
    // page record's sort (else the kind's own order), and counts them; the
    // rows are read a page at a time (Page). A list in the kind's paged sort
    // only counts its rows and leaves the table as it was. A failed refill
    // gives its message in str_MsgBox.
    m_recordSet GetListForCondition(const ConditionSet& source, const ConditionSet& list,
                                    const m_PageInfor& page, const QString& selectList = {}) {
        return ListAfterRefill(GetConditionSql(source), list, page, selectList);
    }
    m_recordSet ListAfterRefill(const QString& argument, const ConditionSet& list, const m_PageInfor& page,
                                const QString& selectList = {}, const QString& sumConditions = {});
    // The rows a list would hold, with the export columns, read as the query
    // gives them without filling the report table (the command-line report).
    std::unique_ptr<RowCursor> OpenListCursor(const QString& argument, const ConditionSet& list,
                                              const m_PageInfor& page,
                                              const QString& sumConditions = {}) const;
    // The rows of a page of the last list (pages of pageSize rows, from 1),
    // with its select items; nothing when there are none.
    RecordSet Page(int pageIndex, int pageSize) const;
    // The sort of a list, its export and its print: the field and direction
    // of the page record, rows of equal value in the kind's own order (the
    // lines: by bill, then by their place in it); "" without a field.
    virtual QString OrderClause(const m_PageInfor& page) const;
    // Where the last list's rows are read from: the table, or for a list in
    // the paged sort its select (filtered again by the caller's condition).
    const QString& rowsFrom() const { return m_rows; }
    // Reads the rows of the last search (output: the export columns).
    RecordSet GetDataTable(const QString& where, const QString& order, bool output);
    // The same rows read one at a time (see RowCursor): the export of a
    // report of any size.
    std::unique_ptr<RowCursor> OpenDataCursor(const QString& where, const QString& order, bool output);
    // The print node (DataDetail) of every row of the last search under the
    // list condition text, in the page record's sort; null when there are none.
    QDomElement GetDetailRowNode(const QString& where, const m_PageInfor& page, const QString& templateCode);

protected:
    // A kind read straight from the books puts its rows' statement here.
    void setTable(const QString& table) { m_rows = m_kind.table = table; }

private:
    ReportKindDef m_kind;
    // the last list: its select items, sort and count; on a file the rowid of its first row
    QString m_select, m_order, m_sortField;
    bool m_sortDesc = false;
    // the rows' relation; for a list read from its select, its condition
    QString m_rows = m_kind.table, m_where;
    bool m_direct = false;
    int m_count = 0;
    qlonglong m_firstRow = 0;
    // The order of the last list's rows forward or backward (the server's pages).
    QString sortText(bool reversed) const;
    // The order a read of the table asks for, as the engine best gives it.
    QString tableOrder(const QString& order) const;
    // A page of a list read from its select.
    RecordSet directPage(bool fromEnd, int top, int rows) const;
};

// The refills of the bill lists and of the lines as first written, one
// sub-select per name and figure and a second pass for the zeros: the
// measure the set refills are held to (tests, benchmarks).
QStringList CorrelatedBillListRefill(bool stockOut, const QString& conditions);
QStringList CorrelatedBillLinesRefill(bool stockOut, const QString& conditions);

// One page (from 1, clamped) of the count rows of a relation under a
// condition, read from the nearer end: the rows up to the page's end, or from
// the last row back to its start. order(reversed) gives the order clause of
// the page's sort, or of its reverse; the sort must not tie.
RecordSet PageFromNearerEnd(const QString& select, const QString& relation, const QString& condition,
                            int count, int pageIndex, int pageSize,
                            const std::function<QString(bool reversed)>& order);

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

// The transfer list and the transfer lines with their transfer's head.
class dal_rpt_dbHead : public ReportDal {
public:
    dal_rpt_dbHead();
};

class dal_rpt_dbDetail : public ReportDal {
public:
    dal_rpt_dbDetail();
};
