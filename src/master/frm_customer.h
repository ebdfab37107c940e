#pragma once
#include "customer.h"
#include "dictionary.h"

#include <QWidget>

class LazyTree;
class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QRadioButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;

// The partners window (往来单位): suppliers and customers by kind or category.
class frm_customer : public QWidget {
    Q_OBJECT
public:
    explicit frm_customer(QWidget* parent = nullptr);

    // List columns.
    enum Col {
        colNo,
        colCheck,
        colId,
        colStatus,
        colType,
        colCustomType,
        colCode,
        colName,
        colContact,
        colTel,
        colFax,
        colAddress,
        colCompany,
        colCreator,
        colCreateTime,
        colCount
    };

    QLineEdit* txt_id;
    QLineEdit* txt_customerCode;
    QLineEdit* txt_Name;
    QComboBox* cobo_TypeName;
    QComboBox* cobo_CustomTypeName;
    QComboBox* cobo_status;
    QLineEdit* txt_contact;
    QLineEdit* txt_companyName;
    QLineEdit* txt_taxNumber;
    QLineEdit* txt_bankName;
    QLineEdit* txt_bankAccount;
    QLineEdit* txt_address;
    QLineEdit* txt_tel;
    QLineEdit* txt_email;
    QLineEdit* txt_fax;
    QLineEdit* txt_creator;
    QLineEdit* txt_createTime;
    QLineEdit* txt_KeyWord;
    QLineEdit* txt_TreeType;
    QLabel* lab_count;
    QTableWidget* vsCustomerList;
    QTreeWidget* tv_type;
    QRadioButton* Opt_treeType[2];
    QMenu* listMenu;
    QAction* menuImport;
    QAction* menuExport;
    QAction* exportAction;

    // Whether the list menu may start a stock-in (isImport) or stock-out bill for a row.
    bool CanStartBill(int row, bool isImport) const;

public slots:
    void setDgColForList();
    void vsCustomerList_init();
    void ApplyTreeType(int option);
    void BuildTree();
    void Search();
    void ShowCustomer(int row);
    void ShowCustomerById(int id);
    void ClearForm();
    void AddCustomer();
    void CopyCustomer();
    void SaveCustomer();
    void DeleteCustomer();
    // Partners from a spreadsheet (导入), then shown in the list.
    void ImportCustomers();
    void ManageCategories();
    // The category tree and list read again, the chosen ones kept.
    void ReloadCategories();
    void StartBill(bool isImport);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(const QString& text, QWidget* focus = nullptr);
    void paintRequired();
    LazyTree* m_tree = nullptr;
    dal_customer m_dal;
    dal_dictionary m_dict;
    ConditionSet m_lastConditions;
};
