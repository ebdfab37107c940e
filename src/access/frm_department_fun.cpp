#include "frm_department_fun.h"

#include "adminguard.h"
#include "funcode.h"

#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"
#include "ui/lazytree.h"
#include "ui/permission.h"
#include "ui/utreeview.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>

namespace {

QString grantStatement(frm_department_fun::Kind kind, int d) {
    const QString dep = QString::number(d);
    const QString first = "select b.departmentId,iif(isnull(b.departmentId), false, true) AS ucheck,";
    switch (kind) {
    case frm_department_fun::Functions:
        return first +
               "a.id,a.funCode,a.displaytext,a.parentid,a.type,'open' as icon,a.orderby from tb_sys_fun a "
               "left join "
               "(select funCode,departmentId from tb_user_group_fun where departmentId = " +
               dep + ") b on a.funCode = b.funCode where a.type<>-1";
    case frm_department_fun::Locations:
        return first +
               "a.id,a.id as funCode,a.uname as displaytext,a.parentid,'open' as icon,a.orderby from "
               "tb_location a "
               "left join (select locationId,departmentId from tb_location_fun where departmentId = " +
               dep + ") b on a.id = b.locationId where a.state=1  and a.isLock=0";
    case frm_department_fun::Accounts:
        return first +
               "a.id,a.id as funCode,a.uname as displaytext,a.parentid,'open' as icon,a.orderby from "
               "tb_dictionary a "
               "left join (select accountId,departmentId from tb_account_fun where departmentId = " +
               dep + ") b on a.id = b.accountId where a.utype='accountType'";
    }
    return {};
}

} // namespace

frm_department_fun::frm_department_fun(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_department_fun");
    setWindowTitle(QStringLiteral("权限设置"));
    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "save", "保存", "存", QColor(38, 120, 190), &frm_department_fun::Save);
    AddToolAction(toolbar, this, "funRefresh", "权限刷新", "刷", QColor(30, 150, 150),
                  &frm_department_fun::funRefresh);
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    tv_department = new QTreeWidget;
    tv_department->setObjectName("tv_department");
    tv_department->setHeaderHidden(true);
    connect(tv_department, &QTreeWidget::itemClicked, this, &frm_department_fun::LoadGrants);

    auto* kinds = new QButtonGroup(this);
    auto kindButton = [&](const char* name, const char* text, Kind k) {
        auto* b = new QPushButton(QString::fromUtf8(text));
        b->setObjectName(name);
        b->setCheckable(true);
        kinds->addButton(b, k);
        return b;
    };
    funType = kindButton("funType", "功能权限", Functions);
    locationType = kindButton("locationType", "库位权限", Locations);
    accountType = kindButton("accountType", "账目权限", Accounts);
    funType->setChecked(true);
    connect(kinds, &QButtonGroup::idClicked, this, &frm_department_fun::SetKind);

    tv_fun = new QTreeWidget;
    tv_fun->setObjectName("tv_fun");
    tv_fun->setHeaderHidden(true);
    tv_fun->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(tv_fun, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int column) {
        if (column == 0 && !m_propagating) setBranch(node, node->checkState(0));
    });
    pop_menu = new QMenu(this);
    pop_menu->setObjectName("pop_menu");
    pop_menu->addAction(QStringLiteral("全选"), this, &frm_department_fun::menu_all_select)
        ->setObjectName("menu_all_select");
    pop_menu->addAction(QStringLiteral("全不选"), this, &frm_department_fun::menu_none_select)
        ->setObjectName("menu_none_select");
    connect(tv_fun, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { pop_menu->popup(tv_fun->viewport()->mapToGlobal(p)); });

    auto* right = new QWidget;
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {funType, locationType, accountType})
        buttons->addWidget(b);
    buttons->addStretch(1);
    rightLayout->addLayout(buttons);
    rightLayout->addWidget(tv_fun, 1);
    auto* split = new QSplitter;
    split->addWidget(tv_department);
    split->addWidget(right);
    split->setStretchFactor(1, 2);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(toolbar);
    layout->addWidget(split, 1);
    resize(760, 560);

    LoadDepartments();
}

int frm_department_fun::departmentId() const {
    const QTreeWidgetItem* node = tv_department->currentItem();
    return node ? NodeKey(node).mid(4).toInt() : -1;
}

void frm_department_fun::LoadDepartments() {
    tv_department->clear();
    QTreeWidgetItem* root = NewNode("key_0", QStringLiteral("部门信息"), "close");
    tv_department->addTopLevelItem(root);
    const RecordSet rs = sqlHelper::ExecuteSql(
        "select id,uname from tb_dictionary where utype='department' order by orderby,id");
    for (int r = 0; r < rs.RecordCount(); ++r)
        root->addChild(
            NewNode("key_" + acc::valueText(rs.at(r, "id")), acc::valueText(rs.at(r, "uname")), "open"));
    root->setExpanded(true);
    tv_department->setCurrentItem(root);
    LoadGrants();
}

