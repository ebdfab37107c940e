#pragma once
#include <QDialog>

// The about window: the product title and version.
class FrmAbout : public QDialog {
    Q_OBJECT
public:
    explicit FrmAbout(QWidget* parent = nullptr);
};
