#include "serverschema.h"

#include "data/database.h"
#include "data/translator.h"

#include <QFile>
#include <QRegularExpression>

namespace {

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
        out << QStringLiteral("CREATE %1INDEX %2 ON %3 (%4)")
                   .arg(unique ? "UNIQUE " : "", nameOf(index), nameOf(table), columns.join(", "));
    }
    return out;
}

QString ServerFunctionsScript() {
    QFile f(QStringLiteral(":/sql/pg_functions.sql"));
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll());
}
