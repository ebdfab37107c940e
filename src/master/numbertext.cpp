#include "numbertext.h"

#include "data/accesstext.h"

std::optional<double> NumberFieldValue(const QString& text) {
    const QString t = text.trimmed();
    if (t.isEmpty()) return 0.0;
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
    return acc::val(t);
}

QString NotANumberMessage(const QString& label) {
    return label + QStringLiteral("不是有效的数字,请重新输入!");
}
