#pragma once
#include <QPointer>
#include <QWidget>

class QLabel;
class QMenu;

// The small floating window that stands in for the hidden calendar views:
// a picture kept above all windows; dragging moves it, a click offers
// "主窗口" (back to the home view behind the lock screen) and "退出".
class FrmShowMin : public QWidget {
    Q_OBJECT
public:
    // home: the view made visible again by "主窗口".
    explicit FrmShowMin(QWidget* home);
    QMenu* menu_pop;

public slots:
    void ShowMainWindow();
    void ExitProgram();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPointer<QWidget> m_home;
    QLabel* m_picture;
    QPoint m_pressAt;
    QPoint m_windowAt;
    bool m_dragged = false;
};
