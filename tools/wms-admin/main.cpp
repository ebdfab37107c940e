#include "admin.h"

#include "data/appenv.h"
#include "data/applog.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    SetUpProgramNames();
    AppLog::Start("wms-admin");
    QTextStream out(stdout);
    QTextStream err(stderr);
    const int rc = RunAdmin(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return rc;
}
