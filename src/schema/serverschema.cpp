#include "serverschema.h"
#include "dbsetup.h"
#include "stockbalance.h"

#include "data/accesstext.h"
#include "data/applog.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/translator.h"

#include <memory>
#include <sqlite3.h>

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <optional>

namespace {

QString resourceText(const QString& name) {
    return SqlResourceText(name);
}

QString nameOf(const QString& name) {
    return AccessSql::serverName(name);
}

// Whether a column of the table's CREATE text compares without regard to case.
bool noCase(const QString& createSql, const QString& column) {
    const QRegularExpression re(QStringLiteral("[\\[\"`]?\\b%1\\b[\\]\"`]?\\s+\\w+[^,]*COLLATE\\s+NOCASE")
                                    .arg(QRegularExpression::escape(column)),
                                QRegularExpression::CaseInsensitiveOption);
    return re.match(createSql).hasMatch();
}

QString typeOf(const QString& declared, bool caseless) {
    const QString t = declared.toUpper();
    if (t.contains("INT")) return "bigint";
    if (t.contains("REAL") || t.contains("FLOA") || t.contains("DOUB") || t.contains("NUM"))
        return "double precision";
    if (t.contains("BLOB")) return "bytea";
    return caseless ? "citext" : "text";
}

} // namespace

namespace {

// One column of the server from the file's CREATE text and row c of its columns (PRAGMA table_info).
QString serverColumn(const QString& createSql, const RecordSet& columns, int c) {
    const QString column = columns.at(c, 1).toString();
    QString def = nameOf(column) + ' ' + typeOf(columns.at(c, 2).toString(), noCase(createSql, column));
    if (columns.at(c, 3).toInt() != 0) def += " NOT NULL";
    if (!columns.at(c, 4).isNull()) def += " DEFAULT " + columns.at(c, 4).toString();
    return def;
}

// One table of the server from the file's CREATE text and its columns (PRAGMA table_info).
QString serverTable(const QString& table, const QString& createSql, const RecordSet& columns) {
    QStringList defs, keys;
    for (int c = 0; c < columns.RecordCount(); ++c) {
        defs << serverColumn(createSql, columns, c);
        if (columns.at(c, 5).toInt() > 0) keys << nameOf(columns.at(c, 1).toString());
    }
    if (!keys.isEmpty()) defs << "PRIMARY KEY (" + keys.join(", ") + ")";
    return "CREATE TABLE " + nameOf(table) + " (" + defs.join(", ") + ")";
}

QString serverIndex(const QString& index, const QString& table, bool unique, const QStringList& columns,
                    bool ifNotExists = false) {
    QStringList names;
    // (the server's comparisons of text keep the case, so a file's collation is left out)
    static const QRegularExpression collation(QStringLiteral("\\s+COLLATE\\s+\\w+$"),
                                              QRegularExpression::CaseInsensitiveOption);
    for (const QString& c : columns)
        names << nameOf(c.trimmed().remove(collation));
    // the balances keep one row per key, a Null key included (their triggers upsert)
    const bool oneNull = unique && table.startsWith(QLatin1String("tb_stock_"), Qt::CaseInsensitive);
    return QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5")
        .arg(unique ? "UNIQUE " : "", (ifNotExists ? "IF NOT EXISTS " : "") + nameOf(index), nameOf(table),
             names.join(", "), oneNull ? " NULLS NOT DISTINCT" : "");
}

} // namespace

QStringList ServerTablesFrom(Database& source) {
    QStringList out{"CREATE EXTENSION IF NOT EXISTS citext"};
    const RecordSet tables = source.query("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' AND "
                                          "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    for (int t = 0; t < tables.RecordCount(); ++t) {
        const QString table = tables.at(t, 0).toString();
        out << serverTable(table, tables.at(t, 1).toString(),
                           source.query("PRAGMA main.table_info('" + table + "')"));
    }
    const RecordSet indexes =
        source.query("SELECT name, tbl_name FROM main.sqlite_master WHERE type = 'index' AND sql IS NOT NULL "
                     "ORDER BY name");
    for (int i = 0; i < indexes.RecordCount(); ++i) {
        const QString index = indexes.at(i, 0).toString(), table = indexes.at(i, 1).toString();
        const RecordSet list = source.query("PRAGMA main.index_list('" + table + "')");
        bool unique = false;
        for (int k = 0; k < list.RecordCount(); ++k)
            if (list.at(k, "name").toString() == index) unique = list.at(k, "unique").toInt() != 0;
        const RecordSet parts = source.query("PRAGMA main.index_info('" + index + "')");
        QStringList columns;
        for (int k = 0; k < parts.RecordCount(); ++k)
            columns << parts.at(k, "name").toString();
        out << serverIndex(index, table, unique, columns);
    }
    return out;
}

