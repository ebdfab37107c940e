#include "frmcalendar.h"

#include "calendarview.h"

#include "access/funcode.h"
#include "data/appenv.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/permission.h"
#include "ui/windowregistry.h"

#include <QCloseEvent>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Hides a calendar view and shows the floating window, which brings it back.
// The view runs modally: hidden as a plain widget its loop goes on, so it is
// still there to come back.
void minimise(QWidget* view, bool& minimising) {
    QWidget* floating = WindowRegistry::Create("FrmShowMin", view);
    if (!floating) return; // nothing would bring the view back
    minimising = true;
    view->hide();
    minimising = false;
    floating->setAttribute(Qt::WA_DeleteOnClose);
    floating->show();
}

} // namespace

FrmCalendar::FrmCalendar(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmCalendar");
    setWindowTitle(QStringLiteral("日程管理"));
    calendar = new CalendarView;
    connect(calendar, &CalendarView::minimiseRequested, this, &FrmCalendar::Minimise);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(calendar);
    resize(760, 560);
}

void FrmCalendar::Minimise() {
    minimise(this, m_minimising);
}

void FrmCalendar::setVisible(bool visible) {
    if (!visible && m_minimising) return QWidget::setVisible(false);
    QDialog::setVisible(visible);
}

frmMain::frmMain(QWidget* parent) : QDialog(parent) {
    setObjectName("frmMain");
    setWindowTitle(QStringLiteral("澜图仓库管理系统"));
    toolbar = NewFormToolBar();
    toolbar->setObjectName("toolbar");
    auto* items = new QMenu(this);
    items->setObjectName("menu_items");
    const std::pair<const char*, const char*> opens[] = {{"item_import", "入库业务"},
                                                         {"user_infor", "用户信息"},
                                                         {"item_modflyPw", "修改密码"},
                                                         {"item_aboutus", "关于我们"},
                                                         {"item_goods", "货品信息"}};
    // each window with the code of the main menu's command for it (the
    // change-password window tests its code at OK, the about box has none)
    const QHash<QString, std::pair<QString, QString>> windows = {
        {"item_import", {"frmImport", m_funCode::import_()}},
        {"user_infor", {"frm_user", m_funCode::user()}},
        {"item_modflyPw", {"FrmModifypwd", QString()}},
        {"item_aboutus", {"FrmAbout", QString()}},
        {"item_goods", {"frmGoods", m_funCode::goodsInfor()}}};
    for (const auto& [key, text] : opens) {
        QAction* a = items->addAction(QString::fromUtf8(text));
        a->setObjectName(key);
        const QString window = windows.value(key).first, code = windows.value(key).second;
        connect(a, &QAction::triggered, this, [window, code] {
            if (!code.isEmpty() && !CheckFunction(code, true)) return;
            WindowRegistry::Open(window);
        });
    }
    auto* open = new QToolButton;
    open->setObjectName("menu_open");
    open->setText(QStringLiteral("功能"));
    open->setIcon(ThemeIcon(ThemeIconName("menu_open"), QStringLiteral("功"), QColor(38, 120, 190)));
    open->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    open->setMenu(items);
    open->setPopupMode(QToolButton::InstantPopup);
    toolbar->addWidget(open);
    AddToolAction(toolbar, this, "menu_SystemMin", "最小化", "小", QColor(30, 150, 150), &frmMain::Minimise);
    AddToolAction(toolbar, this, "menu_SystemExit", "退出", "退", QColor(190, 60, 60), &frmMain::SystemExit);
    calendar = new CalendarView;
    connect(calendar, &CalendarView::minimiseRequested, this, &frmMain::Minimise);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(toolbar);
    layout->addWidget(calendar, 1);
    resize(800, 600);
}

QString frmMain::ClosingQuestion() {
    return QStringLiteral(
        "是否退出澜图仓库管理系统?\n\n 1、单击 [是] 退出系统;\n 2、单击 [否] 最小化窗口;\n 3、单击 [取消] "
        "返回主窗口.\n");
}

void frmMain::Minimise() {
    minimise(this, m_minimising);
}

void frmMain::setVisible(bool visible) {
    if (!visible && m_minimising) return QWidget::setVisible(false);
    QDialog::setVisible(visible);
}

void frmMain::SystemExit() {
    close();
}

void frmMain::reject() {
    close(); // Esc asks as well
}

void frmMain::closeEvent(QCloseEvent* event) {
    if (m_exiting) return QDialog::closeEvent(event);
    const MsgBox::Answer a = MsgBox::Ask(ClosingQuestion(), MsgBox::YesNoCancel, MsgBox::Question,
                                         QStringLiteral("提示"), MsgBox::No);
    event->ignore();
    if (a == MsgBox::Yes) {
        m_exiting = true;
        sqlHelper::CloseRs();
        sqlHelper::CloseConn();
        EndProgram(0);
    } else if (a == MsgBox::No) {
        showMinimized();
    }
}
