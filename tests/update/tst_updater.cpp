// ctest-labels: threads
// ctest-libs: Qt6::Network

// The update check against a server on 127.0.0.1 inside the test: the result
// of each kind of answer, the stored date of the last successful check, and
// that neither a server nor the fetch helper can hold the check beyond its
// bounds.

#include "UpdaterC.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QSslKey>
#include <QSslSocket>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

Q_DECLARE_METATYPE(TUpdateType)

namespace {

// The fetch helper the build made.
const QString AbrufHelfer = QStringLiteral(TASTARO_BIN_DIR "/tastaro-abruf");

const QByteArray VersionPfad = "/updates/Tastaro/Tastaro.ver";

// Answers every request through Antwort once its header has arrived, and
// keeps what was asked. With a certificate it speaks TLS.
class TTestServer : public QTcpServer {
public:
    std::function<void(QTcpSocket*)> Antwort;
    QByteArrayList Anfragen;
    QSslCertificate Zertifikat;
    QSslKey Schluessel;

    TTestServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                auto kopf = std::make_shared<QByteArray>();
                connect(s, &QTcpSocket::readyRead, s, [this, s, kopf] {
                    *kopf += s->readAll();
                    if (!kopf->contains("\r\n\r\n")) return;
                    Anfragen << *kopf;
                    kopf->clear();
                    if (Antwort) Antwort(s);
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        QVERIFY(listen(QHostAddress::LocalHost));
    }
    QString Basis(const char* AScheme = "http") const {
        return QStringLiteral("%1://127.0.0.1:%2/updates/").arg(QLatin1String(AScheme)).arg(serverPort());
    }

protected:
    void incomingConnection(qintptr AHandle) override {
        if (Zertifikat.isNull()) return QTcpServer::incomingConnection(AHandle);
        auto* s = new QSslSocket(this);
        s->setSocketDescriptor(AHandle);
        s->setLocalCertificate(Zertifikat);
        s->setPrivateKey(Schluessel);
        s->startServerEncryption();
        addPendingConnection(s);
    }
};

void Senden(QTcpSocket* ASocket, int AStatus, const QByteArray& ABody, const QByteArray& AKopf = {}) {
    ASocket->write("HTTP/1.1 " + QByteArray::number(AStatus) + " X\r\nContent-Length: " +
                   QByteArray::number(ABody.size()) + "\r\nConnection: close\r\n" + AKopf + "\r\n" + ABody);
    ASocket->disconnectFromHost();
}

// This process's children, ended ones that nobody waited for included.
QStringList Kinder() {
    QStringList kinder;
    const QByteArray ich = QByteArray::number(QCoreApplication::applicationPid());
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
        if (!stat.open(QIODevice::ReadOnly)) continue;
        // "pid (name) state ppid ..."; the name may hold blanks and brackets
        const QByteArray zeile = stat.readAll();
        const qsizetype name = zeile.lastIndexOf(')');
        const QList<QByteArray> felder = zeile.mid(name + 2).split(' ');
        if (felder.size() > 1 && felder[1] == ich) kinder << QString::fromLocal8Bit(zeile.left(name + 3));
    }
    return kinder;
}

} // namespace

class TstUpdater : public QObject {
    Q_OBJECT
    QTemporaryDir FOrdner;

