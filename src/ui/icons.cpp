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
