#include "goods.h"

#include "data/accesstext.h"
#include "data/sqlhelper.h"

namespace {

const char* const kHeadColumns =
    "id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
    "status,imageUrl,creator,createTime,updateLastUser,updateLastTime";
const char* const kDetailColumns =
    "id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,"
    "status,upqty,downqty,isDefault,goodsDetailCode,unit,packQty,weight,inPrice,"
    "salePrice";
const char* const kInputColumns =
    "utype,id,headId,rowNo,goodsTypeId,goodsTypeName,goodsCode,goodsDetailCode,"
    "inputGoodsCode,isDefault,goodsName,goodsDesc,pinyin,status,upqty,downqty,unit,"
    "packQty,weight,inPrice,salePrice";

SqlParams headParams(const m_goods_head& h, bool forInsert) {
    SqlParams p;
    if (forInsert) p.AddItem("@id", h.id);
    p.AddItem("@goodsTypeId", h.goodsTypeId);
    p.AddItem("@goodsCode", h.goodsCode);
    p.AddItem("@goodsName", h.goodsName);
    p.AddItem("@goodsDesc", h.goodsDesc);
    p.AddItem("@pinyin", h.pinyin);
    p.AddItem("@upqty", h.upqty);
    p.AddItem("@downqty", h.downqty);
    p.AddItem("@lotTracked", h.lotTracked);
    p.AddItem("@shelfLifeDays", h.shelfLifeDays);
    p.AddItem("@status", h.status);
    p.AddItem("@imageUrl", h.imageUrl);
    if (forInsert) {
        p.AddItem("@creator", h.creator);
        p.AddItem("@createTime", h.createTime);
    }
    p.AddItem("@updateLastUser", h.updateLastUser);
    p.AddItem("@updateLastTime", h.updateLastTime);
    if (!forInsert) p.AddItem("@id", h.id);
    return p;
}

// The parameters of a packaging unit, in the order its statements name them.
SqlParams detailParams(const m_goods_detail& d, bool withRowNo, bool idFirst) {
    SqlParams p;
    if (idFirst) p.AddItem("@id", d.id);
    p.AddItem("@headId", d.headId);
    p.AddItem("@isDefault", d.isDefault);
    if (withRowNo) p.AddItem("@rowNo", d.rowNo);
    p.AddItem("@goodsDetailCode", d.goodsDetailCode);
    p.AddItem("@unit", d.unit);
    p.AddItem("@packQty", d.packQty);
    p.AddItem("@weight", d.weight);
    p.AddItem("@inPrice", d.inPrice);
    p.AddItem("@salePrice", d.salePrice);
    if (!idFirst) p.AddItem("@id", d.id);
    return p;
}

} // namespace

const char* const kGoodsDetailInsert =
    "insert into tb_goods_detail "
    "(id,headId,isDefault,rowNo,goodsDetailCode,unit,packQty,weight,inPrice,salePrice )  "
    "values (@id,@headId,@isDefault,@rowNo,@goodsDetailCode,@unit,@packQty,@weight,@inPrice,@salePrice ) ";

// ---- heads ----

m_DBresult dal_goods_head::Add(const m_goods_head& head, const m_goods_detail& detail) {
    KeyValue batch;
    batch.AddItem(
        "insert into tb_goods_head "
        "(id,goodsTypeId,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,lotTracked,"
        "shelfLifeDays,status,imageUrl,creator,createTime,updateLastUser,updateLastTime )  values (@id,"
        "@goodsTypeId,@goodsCode,@goodsName,@goodsDesc,@pinyin,@upqty,@downqty,@lotTracked,@shelfLifeDays,"
        "@status,@imageUrl,@creator,@createTime,@updateLastUser,@updateLastTime ) ",
        headParams(head, true));
    batch.AddItem(
        "insert into tb_goods_detail (id,headId,isDefault,goodsDetailCode,unit,packQty,weight,inPrice,"
        "salePrice )  values (@id,@headId,@isDefault,@goodsDetailCode,@unit,@packQty,@weight,@inPrice,"
        "@salePrice ) ",
        detailParams(detail, false, true));
    return sqlHelper::ExecuteTrans(batch);
}