    // Runs one check while this thread serves the requests; its duration.
    static qint64 Pruefen(TUpdater& AUpdater) {
        QElapsedTimer uhr;
        uhr.start();
        AUpdater.CheckForUpdates();
        [&] { QTRY_VERIFY_WITH_TIMEOUT(!AUpdater.Checking(), 5000); }();
        AUpdater.WaitFor();
        return uhr.elapsed();
    }

private Q_SLOTS:
    void pruefung_data() {
        QTest::addColumn<QString>("art"); // how the server behaves
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<TUpdateType>("ergebnis");
        const QByteArray neu = "[Tastaro]\r\nVersion=1.3.2.0\r\n";
        QTest::addRow("neuere Version") << "antwortet" << 200 << neu << utUpgrade;
        QTest::addRow("Zahl, nicht Text")
            << "antwortet" << 200 << QByteArray("[Tastaro]\nVersion=1.3.10.0") << utUpgrade;
        QTest::addRow("gleiche, Namen ohne Groß-Klein")
            << "antwortet" << 200 << QByteArray("; x\n[tastaro]\nVERSION = 1.3.1.0 \n") << utNone;
        QTest::addRow("ältere") << "antwortet" << 200 << QByteArray("[Tastaro]\nVersion=1.3.0.9")
                                << utDowngrade;
        QTest::addRow("Fehlerseite 404")
            << "antwortet" << 404 << QByteArray("<html>Not Found</html>") << utError;
        QTest::addRow("404 zählt nicht, der Inhalt schon") << "antwortet" << 404 << neu << utUpgrade;
        QTest::addRow("leer") << "antwortet" << 200 << QByteArray(" \r\n") << utError;
        QTest::addRow("anderer Abschnitt")
            << "antwortet" << 200 << QByteArray("[Anders]\nVersion=1.3.2.0") << utError;
        QTest::addRow("drei Teile") << "antwortet" << 200 << QByteArray("[Tastaro]\nVersion=1.3.2")
                                    << utError;
        QTest::addRow("schweigt") << "schweigt" << 0 << QByteArray() << utError;
        QTest::addRow("tröpfelt ohne Ende") << "troepfelt" << 200 << neu << utError;
        QTest::addRow("zu groß, ohne Länge")
            << "antwortet" << 200 << neu + QByteArray(TUpdater::MaxBodyBytes, ';') << utError;
        QTest::addRow("zu groß, angekündigt") << "kuendigt an" << 200 << neu << utError;
        QTest::addRow("keine Verbindung") << "zu" << 0 << QByteArray() << utError;
    }
    void pruefung() {
        QFETCH(QString, art);
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(TUpdateType, ergebnis);
        TTestServer server;
        QTimer tropfen;
        server.Antwort = [&](QTcpSocket* s) {
            if (art == QLatin1String("antwortet")) {
                Senden(s, status, body, "Content-Type: text/plain\r\n");
            } else if (art == QLatin1String("troepfelt")) {
                s->write("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + body);
                QObject::connect(&tropfen, &QTimer::timeout, s, [s] { s->write(";"); });
                tropfen.start(100);
            } else if (art == QLatin1String("kuendigt an")) {
                s->write("HTTP/1.1 200 OK\r\nContent-Length: 100000000\r\n\r\n" + body);
            }
        };
        const QString basis = server.Basis();
        if (art == QLatin1String("zu")) server.close();
        const QString ini =
            FOrdner.filePath(QString::fromUtf8(QTest::currentDataTag()) + QStringLiteral(".ini"));
        TUpdater u(nullptr, QStringLiteral(" Tastaro "), QString(), ucmDaily, basis);
        u.SetAbrufProgramm(AbrufHelfer);
        u.UseIniStorage(ini);
        u.SetTimeouts(300, 1500);
        QCOMPARE(u.VersionUrl(), basis + QStringLiteral("Tastaro/Tastaro.ver"));
        const qint64 dauer = Pruefen(u);
        QCOMPARE(u.Status(), ergebnis);
        // within the bound, the helper's start included
        QVERIFY2(dauer < 1500 + 300, qPrintable(QString::number(dauer)));
        QVERIFY(u.LastCheck().isValid());
        if (art != QLatin1String("zu")) {
            QCOMPARE(server.Anfragen.size(), 1);
            QVERIFY(server.Anfragen[0].startsWith("GET " + VersionPfad + " HTTP/1.1\r\n"));
            QVERIFY(server.Anfragen[0].contains("\r\nUser-Agent: Mozilla/3.0\r\n"));
        }
        // Only a check that compared versions counts as successful and is kept.
        const bool erfolgS = ergebnis != utError;
        QCOMPARE(u.LastSuccessfulCheck().isValid(), erfolgS);
        QCOMPARE(u.NewVersion().ToString() != QLatin1String("0.0.0.0"), erfolgS);
        QCOMPARE(QSettings(ini, QSettings::IniFormat)
                     .value(QStringLiteral("Updater/LastSuccessfulCheck"))
                     .toString(),
                 TUpdater::FormatCheckDate(u.LastSuccessfulCheck()));
        QCOMPARE(u.IsUpdateCheckDue(), !erfolgS);
    }

    // A certificate that no authority vouches for is refused before any
    // request is sent.
    void fremdesZertifikat() {
        const QString openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
        if (openssl.isEmpty() || !QSslSocket::supportsSsl())
            QSKIP("no openssl to make a certificate, or no TLS");
        const QString key = FOrdner.filePath(QStringLiteral("key.pem"));
        const QString crt = FOrdner.filePath(QStringLiteral("crt.pem"));
        QProcess p;
        p.start(openssl,
                QStringLiteral("req -x509 -newkey rsa:2048 -nodes -subj /CN=127.0.0.1 -days 1 -keyout")
                        .split(QLatin1Char(' '))
                    << key << QStringLiteral("-out") << crt);
        QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
        TTestServer server;
        QFile k(key), c(crt);
        QVERIFY(k.open(QIODevice::ReadOnly) && c.open(QIODevice::ReadOnly));
        server.Schluessel = QSslKey(k.readAll(), QSsl::Rsa);
        server.Zertifikat = QSslCertificate(c.readAll());
        QVERIFY(!server.Schluessel.isNull() && !server.Zertifikat.isNull());
        server.Antwort = [](QTcpSocket* s) { Senden(s, 200, "[Tastaro]\nVersion=1.3.2.0\n"); };
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart, server.Basis("https"));
        u.SetAbrufProgramm(AbrufHelfer);
        Pruefen(u);
        QCOMPARE(u.Status(), utError);
        QVERIFY(server.Anfragen.isEmpty());
    }

