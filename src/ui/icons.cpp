#include "icons.h"

#include <QApplication>
#include <QDir>
#include <QHash>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmapCache>
#include <QStandardPaths>
#include <QStyle>
#include <QStyleOption>
#include <functional>

#include "wms_version.h"


// (resources are set up outside any namespace)
static void initDesktopResources() {
    Q_INIT_RESOURCE(desktop);
}

namespace {

// An icon painted by the program at exactly the pixel size asked for, so it is
// sharp at any size and pixel ratio.
class PaintedIconEngine : public QIconEngine {
public:
    // paints the icon into a square of side `side` pixels at the origin
    using Paint = std::function<void(QPainter&, qreal side)>;
    PaintedIconEngine(QString id, Paint paint) : m_id(std::move(id)), m_paint(std::move(paint)) {}

    QIconEngine* clone() const override { return new PaintedIconEngine(*this); }
    QString key() const override { return QStringLiteral("wms-painted"); }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}, {128, 128}, {256, 256}};
    }
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        QPixmap pm = pixmap(rect.size() * ratio, mode, state);
        pm.setDevicePixelRatio(ratio);
        painter->drawPixmap(rect, pm);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State) override {
        if (size.isEmpty()) return {};
        const QString cacheKey = QStringLiteral("wms_icon_%1_%2x%3_%4")
                                     .arg(m_id)
                                     .arg(size.width())
                                     .arg(size.height())
                                     .arg(int(mode));
        QPixmap pm;
        if (QPixmapCache::find(cacheKey, &pm)) return pm;
        pm = QPixmap(size);
        pm.fill(Qt::transparent);
        {
            QPainter p(&pm);
            p.setRenderHint(QPainter::Antialiasing);
            p.setRenderHint(QPainter::TextAntialiasing);
            const qreal side = qMin(size.width(), size.height());
            p.translate((size.width() - side) / 2, (size.height() - side) / 2);
            m_paint(p, side);
        }
        if (mode != QIcon::Normal && qobject_cast<QApplication*>(QCoreApplication::instance())) {
            QStyleOption opt;
            opt.palette = QApplication::palette();
            pm = QApplication::style()->generatedIconPixmap(mode, pm, &opt);
        }
        QPixmapCache::insert(cacheKey, pm);
        return pm;
    }

private:
    QString m_id;
    Paint m_paint;
};

void paintGlyph(QPainter& p, qreal size, const QString& glyph, const QColor& color) {
    const QRectF r(size * 0.06, size * 0.06, size * 0.88, size * 0.88);
    QLinearGradient g(r.topLeft(), r.bottomLeft());
    g.setColorAt(0, color.lighter(135));
    g.setColorAt(1, color.darker(115));
    QPainterPath path;
    path.addRoundedRect(r, size * 0.2, size * 0.2);
    p.fillPath(path, g);
    p.setPen(QPen(color.darker(150), qMax(1.0, size / 32.0)));
    p.drawPath(path);
    QFont f;
    f.setBold(true);
    f.setPixelSize(qMax(1, qRound(size * 0.56)));
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(r, Qt::AlignCenter, glyph);
}

// the same picture as the icon's SVG
void paintWarehouse(QPainter& p, qreal size) {
    p.scale(size / 100.0, size / 100.0); // drawn on a 100 x 100 grid
    QLinearGradient tile(0, 0, 0, 100);
    tile.setColorAt(0, QColor(64, 150, 220));
    tile.setColorAt(1, QColor(24, 88, 150));
    QPainterPath back;
    back.addRoundedRect(QRectF(3, 3, 94, 94), 20, 20);
    p.fillPath(back, tile);
    // the building: roof and walls
    QPainterPath house;
    house.moveTo(10, 46);
    house.lineTo(50, 16);
    house.lineTo(90, 46);
    house.lineTo(82, 46);
    house.lineTo(82, 86);
    house.lineTo(18, 86);
    house.lineTo(18, 46);
    house.closeSubpath();
    p.fillPath(house, Qt::white);
    // the door and the boxes in it
    p.fillRect(QRectF(32, 52, 36, 34), QColor(24, 88, 150));
    p.setPen(QPen(QColor(170, 100, 20), 2));
    p.setBrush(QColor(240, 160, 40));
    p.drawRect(QRectF(35, 70, 15, 14));
    p.drawRect(QRectF(51, 70, 15, 14));
    p.drawRect(QRectF(43, 56, 15, 14));
}

QIcon builtInAppIcon() {
    initDesktopResources();
    // the SVG needs Qt's SVG icon engine; without it the program paints the same picture
    QIcon svg(QStringLiteral(":/desktop/%1.svg").arg(AppId()));
    if (!svg.pixmap(QSize(16, 16), 1.0).isNull()) return svg;
    return QIcon(new PaintedIconEngine(QStringLiteral("app"), paintWarehouse));
}

} // namespace

QString AppId() {
    return QStringLiteral(WMS_APP_ID);
}

