#include "frm_customer.h"

#include "access/funcode.h"
#include "access/user.h"
#include "categorylist.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "frm_dictionary.h"
#include "numbering/billno.h"
#include "master/partnerimport.h"
#include "output/xlsxexport.h"
#include "pinyin.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/lazytree.h"
#include "ui/importdialog.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/spreadsheetexport.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QComboBox>
#include <QDate>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {
const char* const kCategoriesSql =
    "select id,uname  from tb_dictionary where (utype='customerType') and (isstart=1) order by id,orderby";
} // namespace

frm_customer::frm_customer(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_customer");
    setWindowTitle(QStringLiteral("往来单位"));

    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add", "新建", "新", QColor(46, 139, 87), &frm_customer::AddCustomer);
    AddToolAction(toolbar, this, "copy", "复制", "复", QColor(120, 90, 170), &frm_customer::CopyCustomer);
    AddToolAction(toolbar, this, "save", "保存", "存", QColor(38, 120, 190), &frm_customer::SaveCustomer);
    AddToolAction(toolbar, this, "delete", "删除", "删", QColor(190, 60, 60), &frm_customer::DeleteCustomer);
    exportAction = AddToolAction(toolbar, this, "export", "导出", "导", QColor(200, 120, 30), [this] {
        if (!CheckFunction(m_funCode::customer_export())) return;
        // tax numbers, bank accounts and telephone numbers stay text
        Export::ExportToSpreadsheet(
            m_dal.GetDataTable(m_lastConditions, true), QStringLiteral("往来单位信息"),
            QStringLiteral("固定类别,自定义类别,编码,往来单位名称,联系人,公司名称,税务号,开户银行,"
                           "开户帐号,地址,电话,Email,传真,状态,创建人,创建时间"),
            "tttttttttttttttd");
    });
    AddToolAction(toolbar, this, "exportForImport", "导出为导入格式", "格", QColor(200, 120, 30), [this] {
        if (!CheckFunction(m_funCode::customer_export())) return;
        ExportInImportForm(QStringLiteral("往来单位"), PartnerImportColumns(), PartnerImportRows(m_lastConditions),
                           windowTitle());
    });
    AddToolAction(toolbar, this, "import", "导入", "入", QColor(60, 140, 160), &frm_customer::ImportCustomers);
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    // tree of kinds or categories
    Opt_treeType[0] = new QRadioButton(QStringLiteral("固定类别"));
    Opt_treeType[0]->setObjectName("Opt_treeType_0");
    Opt_treeType[0]->setProperty("tag", "uType");
    Opt_treeType[1] = new QRadioButton(QStringLiteral("自定义分类"));
    Opt_treeType[1]->setObjectName("Opt_treeType_1");
    Opt_treeType[1]->setProperty("tag", "customType");
    txt_TreeType = NamedEdit("txt_TreeType");
    txt_TreeType->hide();
    for (int i = 0; i < 2; ++i)
        connect(Opt_treeType[i], &QRadioButton::clicked, this, [this, i] { ApplyTreeType(i); });
    tv_type = new QTreeWidget;
    tv_type->setObjectName("tv_type");
    tv_type->setHeaderHidden(true);
    tv_type->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* treeMenu = new QMenu(this);
    treeMenu->addAction(QStringLiteral("刷新"), this, &frm_customer::BuildTree);
    treeMenu->addAction(QStringLiteral("分类管理"), this, &frm_customer::ManageCategories);
    connect(tv_type, &QTreeWidget::customContextMenuRequested, this,
            [this, treeMenu](const QPoint& p) { treeMenu->popup(tv_type->viewport()->mapToGlobal(p)); });
    connect(tv_type, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* node) {
        if (m_tree && txt_TreeType->text() == "customType") m_tree->LoadChildNodes(node);
        Search();
    });
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    auto* options = new QHBoxLayout;
    options->addWidget(Opt_treeType[0]);
    options->addWidget(Opt_treeType[1]);
    leftLayout->addLayout(options);
    leftLayout->addWidget(tv_type, 1);

    // search and list
    const SearchRow search = NewSearchRow(this, [this] { Search(); });
    txt_KeyWord = search.keyword;
    lab_count = search.count;
    QHBoxLayout* searchRow = search.row;
    vsCustomerList = new QTableWidget;
    vsCustomerList->setObjectName("vsCustomerList");
    vsCustomerList->setContextMenuPolicy(Qt::CustomContextMenu);
    listMenu = new QMenu(this);
    listMenu->addAction(QStringLiteral("删除"), this, &frm_customer::DeleteCustomer);
    menuImport = listMenu->addAction(QStringLiteral("入库业务"), this, [this] { StartBill(true); });
    menuExport = listMenu->addAction(QStringLiteral("出库业务"), this, [this] { StartBill(false); });
    connect(vsCustomerList, &QTableWidget::customContextMenuRequested, this, [this](const QPoint& p) {
        const int row = vsCustomerList->currentRow();
        menuImport->setEnabled(CanStartBill(row, true) && WindowRegistry::IsRegistered("frmImport"));
        menuExport->setEnabled(CanStartBill(row, false) && WindowRegistry::IsRegistered("frmExport"));
        listMenu->popup(vsCustomerList->viewport()->mapToGlobal(p));
    });
    connect(vsCustomerList, &QTableWidget::currentCellChanged, this, [this](int row, int, int previousRow) {
        if (row != previousRow) ShowCustomer(row);
    });

    // fields
    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    txt_customerCode = NamedEdit("txt_customerCode");
    txt_customerCode->setReadOnly(true);
    txt_Name = NamedEdit("txt_Name");
    cobo_TypeName = NamedCombo("cobo_TypeName");
    cobo_TypeName->addItems({"客户", "供应商", "两者都是"});
    cobo_CustomTypeName = NamedCombo("cobo_CustomTypeName");
    cobo_status = NamedCombo("cobo_status");
    cobo_status->addItems({"启用", "禁用"});
    txt_contact = NamedEdit("txt_contact");
    txt_companyName = NamedEdit("txt_companyName");
    txt_taxNumber = NamedEdit("txt_taxNumber");
    txt_bankName = NamedEdit("txt_bankName");
    txt_bankAccount = NamedEdit("txt_bankAccount");
    txt_address = NamedEdit("txt_address");
    txt_tel = NamedEdit("txt_tel");
    txt_email = NamedEdit("txt_email");
    txt_fax = NamedEdit("txt_fax");
    txt_creator = NamedEdit("txt_creator");
    txt_creator->setReadOnly(true);
    txt_createTime = NamedEdit("txt_createTime");
    txt_createTime->setReadOnly(true);
    auto* grid = new QGridLayout;
    const std::pair<const char*, QWidget*> cells[] = {{"编号:", txt_customerCode},
                                                      {"名称:", txt_Name},
                                                      {"固定类别:", cobo_TypeName},
                                                      {"自定义分类:", cobo_CustomTypeName},
                                                      {"状态:", cobo_status},
                                                      {"联系人:", txt_contact},
                                                      {"公司名称:", txt_companyName},
                                                      {"税务号:", txt_taxNumber},
                                                      {"开户银行:", txt_bankName},
                                                      {"开户帐号:", txt_bankAccount},
                                                      {"电话:", txt_tel},
                                                      {"传真:", txt_fax},
                                                      {"Email:", txt_email},
                                                      {"地址:", txt_address},
                                                      {"创建人:", txt_creator},
                                                      {"创建时间:", txt_createTime}};
    // four fields a row leave the list room for its rows
    int i = 0;
    for (const auto& [label, w] : cells) {
        grid->addWidget(new QLabel(QString::fromUtf8(label)), i / 4, (i % 4) * 2);
        grid->addWidget(w, i / 4, (i % 4) * 2 + 1);
        w->installEventFilter(this);
        ++i;
    }
    for (int c : {1, 3, 5, 7})
        grid->setColumnStretch(c, 1);

    LayOutForm(this, toolbar, {left, StackedPane({{searchRow, 0}, {vsCustomerList, 1}, {grid, 0}})}, 4);
    resize(1200, 640);

    setDgColForList();
    ClearForm();
    FillCategoryList(cobo_CustomTypeName, kCategoriesSql);
    ClearForm();
    Opt_treeType[0]->setChecked(true);
    ApplyTreeType(0);
}

