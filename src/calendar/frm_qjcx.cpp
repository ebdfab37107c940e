#include "frm_qjcx.h"

#include "events.h"
#include "frmevents.h"

#include "data/accesstext.h"
#include "data/conditions.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/modal.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

const char* const kKeys[] = {"id", "flgType", "eventContent", "createTime"};

QIcon flagIcon(const QString& flag) {
    if (flag == QStringLiteral("一般")) return GlyphIcon(QStringLiteral("般"), QColor(0, 128, 0));
    if (flag == QStringLiteral("重要")) return GlyphIcon(QStringLiteral("重"), QColor(0, 0, 192));
    return GlyphIcon(QStringLiteral("急"), QColor(192, 0, 0));
}

QString shownTime(const QString& stored) {
    QDateTime t = QDateTime::fromString(stored, "yyyy-MM-dd hh:mm:ss");
    if (!t.isValid()) t = QDateTime::fromString(stored, "yyyy-MM-dd hh:mm");
    return t.isValid() ? t.toString("yyyy-MM-dd hh:mm") : stored;
}

} // namespace

frm_qjcx::frm_qjcx(QWidget* parent) : QDialog(parent) {
    setObjectName("frm_qjcx");
    setWindowTitle(QStringLiteral("日程列表"));
    txt_KeyWord = NamedEdit("txt_KeyWord");
    txt_KeyWord->setMaxLength(100);
    txt_KeyWord->installEventFilter(this);
    chk_date = new QCheckBox(QStringLiteral("指定日期"));
    chk_date->setObjectName("chk_date");
    dt_time = new QDateEdit(QDate::currentDate());
    dt_time->setObjectName("dt_time");
    dt_time->setCalendarPopup(true);
    dt_time->setDisplayFormat("yyyy-MM-dd");
    auto* search = NamedButton("btn_search", "查询");
    connect(search, &QPushButton::clicked, this, &frm_qjcx::Search);

    listview_List = new QTreeWidget;
    listview_List->setObjectName("listview_List");
    listview_List->setRootIsDecorated(false);
    listview_List->setHeaderLabels({"选择", "标注", "主题内容", "开始时间"});
    listview_List->setContextMenuPolicy(Qt::CustomContextMenu);
    listview_List->installEventFilter(this);
    listview_List->header()->setSectionsClickable(true);
    listview_List->header()->setStretchLastSection(false);
    listview_List->header()->setSectionResizeMode(2, QHeaderView::Stretch); // the content takes the room
    listview_List->setColumnWidth(0, 90);
    listview_List->setColumnWidth(1, 100);
    listview_List->setColumnWidth(3, 140);
    connect(listview_List->header(), &QHeaderView::sectionClicked, this, &frm_qjcx::SortBy);
    connect(listview_List, &QTreeWidget::currentItemChanged, this, [this] { showSelected(); });
    connect(listview_List, &QTreeWidget::itemDoubleClicked, this, [this] { OpenCurrent(); });
    row_menu = new QMenu(this);
    row_menu->setObjectName("row_menu");
    row_menu->addAction(QStringLiteral("删除当前行"), this, &frm_qjcx::DeleteCurrent);
    row_menu->addAction(QStringLiteral("删除选中行"), this, &frm_qjcx::DeleteChecked);
    connect(listview_List, &QTreeWidget::customContextMenuRequested, this,
            [this](const QPoint& p) { row_menu->popup(listview_List->viewport()->mapToGlobal(p)); });
    txt_id = NamedEdit("txt_id");
    txt_id->setReadOnly(true);
    txt_id->setMaximumWidth(80);
    txt_content = NamedEdit("txt_content");
    txt_content->setReadOnly(true);

    m_pager = NewPager({"15", "30", "50", "80", "100"}, this);
    AdoptPager(m_pager);
    connect(comb_pageSize, &QComboBox::activated, this, [this] {
        txt_PageIndex->setText("1");
        load_listView();
    });
    connect(btn_FirstPage, &QPushButton::clicked, this, &frm_qjcx::FirstPage);
    connect(btn_PrevPage, &QPushButton::clicked, this, &frm_qjcx::PrevPage);
    connect(btn_NextPage, &QPushButton::clicked, this, &frm_qjcx::NextPage);
    connect(btn_LastPage, &QPushButton::clicked, this, &frm_qjcx::LastPage);
    CheckAll = new QCheckBox(QStringLiteral("全选"));
    CheckAll->setObjectName("CheckAll");
    connect(CheckAll, &QCheckBox::toggled, this, [this](bool on) {
        for (int i = 0; i < listview_List->topLevelItemCount(); ++i)
            listview_List->topLevelItem(i)->setCheckState(0, on ? Qt::Checked : Qt::Unchecked);
    });

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("关键字:")));
    filters->addWidget(txt_KeyWord, 1);
    filters->addWidget(chk_date);
    filters->addWidget(dt_time);
    filters->addWidget(search);
    auto* preview = new QHBoxLayout;
    preview->addWidget(txt_id);
    preview->addWidget(txt_content, 1);
    m_pager.row->insertWidget(0, CheckAll);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(listview_List, 1);
    layout->addLayout(preview);
    layout->addLayout(m_pager.row);
    resize(820, 600); // over the calendar it opens from
    txt_PageIndex->setText("1");
}

void frm_qjcx::FilterDay(const QDate& day) {
    chk_date->setChecked(true);
    dt_time->setDate(day);
}

