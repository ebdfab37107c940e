#include "stockbalance.h"

#include "data/database.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"

#include <algorithm>
#include <cmath>
#include <memory>
#include <span>

namespace {

struct Side {
    const char* tag;      // rk or ck
    const char* head;     // bill head table
    const char* detail;   // bill line table
    const char* qty;      // pieces column of the balance
    const char* weight;   // weight column of the balance
    const char* location; // the line's location column
};

constexpr Side kSides[] = {
    {"rk", "tb_rk_head", "tb_rk_detail", "importQty", "importWeight", "locationId"},
    {"ck", "tb_ck_head", "tb_ck_detail", "exportQty", "exportWeight", "locationId"},
};

// A transfer line moves its goods out of its from location and into its to
// location: two sides of one line, kept in the balance per location only.
constexpr Side kTransferSides[] = {
    {"db", "tb_transfer_head", "tb_transfer_detail", "exportQty", "exportWeight", "fromLocationId"},
    {"db", "tb_transfer_head", "tb_transfer_detail", "importQty", "importWeight", "toLocationId"},
};

// Whether the database keeps transfers (a file before their schema step does not).
bool keepsTransfers(Database& db) {
    const QString sql =
        db.dialect() == AccessSql::Dialect::Postgres
            ? QStringLiteral("SELECT to_regclass('tb_transfer_detail') IS NOT NULL")
            : QStringLiteral("SELECT count(*) FROM main.sqlite_master WHERE type = 'table' AND "
                             "name = 'tb_transfer_detail'");
    return db.query(sql).at(0, 0).toInt() > 0;
}

const char* const kPieces = "coalesce(%1.qty, 0) * coalesce(%1.packQty, 0)";
const char* const kWeight = "coalesce(%1.qty, 0) * coalesce(%1.weight, 0)";

QString pieces(const QString& row) {
    return QString::fromLatin1(kPieces).arg(row);
}
QString weight(const QString& row) {
    return QString::fromLatin1(kWeight).arg(row);
}

// The balance row of (goods, account) exists afterwards; "rows" supplies the
// pairs (a FROM ... WHERE clause naming goods and account expressions).
QString ensureRows(const QString& goods, const QString& account, const QString& fromWhere) {
    return QStringLiteral(
               "INSERT INTO tb_stock_balance (goodsId, accountId, importQty, importWeight, exportQty, "
               "exportWeight) SELECT DISTINCT %1, %2, 0, 0, 0, 0 %3 AND NOT EXISTS (SELECT 1 FROM "
               "tb_stock_balance s WHERE s.goodsId IS %1 AND s.accountId IS %2);")
        .arg(goods, account, fromWhere);
}

// One line (NEW or OLD) added (sign "+") or taken away ("-") when its head is approved.
QString lineChange(const Side& s, const QString& row, const char* sign) {
    const QString headOf = QStringLiteral("(SELECT accountId FROM %1 WHERE id = %2.headId)").arg(s.head, row);
    const QString approved =
        QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE id = %2.headId AND ispass = 1)").arg(s.head, row);
    return ensureRows(row + ".goodsId", "h.accountId",
                      QStringLiteral("FROM %1 h WHERE h.id = %2.headId AND h.ispass = 1").arg(s.head, row)) +
           QStringLiteral(
               " UPDATE tb_stock_balance SET %1 = %1 %2 %3, %4 = %4 %2 %5 WHERE goodsId IS %6.goodsId "
               "AND accountId IS %7 AND %8;")
               .arg(s.qty, sign, pieces(row), s.weight, weight(row), row, headOf, approved);
}

// Every line of one head added or taken away under the head's account mark.
QString headChange(const Side& s, const QString& row, const char* sign, const QString& when) {
    const QString head = row + ".id", account = row + ".accountId";
    const QString sums = QStringLiteral("(SELECT total(%1) FROM %2 d WHERE d.headId = %3 AND d.goodsId IS "
                                        "tb_stock_balance.goodsId)");
    const QString set =
        QStringLiteral("UPDATE tb_stock_balance SET %1 = %1 %2 %3, %4 = %4 %2 %5 WHERE accountId "
                       "IS %6 AND %7 AND ")
            .arg(s.qty, sign, sums.arg(pieces("d"), s.detail, head), s.weight,
                 sums.arg(weight("d"), s.detail, head), account, when);
    return ensureRows("d.goodsId", account,
                      QStringLiteral("FROM %1 d WHERE d.headId = %2 AND %3").arg(s.detail, head, when)) +
           ' ' + set +
           QStringLiteral("goodsId IN (SELECT d.goodsId FROM %1 d WHERE d.headId = %2);")
               .arg(s.detail, head) +
           ' ' + set +
           QStringLiteral(
               "goodsId IS NULL AND EXISTS (SELECT 1 FROM %1 d WHERE d.headId = %2 AND d.goodsId IS "
               "NULL);")
               .arg(s.detail, head);
}

