#include "partnerimport.h"

#include "customer.h"
#include "pinyin.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/results.h"
#include "data/sqlhelper.h"

#include <QDate>
#include <QHash>
#include <QSet>

namespace {

enum Col {
    Kind,
    Category,
    Code,
    Name,
    Contact,
    Company,
    TaxNumber,
    Bank,
    Account,
    Address,
    Tel,
    Email,
    Fax,
    Status
};

constexpr int kCodeLength = 50, kNameLength = 100, kTextLength = 200;

struct Stored {
    int id = 0;
    QString code, name;
    int customType = 0;
};

struct Shop {
    QHash<QString, Stored> byCode;
    QHash<QString, QString> codeOfName;              // a stored name -> the code of a partner of that name
    QHash<QString, std::pair<int, bool>> categories; // name -> id, enabled
};

Shop readShop(const std::function<RecordSet(const QString&)>& query) {
    Shop shop;
    const RecordSet partners = query("SELECT id, customerCode, uname, customType FROM tb_customer");
    for (int r = 0; r < partners.RecordCount(); ++r) {
        Stored s{partners.at(r, 0).toInt(), acc::valueText(partners.at(r, 1)).trimmed(),
                 acc::valueText(partners.at(r, 2)).trimmed(), partners.at(r, 3).toInt()};
        if (!s.code.isEmpty()) shop.byCode.insert(ImportKey(s.code), s);
        shop.codeOfName.insert(ImportKey(s.name), s.code);
    }
    const RecordSet types =
        query("SELECT id, uname, isstart FROM tb_dictionary WHERE utype = 'customerType' ORDER BY id");
    for (int r = 0; r < types.RecordCount(); ++r) {
        const QString name = ImportKey(acc::valueText(types.at(r, 1)));
        if (!shop.categories.contains(name))
            shop.categories.insert(name, {types.at(r, 0).toInt(), types.at(r, 2).toInt() == 1});
    }
    return shop;
}

struct Planned {
    int row = 0;
    int storedId = 0;
    int kind = 0, category = 0, status = 1;
};

std::vector<Planned> check(ImportSheet& sheet, ImportMode mode, const Shop& shop) {
    std::vector<Planned> plan;
    QHash<QString, int> fileCodes, fileNames;
    const QStringList kinds = {QStringLiteral("供应商"), QStringLiteral("客户"), QStringLiteral("两者都是")};
    for (int r = 0; r < int(sheet.rows.size()); ++r) {
        ImportRow& row = sheet.rows[r];
        Planned p;
        p.row = r;
        const QString kind = row.cell(Kind), code = row.cell(Code), name = row.cell(Name);
        p.kind = int(kinds.indexOf(kind));
        if (kind.isEmpty())
            row.error(Kind, QStringLiteral("类别不能为空"));
        else if (p.kind < 0)
            row.error(Kind, QStringLiteral("[%1]应为 供应商、客户 或 两者都是").arg(kind));
        const QString category = row.cell(Category);
        if (category.isEmpty()) {
            row.error(Category, QStringLiteral("自定义类别不能为空"));
        } else {
            const auto it = shop.categories.constFind(ImportKey(category));
            if (it == shop.categories.constEnd())
                row.error(Category, QStringLiteral("[%1]不存在").arg(category));
            else
                p.category = it->first;
            const auto stored = shop.byCode.constFind(ImportKey(code));
            const bool kept = stored != shop.byCode.constEnd() && stored->customType == p.category;
            if (it != shop.categories.constEnd() && !it->second && !kept)
                row.error(Category, QStringLiteral("[%1]已禁用").arg(category));
        }
        if (name.isEmpty()) row.error(Name, QStringLiteral("往来单位名称不能为空"));
        if (!code.isEmpty()) {
            const auto stored = shop.byCode.constFind(ImportKey(code));
            if (code.size() > kCodeLength) {
                row.error(Code, QStringLiteral("超过 %1 个字符").arg(kCodeLength));
            } else if (fileCodes.contains(ImportKey(code))) {
                row.error(Code, QStringLiteral("%1 与第%2行的编码重复")
                                    .arg(code)
                                    .arg(sheet.rows[fileCodes.value(ImportKey(code))].line));
            } else if (stored != shop.byCode.constEnd()) {
                if (mode == ImportMode::AddOnly)
                    row.error(Code, QStringLiteral("[%1]已存在, 选 新增或更新 时更新该往来单位").arg(code));
                else
                    p.storedId = stored->id;
            }
            fileCodes.insert(ImportKey(code), r);
        }
        if (name.size() > kNameLength) row.error(Name, QStringLiteral("超过 %1 个字符").arg(kNameLength));
        for (const Col c : {Contact, Company, TaxNumber, Bank, Account, Address, Tel, Email, Fax})
            if (row.cell(c).size() > kTextLength)
                row.error(c, QStringLiteral("超过 %1 个字符").arg(kTextLength));
        const QString status = row.cell(Status);
        if (status.isEmpty() || status == QStringLiteral("启用"))
            p.status = 1;
        else if (status == QStringLiteral("禁用"))
            p.status = 0;
        else
            row.error(Status, QStringLiteral("[%1]应为 启用 或 禁用").arg(status));
        // the window asks about a name that is there already: here it is a warning
        if (!name.isEmpty()) {
            const auto same = shop.codeOfName.constFind(ImportKey(name));
            if (same != shop.codeOfName.constEnd() && ImportKey(*same) != ImportKey(code) &&
                !(p.storedId && ImportKey(*same) == ImportKey(code)))
                row.warn(Name, QStringLiteral("[%1]已存在 (编码 %2)").arg(name, *same));
            else if (fileNames.contains(ImportKey(name)))
                row.warn(Name, QStringLiteral("往来单位名称[%1]与第%2行相同")
                                   .arg(name)
                                   .arg(sheet.rows[fileNames.value(ImportKey(name))].line));
            fileNames.insert(ImportKey(name), r);
        }
        if (!row.hasError() && row.status != ImportStatus::Warning)
            row.status = p.storedId ? ImportStatus::Update : ImportStatus::New;
        plan.push_back(p);
    }
    return plan;
}

QString literal(const QVariant& v) {
    return sqlHelper::FormatParamValue(v);
}

} // namespace

