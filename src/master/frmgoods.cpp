#include "frmgoods.h"

#include "access/funcode.h"
#include "access/user.h"
#include "categorylist.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "frm_dictionary.h"
#include "goodslabelprint.h"
#include "goodslabels.h"
#include "master/goodsimport.h"
#include "numbertext.h"
#include "output/xlsxexport.h"
#include "pinyin.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/importdialog.h"
#include "ui/lazytree.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/spreadsheetexport.h"
#include "ui/uvg.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
double number(const QString& text) {
    return acc::val(text);
}
const char* const kCategoriesSql =
    "select id,uname from tb_dictionary where utype='goodsType' and isstart=1 ";
} // namespace

frmGoods::frmGoods(QWidget* parent) : QWidget(parent) {
    setObjectName("frmGoods");
    setWindowTitle(QStringLiteral("货品信息"));

    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add", "新建", "新", QColor(46, 139, 87), &frmGoods::btn_GoodsAdd);
    AddToolAction(toolbar, this, "save", "保存", "存", QColor(38, 120, 190), &frmGoods::btn_GoodsSave);
    AddToolAction(toolbar, this, "delete", "删除", "删", QColor(190, 60, 60), &frmGoods::btn_GoodsDelete);
    AddToolAction(toolbar, this, "print", "打印条码", "印", QColor(200, 120, 30), &frmGoods::PrintBarcode);
    exportAction = AddToolAction(toolbar, this, "export", "导出", "导", QColor(210, 140, 20), [this] {
        if (!CheckFunction(m_funCode::goodsInfor_export())) return;
        // limits are numbers, codes text (leading zeros stay)
        Export::ExportToSpreadsheet(
            m_head.GetDataTable(m_lastConditions, true), QStringLiteral("货品信息"),
            QStringLiteral("货品类别,货品编码,货品名称,规格,库存上限,库存下限,状态,创建人,创建时间"),
            "ttttnnttd");
    });
    AddToolAction(toolbar, this, "exportForImport", "导出为导入格式", "格", QColor(210, 140, 20), [this] {
        if (!CheckFunction(m_funCode::goodsInfor_export())) return;
        ExportInImportForm(QStringLiteral("货品"), GoodsImportColumns(), GoodsImportRows(m_lastConditions),
                           windowTitle());
    });
    AddToolAction(toolbar, this, "import", "导入", "入", QColor(60, 140, 160), &frmGoods::btn_Import);
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    // categories
    tv_type = new QTreeWidget;
    tv_type->setObjectName("tv_type");
    tv_type->setHeaderHidden(true);
    tv_type->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree = new LazyTree(
        tv_type, [this](int parentId) { return m_dict.GetList("goodsType", parentId); }, "uname");
    auto* treeMenu = new QMenu(this);
    treeMenu->addAction(QStringLiteral("新增类别"), this, &frmGoods::addnew_type);
    connect(tv_type, &QTreeWidget::customContextMenuRequested, this,
            [this, treeMenu](const QPoint& p) { treeMenu->popup(tv_type->viewport()->mapToGlobal(p)); });
    connect(tv_type, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        m_tree->LoadChildNodes(node);
        btn_search();
    });
    auto* typeManage = NamedButton("btn_goodsTypeMg", "类别管理");
    connect(typeManage, &QPushButton::clicked, this, &frmGoods::btn_goodsTypeMg);
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(tv_type, 1);
    leftLayout->addWidget(typeManage);

    // search and list
    txt_KeyWord = NamedEdit("txt_KeyWord");
    txt_KeyWord->installEventFilter(this);
    auto* search = NamedButton("btn_search", "查询");
    connect(search, &QPushButton::clicked, this, &frmGoods::btn_search);
    lab_count = new QLabel(QStringLiteral("找到[0]条信息"));
    lab_count->setObjectName("lab_count");
    auto* check = NamedButton("btn_check", "选中");
    auto* invert = NamedButton("btn_invert", "反选");
    auto* checkDel = NamedButton("btn_checkdel", "删除选中");
    connect(check, &QPushButton::clicked, this, &frmGoods::CheckSelected);
    connect(invert, &QPushButton::clicked, this, &frmGoods::InvertSelected);
    connect(checkDel, &QPushButton::clicked, this, &frmGoods::btn_checkdel);
    auto* searchRow = new QHBoxLayout;
    searchRow->addWidget(new QLabel(QStringLiteral("关键字:")));
    searchRow->addWidget(txt_KeyWord, 1);
    searchRow->addWidget(search);
    searchRow->addWidget(lab_count);
    searchRow->addSpacing(12);
    searchRow->addWidget(check);
    searchRow->addWidget(invert);
    searchRow->addWidget(checkDel);
    vsGoodsList = new QTableWidget;
    vsGoodsList->setObjectName("vsGoodsList");
    connect(vsGoodsList, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow) {
        if (row != previousRow) ShowGoods(row);
    });
    vsGoodsList->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* listMenu = new QMenu(this);
    listMenu->addAction(QStringLiteral("删除"), this, &frmGoods::btn_GoodsDelete);
    listMenu->addAction(QStringLiteral("库位库存"), this, &frmGoods::ShowLocationStock)
        ->setObjectName("menu_locstock");
    connect(vsGoodsList, &QTableWidget::customContextMenuRequested, this,
            [this, listMenu](const QPoint& p) { listMenu->popup(vsGoodsList->viewport()->mapToGlobal(p)); });

    // goods fields
    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    txt_goodsCode = NamedEdit("txt_goodsCode");
    txt_goodsName = NamedEdit("txt_goodsName");
    txt_goodsDesc = NamedEdit("txt_goodsDesc");
    cobo_goodsTypeName = new QComboBox;
    cobo_goodsTypeName->setObjectName("cobo_goodsTypeName");
    cobo_status = new QComboBox;
    cobo_status->setObjectName("cobo_status");
    cobo_status->addItems({"启用", "替代", "禁用"});
    txt_upqty = NamedEdit("txt_upqty");
    txt_downqty = NamedEdit("txt_downqty");
    txt_goodsDetailCode = NamedEdit("txt_goodsDetailCode");
    txt_unit = NamedEdit("txt_unit");
    txt_packQty = NamedEdit("txt_packQty");
    txt_weight = NamedEdit("txt_weight");
    txt_inPrice = NamedEdit("txt_inPrice");
    txt_salePrice = NamedEdit("txt_salePrice");
    chk_lotTracked = new QCheckBox(QStringLiteral("按批次管理"));
    chk_lotTracked->setObjectName("chk_lotTracked");
    txt_shelfLifeDays = NamedEdit("txt_shelfLifeDays");
    txt_shelfLifeDays->setPlaceholderText(QStringLiteral("0 为不限"));
    for (QLineEdit* e :
         {txt_upqty, txt_downqty, txt_packQty, txt_weight, txt_inPrice, txt_salePrice, txt_shelfLifeDays})
        e->setProperty("numeric", true);
    auto* grid = new QGridLayout;
    const std::pair<const char*, QWidget*> cells[] = {
        {"货品编码:", txt_goodsCode}, {"货品名称:", txt_goodsName},   {"货品类别:", cobo_goodsTypeName},
        {"状态:", cobo_status},       {"描述:", txt_goodsDesc},       {"库存上限:", txt_upqty},
        {"库存下限:", txt_downqty},   {"条码:", txt_goodsDetailCode}, {"单位:", txt_unit},
        {"内装数:", txt_packQty},     {"重量:", txt_weight},          {"进货价:", txt_inPrice},
        {"销售价:", txt_salePrice},   {"批次:", chk_lotTracked},      {"保质期天数:", txt_shelfLifeDays}};
    int i = 0;
    for (const auto& [label, w] : cells) {
        grid->addWidget(new QLabel(QString::fromUtf8(label)), i / 3, (i % 3) * 2);
        grid->addWidget(w, i / 3, (i % 3) * 2 + 1);
        w->installEventFilter(this);
        ++i;
    }
    grid->addWidget(new QLabel(QStringLiteral("(单位和内装数必填)")), i / 3, (i % 3) * 2, 1, 2);
    for (int c : {1, 3, 5})
        grid->setColumnStretch(c, 1);
    auto* goodsButtons = new QHBoxLayout;
    goodsButtons->addStretch();
    for (auto [name, text, slot] : {std::tuple{"btn_GoodsAdd", "新建", &frmGoods::btn_GoodsAdd},
                                    std::tuple{"btn_GoodsCopy", "复制", &frmGoods::btn_GoodsCopy},
                                    std::tuple{"btn_GoodsSave", "保存", &frmGoods::btn_GoodsSave},
                                    std::tuple{"btn_GoodsDelete", "删除", &frmGoods::btn_GoodsDelete}}) {
        QPushButton* b = NamedButton(name, text);
        connect(b, &QPushButton::clicked, this, slot);
        goodsButtons->addWidget(b);
    }
    auto* goodsBox = new QGroupBox(QStringLiteral("货品资料"));
    auto* goodsLayout = new QVBoxLayout(goodsBox);
    goodsLayout->addLayout(grid);
    goodsLayout->addLayout(goodsButtons);

    // packaging units
    vsflg_Detail = new QTableWidget;
    vsflg_Detail->setObjectName("vsflg_Detail");
    detailGrid = new uvg(this);
    auto* detailButtons = new QHBoxLayout;
    detailButtons->addWidget(new QLabel(QStringLiteral("包装单位")));
    detailButtons->addStretch();
    for (auto [name, text, slot] : {std::tuple{"btn_addBarCode", "新增", &frmGoods::btn_addBarCode},
                                    std::tuple{"btn_setDefault", "默认", &frmGoods::btn_setDefault},
                                    std::tuple{"btn_DetailDelete", "删除", &frmGoods::btn_DetailDelete},
                                    std::tuple{"btn_DetailSave", "保存", &frmGoods::btn_DetailSave}}) {
        QPushButton* b = NamedButton(name, text);
        connect(b, &QPushButton::clicked, this, slot);
        detailButtons->addWidget(b);
    }
    auto* detailBox = new QWidget;
    auto* detailLayout = new QVBoxLayout(detailBox);
    detailLayout->setContentsMargins(0, 0, 0, 0);
    detailLayout->addLayout(detailButtons);
    detailLayout->addWidget(vsflg_Detail, 1);

    // the list above the goods' fields and their packaging units side by side:
    // on a 1366 x 768 screen the list keeps room for eight rows and more
    auto* right = new QSplitter(Qt::Vertical);
    auto* listBox = new QWidget;
    auto* listLayout = new QVBoxLayout(listBox);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->addLayout(searchRow);
    listLayout->addWidget(vsGoodsList, 1);
    auto* fieldsAndUnits = new QSplitter;
    fieldsAndUnits->addWidget(goodsBox);
    fieldsAndUnits->addWidget(detailBox);
    fieldsAndUnits->setStretchFactor(0, 3);
    fieldsAndUnits->setStretchFactor(1, 2);
    right->addWidget(listBox);
    right->addWidget(fieldsAndUnits);
    right->setStretchFactor(0, 1);
    LayOutForm(this, toolbar, {left, right}, 4);
    resize(1300, 640);

    setDgColForList();
    setDgColForDetail();
    detailGrid->init(vsflg_Detail, 0);
    detailGrid->setEnterMovesOn(true);
    FillCategoryList(cobo_goodsTypeName, kCategoriesSql);
    ClearForm();
    m_tree->Reset(QStringLiteral("货品类别"), "book");
    btn_search();
}