// The recomputation of every balance row from the lines of approved bills,
// per goods and account, and per location too (a line without one under 0),
// in SQL that both engines take.
// Transfers count in the balances per location and per lot only.
// With expiry (per lot only), a last column: the earliest expiry that came in.
QString recomputation(bool perLocation = false, bool transfers = false, bool perLot = false,
                      bool withExpiry = false) {
    QStringList arms;
    auto arm = [&](const Side& s) {
        const bool in = QLatin1String(s.qty) == QLatin1String("importQty");
        const QString p = pieces("d"), w = weight("d");
        QString place =
            perLocation ? QStringLiteral("coalesce(d.%1, 0) AS locationId, ").arg(s.location) : QString();
        // the lot as written, on both engines (a line's lot compares without case)
        if (perLot) place += QStringLiteral("coalesce(d.lotNo || '', '') AS lotNo, ");
        const QString expiry = !withExpiry ? QString()
                               : in        ? QStringLiteral(", nullif(d.expiryDate || '', '') AS e")
                                           : ", NULL AS e";
        arms << QStringLiteral(
                    "SELECT d.goodsId AS goodsId, h.accountId AS accountId, %7%1 AS iq, %2 AS iw, "
                    "%3 AS eq, %4 AS ew%8 FROM %5 d JOIN %6 h ON h.id = d.headId WHERE h.ispass = 1")
                    .arg(in ? p : "0", in ? w : "0", in ? "0" : p, in ? "0" : w, s.detail, s.head, place,
                         expiry);
    };
    for (const Side& s : kSides)
        arm(s);
    if (perLocation && transfers)
        for (const Side& s : kTransferSides)
            arm(s);
    const QString keys = perLot        ? "goodsId, accountId, locationId, lotNo"
                         : perLocation ? "goodsId, accountId, locationId"
                                       : "goodsId, accountId";
    return "SELECT " + keys +
           ", coalesce(sum(iq), 0), coalesce(sum(iw), 0), coalesce(sum(eq), 0), coalesce(sum(ew), 0)" +
           (withExpiry ? ", min(e)" : "") + " FROM (" + arms.join(" UNION ALL ") + ") AS lines GROUP BY " +
           keys;
}

// One side of the comparison read in key order: the key columns first, then
// the four figures; rows of one key (Null keys alike) are summed.
class KeyedRows {
public:
    struct Row {
        QVariant key[4];
        double v[4] = {0, 0, 0, 0};
    };
    KeyedRows(Database& db, const QString& sql, int keys) : m_cursor(db.cursor(sql)), m_keys(keys) {
        m_pending = m_cursor->next();
    }
    // The next key's row; false past the last.
    bool next(Row& row) {
        if (!m_pending) return false;
        row = Row();
        for (int c = 0; c < m_keys; ++c)
            row.key[c] = m_cursor->value(c);
        do {
            for (int c = 0; c < 4; ++c)
                row.v[c] += m_cursor->value(m_keys + c).toDouble();
            m_pending = m_cursor->next();
        } while (m_pending && compareKeys(row.key, current()) == 0);
        return true;
    }
    // The engines' order of keys: Null first, then numbers by value, then texts.
    int compareKeys(const QVariant* a, const QVariant* b) const {
        for (int c = 0; c < m_keys; ++c)
            if (const int k = compareKey(a[c], b[c])) return k;
        return 0;
    }

private:
    static int rank(const QVariant& v) {
        if (v.isNull()) return 0;
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Bool:
            return 1;
        default:
            return 2;
        }
    }
    static bool whole(const QVariant& v) { return v.typeId() != QMetaType::Double; }
    static int compareKey(const QVariant& a, const QVariant& b) {
        const int ra = rank(a), rb = rank(b);
        if (ra != rb) return ra < rb ? -1 : 1;
        if (ra == 0) return 0;
        if (ra == 1) {
            if (whole(a) && whole(b)) { // exact beyond 2^53
                const qlonglong x = a.toLongLong(), y = b.toLongLong();
                return x < y ? -1 : x > y ? 1 : 0;
            }
            const double x = a.toDouble(), y = b.toDouble();
            return x < y ? -1 : x > y ? 1 : 0;
        }
        const int t = a.toString().compare(b.toString());
        return t < 0 ? -1 : t > 0 ? 1 : 0;
    }
    const QVariant* current() {
        for (int c = 0; c < m_keys; ++c)
            m_key[c] = m_cursor->value(c);
        return m_key;
    }

    std::unique_ptr<RowCursor> m_cursor;
    int m_keys;
    bool m_pending = false;
    QVariant m_key[4];
};

