#include "frmoptions.h"

#include "datamaintenance.h"
#include "funcode.h"

#include "data/backup.h"
#include "data/msgbox.h"
#include "ui/lazytree.h"
#include "ui/permission.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>
#include <QTimer>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QVBoxLayout>
#include <algorithm>

namespace {

QPushButton* button(const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(name);
    return b;
}

QLabel* note(const char* text, bool red = false) {
    auto* l = new QLabel(QString::fromUtf8(text));
    if (red) l->setStyleSheet("color: #b22222;");
    return l;
}

} // namespace

frmOptions::frmOptions(QWidget* parent) : QDialog(parent) {
    setObjectName("frmOptions");
    setWindowTitle(QStringLiteral("选项"));

    // the data page
    tv_data = new QTreeWidget;
    tv_data->setObjectName("tv_data");
    tv_data->setHeaderHidden(true);
    const std::pair<const char*, const char*> groups[] = {{"key_0", "业务数据"}, {"key_1", "基础数据"}};
    const std::vector<std::tuple<const char*, const char*, int>> leaves = {
        {"tb_import", "入库数据", 0},       {"tb_export", "出库数据", 0}, {"tb_transfer", "调拨数据", 0},
        {"tb_customer", "往来单位信息", 1}, {"tb_goods", "货品信息", 1},  {"tb_location", "库位信息", 1}};
    for (const auto& [key, text] : groups) {
        QTreeWidgetItem* node = NewNode(key, QString::fromUtf8(text), "close");
        node->setCheckState(0, Qt::Unchecked);
        tv_data->addTopLevelItem(node);
    }
    for (const auto& [key, text, parent] : leaves) {
        QTreeWidgetItem* node = NewNode(key, QString::fromUtf8(text), "open");
        node->setCheckState(0, Qt::Unchecked);
        tv_data->topLevelItem(parent)->addChild(node);
    }
    tv_data->expandAll();
    connect(tv_data, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* node, int column) {
        if (column == 0 && !m_propagating) setBranch(node, node->checkState(0));
    });
    auto* all = button("btn_all", "全选");
    auto* none = button("btn_none", "反选");
    auto* clear = button("btn_clear", "清空");
    auto* init = button("btn_init", "执行初始化");
    connect(all, &QPushButton::clicked, this, &frmOptions::SelectAll);
    connect(none, &QPushButton::clicked, this, &frmOptions::SelectNone);
    connect(clear, &QPushButton::clicked, this, &frmOptions::ClearData);
    connect(init, &QPushButton::clicked, this, &frmOptions::Initialise);
    auto* dataPage = new QWidget;
    auto* grid = new QGridLayout(dataPage);
    grid->addWidget(tv_data, 0, 0, 6, 1);
    grid->addWidget(note("注意：", true), 0, 1);
    grid->addWidget(note("数据清空后无法恢复\n请慎重该操作。"), 1, 1);
    auto* selectRow = new QHBoxLayout;
    selectRow->addWidget(all);
    selectRow->addWidget(none);
    selectRow->addWidget(clear);
    grid->addLayout(selectRow, 2, 1);
    grid->addWidget(note("执行初始化后\n会把所有的业务数据\n基础信息清空。"), 3, 1);
    grid->addWidget(init, 4, 1);
    grid->setRowStretch(5, 1);
    grid->setColumnStretch(0, 1);

    // the backup page
    auto* backup = button("btn_backup", "备份数据");
    auto* compact = button("btn_compact", "压缩数据");
    connect(backup, &QPushButton::clicked, this, &frmOptions::BackUp);
    connect(compact, &QPushButton::clicked, this, &frmOptions::Compact);
    auto* backupPage = new QWidget;
    auto* backupLayout = new QVBoxLayout(backupPage);
    backupLayout->addWidget(note("备份数据: 在程序目录写一个压缩的数据库副本 (CompactBackUp_时间.mdb)。"));
    backupLayout->addWidget(backup, 0, Qt::AlignLeft);
    backupLayout->addWidget(note("压缩数据: 整理数据库文件, 收回删除记录所占的空间。"));
    backupLayout->addWidget(compact, 0, Qt::AlignLeft);
    backupLayout->addStretch(1);

    tabs = new QTabWidget;
    tabs->setObjectName("tabs");
    tabs->addTab(dataPage, QStringLiteral("数据维护"));
    tabs->addTab(backupPage, QStringLiteral("备份与压缩"));
    auto* nextTab = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), this);
    connect(nextTab, &QShortcut::activated, this, &frmOptions::NextTab);

    lab_busy = new QLabel;
    lab_busy->setObjectName("lab_busy");
    auto* close = button("btn_close", "关闭");
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(lab_busy, 1);
    bottom->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs, 1);
    layout->addLayout(bottom);
    resize(520, 360);
}

