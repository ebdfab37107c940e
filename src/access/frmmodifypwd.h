#pragma once
#include <QDialog>

class QLineEdit;
class QPushButton;

// Changing the password of the logged-in user.
class FrmModifypwd : public QDialog {
    Q_OBJECT
public:
    explicit FrmModifypwd(QWidget* parent = nullptr);
    QLineEdit* utxtuser;
    QLineEdit* utxtoldpwd;
    QLineEdit* utxtnewpwd;
    QLineEdit* utxtrepwd;
    QPushButton* btnOK;
    QPushButton* btnBack;

public slots:
    void OK();
};
