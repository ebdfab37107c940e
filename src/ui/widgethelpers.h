#pragma once
// Helpers every form uses the same way: lists from queries, grids, pop-up
// menus and moving between fields with the keyboard.

#include <QString>
#include <QVariant>

class QComboBox;
class QMenu;
class QTableWidget;
class QWidget;
class RecordSet;

// Refills a drop-down list with one column of a query ("" for blank values).
void FillCombo(QComboBox* list, const QString& sql, const QString& column);
// Shows a record set in a grid, one column per field.
void BindGrid(QTableWidget* grid, RecordSet& rs);
// Fills a list grid from a record set whose first column is the check
// placeholder: grid column 0 numbers the rows, grid column c + 1 shows field c,
// and column 1 becomes a check box.
void FillListGrid(QTableWidget* grid, const RecordSet& rs);
// The check boxes of column 1 of a list grid.
bool IsRowChecked(const QTableWidget* grid, int row);
// The text of a cell, "" for an empty one.
QString CellText(const QTableWidget* grid, int row, int column);
// Selects the row whose column holds the text and scrolls it into view.
bool SelectRowByText(QTableWidget* grid, int column, const QString& text);

// Writes firstNumber, firstNumber + 1, ... into column of rows first to last;
// sets the minimum row height unless it is -1.
void NumberGridRows(QTableWidget* grid, int first, int last, int column, int minHeight, int firstNumber);
// Sets a grid's columns from a header format: pieces joined by "|", each an
// alignment mark (^ centre, < left, > right) and its caption.
void SetGridHeader(QTableWidget* grid, const QString& header);
// The width a dialog needs to show every visible column of the grid.
int GetGridWidth(const QTableWidget* grid);
// Sets one cell property (a data role, such as the background) on every cell of a row.
void SetGridRowCell(QTableWidget* grid, int role, int row, const QVariant& value);
// Pops the menu up just below the anchor control (or at fixedTop of the form when above 0).
void PopupMenuBelow(QWidget* form, QMenu* menu, QWidget* anchor, int xOffset, int yOffset, int fixedTop);
// Enter moves to the next field, Up and Down to the previous and next one
// (not inside drop-down lists); a text box reached has its text selected.
// Returns true when the key was used.
bool KeyNavigate(int key, bool blockForward, bool blockBackward);
