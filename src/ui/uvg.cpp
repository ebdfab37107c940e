#include "uvg.h"

#include "data/msgbox.h"

#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QKeyEvent>
#include <QTableWidget>

uvg::uvg(QObject* parent) : QObject(parent) {}

void uvg::init(QTableView* grid, int rowLimit) {
    m_grid = grid;
    m_limit = rowLimit;
    m_rowHeight = grid->verticalHeader()->minimumSectionSize();
    grid->installEventFilter(this);
}

int uvg::rowCount() const {
    return m_grid->model()->rowCount();
}

int uvg::columnCount() const {
    return m_grid->model()->columnCount();
}

void uvg::setCurrentCell(int row, int column) {
    m_grid->setCurrentIndex(m_grid->model()->index(row, column));
}

bool uvg::editable(int column) const {
    if (m_grid->isColumnHidden(column)) return false;
    return m_grid->model()->headerData(column, Qt::Horizontal, Qt::UserRole).toString() != "readonly";
}

int uvg::uGetFirstCol() const {
    for (int c = 1; c < columnCount(); ++c)
        if (editable(c)) return c;
    return std::min(1, columnCount() - 1);
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
    if (m_limit >= 1 && rowCount() >= m_limit) {
        MsgBox::Show(QStringLiteral("最大行为%1行,请新建单据!").arg(m_limit), MsgBox::Information, "System");
        return true;
    }
    return false;
}

void uvg::prepareRow(int row) {
    if (m_rowHeight > 0) m_grid->setRowHeight(row, std::max(m_rowHeight, m_grid->rowHeight(row)));
    // a table widget's cells get their items, so that they can be read and written at once
    if (auto* table = qobject_cast<QTableWidget*>(m_grid))
        for (int c = 0; c < table->columnCount(); ++c)
            if (!table->item(row, c)) table->setItem(row, c, new QTableWidgetItem);
}

void uvg::Renumber() {
    QAbstractItemModel* model = m_grid->model();
    for (int r = 0; r < rowCount(); ++r)
        model->setData(model->index(r, 0), QString::number(r + 1));
}

bool uvg::AddRow() {
    if (atLimit()) return false;
    const int row = rowCount();
    m_grid->model()->insertRow(row);
    prepareRow(row);
    m_grid->model()->setData(m_grid->model()->index(row, 0), QString::number(row + 1));
    // typing goes straight into the new row's first editable cell
    setCurrentCell(row, uGetFirstCol());
    m_grid->scrollTo(m_grid->currentIndex());
    m_grid->setFocus(Qt::OtherFocusReason);
    return true;
}

bool uvg::InsertRow() {
    if (atLimit()) return false;
    const int row = m_grid->currentIndex().row();
    if (row < 0) return false;
    const int column = m_grid->currentIndex().column();
    m_grid->model()->insertRow(row);
    prepareRow(row);
    Renumber();
    setCurrentCell(row + 1, column < 0 ? uGetFirstCol() : column);
    return true;
}

void uvg::DeleteRow() {
    const int current = m_grid->currentIndex().row();
    if (current < 0 || rowCount() == 0) return;
    int from = current, to = current;
    for (const QItemSelectionRange& range : m_grid->selectionModel()->selection()) {
        if (range.top() <= current && current <= range.bottom()) {
            from = range.top();
            to = range.bottom();
        }
    }
    const int column = m_grid->currentIndex().column();
    m_grid->model()->removeRows(from, to - from + 1);
    if (rowCount() == 0) {
        m_grid->model()->insertRow(0);
        prepareRow(0);
    }
    Renumber();
    setCurrentCell(std::min(from, rowCount() - 1), column < 0 ? uGetFirstCol() : column);
}

void uvg::CopySelection() {
    QString text;
    for (const QItemSelectionRange& range : m_grid->selectionModel()->selection()) {
        for (int r = range.top(); r <= range.bottom(); ++r) {
            QStringList cells;
            for (int c = range.left(); c <= range.right(); ++c) {
                if (m_grid->isColumnHidden(c)) continue;
                cells << m_grid->model()->index(r, c).data().toString();
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
    const int row = m_grid->currentIndex().row();
    if (row < 0) return;
    int next = m_grid->currentIndex().column() + 1;
    while (next < columnCount() && !editable(next))
        ++next;
    if (next < columnCount()) {
        setCurrentCell(row, next);
        // (edit opens an editor whatever the triggers say)
        if (m_grid->editTriggers() == QAbstractItemView::NoEditTriggers) return;
        auto edit = [this, row, next] {
            const QModelIndex current = m_grid->currentIndex();
            if (current.row() == row && current.column() == next) m_grid->edit(current);
        };
        if (editLater)
            QMetaObject::invokeMethod(this, edit, Qt::QueuedConnection);
        else
            edit();
        return;
    }
    if (row == rowCount() - 1 && !AddRow()) return;
    setCurrentCell(row + 1, uGetFirstCol());
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