QString ServerFunctionsScript() {
    return resourceText("pg_functions.sql");
}

namespace {

enum class Kind { Integer, Real, Text, Bytes };

Kind kindOf(const QString& declared) {
    const QString t = typeOf(declared, false);
    if (t == "bigint") return Kind::Integer;
    if (t == "double precision") return Kind::Real;
    if (t == "bytea") return Kind::Bytes;
    return Kind::Text;
}

// One value in COPY's text format; a value the column's type cannot hold is
// written as Null and counted.
void appendCopyValue(QByteArray& line, const QVariant& v, Kind kind, qint64& nulled) {
    if (v.isNull()) {
        line += "\\N";
        return;
    }
    const bool integer = acc::isIntegerType(v.typeId());
    const bool real = v.typeId() == QMetaType::Double;
    if (kind == Kind::Integer || kind == Kind::Real) {
        std::optional<double> number;
        if (integer && kind == Kind::Integer) {
            line += QByteArray::number(v.toLongLong());
            return;
        }
        if (integer || real)
            number = v.toDouble();
        else
            number = acc::numericValue(v.toString());
        if (number && kind == Kind::Integer && *number == std::trunc(*number) &&
            std::fabs(*number) < 9.2e18) {
            line += QByteArray::number(static_cast<qlonglong>(*number));
        } else if (number && kind == Kind::Real && std::isfinite(*number)) {
            line += QByteArray::number(*number, 'g', 17);
        } else {
            line += "\\N";
            ++nulled;
        }
        return;
    }
    if (kind == Kind::Bytes) {
        line += "\\\\x" + v.toByteArray().toHex();
        return;
    }
    const QByteArray text = (integer || real ? acc::valueText(v) : v.toString()).toUtf8();
    for (const char c : text) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\0':
            break; // the server's text holds no zero characters
        default:
            line += c;
        }
    }
}

// A row inserted without its integer key gets the next one, as on SQLite.
void nextIdTrigger(PgDatabase& server, const QString& table, const QString& key) {
    server.execute(QStringLiteral("CREATE TRIGGER tr_next_id BEFORE INSERT ON %1 FOR EACH ROW EXECUTE "
                                  "FUNCTION acc_tr_next_id('%2')")
                       .arg(nameOf(table), key.toLower()));
}

// The rows of the names catalogue for one table's or view's columns (PRAGMA table_info).
QStringList nameRows(const QString& table, const RecordSet& columns) {
    auto literal = [](QString s) { return '\'' + s.replace('\'', "''") + '\''; };
    QStringList values;
    for (int c = 0; c < columns.RecordCount(); ++c) {
        const QString name = columns.at(c, 1).toString();
        values << '(' + literal(table.toLower()) + ", " + literal(name) + ", " + literal(name) + ')';
    }
    return values;
}

void insertNames(PgDatabase& server, const QStringList& values) {
    if (!values.isEmpty())
        server.execute("INSERT INTO wms_names (tbl, name, written) VALUES " + values.join(", ") +
                       " ON CONFLICT (tbl, name) DO NOTHING");
}

