#pragma once
// The options window (选项): data maintenance (clearing groups of data,
// initialisation) and backup and compaction.

#include <QDialog>

class QLabel;
class QPushButton;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

class frmOptions : public QDialog {
    Q_OBJECT
public:
    explicit frmOptions(QWidget* parent = nullptr);

    QTabWidget* tabs;
    QTreeWidget* tv_data;
    QLabel* lab_busy;
    // The permission check of the opening; false closes the window.
    bool Load();

public slots:
    void SelectAll();
    void SelectNone();
    void ClearData();
    void Initialise();
    void BackUp();
    void Compact();
    void NextTab();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void setBranch(QTreeWidgetItem* node, Qt::CheckState state);
    void busy(const QString& text);
    bool m_propagating = false;
    bool m_loaded = false;
};
