#include "guifixture.h"

#include "access/sysvars.h"
#include "calendar/calendarview.h"
#include "calendar/events.h"
#include "calendar/frm_qjcx.h"
#include "calendar/frmcalendar.h"
#include "calendar/frmevents.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

namespace {

class Calendar : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
    }
    QString last() const { return m_msg.shown.empty() ? QString() : m_msg.shown.back().text; }
    void addEvent(int id, const QString& time, const QString& flag, const QString& content = "事项",
                  int user = 1) {
        exec(QString("insert into tb_events (id, eventContent, createTime, createUserId, flgType, isStart) "
                     "values (%1, "
                     "'%2', '%3', %4, '%5', 1)")
                 .arg(id)
                 .arg(QString(content).replace("'", "''"), time)
                 .arg(user)
                 .arg(flag));
    }
    int events() { return scalar("select count(*) from tb_events").toInt(); }
};

} // namespace

TEST_F(Calendar, MonthLengthsLeapYearsAndSixWeekRows) {
    CalendarView v;
    for (const auto& [year, days] : {std::pair{2012, 29}, {2013, 28}, {2000, 29}, {1900, 28}}) {
        v.ShowMonth(year, 2);
        EXPECT_TRUE(v.cellOf(days)) << year;
        EXPECT_FALSE(v.cellOf(days + 1)) << year;
    }
    // October 2022 starts on a Saturday and has 31 days: all six week rows
    v.ShowMonth(2022, 10);
    EXPECT_EQ(v.dayAt(0, 6), 1);
    EXPECT_EQ(v.dayAt(0, 5), 0);
    EXPECT_EQ(v.dayAt(5, 1), 31);
    EXPECT_EQ(v.VgCalendar->horizontalHeaderItem(0)->text(), "日");
    // this month: today is selected
    v.Today();
    ASSERT_TRUE(v.VgCalendar->currentItem());
    EXPECT_EQ(v.VgCalendar->currentItem()->text().toInt(), QDate::currentDate().day());
}

TEST_F(Calendar, ADayShowsOneSquareAnEventInTheColourOfItsImportance) {
    addEvent(101, "2012-08-15 09:00:00", "一般");
    addEvent(102, "2012-08-15 10:00:00", "重要");
    addEvent(103, "2012-08-15 11:00:00", "非常重要");
    addEvent(104, "2012-08-31 23:59:59", "一般"); // the last second of August
    addEvent(105, "2012-09-01 00:00:00", "一般"); // not August
    const QMap<int, DayEvents> month = MonthEvents(2012, 8);
    EXPECT_EQ(month.value(15).count, 3);
    EXPECT_EQ(month.value(15).flags, (QStringList{"一般", "重要", "非常重要"}));
    EXPECT_EQ(month.value(31).count, 1);
    EXPECT_EQ(month.size(), 2);
    EXPECT_EQ(GetJoinFlgType(QDate(2012, 8, 15)), "一般^重要^非常重要^");
    CalendarView v;
    v.resize(900, 600);
    v.show();
    v.ShowMonth(2012, 8);
    ASSERT_FALSE(v.pictureOf(15).isNull());
    EXPECT_TRUE(v.pictureOf(14).isNull());
    // the pixels of the grabbed cell: one square of each colour
    QTableWidgetItem* cell = v.cellOf(15);
    const QImage shot = v.VgCalendar->viewport()->grab(v.VgCalendar->visualItemRect(cell)).toImage();
    QMap<QRgb, int> seen;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            ++seen[shot.pixel(x, y) & 0xFFFFFF];
    for (const QColor c : {QColor(0, 128, 0), QColor(0, 0, 192), QColor(192, 0, 0)})
        EXPECT_GE(seen.value(c.rgb() & 0xFFFFFF), 40) << c.name().toStdString();
    screenshot(&v, "calendar_list_view");
    // the icon view: a flag instead of the strip, and the choice is stored
    v.comb_ViewType->setCurrentText("图标显示");
    v.UpdateView();
    EXPECT_EQ(dal_setting().GetModel("viewType").setValue, "图标显示");
    const QImage flag = v.pictureOf(15).toImage();
    EXPECT_LT(flag.width(), CalendarView::ImportanceStrip({"一般"}, false).width());
    screenshot(&v, "calendar_icon_view");
}