// Copies one table's rows in chunks of the file's row order; a row inserted
// later without its integer key gets the next one, as on SQLite.
qint64 copyTable(Database& file, PgDatabase& server, const QString& table, qint64& nulled) {
    const RecordSet columns = file.query("PRAGMA main.table_info('" + table + "')");
    QStringList fileCols, serverCols, keys;
    std::vector<Kind> kinds;
    bool integerKey = false;
    for (int c = 0; c < columns.RecordCount(); ++c) {
        const QString name = columns.at(c, 1).toString();
        if (columns.at(c, 5).toInt() > 0) {
            keys << name;
            integerKey = kindOf(columns.at(c, 2).toString()) == Kind::Integer;
        }
        fileCols << '"' + name + '"';
        serverCols << nameOf(name);
        kinds.push_back(kindOf(columns.at(c, 2).toString()));
    }
    qint64 last = std::numeric_limits<qint64>::min(), copied = 0;
    bool done = false;
    server.copyIn(nameOf(table), serverCols, [&](QByteArray& chunk) {
        if (done) return false;
        const RecordSet rows = file.query(QStringLiteral("SELECT rowid, %1 FROM main.\"%2\" WHERE rowid > %3 "
                                                         "ORDER BY rowid LIMIT 20000")
                                              .arg(fileCols.join(", "), table)
                                              .arg(last));
        if (rows.RecordCount() == 0) return false;
        for (int r = 0; r < rows.RecordCount(); ++r) {
            for (int c = 0; c < static_cast<int>(kinds.size()); ++c) {
                if (c > 0) chunk += '\t';
                appendCopyValue(chunk, rows.at(r, c + 1), kinds[static_cast<std::size_t>(c)], nulled);
            }
            chunk += '\n';
        }
        last = rows.at(rows.RecordCount() - 1, 0).toLongLong();
        copied += rows.RecordCount();
        done = rows.RecordCount() < 20000;
        return true;
    });
    if (keys.size() == 1 && integerKey) nextIdTrigger(server, table, keys[0]);
    return copied;
}

// The names of every table's and view's columns as the schema writes them.
void writeNames(Database& file, PgDatabase& server) {
    server.execute(
        "CREATE TABLE wms_names (tbl citext NOT NULL, name citext NOT NULL, written text NOT NULL, "
        "PRIMARY KEY (tbl, name))");
    const RecordSet objects = file.query("SELECT name FROM main.sqlite_master WHERE type IN ('table', "
                                         "'view') AND name NOT LIKE 'sqlite%' ORDER BY name");
    QStringList values;
    for (int t = 0; t < objects.RecordCount(); ++t) {
        const QString table = objects.at(t, 0).toString();
        values << nameRows(table, file.query("PRAGMA main.table_info('" + table + "')"));
    }
    insertNames(server, values);
}

// The columns of a table made from its CREATE text alone, as PRAGMA
// table_info gives them: made in a scratch database of the file engine.
RecordSet columnsOfCreate(const QString& createSql, const QString& table) {
    sqlite3* scratch = nullptr;
    sqlite3_open(":memory:", &scratch);
    std::unique_ptr<sqlite3, int (*)(sqlite3*)> guard(scratch, sqlite3_close);
    if (sqlite3_exec(scratch, createSql.toUtf8().constData(), nullptr, nullptr, nullptr) != SQLITE_OK)
        throw DbError(QString::fromUtf8(sqlite3_errmsg(scratch)) + "\n" + createSql.left(200));
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(scratch, ("PRAGMA table_info('" + table + "')").toUtf8().constData(), -1, &st,
                       nullptr);
    std::vector<QVariant> cells;
    int rows = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        ++rows;
        for (int c = 0; c < 6; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_NULL)
                cells.emplace_back();
            else if (sqlite3_column_type(st, c) == SQLITE_INTEGER)
                cells.emplace_back(qlonglong(sqlite3_column_int64(st, c)));
            else
                cells.emplace_back(
                    QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c))));
        }
    }
    sqlite3_finalize(st);
    if (rows == 0) throw DbError(QStringLiteral("无法读出表 %1 的列").arg(table));
    return RecordSet({"cid", "name", "type", "notnull", "dflt_value", "pk"}, std::move(cells));
}

// A schema step on the server. With scriptsOnly it runs only the steps'
// scripts of trigger functions: what a copy of a file needs, whose tables,
// indexes and rows come from the file itself.
class ServerWriter final : public SchemaWriter {
public:
    ServerWriter(PgDatabase& db, bool scriptsOnly) : m_db(db), m_scriptsOnly(scriptsOnly) {}

