#include "guifixture.h"
#include "ui/application.h"
#include "ui/msgbox_widgets.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QInputDialog>
#include <QTimer>

class Application : public GuiTest {};

TEST_F(Application, QtsOwnDialogsSpeakChinese) {
    auto* app = static_cast<WmsApplication*>(QApplication::instance());
    EXPECT_TRUE(app->hasQtTranslations());
    WidgetMsgBox real;
    MsgBox::setHandler(&real);
    QStringList buttons;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (!box) return;
        box->setTextValue("饮料");
        for (QAbstractButton* b : box->findChild<QDialogButtonBox*>()->buttons())
            buttons << b->text();
        screenshot(box, "input_box");
        box->accept();
    });
    const std::optional<QString> answer = MsgBox::Input("请输入货品类别名称:", "新增货品类别");
    MsgBox::setHandler(&m_msg);
    EXPECT_EQ(answer, std::optional<QString>("饮料"));
    buttons.sort();
    EXPECT_EQ(buttons, (QStringList{"取消", "确定"}));
}

TEST_F(Application, HasItsOwnIcon) {
    const QIcon icon = QApplication::windowIcon();
    ASSERT_FALSE(icon.isNull());
    // sharp at the sizes the desktop asks for
    for (int size : {16, 32, 48, 256})
        EXPECT_TRUE(icon.availableSizes().contains(QSize(size, size))) << size;
    // a white warehouse on a blue tile, not the platform's generic picture
    const QImage image = icon.pixmap(64, 64).toImage();
    const QColor tile = image.pixelColor(4, 32), wall = image.pixelColor(16, 38);
    EXPECT_GT(tile.blue(), tile.red() + 60) << qPrintable(tile.name());
    EXPECT_EQ(tile.alpha(), 255);
    EXPECT_GT(std::min({wall.red(), wall.green(), wall.blue()}), 230) << qPrintable(wall.name());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // a rounded tile
}
