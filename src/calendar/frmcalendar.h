#pragma once
// The calendar views: FrmCalendar (日程管理, opened from the main window) and
// the home window frmMain, the same calendar framed with the program's
// title, its own toolbar and a three-way closing question.

#include <QDialog>

class CalendarView;
class QToolBar;

class FrmCalendar : public QDialog {
    Q_OBJECT
public:
    explicit FrmCalendar(QWidget* parent = nullptr);
    CalendarView* calendar;

public slots:
    // Hides the calendar behind the small floating window.
    void Minimise();

protected:
    void setVisible(bool visible) override;

private:
    bool m_minimising = false;
};

class frmMain : public QDialog {
    Q_OBJECT
public:
    explicit frmMain(QWidget* parent = nullptr);
    CalendarView* calendar;
    QToolBar* toolbar;

    // The closing question: Yes ends the program, No minimises, Cancel stays.
    static QString ClosingQuestion();

public slots:
    void Minimise();
    void SystemExit();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void setVisible(bool visible) override;

private:
    bool m_exiting = false;
    bool m_minimising = false;
};
