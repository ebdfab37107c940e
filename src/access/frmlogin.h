#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;
class frm_Main;

// The login form, shown modally over the main window when the program starts.
class FrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit FrmLogin(frm_Main* main);
    bool isLoggedIn() const { return m_loggedIn; }

    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QPushButton* btnOK;
    QPushButton* btnCancel;

public slots:
    void OK();
    void Cancel();
    void reject() override; // Escape: as Cancel

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void loadLastUser();
    frm_Main* m_main;
    bool m_loggedIn = false;
    bool m_leaving = false;
};

// The file in the program folder that keeps the last user name.
QString LastUserFile();