    void objects(const QStringList& statements, const char* serverScript) override {
        static const QRegularExpression table(
            QStringLiteral("^\\s*CREATE\\s+TABLE\\s+(?:IF\\s+NOT\\s+EXISTS\\s+)?(?:main\\.)?(\\w+)"),
            QRegularExpression::CaseInsensitiveOption);
        static const QRegularExpression index(
            QStringLiteral(
                "^\\s*CREATE\\s+(UNIQUE\\s+)?INDEX\\s+(IF\\s+NOT\\s+EXISTS\\s+)?(\\w+)\\s+ON\\s+(\\w+)\\s*"
                "\\(([^)]*)\\)\\s*$"),
            QRegularExpression::CaseInsensitiveOption);
        for (const QString& statement : statements) {
            if (m_scriptsOnly) break;
            if (const QRegularExpressionMatch m = table.match(statement); m.hasMatch()) {
                createTable(m.captured(1), statement);
            } else if (const QRegularExpressionMatch i = index.match(statement); i.hasMatch()) {
                m_db.execute(serverIndex(i.captured(3), i.captured(4), !i.captured(1).isEmpty(),
                                         i.captured(5).split(','), !i.captured(2).isEmpty()));
            } else if (!statement.trimmed().startsWith(QLatin1String("CREATE TRIGGER"),
                                                       Qt::CaseInsensitive)) {
                throw DbError(QStringLiteral("服务器不认识的结构语句: %1").arg(statement.left(200)));
            }
        }
        // the file's triggers are the server's functions
        if (serverScript) m_db.runScript(resourceText(QString::fromLatin1(serverScript)));
    }
    void replaceTriggers(const QStringList&, const char* serverScript) override {
        m_db.runScript(resourceText(QString::fromLatin1(serverScript)));
    }
    void dropTable(const QString& name) override {
        if (m_scriptsOnly) return;
        m_db.execute("DROP TABLE IF EXISTS pg_temp." + nameOf(name)); // this session's shadow
        m_db.execute("DROP TABLE IF EXISTS " + nameOf(name));
        m_db.execute("DELETE FROM wms_names WHERE tbl = '" + name.toLower() + "'");
    }
    void run(const QString& sql) override {
        if (!m_scriptsOnly) m_db.execute(sql);
    }
    RecordSet query(const QString& sql) override { return m_db.query(sql); }
    void addColumn(const QString& table, const QString& definition) override {
        if (m_scriptsOnly) return;
        // the column as the file declares it, read back from a scratch table
        const QString scratch = "CREATE TABLE " + table + " (" + definition + ")";
        const RecordSet columns = columnsOfCreate(scratch, table);
        // a report table's shadow of this session is made again with the column
        const bool shadowed = table.startsWith(QLatin1String("temp_"));
        if (shadowed) m_db.execute("DROP TABLE IF EXISTS pg_temp." + nameOf(table));
        m_db.execute("ALTER TABLE " + nameOf(table) + " ADD COLUMN " + serverColumn(scratch, columns, 0));
        insertNames(m_db, nameRows(table, columns));
        if (shadowed) m_db.createTempShadows();
    }
    void view(const QString& name, const QString& accessSelect) override {
        // a copy makes the views too (the file's rows hold none); their names come with the file's
        m_db.execute(AccessSql::translateUncached("CREATE VIEW " + name + " AS " + accessSelect,
                                                  AccessSql::Dialect::Postgres));
        if (m_scriptsOnly) return;
        // the server folds the columns' names: each comes back as the select list or its table writes it
        QHash<QString, QString> written;
        static const QRegularExpression word(QStringLiteral("[A-Za-z_]\\w*"));
        for (auto it = word.globalMatch(accessSelect); it.hasNext();) {
            const QString w = it.next().captured();
            if (!written.contains(w.toLower())) written.insert(w.toLower(), w);
        }
        const RecordSet columns = m_db.query(
            "SELECT column_name FROM information_schema.columns WHERE table_schema = current_schema() AND "
            "table_name = '" +
            name.toLower() + "' ORDER BY ordinal_position");
        QStringList values;
        for (int c = 0; c < columns.RecordCount(); ++c) {
            const QString folded = columns.at(c, 0).toString();
            QString as = written.value(folded);
            if (as.isEmpty()) {
                const RecordSet known =
                    m_db.query("SELECT min(written) FROM wms_names WHERE name = '" + folded + "'");
                as = known.RecordCount() > 0 && !known.at(0, 0).isNull() ? known.at(0, 0).toString() : folded;
            }
            values << QStringLiteral("('%1', '%2', '%2')").arg(name.toLower(), as);
        }
        insertNames(m_db, values);
    }
    void rebuildBalances(bool perLocation) override {
        if (m_scriptsOnly) return;
        if (perLocation)
            RebuildStockLocation(m_db);
        else
            RebuildStockBalance(m_db);
    }
    void rebuildLots() override {
        if (!m_scriptsOnly) RebuildStockLot(m_db);
    }

private:
    void createTable(const QString& table, const QString& createSql) {
        const RecordSet columns = columnsOfCreate(createSql, table);
        m_db.execute(serverTable(table, createSql, columns));
        insertNames(m_db, nameRows(table, columns));
        QStringList keys;
        bool integerKey = false;
        for (int c = 0; c < columns.RecordCount(); ++c)
            if (columns.at(c, 5).toInt() > 0) {
                keys << columns.at(c, 1).toString();
                integerKey = kindOf(columns.at(c, 2).toString()) == Kind::Integer;
            }
        if (keys.size() == 1 && integerKey) nextIdTrigger(m_db, table, keys[0]);
    }