// Compares stored rows with recomputed ones as both are read in key order;
// both queries give the key columns first, then the four figures. A key on
// one side only counts 0 on the other.
std::vector<BalanceDifference> compare(Database& db, const QString& storedSql, const QString& expectedSql,
                                       int keys) {
    static const char* const columns[] = {"importQty", "importWeight", "exportQty", "exportWeight"};
    static const char* const keyNames[] = {"goodsId", "accountId", "locationId", "lotNo"};
    QStringList order;
    // a lot's text in the order of its characters on both engines, as the merge below compares it
    const bool server = db.dialect() == AccessSql::Dialect::Postgres;
    for (int c = 0; c < keys; ++c)
        order << QLatin1String(keyNames[c]) +
                     (c == 3 && server ? QLatin1String(" COLLATE \"C\"") : QLatin1String()) +
                     QLatin1String(" NULLS FIRST");
    const QString orderBy = " ORDER BY " + order.join(", ");
    KeyedRows stored(db, storedSql + orderBy, keys), expected(db, expectedSql + orderBy, keys);
    KeyedRows::Row have, want;
    bool moreStored = stored.next(have), moreExpected = expected.next(want);
    std::vector<BalanceDifference> out;
    while (moreStored || moreExpected) {
        const int side = !moreStored ? 1 : !moreExpected ? -1 : stored.compareKeys(have.key, want.key);
        const KeyedRows::Row none;
        const KeyedRows::Row& s = side > 0 ? none : have;
        const KeyedRows::Row& e = side < 0 ? none : want;
        const QVariant* key = side < 0 ? have.key : want.key;
        for (int c = 0; c < 4; ++c) {
            const double tolerance = std::max(1e-6, 1e-6 * std::fabs(e.v[c]));
            // a figure that is not finite is always a difference
            if (!(std::fabs(s.v[c] - e.v[c]) <= tolerance))
                out.push_back({key[0], key[1], QString::fromLatin1(columns[c]), s.v[c], e.v[c],
                               keys > 2 ? key[2] : QVariant(), keys > 3 ? key[3] : QVariant()});
        }
        if (side <= 0) moreStored = stored.next(have);
        if (side >= 0) moreExpected = expected.next(want);
    }
    return out;
}

// ---- per location ----

// A line's location: a line without one counts under 0.
QString locationOf(const Side& s, const QString& row) {
    return "ifnull(" + row + '.' + s.location + ", 0)";
}

QString ensureLocationRows(const QString& goods, const QString& account, const QString& location,
                           const QString& fromWhere) {
    return QStringLiteral(
               "INSERT INTO tb_stock_location (goodsId, accountId, locationId, importQty, importWeight, "
               "exportQty, exportWeight) SELECT DISTINCT %1, %2, %3, 0, 0, 0, 0 %4 AND NOT EXISTS "
               "(SELECT 1 FROM tb_stock_location s WHERE s.goodsId IS %1 AND s.accountId IS %2 AND "
               "s.locationId IS %3);")
        .arg(goods, account, location, fromWhere);
}

