#include "msgbox_widgets.h"

#include <QApplication>
#include <QGridLayout>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QSpacerItem>

namespace {

QMessageBox::Icon qtIcon(MsgBox::Icon icon) {
    switch (icon) {
    case MsgBox::Information:
        return QMessageBox::Information;
    case MsgBox::Exclamation:
        return QMessageBox::Warning;
    case MsgBox::Critical:
        return QMessageBox::Critical;
    case MsgBox::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton qtButton(MsgBox::Answer a) {
    switch (a) {
    case MsgBox::Yes:
        return QMessageBox::Yes;
    case MsgBox::No:
        return QMessageBox::No;
    case MsgBox::Cancel:
        return QMessageBox::Cancel;
    default:
        return QMessageBox::Ok;
    }
}

// A short text would make the box narrower than its caption: a spacer below
// the text keeps it wide enough, and the text wraps as before.
void widenForCaption(QMessageBox& box) {
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout()))
        grid->addItem(new QSpacerItem(240, 0, QSizePolicy::Minimum, QSizePolicy::Expanding), grid->rowCount(),
                      0, 1, grid->columnCount());
}

} // namespace

void WidgetMsgBox::show(const QString& text, MsgBox::Icon icon, const QString& caption) {
    QMessageBox box(qtIcon(icon), caption, text, QMessageBox::Ok, QApplication::activeWindow());
    widenForCaption(box);
    box.button(QMessageBox::Ok)->setText(QStringLiteral("确定"));
    box.exec();
}

MsgBox::Answer WidgetMsgBox::ask(const QString& text, MsgBox::Buttons buttons, MsgBox::Icon icon,
                                 const QString& caption, MsgBox::Answer defaultAnswer) {
    QMessageBox::StandardButtons set = QMessageBox::Ok;
    if (buttons == MsgBox::YesNo) set = QMessageBox::Yes | QMessageBox::No;
    if (buttons == MsgBox::YesNoCancel) set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    QMessageBox box(qtIcon(icon), caption, text, set, QApplication::activeWindow());
    widenForCaption(box);
    if (set & QMessageBox::Yes) box.button(QMessageBox::Yes)->setText(QStringLiteral("是(&Y)"));
    if (set & QMessageBox::No) box.button(QMessageBox::No)->setText(QStringLiteral("否(&N)"));
    if (set & QMessageBox::Cancel) box.button(QMessageBox::Cancel)->setText(QStringLiteral("取消"));
    box.setDefaultButton(qtButton(defaultAnswer));
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MsgBox::Yes;
    case QMessageBox::No:
        return MsgBox::No;
    case QMessageBox::Cancel:
        return MsgBox::Cancel;
    default:
        return buttons == MsgBox::Ok ? MsgBox::AnswerOk : MsgBox::Cancel;
    }
}

std::optional<QString> WidgetMsgBox::input(const QString& prompt, const QString& title,
                                           const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal,
                                               defaultText, &ok);
    if (!ok) return std::nullopt;
    return text;
}
