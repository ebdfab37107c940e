#include "singleinstance.h"

#include "data/appenv.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLockFile>
#include <memory>

namespace {
QString g_lockPath;
std::unique_ptr<QLockFile> g_lock;
} // namespace

QString InstanceLockPath() {
    if (!g_lockPath.isEmpty()) return g_lockPath;
    const QByteArray id =
        QCryptographicHash::hash(DataFolder().toUtf8(), QCryptographicHash::Sha1).toHex().left(12);
    return QDir::temp().filePath("wms-" + QString::fromLatin1(id) + ".lock");
}

void SetInstanceLockPath(const QString& path) {
    g_lock.reset();
    g_lockPath = path;
}

bool AnotherInstanceRunning() {
    if (g_lock) return false; // this process holds the lock already
    auto lock = std::make_unique<QLockFile>(InstanceLockPath());
    lock->setStaleLockTime(0);
    if (!lock->tryLock(0)) return true;
    g_lock = std::move(lock);
    return false;
}
