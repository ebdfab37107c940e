#pragma once
// The report engine's window: the paged grid with its pager, the header
// sort, the account selection box, the toolbar and the search skeleton.
// A report kind adds its filters, its conditions, its list query and how a
// row of the result fills a grid row.

#include "data/conditions.h"
#include "ui/pager.h"

#include <QWidget>
#include <utility>
#include <vector>

class QComboBox;
class QDate;
class QDateEdit;
class ReportDal;
class QFrame;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableWidget;
class QToolBar;
class QTreeWidget;
class QVBoxLayout;

class ReportForm : public QWidget, public PagerControls {
    Q_OBJECT
public:
    QTableWidget* dg_List;
    QTreeWidget* tv_accountType;
    QLineEdit* txt_accountType; // the chosen names; accountTag holds their ids
    QString accountTag;
    QPushButton* btn_selectAccountType;
    QFrame* pic_Box;
    QLineEdit* txt_condition_list;
    QToolBar* utoolbar;
    QMenu* vs_pop_menu;
    m_PageInfor pageInfo;
    m_recordSet result;

    // The sort field of a grid column ("" when the column does not sort).
    virtual QString GetColName(int column) const = 0;

public slots:
    void InitReport();
    // A search the user starts: from the first page.
    void Search();
    void btn_search();
    void LoadData();
    void UpdatePager(int pageIndex, int recordCount);
    void FirstPage();
    void PrevPage();
    void NextPage();
    void LastPage();
    void GoToTypedPage();
    void PageSizeChanged();
    void SortByColumn(int column);
    void ShowAccountBox();
    void SelectAllAccounts();
    void SelectNoAccounts();
    void ConfirmAccounts();
    void CancelAccounts();
    void LoadAccountTypes();

protected:
    ReportForm(const char* objectName, const QString& title, const QString& header, QWidget* parent);
    // Puts the kind's filter panel above the grid.
    void setFilterPanel(QWidget* panel);
    // The filter panel of rows laid one under the other.
    void setFilterRows(std::initializer_list<QLayout*> rows);
    // The kind's conditions; false stops the search.
    virtual bool buildConditions(ConditionSet& source, ConditionSet& list) = 0;
    virtual m_recordSet runList(const ConditionSet& source, const ConditionSet& list) = 0;
    // Fills the grid row from the record set's current row (column 0 is numbered already).
    virtual void fillRow(int row, const RecordSet& rs) = 0;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // Enter in the box runs the search; the box takes a sensible length.
    void searchOnEnter(QLineEdit* box);
    // The goods category filter: the enabled categories, blank first (every category).
    static QComboBox* NewGoodsTypeCombo();
    // The filter panel of the kinds read per location: the account box, 库位,
    // 货品类别, the kind's own (caption, box) pairs, 关键字 and 查询; Enter in
    // a box searches.
    struct PlaceFilters {
        QComboBox* location; // the user's locations by code, blank first (all of them)
        QComboBox* goodsType;
        QLineEdit* keyword;
    };
    PlaceFilters addPlaceFilters(std::initializer_list<std::pair<const char*, QLineEdit*>> own = {});
    // The chosen location and those below it that the user may see; every
    // granted location when none is chosen.
    static QString chosenPlaces(const QComboBox* location);
    // The bill date filter: from the first of this month to today.
    static QDateEdit* NewDateEdit(const char* name, const QDate& date);
    // The filter panel's parts: the 查询 button, the account box (账目标识 with
    // its button) and the bill date range (建单日期 ... 至 ...), added to a row.
    QPushButton* newSearchButton();
    void addAccountBox(QHBoxLayout* row);
    static void addDateRange(QHBoxLayout* row, QDateEdit* from, QDateEdit* to);
    // Shows a drop-down box under its field, inside the window.
    void showBelow(QWidget* box, QWidget* anchor);
    // A search only counts its rows; each page is read on its own, from the
    // report table of this data side unless the kind reads its pages itself.
    void pagesFrom(ReportDal& dal) { m_pages = &dal; }
    virtual RecordSet pageRows(int pageIndex, int pageSize);
    // Called after a page has been put into the grid.
    virtual void pageFilled() {}
    // Called after the grid's header is laid anew (a kind may decorate it).
    virtual void headerReset() {}
    // The export of every row of the last search in its sort; permission: the
    // function code the user needs.
    void exportRows(ReportDal& dal, const QString& permission, const QString& title, const QString& captions,
                    const QString& kinds);
    // The print of every row of the last search in its sort; an empty
    // permission is not checked.
    void printRows(ReportDal& dal, const QString& permission, const QString& templateCode,
                   const QString& commandPrefix, const QString& emptyMessage);
    void setCell(int row, int column, const QString& text);
    // The icon of a goods' status (启用, 替代, else stopped) beside it.
    void showGoodsStatusIcon(int row, int column);
    QString cell(int row, int column) const;
    void resetGrid();

private:
    QString m_header;
    PagerParts m_pager;
    std::vector<QObject*> m_searchBoxes;
    QVBoxLayout* m_layout;
    ReportDal* m_pages = nullptr;
};