std::vector<ImportColumn> PartnerImportColumns() {
    const QString none;
    return {
        {QStringLiteral("固定类别"),
         {},
         true,
         true,
         QStringLiteral("供应商"),
         QStringLiteral("供应商、客户 或 两者都是")},
        {QStringLiteral("自定义类别"),
         {QStringLiteral("自定义分类")},
         true,
         true,
         QStringLiteral("批发商"),
         QStringLiteral("往来单位分类中已有的、启用的名称")},
        {QStringLiteral("编码"),
         {},
         false,
         true,
         none,
         QStringLiteral("空: 按新建往来单位的规则自动编号; 更新时按编码找到已有的往来单位, 编码不变")},
        {QStringLiteral("往来单位名称"),
         {},
         true,
         true,
         QStringLiteral("某某商贸有限公司"),
         QStringLiteral("与已有的名称相同时给出警告")},
        {QStringLiteral("联系人"), {}, false, true, QStringLiteral("张三"), none},
        {QStringLiteral("公司名称"), {}, false, true, none, none},
        {QStringLiteral("税务号"), {}, false, true, none, none},
        {QStringLiteral("开户银行"), {}, false, true, none, none},
        {QStringLiteral("开户帐号"), {QStringLiteral("开户账号")}, false, true, none, none},
        {QStringLiteral("地址"), {}, false, true, none, none},
        {QStringLiteral("电话"), {}, false, true, QStringLiteral("010-12345678"), none},
        {QStringLiteral("Email"), {QStringLiteral("邮箱")}, false, true, none, none},
        {QStringLiteral("传真"), {}, false, true, none, none},
        {QStringLiteral("状态"),
         {},
         false,
         true,
         QStringLiteral("启用"),
         QStringLiteral("启用 或 禁用, 空为 启用")},
    };
}

void CheckPartnerImport(ImportSheet& sheet, ImportMode mode) {
    check(sheet, mode, readShop([](const QString& sql) { return sqlHelper::ExecuteSql(sql); }));
}

