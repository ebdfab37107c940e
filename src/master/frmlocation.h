#pragma once
#include "location.h"

#include <QWidget>

class LazyTree;
class ListView;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

// The location window (库位信息): the location tree, the children of the
// chosen node, and the fields of one location.
class frmLocation : public QWidget {
    Q_OBJECT
public:
    explicit frmLocation(QWidget* parent = nullptr);

    QLineEdit* txt_id;
    QLineEdit* txt_name;
    QLineEdit* txt_locationCode;
    QLineEdit* txt_capacity;
    QLineEdit* txt_parentLocationCode;
    QLineEdit* txt_parentId;
    QLineEdit* txt_remark;
    QCheckBox* chk_start;
    QCheckBox* chk_lock;
    QCheckBox* chk_virtual;
    QPushButton* btn_setParent;
    QPushButton* btn_clearParent;
    QTreeWidget* tv_Location;
    ListView* lstView_LocationDetail;
    QLineEdit* txt_KeyWord;
    QPushButton* btn_search;
    QLabel* lab_count;
    QMenu* node_edit;
    QMenu* viewMenu;
    LazyTree* tree() const { return m_tree; }

public slots:
    void BuildTree();
    void Search();
    void show_LocationInfor(int id);
    void ClearForm();
    void NewChildLocation();
    void SaveLocation();
    void DeleteLocation();
    void ChooseParent();
    void ClearParent();
    void PrintLocation();
    void select_view(const QString& view);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void nodeClicked(QTreeWidgetItem* node);
    void refuse(const QString& text, QWidget* focus = nullptr);
    LazyTree* m_tree;
    dal_location m_dal;
    QString m_lastCondition;
};
