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
    int locationId = 0;
    QString lotNo;
    QString remark;
};

class BillStore {
public:
    virtual ~BillStore() = default;
    // The stored head; id 0 when there is none.
    virtual BillEntryHead Load(int id) = 0;
    // The lines of a bill through the list query with the given select part.
    virtual RecordSet Lines(int headId, const QString& selectPart) = 0;
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

std::unique_ptr<BillStore> NewStockInStore();
std::unique_ptr<BillStore> NewStockOutStore();
