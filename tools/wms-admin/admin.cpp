#include "admin.h"

#include "bills/countimport.h"
#include "bills/openingimport.h"
#include "data/accesstext.h"
#include "data/appenv.h"
#include "data/applog.h"
#include "data/backup.h"
#include "data/database.h"
#include "data/dberror.h"
#include "data/msgbox.h"
#include "data/pgdatabase.h"
#include "data/sqlhelper.h"
#include "data/sysvar.h"
#include "data/translator.h"
#include "master/goodsimport.h"
#include "master/location.h"
#include "master/partnerimport.h"
#include "master/pinyinrefresh.h"
#include "output/xlsxexport.h"
#include "reports/rpt_expiry.h"
#include "reports/rpt_filters.h"
#include "reports/rpt_locstock.h"
#include "reports/rpt_stock.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"
#include "schema/serverschema.h"
#include "schema/stockbalance.h"
#include "sheets/sheetfile.h"

#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

namespace {

const char* const kCommands =
    "  init [--demo] [--force]   在程序目录建立数据库 (--demo 带演示数据, --force 覆盖已有文件);\n"
    "                            带 --server 时在服务器上的空数据库里建立\n"
    "  copy --to 连接串          把数据库文件复制到服务器上的空数据库, 复制后核对行数和库存余额\n"
    "  sql 语句                  执行一条 Access 语法的语句, 查询结果以制表符分隔输出\n"
    "  translate 语句            输出语句翻译成的 SQLite 语句\n"
    "  backup                    在程序目录写一个压缩备份\n"
    "  compact                   压缩数据库文件\n"
    "  pinyin --refresh          重新计算所有货品和客户/供应商名称的拼音首字母\n"
    "  report KIND [选项]        输出报表, 以制表符分隔, 首行为导出标题\n"
    "      KIND: rkHead ckHead (单据)  rkDetail ckDetail (明细)  stock (库存)  rkSum ckSum (汇总)  locStock "
    "(库位库存)\n"
    "            dbHead dbDetail (调拨单据, 调拨明细: --from-location/--to-location 库位编号, 含下级)\n"
    "            expiry (效期预警: --days N 预警天数, 默认为设置中的天数; --location 库位编号, 含下级)\n"
    "      --accounts ID,ID  --keyword 文本                            (所有种类)\n"
    "      --from/--to YYYY-MM-DD  --type 类别  --partner 名称         (单据, 明细, 汇总)\n"
    "      --goods-type 类别 (明细, 库存, 汇总)  --goods-code 文本 (明细)  --location 库位编号 (库位库存, "
    "含下级)\n"
    "      --approved --unapproved (单据, 明细, 调拨)  --no-zero (库存, 汇总)\n"
    "      --xlsx 文件  写成与窗口导出相同的工作簿, 不输出文本\n"
    "  check [--repair]          用单据明细核对库存余额表, 有差异时退出码为 1 (--repair 重建该表)\n"
    "  upgrade                   先备份, 再把数据库 (文件或 --server 服务器) 升级到本程序的版本\n"
    "  user enable 用户名        重新启用一个已停用的用户 (例如唯一的管理员被停用时)\n"
    "  import KIND 文件 [选项]   从 .xlsx 或 .csv 文件导入; 有任何一行错误时不导入任何数据, 退出码为 1\n"
    "      KIND: goods (货品)  partners (往来单位)  opening (期初库存: --account 账目名称 [--date "
    "YYYY-MM-DD],\n"
    "            成为一张已审核的期初入库单; 该账目已有期初入库单时须加 --update)\n"
    "            count (盘点数量: --count 盘点单号, 同一货品和库位的各行相加后设为盘点数量)\n"
    "      --update  已有的编码更新 (默认只新增)   --dry-run  只检查, 不写入\n"
    "      --errors 文件  把有问题的行连同原因写成工作簿   --sheet 名称  读工作簿中该名称的工作表 "
    "(默认第一个)\n"
    "  template KIND 文件        写出导入模板 (.xlsx)\n";

const QString kUsage =
    QStringLiteral("用法: wms-admin [--db 文件 | --server 连接串] 命令\n") + QString::fromUtf8(kCommands);

QString cellText(const QVariant& v) {
    if (!v.isValid() || v.isNull()) return QStringLiteral("\\N");
    QString s = acc::valueText(v);
    for (const QChar c : s)
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r') {
            s.replace('\\', "\\\\").replace('\t', "\\t").replace('\n', "\\n").replace('\r', "\\r");
            break;
        }
    return s;
}

