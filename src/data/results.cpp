#include "results.h"

#include "accesstext.h"
#include "appenv.h"

#include <QUuid>

bool IsBlank(const QVariant& value) {
    if (!value.isValid() || value.isNull()) return true;
    return acc::valueText(value).trimmed().isEmpty();
}

QString NzText(const QVariant& value, const QString& defaultText) {
    if (!value.isValid() || value.isNull()) return defaultText;
    return acc::valueText(value);
}

QDateTime FirstDayOfMonth(const QDateTime& date) {
    return date.addDays(1 - date.date().day());
}
QDate FirstDayOfMonth(const QDate& date) {
    return date.addDays(1 - date.day());
}

QString FormatNow(const QString& pattern) {
    return acc::formatDate(QDateTime::currentDateTime(), pattern);
}

QString NewGuidText() {
    const QUuid id = QUuid::createUuid();
    if (id.isNull()) return {};
    return id.toString(QUuid::Id128).toUpper();
}

RecordSetTable RecordSetToArray(const RecordSet& rs) {
    RecordSetTable t;
    const int rows = rs.RecordCount();
    if (rows < 1) return t;
    const int cols = rs.fieldCount();
    t.data.assign(static_cast<std::size_t>(rows), std::vector<QString>(static_cast<std::size_t>(cols)));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            t.data[r][c] = NzText(rs.at(r, c), QString());
    t.isOk = true;
    t.rowCount = rows;
    return t;
}

int FilterNumberKey(int keyCode) {
    if ((keyCode >= '0' && keyCode <= '9') || keyCode == 8 || keyCode == 46) return keyCode;
    return 0;
}

int FilterQuoteKey(int keyCode) {
    if (keyCode == '\'' || keyCode == 0x2019 || keyCode == 0x2018 || keyCode == '~') {
        Beep();
        return 0;
    }
    return keyCode;
}

int SwallowEnterKey(int keyCode) {
    return keyCode == 13 ? 0 : keyCode;
}
