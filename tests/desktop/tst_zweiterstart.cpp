// A second start on a real desktop: the running trainer comes to the front
// and the second process ends at once; a close request closes the first.

#include "RegistrySettings.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {
QString Xdotool(const QStringList& AArgs) {
    QProcess p;
    p.start(QStringLiteral("xdotool"), AArgs);
    p.waitForFinished(5000);
    return QString::fromUtf8(p.readAllStandardOutput()).trimmed();
}
QString AktivesFenster() {
    return Xdotool({QStringLiteral("getactivewindow"), QStringLiteral("getwindowname")});
}
} // namespace

class TstZweiterStart : public QObject {
    Q_OBJECT
    QTemporaryDir Home;
    QProcessEnvironment Umgebung = QProcessEnvironment::systemEnvironment();
    QProcess Erster;

    void Starten(QProcess& AProzess) {
        AProzess.setProcessEnvironment(Umgebung);
        AProzess.start(QStringLiteral(TASTARO_BIN_DIR "/Tastaro"), {});
        QVERIFY(AProzess.waitForStarted());
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(qEnvironmentVariableIsSet("DISPLAY"), "run under tests/desktop/desktop-session");
        // The trainer and this test share a fresh home, so both see one hand-off store.
        for (const char* v : {"HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME"}) {
            const QString pfad = Home.path() + QLatin1Char('/') + QLatin1String(v);
            QDir().mkpath(pfad);
            Umgebung.insert(QLatin1String(v), pfad);
            qputenv(v, pfad.toUtf8());
        }
        Umgebung.insert(QStringLiteral("LANG"), QStringLiteral("de_AT.UTF-8"));
        Starten(Erster);
        // The first start asks whether to choose an area; Esc answers "Nein".
        QTRY_VERIFY_WITH_TIMEOUT(AktivesFenster() == QStringLiteral("Tastaro V1.31"), 15000);
        Xdotool({QStringLiteral("key"), QStringLiteral("Escape")});
        QTRY_VERIFY_WITH_TIMEOUT(AktivesFenster().endsWith(QStringLiteral(" - Tastaro V1.31")), 5000);
    }

    void zweiterStartHoltErstenNachVorn_data() {
        QTest::addColumn<bool>("minimiertS");
        QTest::newRow("another program in front") << false;
        QTest::newRow("minimised") << true;
    }
    void zweiterStartHoltErstenNachVorn() {
        QFETCH(bool, minimiertS);
        QProcess anderes;
        anderes.start(QStringLiteral("xmessage"), {QStringLiteral("Ein anderes Programm")});
        QVERIFY(anderes.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(AktivesFenster() == QStringLiteral("xmessage"), 5000);
        if (minimiertS) {
            Xdotool({QStringLiteral("search"), QStringLiteral("--name"), QStringLiteral(" - Tastaro V1.31$"),
                     QStringLiteral("windowminimize")});
            QTRY_VERIFY(Xdotool({QStringLiteral("search"), QStringLiteral("--onlyvisible"),
                                 QStringLiteral("--name"), QStringLiteral(" - Tastaro V1.31$")})
                            .isEmpty());
        }

        QProcess zweiter;
        QElapsedTimer uhr;
        uhr.start();
        Starten(zweiter);
        QVERIFY(zweiter.waitForFinished(3000));
        QCOMPARE(zweiter.exitCode(), 0);
        const qint64 endeMs = uhr.elapsed();
        QTRY_VERIFY_WITH_TIMEOUT(AktivesFenster().endsWith(QStringLiteral(" - Tastaro V1.31")), 3000);
        // ended at once, and the window came within half a second after that
        QVERIFY2(endeMs < 1500, qPrintable(QString::number(endeMs)));
        QVERIFY2(uhr.elapsed() - endeMs < 500, qPrintable(QString::number(uhr.elapsed() - endeMs)));
        QCOMPARE(Erster.state(), QProcess::Running);
        anderes.kill();
        anderes.waitForFinished();
    }

    void schliessenAnfrageBeendetErsten() {
        QVERIFY(WriteRegistrySettings(QStringLiteral("Tastaro"), TRegistrySettings::rsClose()));
        QVERIFY(Erster.waitForFinished(5000));
        QCOMPARE(Erster.exitCode(), 0);
        QVERIFY(!QFile::exists(HandoffStoreFile(QStringLiteral("Tastaro"))));
    }

    void cleanupTestCase() {
        if (Erster.state() != QProcess::NotRunning) {
            Erster.kill();
            Erster.waitForFinished();
        }
    }
};

QTEST_MAIN(TstZweiterStart)
#include "tst_zweiterstart.moc"
