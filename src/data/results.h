#pragma once
// Result records and the small value helpers every data-access class and form uses.

#include "recordset.h"
#include "sqlvalue.h"

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <any>
#include <vector>

// The result of a write.
struct m_DBresult {
    int int_Count = 0;
    QString str_MsgBox;
    bool isResult = false;
};

// The result of the reference check before a delete.
struct FkCheckResult {
    int int_Count = 0;
    QString str_MsgBox;
    bool isResult = false;
};

// The answer of a selection dialog.
struct m_result {
    std::any resultValue;
    bool isHasObject = false;
};

// The growing SQL text every data-access object builds its statements in.
class StringBulider {
public:
    StringBulider& Append(const QString& text) {
        m_text += text;
        return *this;
    }
    StringBulider& NewLine() {
        m_text += QStringLiteral("\r\n");
        return *this;
    }
    QString ToString() const { return m_text; }
    void Clear() { m_text.clear(); }

private:
    QString m_text;
};

// A record set as a text table, rows and columns counted from 1.
struct RecordSetTable {
    std::vector<std::vector<QString>> data; // data[row - 1][column - 1]
    bool isOk = false;
    int rowCount = 0;
    const QString& at(int row, int column) const { return data[row - 1][column - 1]; }
};

bool IsBlank(const QVariant& value);
QString NzText(const QVariant& value, const QString& defaultText);
QDateTime FirstDayOfMonth(const QDateTime& date);
QDate FirstDayOfMonth(const QDate& date);
QString FormatNow(const QString& pattern);
QString NewGuidText();
RecordSetTable RecordSetToArray(const RecordSet& rs);

// Key filters of text boxes: the character code, or 0 to cancel it.
int FilterNumberKey(int keyCode);
int FilterQuoteKey(int keyCode);
int SwallowEnterKey(int keyCode);