QString locationLineChange(const Side& s, const QString& row, const char* sign) {
    const QString headOf = QStringLiteral("(SELECT accountId FROM %1 WHERE id = %2.headId)").arg(s.head, row);
    const QString approved =
        QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE id = %2.headId AND ispass = 1)").arg(s.head, row);
    return ensureLocationRows(
               row + ".goodsId", "h.accountId", locationOf(s, row),
               QStringLiteral("FROM %1 h WHERE h.id = %2.headId AND h.ispass = 1").arg(s.head, row)) +
           QStringLiteral(
               " UPDATE tb_stock_location SET %1 = %1 %2 %3, %4 = %4 %2 %5 WHERE goodsId IS %6.goodsId "
               "AND accountId IS %7 AND locationId IS %8 AND %9;")
               .arg(s.qty, sign, pieces(row), s.weight, weight(row), row, headOf, locationOf(s, row),
                    approved);
}

// Every line of one head, by goods and location, added or taken away.
QString locationHeadChange(const Side& s, const QString& row, const char* sign, const QString& when) {
    const QString head = row + ".id", account = row + ".accountId";
    const QString sums = QStringLiteral("(SELECT total(%1) FROM %2 d WHERE d.headId = %3 AND d.goodsId IS "
                                        "tb_stock_location.goodsId AND %4 = tb_stock_location.locationId)");
    return ensureLocationRows(
               "d.goodsId", account, locationOf(s, "d"),
               QStringLiteral("FROM %1 d WHERE d.headId = %2 AND %3").arg(s.detail, head, when)) +
           QStringLiteral(" UPDATE tb_stock_location SET %1 = %1 %2 %3, %4 = %4 %2 %5 WHERE %6 AND rowid IN "
                          "(SELECT l.rowid FROM %7 d JOIN tb_stock_location l ON l.goodsId IS d.goodsId AND "
                          "l.locationId = %10 WHERE d.headId = %8 AND l.accountId IS %9);")
               .arg(s.qty, sign, sums.arg(pieces("d"), s.detail, head, locationOf(s, "d")), s.weight,
                    sums.arg(weight("d"), s.detail, head, locationOf(s, "d")), when, s.detail, head, account)
               .arg(locationOf(s, "d"));
}

// ---- per lot ----

// A line's lot: a line without one counts under ''.
QString lotOf(const QString& row) {
    return "ifnull(" + row + ".lotNo, '')";
}

// The earliest of a lot's registered expiry and the expiry of what comes in (an
// expression giving a date text, or Null for none).
QString earlierExpiry(const QString& incoming) {
    return QStringLiteral(
               "CASE WHEN %1 IS NULL THEN expiryDate WHEN expiryDate IS NULL OR %1 < expiryDate THEN %1 "
               "ELSE expiryDate END")
        .arg(incoming);
}

QString ensureLotRows(const QString& goods, const QString& account, const QString& location,
                      const QString& lot, const QString& fromWhere) {
    return QStringLiteral(
               "INSERT INTO tb_stock_lot (goodsId, accountId, locationId, lotNo, importQty, importWeight, "
               "exportQty, "
               "exportWeight) SELECT DISTINCT %1, %2, %3, %4, 0, 0, 0, 0 %5 AND NOT EXISTS (SELECT 1 FROM "
               "tb_stock_lot s WHERE s.goodsId IS %1 AND s.accountId IS %2 AND s.locationId IS %3 AND "
               "s.lotNo IS "
               "%4);")
        .arg(goods, account, location, lot, fromWhere);
}

// What comes in registers its expiry with its lot; what goes out, or is taken back, does not.
bool registersExpiry(const Side& s, const char* sign) {
    return QLatin1String(s.qty) == QLatin1String("importQty") && QLatin1String(sign) == QLatin1String("+");
}

QString lotLineChange(const Side& s, const QString& row, const char* sign) {
    const QString headOf = QStringLiteral("(SELECT accountId FROM %1 WHERE id = %2.headId)").arg(s.head, row);
    const QString approved =
        QStringLiteral("EXISTS (SELECT 1 FROM %1 WHERE id = %2.headId AND ispass = 1)").arg(s.head, row);
    const QString expiry = registersExpiry(s, sign)
                               ? ", expiryDate = " + earlierExpiry("nullif(" + row + ".expiryDate, '')")
                               : QString();
    return ensureLotRows(
               row + ".goodsId", "h.accountId", locationOf(s, row), lotOf(row),
               QStringLiteral("FROM %1 h WHERE h.id = %2.headId AND h.ispass = 1").arg(s.head, row)) +
           QStringLiteral(
               " UPDATE tb_stock_lot SET %1 = %1 %2 %3, %4 = %4 %2 %5%6 WHERE goodsId IS %7.goodsId AND "
               "accountId IS %8 AND locationId IS %9 AND lotNo IS %10 AND %11;")
               .arg(s.qty, sign, pieces(row), s.weight, weight(row), expiry, row, headOf, locationOf(s, row))
               .arg(lotOf(row), approved);
}

