// wms-datagen: fills a database with synthetic data for the benchmarks.
#include "datagen.h"

#include "data/dberror.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    GenSize size;
    QString file = "bench.mdb";
    for (int i = 1; i + 1 < args.size(); i += 2) {
        const QString k = args[i], v = args[i + 1];
        if (k == "--db")
            file = v;
        else if (k == "--goods")
            size.goods = v.toInt();
        else if (k == "--bills")
            size.bills = v.toInt();
        else if (k == "--lines")
            size.lines = v.toInt();
        else {
            std::fprintf(stderr, "usage: wms-datagen [--db FILE] [--goods N] [--bills M] [--lines K]\n");
            return 2;
        }
    }
    try {
        const double s = GenerateData(file, size);
        std::printf("%s: %d goods, %d bills (half stock-in, half stock-out) of %d lines in %.1f s\n",
                    qPrintable(file), size.goods, size.bills, size.lines, s);
    } catch (const DbError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.message()));
        return 1;
    }
    return 0;
}
