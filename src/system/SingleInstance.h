#pragma once
// One running instance per user: a lock file in the per-user runtime folder.
// A lock left behind by a crashed instance is taken over.

#include <QString>
#include <memory>

class QLockFile;

// The per-user folder of the lock and of what the running instance publishes.
QString InstanceRuntimeFolder();

class TSingleInstance {
public:
    explicit TSingleInstance(const QString& AName);
    ~TSingleInstance();
    TSingleInstance(const TSingleInstance&) = delete;
    TSingleInstance& operator=(const TSingleInstance&) = delete;
    // False when another living instance holds the lock.
    bool IsFirst() const { return FFirstS; }
    QString LockPath() const { return FPath; }

private:
    std::unique_ptr<QLockFile> FLock;
    QString FPath;
    bool FFirstS = false;
};