// A lot's expiry as its approved incoming lines give it: the earliest of its
// stock-in lines and of the transfer lines that bring it to its location.
QString registeredLotExpiry() {
    auto earliest = [](const char* head, const char* detail, const char* location) {
        return QStringLiteral(
                   "(SELECT min(nullif(d.expiryDate, '')) FROM %2 d JOIN %1 h ON h.id = d.headId WHERE "
                   "h.ispass = 1 "
                   "AND h.accountId IS tb_stock_lot.accountId AND d.goodsId IS tb_stock_lot.goodsId AND "
                   "ifnull(d.%3, 0) = tb_stock_lot.locationId AND ifnull(d.lotNo || '', '') = "
                   "tb_stock_lot.lotNo)")
            .arg(QLatin1String(head), QLatin1String(detail), QLatin1String(location));
    };
    const QString in = earliest("tb_rk_head", "tb_rk_detail", "locationId"),
                  moved = earliest("tb_transfer_head", "tb_transfer_detail", "toLocationId");
    return QStringLiteral("coalesce(min(%1, %2), %1, %2)").arg(in, moved);
}

// Every line of one head, by goods, location and lot, added or taken away.
QString lotHeadChange(const Side& s, const QString& row, const char* sign, const QString& when) {
    const QString head = row + ".id", account = row + ".accountId";
    const QString sameKey =
        QStringLiteral("FROM %1 d WHERE d.headId = %2 AND d.goodsId IS tb_stock_lot.goodsId AND "
                       "%3 = tb_stock_lot.locationId AND %4 = tb_stock_lot.lotNo")
            .arg(s.detail, head, locationOf(s, "d"), lotOf("d"));
    // a head withdrawn takes its lines' expiries back: the lots' expiries are found again
    const bool incoming = QLatin1String(s.qty) == QLatin1String("importQty");
    const QString expiry =
        registersExpiry(s, sign)
            ? ", expiryDate = " + earlierExpiry("(SELECT min(nullif(d.expiryDate, '')) " + sameKey + ")")
        : incoming ? ", expiryDate = " + registeredLotExpiry()
                   : QString();
    return ensureLotRows("d.goodsId", account, locationOf(s, "d"), lotOf("d"),
                         QStringLiteral("FROM %1 d WHERE d.headId = %2 AND %3").arg(s.detail, head, when)) +
           QStringLiteral(
               " UPDATE tb_stock_lot SET %1 = %1 %2 (SELECT total(%3) %4), %5 = %5 %2 (SELECT total(%6) "
               "%4)%7 WHERE %8 AND rowid IN (SELECT l.rowid FROM %9 d JOIN tb_stock_lot l ON l.goodsId IS "
               "d.goodsId AND l.locationId = %10 AND l.lotNo = %11 WHERE d.headId = %12 AND l.accountId IS "
               "%13);")
               .arg(s.qty, sign, pieces("d"), sameKey, s.weight, weight("d"), expiry, when, s.detail)
               .arg(locationOf(s, "d"), lotOf("d"), head, account);
}

