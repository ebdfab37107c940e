#pragma once
// The event editor (日程): the date and time, the content, the importance
// and the mark of one event.

#include <QDateTime>
#include <QDialog>

class QCheckBox;
class QComboBox;
class QDateTimeEdit;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

class frmEvents : public QDialog {
    Q_OBJECT
public:
    explicit frmEvents(QWidget* parent = nullptr);

    QDateTimeEdit* dt_time;
    QPlainTextEdit* txt_content;
    QComboBox* comb_flgtype;
    QCheckBox* chk_start;
    QLineEdit* txt_id;
    QPushButton* btn_Save;

    void NewEvent(const QDateTime& when);
    void load_EventsContent(int id);

public slots:
    void Save();

signals:
    // After a save: updated is true for a stored event that was changed.
    void saved(bool updated);
};
