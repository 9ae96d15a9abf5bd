#include "SingleInstance.h"

#include "RegistrySettings.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <cstdio>
#include <sys/stat.h>
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
    void fallbackWithoutRuntimeFolder_data();
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

// Without XDG_RUNTIME_DIR the folder is made in the shared temporary folder,
// where another user may have made the name first: such a folder is refused,
// and the program runs without the lock and writes nothing there.
void TstSingleInstance::fallbackWithoutRuntimeFolder_data() {
    QTest::addColumn<QString>("vorher");
    QTest::newRow("none yet") << "";
    QTest::newRow("a link to another folder") << "link";
    QTest::newRow("open to others") << "0755";
    if (geteuid() == 0) QTest::newRow("another user's") << "fremd";
}

void TstSingleInstance::fallbackWithoutRuntimeFolder() {
    QFETCH(QString, vorher);
    QTemporaryDir temp;
    const QByteArray savedTmp = qgetenv("TMPDIR");
    qunsetenv("XDG_RUNTIME_DIR");
    qputenv("TMPDIR", temp.path().toUtf8());
    const QString ordner = temp.path() + QStringLiteral("/tastaro-%1").arg(QString::number(geteuid()));
    const QString opfer = temp.filePath(QStringLiteral("opfer/Tastaro.fenster"));
    QVERIFY(QDir().mkpath(QFileInfo(opfer).path()));
    QFile f(opfer);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("privat") == 6);
    f.close();
    if (vorher == "link") QVERIFY(QFile::link(QFileInfo(opfer).path(), ordner));
    if (vorher == "0755" || vorher == "fremd")
        QVERIFY(QDir().mkdir(ordner) && ::chmod(qPrintable(ordner), 0755) == 0);
    if (vorher == "fremd")
        QVERIFY(::chown(qPrintable(ordner), 65534, 65534) == 0 && ::chmod(qPrintable(ordner), 0700) == 0);
    {
        TSingleInstance instance(QStringLiteral("Tastaro"));
        QCOMPARE(instance.IsFirst(), vorher.isEmpty());
        QVERIFY(!instance.AnotherRuns());
        PublishWindowCaption(QStringLiteral("Kurz - Tastaro V1.31"));
        if (vorher.isEmpty()) {
            QCOMPARE(instance.LockPath(), ordner + QStringLiteral("/Tastaro.lock"));
            QCOMPARE(QFileInfo(ordner).permissions() & 0x0077, QFileDevice::Permissions());
            QCOMPARE(FindWindowByTitle(QStringLiteral("Tastaro V1.31")),
                     QStringLiteral("Kurz - Tastaro V1.31"));
            WithdrawWindowCaption();
        } else {
            QVERIFY(InstanceRuntimeFolder().isEmpty());
        }
    }
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("privat"));
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