void UseIconTheme() {
    // platforms without a desktop (offscreen, ...) search Qt's resources only
    QStringList paths = QIcon::themeSearchPaths();
    for (const QString& dir : QStandardPaths::locateAll(
             QStandardPaths::GenericDataLocation, QStringLiteral("icons"), QStandardPaths::LocateDirectory)) {
        const QString clean = QDir::cleanPath(dir);
        if (!paths.contains(clean) && !paths.contains(clean + '/')) paths << clean;
    }
    QIcon::setThemeSearchPaths(paths);
    // (a theme that names no parent falls back to this one, hicolor included)
    QIcon::setFallbackThemeName(QString::fromLatin1(kFallbackIconTheme));
    const QString theme = QIcon::themeName();
    if (theme.isEmpty() || theme == QLatin1String("hicolor"))
        QIcon::setThemeName(QString::fromLatin1(kFallbackIconTheme));
}

QString ThemeIconName(const QString& commandKey) {
    static const QHash<QString, QString> names = {
        // the forms' toolbars
        {"add", "document-new"},
        {"add_location", "document-new"},
        {"add_user", "document-new"},
        {"addNew", "document-new"},
        {"new", "document-new"},
        {"open", "document-open"},
        {"save", "document-save"},
        {"save_location", "document-save"},
        {"save_user", "document-save"},
        {"delete", "edit-delete"},
        {"delete_location", "edit-delete"},
        {"delete_user", "edit-delete"},
        {"copy", "edit-copy"},
        {"print", "document-print"},
        {"print_location", "document-print"},
        {"export", "document-export"},
        {"refresh", "view-refresh"},
        {"funRefresh", "view-refresh"},
        {"seachBill", "edit-find"},
        {"pass", "dialog-ok-apply"},
        {"unpass", "edit-undo"},
        {"post", "document-send"},
        {"abandon", "process-stop"},
        {"operation", "system-run"},
        {"close", "window-close"},
        // the main window's toolbar and the calendar window's
        {"menu_MyCustomer", "x-office-address-book"},
        {"menu_ckMg", "package-x-generic"},
        {"menu_report", "x-office-spreadsheet"},
        {"menu_web", "internet-web-browser"},
        {"menu_Calendar", "x-office-calendar"},
        {"menu_BasicInfor", "folder-documents"},
        {"menu_SystemSet", "preferences-system"},
        {"menu_funRefresh", "view-refresh"},
        {"menu_Help", "help-contents"},
        {"menu_SystemExit", "application-exit"},
        {"menu_SystemMin", "window-minimize"},
        {"menu_open", "application-menu"},
    };
    return names.value(commandKey);
}

QIcon ThemeIcon(const QString& name, const QString& glyph, const QColor& color) {
    if (!name.isEmpty() && QIcon::hasThemeIcon(name)) return QIcon::fromTheme(name);
    return GlyphIcon(glyph, color);
}

QIcon GlyphIcon(const QString& glyph, const QColor& color) {
    static QHash<QString, QIcon> cache;
    const QString key = glyph + color.name();
    if (auto it = cache.constFind(key); it != cache.constEnd()) return it.value();
    const QIcon icon(new PaintedIconEngine(
        key, [glyph, color](QPainter& p, qreal side) { paintGlyph(p, side, glyph, color); }));
    cache.insert(key, icon);
    return icon;
}

QIcon AppIcon() {
    static const QIcon icon = QIcon::hasThemeIcon(AppId()) ? QIcon::fromTheme(AppId()) : builtInAppIcon();
    return icon;
}

QPixmap CanvasPixmap(const QSize& size, qreal ratio) {
    if (ratio <= 0) ratio = qApp ? qApp->devicePixelRatio() : 1.0;
    QPixmap pm(size * ratio);
    pm.setDevicePixelRatio(ratio);
    pm.fill(Qt::transparent);
    return pm;
}

QIcon KeyIcon(const QString& fileKey) {
    const QString k = fileKey.toLower();
    if (k == "flg.ico") return GlyphIcon(QStringLiteral("启"), QColor(46, 139, 87));
    if (k == "flg2.ico") return GlyphIcon(QStringLiteral("替"), QColor(210, 140, 20));
    if (k == "flg3.ico") return GlyphIcon(QStringLiteral("禁"), QColor(190, 50, 50));
    if (k == "home_max" || k == "home_min") return GlyphIcon(QStringLiteral("位"), QColor(46, 139, 87));
    if (k == "ok.ico" || k == "ok_01.gif") return GlyphIcon(QStringLiteral("✔"), QColor(46, 139, 87));
    return GlyphIcon(QStringLiteral("?"), QColor(120, 120, 120));
}

QIcon StatusIcon(const QString& status) {
    if (status == QStringLiteral("启用")) return KeyIcon("flg.ico");
    if (status == QStringLiteral("替代")) return KeyIcon("flg2.ico");
    return KeyIcon("flg3.ico");
}
