#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

// The lock screen: the logged-in user gives the password to go on.
class FrmLockSystem : public QDialog {
    Q_OBJECT
public:
    explicit FrmLockSystem(QWidget* parent = nullptr);
    QLineEdit* utxtuser;
    QLineEdit* utxtPassword;
    QPushButton* btnOK;

public slots:
    void OK();
    // Escape: the program ends.
    void EndSession();
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_unlocked = false;
};
