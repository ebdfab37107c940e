// The master-data windows inside the main window: closing, opening one
// another by key, and their opening sizes on a 1366 x 768 screen.
#include "app/frm_main.h"
#include "bills/frmbillentry.h"
#include "guifixture.h"
#include "master/frm_customer.h"
#include "master/frm_dictionary.h"
#include "master/frmgoods.h"
#include "master/frmlocation.h"
#include "ui/formparts.h"
#include "ui/lazytree.h"
#include "ui/listview.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QTreeWidget>

namespace {

const char* const kMasterWindows[] = {"frm_dictionary", "frmLocation", "frm_customer", "frmGoods"};

} // namespace

class MasterWindows : public GuiDemoTest {
protected:
    void SetUp() override {
        GuiDemoTest::SetUp();
        loginAs("admin");
        m_main = std::make_unique<frm_Main>();
        // maximised on a 1366 x 768 screen, under a title bar and beside a panel
        m_main->resize(1366, 700);
        m_main->show();
        QApplication::setActiveWindow(m_main.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(m_main.get()));
    }
    void TearDown() override {
        m_main.reset();
        GuiDemoTest::TearDown();
    }
    QMdiArea* area() const { return m_main->mdiArea(); }
    QMdiSubWindow* topFrame() const { return area()->subWindowList(QMdiArea::StackingOrder).last(); }
    static QMdiSubWindow* frameOf(const QWidget* w) {
        return qobject_cast<QMdiSubWindow*>(w->parentWidget());
    }
    // Lets closed windows go and deferred work run.
    static void settle() {
        for (int i = 0; i < 3; ++i) {
            QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QApplication::processEvents();
        }
    }
    // Picks an entry of the pop-up menu shown at the moment, as the keyboard does.
    static void choosePopupEntry(const QString& text) {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_TRUE(menu);
        for (qsizetype i = 0; i < menu->actions().size(); ++i) {
            QTest::keyClick(menu, Qt::Key_Down);
            if (menu->activeAction() && menu->activeAction()->text() == text) {
                QTest::keyClick(menu, Qt::Key_Return);
                return;
            }
        }
        FAIL() << "no entry " << text.toStdString();
    }
    std::unique_ptr<frm_Main> m_main;
};

TEST_F(MasterWindows, CloseKeyClosesTheWholeWindow) {
    for (const char* key : kMasterWindows) {
        QWidget* w = WindowRegistry::Open(key);
        ASSERT_TRUE(w) << key;
        w->findChild<QAction*>("close")->trigger();
        settle();
        EXPECT_TRUE(area()->subWindowList().isEmpty()) << key;
        ASSERT_TRUE(WindowRegistry::Open(key));
        settle();
        EXPECT_EQ(area()->subWindowList().size(), 1) << key;
        WindowRegistry::Find(key)->findChild<QAction*>("close")->trigger();
        settle();
    }
}

TEST_F(MasterWindows, OpenAtASizeThatShowsEveryFieldAndEightRows) {
    const QRect room = area()->viewport()->rect();
    for (const char* key : kMasterWindows) {
        QWidget* form = WindowRegistry::Open(key);
        ASSERT_TRUE(form) << key;
        settle();
        EXPECT_TRUE(room.contains(frameOf(form)->geometry())) << key;
        QList<QWidget*> fields;
        for (QWidget* w : form->findChildren<QWidget*>())
            if ((qobject_cast<QLineEdit*>(w) || qobject_cast<QComboBox*>(w) ||
                 qobject_cast<QAbstractButton*>(w)) &&
                w->isVisibleTo(form) && !qobject_cast<QAbstractItemView*>(w->parentWidget()->parentWidget()))
                fields << w;
        ASSERT_GE(fields.size(), 5) << key;
        for (QWidget* w : fields) {
            const QString what = QString("%1 %2 %3").arg(key, w->metaObject()->className(), w->objectName());
            EXPECT_GE(w->height(), w->minimumSizeHint().height()) << qPrintable(what);
            EXPECT_EQ(w->visibleRegion().boundingRect(), w->rect()) << qPrintable(what); // nothing cut off
        }
        // the list of the window shows eight rows at least
        int rows = 0;
        if (auto* goods = qobject_cast<frmGoods*>(form))
            rows = goods->vsGoodsList->viewport()->height() /
                   goods->vsGoodsList->verticalHeader()->defaultSectionSize();
        else if (auto* partners = qobject_cast<frm_customer*>(form))
            rows = partners->vsCustomerList->viewport()->height() /
                   partners->vsCustomerList->verticalHeader()->defaultSectionSize();
        else if (auto* locations = qobject_cast<frmLocation*>(form))
            rows = locations->lstView_LocationDetail->icons()->viewport()->height() /
                   locations->lstView_LocationDetail->icons()->sizeHintForRow(0);
        else if (auto* dict = qobject_cast<frm_dictionary*>(form))
            rows = dict->tv_dictionary->viewport()->height() /
                   dict->tv_dictionary->visualItemRect(dict->tv_dictionary->topLevelItem(0)).height();
        EXPECT_GE(rows, 8) << key;
        screenshot(m_main.get(), QString("opened_%1").arg(key));
        CloseForm(form);
        settle();
    }
}

