#pragma once
// The event list (日程列表): events by keyword and, if asked, one day, page
// by page, opened in the editor and deleted one by one or ticked together.

#include "ui/pager.h"

#include <QDate>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;

class frm_qjcx : public QDialog, public PagerControls {
    Q_OBJECT
public:
    explicit frm_qjcx(QWidget* parent = nullptr);

    QLineEdit* txt_KeyWord;
    QCheckBox* chk_date;
    QDateEdit* dt_time;
    QTreeWidget* listview_List;
    QLineEdit* txt_id;
    QLineEdit* txt_content;
    QCheckBox* CheckAll;
    QMenu* row_menu;
    QString sortKey = "createTime";
    bool isDesc = true;

    void FilterDay(const QDate& day);
    QString GetStrSql() const;
    QString GetCheckItemID() const;

public slots:
    void load_listView();
    void Search();
    void FirstPage();
    void PrevPage();
    void NextPage();
    void LastPage();
    void SortBy(int column);
    void OpenCurrent();
    void DeleteCurrent();
    void DeleteChecked();

signals:
    // Events were changed or deleted.
    void changed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void showSelected();
    int m_recordCount = 0;
    PagerParts m_pager;
};
