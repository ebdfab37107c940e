#include "appenv.h"

#include <QCoreApplication>
#include <QDir>

namespace {
QString g_appPath;
std::function<void(int, const QString&)> g_endHandler;
std::function<void()> g_beepHandler;

QString withSlash(QString folder) {
    folder.replace('\\', '/');
    if (!folder.endsWith('/')) folder += '/';
    return folder;
}
} // namespace

QString AppPath() {
    if (g_appPath.isEmpty()) {
        const QString dir =
            QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
        g_appPath = withSlash(dir);
    }
    return g_appPath;
}

void SetAppPath(const QString& folder) {
    g_appPath = folder.isEmpty() ? QString() : withSlash(folder);
}

void EndProgram(int exitCode, const QString& reason) {
    if (g_endHandler) g_endHandler(exitCode, reason);
}

void SetEndProgramHandler(std::function<void(int, const QString&)> handler) {
    g_endHandler = std::move(handler);
}

void Beep() {
    if (g_beepHandler) g_beepHandler();
}

void SetBeepHandler(std::function<void()> handler) {
    g_beepHandler = std::move(handler);
}