// The six triggers that keep one balance table for one kind of bill: lines
// inserted, deleted or changed, heads inserted, deleted or changed. The
// sides are the kind's ways of moving the balance (one per bill, two for a
// transfer), all on the same tables. suffix ends each trigger's name;
// lineColumns are the line's columns beyond the goods and figures whose
// change moves the balance.
using LineChange = QString (*)(const Side&, const QString&, const char*);
using HeadChange = QString (*)(const Side&, const QString&, const char*, const QString&);
QStringList kindTriggers(std::span<const Side> sides, const QString& suffix, const QString& lineColumns,
                         LineChange line, HeadChange head) {
    const Side& s = sides.front();
    auto lines = [&](const char* row, const char* sign) {
        QStringList body;
        for (const Side& side : sides)
            body << line(side, row, sign);
        return body.join(' ');
    };
    auto heads = [&](const char* row, const char* sign, const QString& when) {
        QStringList body;
        for (const Side& side : sides)
            body << head(side, row, sign, when);
        return body.join(' ');
    };
    QStringList out;
    const QString t = QString::fromLatin1(s.tag) + "_%1" + suffix;
    const auto create = [&](const char* name, const QString& rest) {
        out << "CREATE TRIGGER tr_" + t.arg(QLatin1String(name)) + ' ' + rest;
    };
    create("detail_insert",
           QStringLiteral("AFTER INSERT ON %1 BEGIN %2 END").arg(s.detail, lines("NEW", "+")));
    create("detail_delete",
           QStringLiteral("AFTER DELETE ON %1 BEGIN %2 END").arg(s.detail, lines("OLD", "-")));
    create("detail_update",
           QStringLiteral("AFTER UPDATE OF goodsId, qty, packQty, weight, headId%1 ON %2 BEGIN %3 %4 END")
               .arg(lineColumns, s.detail, lines("OLD", "-"), lines("NEW", "+")));
    create("head_insert", QStringLiteral("AFTER INSERT ON %1 WHEN NEW.ispass = 1 BEGIN %2 END")
                              .arg(s.head, heads("NEW", "+", "1 = 1")));
    create("head_delete", QStringLiteral("AFTER DELETE ON %1 WHEN OLD.ispass = 1 BEGIN %2 END")
                              .arg(s.head, heads("OLD", "-", "1 = 1")));
    create(
        "head_update",
        QStringLiteral("AFTER UPDATE OF id, ispass, accountId ON %1 WHEN (OLD.ispass = 1 OR NEW.ispass = 1) "
                       "AND (OLD.id IS NOT NEW.id OR OLD.ispass IS NOT NEW.ispass OR OLD.accountId IS NOT "
                       "NEW.accountId) BEGIN %2 %3 END")
            .arg(s.head, heads("OLD", "-", "OLD.ispass = 1"), heads("NEW", "+", "NEW.ispass = 1")));
    return out;
}

// The triggers of the stock-in and stock-out bills.
QStringList triggers(const QString& suffix, const QString& lineColumns, LineChange line, HeadChange head) {
    QStringList out;
    for (const Side& s : kSides)
        out << kindTriggers(std::span(&s, 1), suffix, lineColumns, line, head);
    return out;
}

} // namespace

QStringList StockBalanceSchema() {
    QStringList out;
    out << "CREATE TABLE tb_stock_balance (goodsId INTEGER, accountId INTEGER, importQty REAL NOT NULL "
           "DEFAULT 0, "
           "importWeight REAL NOT NULL DEFAULT 0, exportQty REAL NOT NULL DEFAULT 0, exportWeight REAL NOT "
           "NULL "
           "DEFAULT 0)";
    // Null keys are kept unique by the triggers, which compare with IS
    out << "CREATE UNIQUE INDEX ux_stock_balance ON tb_stock_balance(goodsId, accountId)";
    out << triggers(QString(), {}, lineChange, headChange);
    return out;
}

void RebuildStockBalance() {
    RebuildStockBalance(Database::instance());
}

void RebuildStockBalance(Database& db) {
    db.execute("DELETE FROM tb_stock_balance");
    db.execute("INSERT INTO tb_stock_balance (goodsId, accountId, importQty, importWeight, exportQty, "
               "exportWeight) " +
               recomputation());
}

std::vector<BalanceDifference> CheckStockBalance() {
    return CheckStockBalance(Database::instance());
}

std::vector<BalanceDifference> CheckStockBalance(Database& db) {
    return compare(
        db,
        "SELECT goodsId, accountId, importQty, importWeight, exportQty, exportWeight FROM tb_stock_balance",
        recomputation(), 2);
}

QStringList StockLocationSchema() {
    QStringList out;
    out << "CREATE TABLE tb_stock_location (goodsId INTEGER, accountId INTEGER, locationId INTEGER NOT NULL "
           "DEFAULT "
           "0, importQty REAL NOT NULL DEFAULT 0, importWeight REAL NOT NULL DEFAULT 0, exportQty REAL NOT "
           "NULL "
           "DEFAULT 0, exportWeight REAL NOT NULL DEFAULT 0)";
    out << "CREATE UNIQUE INDEX ux_stock_location ON tb_stock_location(goodsId, accountId, locationId)";
    out << "CREATE INDEX ix_stock_location_place ON tb_stock_location(locationId)";
    out << triggers(QStringLiteral("_loc"), QStringLiteral(", locationId"), locationLineChange,
                    locationHeadChange);
    return out;
}

