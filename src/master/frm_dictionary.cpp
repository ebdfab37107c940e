#include "frm_dictionary.h"

#include "access/funcode.h"
#include "data/accesstext.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"
#include "ui/frm_select.h"
#include "ui/icons.h"
#include "ui/lazytree.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSet>
#include <QToolBar>
#include <QTreeWidget>
#include <QVBoxLayout>

frm_dictionary::frm_dictionary(QWidget* parent) : QWidget(parent) {
    setObjectName("frm_dictionary");
    setWindowTitle(QStringLiteral("数据字典"));

    auto* toolbar = NewFormToolBar();
    AddToolAction(toolbar, this, "add", "新建", "新", QColor(46, 139, 87), &frm_dictionary::AddEntry);
    AddToolAction(toolbar, this, "save", "保存", "存", QColor(38, 120, 190), &frm_dictionary::SaveEntry);
    AddToolAction(toolbar, this, "delete", "删除", "删", QColor(190, 60, 60), &frm_dictionary::DeleteEntry);
    AddToolAction(toolbar, this, "refresh", "刷新", "刷", QColor(30, 150, 150),
                  [this] { LoadTypeTree(m_typeIndex); });
    toolbar->addSeparator();
    AddToolAction(toolbar, this, "close", "关闭", "关", QColor(90, 100, 110), [this] { CloseForm(this); });

    auto* types = new QVBoxLayout;
    types->setSpacing(4);
    for (int i = 0; i < DictionaryTypes().size(); ++i) {
        auto* b = new QPushButton(DictionaryTypeCaptions()[i]);
        b->setObjectName("btn_type" + QString::number(i));
        b->setProperty("utype", DictionaryTypes()[i]);
        b->setMinimumHeight(34);
        connect(b, &QPushButton::clicked, this, [this, i] { LoadTypeTree(i); });
        typeButtons << b;
        types->addWidget(b);
    }
    types->addStretch();

    tv_dictionary = new QTreeWidget;
    tv_dictionary->setObjectName("tv_dictionary");
    tv_dictionary->setHeaderHidden(true);
    tv_dictionary->setContextMenuPolicy(Qt::CustomContextMenu);
    m_tree = new LazyTree(
        tv_dictionary, [this](int parentId) { return m_dal.GetList(txt_selectType->text(), parentId); },
        "uname");
    connect(tv_dictionary, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* n) { nodeClicked(n); });
    connect(tv_dictionary, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* n) {
        if (n && tv_dictionary->hasFocus()) nodeClicked(n);
    });
    nodeMenu = new QMenu(this);
    nodeMenu->setObjectName("node_menu");
    nodeMenu->addAction(QStringLiteral("新建子项目"), this, &frm_dictionary::NewChildEntry);
    nodeMenu->addAction(QStringLiteral("删除"), this, &frm_dictionary::DeleteEntry);
    connect(tv_dictionary, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { nodeMenu->popup(tv_dictionary->viewport()->mapToGlobal(p)); });

    txt_selectType = NamedEdit("txt_selectType", this);
    txt_selectType->hide();
    txt_parentId = NamedEdit("txt_parentId", this);
    txt_parentId->hide();
    txt_id = NamedEdit("txt_id", this);
    txt_id->setReadOnly(true);
    txt_name = NamedEdit("txt_name", this);
    txt_parentName = NamedEdit("txt_parentName", this);
    txt_parentName->setReadOnly(true);
    txt_remark = NamedEdit("txt_remark", this);
    chk_start = new QCheckBox(QStringLiteral("启用"));
    chk_start->setObjectName("chk_start");
    btn_setParent = new QPushButton(QStringLiteral("选择"));
    btn_setParent->setObjectName("btn_setParent");
    btn_clearParent = new QPushButton(QStringLiteral("清空"));
    btn_clearParent->setObjectName("btn_clearParent");
    connect(btn_setParent, &QPushButton::clicked, this, &frm_dictionary::ChooseParent);
    connect(btn_clearParent, &QPushButton::clicked, this, &frm_dictionary::ClearParent);

    m_typeLabel = new QLabel;
    QFont bold = m_typeLabel->font();
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 2);
    m_typeLabel->setFont(bold);
    auto* parentRow = new QHBoxLayout;
    parentRow->addWidget(txt_parentName, 1);
    parentRow->addWidget(btn_setParent);
    parentRow->addWidget(btn_clearParent);
    auto* form = new QFormLayout;
    form->addRow(m_typeLabel);
    form->addRow(QStringLiteral("编    号:"), txt_id);
    form->addRow(QStringLiteral("名    称:"), txt_name);
    form->addRow(QStringLiteral("父 节 点:"), parentRow);
    form->addRow(QStringLiteral("备    注:"), txt_remark);
    form->addRow(QString(), chk_start);
    auto* fields = new QWidget;
    auto* fieldsLayout = new QVBoxLayout(fields);
    fieldsLayout->addLayout(form);
    fieldsLayout->addStretch();

    auto* typesBox = new QWidget;
    typesBox->setLayout(types);
    LayOutForm(this, toolbar, {typesBox, tv_dictionary, fields}, 2);

    for (QWidget* w : {static_cast<QWidget*>(txt_name), static_cast<QWidget*>(txt_remark),
                       static_cast<QWidget*>(chk_start)})
        w->installEventFilter(this);
    resize(820, 520);
    init(0);
}

