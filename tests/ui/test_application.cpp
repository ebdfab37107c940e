#include "guifixture.h"
#include "ui/application.h"
#include "ui/icons.h"
#include "ui/msgbox_widgets.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
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
    EXPECT_EQ(QApplication::windowIcon().cacheKey(), AppIcon().cacheKey()); // not the generic one
}