TEST_F(Calendar, DoubleClickingADayOpensTheEditorOrTheDaysList) {
    addEvent(101, "2012-08-15 09:00:00", "一般");
    CalendarView v;
    v.ShowMonth(2012, 8);
    const QTableWidgetItem* busy = v.cellOf(15);
    const QTableWidgetItem* free = v.cellOf(16);
    v.OpenDay(free->row(), free->column());
    ASSERT_EQ(m_modalShown.size(), 1u);
    EXPECT_EQ(m_modalShown.back(), "frmEvents");
    QDialog* seen = nullptr;
    m_onModal = [&](QDialog* d) {
        if (auto* list = qobject_cast<frm_qjcx*>(d)) {
            EXPECT_TRUE(list->chk_date->isChecked());
            EXPECT_EQ(list->dt_time->date(), QDate(2012, 8, 15));
            EXPECT_EQ(list->listview_List->topLevelItemCount(), 1);
            seen = d;
        }
        return int(QDialog::Rejected);
    };
    v.OpenDay(busy->row(), busy->column());
    EXPECT_TRUE(seen);
}

TEST_F(Calendar, TheEditorRefusesBlankContentAndKeepsTheAuthor) {
    frmEvents e;
    const int before = events();
    yesTo([&] { e.Save(); });
    EXPECT_EQ(last(), "主题内容不能为空");
    EXPECT_EQ(events(), before);
    // a new event: the time as text with seconds
    e.NewEvent(QDateTime(QDate(2012, 8, 1), QTime(9, 5)));
    e.txt_content->setPlainText("新事项");
    e.comb_flgtype->setCurrentIndex(2);
    yesTo([&] { e.Save(); });
    const int id = scalar("select max(id) from tb_events").toInt();
    EXPECT_EQ(scalar(QString("select createTime from tb_events where id=%1").arg(id)).toString(),
              "2012-08-01 09:05:00");
    EXPECT_EQ(scalar(QString("select flgType from tb_events where id=%1").arg(id)).toString(), "非常重要");
    // somebody else's event edited by admin stays theirs
    addEvent(200, "2012-08-02 10:00:00", "一般", "别人的", 2);
    frmEvents edit;
    edit.load_EventsContent(200);
    EXPECT_EQ(edit.txt_content->toPlainText(), "别人的");
    EXPECT_EQ(edit.dt_time->dateTime(), QDateTime(QDate(2012, 8, 2), QTime(10, 0)));
    edit.txt_content->setPlainText("改过的");
    bool updated = false;
    QObject::connect(&edit, &frmEvents::saved, [&](bool u) { updated = u; });
    yesTo([&] { edit.Save(); });
    EXPECT_TRUE(updated);
    EXPECT_EQ(scalar("select createUserId from tb_events where id=200").toInt(), 2);
    EXPECT_EQ(scalar("select eventContent from tb_events where id=200").toString(), "改过的");
}

