#pragma once
// Takes charge of an editable grid: adding, inserting, deleting and numbering
// rows, copying cells, moving on with Enter, and an optional row limit.
// Column 0 holds the line numbers 1, 2, ... (a model that numbers its rows
// itself may refuse them). Columns whose header data under Qt::UserRole is
// "readonly" are passed over when moving on.

#include <QObject>

class QTableView;

class uvg : public QObject {
    Q_OBJECT
public:
    explicit uvg(QObject* parent = nullptr);
    // Takes over the grid; rowLimit 0 or less means no limit.
    void init(QTableView* grid, int rowLimit);
    void setEnterMovesOn(bool on) { m_enterMovesOn = on; }
    QTableView* grid() const { return m_grid; }

    // The first visible, editable column after column 0.
    int uGetFirstCol() const;
    // Hands the text of the cell being edited to the grid and closes its editor.
    void CommitEdit();

public slots:
    // Adds a row at the end; its first editable cell becomes current and the grid takes the focus.
    bool AddRow();
    bool InsertRow();
    void DeleteRow();
    void CopySelection();
    // Enter: the next editable cell, which it starts editing, or the first
    // editable cell of the next row (adding one after the last).
    void MoveOn();
    void Renumber();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool atLimit() const;
    bool editable(int column) const;
    void moveOn(bool editLater);
    void prepareRow(int row);
    int rowCount() const;
    int columnCount() const;
    void setCurrentCell(int row, int column);
    QTableView* m_grid = nullptr;
    int m_limit = 0;
    int m_rowHeight = 0;
    bool m_enterMovesOn = false;
};
