#include "formparts.h"

#include "icons.h"

#include "data/msgbox.h"
#include "data/results.h"
#include "data/sysvar.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QSplitter>
#include <QToolBar>
#include <QVBoxLayout>

QLineEdit* NamedEdit(const char* name, QWidget* parent) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(name);
    return e;
}

QComboBox* NamedCombo(const char* name) {
    auto* c = new QComboBox;
    c->setObjectName(name);
    return c;
}

QPushButton* NamedButton(const char* name, const char* text) {
    auto* b = new QPushButton(QString::fromUtf8(text));
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

namespace {
// Enter in a keyword box searches; quotes are refused.
class KeywordKeys : public QObject {
public:
    KeywordKeys(QObject* owner, std::function<void()> search) : QObject(owner), m_search(std::move(search)) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            m_search();
            return true;
        }
        const QString t = key->text();
        return !t.isEmpty() && FilterQuoteKey(t.at(0).unicode()) == 0;
    }

private:
    std::function<void()> m_search;
};
} // namespace

SearchRow NewSearchRow(QObject* owner, std::function<void()> search) {
    SearchRow r;
    r.keyword = NamedEdit("txt_KeyWord");
    r.keyword->installEventFilter(new KeywordKeys(owner, search));
    r.button = NamedButton("btn_search", "查询");
    QObject::connect(r.button, &QPushButton::clicked, owner, [search] { search(); });
    r.count = new QLabel(QStringLiteral("找到[0]条信息"));
    r.count->setObjectName("lab_count");
    r.row = new QHBoxLayout;
    r.row->addWidget(new QLabel(QStringLiteral("关键字:")));
    r.row->addWidget(r.keyword, 1);
    r.row->addWidget(r.button);
    r.row->addWidget(r.count);
    return r;
}

QToolBar* NewFormToolBar() {
    auto* bar = new QToolBar;
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    return bar;
}

QAction* NewToolAction(QToolBar* bar, const char* key, const char* text, const char* glyph,
                       const QColor& color) {
    QAction* a = bar->addAction(ThemeIcon(ThemeIconName(key), QString::fromUtf8(glyph), color),
                                QString::fromUtf8(text));
    a->setObjectName(key);
    return a;
}

void Refuse(const QWidget* form, const QString& text, QWidget* focus) {
    MsgBox::Show(text, MsgBox::Exclamation, form->windowTitle());
    if (focus) focus->setFocus();
}

void PaintRequired(std::initializer_list<QWidget*> fields) {
    const QColor c = QColor::fromRgb(SysVar().Sys_NotNullColor);
    for (QWidget* w : fields) {
        QPalette p = w->palette();
        p.setColor(QPalette::Base, c);
        p.setColor(QPalette::Button, c);
        w->setPalette(p);
    }
}

void CloseForm(QWidget* form) {
    if (auto* frame = qobject_cast<QMdiSubWindow*>(form->parentWidget()))
        frame->close();
    else
        form->close();
}

void LayOutForm(QWidget* form, QToolBar* toolbar, std::initializer_list<QWidget*> panes, int lastStretch) {
    auto* split = new QSplitter;
    for (QWidget* pane : panes)
        split->addWidget(pane);
    split->setStretchFactor(split->count() - 1, lastStretch);
    auto* layout = new QVBoxLayout(form);
    layout->setContentsMargins(4, 4, 4, 4);
    layout->addWidget(toolbar);
    layout->addWidget(split, 1);
}

QWidget* StackedPane(std::initializer_list<std::pair<QObject*, int>> parts) {
    auto* pane = new QWidget;
    auto* layout = new QVBoxLayout(pane);
    layout->setContentsMargins(0, 0, 0, 0);
    for (const auto& [part, stretch] : parts) {
        if (auto* l = qobject_cast<QLayout*>(part))
            layout->addLayout(l, stretch);
        else
            layout->addWidget(static_cast<QWidget*>(part), stretch);
    }
    return pane;
}
