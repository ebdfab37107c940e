#pragma once
#include <QString>
#include <QVariant>

// The next number of a kind ("rk" stock-in bill, "ck" stock-out bill, "ct"
// customer code) for the month of date: prefix, YYMM, "-", five digits.
// Returns "" for an unknown kind; throws DbError when the month's numbers are used up.
QString GetBillNo(const QString& kind, const QVariant& date);

// The next stock-in ("rk"), stock-out ("ck"), count ("pd") or transfer ("db") number, read inside the
// caller's write transaction (sqlHelper::ExecuteTransWith), so that two
// programs saving at once never take the same number.
QString NextBillNoInTrans(const QString& kind, const QVariant& date);

// The two halves of NextBillNoInTrans, for a save that reads the number
// together with its ids in one query: the query of the month's highest number
// (one value, Null for none), to be read under LockInTrans of the kind's
// table, and the number after the value it read.
QString LastBillNoQuery(const QString& kind, const QVariant& date);
QString BillNoAfter(const QString& kind, const QVariant& date, const QVariant& last);