void frm_customer::setDgColForList() {
    vsCustomerList_init();
}

void frm_customer::vsCustomerList_init() {
    vsCustomerList->setColumnCount(colCount);
    vsCustomerList->setHorizontalHeaderLabels({"序号", "选中", "ID", "状态", "类别", "自定义分类", "编码",
                                               "往来单位名称", "联系人", "电话", "传真", "地址", "公司名称",
                                               "创建人", "创建时间"});
    vsCustomerList->setColumnHidden(colId, true);
    vsCustomerList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    vsCustomerList->setSelectionBehavior(QAbstractItemView::SelectRows);
    vsCustomerList->verticalHeader()->hide();
    vsCustomerList->setAlternatingRowColors(true);
    const int widths[] = {44, 40, 40, 70, 70, 90, 110, 180, 70, 110, 100, 200, 180, 70, 90};
    for (int c = 0; c < colCount; ++c)
        vsCustomerList->setColumnWidth(c, widths[c]);
}

void frm_customer::ApplyTreeType(int option) {
    txt_TreeType->setText(Opt_treeType[option]->property("tag").toString());
    BuildTree();
    Search();
}

void frm_customer::BuildTree() {
    if (txt_TreeType->text() == "customType") {
        if (!m_tree)
            m_tree = new LazyTree(
                tv_type, [this](int parentId) { return m_dict.GetList("customerType", parentId); }, "uname");
        m_tree->setActive(true);
        m_tree->Reset(QStringLiteral("自定义分类"), "book");
        return;
    }
    if (m_tree) m_tree->setActive(false);
    tv_type->clear();
    QTreeWidgetItem* root = NewNode("key_3", QStringLiteral("固定类别"), "book");
    tv_type->addTopLevelItem(root);
    root->addChild(NewNode("key_0", QStringLiteral("供应商"), "open"));
    root->addChild(NewNode("key_1", QStringLiteral("客户"), "open"));
    root->addChild(NewNode("key_2", QStringLiteral("两者都是"), "open"));
    root->setExpanded(true);
    tv_type->setCurrentItem(root);
}