void frmGoods::setDgColForList() {
    vsGoodsList->setColumnCount(lcCount);
    vsGoodsList->setHorizontalHeaderLabels({"序号", "选中", "ID", "状态", "货品编码", "货品名称", "规格",
                                            "货品类别", "库存上限", "库存下限", "创建人", "创建时间"});
    vsGoodsList->setColumnHidden(lcId, true);
    vsGoodsList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vsGoodsList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vsGoodsList->verticalHeader()->hide();
    vsGoodsList->setAlternatingRowColors(true);
    const int widths[] = {44, 40, 40, 70, 100, 170, 120, 90, 70, 70, 70, 90};
    for (int c = 0; c < lcCount; ++c)
        vsGoodsList->setColumnWidth(c, widths[c]);
}

void frmGoods::setDgColForDetail() {
    vsflg_Detail->setColumnCount(dcCount);
    vsflg_Detail->setHorizontalHeaderLabels(
        {"序号", "选中", "ID", "isDefault", "默认", "条码", "单位", "内装数", "重量", "进价", "销售价"});
    for (int c : {dcCheck, dcId, dcIsDefault})
        vsflg_Detail->setColumnHidden(c, true);
    for (int c : {dcNo, dcDefault}) {
        auto* head = vsflg_Detail->horizontalHeaderItem(c);
        head->setData(Qt::UserRole, "readonly");
    }
    vsflg_Detail->verticalHeader()->hide();
    const int widths[] = {44, 40, 40, 40, 44, 130, 70, 70, 70, 80, 80};
    for (int c = 0; c < dcCount; ++c)
        vsflg_Detail->setColumnWidth(c, widths[c]);
}

