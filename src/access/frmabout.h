#pragma once
#include <QDialog>

// The about window: the product title, its version and the features built so far.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent = nullptr);
    // The features the program offers: the login and the registered windows.
    static QStringList Features();
};
