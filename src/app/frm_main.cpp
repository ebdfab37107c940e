#include "frm_main.h"

#include "access/adminguard.h"
#include "access/frmlogin.h"
#include "access/funcode.h"
#include "access/singleinstance.h"
#include "access/sysvars.h"
#include "data/appenv.h"
#include "data/dberror.h"
#include "data/msgbox.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "reports/rpt_expiry.h"
#include "ui/application.h"
#include "ui/icons.h"
#include "ui/modal.h"
#include "ui/permission.h"
#include "ui/widgethelpers.h"
#include "ui/windowregistry.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSettings>
#include <QStatusBar>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

namespace {

// The system's web page: the setting "webSite", or this address when there is none.
const char* const kDefaultWebSite = "https://www.lantusoft.cn/";

QString webSite() {
    const QString stored = dal_setting().GetModel("webSite").setValue.trimmed();
    return stored.isEmpty() ? QString(kDefaultWebSite) : stored;
}

std::function<void(const QString&)>& urlOpener() {
    static std::function<void(const QString&)> opener = [](const QString& url) {
        QDesktopServices::openUrl(QUrl(url));
    };
    return opener;
}

// The drop-down items of the toolbar's pop-up buttons.
const QList<std::pair<QString, QStringList>> kDropDowns = {
    {"menu_ckMg", {"item_import", "item_transfer"}},
    {"menu_BasicInfor", {"item_goods"}},
    {"menu_SystemSet", {"user_infor", "item_modflyPw"}},
    {"menu_Help", {"item_aboutus"}},
};

} // namespace

const QList<frm_Main::Command>& frm_Main::commands() {
    static const QList<Command> list = {
        {"menu_rk", "入库业务", m_funCode::import_(), "frmImport"},
        {"menu_ck", "出库业务", m_funCode::export_(), "frmExport"},
        {"menu_transfer", "调拨业务", m_funCode::transfer(), "frmTransfer"},
        {"menu_stocktake", "库存盘点", m_funCode::stocktake(), "frmStockTake"},
        {"menu_opening", "期初库存", m_funCode::import_opening(), "frmOpeningStock"},
        {"menu_kcbill", "库存总账", m_funCode::rpt_kczz(), "frm_rpt_stock"},
        {"menu_locstock", "库位库存", m_funCode::rpt_locstock(), "frm_rpt_locStock"},
        {"menu_expiry", "效期预警", m_funCode::rpt_expiry(), "frm_rpt_expiry"},
        {"menu_rk_bill", "入库单据", m_funCode::rpt_rkbill(), "frm_rpt_rkHead"},
        {"menu_rk_detail_bill", "入库明细", m_funCode::rpt_rk_detail_bill(), "frm_rpt_rkDetail"},
        {"menu_rksum", "入库汇总", m_funCode::rpt_rksum(), "frm_rpt_rkSum"},
        {"menu_ck_bill", "出库单据", m_funCode::rpt_ckbill(), "frm_rpt_ckHead"},
        {"menu_ck_detail_bill", "出库明细", m_funCode::rpt_ck_detail_bill(), "frm_rpt_ckDetail"},
        {"menu_cksum", "出库汇总", m_funCode::rpt_cksum(), "frm_rpt_ckSum"},
        {"menu_db_bill", "调拨单据", m_funCode::rpt_dbbill(), "frm_rpt_dbHead"},
        {"menu_db_detail_bill", "调拨明细", m_funCode::rpt_db_detail_bill(), "frm_rpt_dbDetail"},
        {"menu_goods", "货品信息", m_funCode::goodsInfor(), "frmGoods"},
        {"menu_location", "库位信息", m_funCode::locationInfor(), "frmLocation"},
        {"menu_dictionary", "数据字典", m_funCode::dictionary(), "frm_dictionary"},
        {"menu_fun", "权限设置", m_funCode::limited(), "frm_department_fun"},
        {"menu_opt", "选项", m_funCode::optionset(), "frmOptions"},
        {"menu_user", "用户信息", m_funCode::user(), "frm_user"},
        {"menu_modiflypw", "修改密码", m_funCode::modifyPW(), "FrmModifypwd"},
        {"menu_aboutus", "关于我们", "", "FrmAbout"},
        {"menu_MyCustomer", "往来单位", m_funCode::customer(), "frm_customer"},
        {"menu_web", "系统网站", "", ""},
        {"menu_Calendar", "日程管理", m_funCode::rcmg(), "FrmCalendar"},
        {"menu_funRefresh", "权限刷新", "", ""},
        {"menu_SystemExit", "退出系统", "", ""},
        {"item_import", "入库业务", m_funCode::import_(), "frmImport"},
        {"item_transfer", "调拨业务", m_funCode::transfer(), "frmTransfer"},
        // the drop-down items test the code of the menu command they stand for
        {"user_infor", "用户信息", m_funCode::user(), "frm_user"},
        {"item_modflyPw", "修改密码", "", "FrmModifypwd"}, // its OK tests modifyPW
        {"item_goods", "货品信息", m_funCode::goodsInfor(), "frmGoods"},
        {"item_aboutus", "关于我们", "", "FrmAbout"},
    };
    return list;
}