// Opens the database for a read that passes over the rows once (report,
// check): on a file, SQLite's own small page cache of 2 MB, since pages are
// not read twice and memory should not grow with the file. Sorts are held in
// memory up to the cache's size; a larger one made sorts and groupings slower
// (0.38 s against 0.53 s with 8 MB for a summary over a million lines).
void streamingCache() {
    sqlHelper::OpenConn();
    Database& db = Database::instance();
    if (db.dialect() == AccessSql::Dialect::Sqlite) db.execute(QStringLiteral("PRAGMA cache_size = -2048"));
}

// The same for text already in UTF-8 (a null array is Null).
void appendCell(QByteArray& line, const QByteArray& text) {
    if (text.isNull()) {
        line += "\\N";
        return;
    }
    // most cells hold nothing to escape: copied in one piece
    const auto special = std::find_if(
        text.begin(), text.end(), [](char c) { return c == '\\' || c == '\t' || c == '\n' || c == '\r'; });
    line.append(text.constData(), special - text.begin());
    for (const char c : QByteArrayView(special, text.end())) {
        switch (c) {
        case '\\':
            line += "\\\\";
            break;
        case '\t':
            line += "\\t";
            break;
        case '\n':
            line += "\\n";
            break;
        case '\r':
            line += "\\r";
            break;
        default:
            line += c;
        }
    }
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

// report KIND [options]: the same refill and list query as the report window,
// in its first sort, printed with the export columns and captions.
int runReport(QStringList args, QTextStream& out, QTextStream& err) {
    enum class Family { Bills, Lines, Stock, Sums, Places, Transfers, Expiry };
    const QHash<QString, Family> kinds = {
        {"rkHead", Family::Bills},       {"ckHead", Family::Bills},    {"rkDetail", Family::Lines},
        {"ckDetail", Family::Lines},     {"stock", Family::Stock},     {"rkSum", Family::Sums},
        {"ckSum", Family::Sums},         {"locStock", Family::Places}, {"dbHead", Family::Transfers},
        {"dbDetail", Family::Transfers}, {"expiry", Family::Expiry}};
    const char* const kindList =
        "rkHead ckHead stock rkDetail ckDetail rkSum ckSum locStock dbHead dbDetail expiry";
    if (args.isEmpty()) {
        err << "report 需要报表种类: " << kindList << '\n';
        return 2;
    }
    const QString kind = args.takeFirst();
    if (!kinds.contains(kind)) {
        err << "未知的报表种类: " << kind << " (可用: " << kindList << ")\n";
        return 2;
    }
    const Family family = kinds[kind];
    const bool stockOut = kind.startsWith("ck");
    // the options of the kind's filters
    QStringList valued{"--accounts", "--keyword", "--xlsx"}, flagged;
    const bool dated = family != Family::Stock && family != Family::Places && family != Family::Expiry;
    if (family == Family::Places || family == Family::Expiry) valued << "--location";
    if (family == Family::Expiry) valued << "--days";
    if (family == Family::Transfers)
        valued << "--from-location"
               << "--to-location";
    if (dated)
        valued << "--from"
               << "--to";
    if (dated && family != Family::Transfers)
        valued << "--type"
               << "--partner";
    if (family != Family::Bills && family != Family::Transfers && family != Family::Expiry)
        valued << "--goods-type";
    if (family == Family::Lines) valued << "--goods-code";
    if (family == Family::Bills || family == Family::Lines || family == Family::Transfers)
        flagged << "--approved"
                << "--unapproved";
    if (family == Family::Stock || family == Family::Sums) flagged << "--no-zero";
    QHash<QString, QString> values;
    QSet<QString> flags;
    for (int i = 0; i < args.size(); ++i) {
        if (valued.contains(args[i]) && i + 1 < args.size()) {
            values[args[i]] = args[i + 1];
            ++i;
        } else if (flagged.contains(args[i])) {
            flags << args[i];
        } else {
            err << "报表 " << kind << " 不认识的参数: " << args[i] << '\n';
            return 2;
        }
    }
    auto date = [&](const char* option, QDate fallback, QDate& into) {
        if (!values.contains(option)) {
            into = fallback;
            return true;
        }
        into = QDate::fromString(values[option], "yyyy-MM-dd");
        if (into.isValid()) return true;
        err << option << " 应为日期 YYYY-MM-DD: " << values[option] << '\n';
        return false;
    };
    QDate from, to;
    if (dated && (!date("--from", FirstDayOfMonth(QDate::currentDate()), from) ||
                  !date("--to", QDate::currentDate(), to)))
        return 2;
    if (dated && from > to) {
        err << "--from " << from.toString("yyyy-MM-dd") << " 晚于 --to " << to.toString("yyyy-MM-dd")
            << ", 日期范围为空\n";
        return 2;
    }
    streamingCache();
    QString accounts;
    if (values.contains("--accounts")) {
        for (const QString& id : values["--accounts"].split(',', Qt::SkipEmptyParts)) {
            bool ok = false;
            id.trimmed().toInt(&ok);
            if (!ok) {
                err << "--accounts 应为以逗号分隔的编号: " << values["--accounts"] << '\n';
                return 2;
            }
            accounts += id.trimmed() + ",";
        }
    } else { // every enabled account mark
        const RecordSet rs = sqlHelper::ExecuteSql(
            "select id from tb_dictionary where utype='accountType' and isstart=1 order by id");
        for (int r = 0; r < rs.RecordCount(); ++r)
            accounts += rs.at(r, 0).toString() + ",";
    }
    // a location's code as the ids of it and every location below it
    auto subtree = [&](const QString& option, QString& ids) {
        const RecordSet place = sqlHelper::ExecuteSql("select id from tb_location where locationCode=" +
                                                      sqlHelper::FormatParamValue(values[option]));
        if (place.RecordCount() == 0) {
            err << option << " 不是库位编号: " << values[option] << '\n';
            return false;
        }
        ids = LocationSubtree(place.at(0, 0).toInt(), QString());
        return true;
    };
    m_PageInfor page;
    page.isDesc = true;
    // the rows of the window's list, in its first sort, ties included, with the export columns
    std::function<std::unique_ptr<RowCursor>()> open;
    std::unique_ptr<ReportDal> dal;
    // a kind read straight from the books: the rows its filter chose, in the page's sort
    auto readStraight = [&](const ConditionSet& list) {
        open = [&dal, &page, list] {
            return dal->OpenDataCursor(GetConditionSql(list), dal->OrderClause(page), true);
        };
    };
    QString captions, title, columnKinds;
    if (family == Family::Bills || family == Family::Lines) {
        LineListFilter f;
        f.stockOut = stockOut;
        f.from = from;
        f.to = to;
        f.accountIds = accounts;
        if (flags.contains("--approved") || flags.contains("--unapproved")) {
            f.approved = flags.contains("--approved");
            f.unapproved = flags.contains("--unapproved");
        }
        f.type = values.value("--type");
        f.partner = values.value("--partner");
        f.keyword = values.value("--keyword");
        f.goodsType = values.value("--goods-type");
        f.goodsCode = values.value("--goods-code");
        ConditionSet source, list;
        if (family == Family::Bills) {
            BillListConditions(f, source, list);
            page.str_orderBy = "passName asc,createTime";
            if (stockOut)
                dal = std::make_unique<dal_rpt_ckHead>();
            else
                dal = std::make_unique<dal_rpt_rkHead>();
            open = [&dal, &page, source, list] {
                return dal->OpenListCursor(GetConditionSql(source), list, page);
            };
            captions = BillListCaptions(stockOut);
            title = stockOut ? QStringLiteral("出库单据") : QStringLiteral("入库单据");
            columnKinds = BillListKinds();
        } else {
            LineListConditions(f, source, list);
            page.str_orderBy = "createTime";
            if (stockOut)
                dal = std::make_unique<dal_rpt_ckDetail>();
            else
                dal = std::make_unique<dal_rpt_rkDetail>();
            open = [&dal, &page, source, list] {
                return dal->OpenListCursor(GetConditionSql(source), list, page);
            };
            captions = LineListCaptions(stockOut);
            title = stockOut ? QStringLiteral("出库明细") : QStringLiteral("入库明细");
            columnKinds = LineListKinds();
        }
    } else if (family == Family::Transfers) {
        const bool lines = kind == "dbDetail";
        TransferFilter f;
        f.from = from;
        f.to = to;
        f.accountIds = accounts;
        if (flags.contains("--approved") || flags.contains("--unapproved")) {
            f.approved = flags.contains("--approved");
            f.unapproved = flags.contains("--unapproved");
        }
        f.keyword = values.value("--keyword");
        for (const auto& [option, ids] :
             {std::pair("--from-location", &f.fromIds), std::pair("--to-location", &f.toIds)}) {
            if (values.contains(option) && !subtree(option, *ids)) return 2;
        }
        ConditionSet source, list;
        if (lines)
            TransferLineConditions(f, source, list);
        else
            TransferListConditions(f, source, list);
        page.str_orderBy = "createTime";
        if (lines)
            dal = std::make_unique<dal_rpt_dbDetail>();
        else
            dal = std::make_unique<dal_rpt_dbHead>();
        open = [&dal, &page, source, list] {
            return dal->OpenListCursor(GetConditionSql(source), list, page);
        };
        captions = lines ? TransferLineCaptions() : TransferListCaptions();
        title = lines ? QStringLiteral("调拨明细") : QStringLiteral("调拨单据");
        columnKinds = lines ? TransferLineKinds() : TransferListKinds();
    } else if (family == Family::Stock) {
        StockFilter f;
        f.goodsType = values.value("--goods-type");
        f.keyword = values.value("--keyword");
        f.includeZero = !flags.contains("--no-zero");
        ConditionSet list;
        StockConditions(f, list);
        page.str_orderBy = "goodsCode";
        auto stock = std::make_unique<dal_rpt_stock>();
        open = [&dal, &page, &accounts, list] { return dal->OpenListCursor(accounts + "0", list, page); };
        dal = std::move(stock);
        captions = StockCaptions();
        title = QStringLiteral("货品总账");
        columnKinds = StockKinds();
    } else if (family == Family::Expiry) {
        ExpiryFilter f;
        f.accountIds = accounts;
        f.keyword = values.value("--keyword");
        f.days = ExpiryWarnDays();
        if (values.contains("--days")) {
            bool ok = false;
            f.days = values["--days"].toInt(&ok);
            if (!ok || f.days < 0) {
                err << "--days 应为 0 或正整数: " << values["--days"] << '\n';
                return 2;
            }
        }
        if (values.contains("--location") && !subtree("--location", f.locationIds)) return 2;
        ConditionSet list;
        ExpiryConditions(f, list);
        page.str_orderBy = dal_rpt_expiry::DefaultOrder();
        page.isDesc = false;
        auto lots = std::make_unique<dal_rpt_expiry>();
        lots->setFilter(f, list);
        readStraight(list);
        dal = std::move(lots);
        captions = ExpiryCaptions();
        title = QStringLiteral("效期预警");
        columnKinds = ExpiryKinds();
    } else if (family == Family::Places) {
        LocStockFilter f;
        f.accountIds = accounts;
        f.goodsType = values.value("--goods-type");
        f.keyword = values.value("--keyword");
        if (values.contains("--location") && !subtree("--location", f.locationIds)) return 2;
        ConditionSet list;
        LocStockConditions(f, list);
        page.str_orderBy = "goodsCode,locationCode";
        page.isDesc = false;
        auto places = std::make_unique<dal_rpt_locStock>();
        places->setFilter(f, list);
        readStraight(list);
        dal = std::move(places);
        captions = LocStockCaptions();
        title = QStringLiteral("库位库存");
        columnKinds = LocStockKinds();
    } else {
        SumFilter f;
        f.stockOut = stockOut;
        f.from = from;
        f.to = to;
        f.partner = values.value("--partner");
        f.goodsType = values.value("--goods-type");
        f.keyword = values.value("--keyword");
        f.includeZero = !flags.contains("--no-zero");
        if (values.contains("--type")) { // the window chooses the type from its list of enabled types
            const RecordSet type = sqlHelper::ExecuteSql(
                QStringLiteral("select id from tb_dictionary where utype='%1' and isstart=1 and uname=%2")
                    .arg(stockOut ? "exportType" : "importType",
                         sqlHelper::FormatParamValue(values["--type"])));
            if (type.RecordCount() == 0) {
                err << "--type 不是启用的" << (stockOut ? "出库" : "入库") << "类别: " << values["--type"]
                    << '\n';
                return 2;
            }
            f.typeId = acc::valueText(type.at(0, 0));
        }
        ConditionSet list, sum;
        SumConditions(f, list, sum);
        page.str_orderBy = "goodsCode";
        std::unique_ptr<SumReportDal> sums;
        if (stockOut)
            sums = std::make_unique<dal_rpt_ckSum>();
        else
            sums = std::make_unique<dal_rpt_rkSum>();
        open = [&dal, &page, &accounts, list, sum] {
            return dal->OpenListCursor(accounts + "0", list, page, GetConditionSql(sum));
        };
        dal = std::move(sums);
        captions = SumCaptions();
        title = stockOut ? QStringLiteral("出库汇总") : QStringLiteral("入库汇总");
        columnKinds = SumKinds();
    }
    if (values.contains("--xlsx")) { // the workbook the window's export writes, a row at a time
        qint64 written = 0;
        try {
            const auto rows = open();
            written = Export::WriteWorkbook(values["--xlsx"], *rows, title, captions.split(','), columnKinds);
        } catch (const std::exception& e) {
            err << "错误: " << QString::fromUtf8(e.what()) << '\n';
            return 1;
        }
        out << values["--xlsx"] << ": " << written << " 行\n";
        return 0;
    }
    try {
        const auto rows = open();
        out << captions.split(',').join('\t') << '\n';
        out.flush();
        // rows go out as the engine gives their text, without passing through QString
        QIODevice* device = out.device();
        QByteArray line;
        while (rows->next()) {
            line.resize(0); // keeps its capacity
            for (int c = 0; c < rows->fieldCount(); ++c) {
                if (c > 0) line += '\t';
                appendCell(line, rows->utf8(c));
            }
            line += '\n';
            if (device)
                device->write(line);
            else
                out << QString::fromUtf8(line);
        }
    } catch (const DbError& e) {
        err << "错误: " << e.message() << '\n';
        return 1;
    }
    return 0;
}

// The account, date and locations of an opening stock import; the count of a count import.
OpeningOptions g_opening;
int g_count = 0;

// An import kind: its columns, its check and its write.
struct ImportRules {
    QString sheetName, records, units;
    std::vector<ImportColumn> columns;
    std::function<void(ImportSheet&, ImportMode)> check;
    std::function<ImportOutcome(ImportSheet&, ImportMode)> write;
};

// The rules of an import kind; no columns for a kind there is none of.
ImportRules importRules(const QString& kind) {
    const QString user = QStringLiteral("wms-admin");
    if (kind == "goods")
        return {QStringLiteral("货品"),
                QStringLiteral("货品"),
                QStringLiteral("包装单位"),
                GoodsImportColumns(),
                CheckGoodsImport,
                [user](ImportSheet& s, ImportMode m) { return WriteGoodsImport(s, m, user); }};
    if (kind == "opening")
        return {QStringLiteral("期初库存"),
                QStringLiteral("入库明细行"),
                QString(),
                OpeningImportColumns(),
                [](ImportSheet& s, ImportMode) { CheckOpeningImport(s, g_opening); },
                [](ImportSheet& s, ImportMode) { return WriteOpeningImport(s, g_opening); }};
    if (kind == "count")
        return {QStringLiteral("盘点"),
                QStringLiteral("盘点行"),
                QString(),
                CountImportColumns(),
                [](ImportSheet& s, ImportMode) { CheckCountImport(s, g_count); },
                [](ImportSheet& s, ImportMode) { return WriteCountImport(s, g_count); }};
    if (kind == "partners")
        return {QStringLiteral("往来单位"),
                QStringLiteral("往来单位"),
                QString(),
                PartnerImportColumns(),
                CheckPartnerImport,
                [user](ImportSheet& s, ImportMode m) { return WritePartnerImport(s, m, user, 0); }};
    return {};
}

std::vector<ImportColumn> importColumns(const QString& kind) {
    return importRules(kind).columns;
}

const char* const kImportKinds = "goods partners opening count";

// import KIND FILE [--update] [--dry-run] [--errors OUT.xlsx]
int runImport(QStringList args, QTextStream& out, QTextStream& err) {
    if (args.size() < 2 || importColumns(args[0]).empty()) {
        err << "import 需要导入种类 (" << kImportKinds << ") 和文件\n";
        return 2;
    }
    const QString kind = args.takeFirst(), file = args.takeFirst();
    const bool update = args.removeAll("--update") > 0, dryRun = args.removeAll("--dry-run") > 0;
    QString errors;
    if (const int at = args.indexOf("--errors"); at >= 0) {
        if (at + 1 >= args.size()) {
            err << "--errors 需要文件名\n";
            return 2;
        }
        errors = args[at + 1];
        args.remove(at, 2);
    }
    QHash<QString, QString> values;
    for (const char* option : {"--account", "--date", "--count", "--sheet"})
        if (const int at = args.indexOf(option);
            (kind == "opening" || kind == "count" || QLatin1String(option) == "--sheet") && at >= 0 &&
            at + 1 < args.size()) {
            values[option] = args[at + 1];
            args.remove(at, 2);
        }
    if (!args.isEmpty()) {
        err << "import 不认识的参数: " << args.join(' ') << '\n';
        return 2;
    }
    if (kind == "opening") { // one account mark, the date of the bill (today), every location
        const RecordSet account = sqlHelper::ExecuteSql(
            "select id from tb_dictionary where utype='accountType' and isstart=1 and uname=" +
            sqlHelper::FormatParamValue(values.value("--account")));
        if (account.RecordCount() == 0) {
            err << "opening 需要 --account 启用的账目标识名称: " << values.value("--account") << '\n';
            return 2;
        }
        g_opening = {account.at(0, 0).toInt(),
                     values.value("--date", QDate::currentDate().toString("yyyy-MM-dd")),
                     QStringLiteral("wms-admin"), 0, QStringLiteral("SELECT id FROM tb_location")};
        const QString before = OpeningBillOf(g_opening.accountId);
        if (!before.isEmpty() && !update && !dryRun) {
            err << "账目[" << values.value("--account") << "]已有期初入库单 " << before
                << "; 确要再导入一张, 请加 --update\n";
            return 1;
        }
    }
    if (kind == "count") {
        g_count = sqlHelper::DLookup("id", "tb_stocktake_head",
                                     " and billNo=" + sqlHelper::FormatParamValue(values.value("--count")))
                      .toInt();
        if (g_count < 1) {
            err << "count 需要 --count 盘点单号: " << values.value("--count") << '\n';
            return 2;
        }
    }
    ImportSheet sheet;
    try {
        sheet = MapSheet(ReadSheetFile(file, values.value("--sheet")), importColumns(kind));
    } catch (const SheetFileError& e) {
        err << e.message() << '\n';
        return 1;
    }
    if (!sheet.refusal.isEmpty()) {
        err << sheet.refusal << '\n';
        return 1;
    }
    if (!sheet.ignoredCaptions.isEmpty())
        err << "不导入的列: " << sheet.ignoredCaptions.join(QStringLiteral("、")) << '\n';
    const ImportMode mode = update ? ImportMode::AddOrUpdate : ImportMode::AddOnly;
    const ImportRules rules = importRules(kind);
    rules.check(sheet, mode);
    ImportOutcome outcome;
    if (sheet.errorRows() == 0 && !dryRun) outcome = rules.write(sheet, mode);
    for (const ImportRow& row : sheet.rows)
        for (const ImportIssue& issue : row.issues) {
            out << "row " << row.line << ": ";
            if (issue.column >= 0) out << sheet.columns[issue.column].caption << ": ";
            out << (issue.warning ? QStringLiteral("(警告) ") : QString()) << issue.reason << '\n';
        }
    if (!errors.isEmpty()) {
        try {
            WriteImportProblems(errors, sheet);
        } catch (const std::exception& e) {
            err << QString::fromUtf8(e.what()) << '\n';
            return 1;
        }
    }
    int added = 0, updated = 0;
    for (const ImportRow& row : sheet.rows) {
        added += row.status != ImportStatus::Update;
        updated += row.status == ImportStatus::Update;
    }
    if (sheet.errorRows() > 0) {
        err << "有 " << sheet.errorRows() << " 行错误, 没有导入任何数据\n";
        return 1;
    }
    if (dryRun) {
        out << "检查通过: " << added << " 行新增, " << updated << " 行更新 (未写入)\n";
        return 0;
    }
    if (!outcome.written) {
        err << outcome.message << '\n';
        return 1;
    }
    if (kind == "count") {
        out << "已导入: 设定 " << outcome.updated << " 行的盘点数量, 新增 " << outcome.added << " 行\n";
        return 0;
    }
    if (kind == "opening") {
        out << "已导入: 期初入库单 "
            << acc::valueText(sqlHelper::DLookup("billNo", "tb_rk_head",
                                                 " and id=" + QString::number(outcome.ids.front())))
            << ", " << outcome.added << " 行\n";
        return 0;
    }
    out << "已导入: 新增 " << outcome.added << " 个" << rules.records << ", 更新 " << outcome.updated << " 个"
        << rules.records;
    if (!rules.units.isEmpty()) out << ", 共 " << outcome.units << " 个" << rules.units;
    out << '\n';
    return 0;
}

int runTemplate(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2 || importColumns(args[0]).empty()) {
        err << "template 需要导入种类 (" << kImportKinds << ") 和文件名\n";
        return 2;
    }
    try {
        WriteImportTemplate(args[1], importRules(args[0]).sheetName, importColumns(args[0]));
    } catch (const std::exception& e) {
        err << QString::fromUtf8(e.what()) << '\n';
        return 1;
    }
    out << args[1] << '\n';
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
    streamingCache();
    Database& db = Database::instance();
    if (repair) {
        db.beginWrite();
        try {
            RebuildStockBalance();
            RebuildStockLocation();
            RebuildStockLot(db);
            db.execute("COMMIT");
        } catch (...) {
            if (db.inTransaction()) db.execute("ROLLBACK");
            throw;
        }
        out << "库存余额表已按单据明细重建, 共 "
            << db.query("SELECT count(*) FROM tb_stock_balance").at(0, 0).toInt() << " 行; 库位库存 "
            << db.query("SELECT count(*) FROM tb_stock_location").at(0, 0).toInt() << " 行; 批次库存 "
            << db.query("SELECT count(*) FROM tb_stock_lot").at(0, 0).toInt() << " 行\n";
        return 0;
    }
    std::vector<BalanceDifference> diffs = CheckStockBalance();
    for (const BalanceDifference& d : CheckStockLocation())
        diffs.push_back(d);
    for (const BalanceDifference& d : CheckStockLot(db))
        diffs.push_back(d);
    for (const BalanceDifference& d : diffs)
        out << "货品 " << keyText(d.goodsId) << " 账目 " << keyText(d.accountId)
            << (d.locationId.isValid() ? " 库位 " + keyText(d.locationId) : QString())
            << (d.lotNo.isValid() ? " 批次 " + keyText(d.lotNo) : QString()) << ' ' << d.column << ": 记录为 "
            << acc::numberQText(d.stored) << ", 按明细应为 " << acc::numberQText(d.expected) << '\n';
    if (diffs.empty()) {
        out << "库存余额与单据明细一致\n";
        return 0;
    }
    out << "共 " << diffs.size() << " 处差异 (用 check --repair 重建)\n";
    return 1;
}

