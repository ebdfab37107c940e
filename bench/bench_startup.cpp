// Start-up to a shown login form on the demo database: the application
// object, the first database access (system variables and grants), the main
// window and the login form.
#include "access/frmlogin.h"
#include "access/sysvars.h"
#include "app/appwindows.h"
#include "app/frm_main.h"
#include "data/appenv.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "schema/dbsetup.h"
#include "ui/application.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <cstdio>

namespace {

QTemporaryDir* g_dir = nullptr;

void startToLogin() {
    InitSysVar();
    frm_Main main;
    main.Initialize();
    main.show();
    FrmLogin login(&main);
    login.show();
    QApplication::processEvents();
    benchmark::DoNotOptimize(login.isVisible());
}

void BM_StartToLogin(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        sqlHelper::CloseConn();
        Database::instance().close(); // every start opens the file afresh
        state.ResumeTiming();
        startToLogin();
    }
}
BENCHMARK(BM_StartToLogin)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    QElapsedTimer clock;
    clock.start();
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    RegisterWindows();
    QTemporaryDir dir;
    g_dir = &dir;
    SetAppPath(dir.path());
    CreateDatabase(dir.path() + "/wms.mdb", true, false);
    Database::instance().close();
    const qint64 setup = clock.elapsed();
    QElapsedTimer first;
    first.start();
    startToLogin();
    std::printf(
        "first start to a shown login form: %lld ms (plus %lld ms for the application object and the demo "
        "database)\n",
        static_cast<long long>(first.elapsed()), static_cast<long long>(setup));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
