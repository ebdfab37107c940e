#include "goodsimport.h"

#include "goods.h"
#include "numbertext.h"
#include "pinyin.h"

#include "data/accesstext.h"
#include "data/dberror.h"
#include "data/results.h"
#include "data/sqlhelper.h"

#include <QHash>
#include <QSet>
#include <optional>

namespace {

enum Col {
    Code,
    Name,
    Category,
    Desc,
    Unit,
    PackQty,
    Barcode,
    InPrice,
    SalePrice,
    Weight,
    Default,
    Up,
    Down,
    Status,
    LotTracked,
    ShelfLife
};

// Longest texts taken; longer ones are refused rather than cut.
constexpr int kCodeLength = 50, kNameLength = 100, kTextLength = 200, kUnitLength = 20;

struct StoredUnit {
    int id = 0;
    QString unit, barcode;
    int rowNo = 0;
    bool isDefault = false;
};

struct StoredGoods {
    int id = 0;
    QString code;
    int typeId = 0;
    std::vector<StoredUnit> units;
};

struct CategoryEntry {
    int id = 0; // below 0: made by this import
    QString name;
    int parentId = 0;
    bool enabled = true;
};

// What the check reads of the shop.
struct Shop {
    QHash<QString, StoredGoods> goods;    // by goods code
    QHash<QString, QString> owners;       // every stored code and barcode -> its goods code
    QHash<int, QString> unitBarcodeOwner; // a stored unit's barcode key, by unit id
    QHash<QString, CategoryEntry> categories;
};

Shop readShop(const std::function<RecordSet(const QString&)>& query) {
    Shop shop;
    const RecordSet heads = query("SELECT id, goodsCode, goodsTypeId FROM tb_goods_head");
    QHash<int, QString> codeOf;
    for (int r = 0; r < heads.RecordCount(); ++r) {
        StoredGoods g;
        g.id = heads.at(r, 0).toInt();
        g.code = acc::valueText(heads.at(r, 1)).trimmed();
        g.typeId = heads.at(r, 2).toInt();
        codeOf.insert(g.id, g.code);
        shop.owners.insert(ImportKey(g.code), g.code);
        shop.goods.insert(ImportKey(g.code), g);
    }
    const RecordSet units = query("SELECT id, headId, unit, goodsDetailCode, rowNo, isDefault FROM "
                                  "tb_goods_detail ORDER BY headId, rowNo, id");
    for (int r = 0; r < units.RecordCount(); ++r) {
        StoredUnit u;
        u.id = units.at(r, 0).toInt();
        u.unit = acc::valueText(units.at(r, 2)).trimmed();
        u.barcode = acc::valueText(units.at(r, 3)).trimmed();
        u.rowNo = units.at(r, 4).toInt();
        u.isDefault = units.at(r, 5).toInt() == 1;
        const QString owner = codeOf.value(units.at(r, 1).toInt());
        if (!u.barcode.isEmpty()) {
            shop.owners.insert(ImportKey(u.barcode), owner);
            shop.unitBarcodeOwner.insert(u.id, ImportKey(u.barcode));
        }
        auto it = shop.goods.find(ImportKey(owner));
        if (it != shop.goods.end()) it->units.push_back(u);
    }
    const RecordSet types =
        query("SELECT id, uname, parentId, isstart FROM tb_dictionary WHERE utype = 'goodsType'");
    for (int r = 0; r < types.RecordCount(); ++r) {
        CategoryEntry c{types.at(r, 0).toInt(), acc::valueText(types.at(r, 1)).trimmed(),
                        types.at(r, 2).toInt(), types.at(r, 3).toInt() == 1};
        shop.categories.insert(ImportKey(c.name), c);
    }
    return shop;
}

struct PlannedUnit {
    int row = 0; // index into the sheet's rows
    QString unit, barcode;
    double packQty = 1, weight = 0, inPrice = 0, salePrice = 0;
    int storedId = 0;
    bool isDefault = false;
};

struct PlannedGoods {
    int row = 0;
    QString code, name, desc, status;
    double up = 0, down = 0;
    int lotTracked = 0, shelfLife = 0;
    int categoryId = 0; // below 0: a category this import makes
    StoredGoods stored; // id 0 for a new goods
    std::vector<PlannedUnit> units;
    bool defaultGiven = false;
};

struct Plan {
    std::vector<PlannedGoods> goods;
    std::vector<CategoryEntry> newCategories; // parents first
};

// A cell of a head field: the first non-empty one of the goods' rows; a
// later row giving another value is an error of that row.
struct HeadCell {
    QString value;
    int row = -1;
};

bool flagValue(const QString& text, std::optional<bool>& into) {
    const QString t = text.trimmed().toUpper();
    if (t.isEmpty())
        into.reset();
    else if (t == QStringLiteral("是") || t == "1" || t == "TRUE" || t == "Y" || t == "YES")
        into = true;
    else if (t == QStringLiteral("否") || t == "0" || t == "FALSE" || t == "N" || t == "NO")
        into = false;
    else
        return false;
    return true;
}

class Checker {
public:
    Checker(ImportSheet& sheet, ImportMode mode, Shop& shop) : m_sheet(sheet), m_mode(mode), m_shop(shop) {}

