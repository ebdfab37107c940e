#include "sqlfunctions.h"

#include "accesstext.h"

#include <QVariant>
#include <cmath>
#include <limits>
#include <sqlite3.h>
#include <string>

namespace {

// Appends the Access text form of a value; returns false for Null.
bool appendText(sqlite3_value* v, std::string& out) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return false;
    case SQLITE_INTEGER:
        out += std::to_string(sqlite3_value_int64(v));
        return true;
    case SQLITE_FLOAT:
        out += acc::numberText(sqlite3_value_double(v));
        return true;
    default:
        out.append(reinterpret_cast<const char*>(sqlite3_value_text(v)),
                   static_cast<std::size_t>(sqlite3_value_bytes(v)));
        return true;
    }
}

QVariant toVariant(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
    case SQLITE_NULL:
        return {};
    case SQLITE_INTEGER:
        return QVariant(static_cast<qlonglong>(sqlite3_value_int64(v)));
    case SQLITE_FLOAT:
        return QVariant(sqlite3_value_double(v));
    default:
        return QVariant(
            QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_value_text(v)), sqlite3_value_bytes(v)));
    }
}

QString toText(sqlite3_value* v) {
    std::string s;
    appendText(v, s);
    return QString::fromStdString(s);
}

void resultText(sqlite3_context* ctx, const std::string& s) {
    sqlite3_result_text(ctx, s.data(), static_cast<int>(s.size()), SQLITE_TRANSIENT);
}

void resultText(sqlite3_context* ctx, const QString& s) {
    resultText(ctx, s.toStdString());
}

// a & b & ...: Null counts as empty text; Null only when every operand is Null.
void accCat(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    std::string out;
    bool any = false;
    for (int i = 0; i < argc; ++i)
        any |= appendText(argv[i], out);
    if (!any)
        sqlite3_result_null(ctx);
    else
        resultText(ctx, out);
}

void accFormat(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        resultText(ctx, std::string());
        return;
    }
    resultText(ctx, acc::format(toVariant(argv[0]), toText(argv[1])));
}

constexpr const char* kOverflow = "溢出";

void accVal(sqlite3_context* ctx, int, sqlite3_value** argv) {
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_NULL:
        sqlite3_result_null(ctx);
        return;
    case SQLITE_INTEGER:
    case SQLITE_FLOAT:
        sqlite3_result_double(ctx, sqlite3_value_double(argv[0]));
        return;
    default: {
        // a number past the double range ('1e999') is an overflow, not infinity
        const double v = acc::val(reinterpret_cast<const char*>(sqlite3_value_text(argv[0])),
                                  static_cast<std::size_t>(sqlite3_value_bytes(argv[0])));
        if (std::isinf(v)) return sqlite3_result_error(ctx, kOverflow, -1);
        sqlite3_result_double(ctx, v);
    }
    }
}

void accCStr(sqlite3_context* ctx, int, sqlite3_value** argv) {
    std::string out;
    if (!appendText(argv[0], out))
        sqlite3_result_null(ctx);
    else
        resultText(ctx, out);
}

// mid(s, start[, length]), counted in characters from 1.
void accMid(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = toText(argv[0]);
    const qint64 start = std::max<qint64>(1, sqlite3_value_int64(argv[1]));
    qint64 len = s.size();
    if (argc > 2) len = std::max<qint64>(0, sqlite3_value_int64(argv[2]));
    if (start > s.size()) {
        resultText(ctx, std::string());
        return;
    }
    resultText(ctx, s.mid(static_cast<int>(start - 1), static_cast<int>(std::min<qint64>(len, s.size()))));
}

void accRight(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    const QString s = toText(argv[0]);
    const qint64 n = std::max<qint64>(0, sqlite3_value_int64(argv[1]));
    resultText(ctx, s.right(static_cast<int>(std::min<qint64>(n, s.size()))));
}

bool anyNull(int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i)
        if (sqlite3_value_type(argv[i]) == SQLITE_NULL) return true;
    return false;
}

