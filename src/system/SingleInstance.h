#pragma once
// One running instance per user: a lock file in the per-user runtime folder.
// A lock left behind by a crashed instance is taken over.

#include <QString>
#include <memory>

class QLockFile;

// The per-user folder of the lock and of what the running instance publishes:
// $XDG_RUNTIME_DIR, else "tastaro-<uid>" in the temporary folder, made with
// mode 0700. Empty when it is not a real folder of this user closed to
// everyone else; the program then does without what lives there.
QString InstanceRuntimeFolder();

class TSingleInstance {
public:
    explicit TSingleInstance(const QString& AName);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;
    // Whether this instance holds the lock.
    bool IsFirst() const { return FFirstS; }
    // Whether another living instance holds it. A lock that cannot be taken
    // for any other reason (no usable runtime folder, a full disk) is
    // neither: the program then runs without the hand-off.
    bool AnotherRuns() const { return FAnotherS; }
    QString LockPath() const { return FPath; }

private:
    std::unique_ptr<QLockFile> FLock;
    QString FPath;
    bool FFirstS = false;
    bool FAnotherS = false;
};
