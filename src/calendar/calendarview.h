#pragma once
// The month calendar: a 7 × 6 grid from Sunday with the number of events of
// each day shown as a strip of coloured squares (one per event, by
// importance) or a flag, the month, year and view type above it, and the
// buttons of the calendar views.

#include <QDate>
#include <QWidget>

class QComboBox;
class QPushButton;
class QSpinBox;
class QTableWidget;
class QTableWidgetItem;

class CalendarView : public QWidget {
    Q_OBJECT
public:
    explicit CalendarView(QWidget* parent = nullptr);

    QSpinBox* utxtYear;
    QComboBox* uCombMonth;
    QComboBox* comb_ViewType;
    QTableWidget* VgCalendar;
    QPushButton* btn_new;
    QPushButton* btn_today;
    QPushButton* btn_list;
    QPushButton* btn_update;
    QPushButton* btn_min;
    QPushButton* btn_lock;
    QPushButton* btn_password;
    QPushButton* btn_about;

    int year() const;
    int month() const; // 1 to 12
    // The day of a cell (0 for an empty cell).
    int dayAt(int row, int column) const;
    // The cell of a day of the shown month.
    QTableWidgetItem* cellOf(int day) const;
    // The picture of a day's events (null for a day without).
    QPixmap pictureOf(int day) const;
    // The strip of a day's importances ("一般^重要^"), drawn for a pixel ratio (0: the screen's).
    static QPixmap ImportanceStrip(const QStringList& flags, bool weekend, qreal ratio = 0);
    static QColor ImportanceColor(const QString& flag);

public slots:
    void ShowMonth(int year, int month);
    void Redraw();
    void Today();
    void UpdateView();
    void NewEvent();
    void ShowList(const QDate& day = QDate());
    void OpenDay(int row, int column);

signals:
    void minimiseRequested();

private:
    bool m_drawing = false;
};