    PgDatabase& m_db;
    bool m_scriptsOnly;
};

} // namespace

ServerCopy CopyToServer(Database& file, PgDatabase& server,
                        const std::function<void(const QString&)>& progress) {
    auto say = [&](const QString& what) {
        if (progress) progress(what);
    };
    const qint64 version = file.query("PRAGMA user_version").at(0, 0).toLongLong();
    CheckSchemaVersion(version); // a file of another program is not copied
    const qint64 existing =
        server
            .query("SELECT count(*) FROM pg_class c JOIN pg_namespace n ON n.oid = c.relnamespace WHERE "
                   "n.nspname = current_schema() AND c.relkind IN ('r', 'v', 'm', 'S', 'p')")
            .at(0, 0)
            .toLongLong();
    if (existing > 0)
        throw DbError(
            QStringLiteral("服务器上的数据库不是空的 (已有 %1 个表或视图), 没有复制任何内容").arg(existing));
    ServerCopy result;
    server.beginWrite();
    try {
        say(QStringLiteral("函数"));
        server.runScript(ServerFunctionsScript());
        for (const QString& statement : ServerTablesFrom(file))
            server.execute(statement);
        const RecordSet tables = file.query(
            "SELECT name FROM main.sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite\\_%' "
            "ESCAPE '\\' ORDER BY name");
        QHash<QString, qint64> counts;
        for (int t = 0; t < tables.RecordCount(); ++t) {
            const QString table = tables.at(t, 0).toString();
            if (table.startsWith(QLatin1String("temp_"), Qt::CaseInsensitive))
                continue; // each program's own rows
            say(table);
            counts[table] = copyTable(file, server, table, result.nulled);
            result.rows += counts[table];
        }
        say(QStringLiteral("视图和触发器"));
        ServerWriter scripts(server, true); // the file's triggers, as its version has them
        for (const SchemaStep& step : SchemaStepsBetween(1, static_cast<int>(version)))
            step.run(scripts);
        for (const QString& view : AccessSql::splitScript(resourceText("views.sql")))
            server.execute(AccessSql::translateUncached(view, AccessSql::Dialect::Postgres));
        writeNames(file, server);
        server.execute(QStringLiteral("CREATE TABLE wms_version (version bigint NOT NULL)"));
        server.execute(QStringLiteral("INSERT INTO wms_version (version) VALUES (%1)").arg(version));
        say(QStringLiteral("核对"));
        for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
            const qint64 there =
                server.query("SELECT count(*) FROM " + nameOf(it.key())).at(0, 0).toLongLong();
            if (there != it.value())
                throw DbError(QStringLiteral("复制后 %1 的行数不符: 文件 %2 行, 服务器 %3 行")
                                  .arg(it.key())
                                  .arg(it.value())
                                  .arg(there));
        }
        // the balances a file of its version has: per goods from 2, per location from 3
        const auto balance = version >= 2 ? CheckStockBalance(server) : std::vector<BalanceDifference>();
        const auto places = version >= 3 ? CheckStockLocation(server) : std::vector<BalanceDifference>();
        const auto lots = version >= 8 ? CheckStockLot(server) : std::vector<BalanceDifference>();
        if (!balance.empty() || !places.empty() || !lots.empty())
            throw DbError(QStringLiteral("复制后服务器上的库存余额与单据明细不符 (%1 处差异)")
                              .arg(balance.size() + places.size() + lots.size()));
        server.execute("COMMIT");
    } catch (...) {
        if (server.inTransaction()) {
            try {
                server.execute("ROLLBACK");
            } catch (const DbError&) {
            }
        }
        throw;
    }
    say(QStringLiteral("整理"));
    server.runScript("VACUUM ANALYZE");
    server.loadWrittenNames();
    server.createTempShadows();
    return result;
}

