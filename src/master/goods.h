#pragma once
// Goods: one head row and one or more packaging units with their barcodes.
// Goods codes and non-empty barcodes share one namespace.

#include "data/conditions.h"
#include "data/orderedmap.h"
#include "data/results.h"
#include "data/sqlvalue.h"

#include <QString>
#include <optional>
#include <utility>
#include <vector>

struct m_goods_head {
    int id = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    QString goodsCode;
    QString goodsName;
    QString goodsDesc;
    QString pinyin;
    double upqty = 0;
    double downqty = 0;
    int lotTracked = 0;    // 按批次管理: stock-in lines need a lot and an expiry
    int shelfLifeDays = 0; // 保质期天数, 0: none
    QString status;
    QString imageUrl;
    QString creator;
    QString createTime;
    QString updateLastUser;
    QString updateLastTime;
};

struct m_goods_detail {
    int id = 0;
    int headId = 0;
    int rowNo = 0;
    int isDefault = 0;
    QString goodsDetailCode;
    QString unit;
    double packQty = 0;
    double weight = 0;
    double inPrice = 0;
    double salePrice = 0;
    int goodsTypeId = 0;
    QString goodsTypeName;
    QString goodsCode;
    QString goodsName;
    QString goodsDesc;
    QString pinyin;
    QString status;
    double upqty = 0;
    double downqty = 0;
    QString utype;
    QString inputGoodsCode;
    int irowsCount = 0; // rows a code lookup matched
    double qty = 0;
    QString locationCode;
    int locationId = 0;
};

class dal_goods_head {
public:
    m_DBresult Add(const m_goods_head& head, const m_goods_detail& detail);
    m_goods_head GetModel(int id);
    RecordSet GetDataTable(const ConditionSet& conditions, bool forExport);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectText = {});
    m_DBresult Delete(int id);
    m_DBresult Update(const m_goods_head& head, const m_goods_detail& detail);

private:
    StringBulider m_sql;
};

// Statement text (optionally "tag|" before it) to the packaging unit it inserts.
using GoodsDetailStatements = OrderedMap<QString, m_goods_detail>;

class dal_goods_detail {
public:
    void Add(const m_goods_detail& model);
    // The enabled packaging unit typed in at bill entry by goods code or barcode.
    // enabledOnly false: stopped and replaced goods too (a count finds what lies on the shelf)
    m_goods_detail GetModelForInput(const QString& code, int id = 0, bool enabledOnly = true);
    m_recordSet GetListForInputAndCondition(const ConditionSet& conditions, const QString& selectText = {});
    m_goods_detail GetModel(int id);
    m_goods_detail GetModelForDefault(int headId);
    RecordSet GetDataTable(const QString& condition);
    m_recordSet GetListForCondition(const ConditionSet& conditions, const QString& selectText = {});
    m_DBresult Delete(int id);
    void Update(const m_goods_detail& model);
    // Makes one unit the default and clears the flag on the others, in one transaction.
    m_DBresult Update_Default(int headId, int id);
    // Replaces every packaging unit of the goods, in one transaction.
    m_DBresult Batch_Update(int headId, const GoodsDetailStatements& statements);

private:
    m_goods_detail readModel(const QString& sql);
    StringBulider m_sql;
    SqlParams m_params;
};

// The insert of one packaging unit with its grid row number.
extern const char* const kGoodsDetailInsert;

// The packaging units a grid save stores: the rows with a unit and a pack
// quantity above 0, in grid order; other rows are left out. refusal is set,
// and nothing may be saved, when the rows kept would not leave the goods
// exactly one default unit (the one bill entry finds by the goods code).
struct GoodsUnitsToSave {
    std::vector<m_goods_detail> rows;
    QString refusal;
};
GoodsUnitsToSave SelectUnitsToSave(const std::vector<m_goods_detail>& gridRows);

// The refusal of a lower stock limit above the upper one, "" when in order.
QString CheckStockLimits(double downqty, double upqty);
// A shelf life as typed: whole days of 0 or more (blank: 0); none when it is not.
std::optional<int> ShelfLifeDays(const QString& text);
// Whether the goods is kept by lot (按批次管理).
bool GoodsLotTracked(int goodsId);

// Tests new or changed codes against every stored goods code and barcode.
// extraUnion: " union all select '<code>' as goodsCode from v_sys_goodsCode " per new code;
// changed: pairs of stored detail id and the barcode it is to get.
m_DBresult check_GoodsCode(const QString& extraUnion,
                           const std::vector<std::pair<int, QString>>& changed = {});
// The union piece that adds one code to the check.
QString GoodsCodeUnion(const QString& code);
