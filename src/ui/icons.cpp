#include "icons.h"

#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

QIcon GlyphIcon(const QString& glyph, const QColor& color) {
    static QHash<QString, QIcon> cache;
    const QString key = glyph + color.name();
    if (auto it = cache.constFind(key); it != cache.constEnd()) return it.value();
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::TextAntialiasing);
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
        f.setPixelSize(qRound(size * 0.56));
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r, Qt::AlignCenter, glyph);
        p.end();
        icon.addPixmap(pm);
    }
    cache.insert(key, icon);
    return icon;
}

QIcon AppIcon() {
    static QIcon icon;
    if (!icon.isNull()) return icon;
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
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
        const QColor box(240, 160, 40);
        const QPen edge(QColor(170, 100, 20), 2);
        p.setPen(edge);
        p.setBrush(box);
        p.drawRect(QRectF(35, 70, 15, 14));
        p.drawRect(QRectF(51, 70, 15, 14));
        p.drawRect(QRectF(43, 56, 15, 14));
        p.end();
        icon.addPixmap(pm);
    }
    return icon;
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