// a ^ b: a result past the double range is an overflow, 0 to a negative power
// a division by zero, and a negative number to a fractional power has no value.
void accPow(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    const double a = sqlite3_value_double(argv[0]), b = sqlite3_value_double(argv[1]);
    if (a == 0 && b < 0) return sqlite3_result_error(ctx, "除数为零", -1);
    if (a < 0 && b != std::trunc(b)) return sqlite3_result_error(ctx, "无效的过程调用或参数", -1);
    const double r = std::pow(a, b);
    if (std::isinf(r) && std::isfinite(a) && std::isfinite(b))
        return sqlite3_result_error(ctx, kOverflow, -1);
    sqlite3_result_double(ctx, r);
}

// An operand of \ or Mod as a whole number: integers as they are, other
// values rounded; false when the value lies outside the 64-bit range.
bool wholeNumber(sqlite3_value* v, qint64& out) {
    if (sqlite3_value_numeric_type(v) == SQLITE_INTEGER) {
        out = sqlite3_value_int64(v);
        return true;
    }
    const double d = std::nearbyint(sqlite3_value_double(v));
    // 2^63 itself does not fit; every double below it does
    if (!std::isfinite(d) || d < -9223372036854775808.0 || d >= 9223372036854775808.0) return false;
    out = static_cast<qint64>(d);
    return true;
}

// \ and Mod round their operands to whole numbers first.
bool integerOperands(sqlite3_context* ctx, int argc, sqlite3_value** argv, qint64& a, qint64& b) {
    if (anyNull(argc, argv)) {
        sqlite3_result_null(ctx);
        return false;
    }
    if (!wholeNumber(argv[0], a) || !wholeNumber(argv[1], b)) {
        sqlite3_result_error(ctx, kOverflow, -1);
        return false;
    }
    if (b == 0) {
        sqlite3_result_error(ctx, "除数为零", -1);
        return false;
    }
    if (b == -1 && a == std::numeric_limits<qint64>::min()) {
        // the quotient does not fit, and the hardware traps on it
        sqlite3_result_error(ctx, kOverflow, -1);
        return false;
    }
    return true;
}

void accIDiv(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    qint64 a, b;
    if (integerOperands(ctx, argc, argv, a, b)) sqlite3_result_int64(ctx, a / b);
}

void accMod(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    qint64 a, b;
    if (integerOperands(ctx, argc, argv, a, b)) sqlite3_result_int64(ctx, a % b);
}

// a + b: two texts are joined, anything else is added as the engine adds.
void accAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (anyNull(argc, argv)) return sqlite3_result_null(ctx);
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT && sqlite3_value_type(argv[1]) == SQLITE_TEXT) {
        std::string out;
        appendText(argv[0], out);
        appendText(argv[1], out);
        return resultText(ctx, out);
    }
    const int ta = sqlite3_value_numeric_type(argv[0]);
    const int tb = sqlite3_value_numeric_type(argv[1]);
    if (ta == SQLITE_INTEGER && tb == SQLITE_INTEGER) {
        qint64 sum = 0;
        if (!__builtin_add_overflow(sqlite3_value_int64(argv[0]), sqlite3_value_int64(argv[1]), &sum))
            return sqlite3_result_int64(ctx, sum);
    }
    sqlite3_result_double(ctx, sqlite3_value_double(argv[0]) + sqlite3_value_double(argv[1]));
}

} // namespace

void registerAccessFunctions(sqlite3* db) {
    struct Fn {
        const char* name;
        int argc;
        void (*fn)(sqlite3_context*, int, sqlite3_value**);
    };
    static const Fn fns[] = {
        {"acc_cat", -1, accCat},    {"acc_format", 2, accFormat}, {"acc_val", 1, accVal},
        {"acc_cstr", 1, accCStr},   {"acc_mid", 2, accMid},       {"acc_mid", 3, accMid},
        {"acc_right", 2, accRight}, {"acc_pow", 2, accPow},       {"acc_idiv", 2, accIDiv},
        {"acc_mod", 2, accMod},     {"acc_add", 2, accAdd},
    };
    for (const Fn& f : fns)
        sqlite3_create_function_v2(db, f.name, f.argc, SQLITE_UTF8 | SQLITE_DETERMINISTIC | SQLITE_INNOCUOUS,
                                   nullptr, f.fn, nullptr, nullptr, nullptr);
}