    Plan run() {
        Plan plan;
        // the rows of each goods code, in file order
        std::vector<std::vector<int>> groups;
        QHash<QString, int> groupOf;
        for (int r = 0; r < int(m_sheet.rows.size()); ++r) {
            ImportRow& row = m_sheet.rows[r];
            const QString code = row.cell(Code);
            if (code.isEmpty()) {
                row.error(Code, QStringLiteral("货品编码不能为空"));
                continue;
            }
            if (code.size() > kCodeLength) {
                row.error(Code, QStringLiteral("超过 %1 个字符").arg(kCodeLength));
                continue;
            }
            const auto it = groupOf.constFind(ImportKey(code));
            if (it == groupOf.constEnd()) {
                groupOf.insert(ImportKey(code), int(groups.size()));
                groups.push_back({r});
            } else {
                groups[*it].push_back(r);
            }
        }
        // a goods' stored barcodes of the units the file lists are the file's to give
        for (const std::vector<int>& rows : groups) {
            const auto stored = m_shop.goods.constFind(ImportKey(m_sheet.rows[rows.front()].cell(Code)));
            if (stored == m_shop.goods.constEnd() || m_mode != ImportMode::AddOrUpdate || !present(Barcode))
                continue;
            for (const int r : rows)
                for (const StoredUnit& u : stored->units)
                    if (ImportKey(u.unit) == ImportKey(m_sheet.rows[r].cell(Unit)) &&
                        m_shop.unitBarcodeOwner.contains(u.id))
                        m_shop.owners.remove(m_shop.unitBarcodeOwner.value(u.id));
        }
        for (const std::vector<int>& rows : groups)
            planGoods(rows, plan);
        plan.newCategories = m_newCategories;
        return plan;
    }

private:
    ImportSheet& m_sheet;
    ImportMode m_mode;
    Shop& m_shop;
    std::vector<CategoryEntry> m_newCategories;
    QHash<QString, int> m_fileCodes; // codes and barcodes of the file -> the row giving them

    ImportRow& row(int r) { return m_sheet.rows[r]; }
    bool present(Col c) const { return m_sheet.present[c]; }

    HeadCell headCell(const std::vector<int>& rows, Col c, bool& agree) {
        HeadCell h;
        for (const int r : rows) {
            const QString v = row(r).cell(c);
            if (v.isEmpty()) continue;
            if (h.row < 0) {
                h = {v, r};
            } else if (v != h.value) {
                row(r).error(
                    c, QStringLiteral("与同一货品的第%1行不一致 (%2)").arg(row(h.row).line).arg(h.value));
                agree = false;
            }
        }
        return h;
    }

