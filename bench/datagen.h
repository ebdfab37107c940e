#pragma once
#include <QString>

struct GenSize {
    int goods = 1000;
    int bills = 10000; // half stock-in, half stock-out
    int lines = 10;    // lines per bill
};

// Creates (or overwrites) a database file and fills it with synthetic data:
// goods with two packaging units, locations, partners, three accounts, and
// stock-in and stock-out bills of several months, approved and not.
// Returns the seconds it took.
double GenerateData(const QString& file, const GenSize& size);
