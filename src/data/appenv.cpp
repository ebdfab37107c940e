#include "appenv.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <optional>

namespace {
QString g_appPath;
std::optional<Layout> g_layout;
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
    g_layout.reset();
}

void SetUpProgramNames() {
    QCoreApplication::setOrganizationName(kPackageName);
}

Layout CurrentLayout() {
    if (!g_layout) {
        const QString app = AppPath();
        const bool portable = QFileInfo::exists(app + "portable") || QFileInfo::exists(app + "linkDB.ini") ||
                              QFileInfo::exists(app + "wms.mdb");
        g_layout = portable ? Layout::ProgramFolder : Layout::Installed;
    }
    return *g_layout;
}

namespace {

// <base>/wms/, made when missing.
QString packageFolder(const QString& base) {
    const QString folder = withSlash(withSlash(base) + kPackageName);
    QDir().mkpath(folder);
    return folder;
}

} // namespace

QString ConfigFile() {
    if (CurrentLayout() == Layout::ProgramFolder) return AppPath() + "linkDB.ini";
    const QString own =
        withSlash(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)) + kPackageName +
        "/linkDB.ini";
    if (QFileInfo::exists(own)) return own;
    const QString site = QStringLiteral("/etc/%1/linkDB.ini").arg(kPackageName);
    if (QFileInfo::exists(site)) return site;
    return own;
}

QString DataFolder() {
    if (CurrentLayout() == Layout::ProgramFolder) return AppPath();
    return packageFolder(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
}

QString CacheFolder() {
    if (CurrentLayout() == Layout::ProgramFolder) return AppPath();
    return packageFolder(QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation));
}

QString LogFolder() {
    if (CurrentLayout() == Layout::ProgramFolder) return AppPath();
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty() || QDir::isRelativePath(state)) state = QDir::homePath() + "/.local/state";
    return packageFolder(state);
}

QString ShareFolder() {
    return withSlash(QDir::cleanPath(AppPath() + "../share/" + kPackageName));
}

QStringList TemplateFolders() {
    if (CurrentLayout() == Layout::ProgramFolder) return {AppPath() + "kxPrint/templeteXml/"};
    return {DataFolder() + "kxPrint/templeteXml/", ShareFolder() + "kxPrint/templeteXml/"};
}

QString TemplateFile(const QString& name) {
    const QStringList folders = TemplateFolders();
    for (const QString& folder : folders)
        if (QFileInfo::exists(folder + name)) return folder + name;
    return folders.back() + name;
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