    std::optional<double> number(int r, Col c, double fallback = 0) {
        const QString text = row(r).cell(c);
        if (text.isEmpty()) return fallback;
        const std::optional<double> v = NumberFieldValue(text);
        if (!v) row(r).error(c, QStringLiteral("[%1]不是有效的数字").arg(text));
        return v;
    }

    bool fits(int r, Col c, int length) {
        if (row(r).cell(c).size() <= length) return true;
        row(r).error(c, QStringLiteral("超过 %1 个字符").arg(length));
        return false;
    }

    // The category of a path "a/b/c": every part the child of the one before
    // it (the first at the top), names unique in the whole tree; missing
    // parts are made. 0 when the path is refused.
    int category(int r, const QString& path, int storedId) {
        const QStringList parts = path.split(u'/');
        for (const QString& p : parts)
            if (p.trimmed().isEmpty()) {
                row(r).error(Category, QStringLiteral("[%1]中有空的类别名称").arg(path));
                return 0;
            }
        if (parts.size() == 1) { // a bare name: the category of that name wherever it stands
            const auto it = m_shop.categories.constFind(ImportKey(parts.front()));
            if (it != m_shop.categories.constEnd()) return enabled(r, *it, storedId);
        }
        int parent = 0;
        CategoryEntry found;
        for (const QString& part : parts) {
            const QString name = part.trimmed();
            if (name.size() > kNameLength) {
                row(r).error(Category, QStringLiteral("[%1]超过 %2 个字符").arg(name).arg(kNameLength));
                return 0;
            }
            const auto it = m_shop.categories.constFind(ImportKey(name));
            if (it != m_shop.categories.constEnd()) {
                if (it->parentId != parent) {
                    row(r).error(Category,
                                 QStringLiteral("[%1]已在其他类别下存在, 类别名称不能重复").arg(name));
                    return 0;
                }
                found = *it;
            } else {
                found = {-int(m_newCategories.size()) - 1, name, parent, true};
                m_newCategories.push_back(found);
                m_shop.categories.insert(ImportKey(name), found);
            }
            parent = found.id;
        }
        return enabled(r, found, storedId);
    }

    int enabled(int r, const CategoryEntry& c, int storedId) {
        if (c.enabled || c.id == storedId) return c.id;
        row(r).error(Category, QStringLiteral("[%1]已禁用").arg(c.name));
        return 0;
    }

    // A code or barcode taken by this file: unused by the shop (but for what
    // the goods itself gives up) and by the file's other rows.
    void claim(int r, Col c, const QString& text) {
        const QString k = ImportKey(text);
        const auto file = m_fileCodes.constFind(k);
        if (file != m_fileCodes.constEnd()) {
            row(r).error(c, QStringLiteral("%1 与第%2行的%3重复")
                                .arg(text)
                                .arg(row(*file).line)
                                .arg(row(*file).cell(Code) == text && c == Barcode
                                         ? QStringLiteral("货品编码")
                                         : QStringLiteral("编码或条码")));
            return;
        }
        m_fileCodes.insert(k, r);
        const auto owner = m_shop.owners.constFind(k);
        if (owner != m_shop.owners.constEnd())
            row(r).error(c, QStringLiteral("%1 已被货品 %2 使用").arg(text, *owner));
    }