m_goods_head dal_goods_head::GetModel(int id) {
    m_sql.Clear();
    m_sql.Append(QString("SELECT ") + kHeadColumns + "  from v_goods_head  where id=" + QString::number(id));
    m_goods_head h;
    const RecordSet rs = sqlHelper::ReadRecord(m_sql.ToString());
    if (rs.RecordCount() > 0) {
        auto text = [&](const char* f) { return acc::valueText(rs.value(f)); };
        h.id = rs.value("id").toInt();
        h.goodsTypeId = rs.value("goodsTypeId").toInt();
        h.goodsTypeName = text("goodsTypeName");
        h.goodsCode = text("goodsCode");
        h.goodsName = text("goodsName");
        h.goodsDesc = text("goodsDesc");
        h.pinyin = text("pinyin");
        h.upqty = rs.value("upqty").toDouble();
        h.downqty = rs.value("downqty").toDouble();
        h.status = text("status");
        h.imageUrl = text("imageUrl");
        h.creator = text("creator");
        h.createTime = text("createTime");
        h.updateLastUser = text("updateLastUser");
        h.updateLastTime = text("updateLastTime");
        // the lot settings came after the view
        const RecordSet lots = sqlHelper::ReadRecord(
            "select lotTracked, shelfLifeDays from tb_goods_head where id=" + QString::number(id));
        h.lotTracked = lots.value("lotTracked").toInt();
        h.shelfLifeDays = lots.value("shelfLifeDays").toInt();
    }
    return h;
}

