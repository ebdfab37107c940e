#include "frmlocation.h"

#include "numbertext.h"

#include "access/funcode.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/icons.h"
#include "ui/lazytree.h"
#include "ui/listview.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

frmLocation::frmLocation(QWidget* parent) : QWidget(parent) {
    setObjectName("frmLocation");
    setWindowTitle(QStringLiteral("库位信息"));

    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add_location", "新建", "新", QColor(46, 139, 87), &frmLocation::ClearForm);
    AddToolAction(toolbar, this, "save_location", "保存", "存", QColor(38, 120, 190),
                  &frmLocation::SaveLocation);
    AddToolAction(toolbar, this, "delete_location", "删除", "删", QColor(190, 60, 60),
                  &frmLocation::DeleteLocation);
    AddToolAction(toolbar, this, "print_location", "打印条码", "印", QColor(200, 120, 30),
                  &frmLocation::PrintLocation);
    AddToolAction(toolbar, this, "refresh", "刷新", "刷", QColor(30, 150, 150), &frmLocation::BuildTree);
    viewMenu = AddViewButton(toolbar, this, [this](const QString& view) { select_view(view); });
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    tv_Location = new QTreeWidget;
    tv_Location->setObjectName("tv_Location");
    tv_Location->setHeaderHidden(true);
    tv_Location->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree = new LazyTree(
        tv_Location, [this](int parentId) { return m_dal.GetList(parentId); }, "locationCode");
    connect(tv_Location, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n) { nodeClicked(n); });
    node_edit = new QMenu(this);
    node_edit->setObjectName("node_edit");
    node_edit->addAction(QStringLiteral("新建"), this, &frmLocation::NewChildLocation);
    node_edit->addAction(QStringLiteral("删除"), this, &frmLocation::DeleteLocation);
    node_edit->addAction(QStringLiteral("刷新"), this, &frmLocation::BuildTree);
    connect(tv_Location, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { node_edit->popup(tv_Location->viewport()->mapToGlobal(p)); });

    lstView_LocationDetail = new ListView;
    lstView_LocationDetail->setObjectName("lstView_LocationDetail");
    lstView_LocationDetail->setColumns(
        {"库位名称", "库位编号", "库容量", "锁定", "库位类别", "状态", "父节点"});
    connect(lstView_LocationDetail, &ListView::itemSelected, this,
            [this](const QString& key) { show_LocationInfor(key.mid(4).toInt()); });

    const SearchRow search = NewSearchRow(this, [this] { Search(); });
    txt_KeyWord = search.keyword;
    btn_search = search.button;
    lab_count = search.count;
    QHBoxLayout* searchRow = search.row;

    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    txt_parentId = NamedEdit("txt_parentId");
    txt_parentId->hide();
    txt_name = NamedEdit("txt_name");
    txt_locationCode = NamedEdit("txt_locationCode");
    txt_capacity = NamedEdit("txt_capacity");
    txt_parentLocationCode = NamedEdit("txt_parentLocationCode");
    txt_parentLocationCode->setReadOnly(true);
    txt_remark = NamedEdit("txt_remark");
    chk_start = new QCheckBox(QStringLiteral("启用"));
    chk_start->setObjectName("chk_start");
    chk_lock = new QCheckBox(QStringLiteral("锁定"));
    chk_lock->setObjectName("chk_lock");
    chk_virtual = new QCheckBox(QStringLiteral("虚拟库位"));
    chk_virtual->setObjectName("chk_virtual");
    btn_setParent = new QPushButton(QStringLiteral("选择"));
    btn_setParent->setObjectName("btn_setParent");
    btn_clearParent = new QPushButton(QStringLiteral("清空"));
    btn_clearParent->setObjectName("btn_clearParent");
    connect(btn_setParent, &QPushButton::clicked, this, &frmLocation::ChooseParent);
    connect(btn_clearParent, &QPushButton::clicked, this, &frmLocation::ClearParent);
    txt_capacity->installEventFilter(this);

    auto* parentRow = new QHBoxLayout;
    parentRow->addWidget(txt_parentLocationCode, 1);
    parentRow->addWidget(btn_setParent);
    parentRow->addWidget(btn_clearParent);
    auto* checks = new QHBoxLayout;
    checks->addWidget(chk_start);
    checks->addWidget(chk_lock);
    checks->addWidget(chk_virtual);
    checks->addStretch();
    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("库位编号:"), txt_locationCode);
    form->addRow(QStringLiteral("库位名称:"), txt_name);
    form->addRow(QStringLiteral("库 容 量:"), txt_capacity);
    form->addRow(QStringLiteral("父 节 点:"), parentRow);
    form->addRow(QStringLiteral("备    注:"), txt_remark);
    form->addRow(QString(), checks);

    LayOutForm(this, toolbar,
               {tv_Location, StackedPane({{searchRow, 0}, {lstView_LocationDetail, 1}, {form, 0}})}, 3);
    for (QWidget* w : {static_cast<QWidget*>(txt_locationCode), static_cast<QWidget*>(txt_name),
                       static_cast<QWidget*>(txt_remark)})
        w->installEventFilter(this);
    resize(900, 600);

    select_view("list_view");
    ClearForm();
    BuildTree();
}