    void planGoods(const std::vector<int>& rows, Plan& plan) {
        const int first = rows.front();
        const QString code = row(first).cell(Code);
        PlannedGoods g;
        g.row = first;
        g.code = code;
        const auto stored = m_shop.goods.constFind(ImportKey(code));
        if (stored != m_shop.goods.constEnd()) {
            if (m_mode == ImportMode::AddOnly) {
                for (const int r : rows)
                    row(r).error(
                        Code,
                        QStringLiteral("[%1]已存在, 选 新增或更新 时更新该货品").arg(row(r).cell(Code)));
                return;
            }
            g.stored = *stored;
            g.code = stored->code; // the stored spelling stays
            m_fileCodes.insert(ImportKey(code), first);
        } else {
            claim(first, Code, code);
        }
        bool agree = true;
        const HeadCell name = headCell(rows, Name, agree), type = headCell(rows, Category, agree),
                       desc = headCell(rows, Desc, agree), up = headCell(rows, Up, agree),
                       down = headCell(rows, Down, agree), status = headCell(rows, Status, agree),
                       lots = headCell(rows, LotTracked, agree), shelfLife = headCell(rows, ShelfLife, agree);
        g.name = name.value;
        g.desc = desc.value;
        if (g.name.isEmpty())
            row(first).error(Name, QStringLiteral("货品名称不能为空"));
        else if (g.name.size() > kNameLength)
            row(name.row).error(Name, QStringLiteral("超过 %1 个字符").arg(kNameLength));
        if (g.desc.size() > kTextLength)
            row(desc.row).error(Desc, QStringLiteral("超过 %1 个字符").arg(kTextLength));
        if (type.value.isEmpty())
            row(first).error(Category, QStringLiteral("货品类别不能为空"));
        else
            g.categoryId = category(type.row, type.value, g.stored.typeId);
        g.status = status.value.isEmpty() ? QStringLiteral("启用") : status.value;
        if (!QStringList{"启用", "替代", "禁用"}.contains(g.status))
            row(status.row).error(Status, QStringLiteral("[%1]应为 启用、替代 或 禁用").arg(g.status));
        std::optional<bool> tracked;
        if (!flagValue(lots.value, tracked))
            row(lots.row).error(LotTracked, QStringLiteral("[%1]应为 是 或 否").arg(lots.value));
        g.lotTracked = tracked.value_or(false) ? 1 : 0;
        if (const std::optional<int> days = ShelfLifeDays(shelfLife.value))
            g.shelfLife = *days;
        else
            row(shelfLife.row)
                .error(ShelfLife, QStringLiteral("[%1]应为不小于0的整数天数").arg(shelfLife.value));
        const std::optional<double> upValue = up.row < 0 ? 0.0 : number(up.row, Up);
        const std::optional<double> downValue = down.row < 0 ? 0.0 : number(down.row, Down);
        if (upValue && downValue) {
            g.up = *upValue;
            g.down = *downValue;
            const QString limits = CheckStockLimits(g.down, g.up);
            if (!limits.isEmpty()) row(down.row >= 0 ? down.row : first).error(Down, limits);
        }
        QSet<QString> units;
        int defaults = 0;
        for (const int r : rows) {
            PlannedUnit u;
            u.row = r;
            u.unit = row(r).cell(Unit);
            u.barcode = row(r).cell(Barcode);
            if (u.unit.isEmpty()) {
                row(r).error(Unit, QStringLiteral("单位不能为空"));
            } else if (fits(r, Unit, kUnitLength) && units.contains(ImportKey(u.unit))) {
                row(r).error(Unit, QStringLiteral("单位[%1]在同一货品中重复").arg(u.unit));
            }
            units.insert(ImportKey(u.unit));
            if (const std::optional<double> v = number(r, PackQty, 1)) {
                u.packQty = *v;
                if (u.packQty < 1) row(r).error(PackQty, QStringLiteral("内装数不能小于1!"));
            }
            if (const std::optional<double> v = number(r, Weight)) u.weight = *v;
            if (const std::optional<double> v = number(r, InPrice)) u.inPrice = *v;
            if (const std::optional<double> v = number(r, SalePrice)) u.salePrice = *v;
            std::optional<bool> mark;
            if (!flagValue(row(r).cell(Default), mark))
                row(r).error(Default, QStringLiteral("[%1]应为 是 或 否").arg(row(r).cell(Default)));
            if (mark.value_or(false) && ++defaults > 1)
                row(r).error(Default, QStringLiteral("一个货品只能有一个默认单位"));
            u.isDefault = mark.value_or(false);
            g.defaultGiven = g.defaultGiven || u.isDefault;
            for (const StoredUnit& s : g.stored.units)
                if (ImportKey(s.unit) == ImportKey(u.unit)) u.storedId = s.id;
            if (!u.barcode.isEmpty() && fits(r, Barcode, kCodeLength)) claim(r, Barcode, u.barcode);
            g.units.push_back(u);
        }
        // a new goods without a marked unit takes its first
        if (!g.defaultGiven && g.stored.id == 0 && !g.units.empty()) g.units.front().isDefault = true;
        for (const int r : rows)
            if (!row(r).hasError())
                row(r).status = g.stored.id > 0 ? ImportStatus::Update : ImportStatus::New;
        plan.goods.push_back(std::move(g));
    }
};

std::function<RecordSet(const QString&)> outsideWrite() {
    return [](const QString& sql) { return sqlHelper::ExecuteSql(sql); };
}

QString literal(const QVariant& v) {
    return sqlHelper::FormatParamValue(v);
}

// Inserts rows of values in statements of a few hundred rows each.
class Inserter {
public:
    explicit Inserter(QString head) : m_head(std::move(head)) {}
    void add(const QStringList& values) {
        m_rows << "(" + values.join(',') + ")";
        if (m_rows.size() >= 200) flush();
    }
    void flush() {
        if (m_rows.isEmpty()) return;
        sqlHelper::ExecuteInTrans(m_head + " VALUES " + m_rows.join(','));
        m_rows.clear();
    }

private:
    QString m_head;
    QStringList m_rows;
};

} // namespace

