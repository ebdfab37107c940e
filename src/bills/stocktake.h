#pragma once
// Stock-taking (盘点): a count records the book balance per goods and
// location of one account mark over a location subtree at its start; the
// storekeeper counts (scans or typed quantities) over as many days as it
// takes; posting brings the books in line with what was found through one
// approved stock-in bill of the surpluses (盘盈) and one approved stock-out
// bill of the shortages (盘亏), computed against the balance at posting.
// Quantities are kept in pieces; the window shows them in default units.

#include "data/results.h"

#include <QHash>
#include <QSet>
#include <QString>
#include <optional>
#include <vector>

enum StockTakeState { kCounting = 0, kPosted = 1, kAbandoned = 2 };
QString StockTakeStateName(int state);
// Why a count in the state refuses what was asked: "盘点单 <no> 已过账, 不能再<what>!".
QString StockTakeRefusal(const QString& billNo, int state, const QString& what);
// The ids of a list such as places, "0,3,4".
QSet<QString> StockTakeIdSet(const QString& ids);

struct StockTakeHead {
    int id = 0;
    QString billNo;
    int accountId = 0;
    int locationId = 0;  // the subtree's root; 0: every granted location
    int goodsTypeId = 0; // 0: every category
    QString places;      // the location ids counted, "0,3,4"
    QString goodsTypes;  // the category and those below it, "5,9" ("": every category)
    int state = kCounting;
    QString creator;
    QString createTime;
    int userId = 0;
    int rkHeadId = 0;
    int ckHeadId = 0;
    QString postUser;
    QString postTime;
    // read from the names
    QString accountName;
    QString locationName;
    QString goodsTypeName;
};

struct StockTakeLine {
    int id = 0; // 0: added while counting, not stored yet
    int goodsId = 0;
    int goodsTypeId = 0;
    int locationId = 0;
    QString goodsCode;
    QString goodsName;
    QString goodsDesc;
    QString pinyin;
    QString locationCode;
    bool byLot = false; // a lot-tracked goods is counted per lot, the others per location
    QString lotNo;      // the lot counted ('' for what has none)
    bool lotTracked = false;
    QString unit;                   // the default unit
    double packQty = 0;             // its pieces (0: the goods is counted in pieces)
    double bookQty = 0;             // pieces at the start
    std::optional<double> countQty; // pieces; empty: not counted yet
    std::optional<double> postQty;  // pieces on the books when the count was posted
    bool changed = false;

    double perUnit() const { return packQty > 0 ? packQty : 1; }
    // the book the difference is taken against: at posting once posted
    double book() const { return postQty.value_or(bookQty); }
    double difference() const { return countQty.value_or(0) - book(); }
};

// A goods whose balance moved during the count.
struct StockTakeMove {
    QString goodsCode;
    QString goodsName;
    QString locationCode;
    double bookQty = 0; // pieces at the start
    double nowQty = 0;  // pieces now
    bool listed = true; // false: stock came where the count has no line for it
};

// The stored counts (stocktakestore.cpp).
class dal_stocktake {
public:
    // Records a new count of the head's account, location and category; the
    // places are the root's subtree within the granted locations ("" granted:
    // every location). Id, number and places are written back into head.
    // Refused while another open count of the account covers one of the places.
    m_DBresult Start(StockTakeHead& head, const QString& granted);
    StockTakeHead GetModel(int id);
    std::vector<StockTakeLine> Lines(int headId);
    // The counts, newest first, read by name: id, billNo, state, accountName,
    // locationName, creator, createTime, goodsTypeName.
    RecordSet List();
    // Stores the changed lines (new ones get their ids) and deletes the removed
    // ones (lines found during the count only); refused unless the count is open.
    m_DBresult SaveCounts(int headId, std::vector<StockTakeLine>& lines,
                          const std::vector<int>& removed = {});
    // The lines whose balance is no longer what it was at the start, then
    // the goods that came to the count's locations without a line.
    std::vector<StockTakeMove> Moved(int headId);
    // Posts a stored count. Uncounted lines count as 0 only when the caller
    // says so; otherwise they refuse the posting.
    m_DBresult Post(int headId, bool uncountedAsZero, const QString& user, const QString& time);
    m_DBresult Abandon(int headId, const QString& user, const QString& time);
};

// The lines of one count while it is being counted: where a goods and
// location is, scans and typed quantities, what has changed.
class StockTakeSheet {
public:
    void load(const StockTakeHead& head, std::vector<StockTakeLine> lines);
    const StockTakeHead& head() const { return m_head; }
    std::vector<StockTakeLine>& lines() { return m_lines; }
    const std::vector<StockTakeLine>& lines() const { return m_lines; }
    int find(int goodsId, int locationId) const;
    // The line of one lot of a goods at a location.
    int findLot(int goodsId, int locationId, const QString& lotNo) const;
    // The lots of a goods at a location that the sheet has lines for.
    QStringList lotsAt(int goodsId, int locationId) const;
    // Counts pieces of the goods at the location (of its lot when it is
    // counted by lot, which a lot-tracked goods must be); a goods not on the
    // sheet is added with a book balance of 0. Returns the row, or -1 with
    // the reason in error.
    int add(const StockTakeLine& goods, double pieces, QString* error);
    // A typed quantity in default units (empty text: not counted).
    bool setCounted(int row, const QString& text, QString* error);
    // Takes away a line found during the count (a wrong scan); the lines of
    // the start stay, an uncounted one counts as 0.
    bool remove(int row, QString* error);
    bool removable(int row, QString* error) const;
    // Stores the changes through the data layer.
    m_DBresult save(dal_stocktake& dal);
    bool dirty() const;
    int uncounted() const;
    bool open() const { return m_head.state == kCounting; }

private:
    static QString key(int goodsId, int locationId, bool byLot, const QString& lotNo) {
        return QStringLiteral("%1|%2|%3%4").arg(goodsId).arg(locationId).arg(byLot ? "L" : "-", lotNo);
    }
    void index();
    StockTakeHead m_head;
    std::vector<StockTakeLine> m_lines;
    std::vector<int> m_removed; // stored lines taken away, to delete on saving
    QHash<QString, int> m_rows;
};

// The goods line for a scanned or typed code: the goods with its default
// unit and the pieces of the unit scanned. Returns the number of goods the
// code matches (more than one: the caller lets the user pick).
int StockTakeGoodsForCode(const QString& code, int detailId, StockTakeLine& goods, double& pieces);