const frm_Main::Command* frm_Main::findCommand(const QString& key) const {
    for (const Command& c : commands())
        if (c.key == key) return &c;
    return nullptr;
}

void frm_Main::SetUrlOpener(std::function<void(const QString&)> opener) {
    urlOpener() = std::move(opener);
}

frm_Main::frm_Main(QWidget* parent) : QMainWindow(parent) {
    setObjectName("frm_Main");
    setWindowTitle(kProductTitle);
    PermissionRefresher() = [this] { RefreshPermissions(); };
    setWindowIcon(AppIcon());
    m_mdi = new QMdiArea;
    m_mdi->setObjectName("mdiArea");
    m_mdi->setBackground(QColor(212, 220, 232));
    setCentralWidget(m_mdi);
    WindowRegistry::SetArea(m_mdi);
    buildMenus();
    buildToolBar();
    m_userPanel = new QLabel;
    m_userPanel->setObjectName("cur_userinfor");
    m_userPanel->setMinimumWidth(200);
    statusBar()->addWidget(m_userPanel);
    // the lots expiring within the warning days; a click opens their report
    m_expiryPanel = new QLabel;
    m_expiryPanel->setObjectName("lbl_expiry");
    m_expiryPanel->setTextFormat(Qt::RichText);
    m_expiryPanel->setVisible(false);
    connect(m_expiryPanel, &QLabel::linkActivated, this, [this] { RunCommand("menu_expiry"); });
    statusBar()->addWidget(m_expiryPanel);
    WindowRegistry::SetApprovalWatcher([this] { RefreshExpiryPanel(); });
    statusBar()->setStyleSheet("QStatusBar { background: rgb(232, 232, 232); }");
    updateCommandStates();
    resize(1024, 700);
}

frm_Main::~frm_Main() {
    WindowRegistry::SetApprovalWatcher(nullptr);
    PermissionRefresher() = nullptr;
    if (WindowRegistry::Area() == m_mdi) WindowRegistry::SetArea(nullptr);
}

QString frm_Main::LayoutFile() {
    return DataFolder() + "window.ini";
}

void frm_Main::ShowAtLastSize() {
    const QByteArray last =
        QSettings(LayoutFile(), QSettings::IniFormat).value("frm_Main/geometry").toByteArray();
    if (last.isEmpty() || !restoreGeometry(last))
        showMaximized();
    else
        show();
}

bool frm_Main::Initialize() {
    if (AnotherInstanceRunning()) {
        MsgBox::Show(QStringLiteral("当前系统已打开!"), MsgBox::Information, "System");
        return false;
    }
    return true;
}