std::vector<ImportColumn> GoodsImportColumns() {
    return {
        {QStringLiteral("货品编码"),
         {},
         true,
         true,
         "A0001",
         QStringLiteral("同一编码的各行是同一货品的各个包装单位; 编码和条码在全部货品中不能重复")},
        {QStringLiteral("货品名称"),
         {},
         true,
         true,
         QStringLiteral("矿泉水"),
         QStringLiteral("同一货品的各行须一致, 可只填第一行")},
        {QStringLiteral("货品类别"),
         {},
         true,
         true,
         QStringLiteral("食品饮料/饮料"),
         QStringLiteral("类别名称或以 / 分隔的路径, 没有的类别自动建立; 类别名称在整个类别树中不能重复, "
                        "须为启用的类别")},
        {QStringLiteral("规格"), {QStringLiteral("描述")}, false, true, "550ml", QString()},
        {QStringLiteral("单位"),
         {},
         true,
         true,
         QStringLiteral("瓶"),
         QStringLiteral("包装单位, 同一货品中不能重复")},
        {QStringLiteral("内装数"),
         {},
         false,
         false,
         "1",
         QStringLiteral("一个包装单位含多少最小单位, 不能小于 1, 空为 1")},
        {QStringLiteral("条码"),
         {},
         false,
         true,
         "6901234567892",
         QStringLiteral("可空; 不能与任何货品编码或条码重复")},
        {QStringLiteral("进价"), {QStringLiteral("进货价")}, false, false, "1.2", QString()},
        {QStringLiteral("销售价"), {QStringLiteral("售价")}, false, false, "2", QString()},
        {QStringLiteral("重量"), {}, false, false, "0.55", QString()},
        {QStringLiteral("默认单位"),
         {},
         false,
         true,
         QStringLiteral("是"),
         QStringLiteral("是 或 否; 每个货品一个默认单位, 新货品都不填时第一行的单位为默认单位")},
        {QStringLiteral("库存上限"), {}, false, false, "100", QString()},
        {QStringLiteral("库存下限"), {}, false, false, "10", QStringLiteral("不能大于库存上限")},
        {QStringLiteral("状态"),
         {},
         false,
         true,
         QStringLiteral("启用"),
         QStringLiteral("启用、替代 或 禁用, 空为 启用")},
        {QStringLiteral("批次管理"),
         {},
         false,
         true,
         QStringLiteral("否"),
         QStringLiteral("是 或 否, 空为 否; 按批次管理的货品入库时须填批次号和有效期")},
        {QStringLiteral("保质期天数"), {}, false, false, "180", QStringLiteral("不小于0的整数, 空或0为不限")},
    };
}