QString frm_qjcx::GetStrSql() const {
    QString sql = "SELECT id,eventContent,createTime,createUserId,flgType,isStart  FROM tb_events where 1=1 ";
    if (chk_date->isChecked()) sql += " and " + TimeRange(dt_time->date(), dt_time->date().addDays(1));
    const QString keyword = txt_KeyWord->text().trimmed();
    if (!keyword.isEmpty()) sql += " and eventContent like '%" + sqlHelper::EscapeQuote(keyword) + "%'";
    return sql;
}

void frm_qjcx::load_listView() {
    listview_List->clear();
    const int size = comb_pageSize->currentText().toInt();
    int page = static_cast<int>(acc::val(txt_PageIndex->text()));
    if (page < 1) page = 1;
    const int maxPage = static_cast<int>(acc::val(txt_MaxPageIndex->text()));
    if (maxPage > 0 && page > maxPage) page = maxPage;
    const QString sql = GetStrSql();
    const QString pageSql = GetPageSql(sql, page, size, sortKey, isDesc);
    const m_recordSet result = GetRecordSet(pageSql, sql);
    m_recordCount = result.recordCount;
    const RecordSet& rs = result.recordSet;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        auto* item = new QTreeWidgetItem(listview_List);
        const QString id = acc::valueText(rs.at(r, "id"));
        item->setText(0, id);
        item->setData(0, Qt::UserRole, "key_" + id);
        item->setCheckState(0, Qt::Unchecked);
        item->setIcon(0, rs.at(r, "isStart").toInt() != 0
                             ? GlyphIcon(QStringLiteral("✔"), QColor(46, 139, 87))
                             : GlyphIcon(QStringLiteral("✖"), QColor(150, 150, 150)));
        const QString flag = acc::valueText(rs.at(r, "flgType"));
        item->setText(1, flag);
        item->setIcon(1, flagIcon(flag));
        item->setText(2, acc::valueText(rs.at(r, "eventContent")));
        item->setText(3, shownTime(acc::valueText(rs.at(r, "createTime"))));
    }
    // the current row is the one the user picks, never one that merely came first
    listview_List->setCurrentItem(nullptr);
    listview_List->clearSelection();
    txt_id->clear();
    txt_content->clear();
    m_pager.show(page, m_recordCount, size);
}

void frm_qjcx::Search() {
    txt_PageIndex->setText("1");
    txt_MaxPageIndex->setText("0");
    load_listView();
}

void frm_qjcx::FirstPage() {
    txt_PageIndex->setText("1");
    load_listView();
}

void frm_qjcx::PrevPage() {
    txt_PageIndex->setText(QString::number(acc::val(txt_PageIndex->text()) - 1));
    load_listView();
}

void frm_qjcx::NextPage() {
    txt_PageIndex->setText(QString::number(acc::val(txt_PageIndex->text()) + 1));
    load_listView();
}

void frm_qjcx::LastPage() {
    txt_PageIndex->setText(txt_MaxPageIndex->text());
    load_listView();
}

void frm_qjcx::SortBy(int column) {
    if (column < 0 || column > 3) return;
    isDesc = !isDesc;
    sortKey = QString::fromLatin1(kKeys[column]);
    load_listView();
}

void frm_qjcx::showSelected() {
    const QTreeWidgetItem* item = listview_List->currentItem();
    txt_id->setText(item ? item->data(0, Qt::UserRole).toString().mid(4) : QString());
    txt_content->setText(item ? item->text(2) : QString());
}

void frm_qjcx::OpenCurrent() {
    const QTreeWidgetItem* item = listview_List->currentItem();
    if (!item) return;
    frmEvents editor(this);
    editor.load_EventsContent(item->data(0, Qt::UserRole).toString().mid(4).toInt());
    connect(&editor, &frmEvents::saved, this, [this] {
        load_listView();
        emit changed();
    });
    RunModal(&editor);
}

void frm_qjcx::DeleteCurrent() {
    const QTreeWidgetItem* item = listview_List->currentItem();
    if (!item) return Refuse(this, QStringLiteral("当前行未选中!"));
    if (!MsgBox::Confirm(QStringLiteral("删除后将不能恢复,确定删除当前行?"), windowTitle())) return;
    const m_DBresult r = dal_events().Delete(item->data(0, Qt::UserRole).toString().mid(4).toInt());
    if (!r.isResult) return Refuse(this, r.str_MsgBox);
    load_listView();
    emit changed();
}

QString frm_qjcx::GetCheckItemID() const {
    QStringList ids;
    for (int i = 0; i < listview_List->topLevelItemCount(); ++i)
        if (listview_List->topLevelItem(i)->checkState(0) == Qt::Checked)
            ids << listview_List->topLevelItem(i)->data(0, Qt::UserRole).toString().mid(4);
    return ids.join(',');
}

void frm_qjcx::DeleteChecked() {
    const QString ids = GetCheckItemID();
    if (ids.isEmpty()) return Refuse(this, QStringLiteral("没有选中项!"));
    if (!MsgBox::Confirm(QStringLiteral("删除后将不能恢复,确定删除选中项?"), windowTitle())) return;
    QList<int> list;
    for (const QString& id : ids.split(','))
        list << id.toInt();
    const m_DBresult r = dal_events().DeleteMore(list);
    if (!r.isResult) return Refuse(this, r.str_MsgBox);
    load_listView();
    CheckAll->setChecked(false);
    emit changed();
}

bool frm_qjcx::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (watched == txt_KeyWord && enter) {
            Search();
            return true;
        }
        if (watched == txt_PageIndex && enter) {
            load_listView();
            return true;
        }
        if (watched == listview_List && enter) {
            OpenCurrent();
            return true;
        }
        if (watched == listview_List && key == Qt::Key_Delete) {
            DeleteCurrent();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}
