#include "barcode.h"

#include <QPainter>
#include <memory>
#include <zint.h>

namespace kx {

bool IsEan13(const QString& data) {
    if (data.size() != 13) return false;
    int sum = 0;
    for (int i = 0; i < 13; ++i) {
        if (!data[i].isDigit() || data[i].unicode() > '9') return false;
        if (i < 12) sum += (data[i].unicode() - '0') * (i % 2 ? 3 : 1);
    }
    return (10 - sum % 10) % 10 == data[12].unicode() - '0';
}

bool DrawBarcode(QPainter& p, const QRectF& area, const QString& data, QString* error) {
    std::unique_ptr<zint_symbol, void (*)(zint_symbol*)> symbol(ZBarcode_Create(), ZBarcode_Delete);
    if (!symbol) {
        *error = QStringLiteral("条码库不可用");
        return false;
    }
    const bool ean = IsEan13(data);
    symbol->symbology = ean ? BARCODE_EANX_CHK : BARCODE_CODE128;
    symbol->input_mode = UNICODE_MODE;
    symbol->show_hrt = 0;                    // the text is set under the bars by the label
    symbol->whitespace_width = ean ? 0 : 10; // EAN-13 carries its own quiet zones
    const QByteArray bytes = data.toUtf8();
    const int rc = ZBarcode_Encode_and_Buffer_Vector(
        symbol.get(), reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size(), 0);
    if (rc >= ZINT_ERROR || !symbol->vector || symbol->vector->width <= 0) {
        *error = QString::fromUtf8(symbol->errtxt);
        return false;
    }
    const zint_vector* v = symbol->vector;
    const double sx = area.width() / v->width, sy = area.height() / v->height;
    p.save();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::black);
    for (const zint_vector_rect* r = v->rectangles; r; r = r->next)
        if (r->colour == -1 || r->colour == 7)
            p.drawRect(
                QRectF(area.left() + r->x * sx, area.top() + r->y * sy, r->width * sx, r->height * sy));
    p.restore();
    return true;
}

} // namespace kx
