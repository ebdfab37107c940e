#include "frmabout.h"

#include "data/appenv.h"
#include "ui/application.h"
#include "ui/icons.h"
#include "ui/windowregistry.h"
#include "wms_version.h"

#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

QStringList FrmAbout::Features() {
    return QStringList{QStringLiteral("用户登录与系统锁定")} + WindowRegistry::Titles();
}

FrmAbout::FrmAbout(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmAbout");
    setWindowTitle(QStringLiteral("关于我们"));
    auto* icon = new QLabel;
    icon->setPixmap(AppIcon().pixmap(64, 64));
    icon->setAlignment(Qt::AlignCenter);
    auto* title = new QLabel(kProductTitle);
    title->setObjectName("lab_title");
    QFont f = title->font();
    f.setPointSize(f.pointSize() + 6);
    f.setBold(true);
    title->setFont(f);
    title->setAlignment(Qt::AlignCenter);
    const QString version = QStringLiteral(WMS_VERSION);
    auto* text = new QLabel(QStringLiteral("版本 %1\n\n本版本提供:\n%2\n\n日志文件夹: %3")
                                .arg(version, Features().join("、"), QDir::toNativeSeparators(LogFolder())));
    text->setObjectName("lab_features");
    text->setAlignment(Qt::AlignCenter);
    text->setWordWrap(true);
    auto* ok = new QPushButton(QStringLiteral("确定"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(icon);
    layout->addWidget(title);
    layout->addWidget(text);
    layout->addWidget(ok, 0, Qt::AlignCenter);
    setMinimumWidth(340);
}
