#include "pager.h"

#include "formparts.h"

#include "data/conditions.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>

PagerParts NewPager(const QStringList& sizes, QObject* keys) {
    PagerParts p;
    p.pageSize = NamedCombo("comb_pageSize");
    p.pageSize->addItems(sizes);
    p.pageIndex = NamedEdit("txt_PageIndex");
    p.pageIndex->setMaximumWidth(50);
    p.pageIndex->installEventFilter(keys);
    p.maxPageIndex = NamedEdit("txt_MaxPageIndex");
    p.maxPageIndex->setReadOnly(true);
    p.maxPageIndex->setMaximumWidth(50);
    p.first = NamedButton("btn_FirstPage", "首页");
    p.prev = NamedButton("btn_PrevPage", "上一页");
    p.next = NamedButton("btn_NextPage", "下一页");
    p.last = NamedButton("btn_LastPage", "尾页");
    p.recordCount = new QLabel;
    p.recordCount->setObjectName("lab_recordCount");
    p.recordCount->setMinimumWidth(120);
    p.row = new QHBoxLayout;
    p.row->addWidget(p.recordCount);
    p.row->addStretch(1);
    p.row->addWidget(new QLabel(QStringLiteral("每页")));
    p.row->addWidget(p.pageSize);
    p.row->addWidget(p.first);
    p.row->addWidget(p.prev);
    p.row->addWidget(p.pageIndex);
    p.row->addWidget(new QLabel("/"));
    p.row->addWidget(p.maxPageIndex);
    p.row->addWidget(p.next);
    p.row->addWidget(p.last);
    return p;
}

void PagerControls::AdoptPager(const PagerParts& parts) {
    comb_pageSize = parts.pageSize;
    txt_PageIndex = parts.pageIndex;
    txt_MaxPageIndex = parts.maxPageIndex;
    btn_FirstPage = parts.first;
    btn_PrevPage = parts.prev;
    btn_NextPage = parts.next;
    btn_LastPage = parts.last;
    lab_recordCount = parts.recordCount;
}

void PagerParts::show(int page, int records, int size) const {
    if (records < 1) {
        recordCount->setText(QStringLiteral("记录数: 0 条"));
        pageIndex->setText("0");
        maxPageIndex->setText("0");
        for (QPushButton* b : {first, prev, next, last})
            b->setEnabled(false);
        return;
    }
    const int pages = GetPageCount(records, std::max(1, size));
    page = std::clamp(page, 1, pages);
    recordCount->setText(QStringLiteral("记录数:%1 条").arg(records));
    pageIndex->setText(QString::number(page));
    maxPageIndex->setText(QString::number(pages));
    first->setEnabled(page > 1);
    prev->setEnabled(page > 1);
    next->setEnabled(page < pages);
    last->setEnabled(page < pages);
}
