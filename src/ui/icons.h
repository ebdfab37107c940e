#pragma once
#include <QColor>
#include <QIcon>
#include <QString>

// The program's own icons: a rounded tile in a colour with a white glyph.
QIcon GlyphIcon(const QString& glyph, const QColor& color);

// The program's own icon: a warehouse with boxes in its door, on a blue tile.
QIcon AppIcon();

// The pictures the program names by file ("flg.ico", "flg2.ico", "flg3.ico",
// "ok.ico", "ok_01.gif", ...), drawn by the program itself.
QIcon KeyIcon(const QString& fileKey);
// The status picture of goods ("启用", "替代", "禁用") and partners ("启用", "禁用").
QIcon StatusIcon(const QString& status);
