#pragma once
// Stock-in (rk) and stock-out (ck) bills: one head row and its lines. The
// two kinds are twins; what differs (tables, partner columns, the sale price
// of stock-out lines) is told by a kind descriptor, and the shared behaviour
// is written once in the templates below the public classes.

#include "data/conditions.h"
#include "data/orderedmap.h"
#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>

class QDomElement;

struct BillHeadFields {
    int id = 0;
    int accountId = 0;
    QString billNo;
    QString ubillNo;
    int utypeId = 0;
    QString remark;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
    qint16 ispass = 0;
    QString accountName;
    QString totalItemRow;
    QString utype;
    double totalQty = 0;
    double totalAmount = 0;
    int rowsCount = 0;
    QString passName;
};

struct m_rk_head : BillHeadFields {
    int supplierId = 0;
    QString supplierName;
};

struct m_ck_head : BillHeadFields {
    int customerId = 0;
    QString customerName;
};

struct BillDetailFields {
    int id = 0;
    int headId = 0;
    int rowNo = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    int goodsId = 0;
    QString goodsCode;
    QString goodsDetailCode;
    QString goodsName;
    QString goodsDesc;
    QString unit;
    double inPrice = 0;
    double packQty = 0;
    double weight = 0;
    double qty = 0;
    int locationId = 0;
    QString lotNo;
    QString remark;
    QString productionDate; // yyyy-MM-dd or empty
    QString expiryDate;
    // read from the line view only
    int accountId = 0;
    QString accountName;
    QString billNo;
    QString ubillNo;
    QString utype;
    int utypeId = 0;
    int userId = 0;
    double totalQty = 0;
    double totalDefaultQty = 0;
    double totalWeight = 0;
    double totalAmount = 0;
    QString locationCode;
    qint16 ispass = 0;
    QString passName;
};

struct m_rk_detail : BillDetailFields {
    int supplierId = 0;
    QString supplierName;
};

struct m_ck_detail : BillDetailFields {
    double salePrice = 0;
    int customerId = 0;
    QString customerName;
};

// The lines handed to a save: statement key ("<line id>|<insert>") to line.
using rk_LineSet = OrderedMap<QString, m_rk_detail>;
using ck_LineSet = OrderedMap<QString, m_ck_detail>;

// What tells the two kinds apart.
struct BillKind {
    const char* tag;                           // "rk" or "ck": bill number prefix and numbering kind
    const char* partnerId;                     // supplierId or customerId
    const char* partnerName;                   // supplierName or customerName
    bool salePrice;                            // lines carry a sale price
    QString table(const char* part) const;     // tb_rk_head, ...
    QString view(const char* part) const;      // v_rk_detail, ...
    QString tempTable(const char* part) const; // temp_rk_head, ...
    QString headFields() const;
    QString detailFields() const;
    QString lineInsert() const; // the insert of one line, with its @ parameters
};

extern const BillKind kStockIn;
extern const BillKind kStockOut;

template <class Head, class Detail> class BillHeadDal {
public:
    using LineSet = OrderedMap<QString, Detail>;
    explicit BillHeadDal(const BillKind& kind) : m_kind(kind) {}

    QString GetSqlSearch(const QString& kind) const;
    // Stores a new bill in one write transaction that also takes its id, its
    // number and the ids of its lines; they are written back into head and
    // lines on success. On failure nothing is stored and the models keep
    // what they held.
    m_DBresult Add(Head& head, LineSet& lines);
    // The same inside the caller's write transaction (sqlHelper::ExecuteTransWith):
    // head and lines get their ids and number at once; an error throws DbError.
    void AddInTrans(Head& head, LineSet& lines);
    Head GetModel(int id);
    RecordSet GetDataTable(const QString& where);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectPart = {},
                                    const QString& tail = {});
    // Deletes an unapproved bill; a bill approved or deleted meanwhile is refused.
    m_DBresult Delete(int id);
    // Returns the number of bills changed (0 when the bill is gone).
    int Update_pass(const Head& head);
    // Rewrites a stored bill: the head's editable fields and all its lines
    // (which get new ids, written back into lines). A bill approved or
    // deleted since it was read is refused.
    m_DBresult Update_All(const Head& head, LineSet& lines);
    // The print node (DataGroupHead) of the bill heads meeting the
    // conditions, through the temporary head table; null when there are none.
    QDomElement GetGroupHeadRowNode(const ConditionSet& conditions, const QString& templateCode);

protected:
    m_DBresult insertTemp(const ConditionSet& conditions);
    const BillKind& m_kind;
};

template <class Detail> class BillDetailDal {
public:
    explicit BillDetailDal(const BillKind& kind) : m_kind(kind) {}

    QString GetSqlSearch(const QString& kind) const;
    void Add(const Detail& line);
    Detail GetModel(int id);
    RecordSet GetDataTable(const QString& where);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectPart = {},
                                    const QString& tail = {});
    m_DBresult Delete(int id);
    void Update(const Detail& line);
    // The print node (DataDetail) of the lines meeting the conditions, by
    // bill and line number; null when there are none.
    QDomElement GetDetailRowNode(const ConditionSet& conditions, const QString& templateCode);

protected:
    m_DBresult insertTemp(const ConditionSet& conditions);
    const BillKind& m_kind;
};

class dal_rk_head : public BillHeadDal<m_rk_head, m_rk_detail> {
public:
    dal_rk_head() : BillHeadDal(kStockIn) {}
    m_DBresult insert_Temp_rk_head(const ConditionSet& conditions) { return insertTemp(conditions); }
};

class dal_ck_head : public BillHeadDal<m_ck_head, m_ck_detail> {
public:
    dal_ck_head() : BillHeadDal(kStockOut) {}
    m_DBresult insert_Temp_ck_head(const ConditionSet& conditions) { return insertTemp(conditions); }
};

class dal_rk_detail : public BillDetailDal<m_rk_detail> {
public:
    dal_rk_detail() : BillDetailDal(kStockIn) {}
    m_DBresult insert_Temp_rk_detail(const ConditionSet& conditions) { return insertTemp(conditions); }
};

class dal_ck_detail : public BillDetailDal<m_ck_detail> {
public:
    dal_ck_detail() : BillDetailDal(kStockOut) {}
    m_DBresult insert_Temp_ck_detail(const ConditionSet& conditions) { return insertTemp(conditions); }
};

// The key of a line in a line set: its id, "|", the line insert of its kind.
QString LineKey(const BillKind& kind, int lineId);

// A stock count posts its differences as adjustment bills, which keep their
// approval and stay as they are. The number of the count whose adjustment
// bill this is ("" when none).
QString CountOfAdjustmentBill(bool out, int billId);
// The refusal of a change (what: 删除, 反审核) to a count's adjustment bill.
QString AdjustmentBillRefusal(const QString& countNo, const QString& what);
