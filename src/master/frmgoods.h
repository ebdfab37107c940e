#pragma once
#include "dictionary.h"
#include "goods.h"

#include <QWidget>

class LazyTree;
class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTreeWidget;
class QTreeWidgetItem;
class uvg;

// The goods window (货品信息): goods by category, their fields and their packaging units.
class frmGoods : public QWidget {
    Q_OBJECT
public:
    explicit frmGoods(QWidget* parent = nullptr);

    enum ListCol {
        lcNo,
        lcCheck,
        lcId,
        lcStatus,
        lcCode,
        lcName,
        lcDesc,
        lcType,
        lcUp,
        lcDown,
        lcCreator,
        lcTime,
        lcCount
    };
    enum DetailCol {
        dcNo,
        dcCheck,
        dcId,
        dcIsDefault,
        dcDefault,
        dcCode,
        dcUnit,
        dcPackQty,
        dcWeight,
        dcInPrice,
        dcSalePrice,
        dcCount
    };

    QTreeWidget* tv_type;
    QLineEdit* txt_KeyWord;
    QLabel* lab_count;
    QTableWidget* vsGoodsList;
    QLineEdit* txt_id;
    QLineEdit* txt_goodsCode;
    QLineEdit* txt_goodsName;
    QLineEdit* txt_goodsDesc;
    QComboBox* cobo_goodsTypeName;
    QComboBox* cobo_status;
    QLineEdit* txt_upqty;
    QLineEdit* txt_downqty;
    QCheckBox* chk_lotTracked;    // 按批次管理
    QLineEdit* txt_shelfLifeDays; // 保质期天数
    QLineEdit* txt_goodsDetailCode;
    QLineEdit* txt_unit;
    QLineEdit* txt_packQty;
    QLineEdit* txt_weight;
    QLineEdit* txt_inPrice;
    QLineEdit* txt_salePrice;
    QTableWidget* vsflg_Detail;
    uvg* detailGrid;
    QAction* exportAction;
    LazyTree* tree() const { return m_tree; }

public slots:
    void setDgColForList();
    void setDgColForDetail();
    void btn_search();
    void ShowGoods(int row);
    void ShowGoodsById(int id);
    void Load_GoodsDetailData(int headId);
    void ClearForm();
    void btn_GoodsAdd();
    void btn_GoodsCopy();
    void btn_GoodsSave();
    void btn_GoodsDelete();
    // Goods from a spreadsheet (导入), then shown in the list.
    void btn_Import();
    void btn_addBarCode();
    void btn_setDefault();
    void btn_DetailDelete();
    void btn_DetailSave();
    void btn_goodsTypeMg();
    // The category tree and list read again, the chosen ones kept.
    void ReloadCategories();
    void addnew_type();
    void btn_checkdel();
    void CheckSelected();
    void InvertSelected();
    void PrintBarcode();
    // Where the goods in the form lies: the stock per location window.
    void ShowLocationStock();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void refuse(const QString& text, QWidget* focus = nullptr);
    void paintRequired();
    int currentId() const;
    LazyTree* m_tree;
    dal_goods_head m_head;
    dal_goods_detail m_detail;
    dal_dictionary m_dict;
    ConditionSet m_lastConditions;
};