void CheckGoodsImport(ImportSheet& sheet, ImportMode mode) {
    Shop shop = readShop(outsideWrite());
    Checker(sheet, mode, shop).run();
}

ImportOutcome WriteGoodsImport(ImportSheet& sheet, ImportMode mode, const QString& user,
                               const ImportProgress& progress) {
    return WriteChecked(sheet, [&](ImportSheet& again, ImportOutcome& outcome) {
        sqlHelper::LockInTrans(QStringList{"tb_goods_head", "tb_goods_detail", "tb_dictionary"});
        Shop shop = readShop([](const QString& sql) { return sqlHelper::QueryInTrans(sql); });
        Plan plan = Checker(again, mode, shop).run();
        RefuseWrong(again);
        const QString now = FormatNow("yyyy-MM-dd hh:mm:ss");
        // the categories first, parents before children
        QHash<int, int> categoryId;
        int nextCategory = sqlHelper::MaxIdInTrans("tb_dictionary");
        for (const CategoryEntry& c : plan.newCategories) {
            categoryId.insert(c.id, ++nextCategory);
            const int parent = c.parentId < 0 ? categoryId.value(c.parentId) : c.parentId;
            if (nextCategory > 32767)
                throw DbError(QStringLiteral("类别编号已超过 32767, 无法建立类别[%1]").arg(c.name));
            sqlHelper::ExecuteInTrans(
                QStringLiteral("INSERT INTO tb_dictionary (id, utype, uname, parentId, orderBy, "
                               "remark, isstart, isSystemSet) VALUES (%1, 'goodsType', %2, %3, 0, "
                               "'', 1, 0)")
                    .arg(nextCategory)
                    .arg(literal(c.name))
                    .arg(parent));
        }
        int nextGoods = sqlHelper::MaxIdInTrans("tb_goods_head");
        int nextUnit = sqlHelper::MaxIdInTrans("tb_goods_detail");
        Inserter heads(
            "INSERT INTO tb_goods_head (id, goodsTypeId, goodsCode, goodsName, goodsDesc, pinyin, upqty, "
            "downqty, lotTracked, shelfLifeDays, status, imageUrl, creator, createTime, updateLastUser, "
            "updateLastTime)");
        Inserter units(
            "INSERT INTO tb_goods_detail (id, headId, isDefault, rowNo, goodsDetailCode, unit, packQty, "
            "weight, inPrice, salePrice)");
        const int total = int(plan.goods.size());
        int written = 0;
        for (PlannedGoods& g : plan.goods) {
            const int typeId = g.categoryId < 0 ? categoryId.value(g.categoryId) : g.categoryId;
            const QString pinyin = GetPinyinInitials(g.name);
            int headId = g.stored.id;
            if (headId == 0) {
                headId = ++nextGoods;
                heads.add({QString::number(headId), QString::number(typeId), literal(g.code), literal(g.name),
                           literal(g.desc), literal(pinyin), literal(g.up), literal(g.down),
                           QString::number(g.lotTracked), QString::number(g.shelfLife), literal(g.status),
                           "''", literal(user), literal(now), literal(user), literal(now)});
                ++outcome.added;
            } else {
                QStringList sets{"goodsName = " + literal(g.name), "pinyin = " + literal(pinyin),
                                 "goodsTypeId = " + QString::number(typeId),
                                 "updateLastUser = " + literal(user), "updateLastTime = " + literal(now)};
                // a column the file leaves out keeps what is stored
                if (sheet.present[Desc]) sets << "goodsDesc = " + literal(g.desc);
                if (sheet.present[Up]) sets << "upqty = " + literal(g.up);
                if (sheet.present[Down]) sets << "downqty = " + literal(g.down);
                if (sheet.present[Status]) sets << "status = " + literal(g.status);
                if (sheet.present[LotTracked]) sets << "lotTracked = " + QString::number(g.lotTracked);
                if (sheet.present[ShelfLife]) sets << "shelfLifeDays = " + QString::number(g.shelfLife);
                sqlHelper::ExecuteInTrans("UPDATE tb_goods_head SET " + sets.join(", ") +
                                          " WHERE id = " + QString::number(headId));
                ++outcome.updated;
            }
            int rowNo = 0;
            for (const StoredUnit& s : g.stored.units)
                rowNo = std::max(rowNo, s.rowNo);
            for (const PlannedUnit& u : g.units) {
                if (u.storedId == 0) {
                    units.add({QString::number(++nextUnit), QString::number(headId), u.isDefault ? "1" : "0",
                               QString::number(++rowNo), literal(u.barcode), literal(u.unit),
                               literal(u.packQty), literal(u.weight), literal(u.inPrice),
                               literal(u.salePrice)});
                } else {
                    QStringList sets{"unit = " + literal(u.unit)};
                    if (sheet.present[Barcode]) sets << "goodsDetailCode = " + literal(u.barcode);
                    if (sheet.present[PackQty]) sets << "packQty = " + literal(u.packQty);
                    if (sheet.present[Weight]) sets << "weight = " + literal(u.weight);
                    if (sheet.present[InPrice]) sets << "inPrice = " + literal(u.inPrice);
                    if (sheet.present[SalePrice]) sets << "salePrice = " + literal(u.salePrice);
                    sqlHelper::ExecuteInTrans("UPDATE tb_goods_detail SET " + sets.join(", ") +
                                              " WHERE id = " + QString::number(u.storedId));
                }
                ++outcome.units;
            }
            // a unit marked default in the file becomes the goods' only one
            if (g.stored.id > 0 && g.defaultGiven) {
                units.flush();
                for (const PlannedUnit& u : g.units)
                    if (u.isDefault)
                        sqlHelper::ExecuteInTrans(
                            QStringLiteral(
                                "UPDATE tb_goods_detail SET isDefault = iif(%1, 1, 0) WHERE headId = %2")
                                .arg(u.storedId > 0 ? "id = " + QString::number(u.storedId)
                                                    : "unit = " + literal(u.unit))
                                .arg(headId));
            }
            outcome.ids.push_back(headId);
            if (++written % 200 == 0) TellProgress(progress, written, total);
        }
        heads.flush();
        units.flush();
        TellProgress(progress, total, total);
    });
}

