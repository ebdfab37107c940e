#pragma once
// The department permission window (权限设置): the departments on the left,
// for the chosen one and kind of grant (functions, locations, accounts) a
// tree of check boxes on the right, saved as the department's grants.

#include <QWidget>

class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

class frm_department_fun : public QWidget {
    Q_OBJECT
public:
    explicit frm_department_fun(QWidget* parent = nullptr);

    enum Kind { Functions, Locations, Accounts };

    QTreeWidget* tv_department;
    QTreeWidget* tv_fun;
    QPushButton* funType;
    QPushButton* locationType;
    QPushButton* accountType;
    QMenu* pop_menu;
    Kind kind() const { return m_kind; }
    // The department of the selected node (the root: 0); -1 when none is selected.
    int departmentId() const;

public slots:
    void LoadDepartments();
    void SetKind(int kind);
    void LoadGrants();
    void menu_all_select();
    void menu_none_select();
    void Save();
    void funRefresh();

private:
    void setBranch(QTreeWidgetItem* node, Qt::CheckState state);
    Kind m_kind = Functions;
    bool m_propagating = false;
};