ImportOutcome WritePartnerImport(ImportSheet& sheet, ImportMode mode, const QString& user, int userId,
                                 const ImportProgress& progress) {
    return WriteChecked(sheet, [&](ImportSheet& again, ImportOutcome& outcome) {
        sqlHelper::LockInTrans(QStringList{"tb_customer"});
        const Shop shop = readShop([](const QString& sql) { return sqlHelper::QueryInTrans(sql); });
        const std::vector<Planned> plan = check(again, mode, shop);
        RefuseWrong(again);
        const QString now = FormatNow("yyyy-MM-dd hh:mm:ss");
        const QString ym = QDate::currentDate().toString("yyMM");
        int number = static_cast<int>(acc::val(
            acc::valueText(sqlHelper::QueryInTrans(
                               "SELECT max(customerCode) FROM tb_customer WHERE mid(customerCode, 4, 4) = '" +
                               ym + "' AND customerCode LIKE 'ct-%'")
                               .at(0, 0))
                .mid(8)));
        QSet<QString> fileCodes;
        for (const ImportRow& r : again.rows)
            if (!r.cell(Code).isEmpty()) fileCodes.insert(ImportKey(r.cell(Code)));
        int nextId = sqlHelper::MaxIdInTrans("tb_customer");
        int written = 0;
        for (const Planned& p : plan) {
            const ImportRow& row = again.rows[p.row];
            QString code = row.cell(Code);
            const QString name = row.cell(Name);
            QStringList values{QString::number(p.kind), QString::number(p.category), literal(name),
                               literal(GetPinyinInitials(name))};
            for (const Col c : {Contact, Company, TaxNumber, Bank, Account, Address, Tel, Email, Fax})
                values << literal(row.cell(c));
            values << QString::number(p.status);
            if (p.storedId) {
                QStringList sets{"utype = " + values[0], "customType = " + values[1], "uname = " + values[2],
                                 "pinyin = " + values[3]};
                const char* const fields[] = {"contact",  "companyName", "taxNumber",
                                              "bankName", "bankAccount", "address",
                                              "tel",      "email",       "fax"};
                for (int k = 0; k < 9; ++k)
                    if (sheet.present[Contact + k]) sets << QString(fields[k]) + " = " + values[4 + k];
                if (sheet.present[Status]) sets << "status = " + values[13];
                sets << "updateLastUser = " + literal(user) << "updateLastTime = " + literal(now);
                sqlHelper::ExecuteInTrans("UPDATE tb_customer SET " + sets.join(", ") +
                                          " WHERE id = " + QString::number(p.storedId));
                outcome.ids.push_back(p.storedId);
                ++outcome.updated;
            } else {
                while (code.isEmpty()) { // numbered as the window numbers, past the file's own codes
                    if (++number > 99999)
                        throw DbError(
                            QStringLiteral("ct-%1 月的编号已经用完(最多 99999 个), 不能再生成新编号!")
                                .arg(ym));
                    const QString next =
                        "ct-" + ym + "-" + QStringLiteral("%1").arg(number, 5, 10, QChar('0'));
                    if (!fileCodes.contains(ImportKey(next))) code = next;
                }
                sqlHelper::ExecuteInTrans(
                    "INSERT INTO tb_customer (id, utype, customType, customerCode, uname, pinyin, contact, "
                    "companyName, taxNumber, bankName, bankAccount, address, tel, email, fax, status, "
                    "imageUrl, "
                    "creator, createTime, updateLastUser, updateLastTime, userId) VALUES (" +
                    QString::number(++nextId) + ", " + values[0] + ", " + values[1] + ", " + literal(code) +
                    ", " + values.mid(2).join(", ") + ", '', " + literal(user) + ", " + literal(now) + ", " +
                    literal(user) + ", " + literal(now) + ", " + QString::number(userId) + ")");
                outcome.ids.push_back(nextId);
                ++outcome.added;
            }
            if (++written % 200 == 0) TellProgress(progress, written, int(plan.size()));
        }
        TellProgress(progress, int(plan.size()), int(plan.size()));
    });
}

std::vector<QStringList> PartnerImportRows(const ConditionSet& listConditions) {
    const RecordSet rs = sqlHelper::ExecuteSql(
        "SELECT utypeName, customTypeName, customerCode, uname, contact, companyName, taxNumber, bankName, "
        "bankAccount, address, tel, email, fax, statusName FROM v_customer WHERE 1=1 " +
        GetConditionSql(listConditions) + " ORDER BY customerCode, id");
    std::vector<QStringList> rows;
    rows.reserve(rs.RecordCount());
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QStringList row;
        for (int c = 0; c < 14; ++c)
            row << acc::valueText(rs.at(r, c));
        rows.push_back(row);
    }
    return rows;
}