std::vector<QStringList> GoodsImportRows(const ConditionSet& listConditions) {
    // a category is found again by its name alone: names are unique in the tree
    const RecordSet rs = sqlHelper::ExecuteSql(
        "SELECT h.goodsCode, h.goodsName, t.uname, h.goodsDesc, "
        "d.unit, d.packQty, d.goodsDetailCode, d.inPrice, "
        "d.salePrice, d.weight, d.isDefault, h.upqty, h.downqty, "
        "h.status, h.lotTracked, h.shelfLifeDays FROM (tb_goods_detail AS "
        "d INNER JOIN "
        "tb_goods_head AS h ON h.id = d.headId) LEFT JOIN "
        "tb_dictionary AS t ON t.id = h.goodsTypeId WHERE h.id IN "
        "(SELECT id FROM v_goods_head WHERE 1=1 " +
        GetConditionSql(listConditions) + ") ORDER BY h.goodsCode, h.id, d.rowNo, d.id");
    std::vector<QStringList> rows;
    rows.reserve(rs.RecordCount());
    for (int r = 0; r < rs.RecordCount(); ++r) {
        QStringList row;
        for (int c = 0; c <= ShelfLife; ++c)
            row << acc::valueText(rs.at(r, c));
        row[Default] = rs.at(r, Default).toInt() == 1 ? QStringLiteral("是") : QStringLiteral("否");
        row[LotTracked] = rs.at(r, LotTracked).toInt() == 1 ? QStringLiteral("是") : QStringLiteral("否");
        if (rs.at(r, ShelfLife).toInt() == 0) row[ShelfLife].clear(); // none, as the goods window shows it
        rows.push_back(row);
    }
    return rows;
}
