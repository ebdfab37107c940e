#pragma once
// What a bill entry window asks of its bill kind, in one shape for both
// kinds: the window works on these plain records, and the store turns them
// into the kind's models and data-access calls.

#include "data/recordset.h"
#include "data/results.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct BillEntryHead {
    int id = 0;
    QString billNo;
    int accountId = 0;
    QString accountName;
    QString ubillNo;
    int utypeId = 0;
    QString utype;
    int partnerId = 0;
    QString partnerName;
    QString remark;
    int ispass = 0;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
    int userId = 0;
};

struct BillEntryLine {
    int rowNo = 0;
    int goodsId = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    QString goodsCode;
    QString goodsDetailCode;
    QString goodsName;
    QString goodsDesc;
    QString unit;
    double packQty = 0;
    double weight = 0;
    double inPrice = 0;
    double salePrice = 0;
    double qty = 0;
    int locationId = 0;   // a transfer's from location
    int toLocationId = 0; // a transfer's to location
    QString lotNo;
    QString remark;
    QString productionDate; // yyyy-MM-dd or empty
    QString expiryDate;
};

// A line as the entry window holds it: the record, with the price and the
// quantity as typed (they may not be numbers yet) and the location's code.
struct BillEntryRow {
    BillEntryLine line;
    QString locationCode;
    QString toLocationCode;
    QString price; // the kind's price: the purchase price in, the sale price out
    QString qty;
    // the unit's own price when the price was filled in automatically; such
    // a price follows a change of partner
    std::optional<double> ownPrice;
};

class BillStore {
public:
    virtual ~BillStore() = default;
    // The stored head; id 0 when there is none.
    virtual BillEntryHead Load(int id) = 0;
    // The stored lines of a bill, in their order.
    virtual std::vector<BillEntryRow> Lines(int headId) = 0;
    // A new bill (head.id < 1) gets its id and number inside the save, written
    // back into head; a stored one is rewritten.
    virtual m_DBresult Save(BillEntryHead& head, const std::vector<BillEntryLine>& lines) = 0;
    // False when the bill is gone.
    virtual bool SetPass(int id, int state, const QString& user, const QString& time) = 0;
    virtual m_DBresult Delete(int id) = 0;
    // The price of the partner's last bill line with this goods code; none
    // without a partner (id < 1). Adjustment bills of stock counts are passed over.
    virtual std::optional<double> LastPrice(int partnerId, const QString& goodsCode) = 0;
};

// The stored lines of a bill read by name from their select: the shared
// columns, the named price (none: null), and salePrice, toLocationId,
// toLocationCode, productionDate and expiryDate where the select has them.
std::vector<BillEntryRow> EntryRowsOf(const RecordSet& rs, const char* priceColumn);

std::unique_ptr<BillStore> NewStockInStore();
std::unique_ptr<BillStore> NewStockOutStore();
// Transfers between locations (transfer.cpp): no partner, type or price.
std::unique_ptr<BillStore> NewTransferStore();