void RebuildStockLocation() {
    RebuildStockLocation(Database::instance());
}

void RebuildStockLocation(Database& db) {
    db.execute("DELETE FROM tb_stock_location");
    db.execute(
        "INSERT INTO tb_stock_location (goodsId, accountId, locationId, importQty, importWeight, exportQty, "
        "exportWeight) " +
        recomputation(true, keepsTransfers(db)));
}

std::vector<BalanceDifference> CheckStockLocation() {
    return CheckStockLocation(Database::instance());
}

std::vector<BalanceDifference> CheckStockLocation(Database& db) {
    return compare(
        db,
        "SELECT goodsId, accountId, locationId, importQty, importWeight, exportQty, exportWeight FROM "
        "tb_stock_location",
        recomputation(true, keepsTransfers(db)), 3);
}

QStringList TransferSchema() {
    QStringList out = {
        "CREATE TABLE tb_transfer_head (id INTEGER PRIMARY KEY, accountId INTEGER, billNo TEXT COLLATE "
        "NOCASE, "
        "remark TEXT COLLATE NOCASE, ispass INTEGER NOT NULL DEFAULT 0, creator TEXT COLLATE NOCASE, "
        "createTime "
        "TEXT COLLATE NOCASE, updateLastUser TEXT COLLATE NOCASE, updateLastTime TEXT COLLATE NOCASE, userId "
        "INTEGER)",
        "CREATE UNIQUE INDEX ux_transfer_head_bill_no ON tb_transfer_head(billNo)",
        "CREATE INDEX ix_transfer_head_create_time ON tb_transfer_head(createTime)",
        "CREATE INDEX ix_transfer_head_account ON tb_transfer_head(accountId)",
        "CREATE INDEX ix_transfer_head_user ON tb_transfer_head(userId)",
        "CREATE TABLE tb_transfer_detail (id INTEGER PRIMARY KEY, headId INTEGER, rowNo INTEGER, goodsTypeId "
        "INTEGER, goodsTypeName TEXT COLLATE NOCASE, goodsId INTEGER, goodsCode TEXT COLLATE NOCASE, "
        "goodsDetailCode TEXT COLLATE NOCASE, goodsName TEXT COLLATE NOCASE, goodsDesc TEXT COLLATE NOCASE, "
        "unit "
        "TEXT COLLATE NOCASE, packQty REAL, weight REAL, qty REAL, fromLocationId INTEGER, toLocationId "
        "INTEGER, "
        "lotNo TEXT COLLATE NOCASE, remark TEXT COLLATE NOCASE)",
        "CREATE INDEX ix_transfer_detail_head ON tb_transfer_detail(headId)",
        "CREATE INDEX ix_transfer_detail_goods ON tb_transfer_detail(goodsId)",
        "CREATE INDEX ix_transfer_detail_from ON tb_transfer_detail(fromLocationId)",
        "CREATE INDEX ix_transfer_detail_to ON tb_transfer_detail(toLocationId)"};
    out << kindTriggers(kTransferSides, QStringLiteral("_loc"),
                        QStringLiteral(", fromLocationId, toLocationId"), locationLineChange,
                        locationHeadChange);
    return out;
}

QStringList StockLotSchema() {
    QStringList out = {
        "CREATE TABLE tb_stock_lot (goodsId INTEGER, accountId INTEGER, locationId INTEGER NOT NULL DEFAULT "
        "0, lotNo "
        "TEXT NOT NULL DEFAULT '', expiryDate TEXT, importQty REAL NOT NULL DEFAULT 0, "
        "importWeight REAL NOT NULL DEFAULT 0, exportQty REAL NOT NULL DEFAULT 0, exportWeight REAL NOT NULL "
        "DEFAULT 0)",
        "CREATE UNIQUE INDEX ux_stock_lot ON tb_stock_lot(goodsId, accountId, locationId, lotNo)",
        "CREATE INDEX ix_stock_lot_expiry ON tb_stock_lot(expiryDate)",
        "CREATE INDEX ix_stock_lot_place ON tb_stock_lot(locationId)"};
    for (const Side& s : kSides)
        out << kindTriggers(std::span(&s, 1), QStringLiteral("_lot"),
                            QStringLiteral(", locationId, lotNo, expiryDate"), lotLineChange, lotHeadChange);
    out << kindTriggers(kTransferSides, QStringLiteral("_lot"),
                        QStringLiteral(", fromLocationId, toLocationId, lotNo, expiryDate"), lotLineChange,
                        lotHeadChange);
    return out;
}

