#include "masterwindows.h"

#include "frm_customer.h"
#include "frm_dictionary.h"
#include "frmgoods.h"
#include "frmlocation.h"

#include "customer.h"
#include "dictionary.h"
#include "goods.h"
#include "location.h"

#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "ui/frm_select.h"
#include "ui/windowregistry.h"

#include <QTableWidget>
#include <any>

namespace {

// The lookup modes of master data: locations, dictionary entries, partners, goods.
void registerLookups() {
    frm_select::Mode location;
    location.selectPart =
        "select id,0,locationCode,uname,capacity,parentName,lockName,VirtualName,stateName ";
    location.headerPieces = {"<库位编码       ", "<名称         ", "<库容量  ", "<父节点       ",
                             "^锁定     ",       "<库位类别 ",     "<状态   "};
    location.conditions = [](const QString& keyword, const m_condition&) {
        ConditionSet c;
        c.AddItem("1", m_condition("state", "=", Raw("1")));
        c.AddItem("2", m_condition("id", "in", Raw(SysVar().Sys_locationJoinId)));
        if (!keyword.isEmpty()) c.AddItem("3", m_condition("locationCode&uname", "like", keyword));
        return c;
    };
    location.source = [](const ConditionSet& c, const QString& select) {
        // in the order they were made, whatever the engine's plan
        return dal_location().GetListForCondition(c, select, " order by id");
    };
    location.record = [](const QTableWidget* g, int row) {
        m_location m;
        m.id = frm_select::CellText(g, row, 1).toInt();
        m.locationCode = frm_select::CellText(g, row, 3);
        return std::any(m);
    };
    frm_select::RegisterMode("location", location);

    frm_select::Mode dictionary;
    dictionary.selectPart = "select id,0,uname,startName,parentName,remark ";
    dictionary.headerPieces = {"<名称             ", "<状态      ", "<父节点           ",
                               "<备注             "};
    dictionary.conditions = [](const QString& keyword, const m_condition& extra) {
        ConditionSet c;
        c.AddItem("1", m_condition("isstart", "=", Raw("1")));
        if (!keyword.isEmpty()) c.AddItem("2", m_condition("uname&parentName", "like", keyword));
        if (!extra.uField.trimmed().isEmpty()) c.AddItem("3", extra);
        return c;
    };
    dictionary.source = [](const ConditionSet& c, const QString& select) {
        return dal_dictionary().GetListForCondition(c, select);
    };
    dictionary.record = [](const QTableWidget* g, int row) {
        m_dictionary m;
        m.id = frm_select::CellText(g, row, 1).toInt();
        m.uname = frm_select::CellText(g, row, 3);
        return std::any(m);
    };
    frm_select::RegisterMode("dictionary", dictionary);

    for (const auto& [name, kinds] : {std::pair{"supplier", "0,2"}, std::pair{"customer", "1,2"}}) {
        frm_select::Mode partner;
        partner.selectPart = "select id,0,uname,customerCode,contact,companyName,utypeName ";
        partner.headerPieces = {"<往来单位名称       ", "<往来单位编码     ", "<联系人    ",
                                "<公司名称         ", "<类别          "};
        const QString kindList = kinds;
        partner.conditions = [kindList](const QString& keyword, const m_condition&) {
            ConditionSet c;
            c.AddItem("1", m_condition("utype", "in", Raw(kindList)));
            c.AddItem("2", m_condition("status", "=", Raw("1")));
            if (!keyword.isEmpty()) c.AddItem("3", m_condition("pinyin&uname&customerCode", "like", keyword));
            return c;
        };
        partner.source = [](const ConditionSet& c, const QString& select) {
            return dal_customer().GetListForCondition(c, select);
        };
        partner.record = [](const QTableWidget* g, int row) {
            m_customer m;
            m.id = frm_select::CellText(g, row, 1).toInt();
            m.uname = frm_select::CellText(g, row, 3);
            m.customerCode = frm_select::CellText(g, row, 4);
            return std::any(m);
        };
        frm_select::RegisterMode(name, partner);
    }

    for (const auto& [name, price] :
         {std::pair{"inputGoods", "inPrice"}, std::pair{"inputGoodsForExport", "salePrice"}}) {
        frm_select::Mode goods;
        goods.selectPart =
            QString("select id,0,inputGoodsCode,goodsName,goodsDesc,goodsTypeName,unit,packQty,weight,") +
            price + ",status  ";
        goods.headerPieces = {"<货品编码或条码     ",
                              "<货品名称           ",
                              "<规格              ",
                              "<货品类别     ",
                              "^单位     ",
                              ">内装数 ",
                              ">重量  ",
                              QString(price) == "inPrice" ? ">进价   " : ">销售价   ",
                              "<状态   "};
        goods.conditions = [](const QString& keyword, const m_condition&) {
            ConditionSet c;
            c.AddItem("1", m_condition("status", "=", QStringLiteral("启用")));
            if (!keyword.isEmpty())
                c.AddItem(
                    "2",
                    m_condition(
                        "inputGoodsCode&goodsName&pinyin&iif(goodsDetailCode is null,'',goodsDetailCode)",
                        "like", keyword));
            return c;
        };
        goods.source = [](const ConditionSet& c, const QString& select) {
            return dal_goods_detail().GetListForInputAndCondition(c, select);
        };
        goods.record = [](const QTableWidget* g, int row) {
            m_goods_detail m;
            m.id = frm_select::CellText(g, row, 1).toInt();
            m.inputGoodsCode = frm_select::CellText(g, row, 3);
            return std::any(m);
        };
        goods.goodsOf = [](const QTableWidget* g, int row) {
            const RecordSet rs =
                sqlHelper::ExecuteSql("select headId from tb_goods_detail where id=" +
                                      QString::number(frm_select::CellText(g, row, 1).toInt()));
            return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
        };
        frm_select::RegisterMode(name, goods);
    }
}

} // namespace

void registerMasterWindows() {
    registerLookups();
    WindowRegistry::Register("frm_dictionary", {.create = [](QWidget*) { return new frm_dictionary; },
                                                .title = QStringLiteral("数据字典")});
    WindowRegistry::Register(
        "frmGoods", {.create = [](QWidget*) { return new frmGoods; }, .title = QStringLiteral("货品信息")});
    WindowRegistry::Register("frmLocation", {.create = [](QWidget*) { return new frmLocation; },
                                             .title = QStringLiteral("库位信息")});
    WindowRegistry::Register("frm_customer", {.create = [](QWidget*) { return new frm_customer; },
                                              .title = QStringLiteral("往来单位")});
}
