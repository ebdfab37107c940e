#include "data/sqlhelper.h"
#include "guifixture.h"
#include "ui/widgethelpers.h"

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>
#include <QVBoxLayout>

class WidgetHelpers : public GuiTest {};

TEST_F(WidgetHelpers, FillComboListsOneColumnWithBlanksAsEmpty) {
    exec("update tb_dictionary set remark=Null where id=3");
    QComboBox box;
    box.addItem("old");
    FillCombo(&box, "select id, remark from tb_dictionary where id<=3 order by id", "REMARK");
    ASSERT_EQ(box.count(), 3);
    EXPECT_EQ(box.itemText(0), "拥有全部功能");
    EXPECT_EQ(box.itemText(1), "");
    EXPECT_EQ(box.itemText(2), "");
    FillCombo(&box, "select uname from tb_dictionary where 1=0", "uname");
    EXPECT_EQ(box.count(), 0);
}

TEST_F(WidgetHelpers, GridHelpers) {
    QTableWidget grid(3, 4);
    RecordSet rs =
        sqlHelper::ExecuteSql("select id, uname, Null as n from tb_dictionary where id<=2 order by id");
    BindGrid(&grid, rs);
    EXPECT_FALSE(rs.isOpen());
    ASSERT_EQ(grid.rowCount(), 2);
    ASSERT_EQ(grid.columnCount(), 3);
    EXPECT_EQ(grid.item(1, 1)->text(), "默认账目");
    EXPECT_EQ(grid.item(0, 2)->text(), "");

    QTableWidget lines(5, 3);
    NumberGridRows(&lines, 1, 3, 0, 24, 7);
    EXPECT_EQ(lines.item(0, 0), nullptr);
    EXPECT_EQ(lines.item(1, 0)->text(), "7");
    EXPECT_EQ(lines.item(3, 0)->text(), "9");
    EXPECT_EQ(lines.item(4, 0), nullptr);
    EXPECT_EQ(lines.verticalHeader()->minimumSectionSize(), 24);

    for (int c = 0; c < 3; ++c)
        lines.setColumnWidth(c, 100);
    const int all = GetGridWidth(&lines);
    lines.setColumnHidden(1, true);
    EXPECT_EQ(GetGridWidth(&lines), all - 100);

    SetGridRowCell(&lines, Qt::BackgroundRole, 2, QColor(255, 224, 192));
    for (int c = 0; c < 3; ++c)
        EXPECT_EQ(lines.item(2, c)->background().color(), QColor(255, 224, 192));
}

TEST_F(WidgetHelpers, KeyNavigateMovesBetweenFields) {
    QWidget form;
    auto* a = new QLineEdit("alpha");
    auto* list = new QComboBox;
    list->addItems({"x", "y"});
    auto* b = new QLineEdit("beta");
    auto* layout = new QVBoxLayout(&form);
    layout->addWidget(a);
    layout->addWidget(list);
    layout->addWidget(b);
    form.show();
    QApplication::setActiveWindow(&form);
    a->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), a);

    EXPECT_TRUE(KeyNavigate(Qt::Key_Return, false, false));
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_FALSE(KeyNavigate(Qt::Key_Down, false, false)); // the list keeps its arrow keys
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_TRUE(KeyNavigate(Qt::Key_Enter, false, false));
    EXPECT_EQ(QApplication::focusWidget(), b);
    EXPECT_EQ(b->selectedText(), "beta");
    EXPECT_FALSE(KeyNavigate(Qt::Key_Up, false, true));
    EXPECT_EQ(QApplication::focusWidget(), b);
    EXPECT_TRUE(KeyNavigate(Qt::Key_Up, false, false));
    EXPECT_EQ(QApplication::focusWidget(), list);
    EXPECT_FALSE(KeyNavigate(Qt::Key_Return, true, false));
    EXPECT_FALSE(KeyNavigate(Qt::Key_A, false, false));
    EXPECT_EQ(QApplication::focusWidget(), list);
}

TEST_F(WidgetHelpers, PopupMenuBelowTheAnchor) {
    QWidget form;
    auto* anchor = new QLineEdit(&form);
    anchor->setGeometry(10, 20, 100, 24);
    form.resize(300, 200);
    form.show();
    QMenu menu;
    menu.addAction("x");
    PopupMenuBelow(&form, &menu, nullptr, 0, 0, 0);
    EXPECT_FALSE(menu.isVisible());
    PopupMenuBelow(&form, &menu, anchor, 5, 2, 0);
    ASSERT_TRUE(menu.isVisible());
    EXPECT_EQ(menu.pos(), anchor->mapToGlobal(QPoint(10, 26)));
    menu.hide();
}