void frm_dictionary::closeEvent(QCloseEvent* event) {
    QWidget::closeEvent(event);
    if (event->isAccepted()) emit closed();
}

void frm_dictionary::init(int typeIndex) {
    LoadTypeTree(typeIndex);
}

void frm_dictionary::setTypeCtl(int typeIndex) {
    for (int i = 0; i < typeButtons.size(); ++i) {
        QFont f = typeButtons[i]->font();
        f.setBold(i == typeIndex);
        f.setPointSize(i == typeIndex ? 11 : 9);
        typeButtons[i]->setFont(f);
    }
}

void frm_dictionary::LoadTypeTree(int typeIndex) {
    if (typeIndex < 0 || typeIndex >= DictionaryTypes().size()) return;
    m_typeIndex = typeIndex;
    txt_selectType->setText(DictionaryTypes()[typeIndex]);
    m_typeLabel->setText(DictionaryTypeCaptions()[typeIndex]);
    setTypeCtl(typeIndex);
    m_tree->Reset(DictionaryTypeCaptions()[typeIndex], "All");
    ClearForm();
}

void frm_dictionary::LoadChildNodes(QTreeWidgetItem* node) {
    m_tree->LoadChildNodes(node);
}

void frm_dictionary::nodeClicked(QTreeWidgetItem* node) {
    LoadChildNodes(node);
    show_DictionaryInfor(NodeId(node));
}

void frm_dictionary::show_DictionaryInfor(int id) {
    const m_dictionary m = m_dal.GetModel(id);
    ClearForm();
    if (m.id <= 0) return;
    txt_id->setText(QString::number(m.id));
    txt_name->setText(m.uname);
    txt_selectType->setText(m.utype);
    txt_parentName->setText(m.parentName);
    txt_remark->setText(m.remark);
    txt_parentId->setText(QString::number(m.parentId));
    chk_start->setChecked(m.isstart != 0);
}

void frm_dictionary::ClearForm() {
    for (QLineEdit* e : {txt_id, txt_name, txt_parentName, txt_parentId, txt_remark})
        e->clear();
    chk_start->setChecked(true);
}

void frm_dictionary::AddEntry() {
    ClearForm();
    txt_name->setFocus();
}

void frm_dictionary::NewChildEntry() {
    QTreeWidgetItem* node = tv_dictionary->currentItem();
    if (!node) {
        refuse(QStringLiteral("请选择父节点!"));
        return;
    }
    ClearForm();
    txt_name->setFocus();
    txt_parentName->setText(node->text(0));
    txt_parentId->setText(QString::number(NodeId(node)));
}

void frm_dictionary::ChooseParent() {
    frm_select dlg(this);
    dlg.setMode("dictionary");
    dlg.setSinglePick(true);
    dlg.setExtraCondition(m_condition("utype", "=", txt_selectType->text()));
    dlg.RunSearch();
    RunModal(&dlg);
    const auto picked = dlg.picked<m_dictionary>();
    if (!picked.empty() && picked.front().id > 0) {
        txt_parentName->setText(picked.front().uname);
        txt_parentId->setText(QString::number(picked.front().id));
    }
}

void frm_dictionary::ClearParent() {
    txt_parentName->clear();
    txt_parentId->clear();
}

bool frm_dictionary::refuse(const QString& text, QWidget* focus) {
    Refuse(this, text, focus);
    return false;
}