RecordSet dal_goods_head::GetDataTable(const ConditionSet& conditions, bool forExport) {
    m_sql.Clear();
    m_sql
        .Append(
            forExport
                ? "select goodsTypeName,goodsCode,goodsName,goodsDesc,upqty,downqty,status,creator,createTime"
                : "select id,goodsTypeId,goodsTypeName,goodsCode,goodsName,goodsDesc,pinyin,upqty,downqty,"
                  "status,creator,createTime,updateLastUser,updateLastTime ")
        .Append(" from v_goods_head ")
        .Append(" where 1=1 ")
        .Append(GetConditionSql(conditions));
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

m_recordSet dal_goods_head::GetListForCondition(const ConditionSet& conditions, const QString& selectText) {
    return RunListQuery(IsBlank(selectText) ? QString("SELECT ") + kHeadColumns + " " : selectText,
                        "v_goods_head", conditions);
}

m_DBresult dal_goods_head::Delete(int id) {
    KeyValue batch;
    SqlParams byHead;
    byHead.AddItem("@headId", id);
    SqlParams byId;
    byId.AddItem("@id", id);
    batch.AddItem("Delete From tb_goods_detail where headId=@headId", byHead);
    batch.AddItem("Delete From tb_goods_head where id=@id", byId);
    return sqlHelper::ExecuteTrans(batch);
}

m_DBresult dal_goods_head::Update(const m_goods_head& head, const m_goods_detail& detail) {
    KeyValue batch;
    batch.AddItem(
        "update tb_goods_head  set goodsTypeId=@goodsTypeId, goodsCode=@goodsCode, goodsName=@goodsName, "
        "goodsDesc=@goodsDesc, pinyin=@pinyin, upqty=@upqty, downqty=@downqty, lotTracked=@lotTracked, "
        "shelfLifeDays=@shelfLifeDays, status=@status, "
        "imageUrl=@imageUrl, updateLastUser=@updateLastUser, updateLastTime=@updateLastTime where id=@id",
        headParams(head, false));
    batch.AddItem(
        "update tb_goods_detail  set headId=@headId, isDefault=@isDefault, goodsDetailCode=@goodsDetailCode, "
        "unit=@unit, packQty=@packQty, weight=@weight, inPrice=@inPrice, salePrice=@salePrice where id=@id",
        detailParams(detail, false, false));
    return sqlHelper::ExecuteTrans(batch);
}

// ---- packaging units ----

void dal_goods_detail::Add(const m_goods_detail& d) {
    sqlHelper::ExecuteNonQuery(kGoodsDetailInsert, detailParams(d, true, true));
}

m_goods_detail dal_goods_detail::readModel(const QString& sql) {
    m_goods_detail d;
    const RecordSet rs = sqlHelper::ReadRecord(sql);
    if (rs.RecordCount() > 0) {
        auto text = [&](const char* f) {
            return rs.fieldIndex(f) >= 0 ? acc::valueText(rs.value(f)) : QString();
        };
        d.id = rs.value("id").toInt();
        d.headId = rs.value("headId").toInt();
        d.rowNo = rs.value("rowNo").toInt();
        d.goodsTypeId = rs.value("goodsTypeId").toInt();
        d.goodsTypeName = text("goodsTypeName");
        d.goodsCode = text("goodsCode");
        d.goodsName = text("goodsName");
        d.goodsDesc = text("goodsDesc");
        d.pinyin = text("pinyin");
        d.status = text("status");
        d.upqty = rs.value("upqty").toDouble();
        d.downqty = rs.value("downqty").toDouble();
        d.isDefault = rs.value("isDefault").toInt();
        d.goodsDetailCode = text("goodsDetailCode");
        d.unit = text("unit");
        d.packQty = rs.value("packQty").toDouble();
        d.weight = rs.value("weight").toDouble();
        d.inPrice = rs.value("inPrice").toDouble();
        d.salePrice = rs.value("salePrice").toDouble();
        d.utype = text("utype");
        d.irowsCount = rs.RecordCount();
    }
    return d;
}

m_goods_detail dal_goods_detail::GetModelForInput(const QString& code, int id, bool enabledOnly) {
    m_sql.Clear();
    m_sql.Append(QString("select ") + kInputColumns + "   from v_goods_detail_input  where " +
                 (enabledOnly ? "status='启用'  and " : "") + "(inputGoodsCode='" +
                 sqlHelper::EscapeQuote(code) + "') ");
    if (id > 0) m_sql.Append(" and id=" + QString::number(id));
    m_goods_detail d = readModel(m_sql.ToString());
    if (d.irowsCount > 0) d.inputGoodsCode = code;
    return d;
}

m_recordSet dal_goods_detail::GetListForInputAndCondition(const ConditionSet& conditions,
                                                          const QString& selectText) {
    return RunListQuery(IsBlank(selectText) ? QString("select ") + kInputColumns + " " : selectText,
                        "v_goods_detail_input", conditions);
}

m_goods_detail dal_goods_detail::GetModel(int id) {
    return readModel(QString("select ") + kDetailColumns +
                     "   from v_goods_detail  where id=" + QString::number(id));
}

m_goods_detail dal_goods_detail::GetModelForDefault(int headId) {
    return readModel(QString("select top 1 ") + kDetailColumns +
                     " from v_goods_detail  where isDefault=1  and headId=" + QString::number(headId));
}

RecordSet dal_goods_detail::GetDataTable(const QString& condition) {
    m_sql.Clear();
    m_sql.Append(QString("select ") + kDetailColumns + " from v_goods_detail  where 1=1 " + condition);
    return sqlHelper::ExecuteSql(m_sql.ToString());
}

m_recordSet dal_goods_detail::GetListForCondition(const ConditionSet& conditions, const QString& selectText) {
    return RunListQuery(IsBlank(selectText) ? QString("select ") + kDetailColumns + " " : selectText,
                        "v_goods_detail", conditions, " order by isDefault desc,rowNo asc");
}

m_DBresult dal_goods_detail::Delete(int id) {
    return sqlHelper::ExecuteTransById({"Delete From tb_goods_detail where id=@id"}, id);
}

void dal_goods_detail::Update(const m_goods_detail& d) {
    SqlParams p = detailParams(d, true, false);
    sqlHelper::ExecuteNonQuery(
        "update tb_goods_detail  set headId=@headId, isDefault=@isDefault, rowNo=@rowNo, "
        "goodsDetailCode=@goodsDetailCode, unit=@unit, packQty=@packQty, weight=@weight, "
        "inPrice=@inPrice, salePrice=@salePrice where id=@id",
        p);
}

m_DBresult dal_goods_detail::Update_Default(int headId, int id) {
    SqlParams p;
    p.AddItem("@headId", headId);
    p.AddItem("@id", id);
    KeyValue batch;
    batch.AddItem("update tb_goods_detail  set isDefault=1 where headId=@headId and id=@id", p);
    batch.AddItem("update tb_goods_detail  set isDefault=0 where headId=@headId  and id<>@id", p);
    return sqlHelper::ExecuteTrans(batch);
}

m_DBresult dal_goods_detail::Batch_Update(int headId, const GoodsDetailStatements& statements) {
    KeyValue batch;
    SqlParams head;
    head.AddItem("@headId", headId);
    batch.AddItem("delete from tb_goods_detail where headId=@headId", head);
    for (const auto& [key, model] : statements)
        batch.AddItem(key, detailParams(model, true, true));
    return sqlHelper::ExecuteTrans(batch);
}

// ---- rules of a save ----

GoodsUnitsToSave SelectUnitsToSave(const std::vector<m_goods_detail>& gridRows) {
    GoodsUnitsToSave out;
    int defaultsInGrid = 0, defaultsKept = 0;
    for (const m_goods_detail& d : gridRows) {
        defaultsInGrid += d.isDefault == 1;
        if (d.unit.trimmed().isEmpty() || d.packQty <= 0) continue;
        defaultsKept += d.isDefault == 1;
        out.rows.push_back(d);
    }
    if (defaultsInGrid == 0)
        out.refusal = QStringLiteral("默认包装单位不能删除,请先将其他包装单位设为默认!");
    else if (defaultsKept == 0)
        out.refusal = QStringLiteral("默认包装单位的单位不能为空,内装数必须大于0!");
    else if (defaultsKept > 1)
        out.refusal = QStringLiteral("一个货品只能有一个默认包装单位!");
    return out;
}

std::optional<int> ShelfLifeDays(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0;
    bool ok = false;
    const int days = t.toInt(&ok);
    if (!ok || days < 0 || days > 36500) return std::nullopt; // a hundred years is no shelf life
    return days;
}

QString CheckStockLimits(double downqty, double upqty) {
    // an upper limit of 0 (left blank) sets no upper limit
    return upqty > 0 && downqty > upqty ? QStringLiteral("库存下限不能大于库存上限!") : QString();
}

// ---- the one namespace of codes ----

QString GoodsCodeUnion(const QString& code) {
    return " union all select '" + sqlHelper::EscapeQuote(code) + "' as goodsCode from v_sys_goodsCode ";
}

m_DBresult check_GoodsCode(const QString& extraUnion, const std::vector<std::pair<int, QString>>& changed) {
    QString pairUnion;
    if (!changed.empty()) {
        QString ids;
        for (const auto& [id, code] : changed)
            ids += QString::number(id) + ",";
        const RecordSet stored =
            sqlHelper::ExecuteSql("SELECT id,goodsDetailCode from tb_goods_detail where id in(" + ids + "0)");
        for (const auto& [id, code] : changed) {
            bool same = false;
            for (int r = 0; r < stored.RecordCount(); ++r)
                if (stored.at(r, "id").toInt() == id)
                    same = acc::valueText(stored.at(r, "goodsDetailCode")).trimmed() == code.trimmed();
            if (!same) pairUnion += GoodsCodeUnion(code);
        }
    }
    m_DBresult result;
    if (extraUnion.trimmed().isEmpty() && pairUnion.trimmed().isEmpty()) {
        result.isResult = true;
        return result;
    }
    const RecordSet dup = sqlHelper::ExecuteSql(
        "SELECT goodsCode, count(*) AS iCount FROM (  SELECT goodsCode from tb_goods_head  union all SELECT "
        "goodsDetailCode as goodsCode from tb_goods_detail where iif(goodsDetailCode is "
        "null,'',goodsDetailCode)<>'' " +
        pairUnion + extraUnion + " )  as temp_z  group by goodsCode  having count(*)>1 ");
    if (dup.RecordCount() == 0) {
        result.isResult = true;
        return result;
    }
    QString list;
    for (int r = 0; r < dup.RecordCount(); ++r)
        list += acc::valueText(dup.at(r, "goodsCode")) + ",";
    result.str_MsgBox =
        QStringLiteral("有以下条码重复:") + "\n" + list + "\n" + QStringLiteral("请重新设置!");
    result.int_Count = dup.RecordCount();
    return result;
}

bool GoodsLotTracked(int goodsId) {
    const RecordSet rs =
        sqlHelper::ExecuteSql("select lotTracked from tb_goods_head where id=" + QString::number(goodsId));
    return rs.RecordCount() > 0 && rs.at(0, 0).toInt() != 0;
}
