#include "cmoney.h"

#include <cmath>

namespace CMoney {

namespace {

const char16_t* const kDigits[] = {u"零", u"壹", u"贰", u"叁", u"肆", u"伍", u"陆", u"柒", u"捌", u"玖"};

QString word(QChar digit) {
    return DigitWord(digit.digitValue());
}

// The amount as plain decimal text of up to 15 significant digits: no
// exponent, no trailing zeros after the point, no zero before it (".5").
QString plainDecimal(double v) {
    const QString e = QString::number(v, 'e', 14); // d.dddddddddddddde±x
    const int ePos = e.indexOf('e');
    QString digits = e.left(ePos).remove('.');
    const int exponent = e.mid(ePos + 1).toInt();
    while (digits.size() > 1 && digits.endsWith('0'))
        digits.chop(1);
    const int point = exponent + 1; // digits before the point
    if (point <= 0) return "." + QString(-point, '0') + digits;
    if (point >= digits.size()) return digits + QString(point - digits.size(), '0');
    return digits.left(point) + "." + digits.mid(point);
}

// One group of up to four digits, taken from the right of s.
QString group(QString& s) {
    static const char16_t* const places[] = {u"", u"拾", u"佰", u"仟"};
    QString g;
    for (int k = 0; k < 4 && !s.isEmpty(); ++k) {
        const QChar d = s.back();
        s.chop(1);
        if (k == 0)
            g = word(d) + g;
        else if (d != '0')
            g = word(d) + QString::fromUtf16(places[k]) + g;
        else if (!g.startsWith(QStringLiteral("零")))
            g = QStringLiteral("零") + g;
    }
    return g;
}

void dropTrailingZero(QString& g) {
    if (g.endsWith(QStringLiteral("零"))) g.chop(1);
}

// The whole-yuan part. Above twelve digits the hundred-million group is
// itself written with 万 (壹万亿) rather than losing its leading digits.
QString integerWords(QString s) {
    QString g1 = group(s);
    QString g2 = group(s);
    QString g3 = s.size() > 4 ? integerWords(s) : group(s);
    dropTrailingZero(g1);
    dropTrailingZero(g2);
    if (!g2.isEmpty()) g2 += QStringLiteral("万");
    dropTrailingZero(g3);
    if (!g3.isEmpty()) g3 += QStringLiteral("亿");
    return g3 + g2 + g1;
}

} // namespace

QString DigitWord(const QVariant& digit) {
    bool ok = false;
    const double d = digit.toDouble(&ok);
    if (!ok || d != std::floor(d) || d < 0 || d > 9) return {};
    return QString::fromUtf16(kDigits[static_cast<int>(d)]);
}

QString AmountInCapitals(const QVariant& amount) {
    if (amount.typeId() == QMetaType::QString && amount.toString().isEmpty()) return " ";
    bool ok = false;
    const double v = amount.toString().trimmed().toDouble(&ok);
    if (!ok || v == 0 || !std::isfinite(v)) return " ";
    if (v < 0) return QStringLiteral("负") + AmountInCapitals(-v);
    QString s = plainDecimal(v);
    QString f;
    const int p = s.indexOf('.');
    if (p < 0) {
        f = QStringLiteral("整");
    } else {
        QString r = s.mid(p + 1);
        if (!r.isEmpty()) {
            const QChar j = r.front();
            r.remove(0, 1);
            if (j != '0' && !r.isEmpty()) f += word(j) + QStringLiteral("角");
            if (j != '0' && r.isEmpty()) f += word(j) + QStringLiteral("角整");
            if (j == '0' && !r.isEmpty()) f += QStringLiteral("零");
            if (!r.isEmpty()) f += word(r.front()) + QStringLiteral("分");
        }
        s = s.left(p);
    }
    const QString whole = integerWords(s);
    return whole.isEmpty() ? f : whole + QStringLiteral("元") + f;
}

} // namespace CMoney