// Copies the open file to the server's empty database named by conninfo.
void copyToServer(const QString& conninfo, QTextStream& out) {
    PgDatabase target;
    target.open(conninfo);
    const ServerCopy copy = CopyToServer(Database::instance(), target);
    qCInfo(lcAdmin).noquote() << "copied" << copy.rows << "rows from" << Database::instance().path()
                              << "to the server" << AppLog::WithoutPassword(conninfo);
    out << "已复制 " << copy.rows << " 行到服务器, 行数和库存余额核对无误";
    if (copy.nulled > 0) out << "; " << copy.nulled << " 个数字列里的非数字值改为空值 (Null)";
    out << '\n';
}

// upgrade: a backup first, then every pending schema step in one transaction.
int runUpgrade(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (!args.isEmpty()) {
        err << "upgrade 不认识的参数: " << args.join(' ') << '\n';
        return 2;
    }
    Database::setOpenHook(nullptr); // opened as it is: the backup comes before any change
    sqlHelper::OpenConn();
    const qint64 before = SchemaVersionOf(Database::instance());
    CheckSchemaVersion(before);
    if (before > kSchemaVersion) throw DbError(NewerSchemaMessage(before));
    if (before < 1) throw DbError(QStringLiteral("数据库没有版本记录, 不是本程序的数据库"));
    if (before == kSchemaVersion) {
        out << "数据库已是本程序的版本 (" << kSchemaVersion << "), 没有改动\n";
        return 0;
    }
    const m_DBresult backup = BackUpDB();
    if (!backup.isResult) {
        err << "错误: 备份失败, 没有升级: " << backup.str_MsgBox << '\n';
        return 1;
    }
    out << "已备份到 " << QDir::toNativeSeparators(LastBackupFile()) << '\n';
    sqlHelper::OpenConn();
    const QStringList steps = UpgradeDatabase(Database::instance());
    out << "已从版本 " << before << " 升级到 " << kSchemaVersion << ":\n";
    for (const QString& step : steps)
        out << "  " << step << '\n';
    return 0;
}

