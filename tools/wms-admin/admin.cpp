#include "admin.h"

#include "access/dbsetup.h"
#include "data/accesstext.h"
#include "data/appenv.h"
#include "data/backup.h"
#include "data/dberror.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "data/translator.h"
#include "master/pinyinrefresh.h"
#include "bills/stockbalance.h"
#include "data/database.h"

namespace {

const char* const kUsage =
    "用法: wms-admin [--db 文件] 命令\n"
    "  init [--demo] [--force]   在程序目录建立数据库 (--demo 带演示数据, --force 覆盖已有文件)\n"
    "  sql 语句                  执行一条 Access 语法的语句, 查询结果以制表符分隔输出\n"
    "  translate 语句            输出语句翻译成的 SQLite 语句\n"
    "  backup                    在程序目录写一个压缩备份\n"
    "  compact                   压缩数据库文件\n"
    "  pinyin --refresh          重新计算所有货品和客户/供应商名称的拼音首字母\n"
    "  check [--repair]          用单据明细核对库存余额表, 有差异时退出码为 1 (--repair 重建该表)\n";

QString cellText(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("\\N");
    QString s = acc::valueText(v);
    s.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
    return s;
}

int runSql(const QString& statement, QTextStream& out) {
    if (!sqlHelper::IsQueryText(statement)) {
        out << sqlHelper::ExecuteNonQuery(statement) << '\n';
        return 0;
    }
    const RecordSet rs = sqlHelper::ExecuteSql(statement);
    QStringList header;
    for (int c = 0; c < rs.fieldCount(); ++c)
        header << rs.fieldName(c);
    out << header.join('\t') << '\n';
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < rs.fieldCount(); ++c)
            cells << cellText(rs.at(r, c));
        out << cells.join('\t') << '\n';
    }
    return 0;
}

QString keyText(const QVariant& v) {
    return v.isNull() ? QStringLiteral("(空)") : v.toString();
}

int runCheck(QStringList args, QTextStream& out, QTextStream& err) {
    const bool repair = args.removeAll("--repair") > 0;
    if (!args.isEmpty()) {
        err << "check 不认识的参数: " << args.join(' ') << '\n';
        return 2;
    }
    sqlHelper::OpenConn();
    Database& db = Database::instance();
    if (repair) {
        db.execute("BEGIN IMMEDIATE");
        try {
            RebuildStockBalance();
            db.execute("COMMIT");
        } catch (...) {
            if (db.inTransaction()) db.execute("ROLLBACK");
            throw;
        }
        out << "库存余额表已按单据明细重建, 共 "
            << db.query("SELECT count(*) FROM tb_stock_balance").at(0, 0).toInt() << " 行\n";
        return 0;
    }
    const std::vector<BalanceDifference> diffs = CheckStockBalance();
    for (const BalanceDifference& d : diffs)
        out << "货品 " << keyText(d.goodsId) << " 账目 " << keyText(d.accountId) << ' ' << d.column << ": 记录为 "
            << acc::numberQText(d.stored) << ", 按明细应为 " << acc::numberQText(d.expected) << '\n';
    if (diffs.empty()) {
        out << "库存余额与单据明细一致\n";
        return 0;
    }
    out << "共 " << diffs.size() << " 处差异 (用 check --repair 重建)\n";
    return 1;
}

} // namespace

int RunAdmin(const QStringList& argsIn, QTextStream& out, QTextStream& err) {
    QStringList args = argsIn;
    QString dbFile;
    const int dbAt = args.indexOf("--db");
    if (dbAt >= 0) {
        if (dbAt + 1 >= args.size()) {
            err << "--db 后面应为数据库文件\n" << kUsage;
            return 2;
        }
        dbFile = args[dbAt + 1];
        args.remove(dbAt, 2);
    }
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
        (args.isEmpty() ? err : out) << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    InstallMigrations();
    try {
        if (command == "init") {
            const bool demo = args.removeAll("--demo") > 0;
            const bool force = args.removeAll("--force") > 0;
            if (!args.isEmpty()) {
                err << "init 不认识的参数: " << args.join(' ') << '\n';
                return 2;
            }
            const QString file = dbFile.isEmpty() ? AppPath() + SysVar().Sys_dbName : dbFile;
            CreateDatabase(file, demo, force);
            out << "已建立数据库 " << file << (demo ? " (含演示数据)" : "") << '\n';
            return 0;
        }
        sqlHelper::SetDatabaseFile(dbFile);
        if (command == "sql" || command == "translate") {
            if (args.size() != 1) {
                err << command << " 需要一条语句 (用引号括起来)\n";
                return 2;
            }
            if (command == "translate") {
                out << AccessSql::translateUncached(args[0]) << '\n';
                return 0;
            }
            return runSql(args[0], out);
        }
        if (command == "backup") return BackUpDB(true).isResult ? 0 : 1;
        if (command == "compact") return CompactDB().isResult ? 0 : 1;
        if (command == "check") return runCheck(args, out, err);
        if (command == "pinyin") {
            if (args != QStringList{"--refresh"}) {
                err << "pinyin 需要参数 --refresh\n";
                return 2;
            }
            out << "已更新 " << RefreshStoredPinyin() << " 条记录的拼音首字母\n";
            return 0;
        }
        err << "未知的命令: " << command << '\n' << kUsage;
        return 2;
    } catch (const DbError& e) {
        err << "错误: " << e.message() << '\n';
        return 1;
    }
}
