#include "frm_user.h"

#include "adminguard.h"
#include "funcode.h"
#include "user.h"

#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "master/dictionary.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/listview.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

QIcon personIcon(const QString& sex) {
    return sex == QStringLiteral("男") ? GlyphIcon(QStringLiteral("男"), QColor(38, 120, 190))
                                       : GlyphIcon(QStringLiteral("女"), QColor(200, 80, 140));
}

} // namespace

frm_user::frm_user(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_user");
    setWindowTitle(QStringLiteral("用户信息"));
    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add_user", "新建", "新", QColor(46, 139, 87), &frm_user::add_user);
    AddToolAction(toolbar, this, "save_user", "保存", "存", QColor(38, 120, 190), &frm_user::save_user);
    AddToolAction(toolbar, this, "delete_user", "删除", "删", QColor(190, 60, 60), &frm_user::delete_user);
    AddToolAction(toolbar, this, "refresh", "刷新", "刷", QColor(30, 150, 150), &frm_user::LoadUsers);
    view_menu = AddViewButton(toolbar, this, [this](const QString& view) { select_view(view); });
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    listview_user = new ListView;
    listview_user->setObjectName("listview_user");
    listview_user->setColumns({QStringLiteral("用户名称"), QStringLiteral("性别"), QStringLiteral("部门权限"),
                               QStringLiteral("启用")});
    connect(listview_user, &ListView::itemSelected, this,
            [this](const QString& key) { ShowUser(key.mid(4).toInt()); });

    txt_id = NamedEdit("txt_id");
    txt_id->hide();
    txt_Name = NamedEdit("txt_Name");
    txt_Name->setMaxLength(50);
    cobo_sex = NamedCombo("cobo_sex");
    cobo_sex->addItems({QStringLiteral("男"), QStringLiteral("女")});
    cobo_usergrp = NamedCombo("cobo_usergrp");
    chk_start = new QCheckBox(QStringLiteral("启用"));
    chk_start->setObjectName("chk_start");
    PaintRequired({txt_Name, cobo_sex, cobo_usergrp});
    auto* fields = new QWidget;
    auto* form = new QFormLayout(fields);
    form->addRow(QStringLiteral("用户名称:"), txt_Name);
    form->addRow(QStringLiteral("性    别:"), cobo_sex);
    form->addRow(QStringLiteral("部门权限:"), cobo_usergrp);
    form->addRow(QString(), chk_start);
    form->addRow(QString(), txt_id);
    fields->setMaximumWidth(340);
    auto* body = new QHBoxLayout;
    body->addWidget(listview_user, 1);
    body->addWidget(fields);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(toolbar);
    layout->addLayout(body, 1);
    resize(820, 480);

    select_view("detail_view");
    LoadUsers();
    add_user();
}

void frm_user::select_view(const QString& view) {
    for (QAction* a : view_menu->actions())
        a->setText(a->data().toString() + (a->objectName() == view ? QStringLiteral(" ●") : QString()));
    listview_user->setView(view);
}

void frm_user::LoadUsers() {
    // the departments anew, the one shown kept
    const QString department = cobo_usergrp->currentText();
    FillCombo(cobo_usergrp, "select id,uname from tb_dictionary where utype='department'", "uname");
    cobo_usergrp->setCurrentIndex(cobo_usergrp->findText(department));
    const QString current = listview_user->currentKey();
    listview_user->clear();
    const RecordSet rs =
        sqlHelper::ExecuteSql("select id,user,pw,usex,isStart,dictionaryId,department from v_user");
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QString sex = acc::valueText(rs.at(r, "usex"));
        const QIcon icon = personIcon(sex);
        listview_user->addItem("key_" + acc::valueText(rs.at(r, "id")),
                               {acc::valueText(rs.at(r, "user")), sex, acc::valueText(rs.at(r, "department")),
                                acc::valueText(rs.at(r, "isStart"))},
                               icon, icon);
    }
    if (!current.isEmpty()) listview_user->setCurrentKey(current);
}

void frm_user::ShowUser(int id) {
    const m_user u = dal_user().GetModel(id);
    if (u.id <= 0) return;
    txt_id->setText(QString::number(u.id));
    txt_Name->setText(u.user);
    cobo_sex->setCurrentIndex(cobo_sex->findText(u.usex));
    cobo_usergrp->setCurrentIndex(cobo_usergrp->findText(u.department));
    chk_start->setChecked(u.isstart);
}

