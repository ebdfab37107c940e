#include "frmabout.h"

#include "ui/application.h"

#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmAbout");
    setWindowTitle(QStringLiteral("关于我们"));
    auto* icon = new QLabel;
    icon->setPixmap(style()->standardIcon(QStyle::SP_DriveHDIcon).pixmap(48, 48));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(kProductTitle);
    title->setObjectName("lab_title");
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    auto* text = new QLabel(
        QStringLiteral(
            "版本 %1\n\n货品、库位、往来单位, 入库与出库单据,\n库存报表、打印与导出, 用户与部门权限。")
            .arg(QApplication::applicationVersion().isEmpty() ? QStringLiteral("1.0")
                                                              : QApplication::applicationVersion()));
    text->setAlignment(Qt::AlignCenter);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setMinimumWidth(340);
}