TEST_F(MasterWindows, CategoriesOpenInFrontOfAMaximisedWindowWithTheFocus) {
    auto* partners = WindowRegistry::OpenAs<frm_customer>("frm_customer");
    ASSERT_TRUE(partners);
    frameOf(partners)->showMaximized();
    partners->tv_type->setFocus();
    emit partners->tv_type->customContextMenuRequested(QPoint(10, 10));
    choosePopupEntry("分类管理");
    settle();
    auto* dict = qobject_cast<frm_dictionary*>(WindowRegistry::Find("frm_dictionary"));
    ASSERT_TRUE(dict);
    EXPECT_EQ(dict->txt_selectType->text(), "customerType");
    EXPECT_EQ(area()->activeSubWindow(), frameOf(dict));
    EXPECT_EQ(topFrame(), frameOf(dict));
    EXPECT_TRUE(dict->isAncestorOf(QApplication::focusWidget()));

    auto* goods = WindowRegistry::OpenAs<frmGoods>("frmGoods");
    settle();
    EXPECT_EQ(topFrame(), frameOf(goods));
    QTest::mouseClick(goods->findChild<QPushButton*>("btn_goodsTypeMg"), Qt::LeftButton);
    settle();
    EXPECT_EQ(dict->txt_selectType->text(), "goodsType");
    EXPECT_EQ(topFrame(), frameOf(dict));
    EXPECT_TRUE(dict->isAncestorOf(QApplication::focusWidget()));
    EXPECT_EQ(area()->subWindowList().size(), 3);
}

TEST_F(MasterWindows, PartnersStartABillInTheEntryWindowOnceItIsThere) {
    auto* partners = WindowRegistry::OpenAs<frm_customer>("frm_customer");
    ASSERT_TRUE(partners);
    int supplier = -1;
    for (int r = 0; r < partners->vsCustomerList->rowCount() && supplier < 0; ++r)
        if (partners->CanStartBill(r, true)) supplier = r;
    ASSERT_GE(supplier, 0);
    partners->vsCustomerList->setCurrentCell(supplier, frm_customer::colName);
    auto menuState = [&] {
        emit partners->vsCustomerList->customContextMenuRequested(QPoint(10, 10));
        const bool enabled = partners->menuImport->isEnabled();
        partners->listMenu->hide();
        return enabled;
    };
    const WindowRegistry::Window entryWindow{.create = [](QWidget*) { return new frmImport; }};
    WindowRegistry::Unregister("frmImport");
    EXPECT_FALSE(menuState()); // no entry window
    partners->StartBill(true);
    EXPECT_EQ(area()->subWindowList().size(), 1);

    WindowRegistry::Register("frmImport", entryWindow);
    EXPECT_TRUE(menuState());
    partners->StartBill(true);
    settle();
    auto* entry = qobject_cast<frmImport*>(WindowRegistry::Find("frmImport"));
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->txt_partnerId->text().toInt(),
              CellText(partners->vsCustomerList, supplier, frm_customer::colId).toInt());
    EXPECT_EQ(entry->txt_partnerName->text(),
              CellText(partners->vsCustomerList, supplier, frm_customer::colName));
    EXPECT_TRUE(entry->txt_id->text().isEmpty()); // a new bill
    EXPECT_EQ(topFrame(), frameOf(entry));
}

TEST_F(MasterWindows, TreesShowWhichNodesHaveChildren) {
    auto* goods = WindowRegistry::OpenAs<frmGoods>("frmGoods");
    ASSERT_TRUE(goods);
    EXPECT_TRUE(goods->tv_type->rootIsDecorated());
    QTreeWidgetItem* food = goods->tree()->Find("key_110");   // two categories below it, not read yet
    QTreeWidgetItem* office = goods->tree()->Find("key_116"); // none below it
    ASSERT_TRUE(food && office);
    EXPECT_EQ(food->childCount(), 0);
    EXPECT_EQ(food->childIndicatorPolicy(), QTreeWidgetItem::ShowIndicator);
    EXPECT_EQ(office->childIndicatorPolicy(), QTreeWidgetItem::DontShowIndicatorWhenChildless);
    goods->tv_type->expandItem(food); // the indicator opens it
    EXPECT_EQ(food->childCount(), 2);
    EXPECT_EQ(NodeImage(food), "open");
    settle();
    screenshot(goods->tv_type, "goods_categories");
}

#include "test_master_windows.moc"
