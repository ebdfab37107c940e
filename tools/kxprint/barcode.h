#pragma once
// Barcode symbols drawn with libzint: EAN-13 for 13 digits with a valid check
// digit, Code 128 for anything else.

#include <QRectF>
#include <QString>

class QPainter;

namespace kx {

bool IsEan13(const QString& data);
// Draws the bars of the symbol into the rectangle (quiet zones included);
// false with the reason when the data cannot be encoded.
bool DrawBarcode(QPainter& p, const QRectF& area, const QString& data, QString* error);

} // namespace kx
