#include "uvg.h"

#include "data/msgbox.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

uvg::uvg(QObject* parent) : QObject(parent) {}

void uvg::init(QTableWidget* grid, int rowLimit) {
    m_grid = grid;
    m_limit = rowLimit;
    m_rowHeight = grid->verticalHeader()->minimumSectionSize();
    grid->installEventFilter(this);
}

bool uvg::editable(int column) const {
    if (m_grid->isColumnHidden(column)) return false;
    const QTableWidgetItem* head = m_grid->horizontalHeaderItem(column);
    return !head || head->data(Qt::UserRole).toString() != "readonly";
}

int uvg::uGetFirstCol() const {
    for (int c = 1; c < m_grid->columnCount(); ++c)
        if (editable(c)) return c;
    return std::min(1, m_grid->columnCount() - 1);
}

void uvg::CommitEdit() {
    const QModelIndex index = m_grid->currentIndex();
    QWidget* editor = index.isValid() ? m_grid->indexWidget(index) : nullptr;
    if (!editor) return;
    QAbstractItemDelegate* delegate = m_grid->itemDelegateForIndex(index);
    emit delegate->commitData(editor);
    emit delegate->closeEditor(editor, QAbstractItemDelegate::NoHint);
}

bool uvg::atLimit() const {
    if (m_limit >= 1 && m_grid->rowCount() >= m_limit) {
        MsgBox::Show(QStringLiteral("最大行为%1行,请新建单据!").arg(m_limit), MsgBox::Information, "System");
        return true;
    }
    return false;
}

void uvg::prepareRow(int row) {
    if (m_rowHeight > 0) m_grid->setRowHeight(row, std::max(m_rowHeight, m_grid->rowHeight(row)));
    for (int c = 0; c < m_grid->columnCount(); ++c)
        if (!m_grid->item(row, c)) m_grid->setItem(row, c, new QTableWidgetItem);
}

void uvg::Renumber() {
    for (int r = 0; r < m_grid->rowCount(); ++r) {
        if (!m_grid->item(r, 0)) m_grid->setItem(r, 0, new QTableWidgetItem);
        m_grid->item(r, 0)->setText(QString::number(r + 1));
    }
}

bool uvg::AddRow() {
    if (atLimit()) return false;
    const int row = m_grid->rowCount();
    m_grid->insertRow(row);
    prepareRow(row);
    m_grid->item(row, 0)->setText(QString::number(row + 1));
    // typing goes straight into the new row's first editable cell
    m_grid->setCurrentCell(row, uGetFirstCol());
    m_grid->scrollToItem(m_grid->currentItem());
    m_grid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool uvg::InsertRow() {
    if (atLimit()) return false;
    const int row = m_grid->currentRow();
    if (row < 0) return false;
    const int column = m_grid->currentColumn();
    m_grid->insertRow(row);
    prepareRow(row);
    Renumber();
    m_grid->setCurrentCell(row + 1, column < 0 ? uGetFirstCol() : column);
    return true;
}

void uvg::DeleteRow() {
    const int current = m_grid->currentRow();
    if (current < 0 || m_grid->rowCount() == 0) return;
    int from = current, to = current;
    for (const QTableWidgetSelectionRange& range : m_grid->selectedRanges()) {
        if (range.topRow() <= current && current <= range.bottomRow()) {
            from = range.topRow();
            to = range.bottomRow();
        }
    }
    const int column = m_grid->currentColumn();
    for (int r = to; r >= from; --r)
        m_grid->removeRow(r);
    if (m_grid->rowCount() == 0) {
        m_grid->insertRow(0);
        prepareRow(0);
    }
    Renumber();
    m_grid->setCurrentCell(std::min(from, m_grid->rowCount() - 1), column < 0 ? uGetFirstCol() : column);
}

void uvg::CopySelection() {
    QString text;
    for (const QTableWidgetSelectionRange& range : m_grid->selectedRanges()) {
        for (int r = range.topRow(); r <= range.bottomRow(); ++r) {
            QStringList cells;
            for (int c = range.leftColumn(); c <= range.rightColumn(); ++c) {
                if (m_grid->isColumnHidden(c)) continue;
                const QTableWidgetItem* item = m_grid->item(r, c);
                cells << (item ? item->text() : QString());
            }
            text += cells.join('\t') + '\n';
        }
    }
    QApplication::clipboard()->setText(text);
}

void uvg::MoveOn() {
    moveOn(false);
}

void uvg::moveOn(bool editLater) {
    const int row = m_grid->currentRow();
    if (row < 0) return;
    int next = m_grid->currentColumn() + 1;
    while (next < m_grid->columnCount() && !editable(next))
        ++next;
    if (next < m_grid->columnCount()) {
        m_grid->setCurrentCell(row, next);
        // (editItem opens an editor whatever the triggers say)
        if (m_grid->editTriggers() == QAbstractItemView::NoEditTriggers) return;
        auto edit = [this, row, next] {
            if (m_grid->currentRow() == row && m_grid->currentColumn() == next)
                m_grid->editItem(m_grid->item(row, next));
        };
        if (editLater)
            QMetaObject::invokeMethod(this, edit, Qt::QueuedConnection);
        else
            edit();
        return;
    }
    if (row == m_grid->rowCount() - 1 && !AddRow()) return;
    m_grid->setCurrentCell(row + 1, uGetFirstCol());
}

bool uvg::eventFilter(QObject* watched, QEvent* event) {
    if (watched != m_grid || event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->modifiers() & Qt::ControlModifier) {
        switch (key->key()) {
        case Qt::Key_A:
            AddRow();
            return true;
        case Qt::Key_I:
            InsertRow();
            return true;
        case Qt::Key_D:
            DeleteRow();
            return true;
        case Qt::Key_C:
            CopySelection();
            return true;
        default:
            break;
        }
    }
    if (m_enterMovesOn && (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter)) {
        // Enter in an open editor comes on here: its text goes into the cell
        // now, but the next editor opens only after the delegate has finished
        // with the old one (it does so later)
        const bool editing = m_grid->indexWidget(m_grid->currentIndex());
        CommitEdit();
        moveOn(editing);
        return true;
    }
    return QObject::eventFilter(watched, event);
}
