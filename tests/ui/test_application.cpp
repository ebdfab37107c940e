#include "bills/frmbillentry.h"
#include "calendar/calendarview.h"
#include "guifixture.h"
#include "ui/application.h"
#include "ui/formparts.h"
#include "ui/icons.h"
#include "ui/msgbox_widgets.h"

#include <QAbstractButton>
#include <QDialogButtonBox>
#include <QIcon>
#include <QImage>
#include <QInputDialog>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolBar>

namespace {

// The share of a picture's pixels that are not transparent.
double coverage(const QPixmap& pm) {
    const QImage image = pm.toImage();
    int drawn = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            drawn += image.pixelColor(x, y).alpha() > 0;
    return image.isNull() ? 0.0 : double(drawn) / (image.width() * image.height());
}

} // namespace

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
        EXPECT_EQ(icon.pixmap(QSize(size, size), 1.0).size(), QSize(size, size)) << size;
    // a white warehouse on a blue tile, not the platform's generic picture
    const QImage image = icon.pixmap(64, 64).toImage();
    const QColor tile = image.pixelColor(4, 32), wall = image.pixelColor(16, 38);
    EXPECT_GT(tile.blue(), tile.red() + 60) << qPrintable(tile.name());
    EXPECT_EQ(tile.alpha(), 255);
    EXPECT_GT(std::min({wall.red(), wall.green(), wall.blue()}), 230) << qPrintable(wall.name());
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0); // a rounded tile
}

TEST_F(Application, ToolbarIconsComeFromTheIconThemeElseThePaintedGlyph) {
    QToolBar bar;
    // as the program starts: the theme installed with it, which has every name the toolbars use
    QAction* save = NewToolAction(&bar, "save", "保存", "存", QColor(38, 120, 190));
    EXPECT_EQ(save->icon().name(), "document-save");
    EXPECT_GT(coverage(save->icon().pixmap(QSize(32, 32), 1.0)), 0.1);
    const QStringList keys =
        QString("add new open save delete copy print export refresh seachBill pass unpass "
                "post abandon operation close menu_MyCustomer menu_ckMg menu_report menu_web "
                "menu_Calendar menu_BasicInfor menu_SystemSet menu_funRefresh menu_Help "
                "menu_SystemExit menu_SystemMin menu_open")
            .split(' ');
    for (const QString& key : keys)
        EXPECT_TRUE(QIcon::hasThemeIcon(ThemeIconName(key))) << qPrintable(key + " " + ThemeIconName(key));

    const QStringList paths = QIcon::themeSearchPaths();
    const QString theme = QIcon::themeName(), fallback = QIcon::fallbackThemeName();
    // a theme that has document-save only
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("own/actions/32");
    QFile index(dir.filePath("own/index.theme"));
    ASSERT_TRUE(index.open(QIODevice::WriteOnly));
    index.write("[Icon Theme]\nName=own\nDirectories=actions/32\n\n[actions/32]\nSize=32\nType=Fixed\n");
    index.close();
    QImage red(32, 32, QImage::Format_ARGB32);
    red.fill(Qt::red);
    ASSERT_TRUE(red.save(dir.filePath("own/actions/32/document-save.png")));
    QIcon::setThemeSearchPaths({dir.path()});
    QIcon::setFallbackThemeName(QString());
    QIcon::setThemeName("own");
    const QIcon themed = NewToolAction(&bar, "save", "保存", "存", QColor(38, 120, 190))->icon();
    const QColor themedCentre = themed.pixmap(QSize(32, 32), 1.0).toImage().pixelColor(16, 16);
    const QIcon missing = NewToolAction(&bar, "close", "关闭", "关", QColor(90, 100, 110))->icon();
    // no theme at all
    QIcon::setThemeName("none");
    const QIcon none = NewToolAction(&bar, "save", "保存", "存", QColor(38, 120, 190))->icon();
    QIcon::setThemeSearchPaths(paths);
    QIcon::setFallbackThemeName(fallback);
    QIcon::setThemeName(theme);

    EXPECT_EQ(themed.name(), "document-save");
    EXPECT_EQ(themedCentre, QColor(Qt::red));
    EXPECT_EQ(missing.cacheKey(), GlyphIcon("关", QColor(90, 100, 110)).cacheKey());
    EXPECT_EQ(none.cacheKey(), GlyphIcon("存", QColor(38, 120, 190)).cacheKey());
    EXPECT_GT(coverage(none.pixmap(QSize(32, 32), 1.0)), 0.7);
}

TEST_F(Application, PaintedPicturesAreDrawnForThePixelRatio) {
    // a glyph at twice the pixels for a screen of ratio 2, not a 64-pixel picture stretched
    const QPixmap glyph = GlyphIcon("存", QColor(38, 120, 190)).pixmap(QSize(64, 64), 2.0);
    EXPECT_EQ(glyph.size(), QSize(128, 128));
    EXPECT_EQ(glyph.devicePixelRatio(), 2.0);
    EXPECT_GT(coverage(glyph), 0.7);
    // the approval stamp: 96 x 96 on the form, drawn over all its pixels
    const QPixmap stamp = ApprovalStamp("已审核", QColor(210, 30, 30), 2.0);
    EXPECT_EQ(stamp.size(), QSize(192, 192));
    EXPECT_EQ(stamp.devicePixelRatio(), 2.0);
    EXPECT_EQ(stamp.deviceIndependentSize(), QSizeF(96, 96));
    const QImage image = stamp.toImage();
    EXPECT_GT(image.pixelColor(96, 12).red(), 150);  // the outer ring at its top
    EXPECT_GT(image.pixelColor(180, 96).alpha(), 0); // and at its right
    EXPECT_EQ(ApprovalStamp("已审核", QColor(210, 30, 30), 1.0).size(), QSize(96, 96));
    // the calendar's strip of importances
    const QPixmap strip = CalendarView::ImportanceStrip({"一般", "重要"}, false, 2.0);
    EXPECT_EQ(strip.devicePixelRatio(), 2.0);
    EXPECT_EQ(strip.size(), CalendarView::ImportanceStrip({"一般", "重要"}, false, 1.0).size() * 2);
}