void frm_dictionary::SaveEntry() {
    const int formId = static_cast<int>(acc::val(txt_id->text()));
    if (!CheckFunction(formId <= 0 ? m_funCode::dictionary_save() : m_funCode::dictionary_update(), true))
        return;
    if (txt_name->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("名称不能为空!"), txt_name);
        return;
    }
    int id = formId;
    if (id < 1)
        id = static_cast<int>(acc::val(acc::valueText(sqlHelper::DMax("id", "tb_dictionary", "")))) + 1;
    const double parent = acc::val(txt_parentId->text());
    if (parent < 0 || parent > 32767) { // the parent column holds 16 bits: a larger id would be stored wrong
        refuse(QStringLiteral("父节点编号超出范围(最大 32767),请重新选择!"));
        return;
    }
    m_dictionary m;
    m.id = id;
    m.utype = txt_selectType->text();
    m.uname = txt_name->text();
    m.parentId = static_cast<qint16>(parent);
    m.orderby = 0;
    m.remark = txt_remark->text();
    m.isstart = chk_start->isChecked() ? 1 : 0;
    m.isSystemSet = 0;
    if (!MsgBox::Confirm(QStringLiteral("确认保存当前项目!"), caption())) return;

    KeyValue preset;
    SqlParams p;
    p.AddItem("@Id", id);
    preset.AddItem(
        "select '当前项目为系统默认项目,不能修改!' as strMsg,Count(*) as fkCount  from tb_dictionary where "
        "isSystemSet=1  and id=@Id",
        p);
    const FkCheckResult fk = sqlHelper::CheckFkUsage(preset);
    if (!fk.isResult) {
        refuse(fk.str_MsgBox);
        return;
    }
    ConditionSet dup;
    dup.AddItem("1", m_condition("id", "<>", Raw(QString::number(formId))));
    dup.AddItem("2", m_condition("uname", "=", m.uname));
    dup.AddItem("3", m_condition("utype", "=", m.utype));
    if (m_dal.GetListForCondition(dup).recordCount > 0) {
        refuse(QStringLiteral("名称[%1]重复,请重新输入!").arg(m.uname));
        return;
    }
    if (formId <= 0) {
        m_dal.Add(m);
        m_tree->tv_AddNode(id, m.parentId, m.uname, "open");
    } else {
        // the parent may be neither the entry itself nor anything below it
        bool cycle = m.parentId == id;
        QSet<int> seen;
        for (int p2 = m.parentId; !cycle && p2 != 0 && !seen.contains(p2);) {
            seen.insert(p2);
            const m_dictionary up = m_dal.GetModel(p2);
            if (up.id == 0) break; // the chain ends at a missing entry
            if (up.parentId == id) cycle = true;
            p2 = up.parentId;
        }
        if (cycle) {
            refuse(QStringLiteral("不能设置该项目为父节点,请重新选择!"));
            return;
        }
        m_dal.Update(m);
        m_tree->tv_UpdateNode(id, m.parentId, m.uname);
    }
    txt_id->setText(QString::number(id));
    MsgBox::Show(QStringLiteral("保存成功!"), MsgBox::Information, caption());
}

void frm_dictionary::DeleteEntry() {
    if (!CheckFunction(m_funCode::dictionary_delete(), true)) return;
    if (txt_id->text().trimmed().isEmpty()) {
        refuse(QStringLiteral("当前记录不存在!"));
        return;
    }
    if (!MsgBox::Confirm(QStringLiteral("是否删除当前项目?"), caption())) return;
    const int id = static_cast<int>(acc::val(txt_id->text()));
    const std::pair<const char*, const char*> checks[] = {
        {"当前项目为系统默认项目,不能删除!", " from tb_dictionary where isSystemSet=1  and id=@Id"},
        {"当前项目存在子项目,不能删除!", " from tb_dictionary where parentId=@Id"},
        {"当前账目标识在入库表已经建账,不能删除!", " from tb_rk_head where accountId=@accountId"},
        {"当前入库类别在入库表已经建账,不能删除!", " from tb_rk_head where utypeId=@utypeId"},
        {"当前出库类别在出库表已经建账,不能删除!", " from tb_ck_head where utypeId=@utypeId"},
        {"当前账目标识在出库表已经建账,不能删除!", " from tb_ck_head where accountId=@accountId"},
        {"当前账目标识在盘点表已经建账,不能删除!", " from tb_stocktake_head where accountId=@accountId"},
        {"当前账目标识在调拨表已经建账,不能删除!", " from tb_transfer_head where accountId=@accountId"},
        {"当前货品类别在货品信息表已经建账,不能删除!", " from tb_goods_head where goodsTypeId=@goodsTypeId"},
        {"当前部门在用户信息表已经建账,不能删除!", " from tb_user where dictionaryId=@dictionaryId"},
    };
    KeyValue batch;
    for (const auto& [message, from] : checks) {
        const QString text = QString::fromUtf8(from);
        SqlParams p;
        p.AddItem(text.mid(text.indexOf('@')), id);
        batch.AddItem("select '" + QString::fromUtf8(message) + "' as strMsg,Count(*) as fkCount " + text, p);
    }
    const FkCheckResult fk = sqlHelper::CheckFkUsage(batch);
    if (!fk.isResult) {
        refuse(fk.str_MsgBox);
        return;
    }
    const m_DBresult r = m_dal.Delete(id);
    if (!r.isResult) {
        refuse(r.str_MsgBox);
        return;
    }
    m_tree->tv_DeleteNode(id);
    ClearForm();
    MsgBox::Show(QStringLiteral("删除成功!"), MsgBox::Information, caption());
}

bool frm_dictionary::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (KeyNavigate(key, false, false)) return true;
    }
    return QWidget::eventFilter(watched, event);
}
