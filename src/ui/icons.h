#pragma once
#include <QColor>
#include <QIcon>
#include <QString>

// The program's own icons: a rounded tile in a colour with a white glyph.
QIcon GlyphIcon(const QString& glyph, const QColor& color);