int ServerSchemaVersion(PgDatabase& server) {
    if (server.query("SELECT to_regclass('wms_version') IS NOT NULL").at(0, 0).toInt() == 0) return 0;
    const RecordSet rs = server.query("SELECT max(version) FROM wms_version");
    return rs.RecordCount() > 0 ? rs.at(0, 0).toInt() : 0;
}

void CheckServerVersion(PgDatabase& server) {
    if (server.query("SELECT to_regclass('wms_version') IS NOT NULL").at(0, 0).toInt() == 0)
        return; // a database being made
    const qint64 version = server.query("SELECT max(version) FROM wms_version").at(0, 0).toLongLong();
    CheckSchemaVersion(version);
    if (version > kSchemaVersion) throw DbError(NewerSchemaMessage(version));
    if (version < kSchemaVersion) throw DbError(QStringLiteral("数据库版本较旧,请先运行 wms-admin upgrade"));
}

void RunServerStep(PgDatabase& server, void (*step)(SchemaWriter&)) {
    ServerWriter writer(server, false);
    server.beginWrite();
    try {
        step(writer);
        server.execute("COMMIT");
    } catch (...) {
        if (server.inTransaction()) server.execute("ROLLBACK");
        throw;
    }
    server.loadWrittenNames();
    server.createTempShadows();
}

QStringList UpgradeServer(PgDatabase& server) {
    QStringList done;
    server.beginWrite();
    try {
        if (server.query("SELECT to_regclass('wms_version') IS NOT NULL").at(0, 0).toInt() == 0)
            throw DbError(QStringLiteral("服务器上的数据库没有版本记录 (wms_version), 不是本程序的数据库"));
        // one upgrade at a time: a second waits here and then finds nothing to do
        server.execute("LOCK TABLE wms_version IN EXCLUSIVE MODE");
        const qint64 now = server.query("SELECT max(version) FROM wms_version").at(0, 0).toLongLong();
        CheckSchemaVersion(now);
        if (now > kSchemaVersion) throw DbError(NewerSchemaMessage(now));
        ServerWriter writer(server, false);
        for (const SchemaStep& step : SchemaStepsBetween(static_cast<int>(now), kSchemaVersion)) {
            step.run(writer);
            done << QStringLiteral("%1: %2").arg(step.version).arg(QString::fromUtf8(step.summary));
        }
        if (!done.isEmpty())
            server.execute(QStringLiteral("UPDATE wms_version SET version = %1").arg(kSchemaVersion));
        server.execute("COMMIT");
        if (!done.isEmpty())
            qCInfo(lcSchema).noquote()
                << "server database upgraded to version" << kSchemaVersion << ":" << done.join("; ");
    } catch (const DbError& e) {
        qCWarning(lcSchema).noquote() << "server upgrade failed:" << e.message();
        if (server.inTransaction()) {
            try {
                server.execute("ROLLBACK");
            } catch (const DbError&) {
            }
        }
        throw DbError(QStringLiteral("数据库升级失败: %1").arg(e.message()));
    }
    server.loadWrittenNames();
    server.createTempShadows();
    return done;
}