void frm_Main::buildMenus() {
    const QList<std::pair<std::pair<QString, QString>, QStringList>> menus = {
        {{"menu_ckMg", "仓库管理"},
         {"menu_rk", "menu_ck", "menu_transfer", "-", "menu_stocktake", "-", "menu_opening"}},
        {{"menu_report", "报表分析"},
         {"menu_kcbill", "menu_locstock", "menu_expiry", "-", "menu_rk_bill", "menu_rk_detail_bill",
          "menu_rksum", "-", "menu_ck_bill", "menu_ck_detail_bill", "menu_cksum", "-", "menu_db_bill",
          "menu_db_detail_bill"}},
        {{"menu_basic", "基础档案"}, {"menu_goods", "menu_location"}},
        {{"menu_systemset", "系统设置"},
         {"menu_dictionary", "menu_fun", "menu_opt", "-", "menu_user", "menu_modiflypw"}},
        {{"menu_help", "帮助"}, {"menu_aboutus"}},
    };
    for (const auto& [head, items] : menus) {
        QMenu* m = menuBar()->addMenu(head.second);
        m->setObjectName(head.first);
        m_menus.insert(head.first, m);
        for (const QString& key : items) {
            if (key == "-") {
                m->addSeparator();
                continue;
            }
            QAction* a = m->addAction(findCommand(key)->text);
            a->setObjectName(key);
            connect(a, &QAction::triggered, this, [this, key] { RunCommand(key); });
        }
    }
}

void frm_Main::buildToolBar() {
    m_toolbar = addToolBar(QStringLiteral("工具栏"));
    m_toolbar->setObjectName("u_toolbar");
    m_toolbar->setMovable(false);
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    m_toolbar->setIconSize(QSize(32, 32));
    // button key, text, icon, menu popped up (empty: a command)
    struct Button {
        const char* key;
        const char* text;
        const char* glyph;
        QColor color;
        const char* popup;
    };
    const Button buttons[] = {
        {"menu_MyCustomer", "往来单位", "客", QColor(38, 120, 190), ""},
        {"menu_ckMg", "仓库管理", "库", QColor(46, 139, 87), "menu_ckMg"},
        {"menu_report", "报表分析", "表", QColor(200, 120, 30), "menu_report"},
        {"menu_web", "系统网站", "网", QColor(70, 90, 170), ""},
        {"menu_Calendar", "日程管理", "日", QColor(190, 60, 60), ""},
        {"menu_BasicInfor", "基础档案", "档", QColor(120, 90, 170), "menu_basic"},
        {"menu_SystemSet", "系统管理", "管", QColor(90, 100, 110), "menu_systemset"},
        {"menu_funRefresh", "权限刷新", "刷", QColor(30, 150, 150), ""},
        {"menu_Help", "帮助", "助", QColor(60, 140, 200), "menu_help"},
        {"menu_SystemExit", "退出系统", "退", QColor(170, 40, 40), ""},
    };
    for (const Button& b : buttons) {
        auto* tb = new QToolButton;
        tb->setObjectName(b.key);
        tb->setText(QString::fromUtf8(b.text));
        tb->setIcon(ThemeIcon(ThemeIconName(b.key), QString::fromUtf8(b.glyph), b.color));
        tb->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
        const QString key = b.key;
        const QString popup = b.popup;
        if (popup.isEmpty()) {
            connect(tb, &QToolButton::clicked, this, [this, key] { RunCommand(key); });
        } else {
            connect(tb, &QToolButton::clicked, this,
                    [this, tb, popup] { PopupMenuBelow(this, menu(popup), tb, 0, 0, 0); });
            for (const auto& [owner, items] : kDropDowns) {
                if (owner != key) continue;
                auto* drop = new QMenu(tb);
                drop->setObjectName(key + "_dropdown");
                for (const QString& item : items) {
                    QAction* a = drop->addAction(findCommand(item)->text);
                    a->setObjectName(item);
                    connect(a, &QAction::triggered, this, [this, item] { RunCommand(item); });
                }
                tb->setMenu(drop);
                tb->setPopupMode(QToolButton::MenuButtonPopup);
            }
        }
        m_toolbar->addWidget(tb);
    }
}

