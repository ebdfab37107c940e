#include "widgethelpers.h"

#include "data/accesstext.h"
#include "data/recordset.h"
#include "data/results.h"
#include "data/sqlhelper.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QTableWidget>

void FillCombo(QComboBox* list, const QString& sql, const QString& column) {
    list->clear();
    sqlHelper::CloseRs();
    RecordSet& rs = sqlHelper::rs();
    rs = sqlHelper::ExecuteSql(sql);
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QVariant v = rs.at(r, column);
        list->addItem(IsBlank(v) ? QString() : acc::valueText(v));
    }
    sqlHelper::CloseRs();
}

void BindGrid(QTableWidget* grid, RecordSet& rs) {
    if (rs.RecordCount() > 0) {
        grid->clearContents();
        grid->setColumnCount(rs.fieldCount());
        grid->setRowCount(rs.RecordCount());
        QStringList headers;
        for (int c = 0; c < rs.fieldCount(); ++c)
            headers << rs.fieldName(c);
        grid->setHorizontalHeaderLabels(headers);
        for (int r = 0; r < rs.RecordCount(); ++r)
            for (int c = 0; c < rs.fieldCount(); ++c)
                grid->setItem(r, c, new QTableWidgetItem(NzText(rs.at(r, c), QString())));
    }
    rs.Close();
    grid->viewport()->update();
}

void NumberGridRows(QTableWidget* grid, int first, int last, int column, int minHeight, int firstNumber) {
    for (int r = first, n = firstNumber; r <= last && r < grid->rowCount(); ++r, ++n) {
        QTableWidgetItem* item = grid->item(r, column);
        if (!item) {
            item = new QTableWidgetItem;
            grid->setItem(r, column, item);
        }
        item->setText(QString::number(n));
    }
    if (minHeight != -1) grid->verticalHeader()->setMinimumSectionSize(minHeight);
}

int GetGridWidth(const QTableWidget* grid) {
    int width = 27; // frame and scroll bar margin
    for (int c = 0; c < grid->columnCount(); ++c)
        if (!grid->isColumnHidden(c)) width += grid->columnWidth(c);
    return width;
}

void SetGridRowCell(QTableWidget* grid, int role, int row, const QVariant& value) {
    for (int c = 0; c < grid->columnCount(); ++c) {
        QTableWidgetItem* item = grid->item(row, c);
        if (!item) {
            item = new QTableWidgetItem;
            grid->setItem(row, c, item);
        }
        item->setData(role, value);
    }
}

void PopupMenuBelow(QWidget* form, QMenu* menu, QWidget* anchor, int xOffset, int yOffset, int fixedTop) {
    if (!anchor || !menu) return;
    QPoint pos = anchor->mapToGlobal(QPoint(5 + xOffset, anchor->height() + yOffset)); // 80 twips
    if (fixedTop > 0 && form) pos.setY(form->mapToGlobal(QPoint(0, fixedTop)).y());
    menu->popup(pos);
}

namespace {

void moveFocus(QWidget* from, bool forward) {
    QKeyEvent tab(QEvent::KeyPress, forward ? Qt::Key_Tab : Qt::Key_Backtab,
                  forward ? Qt::NoModifier : Qt::ShiftModifier);
    QApplication::sendEvent(from, &tab);
    if (auto* edit = qobject_cast<QLineEdit*>(QApplication::focusWidget()))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(QApplication::focusWidget()))
        spin->selectAll();
}

} // namespace

bool KeyNavigate(int key, bool blockForward, bool blockBackward) {
    QWidget* w = QApplication::focusWidget();
    if (!w) return false;
    const bool inList = qobject_cast<QComboBox*>(w) || qobject_cast<QComboBox*>(w->parentWidget());
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !blockForward) {
        moveFocus(w, true);
        return true;
    }
    if (key == Qt::Key_Up && !inList && !blockBackward) {
        moveFocus(w, false);
        return true;
    }
    if (key == Qt::Key_Down && !inList && !blockForward) {
        moveFocus(w, true);
        return true;
    }
    return false;
}

void FillListGrid(QTableWidget* grid, const RecordSet& rs) {
    grid->clearContents();
    grid->setRowCount(rs.RecordCount());
    for (int r = 0; r < rs.RecordCount(); ++r) {
        grid->setItem(r, 0, new QTableWidgetItem(QString::number(r + 1)));
        auto* check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        check->setCheckState(Qt::Unchecked);
        grid->setItem(r, 1, check);
        for (int c = 1; c < rs.fieldCount() && c + 1 < grid->columnCount(); ++c)
            grid->setItem(r, c + 1, new QTableWidgetItem(NzText(rs.at(r, c), QString())));
    }
}

bool IsRowChecked(const QTableWidget* grid, int row) {
    const QTableWidgetItem* item = grid->item(row, 1);
    return item && item->checkState() == Qt::Checked;
}

QString CellText(const QTableWidget* grid, int row, int column) {
    const QTableWidgetItem* item = grid->item(row, column);
    return item ? item->text() : QString();
}

bool SelectRowByText(QTableWidget* grid, int column, const QString& text) {
    for (int r = 0; r < grid->rowCount(); ++r)
        if (CellText(grid, r, column) == text) {
            grid->setCurrentCell(r, std::max(0, grid->currentColumn()));
            grid->selectRow(r);
            grid->scrollToItem(grid->item(r, 0));
            return true;
        }
    return false;
}

void SetGridHeader(QTableWidget* grid, const QString& header) {
    const QStringList pieces = header.split('|');
    grid->setColumnCount(pieces.size());
    for (int c = 0; c < pieces.size(); ++c) {
        const QString p = pieces[c];
        auto* item = new QTableWidgetItem(p.mid(1).trimmed());
        item->setTextAlignment(p.startsWith('^')   ? Qt::AlignCenter
                               : p.startsWith('>') ? (Qt::AlignRight | Qt::AlignVCenter)
                                                   : (Qt::AlignLeft | Qt::AlignVCenter));
        grid->setHorizontalHeaderItem(c, item);
    }
}
