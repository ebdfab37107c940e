#include "kxlog.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <csignal>
#include <cstring>
#include <unistd.h>
#if __has_include(<execinfo.h>)
#include <execinfo.h>
#define KX_HAVE_BACKTRACE 1
#endif

namespace kx {

namespace {

constexpr qint64 kMaxBytes = 1024 * 1024;
constexpr int kKeep = 3;
QMutex g_mutex;
QFile* g_file = nullptr;
int g_crashFd = -1;
QtMessageHandler g_previous = nullptr;

void rotate(const QString& file) {
    QFile::remove(file + "." + QString::number(kKeep));
    for (int i = kKeep - 1; i >= 1; --i)
        QFile::rename(file + "." + QString::number(i), file + "." + QString::number(i + 1));
    QFile::rename(file, file + ".1");
}

void open(const QString& path) {
    auto* f = new QFile(path);
    if (f->open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text)) {
        g_file = f;
        g_crashFd = f->handle();
    } else {
        delete f;
    }
}

void handler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    static const char* const names[] = {"debug", "warning", "critical", "fatal", "info"};
    {
        QMutexLocker lock(&g_mutex);
        if (g_file) {
            const QByteArray line = QDateTime::currentDateTime().toString("yyyy-MM-dd HH:mm:ss.zzz ").toUtf8() +
                                    names[type] + " kxPrint: " + message.toUtf8() + '\n';
            if (g_file->size() > 0 && g_file->size() + line.size() > kMaxBytes) {
                const QString path = g_file->fileName();
                g_crashFd = -1;
                delete g_file;
                g_file = nullptr;
                rotate(path);
                open(path);
            }
            if (g_file) {
                g_file->write(line);
                g_file->flush();
            }
        }
    }
    if (type != QtDebugMsg && type != QtInfoMsg && g_previous) g_previous(type, context, message);
}

extern "C" void onCrash(int sig) {
    const int out = g_crashFd >= 0 ? g_crashFd : STDERR_FILENO;
    const char* text = sig == SIGSEGV ? "*** crash: SIGSEGV, backtrace:\n" : "*** crash: SIGABRT, backtrace:\n";
    [[maybe_unused]] const ssize_t n = ::write(out, text, std::strlen(text));
#ifdef KX_HAVE_BACKTRACE
    void* frames[64];
    backtrace_symbols_fd(frames, backtrace(frames, 64), out);
#endif
    std::signal(sig, SIG_DFL);
    std::raise(sig);
}

} // namespace

void StartLog(const QString& file) {
    QDir().mkpath(QFileInfo(file).absolutePath());
    if (QFileInfo(file).size() > kMaxBytes) rotate(file);
    open(file);
#ifdef KX_HAVE_BACKTRACE
    void* warm[1];
    backtrace(warm, 1);
#endif
    std::signal(SIGSEGV, onCrash);
    std::signal(SIGABRT, onCrash);
    g_previous = qInstallMessageHandler(handler);
}

} // namespace kx
