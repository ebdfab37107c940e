#pragma once
// Named controls and toolbar commands the forms build the same way.

#include <QAction>
#include <QColor>
#include <QObject>
#include <functional>
#include <initializer_list>

class QComboBox;
class QHBoxLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QToolBar;
class QWidget;

// A refusal or validation message with the form's caption; the focus goes to the field.
void Refuse(const QWidget* form, const QString& text, QWidget* focus = nullptr);
// Paints the mandatory fields in the required-field colour.
void PaintRequired(std::initializer_list<QWidget*> fields);

// Closes a form: its MDI frame with it when it has one.
void CloseForm(QWidget* form);

// Lays a form out: its toolbar above a splitter of panes; the last pane takes
// lastStretch times the room of the others.
void LayOutForm(QWidget* form, QToolBar* toolbar, std::initializer_list<QWidget*> panes, int lastStretch);
// A pane of layouts and widgets stacked top to bottom; a widget given a
// stretch of 1 takes the spare height.
QWidget* StackedPane(std::initializer_list<std::pair<QObject*, int>> parts);

QLineEdit* NamedEdit(const char* name, QWidget* parent = nullptr);
QComboBox* NamedCombo(const char* name);
QPushButton* NamedButton(const char* name, const char* text);
// A toolbar of a form: text beside the icons.
// The search row of a master list: 关键字, the keyword box, 查询 and the
// count label "找到[0]条信息". 查询 and Enter in the box run search; the box
// refuses quotes. owner: the form the row belongs to.
struct SearchRow {
    QLineEdit* keyword;
    QPushButton* button;
    QLabel* count;
    QHBoxLayout* row;
};
SearchRow NewSearchRow(QObject* owner, std::function<void()> search);

QToolBar* NewFormToolBar();
// A toolbar command keyed by its objectName, with the program's own icon.
QAction* NewToolAction(QToolBar* bar, const char* key, const char* text, const char* glyph,
                       const QColor& color);

template <typename Receiver, typename Slot>
QAction* AddToolAction(QToolBar* bar, Receiver* receiver, const char* key, const char* text,
                       const char* glyph, const QColor& color, Slot slot) {
    QAction* a = NewToolAction(bar, key, text, glyph, color);
    QObject::connect(a, &QAction::triggered, receiver, slot);
    return a;
}
