#include "frmshowmin.h"

#include "frmlocksystem.h"

#include "data/appenv.h"
#include "data/sqlhelper.h"
#include "ui/icons.h"
#include "ui/modal.h"
#include "ui/widgethelpers.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QVBoxLayout>

FrmShowMin::FrmShowMin(QWidget* home)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_home(home) {
    setObjectName("FrmShowMin");
    setWindowTitle(QStringLiteral("澜图仓库管理系统"));
    m_picture = new QLabel;
    m_picture->setPixmap(GlyphIcon(QStringLiteral("澜"), QColor(38, 120, 190)).pixmap(64, 64));
    m_picture->setToolTip(QStringLiteral("单击显示菜单, 按住拖动"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_picture);
    setFixedSize(64, 64);
    menu_pop = new QMenu(this);
    menu_pop->setObjectName("menu_pop");
    QAction* home_ = menu_pop->addAction(QStringLiteral("主窗口"), this, &FrmShowMin::ShowMainWindow);
    home_->setObjectName("menu_frmain");
    QAction* exit = menu_pop->addAction(QStringLiteral("退出"), this, &FrmShowMin::ExitProgram);
    exit->setObjectName("menu_exit");
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.right() - width() - 24, area.top() + area.height() / 4);
    }
}

void FrmShowMin::ShowMainWindow() {
    hide();
    if (m_home) {
        m_home->show();
        m_home->raise();
    }
    FrmLockSystem lock(m_home);
    RunModal(&lock);
}

void FrmShowMin::ExitProgram() {
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    EndProgram(0);
}

void FrmShowMin::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    m_pressAt = event->globalPosition().toPoint();
    m_windowAt = pos();
    m_dragged = false;
}

void FrmShowMin::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) return;
    const QPoint delta = event->globalPosition().toPoint() - m_pressAt;
    if (delta.manhattanLength() > 3) m_dragged = true;
    if (m_dragged) move(m_windowAt + delta);
}

void FrmShowMin::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && !m_dragged) PopupMenuBelow(this, menu_pop, m_picture, 0, 0, 0);
}