int frmGoods::currentId() const {
    return static_cast<int>(number(txt_id->text()));
}

void frmGoods::btn_search() {
    ConditionSet c;
    const QTreeWidgetItem* node = tv_type->currentItem();
    if (node && NodeId(node) > 0)
        c.AddItem("1", m_condition("goodsTypeId", "in", Raw(GetSubIds(NodeId(node), "tb_dictionary", "Id"))));
    if (!txt_KeyWord->text().trimmed().isEmpty())
        c.AddItem("2", m_condition("goodsCode&goodsName&pinyin", "like", txt_KeyWord->text()));
    const m_recordSet found = m_head.GetListForCondition(
        c, "select 0,id,status,goodsCode,goodsName,goodsDesc,goodsTypeName,upqty,downqty,creator,"
           "format(createTime,'yyyy-MM-dd') ");
    m_lastConditions = c;
    const QSignalBlocker block(vsGoodsList);
    FillListGrid(vsGoodsList, found.recordSet);
    for (int r = 0; r < vsGoodsList->rowCount(); ++r)
        if (QTableWidgetItem* item = vsGoodsList->item(r, lcStatus)) item->setIcon(StatusIcon(item->text()));
    lab_count->setText(QStringLiteral("找到[%1]条信息").arg(found.recordCount));
}

