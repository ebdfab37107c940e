#pragma once
// The administrator's command line run from a test, its output kept.
#include "admin.h"

#include <QStringList>
#include <QTextStream>

struct AdminRun {
    QString out, err;
    int run(const QStringList& args) {
        out.clear();
        err.clear();
        QTextStream o(&out), e(&err);
        const int rc = RunAdmin(args, o, e);
        o.flush();
        e.flush();
        return rc;
    }
};