TEST_F(Calendar, TheListFiltersPagesSortsAndDeletes) {
    exec("delete from tb_events");
    for (int i = 1; i <= 20; ++i)
        addEvent(i, QString("2012-08-%1 09:00:00").arg(i, 2, 10, QChar('0')), "一般",
                 i == 7 ? "和O'Neil对账" : QString("事项%1").arg(i));
    frm_qjcx list;
    list.show();
    list.load_listView();
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 15);
    EXPECT_EQ(list.lab_recordCount->text(), "记录数:20 条");
    EXPECT_EQ(list.txt_MaxPageIndex->text(), "2");
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(0), "20"); // newest first
    EXPECT_FALSE(list.btn_PrevPage->isEnabled());
    // page 3 of 2 loads page 2
    list.txt_PageIndex->setText("3");
    list.load_listView();
    EXPECT_EQ(list.txt_PageIndex->text(), "2");
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 5);
    EXPECT_FALSE(list.btn_NextPage->isEnabled());
    // a keyword with a quote, as typed
    list.txt_KeyWord->setText("O'Neil");
    list.Search();
    ASSERT_EQ(list.listview_List->topLevelItemCount(), 1);
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(0), "7");
    list.txt_KeyWord->setText("' or '1'='1");
    list.Search();
    EXPECT_EQ(list.listview_List->topLevelItemCount(), 0);
    EXPECT_EQ(list.lab_recordCount->text(), "记录数: 0 条");
    // one day
    list.txt_KeyWord->clear();
    list.FilterDay(QDate(2012, 8, 3));
    list.Search();
    ASSERT_EQ(list.listview_List->topLevelItemCount(), 1);
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(3), "2012-08-03 09:00");
    list.chk_date->setChecked(false);
    // the header: ascending, then descending
    list.Search();
    list.SortBy(2);
    EXPECT_FALSE(list.isDesc);
    // the ordering suffix ("~" + id) puts 事项10 before 事项1
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(2), "事项10");
    list.SortBy(2);
    EXPECT_TRUE(list.isDesc);
    EXPECT_EQ(list.listview_List->topLevelItem(0)->text(2), "和O'Neil对账");
    // deleting: nothing ticked, then two ticked, then the current row
    list.DeleteChecked();
    EXPECT_EQ(last(), "没有选中项!");
    EXPECT_EQ(events(), 20);
    list.listview_List->topLevelItem(0)->setCheckState(0, Qt::Checked);
    list.listview_List->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(list.GetCheckItemID().count(','), 1);
    yesTo([&] { list.DeleteChecked(); });
    EXPECT_EQ(events(), 18);
    list.listview_List->setCurrentItem(nullptr);
    list.DeleteCurrent();
    EXPECT_EQ(last(), "当前行未选中!");
    list.listview_List->setCurrentItem(list.listview_List->topLevelItem(0));
    EXPECT_FALSE(list.txt_id->text().isEmpty());
    yesTo([&] { list.DeleteCurrent(); });
    EXPECT_EQ(events(), 17);
    screenshot(&list, "event_list");
}

TEST_F(Calendar, TheHomeWindowAsksBeforeItCloses) {
    frmMain home;
    home.show();
    EXPECT_EQ(home.windowTitle(), "澜图仓库管理系统");
    m_msg.answers = {MsgBox::Cancel};
    home.close();
    EXPECT_TRUE(home.isVisible());
    ASSERT_EQ(m_msg.shown.size(), 1u);
    EXPECT_EQ(m_msg.shown.back().caption, "提示");
    EXPECT_EQ(m_msg.shown.back().icon, MsgBox::Question);
    m_msg.answers = {MsgBox::No};
    home.close();
    EXPECT_TRUE(home.isMinimized());
    screenshot(&home, "home_window");
    yesTo([&] { home.close(); });
    EXPECT_EQ(m_ended, std::vector<int>{0});
    EXPECT_TRUE(
        frmMain::ClosingQuestion().startsWith("是否退出澜图仓库管理系统?\n\n 1、单击 [是] 退出系统;"));
}

TEST_F(Calendar, AMinimisedCalendarComesBackFromTheFloatingWindow) {
    FrmCalendar f;
    bool hidden = false, back = false;
    QTimer::singleShot(0, &f, [&] {
        f.Minimise();
        QTimer::singleShot(0, &f, [&] {
            hidden = !f.isVisible();
            QWidget* floating = nullptr;
            for (QWidget* w : QApplication::topLevelWidgets())
                if (w->objectName() == "FrmShowMin" && w->isVisible()) floating = w;
            ASSERT_TRUE(floating);
            QMetaObject::invokeMethod(floating, "ShowMainWindow");
            back = f.isVisible();
            f.accept();
        });
    });
    // the calendar runs modally; minimising must not end it
    EXPECT_EQ(f.exec(), int(QDialog::Accepted));
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(back);
    EXPECT_EQ(m_modalShown.back(), "FrmLockSystem"); // behind the lock screen
}

TEST_F(Calendar, TheListHasNoCurrentRowUntilOneIsPicked) {
    frm_qjcx list;
    list.load_listView();
    ASSERT_GT(list.listview_List->topLevelItemCount(), 0);
    const int before = events();
    list.DeleteCurrent();
    EXPECT_EQ(last(), "当前行未选中!");
    EXPECT_EQ(events(), before);
}
