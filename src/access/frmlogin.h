#pragma once
#include <QDialog>
#include <functional>

class QLineEdit;
class QPushButton;

// The login form, shown modally over the main window when the program starts.
class FrmLogin : public QDialog {
    Q_OBJECT
public:
    explicit FrmLogin(QWidget* parent = nullptr);
    bool isLoggedIn() const { return m_loggedIn; }
    // Cancel asks the frame to end the program; the request answers whether it
    // ends. Without one, Cancel leaves the login at once.
    void setExitRequest(std::function<bool()> request) { m_exitRequest = std::move(request); }

    QLineEdit* txtUserName;
    QLineEdit* txtPassword;
    QPushButton* btnOK;
    QPushButton* btnCancel;

signals:
    // A user logged in with this name.
    void loggedIn(const QString& userName);

public slots:
    void OK();
    void Cancel();
    void reject() override; // Escape: as Cancel

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    void loadLastUser();
    std::function<bool()> m_exitRequest;
    bool m_loggedIn = false;
    bool m_leaving = false;
};

// The file in the program folder that keeps the last user name.
QString LastUserFile();