void frmGoods::ShowGoods(int row) {
    const QString id = CellText(vsGoodsList, row, lcId);
    if (IsBlank(id)) {
        ClearForm();
        vsflg_Detail->setRowCount(0);
        return;
    }
    ShowGoodsById(id.toInt());
}

void frmGoods::ShowGoodsById(int id) {
    ClearForm();
    vsflg_Detail->setRowCount(0);
    const m_goods_head h = m_head.GetModel(id);
    if (h.id == 0) return refuse(QStringLiteral("当前货品信息不存在!"));
    txt_id->setText(QString::number(h.id));
    txt_goodsCode->setText(h.goodsCode);
    txt_goodsName->setText(h.goodsName);
    txt_goodsDesc->setText(h.goodsDesc);
    ShowCategory(cobo_goodsTypeName, h.goodsTypeId, h.goodsTypeName);
    cobo_status->setCurrentText(h.status);
    txt_upqty->setText(acc::numberQText(h.upqty));
    txt_downqty->setText(acc::numberQText(h.downqty));
    chk_lotTracked->setChecked(h.lotTracked != 0);
    txt_shelfLifeDays->setText(h.shelfLifeDays > 0 ? QString::number(h.shelfLifeDays) : QString());
    Load_GoodsDetailData(h.id);
    const m_goods_detail d = m_detail.GetModelForDefault(h.id);
    if (d.id > 0) {
        txt_goodsDetailCode->setText(d.goodsDetailCode);
        txt_unit->setText(d.unit);
        txt_packQty->setText(acc::numberQText(d.packQty));
        txt_weight->setText(acc::numberQText(d.weight));
        txt_inPrice->setText(acc::numberQText(d.inPrice));
        txt_salePrice->setText(acc::numberQText(d.salePrice));
    }
}

void frmGoods::Load_GoodsDetailData(int headId) {
    ConditionSet c;
    c.AddItem("1", m_condition("headId", "=", Raw(QString::number(headId))));
    const m_recordSet found = m_detail.GetListForCondition(
        c,
        "select 0,id,isDefault,isDefault as flgIco,goodsDetailCode,unit,packQty,weight,inPrice,salePrice  ");
    FillListGrid(vsflg_Detail, found.recordSet);
    for (int r = 0; r < vsflg_Detail->rowCount(); ++r) {
        QTableWidgetItem* flag = vsflg_Detail->item(r, dcDefault);
        if (!flag) continue;
        if (CellText(vsflg_Detail, r, dcIsDefault) == "1") flag->setIcon(KeyIcon("ok.ico"));
        flag->setText(QString());
        flag->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        vsflg_Detail->item(r, dcNo)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    }
}

void frmGoods::paintRequired() {
    PaintRequired({txt_goodsCode, txt_goodsName, cobo_goodsTypeName, cobo_status, txt_unit});
}

void frmGoods::ClearForm() {
    for (QLineEdit* e :
         {txt_id, txt_goodsCode, txt_goodsName, txt_goodsDesc, txt_upqty, txt_downqty, txt_goodsDetailCode,
          txt_unit, txt_weight, txt_inPrice, txt_salePrice, txt_shelfLifeDays})
        e->clear();
    chk_lotTracked->setChecked(false);
    DropExtraCategory(cobo_goodsTypeName);
    if (cobo_goodsTypeName->count() > 0) cobo_goodsTypeName->setCurrentIndex(0);
    if (cobo_status->count() > 0) cobo_status->setCurrentIndex(0);
    txt_packQty->setText("1");
    paintRequired();
}

void frmGoods::btn_GoodsAdd() {
    ClearForm();
    vsflg_Detail->setRowCount(0);
    txt_goodsCode->setFocus();
}

void frmGoods::btn_GoodsCopy() {
    txt_id->clear();
    txt_goodsCode->clear();
    vsflg_Detail->setRowCount(0);
    txt_goodsCode->setFocus();
}

void frmGoods::refuse(const QString& text, QWidget* focus) {
    Refuse(this, text, focus);
}