void frm_department_fun::SetKind(int kind) {
    m_kind = static_cast<Kind>(kind);
    (m_kind == Functions ? funType : m_kind == Locations ? locationType : accountType)->setChecked(true);
    LoadGrants();
}

void frm_department_fun::LoadGrants() {
    const QSignalBlocker block(tv_fun);
    tv_fun->clear();
    const int d = departmentId();
    if (d < 0) return;
    uTreeView tree;
    tree.CreateTreeView(tv_fun);
    tree.AddTreeII(0, "(" + grantStatement(m_kind, d) + ") z", true);
    if (QTreeWidgetItem* first = tv_fun->topLevelItem(0)) {
        first->setExpanded(true);
        tv_fun->setCurrentItem(first);
    }
}

void frm_department_fun::setBranch(QTreeWidgetItem* node, Qt::CheckState state) {
    m_propagating = true;
    for (QTreeWidgetItemIterator it(node); *it; ++it) {
        QTreeWidgetItem* n = *it;
        if (n != node) {
            // the iterator walks on past the branch: stop at the first node outside it
            const QTreeWidgetItem* up = n->parent();
            while (up && up != node)
                up = up->parent();
            if (!up) break;
        }
        n->setCheckState(0, state);
    }
    m_propagating = false;
}

void frm_department_fun::menu_all_select() {
    QTreeWidgetItem* node = tv_fun->currentItem();
    if (!node) return Refuse(this, QStringLiteral("请选择节点!"));
    setBranch(node, Qt::Checked);
}

void frm_department_fun::menu_none_select() {
    QTreeWidgetItem* node = tv_fun->currentItem();
    if (!node) return Refuse(this, QStringLiteral("请选择节点!"));
    setBranch(node, Qt::Unchecked);
}

void frm_department_fun::Save() {
    if (!CheckFunction(m_funCode::limited())) return;
    const int d = departmentId();
    if (d < 0) return Refuse(this, QStringLiteral("请选择部门信息!"));
    if (!MsgBox::Confirm(QStringLiteral("是否保存权限?"), windowTitle())) return;
    QStringList tags;
    for (QTreeWidgetItemIterator it(tv_fun); *it; ++it)
        if ((*it)->checkState(0) == Qt::Checked) tags << (*it)->data(0, kNodeTagRole).toString();
    if (m_kind == Functions &&
        LocksOutAdministrators({.grantDepartment = d, .holdsLimited = tags.contains(m_funCode::limited())}))
        return Refuse(this, QStringLiteral("保存后将没有用户可以设置权限,请保留权限设置的功能!"));
    SqlParams byDepartment;
    byDepartment.AddItem("@departmentId", d);
    const m_DBresult r = sqlHelper::ExecuteTransWith([&] {
        switch (m_kind) {
        case Functions:
            sqlHelper::ExecuteInTrans("delete from tb_user_group_fun where departmentId=@departmentId",
                                      byDepartment);
            break;
        case Locations: // the grants of locations the tree does not show (locked, not in use) stay
            sqlHelper::ExecuteInTrans(
                "delete from tb_location_fun where departmentId=@departmentId and locationId in "
                "(select id from tb_location where state=1 and isLock=0)",
                byDepartment);
            break;
        case Accounts:
            sqlHelper::ExecuteInTrans("delete from tb_account_fun where departmentId=@departmentId",
                                      byDepartment);
            break;
        }
        for (const QString& tag : tags) {
            SqlParams p;
            p.AddItem("@departmentId", d);
            if (m_kind == Functions) {
                p.AddItem("@funCode", tag);
                sqlHelper::ExecuteInTrans(
                    "insert into tb_user_group_fun(funCode,departmentId) values (@funCode,"
                    "@departmentId)",
                    p);
            } else {
                p.AddItem("@id", static_cast<qlonglong>(acc::val(tag)));
                sqlHelper::ExecuteInTrans(m_kind == Locations
                                              ? "insert into tb_location_fun(locationId,departmentId) "
                                                "values (@id,@departmentId)"
                                              : "insert into tb_account_fun(accountId,departmentId) "
                                                "values (@id,@departmentId)",
                                          p);
            }
        }
    });
    if (!r.isResult) {
        MsgBox::Show(r.str_MsgBox, MsgBox::Exclamation, "System");
        return;
    }
    MsgBox::Show(QStringLiteral("权限保存成功!"), MsgBox::Information, windowTitle());
}

void frm_department_fun::funRefresh() {
    if (PermissionRefresher()) PermissionRefresher()();
}