    // Closing during a check whose server never answers does not wait for
    // the request's bound: the fetch helper is killed and waited for.
    void shutdownWaehrendAbruf() {
        TTestServer server;
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart, server.Basis());
        u.SetAbrufProgramm(AbrufHelfer);
        u.CheckForUpdates();
        QTRY_COMPARE_WITH_TIMEOUT(server.Anfragen.size(), 1, 5000);
        QCOMPARE(Kinder().size(), 1);
        QElapsedTimer uhr;
        uhr.start();
        u.Shutdown();
        QVERIFY2(uhr.elapsed() < 1000, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(!u.Checking());
        QCOMPARE(Kinder(), QStringList());
    }

    // Without its fetch helper the check fails like any other failed request.
    void ohneAbrufProgramm() {
        TTestServer server;
        server.Antwort = [](QTcpSocket* s) { Senden(s, 200, "[Tastaro]\nVersion=1.3.2.0\n"); };
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart, server.Basis());
        u.SetAbrufProgramm(AbrufHelfer);
        QVERIFY(QFileInfo(u.AbrufProgramm()).isExecutable());
        u.SetAbrufProgramm(FOrdner.filePath(QStringLiteral("tastaro-abruf")));
        Pruefen(u);
        QCOMPARE(u.Status(), utError);
        QVERIFY(!u.LastSuccessfulCheck().isValid());
        QVERIFY(server.Anfragen.isEmpty());
    }

    // An address on a reserved domain never answers: the check fails at once
    // and starts no helper.
    void reservierteDomain_data() {
        QTest::addColumn<QString>("basis");
        QTest::addColumn<bool>("gestartetS");
        QTest::newRow(".invalid") << "https://updates.example.invalid/updates/" << false;
        QTest::newRow(".test") << "http://server.test/updates/" << false;
        QTest::newRow("example") << "https://example/updates/" << false;
        QTest::newRow("a real name") << "http://127.0.0.1:9/updates/" << true;
    }
    void reservierteDomain() {
        QFETCH(QString, basis);
        QFETCH(bool, gestartetS);
        const QString spur = FOrdner.filePath(QStringLiteral("gestartet"));
        QFile::remove(spur);
        const QString helfer = FOrdner.filePath(QStringLiteral("spur.sh"));
        QFile f(helfer);
        QVERIFY(f.open(QIODevice::WriteOnly) &&
                f.write("#!/bin/sh\ntouch \"$(dirname \"$0\")/gestartet\"\n") > 0);
        f.close();
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart, basis);
        u.SetAbrufProgramm(helfer);
        // the bounded wait ends with the check, not with its bound
        QElapsedTimer uhr;
        uhr.start();
        u.CheckForUpdates();
        // one that can never answer is over when the call returns
        if (!gestartetS) QVERIFY(u.WaitFor(0));
        QVERIFY(u.WaitFor(8000));
        QVERIFY2(uhr.elapsed() < 4000, qPrintable(QString::number(uhr.elapsed())));
        Pruefen(u);
        QCOMPARE(u.Status(), utError);
        QCOMPARE(QFile::exists(spur), gestartetS);
    }

    // A helper that hangs is killed at the request's bound, not later.
    void haengenderHelfer() {
        const QString helfer = FOrdner.filePath(QStringLiteral("haengt.sh"));
        QFile f(helfer);
        QVERIFY(f.open(QIODevice::WriteOnly) && f.write("#!/bin/sh\nexec sleep 30\n") > 0);
        f.close();
        QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
        // an address the helper is started for (not on a reserved domain)
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart,
                   QStringLiteral("http://127.0.0.1:9/updates/"));
        u.SetAbrufProgramm(helfer);
        u.SetTimeouts(300, 1000);
        u.CheckForUpdates();
        QVERIFY(!u.WaitFor(100)); // still running: the wait gives up at its bound
        const qint64 dauer = Pruefen(u);
        QCOMPARE(u.Status(), utError);
        QVERIFY2(dauer < 1000 + 300, qPrintable(QString::number(dauer)));
    }

    // The values lie in the program's own store beside its settings; a mode
    // out of range is ignored, and setting the mode it already has writes nothing.
    void gespeicherterModus() {
        QSettings store(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("TastaroUpdaterTest"));
        store.setValue(QStringLiteral("UpdaterCheckMode"), 7);
        store.setValue(QStringLiteral("UpdaterLastSuccessfulCheck"), QStringLiteral("20261309000000"));
        store.sync();
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmWeekly);
        u.SetAbrufProgramm(AbrufHelfer);
        u.UseRegistryStorage(QStringLiteral("\\Software\\TastaroUpdaterTest"));
        QCOMPARE(u.CheckMode(), ucmWeekly);
        QVERIFY(!u.LastSuccessfulCheck().isValid());
        store.clear();
        store.sync();
        u.SetCheckMode(ucmWeekly);
        store.sync();
        QVERIFY(store.allKeys().isEmpty());
        u.SetCheckMode(ucmManualOnly);
        store.sync();
        QCOMPARE(store.value(QStringLiteral("UpdaterCheckMode")).toInt(), int(ucmManualOnly));
        QCOMPARE(store.value(QStringLiteral("UpdaterLastSuccessfulCheck")).toString(), QString());
        // not due: nothing starts
        u.CheckForUpdatesAtStartup();
        QVERIFY(!u.Checking());
        store.clear();
    }

    // After Shutdown nothing starts and nothing more is notified.
    void nachShutdown() {
        TTestServer server;
        server.Antwort = [](QTcpSocket* s) { Senden(s, 200, "[Tastaro]\nVersion=1.3.2.0\n"); };
        QObject fenster;
        int gemeldet = 0;
        TUpdater u(&fenster, QStringLiteral("Tastaro"), QString(), ucmEveryStart, server.Basis());
        u.SetAbrufProgramm(AbrufHelfer);
        u.ConfigureNotification([&] { ++gemeldet; });
        Pruefen(u);
        QTRY_COMPARE(gemeldet, 1);
        u.Shutdown();
        u.CheckForUpdates();
        QVERIFY(!u.Checking());
        QTest::qWait(50);
        QCOMPARE(gemeldet, 1);
        QCOMPARE(server.Anfragen.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TstUpdater)
#include "tst_updater.moc"