void frmGoods::btn_GoodsSave() {
    if (txt_goodsCode->text().trimmed().isEmpty())
        return refuse(QStringLiteral("货品编码不能为空!"), txt_goodsCode);
    if (txt_goodsName->text().trimmed().isEmpty())
        return refuse(QStringLiteral("货品名称不能为空!"), txt_goodsName);
    if (cobo_goodsTypeName->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("货品类别不能为空!"), cobo_goodsTypeName);
    if (txt_unit->text().trimmed().isEmpty()) return refuse(QStringLiteral("单位不能为空!"), txt_unit);
    double up = 0, down = 0, packQty = 0, weight = 0, inPrice = 0, salePrice = 0;
    const std::tuple<QLineEdit*, const char*, double*> numbers[] = {
        {txt_upqty, "库存上限", &up},      {txt_downqty, "库存下限", &down},
        {txt_packQty, "内装数", &packQty}, {txt_weight, "重量", &weight},
        {txt_inPrice, "进货价", &inPrice}, {txt_salePrice, "销售价", &salePrice}};
    for (const auto& [edit, label, value] : numbers) {
        const std::optional<double> v = NumberFieldValue(edit->text());
        if (!v) return refuse(NotANumberMessage(QString::fromUtf8(label)), edit);
        *value = *v;
    }
    if (packQty < 1) return refuse(QStringLiteral("内装数不能小于1!"), txt_packQty);
    const std::optional<int> shelfLife = ShelfLifeDays(txt_shelfLifeDays->text());
    if (!shelfLife) return refuse(QStringLiteral("保质期天数必须是不小于0的整数!"), txt_shelfLifeDays);
    const QString limits = CheckStockLimits(down, up);
    if (!limits.isEmpty()) return refuse(limits, txt_downqty);
    const int formId = currentId();
    const m_goods_head stored = formId > 0 ? m_head.GetModel(formId) : m_goods_head();
    const int typeId = ChosenCategoryId(cobo_goodsTypeName);
    const QString category =
        CheckCategoryChoice("goodsType", typeId, stored.goodsTypeId, QStringLiteral("货品类别"));
    if (!category.isEmpty()) return refuse(category, cobo_goodsTypeName);
    ConditionSet same;
    same.AddItem("1", m_condition("goodsCode", "=", txt_goodsCode->text()));
    same.AddItem("2", m_condition("id", "<>", Raw(QString::number(formId))));
    if (m_head.GetListForCondition(same).recordCount > 0)
        return refuse(QStringLiteral("货品编码[%1]存在,请重新输入!").arg(txt_goodsCode->text()),
                      txt_goodsCode);
    if (!MsgBox::Confirm(QStringLiteral("确定保存当前货品?"), windowTitle())) return;

    // only new or changed codes join the check against the stored ones
    const QString code = txt_goodsCode->text().trimmed();
    const QString barcode = txt_goodsDetailCode->text().trimmed();
    QString codes;
    if (formId <= 0) {
        codes += GoodsCodeUnion(code);
        if (!barcode.isEmpty()) codes += GoodsCodeUnion(barcode);
    } else {
        if (code != stored.goodsCode.trimmed()) codes += GoodsCodeUnion(code);
        if (!barcode.isEmpty() && barcode != m_detail.GetModelForDefault(formId).goodsDetailCode.trimmed())
            codes += GoodsCodeUnion(barcode);
    }
    const m_DBresult check = check_GoodsCode(codes);
    if (!check.isResult) return refuse(check.str_MsgBox);

    m_goods_head h;
    h.id = formId >= 1
               ? formId
               : static_cast<int>(number(acc::valueText(sqlHelper::DMax("id", "tb_goods_head", "")))) + 1;
    h.goodsCode = txt_goodsCode->text();
    h.goodsName = txt_goodsName->text();
    h.pinyin = GetPinyinInitials(h.goodsName);
    h.goodsDesc = txt_goodsDesc->text();
    h.goodsTypeId = typeId; // by id: the entry may have been renamed or disabled since
    h.downqty = down;
    h.upqty = up;
    h.lotTracked = chk_lotTracked->isChecked() ? 1 : 0;
    h.shelfLifeDays = *shelfLife;
    h.status = cobo_status->currentText();
    h.creator = h.updateLastUser = CurrentUser().user;
    h.createTime = h.updateLastTime = FormatNow("yyyy-MM-dd hh:mm:ss");
    m_goods_detail d = m_detail.GetModelForDefault(h.id);
    if (d.id < 1)
        d.id = static_cast<int>(number(acc::valueText(sqlHelper::DMax("id", "tb_goods_detail", "")))) + 1;
    d.headId = h.id;
    d.isDefault = 1;
    d.goodsDetailCode = txt_goodsDetailCode->text();
    d.unit = txt_unit->text();
    d.packQty = packQty;
    d.weight = weight;
    d.inPrice = inPrice;
    d.salePrice = salePrice;
    m_DBresult r;
    if (formId > 0) {
        if (!CheckFunction(m_funCode::goodsInfor_update(), true)) return;
        r = m_head.Update(h, d);
    } else {
        if (!CheckFunction(m_funCode::goodsInfor_save(), true)) return;
        r = m_head.Add(h, d);
    }
    if (!r.isResult) return refuse(r.str_MsgBox);
    btn_search();
    {
        const QSignalBlocker block(vsGoodsList);
        SelectRowByText(vsGoodsList, lcId, QString::number(h.id));
    }
    ShowGoodsById(h.id); // the form holds the stored goods, also when the list does not show it
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

void frmGoods::btn_GoodsDelete() {
    const int id = currentId();
    if (id <= 0) return;
    if (!CheckFunction(m_funCode::goodsInfor_delete(), true)) return;
    if (!MsgBox::Confirm(QStringLiteral("删除后将不能恢复,确定删除当前货品?"), windowTitle())) return;
    KeyValue batch;
    SqlParams p;
    p.AddItem("@goodsId", id);
    batch.AddItem(
        "select '当前货品在入库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from tb_rk_detail where "
        "goodsId=@goodsId",
        p);
    batch.AddItem(
        "select '当前货品在出库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from tb_ck_detail where "
        "goodsId=@goodsId",
        p);
    batch.AddItem("select '当前货品在盘点表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_stocktake_detail where goodsId=@goodsId",
                  p);
    batch.AddItem("select '当前货品在调拨表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_transfer_detail where goodsId=@goodsId",
                  p);
    const FkCheckResult fk = sqlHelper::CheckFkUsage(batch);
    if (!fk.isResult) return refuse(fk.str_MsgBox);
    const m_DBresult r = m_head.Delete(id);
    if (!r.isResult) return refuse(r.str_MsgBox);
    btn_search();
    ClearForm();
    vsflg_Detail->setRowCount(0);
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}

void frmGoods::btn_addBarCode() {
    if (!detailGrid->AddRow()) return;
    const int row = vsflg_Detail->rowCount() - 1;
    const QColor c = QColor::fromRgb(SysVar().Sys_NotNullColor);
    for (int col : {dcUnit, dcPackQty})
        vsflg_Detail->item(row, col)->setBackground(c);
    for (int col : {dcNo, dcDefault})
        vsflg_Detail->item(row, col)->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    vsflg_Detail->item(row, dcIsDefault)->setText("0");
    NumberGridRows(vsflg_Detail, 0, vsflg_Detail->rowCount() - 1, dcNo, -1, 1);
}

void frmGoods::btn_setDefault() {
    const int id = currentId();
    if (id <= 0) return refuse(QStringLiteral("当前货品信息未保存,不能设置默认单位!"));
    const int row = vsflg_Detail->currentRow();
    const int detailId = static_cast<int>(number(CellText(vsflg_Detail, row, dcId)));
    if (row < 0 || detailId < 1) return refuse(QStringLiteral("请先保存该包装单位后,才能设置默认单位!"));
    const m_DBresult r = m_detail.Update_Default(id, detailId);
    if (!r.isResult) return refuse(r.str_MsgBox);
    ShowGoodsById(id);
    MsgBox::Show(QStringLiteral("设置成功!"), MsgBox::Information, windowTitle());
}

void frmGoods::btn_DetailDelete() {
    if (currentId() <= 0) return refuse(QStringLiteral("当前货品信息未保存,不能设置默认单位!"));
    const int row = vsflg_Detail->currentRow();
    if (row < 0) return;
    if (CellText(vsflg_Detail, row, dcIsDefault) == "1")
        return refuse(QStringLiteral("默认包装单位,不能删除!"));
    const int detailId = static_cast<int>(number(CellText(vsflg_Detail, row, dcId)));
    if (detailId > 0) {
        const m_DBresult r = m_detail.Delete(detailId);
        if (!r.isResult) return refuse(r.str_MsgBox);
    }
    vsflg_Detail->removeRow(row);
    NumberGridRows(vsflg_Detail, 0, vsflg_Detail->rowCount() - 1, dcNo, -1, 1);
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}

void frmGoods::btn_DetailSave() {
    const int id = currentId();
    if (id <= 0) return refuse(QStringLiteral("当前货品信息未保存,不能保存包装单位!"));
    const std::pair<int, double m_goods_detail::*> numberCells[] = {
        {dcPackQty, &m_goods_detail::packQty},
        {dcWeight, &m_goods_detail::weight},
        {dcInPrice, &m_goods_detail::inPrice},
        {dcSalePrice, &m_goods_detail::salePrice}};
    std::vector<m_goods_detail> gridRows;
    for (int r = 0; r < vsflg_Detail->rowCount(); ++r) {
        m_goods_detail d;
        d.id = static_cast<int>(number(CellText(vsflg_Detail, r, dcId))); // the stored unit, 0 for a new row
        d.headId = id;
        d.rowNo = static_cast<int>(number(CellText(vsflg_Detail, r, dcNo)));
        d.isDefault = static_cast<int>(number(CellText(vsflg_Detail, r, dcIsDefault)));
        d.goodsDetailCode = CellText(vsflg_Detail, r, dcCode);
        d.unit = CellText(vsflg_Detail, r, dcUnit);
        for (const auto& [column, field] : numberCells) {
            const std::optional<double> v = NumberFieldValue(CellText(vsflg_Detail, r, column));
            if (!v) {
                vsflg_Detail->setCurrentCell(r, column);
                return refuse(QStringLiteral("第%1行").arg(r + 1) +
                              NotANumberMessage(vsflg_Detail->horizontalHeaderItem(column)->text()));
            }
            d.*field = *v;
        }
        gridRows.push_back(d);
    }
    const GoodsUnitsToSave units = SelectUnitsToSave(gridRows);
    if (!units.refusal.isEmpty()) return refuse(units.refusal);
    if (!MsgBox::Confirm(QStringLiteral("确定保存当前货品包装单位?"), windowTitle())) return;
    if (units.rows.size() > 30)
        return refuse(QStringLiteral("最多只能保存30个包装单位,请适当调整到30个包装单位!"));
    int nextId = static_cast<int>(number(acc::valueText(sqlHelper::DMax("id", "tb_goods_detail", "")))) + 1;
    GoodsDetailStatements statements;
    QString codes;
    std::vector<std::pair<int, QString>> changed;
    for (m_goods_detail d : units.rows) {
        const int storedId = d.id;
        d.id = nextId++; // every unit is stored again under a new id
        statements.AddItem(QString::number(d.id) + "|" + kGoodsDetailInsert, d);
        const QString barcode = d.goodsDetailCode.trimmed();
        if (barcode.isEmpty()) continue;
        if (storedId > 0)
            changed.emplace_back(storedId, barcode);
        else
            codes += GoodsCodeUnion(barcode);
    }
    const m_DBresult check = check_GoodsCode(codes, changed);
    if (!check.isResult) return refuse(check.str_MsgBox);
    const m_DBresult r = m_detail.Batch_Update(id, statements);
    if (!r.isResult) return refuse(r.str_MsgBox);
    ShowGoodsById(id);
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

void frmGoods::btn_goodsTypeMg() {
    if (!CheckFunction(m_funCode::dictionary())) return; // as the menu's 数据字典
    if (auto* dict = WindowRegistry::OpenAs<frm_dictionary>("frm_dictionary")) {
        dict->init(0);
        connect(dict, &frm_dictionary::closed, this, &frmGoods::ReloadCategories, Qt::UniqueConnection);
    }
}

void frmGoods::ReloadCategories() {
    const int chosen = cobo_goodsTypeName->currentData().toInt();
    FillCategoryList(cobo_goodsTypeName, kCategoriesSql);
    ShowCategory(cobo_goodsTypeName, chosen, QString());
    m_tree->Reload(QStringLiteral("货品类别"), "book");
}

void frmGoods::addnew_type() {
    QTreeWidgetItem* node = tv_type->currentItem();
    if (!node) return refuse(QStringLiteral("请选择父节点!"));
    for (;;) {
        const std::optional<QString> answer =
            MsgBox::Input(QStringLiteral("请输入货品类别名称:"), QStringLiteral("新增货品类别"));
        if (!answer || answer->trimmed().isEmpty()) return;
        ConditionSet c;
        c.AddItem("1", m_condition("utype", "=", QString("goodsType")));
        c.AddItem("2", m_condition("uname", "=", *answer));
        if (m_dict.GetListForCondition(c).recordCount > 0) {
            refuse(QStringLiteral("货品类别[%1]存在,请重新输入!").arg(*answer));
            continue;
        }
        const int parentId = NodeId(node);
        if (parentId > 32767) return refuse(QStringLiteral("父节点编号超出范围(最大 32767),请重新选择!"));
        m_dictionary m;
        m.id = static_cast<int>(number(acc::valueText(sqlHelper::DMax("id", "tb_dictionary", "")))) + 1;
        m.utype = "goodsType";
        m.uname = *answer;
        m.parentId = static_cast<qint16>(parentId);
        m.isstart = 1;
        m_dict.Add(m);
        if (node->childCount() > 0 || NodeKey(node) == "key_0")
            node->addChild(NewNode("key_" + QString::number(m.id), m.uname, "open"));
        else
            m_tree->LoadChildNodes(node);
        AddCategoryItem(cobo_goodsTypeName, m.id, m.uname);
        if (currentId() <= 0) // a goods already stored keeps its category
            cobo_goodsTypeName->setCurrentIndex(cobo_goodsTypeName->findData(m.id));
        return;
    }
}

void frmGoods::CheckSelected() {
    for (const QModelIndex& index : vsGoodsList->selectionModel()->selectedRows())
        if (QTableWidgetItem* item = vsGoodsList->item(index.row(), lcCheck))
            item->setCheckState(Qt::Checked);
}

void frmGoods::InvertSelected() {
    for (const QModelIndex& index : vsGoodsList->selectionModel()->selectedRows())
        if (QTableWidgetItem* item = vsGoodsList->item(index.row(), lcCheck))
            item->setCheckState(item->checkState() == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void frmGoods::btn_checkdel() {
    const QSignalBlocker block(vsGoodsList);
    for (int r = vsGoodsList->rowCount() - 1; r >= 0; --r)
        if (IsRowChecked(vsGoodsList, r)) vsGoodsList->removeRow(r);
    NumberGridRows(vsGoodsList, 0, vsGoodsList->rowCount() - 1, lcNo, -1, 1);
}

void frmGoods::ShowLocationStock() {
    const QString code = txt_goodsCode->text().trimmed();
    if (currentId() <= 0 || code.isEmpty()) return refuse(QStringLiteral("当前记录不存在!"));
    if (!CheckFunction(m_funCode::rpt_locstock())) return;
    if (QWidget* report = WindowRegistry::Open("frm_rpt_locStock"))
        QMetaObject::invokeMethod(report, "ShowGoods", Q_ARG(QString, code));
}

void frmGoods::PrintBarcode() {
    // the ticked goods, or the one in the form when none is ticked
    QList<int> ids;
    for (int r = 0; r < vsGoodsList->rowCount(); ++r)
        if (IsRowChecked(vsGoodsList, r)) ids << CellText(vsGoodsList, r, lcId).toInt();
    if (ids.isEmpty() && currentId() > 0) ids << currentId();
    if (ids.isEmpty()) {
        MsgBox::Show(QStringLiteral("请先选中要打印标签的货品!"), MsgBox::Exclamation, windowTitle());
        return;
    }
    PrintGoodsLabels(ids, windowTitle());
}

bool frmGoods::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        const QString t = key->text();
        if (watched == txt_KeyWord) {
            if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
                btn_search();
                return true;
            }
            return !t.isEmpty() && FilterQuoteKey(t.at(0).unicode()) == 0;
        }
        if (watched->property("numeric").toBool() && !t.isEmpty() && t.at(0).isPrint() &&
            FilterNumberKey(t.at(0).unicode()) == 0)
            return true;
        if (KeyNavigate(key->key(), false, false)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

ImportKind GoodsImportKind() {
    ImportKind kind;
    kind.title = QStringLiteral("导入货品");
    kind.sheetName = QStringLiteral("货品");
    kind.columns = GoodsImportColumns();
    kind.check = [](ImportSheet& sheet, ImportMode mode) { CheckGoodsImport(sheet, mode); };
    kind.write = [](ImportSheet& sheet, ImportMode mode, const ImportProgress& progress) {
        return WriteGoodsImport(sheet, mode, CurrentUser().user, progress);
    };
    kind.done = [](const ImportOutcome& o) {
        return QStringLiteral("新增 %1 个货品, 更新 %2 个货品, 共 %3 个包装单位")
            .arg(o.added)
            .arg(o.updated)
            .arg(o.units);
    };
    return kind;
}

void frmGoods::btn_Import() {
    if (!CheckFunction(m_funCode::goodsInfor_import())) return;
    ImportDialog dialog(GoodsImportKind(), this);
    if (RunModal(&dialog) != QDialog::Accepted || dialog.outcome().ids.empty()) return;
    // the list shows what came in: the first goods of the file chosen
    ReloadCategories(); // with the categories the file made
    btn_search();
    const int first = dialog.outcome().ids.front();
    {
        const QSignalBlocker block(vsGoodsList);
        SelectRowByText(vsGoodsList, lcId, QString::number(first));
    }
    ShowGoodsById(first);
}
