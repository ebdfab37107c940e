#include "numbertext.h"

#include "data/accesstext.h"

#include <cmath>

std::optional<double> NumberFieldValue(const QString& text) {
    return NumberValue(text, false);
}

std::optional<double> NumberValue(const QString& text, bool signAllowed) {
    QString t = text.trimmed();
    if (t.isEmpty()) return 0.0;
    const bool negative = signAllowed && t.startsWith(u'-');
    if (negative) t.remove(0, 1);
    int digits = 0, points = 0;
    for (const QChar c : t) {
        if (c >= u'0' && c <= u'9')
            ++digits;
        else if (c == u'.')
            ++points;
        else
            return std::nullopt;
    }
    if (digits == 0 || points > 1) return std::nullopt;
    const double v = acc::val(t);
    // beyond a trillion no quantity, price or weight is meant, and sums of
    // such figures lose every digit that matters
    if (!std::isfinite(v) || v > 1e12) return std::nullopt;
    return negative ? -v : v;
}

QString NotANumberMessage(const QString& label) {
    return label + QStringLiteral("不是有效的数字,请重新输入!");
}
