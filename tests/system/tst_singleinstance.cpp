#include "SingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <unistd.h>

namespace {

// Child mode: take the lock, report, and stay until killed.
int HalteSperre(const QString& AName) {
    TSingleInstance instance(AName);
    std::printf("%d\n", instance.IsFirst() ? 1 : 0);
    std::fflush(stdout);
    QThread::sleep(120);
    return 0;
}

} // namespace

class TstSingleInstance : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init() {
        QVERIFY(FRuntime.isValid());
        qputenv("XDG_RUNTIME_DIR", FRuntime.path().toUtf8());
    }
    void secondInstanceInSameProcess();
    void lockInRuntimeFolder();
    void fallbackWithoutRuntimeFolder();
    void livingHolderKeepsLock_andDeadHolderIsTakenOver();
    void unreadableLockFile_data();
    void unreadableLockFile();

private:
    QTemporaryDir FRuntime;
};

void TstSingleInstance::secondInstanceInSameProcess() {
    {
        TSingleInstance first(QStringLiteral("gleich"));
        QVERIFY(first.IsFirst());
        TSingleInstance second(QStringLiteral("gleich"));
        QVERIFY(!second.IsFirst());
    }
    TSingleInstance again(QStringLiteral("gleich"));
    QVERIFY(again.IsFirst()); // released with its owner
}

void TstSingleInstance::lockInRuntimeFolder() {
    TSingleInstance instance(QStringLiteral("Tastaro"));
    QCOMPARE(instance.LockPath(), FRuntime.path() + QStringLiteral("/Tastaro.lock"));
    QVERIFY(QFile::exists(instance.LockPath()));
}

void TstSingleInstance::fallbackWithoutRuntimeFolder() {
    QTemporaryDir temp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", temp.path().toUtf8());
    {
        TSingleInstance instance(QStringLiteral("Tastaro"));
        QVERIFY(instance.IsFirst());
        QCOMPARE(instance.LockPath(),
                 temp.path() + QStringLiteral("/tastaro-%1/Tastaro.lock").arg(QString::number(getuid())));
    }
    if (savedTmp.isEmpty())
        qunsetenv("TMPDIR");
    else
        qputenv("TMPDIR", savedTmp);
}

void TstSingleInstance::livingHolderKeepsLock_andDeadHolderIsTakenOver() {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--halte-sperre"), QStringLiteral("abgestuerzt")});
    QVERIFY(child.waitForStarted());
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("1"));

    {
        TSingleInstance whileAlive(QStringLiteral("abgestuerzt"));
        QVERIFY(!whileAlive.IsFirst());
    }
    child.kill(); // no chance to remove its lock file
    QVERIFY(child.waitForFinished());
    TSingleInstance afterCrash(QStringLiteral("abgestuerzt"));
    QVERIFY(QFile::exists(afterCrash.LockPath()));
    QVERIFY(afterCrash.IsFirst());
}

void TstSingleInstance::unreadableLockFile_data() {
    QTest::addColumn<int>("ageSeconds");
    QTest::addColumn<bool>("takenOver");
    QTest::newRow("left behind long ago") << 60 << true;
    QTest::newRow("being written right now") << 0 << false;
}

void TstSingleInstance::unreadableLockFile() {
    QFETCH(int, ageSeconds);
    QFETCH(bool, takenOver);
    const QString path = FRuntime.path() + QStringLiteral("/leer.lock");
    QFile::remove(path);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(QDateTime::currentDateTime().addSecs(-ageSeconds),
                             QFileDevice::FileModificationTime));
    file.close();
    TSingleInstance instance(QStringLiteral("leer"));
    QCOMPARE(instance.IsFirst(), takenOver);
}

int main(int argc, char** argv) {
    if (argc == 3 && qstrcmp(argv[1], "--halte-sperre") == 0) {
        QCoreApplication app(argc, argv);
        return HalteSperre(QString::fromLocal8Bit(argv[2]));
    }
    QCoreApplication app(argc, argv);
    TstSingleInstance test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
