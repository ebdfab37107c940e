#pragma once
#include <QString>
#include <QVariant>

// The next number of a kind ("rk" stock-in bill, "ck" stock-out bill, "ct"
// customer code) for the month of date: prefix, YYMM, "-", five digits.
// Returns "" for an unknown kind; throws DbError when the month's numbers are used up.
QString GetBillNo(const QString& kind, const QVariant& date);

// The next stock-in ("rk"), stock-out ("ck") or count ("pd") number, read inside the
// caller's write transaction (sqlHelper::ExecuteTransWith), so that two
// programs saving at once never take the same number.
QString NextBillNoInTrans(const QString& kind, const QVariant& date);