// A command whose window is not part of the program yet is disabled.
void frm_Main::updateCommandStates() {
    for (const Command& c : commands()) {
        if (c.windowKey.isEmpty()) continue;
        const bool available = WindowRegistry::IsRegistered(c.windowKey);
        for (QAction* a : findChildren<QAction*>(c.key))
            a->setEnabled(available);
        if (auto* tb = findChild<QToolButton*>(c.key)) tb->setEnabled(available);
    }
}

bool frm_Main::RunCommand(const QString& key) {
    const Command* c = findCommand(key);
    if (!c) return false;
    if (key == "menu_web") {
        urlOpener()(webSite());
        return true;
    }
    if (key == "menu_funRefresh") {
        RefreshPermissions();
        return false;
    }
    if (key == "menu_SystemExit") {
        close();
        return false;
    }
    if (!c->code.isEmpty() && !CheckFunction(c->code, true)) return false;
    if (!WindowRegistry::IsRegistered(c->windowKey)) return false;
    WindowRegistry::Open(c->windowKey);
    return true;
}

void frm_Main::ShowLogin() {
    FrmLogin login(this);
    connect(&login, &FrmLogin::loggedIn, this, &frm_Main::SetUserPanel);
    // the login's Cancel is the frame's exit question
    login.setExitRequest([this] {
        close();
        return m_exiting;
    });
    RunModal(&login);
}

void frm_Main::SetUserPanel(const QString& userName) {
    m_userPanel->setText(QStringLiteral("当前用户:") + userName);
    RefreshExpiryPanel();
}

void frm_Main::RefreshExpiryPanel() {
    if (!CheckFunction(m_funCode::rpt_expiry(), false)) {
        m_expiryPanel->setVisible(false);
        return;
    }
    try {
        const int days = ExpiryWarnDays();
        const int lots = ExpiringLotCount(SysVar().Sys_accountJoinId, SysVar().Sys_locationJoinId, days);
        const QString text = lots > 0 ? QStringLiteral("%1个批次已过期或将在%2天内过期").arg(lots).arg(days)
                                      : QStringLiteral("没有%1天内过期的批次").arg(days);
        m_expiryPanel->setText(QStringLiteral("效期预警: <a href=\"expiry\" style=\"color:%1\">%2</a>")
                                   .arg(lots > 0 ? "#b00000" : "#404040", text));
        m_expiryPanel->setVisible(true);
    } catch (const DbError&) { // an engine error leaves the panel out, never the program
        m_expiryPanel->setVisible(false);
    }
}

void frm_Main::CloseAllChildren() {
    for (QMdiSubWindow* sub : m_mdi->subWindowList())
        delete sub; // closed without asking
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible() && !qobject_cast<QMenu*>(w)) w->close();
}

void frm_Main::RefreshPermissions() {
    if (MsgBox::Ask(QStringLiteral("刷新权限会关闭全部的窗口,是否继续?"), MsgBox::YesNo, MsgBox::Question,
                    kProductTitle) != MsgBox::Yes)
        return;
    CloseAllChildren();
    InitSysVar();
}

void frm_Main::closeEvent(QCloseEvent* event) {
    if (!m_exiting) {
        if (MsgBox::Ask(QStringLiteral("是否退出系统?"), MsgBox::YesNo, MsgBox::Question, kProductTitle) !=
            MsgBox::Yes) {
            event->ignore();
            return;
        }
        // a window holding unsaved work asks first; keeping it keeps the program
        for (QMdiSubWindow* sub : m_mdi->subWindowList())
            if (!sub->close()) {
                event->ignore();
                return;
            }
        m_exiting = true;
    }
    QSettings(LayoutFile(), QSettings::IniFormat).setValue("frm_Main/geometry", saveGeometry());
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    CloseAllChildren();
    event->accept();
    EndProgram(0);
}