void RebuildStockLot(Database& db) {
    db.execute("DELETE FROM tb_stock_lot");
    // one grouping of every line, the lots' expiries with their sums
    db.execute("INSERT INTO tb_stock_lot (goodsId, accountId, locationId, lotNo, importQty, importWeight, "
               "exportQty, "
               "exportWeight, expiryDate) " +
               recomputation(true, true, true, true));
}

std::vector<BalanceDifference> CheckStockLot(Database& db) {
    return compare(
        db,
        "SELECT goodsId, accountId, locationId, lotNo, importQty, importWeight, exportQty, exportWeight FROM "
        "tb_stock_lot",
        recomputation(true, true, true), 4);
}

RecordSet GoodsStockBalance(int goodsId) {
    const QString id = QString::number(goodsId);
    return sqlHelper::ExecuteSql("select b.goodsId as id, sum(b.importQty) - sum(b.exportQty) as "
                                 "totalBlanceQty from tb_stock_balance b "
                                 "where b.goodsId=" +
                                 id +
                                 " and b.accountId in (select id from tb_dictionary where "
                                 "utype='accountType' and isstart=1 and id in (" +
                                 SysVar().Sys_accountJoinId +
                                 ")) and exists (select 1 from tb_goods_detail where headId=" + id +
                                 " and isDefault=1) group by b.goodsId");
}

std::vector<LotBalance> GoodsLots(int goodsId, const QString& accountIds, int locationId) {
    QStringList accounts{"0"};
    for (const QString& id : accountIds.split(',', Qt::SkipEmptyParts))
        accounts << QString::number(id.trimmed().toLongLong());
    const RecordSet rs = sqlHelper::ExecuteSql(
        QStringLiteral(
            "select locationId, lotNo, min(expiryDate) as e, sum(importQty - exportQty) as q from "
            "tb_stock_lot where goodsId=%1 and accountId in (%2)%3 group by locationId, lotNo having "
            "sum(importQty - exportQty) > 0.000001")
            .arg(goodsId)
            .arg(accounts.join(','),
                 locationId < 0 ? QString() : QStringLiteral(" and locationId=%1").arg(locationId)));
    std::vector<LotBalance> lots;
    lots.reserve(rs.RecordCount());
    for (int r = 0; r < rs.RecordCount(); ++r)
        lots.push_back(
            {rs.at(r, 0).toInt(), rs.at(r, 1).toString(), rs.at(r, 2).toString(), rs.at(r, 3).toDouble()});
    // sorted here: the engines would sort the lot's text without its case
    std::sort(lots.begin(), lots.end(), [](const LotBalance& a, const LotBalance& b) {
        if (a.locationId != b.locationId) return a.locationId < b.locationId;
        if (a.expiryDate.isEmpty() != b.expiryDate.isEmpty()) return b.expiryDate.isEmpty();
        if (a.expiryDate != b.expiryDate) return a.expiryDate < b.expiryDate;
        return a.lotNo < b.lotNo;
    });
    return lots;
}

QString RegisteredExpiry(int goodsId, const QString& lotNo, int exceptBillId) {
    // the engines compare a text without its case: the lot is matched here
    const RecordSet rs = sqlHelper::ExecuteSql(
        QStringLiteral(
            "select d.lotNo, d.expiryDate from tb_rk_detail as d inner join tb_rk_head as h on h.id = "
            "d.headId where h.ispass = 1 and h.id <> %1 and d.goodsId = %2 and d.lotNo = %3 and "
            "d.expiryDate is not null and d.expiryDate <> ''")
            .arg(exceptBillId)
            .arg(goodsId)
            .arg(sqlHelper::FormatParamValue(lotNo)));
    QString earliest;
    for (int r = 0; r < rs.RecordCount(); ++r) {
        const QString expiry = rs.at(r, 1).toString();
        if (rs.at(r, 0).toString() == lotNo && (earliest.isEmpty() || expiry < earliest)) earliest = expiry;
    }
    return earliest;
}