void frm_customer::Search() {
    ConditionSet c;
    const QTreeWidgetItem* node = tv_type->currentItem();
    const int nodeId = NodeId(node);
    if (txt_TreeType->text() == "customType") {
        if (node && nodeId >= 1)
            c.AddItem("1", m_condition("customType", "in", Raw(GetSubIds(nodeId, "tb_dictionary", "Id"))));
    } else if (node && nodeId < 3) {
        c.AddItem("1", m_condition("utype", "=", Raw(QString::number(nodeId))));
    }
    if (!txt_KeyWord->text().trimmed().isEmpty())
        c.AddItem("2",
                  m_condition("customerCode&uname&pinyin&contact&companyName", "like", txt_KeyWord->text()));
    const m_recordSet found = m_dal.GetListForCondition(
        c, "select "
           "0,id,statusName,utypeName,customTypeName,customerCode,uname,contact,tel,fax,address,companyName,"
           "creator,format(createTime,'yyyy-MM-dd') ");
    m_lastConditions = c;
    const QSignalBlocker block(vsCustomerList);
    FillListGrid(vsCustomerList, found.recordSet);
    for (int r = 0; r < vsCustomerList->rowCount(); ++r)
        if (QTableWidgetItem* item = vsCustomerList->item(r, colStatus))
            item->setIcon(StatusIcon(item->text()));
    lab_count->setText(QStringLiteral("找到[%1]条信息").arg(found.recordCount));
}

void frm_customer::ShowCustomer(int row) {
    const QString id = CellText(vsCustomerList, row, colId);
    if (IsBlank(id)) {
        ClearForm();
        return;
    }
    ShowCustomerById(id.toInt());
}

void frm_customer::ShowCustomerById(int id) {
    ClearForm();
    const m_customer m = m_dal.GetModel(id);
    if (m.id == 0) {
        refuse(QStringLiteral("当前往业单位信息不存在!"));
        return;
    }
    txt_id->setText(QString::number(m.id));
    txt_customerCode->setText(m.customerCode);
    txt_Name->setText(m.uname);
    cobo_TypeName->setCurrentText(m.utypeName);
    cobo_status->setCurrentText(m.statusName);
    ShowCategory(cobo_CustomTypeName, m.customType, m.customTypeName);
    txt_contact->setText(m.contact);
    txt_companyName->setText(m.companyName);
    txt_taxNumber->setText(m.taxNumber);
    txt_bankName->setText(m.bankName);
    txt_bankAccount->setText(m.bankAccount);
    txt_address->setText(m.address);
    txt_tel->setText(m.tel);
    txt_email->setText(m.email);
    txt_fax->setText(m.fax);
    txt_creator->setText(m.creator);
    txt_createTime->setText(acc::format(m.createTime, SysVar().Sys_DateFormat));
}

