#pragma once
#include <QString>

struct GenSize {
    int goods = 1000;
    int bills = 10000; // half stock-in, half stock-out
    int lines = 10;    // lines per bill
};

// Creates (or overwrites) a database file and fills it with synthetic data:
// goods with two packaging units, locations, partners, three accounts, and
// stock-in and stock-out bills of several months, approved and not, and a
// transfer between locations (of as many lines as a bill) for every ten bills.
// Returns the seconds it took.
double GenerateData(const QString& file, const GenSize& size);

// The benchmarks' shop: 5,000 goods and WMS_BENCH_BILLS bills (100,000 when
// unset) of 10 lines generated into the folder, the program pointed at it and
// the administrator logged in. With WMS_BENCH_SERVER (a libpq connection
// string without a database name) the shop is copied to the server's
// database wms_bench_<goods>_<bills>, kept for the next run (the data come
// out the same every time), and the program works on the server. With
// WMS_BENCH_DB (a shop file made before with wms-datagen) that file is used
// instead of a generated one; the benchmarks that save write into it.
void OpenLargeShop(const QString& folder, int goods = 5000, int bills = 0);
