#pragma once
// The pager under a paged list, built and updated the same way in every window.

#include <QStringList>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QObject;
class QPushButton;

// The pager under a list: the record count, 每页 with the page sizes, 首页,
// 上一页, the page number / last page, 下一页 and 尾页, in one row.
struct PagerParts {
    QComboBox* pageSize = nullptr;
    QLineEdit* pageIndex = nullptr;
    QLineEdit* maxPageIndex = nullptr;
    QPushButton* first = nullptr;
    QPushButton* prev = nullptr;
    QPushButton* next = nullptr;
    QPushButton* last = nullptr;
    QLabel* recordCount = nullptr;
    QHBoxLayout* row = nullptr;
    // Shows a page of recordCount rows in pages of size: the count, the page
    // (kept within the pages) and the last page; only the moves that lead somewhere.
    void show(int page, int recordCount, int size) const;
};
// The pager's parts under the names the paged windows give them.
struct PagerControls {
    QComboBox* comb_pageSize = nullptr;
    QLineEdit* txt_PageIndex = nullptr;
    QLineEdit* txt_MaxPageIndex = nullptr;
    QPushButton* btn_FirstPage = nullptr;
    QPushButton* btn_PrevPage = nullptr;
    QPushButton* btn_NextPage = nullptr;
    QPushButton* btn_LastPage = nullptr;
    QLabel* lab_recordCount = nullptr;
    void AdoptPager(const PagerParts& parts);
};
// keys: the object that watches the page number box's keys (Enter loads the typed page).
PagerParts NewPager(const QStringList& sizes, QObject* keys);