void frmLocation::select_view(const QString& view) {
    for (QAction* a : viewMenu->actions())
        a->setText((a->objectName() == view ? QStringLiteral("●") : QString()) + a->data().toString());
    lstView_LocationDetail->setView(view);
}

void frmLocation::BuildTree() {
    m_tree->Reset(QStringLiteral("库位信息"), "location");
    Search();
}

void frmLocation::nodeClicked(QTreeWidgetItem* node) {
    m_tree->LoadChildNodes(node);
    Search();
    show_LocationInfor(NodeId(node));
}

void frmLocation::Search() {
    ConditionSet conditions;
    const QTreeWidgetItem* node = tv_Location->currentItem();
    if (node && NodeId(node) >= 0)
        conditions.AddItem("1", m_condition("parentId", "=", Raw(QString::number(NodeId(node)))));
    if (!txt_KeyWord->text().trimmed().isEmpty())
        conditions.AddItem("2", m_condition("locationCode&uname", "like", txt_KeyWord->text()));
    const m_recordSet found = m_dal.GetListForCondition(conditions);
    m_lastCondition = found.str_condition;
    const RecordSet& rs = found.recordSet;
    lstView_LocationDetail->clear();
    const QIcon large = KeyIcon("home_max"), small = KeyIcon("home_min");
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QStringList texts;
        for (const char* f :
             {"uname", "locationCode", "capacity", "lockName", "VirtualName", "stateName", "parentName"})
            texts << NzText(rs.at(r, f), QString());
        lstView_LocationDetail->addItem("key_" + acc::valueText(rs.at(r, "id")), texts, large, small);
    }
    lab_count->setText(QStringLiteral("找到[%1]条信息").arg(found.recordCount));
}

void frmLocation::show_LocationInfor(int id) {
    const m_location m = m_dal.GetModel(id);
    ClearForm();
    if (m.id <= 0) return;
    txt_id->setText(QString::number(m.id));
    txt_name->setText(m.uname);
    txt_capacity->setText(acc::numberQText(m.capacity));
    txt_locationCode->setText(m.locationCode);
    txt_parentLocationCode->setText(m.parentlocationCode);
    txt_remark->setText(m.remark);
    txt_parentId->setText(QString::number(m.parentId));
    chk_start->setChecked(m.state == 1);
    chk_lock->setChecked(m.isLock == 1);
    chk_virtual->setChecked(m.isVirtual == 1);
}

void frmLocation::ClearForm() {
    for (QLineEdit* e :
         {txt_id, txt_name, txt_locationCode, txt_parentLocationCode, txt_parentId, txt_remark})
        e->clear();
    txt_capacity->setText("0");
    chk_start->setChecked(true);
    chk_lock->setChecked(false);
    chk_virtual->setChecked(false);
}

void frmLocation::NewChildLocation() {
    QTreeWidgetItem* node = tv_Location->currentItem();
    if (!node) {
        refuse(QStringLiteral("请选择父节点!"));
        return;
    }
    ClearForm();
    txt_name->setFocus();
    txt_parentLocationCode->setText(node->text(0));
    txt_parentId->setText(QString::number(NodeId(node)));
}

void frmLocation::ChooseParent() {
    frm_select dlg(this);
    dlg.setMode("location");
    dlg.setSinglePick(true);
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_location>();
    if (!picked.empty() && picked.front().id > 0) {
        txt_parentLocationCode->setText(picked.front().locationCode);
        txt_parentId->setText(QString::number(picked.front().id));
    }
}

void frmLocation::ClearParent() {
    txt_parentLocationCode->clear();
    txt_parentId->clear();
}

void frmLocation::PrintLocation() {
    MsgBox::Show(QStringLiteral("请连接条码打印机!"), MsgBox::Information, windowTitle());
}

void frmLocation::refuse(const QString& text, QWidget* focus) {
    Refuse(this, text, focus);
}

