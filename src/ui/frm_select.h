#pragma once
// The lookup dialog (信息查找): searches one kind of record by keyword and
// hands back the records the user picks.

#include "data/conditions.h"
#include "data/results.h"

#include <QDialog>
#include <any>
#include <functional>
#include <vector>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;

class frm_select : public QDialog {
    Q_OBJECT
public:
    // What a mode searches and what it returns.
    struct Mode {
        QString selectPart;
        QStringList headerPieces; // after the common "^行号 |^id |^选定   "
        // the condition set for a keyword (already trimmed) and the extra condition
        std::function<ConditionSet(const QString& keyword, const m_condition& extra)> conditions;
        std::function<m_recordSet(const ConditionSet&, const QString& selectPart)> source;
        // a result record from the grid's row (id in column 1, code or name in column 3)
        std::function<std::any(const QTableWidget* grid, int row)> record;
        // the goods (head id) of a row, for its lots (查看批次 in the row menu); none: no lots
        std::function<int(const QTableWidget* grid, int row)> goodsOf;
    };
    // Each feature registers the modes of its records at start-up.
    static void RegisterMode(const QString& name, Mode mode);
    // The text of a result grid's cell, for a mode's record.
    static QString CellText(const QTableWidget* grid, int row, int column);
    static bool HasMode(const QString& name);

    explicit frm_select(QWidget* parent = nullptr);

    void setMode(const QString& mode) { m_mode = mode; }
    QString mode() const { return m_mode; }
    // One record at a time: no tick column and no 全选.
    void setSinglePick(bool single);
    void setExtraCondition(const m_condition& c) { m_extra = c; }
    void setKeyword(const QString& keyword);
    const ::m_result& result() const { return m_picked; }
    // The picked records, in pick order.
    template <typename T> std::vector<T> picked() const {
        std::vector<T> out;
        if (!m_picked.isHasObject) return out;
        for (const std::any& a : std::any_cast<const std::vector<std::any>&>(m_picked.resultValue))
            out.push_back(std::any_cast<T>(a));
        return out;
    }

    QLineEdit* utxtkeyword;
    QTableWidget* vgInput;
    QLabel* Lblinfor;
    QPushButton* B_SelectInput;
    QPushButton* B_AllSelect;

public slots:
    void RunSearch();
    void Pick();
    void SelectAll();
    // Enter or a double click: tick the current row, then pick.
    void PickCurrent();

    // Opens at the size last left for its mode, or one that shows its columns,
    // within the screen.
    void setVisible(bool visible) override;
    // Remembers the size for the next lookup of the mode.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QString sizeKey() const;
    bool m_sized = false;
    QString m_mode;
    bool m_single = false;
    m_condition m_extra;
    ::m_result m_picked;
};
