// The keys of the bill entry windows. Saving (Ctrl+S) and printing (Ctrl+P)
// work wherever the focus is in the form; Ctrl+A makes a new bill (a new row
// in the grid), Ctrl+F looks goods up, Ctrl+Z goes between the goods box and
// the grid, F3, F5 and F6 go to the quantity, price and location boxes (F7
// to a transfer's to location).
// Enter moves through the head and the input bar.

#include "frmbillentry.h"

#include "ui/uvg.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

namespace {

bool isCommand(const QKeyEvent* key) {
    if (!(key->modifiers() & Qt::ControlModifier)) return false;
    switch (key->key()) {
    case Qt::Key_A:
    case Qt::Key_F:
    case Qt::Key_P:
    case Qt::Key_S:
    case Qt::Key_Z:
        return true;
    default:
        return false;
    }
}

} // namespace

void BillEntryForm::addKeys() {
    auto key = [this](QKeySequence sequence, auto slot) {
        auto* a = new QAction(this);
        a->setShortcut(sequence);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, slot);
        addAction(a);
    };
    key(QKeySequence(Qt::CTRL | Qt::Key_S), [this] { SaveBill(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_P), [this] { PrintBill(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_A), [this] { newBillOrRow(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_Z), [this] { switchFocus(); });
    key(QKeySequence(Qt::CTRL | Qt::Key_F), [this] {
        if (!grid->isAncestorOf(focusWidget()) && focusWidget() != grid) SearchGoods();
    });
    key(QKeySequence(Qt::Key_F3), [this] { focusInputBox(txt_Qty); });
    key(QKeySequence(Qt::Key_F5), [this] { focusInputBox(txt_price); });
    key(QKeySequence(Qt::Key_F6), [this] { focusInputBox(cobo_location); });
    if (cobo_toLocation) key(QKeySequence(Qt::Key_F7), [this] { focusInputBox(cobo_toLocation); });
}

void BillEntryForm::newBillOrRow() {
    if (focusWidget() == grid)
        rows->AddRow();
    else
        NewBill();
}

void BillEntryForm::switchFocus() {
    if (focusWidget() == grid || grid->isAncestorOf(focusWidget())) {
        txt_goodsCode->setFocus();
    } else if (focusWidget() == txt_goodsCode) {
        grid->setFocus();
        if (lines->rowCount() > 0) setCurrentCell(std::max(0, grid->currentIndex().row()), LineField::Price);
    } else {
        txt_goodsCode->setFocus();
    }
}

void BillEntryForm::focusInputBox(QWidget* box) {
    if (focusWidget() == grid || grid->isAncestorOf(focusWidget())) return; // the grid keeps its keys
    box->setFocus();
    // what is typed next replaces the box's text
    if (auto* e = qobject_cast<QLineEdit*>(box)) e->selectAll();
    if (auto* c = qobject_cast<QComboBox*>(box); c && c->lineEdit()) c->lineEdit()->selectAll();
}

bool BillEntryForm::enterInInputBar(QWidget* watched) {
    if (watched == txt_goodsCode) {
        GoodsCodeEntered();
        return true;
    }
    if (watched == cobo_location || (watched && watched == cobo_toLocation)) {
        auto* box = static_cast<QComboBox*>(watched);
        const QString code = box->currentText().trimmed();
        if (!code.isEmpty() && availableLocation(code).id < 1) {
            refuse(QStringLiteral("库位[%1]不存在或不可用!").arg(code), box);
            if (box->lineEdit()) box->lineEdit()->selectAll();
            return true;
        }
    }
    if (watched == txt_Qty || watched == txt_price || watched == cobo_location ||
        (watched && watched == cobo_toLocation)) {
        txt_goodsCode->setFocus();
        txt_goodsCode->selectAll();
        return true;
    }
    return false;
}

bool BillEntryForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == this || (event->type() != QEvent::KeyPress && event->type() != QEvent::ShortcutOverride))
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    if (event->type() == QEvent::ShortcutOverride) {
        // the form's commands come before what a text box would do with
        // these keys: the box does not see the override, so the shortcut runs
        if (isCommand(key)) {
            event->ignore();
            return true;
        }
        return QWidget::eventFilter(watched, event);
    }
    const int k = key->key();
    const bool enter = k == Qt::Key_Return || k == Qt::Key_Enter;
    if (watched == grid) {
        const int column = grid->currentIndex().column();
        if (enter && column >= 0 &&
            (lines->field(column) == LineField::GoodsCode || lines->field(column) == LineField::Unit)) {
            setCurrentCell(grid->currentIndex().row(), LineField::Weight);
            return true;
        }
        return QWidget::eventFilter(watched, event); // uvg's keys
    }
    if (enter) {
        if (enterInInputBar(static_cast<QWidget*>(watched))) return true;
        if (qobject_cast<QPushButton*>(watched)) return QWidget::eventFilter(watched, event);
        focusNextChild();
        return true;
    }
    if (watched == txt_Qty || watched == txt_price) {
        // digits, Backspace and the point only; other keys are dropped silently
        const QString t = key->text();
        if (!t.isEmpty() && t.at(0).isPrint() && !t.at(0).isDigit() && t != ".") return true;
    }
    return QWidget::eventFilter(watched, event);
}