bool frmOptions::Load() {
    m_loaded = true;
    if (CheckFunction(m_funCode::optionset())) return true;
    QTimer::singleShot(0, this, &QDialog::reject);
    return false;
}

void frmOptions::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!m_loaded) Load();
}

void frmOptions::NextTab() {
    tabs->setCurrentIndex((tabs->currentIndex() + 1) % tabs->count());
}

void frmOptions::setBranch(QTreeWidgetItem* node, Qt::CheckState state) {
    m_propagating = true;
    for (int i = 0; i < node->childCount(); ++i) {
        node->child(i)->setCheckState(0, state);
        setBranch(node->child(i), state);
    }
    m_propagating = false;
}

void frmOptions::SelectAll() {
    for (int i = 0; i < tv_data->topLevelItemCount(); ++i) {
        tv_data->topLevelItem(i)->setCheckState(0, Qt::Checked); // its branch follows
        setBranch(tv_data->topLevelItem(i), Qt::Checked);
    }
}

void frmOptions::SelectNone() {
    for (int i = 0; i < tv_data->topLevelItemCount(); ++i) {
        tv_data->topLevelItem(i)->setCheckState(0, Qt::Unchecked);
        setBranch(tv_data->topLevelItem(i), Qt::Unchecked);
    }
}

void frmOptions::busy(const QString& text) {
    lab_busy->setText(text);
    if (text.isEmpty()) {
        QApplication::restoreOverrideCursor();
        return;
    }
    QApplication::setOverrideCursor(Qt::WaitCursor);
    lab_busy->repaint();
}

void frmOptions::ClearData() {
    QStringList checked;
    for (QTreeWidgetItemIterator it(tv_data); *it; ++it)
        if ((*it)->checkState(0) == Qt::Checked) checked << NodeKey(*it);
    // nothing to clear: no question and no backup
    if (std::none_of(checked.begin(), checked.end(),
                     [](const QString& k) { return kDataGroups.contains(k); })) {
        MsgBox::Show(QStringLiteral("请选中要清空的数据!"), MsgBox::Exclamation, windowTitle());
        return;
    }
    if (!MsgBox::Confirm(QStringLiteral("是否清空选中的数据?"), windowTitle())) return;
    busy(QStringLiteral("正在备份并清空数据..."));
    const ClearOutcome out = ClearDataGroups(checked);
    busy(QString());
    if (!out.error.isEmpty())
        MsgBox::Show(out.error, MsgBox::Exclamation, "System");
    else if (!out.refusal.isEmpty())
        MsgBox::Show(out.refusal, MsgBox::Exclamation, windowTitle());
    else if (out.cleared > 0)
        MsgBox::Show(QStringLiteral("数据清空完成!"), MsgBox::Information, windowTitle());
}

void frmOptions::Initialise() {
    if (!MsgBox::Confirm(QStringLiteral("是否执行初始化操作?"), windowTitle())) return;
    busy(QStringLiteral("正在备份并初始化..."));
    const QString error = InitialiseData(); // the backup's failure or the engine's error
    busy(QString());
    if (!error.isEmpty()) {
        MsgBox::Show(error, MsgBox::Exclamation, "System");
        return;
    }
    MsgBox::Show(QStringLiteral("执行初始化完成!"), MsgBox::Information, windowTitle());
}

void frmOptions::BackUp() {
    busy(QStringLiteral("正在备份数据..."));
    const m_DBresult r = BackUpDB();
    busy(QString());
    if (r.isResult)
        MsgBox::Show(BackupDoneMessage(), MsgBox::Information, "System");
    else
        MsgBox::Show(r.str_MsgBox, MsgBox::Exclamation, "System");
}

void frmOptions::Compact() {
    busy(QStringLiteral("正在压缩数据..."));
    const m_DBresult r = CompactDB();
    busy(QString());
    if (r.isResult)
        MsgBox::Show(CompactDoneMessage(), MsgBox::Information, "System");
    else
        MsgBox::Show(r.str_MsgBox, MsgBox::Exclamation, "System");
}
