#pragma once
#include "dictionary.h"

#include <QWidget>

class LazyTree;
class QCheckBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QToolBar;
class QTreeWidget;
class QTreeWidgetItem;

// The dictionary window (数据字典): the entries of one type as a tree, and
// the fields of the chosen entry.
class frm_dictionary : public QWidget {
    Q_OBJECT
public:
    explicit frm_dictionary(QWidget* parent = nullptr);

    QLineEdit* txt_selectType; // the current type key
    QLineEdit* txt_id;
    QLineEdit* txt_name;
    QLineEdit* txt_parentName;
    QLineEdit* txt_parentId;
    QLineEdit* txt_remark;
    QCheckBox* chk_start;
    QPushButton* btn_setParent;
    QPushButton* btn_clearParent;
    QTreeWidget* tv_dictionary;
    QList<QPushButton*> typeButtons;
    QMenu* nodeMenu;
    LazyTree* tree() const { return m_tree; }

public slots:
    // Opens the form on the type with this button index (0 to 5).
    void init(int typeIndex);
    void LoadTypeTree(int typeIndex);
    void LoadChildNodes(QTreeWidgetItem* node);
    void show_DictionaryInfor(int id);
    void ClearForm();
    void AddEntry();
    void NewChildEntry();
    void SaveEntry();
    void DeleteEntry();
    void ChooseParent();
    void ClearParent();
    void setTypeCtl(int typeIndex);

signals:
    // The window has closed: windows that opened it read their categories again.
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void nodeClicked(QTreeWidgetItem* node);
    bool refuse(const QString& text, QWidget* focus = nullptr);
    QString caption() const { return windowTitle(); }
    LazyTree* m_tree;
    QLabel* m_typeLabel;
    dal_dictionary m_dal;
    int m_typeIndex = 0;
};
