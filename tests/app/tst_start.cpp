// The program as a process: one instance per user, with the shipped data.

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

class TstStart : public QObject {
    Q_OBJECT
    QProcessEnvironment Umgebung(const QString& AHome) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", AHome);
        env.insert("XDG_RUNTIME_DIR", AHome + "/run");
        env.insert("XDG_CONFIG_HOME", AHome + "/.config");
        env.insert("XDG_DATA_HOME", AHome + "/.local/share");
        env.insert("QT_QPA_PLATFORM", "offscreen");
        QDir().mkpath(AHome + "/run");
        QFile::setPermissions(AHome + "/run",
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return env;
    }

private Q_SLOTS:
    void zweiterStartEndetSofort() {
        QTemporaryDir home;
        QProcess erster;
        erster.setProcessEnvironment(Umgebung(home.path()));
        erster.start(TASTARO_BIN_DIR "/Tastaro", {});
        QVERIFY(erster.waitForStarted());
        // the first instance waits at its start question; its lock exists by then
        QTRY_VERIFY_WITH_TIMEOUT(!QDir(home.path() + "/run").entryList({"*.lock"}, QDir::Files).isEmpty(),
                                 10000);
        QProcess zweiter;
        zweiter.setProcessEnvironment(Umgebung(home.path()));
        QElapsedTimer t;
        t.start();
        zweiter.start(TASTARO_BIN_DIR "/Tastaro", {"--irgendwas"});
        QVERIFY(zweiter.waitForFinished(5000));
        QCOMPARE(zweiter.exitCode(), 0);
        QCOMPARE(erster.state(), QProcess::Running);
        erster.kill();
        erster.waitForFinished();
        // the user's data folder was created by the first instance
        QVERIFY(QDir(home.path() + "/.local/share/Tastaro").exists());
    }
};

QTEST_GUILESS_MAIN(TstStart)
#include "tst_start.moc"
