#include "SingleInstance.h"

#include "SystemServices.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QLockFile>
#include <QSysInfo>

#include <cerrno>
#include <csignal>
#include <sys/stat.h>
#include <unistd.h>

QString InstanceRuntimeFolder() {
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!QDir::isAbsolutePath(folder)) {
        QString temp = GetTempFolder();
        if (temp.isEmpty()) temp = QDir::tempPath() + QLatin1Char('/');
        folder = temp + QStringLiteral("tastaro-%1").arg(geteuid());
    }
    // In a shared folder another user may have made the name first: only a
    // real folder of this user that no one else can enter is taken.
    const QByteArray pfad = QFile::encodeName(folder);
    if (::mkdir(pfad.constData(), 0700) != 0 && errno != EEXIST) return QString();
    struct stat st {};
    if (::lstat(pfad.constData(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != geteuid() ||
        (st.st_mode & 077) != 0)
        return QString();
    return folder;
}

namespace {

// A lock file whose writer is gone. QLockFile already takes over a lock of a
// dead process itself; it never does so for a lock file it cannot read (left
// empty by a crash or a full disk), which would keep the program from ever
// starting again. A few seconds of age tell such a file from one that is
// being written right now.
bool IsStale(QLockFile& ALock, const QString& APath) {
    qint64 pid = 0;
    QString host;
    QString application;
    if (!ALock.getLockInfo(&pid, &host, &application)) {
        const QFileInfo info(APath);
        return info.exists() && info.lastModified().secsTo(QDateTime::currentDateTime()) > 5;
    }
    if (pid <= 0) return true;
    if (!host.isEmpty() && host != QSysInfo::machineHostName()) return false;
    return ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

TSingleInstance::TSingleInstance(const QString& AName) {
    const QString folder = InstanceRuntimeFolder();
    if (folder.isEmpty()) return;
    FPath = folder + QLatin1Char('/') + AName + QStringLiteral(".lock");
    FLock = std::make_unique<QLockFile>(FPath);
    // Age never makes the lock stale: a long-running instance stays the one.
    FLock->setStaleLockTime(0);
    FFirstS = FLock->tryLock(0);
    if (!FFirstS && FLock->error() == QLockFile::LockFailedError && IsStale(*FLock, FPath)) {
        FLock->removeStaleLockFile();
        FFirstS = FLock->tryLock(0);
    }
    FAnotherS = !FFirstS && FLock->error() == QLockFile::LockFailedError;
}

TSingleInstance::~TSingleInstance() = default;
