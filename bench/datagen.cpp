#include "datagen.h"

#include "access/sysvars.h"
#include "access/user.h"
#include "data/appenv.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "data/sqlitedatabase.h"
#include "schema/dbsetup.h"
#include "schema/serverschema.h"

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstdio>
#include <random>
#include <sqlite3.h>

namespace {

class Insert {
public:
    Insert(sqlite3* db, const char* sql) : m_db(db) {
        if (sqlite3_prepare_v2(db, sql, -1, &m_stmt, nullptr) != SQLITE_OK)
            throw DbError(QString::fromUtf8(sqlite3_errmsg(db)));
    }
    ~Insert() { sqlite3_finalize(m_stmt); }
    Insert& bind(int i, long long v) {
        sqlite3_bind_int64(m_stmt, i, v);
        return *this;
    }
    Insert& bind(int i, double v) {
        sqlite3_bind_double(m_stmt, i, v);
        return *this;
    }
    Insert& bind(int i, const std::string& v) {
        sqlite3_bind_text(m_stmt, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
        return *this;
    }
    void run() {
        if (sqlite3_step(m_stmt) != SQLITE_DONE) throw DbError(QString::fromUtf8(sqlite3_errmsg(m_db)));
        sqlite3_reset(m_stmt);
    }

private:
    sqlite3* m_db;
    sqlite3_stmt* m_stmt = nullptr;
};

std::string fmt(const char* f, long long a, long long b = 0, long long c = 0) {
    char buf[64];
    std::snprintf(buf, sizeof buf, f, a, b, c);
    return buf;
}

} // namespace

double GenerateData(const QString& file, const GenSize& size) {
    QElapsedTimer timer;
    timer.start();
    // made at the first schema version and brought up to date after the rows are in:
    // the balances are then computed once instead of by a trigger on every line
    CreateDatabase(file, false, true, 1);
    SqliteDatabase& dbo = SqliteDatabase::instance();
    sqlite3* db = dbo.handle();
    dbo.execute("PRAGMA synchronous = OFF");
    dbo.execute("BEGIN");
    std::mt19937 rng(42);
    auto pick = [&](int n) { return static_cast<int>(rng() % static_cast<unsigned>(n)); };

    // accounts 2 (preset), 10, 11; goods types 20..29; locations 1..20
    dbo.execute(
        "INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, remark, isstart, isSystemSet) "
        "VALUES "
        "(10, 'accountType', '账目二', 0, 0, '', 1, 0), (11, 'accountType', '账目三', 0, 0, '', 1, 0)");
    dbo.execute("INSERT INTO tb_account_fun (accountId, departmentId) VALUES (10, 1), (11, 1)");
    {
        Insert type(
            db,
            "INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, remark, isstart, isSystemSet) "
            "VALUES (?, 'goodsType', ?, 0, 0, '', 1, 0)");
        for (int i = 20; i < 30; ++i)
            type.bind(1, (long long)i).bind(2, fmt("类别%lld", i)).run();
        Insert loc(db, "INSERT INTO tb_location (id, locationCode, uname, capacity, parentId, orderby, "
                       "isLock, isVirtual, "
                       "state, remark) VALUES (?, ?, ?, 1000, 0, 0, 0, 0, 1, '')");
        Insert grant(db, "INSERT INTO tb_location_fun (locationId, departmentId) VALUES (?, 1)");
        for (int i = 1; i <= 20; ++i) {
            loc.bind(1, (long long)i).bind(2, fmt("L-%02lld", i)).bind(3, fmt("库位%lld", i)).run();
            grant.bind(1, (long long)i).run();
        }
        Insert cust(
            db,
            "INSERT INTO tb_customer (id, utype, customType, customerCode, uname, pinyin, status, creator, "
            "createTime, userId) VALUES (?, ?, 6, ?, ?, 'WLDW', 1, 'admin', '2025-01-01 08:00:00', 1)");
        for (int i = 1; i <= 200; ++i)
            cust.bind(1, (long long)i)
                .bind(2, (long long)(i % 3))
                .bind(3, fmt("ct-2501-%05lld", i))
                .bind(4, fmt("往来单位%lld", i))
                .run();
    }
    {
        Insert head(
            db, "INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, goodsDesc, pinyin, upqty, "
                "downqty, status, imageUrl, creator, createTime, updateLastUser, updateLastTime) VALUES "
                "(?, ?, ?, ?, '规格', 'HP', 1000, 10, '启用', '', 'admin', '2025-01-01 08:00:00', 'admin', "
                "'2025-01-01 08:00:00')");
        Insert det(
            db, "INSERT INTO tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, "
                "weight, inPrice, salePrice) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        for (int g = 1; g <= size.goods; ++g) {
            head.bind(1, (long long)g)
                .bind(2, (long long)(20 + g % 10))
                .bind(3, fmt("G%06lld", g))
                .bind(4, fmt("货品%lld", g))
                .run();
            det.bind(1, (long long)(2 * g - 1))
                .bind(2, (long long)g)
                .bind(3, 1LL)
                .bind(4, 1LL)
                .bind(5, fmt("69%011lld", g))
                .bind(6, std::string("件"))
                .bind(7, 1.0)
                .bind(8, 0.5)
                .bind(9, 2.5)
                .bind(10, 3.5)
                .run();
            det.bind(1, (long long)(2 * g))
                .bind(2, (long long)g)
                .bind(3, 0LL)
                .bind(4, 2LL)
                .bind(5, fmt("68%011lld", g))
                .bind(6, std::string("箱"))
                .bind(7, 12.0)
                .bind(8, 6.0)
                .bind(9, 29.0)
                .bind(10, 40.0)
                .run();
        }
    }
    const long long accounts[] = {2, 10, 11};
    for (const char* kind : {"rk", "ck"}) {
        const bool in = kind[0] == 'r';
        Insert head(
            db,
            in ? "INSERT INTO tb_rk_head (id, accountId, billNo, ubillNo, utypeId, supplierId, supplierName, "
                 "remark, ispass, creator, createTime, updateLastUser, updateLastTime, userId) VALUES "
                 "(?, ?, ?, '', 3, ?, ?, '', ?, 'admin', ?, 'admin', ?, 1)"
               : "INSERT INTO tb_ck_head (id, accountId, billNo, ubillNo, utypeId, customerId, customerName, "
                 "remark, ispass, creator, createTime, updateLastUser, updateLastTime, userId) VALUES "
                 "(?, ?, ?, '', 4, ?, ?, '', ?, 'admin', ?, 'admin', ?, 1)");
        Insert line(
            db,
            in ? "INSERT INTO tb_rk_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, "
                 "goodsCode, "
                 "goodsDetailCode, goodsName, goodsDesc, unit, inPrice, packQty, weight, qty, locationId, "
                 "lotNo, remark) VALUES (?, ?, ?, ?, '类别', ?, ?, ?, ?, '规格', ?, ?, ?, ?, ?, ?, '', '')"
               : "INSERT INTO tb_ck_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, "
                 "goodsCode, "
                 "goodsDetailCode, goodsName, goodsDesc, unit, inPrice, salePrice, packQty, weight, qty, "
                 "locationId, lotNo, remark) VALUES (?, ?, ?, ?, '类别', ?, ?, ?, ?, '规格', ?, ?, 3.5, ?, "
                 "?, ?, ?, "
                 "'', '')");
        // the bills are shared between the two kinds
        const int count = in ? size.bills - size.bills / 2 : size.bills / 2;
        std::vector<int> perMonth(24, 0);
        long long lineId = 0;
        for (int b = 1; b <= count; ++b) {
            const int month =
                static_cast<int>((static_cast<long long>(b) * 24) / (count + 1)); // 2025-01 .. 2026-12
            const int year = 2025 + month / 12, mon = month % 12 + 1, day = 1 + pick(28);
            const int seq = ++perMonth[month];
            const std::string date = fmt("%04lld-%02lld-%02lld", year, mon, day);
            const int partner = 1 + pick(200);
            head.bind(1, (long long)b)
                .bind(2, accounts[b % 3])
                .bind(3, fmt(in ? "rk-%02lld%02lld-%05lld" : "ck-%02lld%02lld-%05lld", year % 100, mon, seq))
                .bind(4, (long long)partner)
                .bind(5, fmt("往来单位%lld", partner))
                .bind(6, (long long)(b % 7 == 0 ? 0 : 1))
                .bind(7, date)
                .bind(8, date + " 12:00:00")
                .run();
            for (int k = 1; k <= size.lines; ++k) {
                const int g = 1 + pick(size.goods);
                const bool carton = pick(4) == 0;
                line.bind(1, ++lineId)
                    .bind(2, (long long)b)
                    .bind(3, (long long)k)
                    .bind(4, (long long)(20 + g % 10))
                    .bind(5, (long long)g)
                    .bind(6, fmt("G%06lld", g))
                    .bind(7, fmt(carton ? "68%011lld" : "69%011lld", g))
                    .bind(8, fmt("货品%lld", g))
                    .bind(9, std::string(carton ? "箱" : "件"))
                    .bind(10, carton ? 29.0 : 2.5)
                    .bind(11, carton ? 12.0 : 1.0)
                    .bind(12, carton ? 6.0 : 0.5)
                    .bind(13, static_cast<double>(1 + pick(in ? 50 : 20)))
                    .bind(14, (long long)(1 + pick(20)))
                    .run();
            }
        }
    }
    dbo.execute("COMMIT");
    MigrateDatabase(dbo);
    // transfers between the locations, one for every ten bills; their tables came with the
    // schema steps, so the triggers keep the balance per location as they go in
    dbo.execute("BEGIN");
    {
        Insert head(db, "INSERT INTO tb_transfer_head (id, accountId, billNo, remark, ispass, creator, createTime, "
                        "updateLastUser, updateLastTime, userId) VALUES (?, ?, ?, '', ?, 'admin', ?, 'admin', ?, 1)");
        Insert line(db, "INSERT INTO tb_transfer_detail (id, headId, rowNo, goodsTypeId, goodsTypeName, goodsId, "
                        "goodsCode, goodsDetailCode, goodsName, goodsDesc, unit, packQty, weight, qty, fromLocationId, "
                        "toLocationId, lotNo, remark) VALUES (?, ?, ?, ?, '类别', ?, ?, ?, ?, '规格', '件', 1, 0.5, ?, "
                        "?, ?, '', '')");
        const int count = size.bills / 10;
        std::vector<int> perMonth(24, 0);
        long long lineId = 0;
        for (int t = 1; t <= count; ++t) {
            const int month = static_cast<int>((static_cast<long long>(t) * 24) / (count + 1));
            const int year = 2025 + month / 12, mon = month % 12 + 1, day = 1 + pick(28);
            const std::string date = fmt("%04lld-%02lld-%02lld", year, mon, day);
            head.bind(1, (long long)t)
                .bind(2, accounts[t % 3])
                .bind(3, fmt("db-%02lld%02lld-%05lld", year % 100, mon, ++perMonth[month]))
                .bind(4, (long long)(t % 7 == 0 ? 0 : 1))
                .bind(5, date)
                .bind(6, date + " 12:00:00")
                .run();
            for (int k = 1; k <= size.lines; ++k) {
                const int g = 1 + pick(size.goods), from = 1 + pick(20);
                line.bind(1, ++lineId)
                    .bind(2, (long long)t)
                    .bind(3, (long long)k)
                    .bind(4, (long long)(20 + g % 10))
                    .bind(5, (long long)g)
                    .bind(6, fmt("G%06lld", g))
                    .bind(7, fmt("69%011lld", g))
                    .bind(8, fmt("货品%lld", g))
                    .bind(9, static_cast<double>(1 + pick(10)))
                    .bind(10, (long long)from)
                    .bind(11, (long long)(1 + (from + pick(19)) % 20))
                    .run();
            }
        }
    }
    dbo.execute("COMMIT");
    dbo.execute("PRAGMA synchronous = FULL");
    dbo.execute("ANALYZE");
    return timer.elapsed() / 1000.0;
}

void OpenLargeShop(const QString& folder, int goods, int bills) {
    GenSize size;
    size.goods = goods;
    size.bills = bills > 0 ? bills
                 : qEnvironmentVariableIsSet("WMS_BENCH_BILLS")
                     ? qEnvironmentVariableIntValue("WMS_BENCH_BILLS")
                     : 100000;
    size.lines = 10;
    const QString server = qEnvironmentVariable("WMS_BENCH_SERVER");
    // a shop made before (wms-datagen): taken as it is, written to by the benchmarks that save
    const QString existing = qEnvironmentVariable("WMS_BENCH_DB");
    QString name = QStringLiteral("wms_bench_%1_%2").arg(size.goods).arg(size.bills);
    if (!existing.isEmpty())
        name = "wms_bench_" +
               QFileInfo(existing).completeBaseName().toLower().replace(QRegularExpression("[^a-z0-9_]"), "_");
    bool copied = false;
    if (!server.isEmpty()) {
        PgDatabase admin;
        admin.open(server);
        copied =
            admin.query("SELECT count(*) FROM pg_database WHERE datname = '" + name + "'").at(0, 0).toInt() >
            0;
        if (!copied) admin.execute("CREATE DATABASE " + name);
    }
    if (!existing.isEmpty()) {
        if (!QFileInfo::exists(existing))
            throw DbError(QStringLiteral("WMS_BENCH_DB: no such file: %1").arg(existing));
        QFile::link(QFileInfo(existing).absoluteFilePath(), folder + "/wms.mdb");
        std::fprintf(stderr, "the shop in %s\n", qPrintable(existing));
    } else if (!copied) {
        const double seconds = GenerateData(folder + "/wms.mdb", size);
        std::fprintf(stderr, "generated %d bills of 10 lines in %.1f s\n", size.bills, seconds);
    }
    if (!server.isEmpty()) {
        const QString conninfo = server + " dbname=" + name;
        if (!copied) {
            QElapsedTimer timer;
            timer.start();
            PgDatabase target;
            target.open(conninfo);
            SqliteDatabase& file = SqliteDatabase::instance();
            file.open(folder + "/wms.mdb");
            try {
                CopyToServer(file, target);
            } catch (...) {
                file.close();
                target.close();
                PgDatabase admin;
                admin.open(server);
                admin.execute("DROP DATABASE " + name + " WITH (FORCE)");
                throw;
            }
            file.close();
            std::fprintf(stderr, "copied to the server in %.1f s\n", timer.elapsed() / 1000.0);
        }
        QFile ini(folder + "/linkDB.ini");
        if (ini.open(QIODevice::WriteOnly))
            ini.write(("[DB_Link]\nLinkType=2\nServer=" + conninfo + "\n").toUtf8());
        std::fprintf(stderr, "on the server: %s\n", qPrintable(conninfo));
    }
    SetAppPath(folder);
    CurrentUser() = dal_user().GetModelForPw("admin", "888");
    InitSysVar();
}
