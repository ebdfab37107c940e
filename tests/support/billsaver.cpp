// A second program for the tests of saving from several programs at once:
// saves COUNT stock-in bills of LINES lines each into the database FILE (or
// the server that a libpq connection string names).
#include "bills/bill.h"
#include "data/sqlhelper.h"
#include "schema/dbsetup.h"
#include "schema/migrations.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        std::fprintf(stderr, "usage: billsaver FILE COUNT LINES [APPROVE_EVERY]\n");
        return 2;
    }
    InstallMigrations();
    if (args[1].contains('='))
        sqlHelper::SetServer(args[1]);
    else
        sqlHelper::SetDatabaseFile(args[1]);
    const int count = args[2].toInt(), lineCount = args[3].toInt();
    const int approveEvery = args.size() > 4 ? args[4].toInt() : 0;
    dal_rk_head dal;
    int failures = 0;
    for (int i = 0; i < count; ++i) {
        m_rk_head h;
        h.accountId = 2;
        h.supplierId = 1 + i % 5;
        h.supplierName = "供应商";
        h.createTime = QStringLiteral("2026-%1-15").arg(10 + i % 3);
        h.ispass = approveEvery > 0 && i % approveEvery == 0 ? 1 : 0;
        rk_LineSet lines;
        for (int k = 0; k < lineCount; ++k) {
            m_rk_detail d;
            d.goodsId = 1 + (i + k) % 20;
            d.goodsCode = QStringLiteral("G%1").arg(d.goodsId);
            d.rowNo = k + 1;
            d.qty = 1 + k;
            d.packQty = 6;
            d.weight = 0.25;
            lines.AddItem(LineKey(kStockIn, k + 1), d);
        }
        const m_DBresult r = dal.Add(h, lines);
        if (!r.isResult) {
            ++failures;
            std::fprintf(stderr, "failed: %s\n", qPrintable(r.str_MsgBox));
        }
    }
    std::printf("saved %d, failed %d\n", count - failures, failures);
    return failures ? 1 : 0;
}
