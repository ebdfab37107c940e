#include "serverschema.h"
#include "dbsetup.h"
#include "stockbalance.h"

#include "data/accesstext.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/pgdatabase.h"
#include "data/translator.h"

#include <QFile>
#include <QRegularExpression>
#include <cmath>
#include <limits>
#include <optional>

// Resources of a static library must be registered by hand.
static void initServerResources() {
    Q_INIT_RESOURCE(resources);
}

namespace {

QString resourceText(const QString& name) {
    initServerResources();
    QFile f(":/sql/" + name);
    if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("缺少资源文件 %1").arg(name));
    return QString::fromUtf8(f.readAll());
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

QStringList ServerTablesFrom(Database& source) {
    QStringList out{"CREATE EXTENSION IF NOT EXISTS citext"};
    const RecordSet tables = source.query("SELECT name, sql FROM main.sqlite_master WHERE type = 'table' AND "
                                          "name NOT LIKE 'sqlite\\_%' ESCAPE '\\' ORDER BY name");
    for (int t = 0; t < tables.RecordCount(); ++t) {
        const QString table = tables.at(t, 0).toString(), createSql = tables.at(t, 1).toString();
        const RecordSet columns = source.query("PRAGMA main.table_info('" + table + "')");
        QStringList defs, keys;
        for (int c = 0; c < columns.RecordCount(); ++c) {
            const QString column = columns.at(c, 1).toString();
            QString def =
                nameOf(column) + ' ' + typeOf(columns.at(c, 2).toString(), noCase(createSql, column));
            if (columns.at(c, 3).toInt() != 0) def += " NOT NULL";
            if (!columns.at(c, 4).isNull()) def += " DEFAULT " + columns.at(c, 4).toString();
            if (columns.at(c, 5).toInt() > 0) keys << nameOf(column);
            defs << def;
        }
        if (!keys.isEmpty()) defs << "PRIMARY KEY (" + keys.join(", ") + ")";
        out << "CREATE TABLE " + nameOf(table) + " (" + defs.join(", ") + ")";
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
            columns << nameOf(parts.at(k, "name").toString());
        // the balances keep one row per key, a Null key included (their triggers upsert)
        const bool oneNull = unique && table.startsWith(QLatin1String("tb_stock_"), Qt::CaseInsensitive);
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)%5")
                   .arg(unique ? "UNIQUE " : "", nameOf(index), nameOf(table), columns.join(", "),
                        oneNull ? " NULLS NOT DISTINCT" : "");
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
    if (keys.size() == 1 && integerKey)
        server.execute(QStringLiteral("CREATE TRIGGER tr_next_id BEFORE INSERT ON %1 FOR EACH ROW EXECUTE "
                                      "FUNCTION acc_tr_next_id('%2')")
                           .arg(nameOf(table), keys[0].toLower()));
    return copied;
}

// The names of every table's and view's columns as the schema writes them.
void writeNames(Database& file, PgDatabase& server) {
    server.execute(
        "CREATE TABLE wms_names (tbl citext NOT NULL, name citext NOT NULL, written text NOT NULL, "
        "PRIMARY KEY (tbl, name))");
    const RecordSet objects = file.query("SELECT name FROM main.sqlite_master WHERE type IN ('table', "
                                         "'view') AND name NOT LIKE 'sqlite%' ORDER BY name");
    auto literal = [](QString s) { return '\'' + s.replace('\'', "''") + '\''; };
    QStringList values;
    for (int t = 0; t < objects.RecordCount(); ++t) {
        const QString table = objects.at(t, 0).toString();
        const RecordSet columns = file.query("PRAGMA main.table_info('" + table + "')");
        for (int c = 0; c < columns.RecordCount(); ++c) {
            const QString name = columns.at(c, 1).toString();
            values << '(' + literal(table.toLower()) + ", " + literal(name) + ", " + literal(name) + ')';
        }
    }
    if (!values.isEmpty())
        server.execute("INSERT INTO wms_names (tbl, name, written) VALUES " + values.join(", ") +
                       " ON CONFLICT (tbl, name) DO NOTHING");
}

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
        server.runScript(resourceText("pg_balance.sql"));
        for (const QString& view : AccessSql::splitScript(resourceText("views.sql")))
            server.execute(AccessSql::translateUncached(view, AccessSql::Dialect::Postgres));
        // the lists choose a month's bills by their day as text: the server finds them by it
        for (const char* head : {"tb_rk_head", "tb_ck_head"})
            server.execute(
                QStringLiteral("CREATE INDEX ix_%1_day ON %1 ((CAST(acc_format(createTime, 'yyyy-MM-dd') "
                               "AS citext)))")
                    .arg(QLatin1String(head)));
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
        const auto balance = CheckStockBalance(server), places = CheckStockLocation(server);
        if (!balance.empty() || !places.empty())
            throw DbError(QStringLiteral("复制后服务器上的库存余额与单据明细不符 (%1 处差异)")
                              .arg(balance.size() + places.size()));
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
