// ctest-libs: Qt6::Network

// The update offer after the first showing and the hand-off to the external
// updater, with the version file served from 127.0.0.1.

#include "EinstellungenSpeicher.h"
#include "HauptFixture.h"
#include "SingleInstance.h"
#include "TextFile.h"
#include "UpdaterC.h"

#include <QMenu>
#include <QTcpServer>
#include <QTcpSocket>
#include <QtTest>

namespace {

const QString UpdateFrage = QStringLiteral(
    "Es ist ein Update verfügbar!\r\nInstalliert: 1.3.1.0\r\nVerfügbar: 1.3.2.0\r\n\r\nSoll Tastaro jetzt "
    "aktualisiert werden?");
const QString PaketHinweis =
    QStringLiteral("Version 1.3.2.0 ist verfügbar. Aktualisiere Tastaro über die Paketverwaltung.");

// Serves one version file to every request.
class TVersionServer : public QTcpServer {
public:
    explicit TVersionServer(const QByteArray& AVersion) {
        connect(this, &QTcpServer::newConnection, this, [this, AVersion] {
            while (QTcpSocket* s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [s, AVersion] {
                    s->readAll();
                    const QByteArray body = "[Tastaro]\r\nVersion=" + AVersion + "\r\n";
                    s->write("HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) +
                             "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
        listen(QHostAddress::LocalHost);
    }
    QString Basis() const { return QStringLiteral("http://127.0.0.1:%1/updates/").arg(serverPort()); }
};

} // namespace

class TstUpdate : public QObject {
    Q_OBJECT
    QTemporaryDir FTemp;

private Q_SLOTS:
    void initTestCase() { qputenv("TMPDIR", FTemp.path().toLocal8Bit()); }

    // Every case starts as on a first start: a check at every start, none done yet.
    void init() {
        const auto store = TastaroSettingsStore();
        store->remove(QStringLiteral("UpdaterCheckMode"));
        store->remove(QStringLiteral("UpdaterLastSuccessfulCheck"));
        store->remove(QStringLiteral("UpdaterAngesagt"));
    }

    void angebot_data() {
        QTest::addColumn<QByteArray>("version");
        QTest::addColumn<bool>("updaterS");     // RovuVuzoziz.exe lies in the program folder
        QTest::addColumn<QString>("angesagt");  // the version the user was already told of
        QTest::addColumn<bool>("jaS");          // the answer to the update question
        QTest::addColumn<QStringList>("texte"); // every box in order, up to the start question
        QTest::addColumn<bool>("uebergebenS");
        const QString start =
            QStringLiteral("Willst du jetzt einen Trainingsbereich und eine -datei wählen?");
        QTest::newRow("Update, Ja") << QByteArray("1.3.2.0") << true << "" << true << QStringList{UpdateFrage}
                                    << true;
        QTest::newRow("Update, Nein")
            << QByteArray("1.3.2.0") << true << "" << false << QStringList{UpdateFrage, start} << false;
        // Without an updater the package manager updates: a notice, once per version.
        QTest::newRow("no updater") << QByteArray("1.3.2.0") << false << "" << true
                                    << QStringList{PaketHinweis, start} << false;
        QTest::newRow("no updater, told already")
            << QByteArray("1.3.2.0") << false << "1.3.2.0" << true << QStringList{start} << false;
        QTest::newRow("no updater, told of an older one")
            << QByteArray("1.3.2.0") << false << "1.3.1.5" << true << QStringList{PaketHinweis, start}
            << false;
        QTest::newRow("gleiche Version")
            << QByteArray("1.3.1.0") << true << "" << true << QStringList{start} << false;
        QTest::newRow("ältere Version")
            << QByteArray("1.3.0.9") << true << "" << true << QStringList{start} << false;
    }
    void angebot() {
        QFETCH(QByteArray, version);
        QFETCH(bool, updaterS);
        QFETCH(QString, angesagt);
        QFETCH(bool, jaS);
        QFETCH(QStringList, texte);
        QFETCH(bool, uebergebenS);
        TVersionServer server(version);
        THauptFixture f;
        f.Anlegen();
        if (updaterS) SchreibeDatei(ProgrammOrdner + QStringLiteral("RovuVuzoziz.exe"), "MZ");
        if (!angesagt.isEmpty())
            TastaroSettingsStore()->setValue(QStringLiteral("UpdaterAngesagt"), angesagt);
        // in the user's own runtime folder, not the shared temporary one
        const QString cfg = InstanceRuntimeFolder() + QStringLiteral("/Tastaro.cfg");
        // an old read-only copy is replaced
        SchreibeDatei(cfg, "alt");
        QFile::setPermissions(cfg, QFileDevice::ReadOwner);
        f.UpdateBaseUrl = server.Basis();
        f.Fakes.MessageBoxes.Antworten = {jaS ? TMsgAntwort::Ja : TMsgAntwort::Nein};
        f.Erzeugen();
        f.Zeigen();
        QTRY_COMPARE(f.Fakes.MessageBoxes.Texte().size(), texte.size());
        QTest::qWait(50);
        QCOMPARE(f.Fakes.MessageBoxes.Texte(), texte);
        QCOMPARE(Innen(f.Form).BeendenS, uebergebenS);
        // the menu offers no update that cannot run
        Q_EMIT f.Form->findChild<QMenu*>(QStringLiteral("MenuHilfe"))->aboutToShow();
        QCOMPARE(f.Form->findChild<QAction*>(QStringLiteral("MenuHilfeUpdate"))->isVisible(), updaterS);
        if (!updaterS)
            QCOMPARE(TastaroSettingsStore()->value(QStringLiteral("UpdaterAngesagt")).toString(),
                     QStringLiteral("1.3.2.0"));
        if (!uebergebenS) {
            QVERIFY(f.Fakes.Shell.Gestartet.isEmpty());
            QCOMPARE(ReadTextFile(cfg), QStringLiteral("alt"));
            return;
        }
        QCOMPARE(f.Fakes.Shell.Gestartet,
                 QStringList{ProgrammOrdner + QStringLiteral("RovuVuzoziz.exe Tastaro.cfg")});
        QFile datei(cfg);
        QVERIFY(datei.open(QIODevice::ReadOnly));
        QCOMPARE(
            DecodeAnsi(datei.readAll()),
            QStringLiteral("Tastaro V1.31\r\n(KeinBereich) - Tastaro V1.31\r\n%1\r\nTastaro\r\n12 Arial\r\n")
                .arg(QDir::toNativeSeparators(ProgrammDatei)));
    }

    // Building the window reads the areas by itself, but the check waits
    // until the window is shown: its helper would slow the start down.
    void pruefungErstMitFenster() {
        TVersionServer server("1.3.1.0");
        int anfragen = 0;
        connect(&server, &QTcpServer::newConnection, this, [&anfragen] { ++anfragen; });
        THauptFixture f;
        f.Anlegen();
        f.UpdateBaseUrl = server.Basis();
        THauptDienste d;
        d.Services = f.Fakes.Services();
        d.Sprache = f.Speech.Platform();
        d.UpdateBaseUrl = f.UpdateBaseUrl;
        d.AbrufProgramm = QStringLiteral(TASTARO_BIN_DIR "/tastaro-abruf");
        f.Form = std::make_unique<TForm1>(d);
        f.Form->WaitForLoadKatThread();
        QCOMPARE(Innen(f.Form).Kategorie->Count(), 1);
        QTest::qWait(300);
        QCOMPARE(anfragen, 0);
        f.Zeigen();
        QCOMPARE(anfragen, 1);
    }

    // The four items show the stored mode, and choosing one stores it.
    void pruefModus() {
        THauptFixture f;
        f.Anlegen();
        f.Erzeugen();
        const char* const namen[] = {"MenuDateiUpdateCheckEveryStart", "MenuDateiUpdateCheckDaily",
                                     "MenuDateiUpdateCheckWeekly", "MenuDateiUpdateCheckManualOnly"};
        for (int tag : {2, 3, 1, 0}) {
            f.Form->Aktion(QLatin1String(namen[tag]))->trigger();
            for (int i = 0; i < 4; ++i)
                QCOMPARE(f.Form->Aktion(QLatin1String(namen[i]))->isChecked(), i == tag);
            QCOMPARE(TastaroSettingsStore()->value(QStringLiteral("UpdaterCheckMode")).toInt(), tag);
        }
        f.Form->MenuDateiUpdateCheckModeClick(4); // no such mode
        QCOMPARE(Innen(f.Form).Updater->CheckMode(), ucmEveryStart);
    }
};

QTEST_MAIN(TstUpdate)
#include "tst_update.moc"