void frm_user::add_user() {
    txt_id->clear();
    txt_Name->clear();
    cobo_sex->setCurrentIndex(0);
    cobo_usergrp->setCurrentIndex(-1);
    chk_start->setChecked(true);
    txt_Name->setFocus();
}

void frm_user::save_user() {
    const bool isNew = txt_id->text().trimmed().isEmpty();
    if (!CheckFunction(isNew ? m_funCode::user_save() : m_funCode::user_update())) return;
    const QString name = txt_Name->text().trimmed();
    if (name.isEmpty()) return Refuse(this, QStringLiteral("用户名称不能为空!"), txt_Name);
    if (cobo_sex->currentText().trimmed().isEmpty())
        return Refuse(this, QStringLiteral("性别不能为空!"), cobo_sex);
    const m_dictionary department =
        cobo_usergrp->currentText().trimmed().isEmpty()
            ? m_dictionary()
            : dal_dictionary().GetModelForName("department", cobo_usergrp->currentText());
    if (department.id < 1) {
        MsgBox::Show(QStringLiteral("部门权限不能为空!"), MsgBox::Information, windowTitle());
        cobo_usergrp->setFocus();
        return;
    }
    int id = static_cast<int>(acc::val(txt_id->text()));
    if (id < 1) id = static_cast<int>(acc::val(acc::valueText(sqlHelper::DMax("id", "tb_user", "")))) + 1;
    m_user model;
    model.id = id;
    model.user = name;
    model.usex = cobo_sex->currentText();
    model.dictionaryId = department.id;
    model.isstart = chk_start->isChecked();
    if (!MsgBox::Confirm(QStringLiteral("确认保存用户!"), windowTitle())) return;
    dal_user dal;
    if (dal.GetModelForUser(id, name).id > 0)
        return Refuse(this, QStringLiteral("用户名[%1]重复!").arg(name), txt_Name);
    if (LocksOutAdministrators(
            {.userId = isNew ? 0 : id, .newDepartment = department.id, .enabled = model.isstart}))
        return Refuse(this, QStringLiteral("保存后将没有用户可以设置权限,请先给其他用户的部门授予权限设置!"),
                      model.isstart ? static_cast<QWidget*>(cobo_usergrp) : chk_start);
    if (isNew)
        dal.Add(model);
    else
        dal.Update(model);
    txt_id->setText(QString::number(id));
    LoadUsers();
    listview_user->setCurrentKey("key_" + QString::number(id));
}

void frm_user::delete_user() {
    if (!CheckFunction(m_funCode::user_delete())) return;
    const int id = static_cast<int>(acc::val(txt_id->text()));
    if (txt_id->text().trimmed().isEmpty() || id < 1) return Refuse(this, QStringLiteral("当前记录不存在!"));
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前用户?"), windowTitle())) return;
    KeyValue batch;
    SqlParams byUser;
    byUser.AddItem("@userId", id);
    const std::pair<const char*, const char*> refs[] = {
        {"当前用户在入库表已经建账,不能删除!", " from tb_rk_head where userId=@userId"},
        {"当前用户在出库表已经建账,不能删除!", " from tb_ck_head where userId=@userId"},
        {"当前用户在往来单位表已经建账,不能删除!", " from tb_customer where userId=@userId"},
        {"当前用户在日程管理已经建账,不能删除!", " from tb_events where createUserId=@userId"},
        {"当前用户在盘点表已经建账,不能删除!", " from tb_stocktake_head where userId=@userId"},
        {"当前用户在调拨表已经建账,不能删除!", " from tb_transfer_head where userId=@userId"}};
    for (const auto& [message, from] : refs)
        batch.AddItem(
            QStringLiteral("select '%1' as strMsg,Count(*) as fkCount ").arg(QString::fromUtf8(message)) +
                QString::fromUtf8(from),
            byUser);
    const FkCheckResult fk = sqlHelper::CheckFkUsage(batch);
    if (!fk.isResult) return Refuse(this, fk.str_MsgBox);
    if (id == CurrentUser().id) return Refuse(this, QStringLiteral("不能删除当前登录的用户!"));
    if (LocksOutAdministrators({.userId = id, .newDepartment = -1}))
        return Refuse(this, QStringLiteral("删除后将没有用户可以设置权限,不能删除!"));
    const m_DBresult r = dal_user().Delete(id);
    if (!r.isResult) return Refuse(this, r.str_MsgBox);
    LoadUsers();
    add_user();
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, windowTitle());
}