void frm_customer::paintRequired() {
    PaintRequired({txt_Name, cobo_TypeName, cobo_CustomTypeName, cobo_status});
}

void frm_customer::ClearForm() {
    for (QLineEdit* e :
         {txt_id, txt_customerCode, txt_Name, txt_contact, txt_companyName, txt_taxNumber, txt_bankName,
          txt_bankAccount, txt_address, txt_tel, txt_email, txt_fax, txt_creator, txt_createTime})
        e->clear();
    DropExtraCategory(cobo_CustomTypeName);
    for (QComboBox* c : {cobo_TypeName, cobo_CustomTypeName, cobo_status})
        if (c->count() > 0) c->setCurrentIndex(0);
    paintRequired();
}

void frm_customer::AddCustomer() {
    ClearForm();
    txt_Name->setFocus();
}

void frm_customer::CopyCustomer() {
    txt_id->clear();
    txt_customerCode->clear();
    txt_Name->setFocus();
}

void frm_customer::refuse(const QString& text, QWidget* focus) {
    Refuse(this, text, focus);
}

void frm_customer::SaveCustomer() {
    if (txt_Name->text().trimmed().isEmpty())
        return refuse(QStringLiteral("往来单位名称不能为空!"), txt_Name);
    if (cobo_TypeName->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("类别不能为空!"), cobo_TypeName);
    if (cobo_CustomTypeName->currentText().trimmed().isEmpty())
        return refuse(QStringLiteral("自定义类别不能为空!"), cobo_CustomTypeName);
    const int formId = static_cast<int>(acc::val(txt_id->text()));
    const int typeId = ChosenCategoryId(cobo_CustomTypeName);
    const QString category =
        CheckCategoryChoice("customerType", typeId, formId > 0 ? m_dal.GetModel(formId).customType : 0,
                            QStringLiteral("自定义类别"));
    if (!category.isEmpty()) return refuse(category, cobo_CustomTypeName);
    ConditionSet same;
    same.AddItem("1", m_condition("uname", "=", txt_Name->text()));
    same.AddItem("2", m_condition("id", "<>", Raw(QString::number(formId))));
    if (m_dal.GetListForCondition(same).recordCount > 0 &&
        !MsgBox::Confirm(QStringLiteral("往来单位名称[%1]存在,是否继续保存!").arg(txt_Name->text()),
                         windowTitle())) {
        txt_Name->setFocus();
        return;
    }
    if (!MsgBox::Confirm(QStringLiteral("确定保存当前往来单位?"), windowTitle())) return;
    if (!CheckFunction(formId > 0 ? m_funCode::customer_update() : m_funCode::customer_save(), true)) return;
    int id = formId;
    QString code = txt_customerCode->text();
    if (id < 1) {
        id = static_cast<int>(acc::val(acc::valueText(sqlHelper::DMax("id", "tb_customer", "")))) + 1;
        code = GetBillNo("ct", QDate::currentDate().toString("yyyy-MM-dd"));
    }
    m_customer m;
    m.id = id;
    m.utype = GetTypeId(cobo_TypeName->currentText());
    m.customType = typeId; // by id: the entry may have been renamed or disabled since
    m.customerCode = code;
    m.uname = txt_Name->text();
    m.pinyin = GetPinyinInitials(m.uname);
    m.contact = txt_contact->text();
    m.companyName = txt_companyName->text();
    m.taxNumber = txt_taxNumber->text();
    m.bankName = txt_bankName->text();
    m.bankAccount = txt_bankAccount->text();
    m.address = txt_address->text();
    m.tel = txt_tel->text();
    m.email = txt_email->text();
    m.fax = txt_fax->text();
    m.status = GetStatusId(cobo_status->currentText());
    m.creator = m.updateLastUser = CurrentUser().user;
    m.createTime = m.updateLastTime = FormatNow("yyyy-MM-dd hh:mm:ss");
    m.userId = CurrentUser().id;
    if (formId > 0)
        m_dal.Update(m);
    else
        m_dal.Add(m);
    Search();
    {
        const QSignalBlocker block(vsCustomerList);
        SelectRowByText(vsCustomerList, colId, QString::number(id));
    }
    ShowCustomerById(id); // the form holds the stored partner, also when the list does not show it
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

void frm_customer::DeleteCustomer() {
    const int id = static_cast<int>(acc::val(txt_id->text()));
    if (id <= 0) return;
    if (!CheckFunction(m_funCode::customer_delete(), true)) return;
    if (!MsgBox::Confirm(QStringLiteral("删除后将不能恢复,确定删除当前往来单位?"), windowTitle())) return;
    KeyValue batch;
    SqlParams bySupplier;
    bySupplier.AddItem("@supplierId", id);
    SqlParams byCustomer;
    byCustomer.AddItem("@customerId", id);
    batch.AddItem("select '当前往来单位在入库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_rk_head where "
                  "supplierId=@supplierId",
                  bySupplier);
    batch.AddItem("select '当前往来单位在出库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_ck_head where "
                  "customerId=@customerId",
                  byCustomer);
    const FkCheckResult fk = sqlHelper::CheckFkUsage(batch);
    if (!fk.isResult) return refuse(fk.str_MsgBox);
    const m_DBresult r = m_dal.Delete(id);
    if (!r.isResult) return refuse(r.str_MsgBox);
    Search();
    ClearForm();
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}

bool frm_customer::CanStartBill(int row, bool isImport) const {
    if (row < 0 || acc::val(CellText(vsCustomerList, row, colId)) < 1) return false;
    if (CellText(vsCustomerList, row, colStatus) != QStringLiteral("启用")) return false;
    const QString kind = CellText(vsCustomerList, row, colType);
    return isImport ? kind != QStringLiteral("客户") : kind != QStringLiteral("供应商");
}

void frm_customer::StartBill(bool isImport) {
    const int row = vsCustomerList->currentRow();
    if (!CanStartBill(row, isImport)) return;
    // as the menu's 入库业务 / 出库业务
    if (!CheckFunction(isImport ? m_funCode::import_() : m_funCode::export_())) return;
    QWidget* form = WindowRegistry::Open(isImport ? "frmImport" : "frmExport");
    if (!form) return;
    QMetaObject::invokeMethod(form, "NewBillForPartner",
                              Q_ARG(int, CellText(vsCustomerList, row, colId).toInt()),
                              Q_ARG(QString, CellText(vsCustomerList, row, colName)));
}

void frm_customer::ManageCategories() {
    if (!CheckFunction(m_funCode::dictionary())) return; // as the menu's 数据字典
    if (auto* dict = WindowRegistry::OpenAs<frm_dictionary>("frm_dictionary")) {
        dict->init(5);
        connect(dict, &frm_dictionary::closed, this, &frm_customer::ReloadCategories, Qt::UniqueConnection);
    }
}

void frm_customer::ReloadCategories() {
    const int chosen = cobo_CustomTypeName->currentData().toInt();
    FillCategoryList(cobo_CustomTypeName, kCategoriesSql);
    ShowCategory(cobo_CustomTypeName, chosen, QString());
    if (m_tree && txt_TreeType->text() == "customType") m_tree->Reload(QStringLiteral("自定义分类"), "book");
}

bool frm_customer::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (KeyNavigate(key->key(), false, false)) return true;
    }
    return QWidget::eventFilter(watched, event);
}

void frm_customer::ImportCustomers() {
    if (!CheckFunction(m_funCode::customer_import())) return;
    ImportKind kind;
    kind.title = QStringLiteral("导入往来单位");
    kind.sheetName = QStringLiteral("往来单位");
    kind.columns = PartnerImportColumns();
    kind.check = [](ImportSheet& sheet, ImportMode mode) { CheckPartnerImport(sheet, mode); };
    kind.write = [](ImportSheet& sheet, ImportMode mode, const ImportProgress& progress) {
        return WritePartnerImport(sheet, mode, CurrentUser().user, CurrentUser().id, progress);
    };
    kind.done = [](const ImportOutcome& o) {
        return QStringLiteral("新增 %1 个往来单位, 更新 %2 个往来单位").arg(o.added).arg(o.updated);
    };
    ImportDialog dialog(kind, this);
    if (RunModal(&dialog) != QDialog::Accepted || dialog.outcome().ids.empty()) return;
    Search();
    const int first = dialog.outcome().ids.front();
    {
        const QSignalBlocker block(vsCustomerList);
        SelectRowByText(vsCustomerList, colId, QString::number(first));
    }
    ShowCustomerById(first);
}
