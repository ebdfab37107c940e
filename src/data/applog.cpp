#include "applog.h"

#include "appenv.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QRegularExpression>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#if __has_include(<execinfo.h>)
#include <execinfo.h>
#define WMS_HAVE_BACKTRACE 1
#endif

Q_LOGGING_CATEGORY(lcData, "wms.data", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcSchema, "wms.schema", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcAccess, "wms.access", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcMaster, "wms.master", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcBills, "wms.bills", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcOutput, "wms.output", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcApp, "wms.app", QtCriticalMsg)
Q_LOGGING_CATEGORY(lcAdmin, "wms.admin", QtCriticalMsg)

namespace AppLog {

namespace {

QMutex g_mutex;
QFile* g_file = nullptr;
qint64 g_maxBytes = kMaxBytes;
QtMessageHandler g_previous = nullptr;
std::atomic<int> g_crashFd{-1}; // what the crash handler writes to

const char* levelName(QtMsgType type) {
    switch (type) {
    case QtDebugMsg: return "debug";
    case QtInfoMsg: return "info";
    case QtWarningMsg: return "warning";
    case QtCriticalMsg: return "critical";
    case QtFatalMsg: return "fatal";
    }
    return "?";
}

bool openFile(const QString& path) {
    auto* f = new QFile(path);
    if (!f->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        delete f;
        g_crashFd = -1;
        return false;
    }
    g_file = f;
    g_crashFd = f->handle();
    return true;
}

void closeFile() {
    g_crashFd = -1;
    delete g_file;
    g_file = nullptr;
}

void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    {
        QMutexLocker lock(&g_mutex);
        if (g_file) {
            const QByteArray line = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz ").toUtf8() +
                                    levelName(type) + ' ' + (context.category ? context.category : "default") +
                                    ": " + message.toUtf8() + '\n';
            if (g_file->size() > 0 && g_file->size() + line.size() > g_maxBytes) {
                const QString path = g_file->fileName();
                closeFile();
                Rotate(path);
                openFile(path);
            }
            if (g_file) {
                g_file->write(line);
                g_file->flush();
            }
        }
    }
    // standard error keeps what it showed before: Qt's warnings and worse; the
    // program's own categories go to the file only (its callers tell the user)
    const bool own = context.category && qstrncmp(context.category, "wms.", 4) == 0;
    if (type != QtDebugMsg && type != QtInfoMsg && !own && g_previous) g_previous(type, context, message);
}

void writeAll(int fd, const char* text) {
    size_t left = std::strlen(text);
    while (left > 0) {
        const ssize_t n = ::write(fd, text, left);
        if (n <= 0) return;
        text += n;
        left -= size_t(n);
    }
}

extern "C" void onCrash(int sig) {
    const int fd = g_crashFd.load();
    const int out = fd >= 0 ? fd : STDERR_FILENO;
    writeAll(out, sig == SIGSEGV ? "*** crash: SIGSEGV, backtrace:\n" : "*** crash: SIGABRT, backtrace:\n");
#ifdef WMS_HAVE_BACKTRACE
    void* frames[64];
    const int n = backtrace(frames, 64);
    backtrace_symbols_fd(frames, n, out);
#endif
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

void Rotate(const QString& file, int keep) {
    QFile::remove(file + "." + QString::number(keep));
    for (int i = keep - 1; i >= 1; --i)
        QFile::rename(file + "." + QString::number(i), file + "." + QString::number(i + 1));
    if (keep >= 1) QFile::rename(file, file + ".1");
    else QFile::remove(file);
}

void Start(const QString& name, qint64 maxBytes) {
    Stop();
    {
        QMutexLocker lock(&g_mutex);
        g_maxBytes = maxBytes;
        const QString path = LogFolder() + name + ".log";
        QDir().mkpath(LogFolder());
        if (QFileInfo(path).size() > maxBytes) Rotate(path);
        openFile(path);
    }
#ifdef WMS_HAVE_BACKTRACE
    void* warm[1];
    backtrace(warm, 1); // loads what backtrace needs now, not inside the signal handler
#endif
    std::signal(SIGSEGV, onCrash);
    std::signal(SIGABRT, onCrash);
    g_previous = qInstallMessageHandler(handler);
    // the program's own categories speak only into the file
    QLoggingCategory::setFilterRules(QStringLiteral("wms.*.info=true\nwms.*.warning=true"));
}

void Stop() {
    if (g_previous) {
        qInstallMessageHandler(g_previous);
        g_previous = nullptr;
        QLoggingCategory::setFilterRules(QString());
    }
    QMutexLocker lock(&g_mutex);
    closeFile();
}

QString File() {
    QMutexLocker lock(&g_mutex);
    return g_file ? g_file->fileName() : QString();
}

namespace {
thread_local const StatementNote* t_note = nullptr;

QString shownValue(const QVariant& v) {
    if (v.userType() == qMetaTypeId<SqlRaw>()) return v.value<SqlRaw>().text;
    if (v.userType() == qMetaTypeId<SqlContains>()) return '%' + v.value<SqlContains>().text + '%';
    if (!v.isValid() || v.isNull()) return QStringLiteral("Null");
    return v.toString();
}
} // namespace

StatementNote::StatementNote(const QString& sql, const SqlParams* params)
    : m_outer(t_note), m_sql(sql), m_params(params) {
    t_note = this;
}

StatementNote::~StatementNote() {
    t_note = m_outer;
}

QString StatementNote::text() const {
    if (!m_params || m_params->empty()) return m_sql;
    QStringList parts;
    for (const auto& [name, value] : *m_params) {
        const bool secret = name.contains(QLatin1String("pw"), Qt::CaseInsensitive) ||
                            name.contains(QLatin1String("pass"), Qt::CaseInsensitive);
        parts << name + '=' + (secret ? QStringLiteral("***") : shownValue(value));
    }
    return m_sql + QStringLiteral(" | parameters: ") + parts.join(QStringLiteral(", "));
}

void EngineError(const QString& engineStatement, const QString& message) {
    const QString statement = t_note ? t_note->text() : engineStatement;
    constexpr int kLongest = 4000;
    qCWarning(lcData).noquote() << "engine error:" << message << "| statement:"
                                << (statement.size() > kLongest ? statement.left(kLongest) + "..." : statement);
}

QString WithoutPassword(const QString& conninfo) {
    static const QRegularExpression keyValue(
        QStringLiteral(R"((password\s*=\s*)('(?:[^'\\]|\\.)*'|[^\s]+))"),
        QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression uri(QStringLiteral(R"((postgres(?:ql)?://[^:/@\s]*):[^@\s]*@)"),
                                        QRegularExpression::CaseInsensitiveOption);
    QString text = conninfo;
    text.replace(keyValue, QStringLiteral("\\1***"));
    text.replace(uri, QStringLiteral("\\1:***@"));
    return text;
}

} // namespace AppLog