void frmLocation::SaveLocation() {
    const int formId = static_cast<int>(acc::val(txt_id->text()));
    if (!CheckFunction(formId <= 0 ? m_funCode::locationInfor_save() : m_funCode::locationInfor_update(),
                       true))
        return;
    if (txt_name->text().trimmed().isEmpty()) return refuse(QStringLiteral("库位名称不能为空!"), txt_name);
    if (txt_locationCode->text().trimmed().isEmpty())
        return refuse(QStringLiteral("库位编码不能为空!"), txt_locationCode);
    const std::optional<double> capacity = NumberFieldValue(txt_capacity->text());
    if (!capacity) return refuse(NotANumberMessage(QStringLiteral("库容量")), txt_capacity);
    int id = formId;
    if (id < 1) id = static_cast<int>(acc::val(acc::valueText(sqlHelper::DMax("id", "tb_location", "")))) + 1;
    m_location m;
    m.id = id;
    m.locationCode = txt_locationCode->text();
    m.uname = txt_name->text();
    m.capacity = *capacity;
    m.parentId = static_cast<int>(acc::val(txt_parentId->text()));
    m.orderby = 0;
    m.remark = txt_remark->text();
    m.state = chk_start->isChecked() ? 1 : 0;
    m.isLock = chk_lock->isChecked() ? 1 : 0;
    m.isVirtual = chk_virtual->isChecked() ? 1 : 0;
    if (!MsgBox::Confirm(QStringLiteral("确认保存库位!"), windowTitle())) return;
    if (m_dal.GetModelForLocationCode(id, m.locationCode).id > 0)
        return refuse(QStringLiteral("库位编号[%1]重复!").arg(m.locationCode));
    if (formId <= 0) {
        m_dal.Add(m);
        m_tree->tv_AddNode(id, m.parentId, m.locationCode, "open");
    } else {
        bool cycle = m.parentId == id;
        QSet<int> seen;
        for (int p = m.parentId; !cycle && p != 0 && !seen.contains(p);) {
            seen.insert(p);
            const m_location up = m_dal.GetModel(p);
            if (up.id == 0) break;
            if (up.parentId == id) cycle = true;
            p = up.parentId;
        }
        if (cycle) return refuse(QStringLiteral("不能设置该项目为父节点,请重新选择!"));
        m_dal.Update(m);
        m_tree->tv_UpdateNode(id, m.parentId, m.locationCode);
    }
    txt_id->setText(QString::number(id));
    Search(); // the list shows what was saved
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, windowTitle());
}

void frmLocation::DeleteLocation() {
    if (!CheckFunction(m_funCode::locationInfor_delete(), true)) return;
    if (txt_id->text().trimmed().isEmpty()) return refuse(QStringLiteral("当前记录不存在!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前库位?"), windowTitle())) return;
    const int id = static_cast<int>(acc::val(txt_id->text()));
    KeyValue batch;
    SqlParams byId;
    byId.AddItem("@Id", id);
    SqlParams byLocation;
    byLocation.AddItem("@locationId", id);
    batch.AddItem("select '当前库位存在子项目,不能删除!' as strMsg,Count(*) as fkCount  from tb_location "
                  "where parentId=@Id",
                  byId);
    batch.AddItem(
        "select '当前库位在入库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from tb_rk_detail where "
        "locationId=@locationId",
        byLocation);
    batch.AddItem(
        "select '当前库位在出库表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from tb_ck_detail where "
        "locationId=@locationId",
        byLocation);
    batch.AddItem("select '当前库位在盘点表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_stocktake_detail where locationId=@locationId",
                  byLocation);
    batch.AddItem("select '当前库位在盘点表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                  "tb_stocktake_head where locationId=@locationId",
                  byLocation);
    for (const char* side : {"fromLocationId", "toLocationId"})
        batch.AddItem(
            QStringLiteral("select '当前库位在调拨表已经建账,不能删除!' as strMsg,Count(*) as fkCount  from "
                           "tb_transfer_detail where %1=@locationId")
                .arg(QLatin1String(side)),
            byLocation);
    const FkCheckResult fk = sqlHelper::CheckFkUsage(batch);
    if (!fk.isResult) return refuse(fk.str_MsgBox);
    const m_DBresult r = m_dal.Delete(id);
    if (!r.isResult) return refuse(r.str_MsgBox);
    m_tree->tv_DeleteNode(id);
    ClearForm();
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}

bool frmLocation::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (watched == txt_capacity) {
            const QString t = key->text();
            if (!t.isEmpty() && t.at(0).isPrint() && FilterNumberKey(t.at(0).unicode()) == 0) return true;
        }
        if (KeyNavigate(key->key(), false, false)) return true;
    }
    return QWidget::eventFilter(watched, event);
}
