// The month calendar on a file of 100,000 events, 2,000 of them in the month
// shown: the month's counts and importance lists, and the whole redraw.
#include "datagen.h"

#include "access/sysvars.h"
#include "access/user.h"
#include "calendar/calendarview.h"
#include "calendar/events.h"
#include "data/appenv.h"
#include "data/database.h"
#include "data/sqlhelper.h"
#include "ui/application.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

void BM_MonthEvents(benchmark::State& state) {
    int days = 0;
    for (auto _ : state)
        days = MonthEvents(2012, 8).size();
    state.counters["days"] = days;
}
BENCHMARK(BM_MonthEvents)->Unit(benchmark::kMillisecond);

void BM_CalendarRedraw(benchmark::State& state) {
    CalendarView view;
    view.resize(900, 600);
    for (auto _ : state) {
        view.ShowMonth(2012, 8);
        benchmark::DoNotOptimize(view.pictureOf(15));
    }
}
BENCHMARK(BM_CalendarRedraw)->Unit(benchmark::kMillisecond);

void fill(int total, int inMonth) {
    Database& db = Database::instance();
    db.execute("BEGIN");
    const QStringList flags = kImportances;
    for (int i = 1; i <= total; ++i) {
        QDateTime when;
        if (i <= inMonth) {
            when = QDateTime(QDate(2012, 8, 1 + i % 31), QTime(8 + i % 10, i % 60));
        } else { // the others over ten years around it, never in August 2012
            when = QDateTime(QDate(2007, 1, 1).addDays(i % 3650), QTime(9, 0));
            if (when.date().year() == 2012 && when.date().month() == 8) when = when.addMonths(1);
        }
        db.execute(
            QString("INSERT INTO tb_events (id, eventContent, createTime, createUserId, flgType, isStart) "
                    "VALUES (%1, '事项%1', '%2', 1, '%3', 1)")
                .arg(i)
                .arg(EventTimeText(when), flags[i % 3]));
    }
    db.execute("COMMIT");
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    WmsApplication app(argc, argv);
    QTemporaryDir dir;
    GenSize size;
    size.goods = 10;
    size.bills = 10;
    size.lines = 1;
    GenerateData(dir.path() + "/wms.mdb", size);
    SetAppPath(dir.path());
    CurrentUser() = dal_user().GetModelForPw("admin", "888");
    InitSysVar();
    sqlHelper::ExecuteNonQuery("delete from tb_events");
    fill(100000, 2000);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
