#include "dbsetup.h"
#include "stockbalance.h"

#include "data/applog.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/translator.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>

// Resources of a static library must be registered by hand.
static void initSqlResources() {
    Q_INIT_RESOURCE(resources);
}

QString SqlResourceText(const QString& name) {
    initSqlResources();
    QFile f(":/sql/" + name);
    if (!f.open(QIODevice::ReadOnly)) throw DbError(QStringLiteral("缺少资源文件 %1").arg(name));
    return QString::fromUtf8(f.readAll());
}

void RunScript(const QString& script) {
    Database& db = Database::instance();
    for (const QString& statement : AccessSql::splitScript(script)) {
        try {
            db.execute(AccessSql::translateUncached(statement));
        } catch (const DbError& e) {
            throw DbError(e.message() + "\n" + statement.left(200));
        }
    }
}

namespace {

int userVersion(Database& db) {
    return db.query("PRAGMA user_version").at(0, 0).toInt();
}

// A step as a file takes it: the statements as they stand.
class FileWriter final : public SchemaWriter {
public:
    explicit FileWriter(Database& db) : m_db(db) {}
    void objects(const QStringList& statements, const char*) override {
        for (const QString& statement : statements)
            m_db.execute(statement);
    }
    void replaceTriggers(const QStringList& statements, const char*) override {
        static const QRegularExpression trigger(QStringLiteral("^\\s*CREATE\\s+TRIGGER\\s+(\\w+)"),
                                                QRegularExpression::CaseInsensitiveOption);
        for (const QString& statement : statements)
            if (const QRegularExpressionMatch m = trigger.match(statement); m.hasMatch()) {
                m_db.execute("DROP TRIGGER IF EXISTS " + m.captured(1));
                m_db.execute(statement);
            }
    }
    void dropTable(const QString& name) override {
        // a report table's shadow of this connection goes with it
        m_db.execute("DROP TABLE IF EXISTS temp." + name);
        m_db.execute("DROP TABLE IF EXISTS main." + name);
    }
    void run(const QString& sql) override { m_db.execute(sql); }
    RecordSet query(const QString& sql) override { return m_db.query(sql); }
    void addColumn(const QString& table, const QString& definition) override {
        // a report table's shadow of this connection is made again with the column
        const bool shadowed = table.startsWith(QLatin1String("temp_"));
        if (shadowed) m_db.execute("DROP TABLE IF EXISTS temp." + table);
        m_db.execute("ALTER TABLE main." + table + " ADD COLUMN " + definition);
        if (shadowed) m_db.createTempShadows();
    }
    void view(const QString& name, const QString& accessSelect) override {
        m_db.execute(AccessSql::translateUncached("CREATE VIEW " + name + " AS " + accessSelect));
    }
    void rebuildBalances(bool perLocation) override {
        if (perLocation)
            RebuildStockLocation(m_db);
        else
            RebuildStockBalance(m_db);
    }
    void rebuildLots() override { RebuildStockLot(m_db); }

private:
    Database& m_db;
};

// Runs the steps after `from` up to `to` inside the caller's transaction.
QStringList runMigrations(Database& db, int from, int to = kSchemaVersion) {
    FileWriter writer(db);
    QStringList done;
    for (const SchemaStep& step : SchemaStepsBetween(from, to)) {
        step.run(writer);
        done << QStringLiteral("%1: %2").arg(step.version).arg(QString::fromUtf8(step.summary));
    }
    db.execute(QStringLiteral("PRAGMA user_version = %1").arg(std::max(from, to)));
    return done;
}

} // namespace

void RunFileStep(Database& db, void (*step)(SchemaWriter&)) {
    FileWriter writer(db);
    db.beginWrite();
    try {
        step(writer);
        db.execute("COMMIT");
    } catch (...) {
        if (db.inTransaction()) db.execute("ROLLBACK");
        throw;
    }
}

QString NewerSchemaMessage(qint64 version) {
    return QStringLiteral("数据库文件的版本 (%1) 比本程序能识别的版本 (%2) 新, 请使用新版的程序打开!")
        .arg(version)
        .arg(kSchemaVersion);
}

void CheckSchemaVersion(qint64 version) {
    if (version < 0)
        throw DbError(QStringLiteral("数据库文件的版本 (%1) 无法识别, 不是本程序的数据库!").arg(version));
}

QStringList MigrateDatabase(Database& db) {
    int version = userVersion(db);
    CheckSchemaVersion(version);
    if (version == 0) return {}; // a file being created
    if (version > kSchemaVersion) throw DbError(NewerSchemaMessage(version));
    if (version == kSchemaVersion) return {};
    db.execute("BEGIN IMMEDIATE");
    try {
        QStringList done;
        version = userVersion(db); // another program may have migrated it meanwhile
        if (version >= 1 && version < kSchemaVersion) done = runMigrations(db, version);
        db.execute("COMMIT");
        qCInfo(lcSchema).noquote() << "database" << db.path() << "upgraded from version" << version << "to"
                                   << kSchemaVersion << ":" << done.join("; ");
        return done;
    } catch (const DbError& e) {
        qCWarning(lcSchema).noquote() << "upgrade of" << db.path() << "failed:" << e.message();
        if (db.inTransaction()) db.execute("ROLLBACK");
        throw DbError(QStringLiteral("数据库升级失败: %1").arg(e.message()));
    }
}

void CreateDatabase(const QString& file, bool demo, bool force, int version) {
    const QString path = QFileInfo(file).absoluteFilePath();
    Database& db = Database::choose(AccessSql::Dialect::Sqlite); // a file, whatever was open before
    if (QFileInfo::exists(path)) {
        if (!force) throw DbError(QStringLiteral("数据库文件已经存在: %1 (用 --force 覆盖)").arg(path));
        if (db.path() == path) db.close();
        if (!QFile::remove(path)) throw DbError(QStringLiteral("不能删除原有的数据库文件: %1").arg(path));
        QFile::remove(path + "-journal");
    }
    sqlHelper::CloseRs();
    sqlHelper::CloseConn();
    db.open(path, true);
    try {
        db.execute("BEGIN");
        RunScript(SqlResourceText("schema.sql"));
        RunScript(SqlResourceText("temp_tables.sql"));
        RunScript(SqlResourceText("views.sql"));
        RunScript(SqlResourceText("seed.sql"));
        if (demo) RunScript(SqlResourceText("demo.sql"));
        runMigrations(db, 1, version);
        if (demo && version >= 7)
            RunScript(SqlResourceText("demo_transfer.sql")); // its tables came with the steps
        if (demo && version >= 8) {                          // its dates count from today
            QString lots = SqlResourceText("demo_lots.sql");
            static const QRegularExpression day(QStringLiteral("\\{d([+-]\\d+)\\}"));
            for (QRegularExpressionMatch m = day.match(lots); m.hasMatch(); m = day.match(lots))
                lots.replace(m.capturedStart(), m.capturedLength(),
                             QDate::currentDate().addDays(m.captured(1).toInt()).toString("yyyy-MM-dd"));
            RunScript(lots);
        }
        db.execute("COMMIT");
        db.createTempShadows();
        qCInfo(lcSchema).noquote() << "database created:" << path
                                   << (demo ? "with demonstration data" : "empty") << "at version" << version;
    } catch (...) {
        db.close();
        QFile::remove(path);
        throw;
    }
}
