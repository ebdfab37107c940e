#pragma once
#include <QColor>
#include <QIcon>
#include <QPixmap>
#include <QString>

// The program's id: the name of its desktop entry, its metainfo and its icon.
QString AppId();

// The theme that fills in the names the desktop's theme lacks, and the theme
// used where the platform names none.
inline constexpr const char* kFallbackIconTheme = "breeze";
// Chooses the icon theme at start: before any icon is looked up.
void UseIconTheme();

// The freedesktop icon name of a toolbar command ("save" -> "document-save");
// empty for a command without one.
QString ThemeIconName(const QString& commandKey);
// The icon theme's icon of that name, else the painted glyph.
QIcon ThemeIcon(const QString& name, const QString& glyph, const QColor& color);

// The program's own icons: a rounded tile in a colour with a white glyph,
// painted at the size and pixel ratio asked for. The last fallback of every icon.
QIcon GlyphIcon(const QString& glyph, const QColor& color);

// The program's own icon: a warehouse with boxes in its door, on a blue tile.
// The installed one from the icon theme, else the one built in.
QIcon AppIcon();

// A transparent pixmap of a size in device-independent pixels, made for a
// pixel ratio (0: the screen's); a painter on it draws in the same units.
QPixmap CanvasPixmap(const QSize& size, qreal ratio = 0);

// The pictures the program names by file ("flg.ico", "flg2.ico", "flg3.ico",
// "ok.ico", "ok_01.gif", ...), drawn by the program itself.
QIcon KeyIcon(const QString& fileKey);
// The status picture of goods ("启用", "替代", "禁用") and partners ("启用", "禁用").
QIcon StatusIcon(const QString& status);