// user enable NAME: the way back in when the only administrator was disabled.
int runUser(const QStringList& args, QTextStream& out, QTextStream& err) {
    if (args.size() != 2 || args[0] != "enable") {
        err << "user 需要参数 enable 用户名\n";
        return 2;
    }
    SqlParams byName;
    byName.AddItem("@user", args[1]);
    if (sqlHelper::ExecuteNonQuery("update tb_user set isStart=True where [user]=@user", byName) == 0) {
        err << "没有这个用户: " << args[1] << '\n';
        return 1;
    }
    qCInfo(lcAdmin).noquote() << "user enabled:" << args[1];
    out << "已启用用户 " << args[1] << '\n';
    return 0;
}

} // namespace

QString AdminCommandsHelp() {
    return QString::fromUtf8(kCommands);
}

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
    QString server;
    const int serverAt = args.indexOf("--server");
    if (serverAt >= 0) {
        if (serverAt + 1 >= args.size() || !dbFile.isEmpty()) {
            err << "--server 后面应为 libpq 连接串, 且不能与 --db 同用\n" << kUsage;
            return 2;
        }
        server = args[serverAt + 1];
        args.remove(serverAt, 2);
    }
    if (args.isEmpty() || args[0] == "--help" || args[0] == "-h") {
        (args.isEmpty() ? err : out) << kUsage;
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    QStringList said{"command", command, args.join(' '), dbFile, server};
    said.removeAll(QString());
    qCInfo(lcAdmin).noquote() << AppLog::WithoutPassword(said.join(' '));
    InstallMigrations();
    try {
        if (command == "init") {
            const bool demo = args.removeAll("--demo") > 0;
            const bool force = args.removeAll("--force") > 0;
            if (!args.isEmpty()) {
                err << "init 不认识的参数: " << args.join(' ') << '\n';
                return 2;
            }
            if (!server.isEmpty()) { // made as a file first, then copied
                QTemporaryDir dir;
                CreateDatabase(dir.filePath("wms.mdb"), demo, false);
                copyToServer(server, out);
                Database::instance().close();
                out << "已在服务器上建立数据库" << (demo ? " (含演示数据)" : "") << '\n';
                return 0;
            }
            const QString file = dbFile.isEmpty() ? DataFolder() + SysVar().Sys_dbName : dbFile;
            CreateDatabase(file, demo, force);
            out << "已建立数据库 " << file << (demo ? " (含演示数据)" : "") << '\n';
            return 0;
        }
        sqlHelper::SetDatabaseFile(dbFile);
        sqlHelper::SetServer(server);
        if (command == "copy") {
            if (args.size() != 2 || args[0] != "--to" || !server.isEmpty()) {
                err << "copy 需要参数 --to 连接串\n";
                return 2;
            }
            sqlHelper::OpenConn();
            copyToServer(args[1], out);
            return 0;
        }
        if (command == "sql" || command == "translate") {
            if (args.size() != 1) {
                err << command << " 需要一条语句 (用引号括起来)\n";
                return 2;
            }
            if (command == "translate") {
                out << AccessSql::translateUncached(args[0], server.isEmpty() ? AccessSql::Dialect::Sqlite
                                                                              : AccessSql::Dialect::Postgres)
                    << '\n';
                return 0;
            }
            return runSql(args[0], out);
        }
        if (command == "backup" || command == "compact") {
            // said through the message facade, which writes to standard error here
            const bool backup = command == "backup";
            const m_DBresult r = backup ? BackUpDB() : CompactDB();
            if (r.isResult)
                MsgBox::Show(backup ? BackupDoneMessage() : CompactDoneMessage(), MsgBox::Information,
                             "System");
            else
                MsgBox::Show(r.str_MsgBox, MsgBox::Exclamation, "System");
            return r.isResult ? 0 : 1;
        }
        if (command == "check") return runCheck(args, out, err);
        if (command == "report") return runReport(args, out, err);
        if (command == "user") return runUser(args, out, err);
        if (command == "import") return runImport(args, out, err);
        if (command == "template") return runTemplate(args, out, err);
        if (command == "upgrade") return runUpgrade(args, out, err);
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
