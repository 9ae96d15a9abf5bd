// ctest-labels: threads

// The speech-dispatcher voice and the Orca driver against the real speech
// server and a running Orca on the test desktop: what they say is heard on
// the null sink, a purge or a silence stops it, the notifications reach the
// main thread, and Orca is recognised exactly while it runs.

#include "Pegel.h"
#include "SapiBasics.h"
#include "ScreenReaderDriverOrca.h"
#include "SpdVoice.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QtEndian>
#include <QtTest>
#include <csignal>

namespace {
constexpr int Abtastrate = 8000; // low, so that the pipe holds seconds while the test waits
constexpr int Laut = 3000;
constexpr int Leise = 300;
const QString Satz =
    QStringLiteral("Guten Tag, heute üben wir das Zehnfingersystem auf der deutschen Tastatur.");

// Listens to the null sink's monitor for the whole test. The monitor sends
// nothing while nothing plays, so silence is also the absence of data.
class TMithoerer {
public:
    bool Starten() {
        FUhr.start();
        FParec.start(QStringLiteral("parec"),
                     {QStringLiteral("-d"), QStringLiteral("nul.monitor"), QStringLiteral("--raw"),
                      QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                      QStringLiteral("--rate=%1").arg(Abtastrate), QStringLiteral("--latency-msec=20")});
        return FParec.waitForStarted();
    }
    ~TMithoerer() {
        FParec.kill();
        FParec.waitForFinished();
    }
    qsizetype Position() {
        // QProcess reads the pipe only when asked or from the event loop.
        while (FParec.waitForReadyRead(0)) {
        }
        const QByteArray neu = FParec.readAllStandardOutput();
        if (!neu.isEmpty()) {
            FDaten += neu;
            FAnkunft.emplace_back(FUhr.elapsed(), FDaten.size() / 2);
        }
        return FDaten.size() / 2;
    }
    // Highest level since the sample position.
    int SpitzeSeit(qsizetype APosition) {
        const qsizetype ende = Position();
        int spitze = 0;
        for (qsizetype i = std::max<qsizetype>(APosition, 0); i < ende; ++i)
            spitze = std::max(spitze, std::abs(int(qFromLittleEndian<qint16>(FDaten.constData() + 2 * i))));
        return spitze;
    }
    // Highest level of what arrived within the last AMs.
    int Spitze(int AMs) {
        Position();
        const qint64 ab = FUhr.elapsed() - AMs;
        qsizetype anfang = FDaten.size() / 2;
        for (auto it = FAnkunft.rbegin(); it != FAnkunft.rend() && it->first >= ab; ++it)
            anfang = std::next(it) == FAnkunft.rend() ? 0 : std::next(it)->second;
        return SpitzeSeit(anfang);
    }
    bool WarteAufTon(int AFristMs) {
        return Warte(AFristMs, [this] { return Spitze(100) > Laut; });
    }
    // Word gaps are shorter than the window, so this means the speech ended.
    bool WarteAufStille(int AFristMs) {
        return Warte(AFristMs, [this] { return Spitze(400) < Leise; });
    }

private:
    template <typename F> bool Warte(int AFristMs, F ABedingung) {
        QElapsedTimer uhr;
        uhr.start();
        while (!ABedingung()) {
            if (uhr.elapsed() > AFristMs) return false;
            FParec.waitForReadyRead(20);
        }
        return true;
    }
    QElapsedTimer FUhr;
    QProcess FParec;
    QByteArray FDaten;
    std::vector<std::pair<qint64, qsizetype>> FAnkunft; // when the data up to a sample arrived
};

struct TStromMeldung {
    bool BeginnS;
    int Strom;
    bool HauptthreadS;
};
} // namespace

class TstSprachserver : public QObject {
    Q_OBJECT
    TMithoerer Ohr;
    std::unique_ptr<TSpVoice> Stimme;
    std::unique_ptr<TScreenReaderDriver> Orca;
    QList<TStromMeldung> Meldungen;

    bool Gemeldet(bool ABeginnS, int AStrom) const {
        return std::any_of(Meldungen.begin(), Meldungen.end(), [&](const TStromMeldung& m) {
            return m.BeginnS == ABeginnS && m.Strom == AStrom;
        });
    }

    // Speaks synchronously; the time it took and the highest level heard.
    std::pair<qint64, int> SprichtUndWartet(const QString& AText) {
        const qsizetype anfang = Ohr.Position();
        QElapsedTimer uhr;
        uhr.start();
        Stimme->Speak(AText, 0);
        const qint64 ms = uhr.elapsed();
        Ohr.WarteAufStille(3000);
        return {ms, Ohr.SpitzeSeit(anfang)};
    }

private Q_SLOTS:
    void initTestCase() {
        // Without its servers this test proves nothing: fail, never skip.
        QProcess pactl;
        pactl.start(QStringLiteral("pactl"), {QStringLiteral("info")});
        QVERIFY2(pactl.waitForFinished() && pactl.exitCode() == 0,
                 "no sound server: run under tests/desktop/desktop-session --orca");
        QVERIFY2(qEnvironmentVariableIsSet("TASTARO_ORCA_PID"), "no Orca: run under desktop-session --orca");
        QVERIFY(Ohr.Starten());
        Stimme = CreateSpdVoice();
        Stimme->StartStream = [this](int s) {
            Meldungen.append({true, s, QThread::currentThread() == thread()});
        };
        Stimme->EndStream = [this](int s) {
            Meldungen.append({false, s, QThread::currentThread() == thread()});
        };
        Orca = CreateOrcaDriver();
    }

    void cleanupTestCase() {
        Stimme.reset();
        Orca.reset();
    }

    // An address that libspeechd cannot use: no server is reached (and none
    // started). The next attempt is due two seconds later; until then nothing waits.
    void ohneServerKeineStimme() {
        qputenv("SPEECHD_ADDRESS", "unerreichbar");
        {
            auto stimme = CreateSpdVoice();
            QVERIFY(!stimme->Voice());
            QVERIFY_THROWS_EXCEPTION(std::exception, stimme->GetVoices());
            QElapsedTimer uhr;
            uhr.start();
            QVERIFY(!stimme->Voice());
            QVERIFY(stimme->Speak(Satz, SVSFlagsAsync) > 0);
            QVERIFY2(uhr.elapsed() < 100, qPrintable(QString::number(uhr.elapsed())));
        }
        qunsetenv("SPEECHD_ADDRESS");
    }

    // The list is read on the worker and announced; nothing waits for it.
    void stimmenAllerModule() {
        QElapsedTimer uhr;
        uhr.start();
        bool gemeldetS = false;
        Stimme->StimmenGeaendert = [&] { gemeldetS = true; };
        QVERIFY(!Stimme->StimmenBekannt());
        QVERIFY_THROWS_EXCEPTION(std::exception, Stimme->GetVoices());
        QVERIFY2(uhr.elapsed() < 50, qPrintable(QString::number(uhr.elapsed())));
        QTRY_VERIFY_WITH_TIMEOUT(gemeldetS, 20000);
        Stimme->StimmenGeaendert = nullptr;
        const QList<TSpObjectToken> stimmen = Stimme->GetVoices();
        qInfo("%lld voices in %lld ms", qlonglong(stimmen.size()), uhr.elapsed());
        QVERIFY(Stimme->Voice().has_value());
        const auto deutsch = std::find_if(stimmen.begin(), stimmen.end(), [](const TSpObjectToken& t) {
            return t.Description == QStringLiteral("espeak-ng: German");
        });
        QVERIFY(deutsch != stimmen.end());
        // espeak-ng's ~13,000 language and variant pairs are not offered.
        QVERIFY2(stimmen.size() < 1000, qPrintable(QString::number(stimmen.size())));
        Stimme->SetVoice(*deutsch);
        QCOMPARE(Stimme->Voice()->Description, QStringLiteral("espeak-ng: German"));
        // the answer is kept while the connection lasts
        uhr.restart();
        QCOMPARE(Stimme->GetVoices(), stimmen);
        QVERIFY2(uhr.elapsed() < 500, qPrintable(QString::number(uhr.elapsed())));
    }

    void deutscherSatzIstZuHoeren() {
        QElapsedTimer uhr;
        uhr.start();
        const int strom = Stimme->Speak(Satz, SVSFlagsAsync);
        QVERIFY2(uhr.elapsed() < 100, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(strom > 0);
        QVERIFY(Ohr.WarteAufTon(5000));
        QTRY_VERIFY_WITH_TIMEOUT(Gemeldet(false, strom), 15000);
        QVERIFY(Gemeldet(true, strom));
        QVERIFY(
            std::all_of(Meldungen.begin(), Meldungen.end(), [](const auto& m) { return m.HauptthreadS; }));
        QVERIFY(Ohr.WarteAufStille(2000));
    }

    void purgeVerstummt() {
        const int strom = Stimme->Speak(Satz + u' ' + Satz + u' ' + Satz, SVSFlagsAsync);
        QCOMPARE(Stimme->Speak(QStringLiteral("Noch ein Satz."), SVSFlagsAsync), strom + 1);
        QVERIFY(Ohr.WarteAufTon(5000));
        QElapsedTimer uhr;
        uhr.start();
        QCOMPARE(Stimme->Speak(QString(), SVSFlagsAsync | SVSFPurgeBeforeSpeak), 0);
        QVERIFY2(uhr.elapsed() < 100, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(Ohr.WarteAufStille(1500));
        qInfo("silent %lld ms after the purge", uhr.elapsed());
        // and it stays silent: nothing queued comes after it
        QTest::qWait(800);
        QVERIFY2(Ohr.Spitze(800) < Leise, qPrintable(QString::number(Ohr.Spitze(800))));
        QTRY_VERIFY_WITH_TIMEOUT(Gemeldet(false, strom) && Gemeldet(false, strom + 1), 3000);
    }

    // The server does not answer at all: nothing here waits for it, and what
    // was asked meanwhile is worked off once it answers again.
    void stehenderServerHaeltNichtsAuf() {
        const pid_t server = SprachserverPid();
        QVERIFY(server > 0);
        QCOMPARE(::kill(server, SIGSTOP), 0);
        auto weiter = qScopeGuard([server] { ::kill(server, SIGCONT); });
        QElapsedTimer uhr;
        uhr.start();
        const int strom = Stimme->Speak(Satz, SVSFlagsAsync);
        Stimme->SetRate(2);
        Stimme->SetVolume(90);
        Stimme->Speak(QString(), SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QVERIFY(Orca->Speak(Satz, true));
        QVERIFY(Orca->Silence());
        Orca->IsSpeaking();
        const qint64 ms = uhr.elapsed();
        QVERIFY2(ms < 100, qPrintable(QString::number(ms)));
        weiter.dismiss();
        QCOMPARE(::kill(server, SIGCONT), 0);
        QTRY_VERIFY_WITH_TIMEOUT(Gemeldet(false, strom), 5000);
        // heard only after the silences queued before it
        QVERIFY(Orca->Speak(QStringLiteral("Weiter."), false));
        QVERIFY(Ohr.WarteAufTon(5000));
        QTRY_VERIFY_WITH_TIMEOUT(!Orca->IsSpeaking(), 5000);
        QVERIFY(Ohr.WarteAufStille(2000));
        Stimme->SetRate(0);
        Stimme->SetVolume(100);
    }

    // The server ends (as it does when idle) or is restarted: the next text
    // is said on a new connection, with the voice and settings as before,
    // and nothing on this thread waits for it.
    void serverNeustartVerliertNichts() {
        Stimme->SetRate(3);
        QVERIFY(Ohr.WarteAufStille(3000));
        const pid_t server = SprachserverPid();
        QVERIFY(server > 0);
        QCOMPARE(::kill(server, SIGKILL), 0);
        QTRY_VERIFY(::kill(server, 0) != 0);
        QElapsedTimer uhr;
        uhr.start();
        Stimme->Voice();
        const int strom = Stimme->Speak(Satz, SVSFlagsAsync);
        QVERIFY2(uhr.elapsed() < 50, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY2(Ohr.WarteAufTon(8000), "the first text after the restart was not heard");
        qInfo("heard %lld ms after the server had gone", uhr.elapsed());
        QCOMPARE(Stimme->GetRate(), 3);
        Stimme->Speak(QString(), SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        QTRY_VERIFY_WITH_TIMEOUT(Gemeldet(false, strom), 5000);
        QVERIFY(Ohr.WarteAufStille(2000));
        Stimme->SetRate(0);
    }

    void rateUndLautstaerkeWirken() {
        const QString kurz = QStringLiteral("Eins, zwei, drei, vier, fünf, sechs.");
        const auto [normalMs, normalSpitze] = SprichtUndWartet(kurz);
        QVERIFY2(normalSpitze > Laut, qPrintable(QString::number(normalSpitze)));
        QElapsedTimer uhr;
        uhr.start();
        Stimme->SetRate(10);
        Stimme->SetVolume(30);
        QVERIFY2(uhr.elapsed() < 100, qPrintable(QString::number(uhr.elapsed())));
        QCOMPARE(Stimme->GetRate(), 10);
        QCOMPARE(Stimme->GetVolume(), 30);
        const auto [schnellMs, leiseSpitze] = SprichtUndWartet(kurz);
        qInfo("rate 0, volume 100: %lld ms, peak %d; rate 10, volume 30: %lld ms, peak %d", normalMs,
              normalSpitze, schnellMs, leiseSpitze);
        QVERIFY(schnellMs < normalMs * 3 / 4);
        QVERIFY(leiseSpitze < normalSpitze * 3 / 4);
        QVERIFY(leiseSpitze > Leise);
        Stimme->SetRate(0);
        Stimme->SetVolume(100);
    }

    void orcaIstErkannt() {
        QElapsedTimer uhr;
        qint64 laengster = 0;
        bool aktivS = false;
        for (int i = 0; i < 20 && !aktivS; ++i) {
            uhr.start();
            aktivS = Orca->IsActive();
            laengster = std::max(laengster, uhr.elapsed());
            QTest::qWait(50);
        }
        QVERIFY(aktivS);
        qInfo("longest IsActive call: %lld ms", laengster);
        QVERIFY2(laengster < 100, qPrintable(QString::number(laengster)));
        QCOMPARE(Orca->Name(), QStringLiteral("Orca"));
        QVERIFY(Orca->HasSpeech());
    }

    void orcaSprichtUndSchweigt() {
        QVERIFY(Orca->Speak(Satz + u' ' + Satz, false));
        QVERIFY(Ohr.WarteAufTon(5000));
        QVERIFY(Orca->IsSpeaking());
        QElapsedTimer uhr;
        uhr.start();
        QVERIFY(Orca->Silence());
        QVERIFY2(uhr.elapsed() < 100, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(Ohr.WarteAufStille(1500));
        qInfo("silent %lld ms after Silence", uhr.elapsed());
        QTRY_VERIFY_WITH_TIMEOUT(!Orca->IsSpeaking(), 2000);
    }

    // Interrupting also stops the speech of others on the server.
    void orcaUnterbrichtAndere() {
        Stimme->Speak(Satz + u' ' + Satz, SVSFlagsAsync);
        QVERIFY(Ohr.WarteAufTon(5000));
        QVERIFY(Orca->Output(QStringLiteral("Zeile übersprungen."), true));
        QTRY_VERIFY_WITH_TIMEOUT(!Orca->IsSpeaking(), 8000);
        QVERIFY(Ohr.WarteAufStille(2000));
    }

    // Orca speaks with priority "message": while our text plays, its next
    // utterance (a key echo, a focus change) starts at once instead of
    // waiting until our text has ended.
    void orcaKommtDurch_data() {
        QTest::addColumn<bool>("treiberS");
        QTest::newRow("Stimme") << false;
        QTest::newRow("Orca-Treiber") << true;
    }
    void orcaKommtDurch() {
        QFETCH(bool, treiberS);
        const QString lang = Satz + u' ' + Satz + u' ' + Satz;
        if (treiberS)
            QVERIFY(Orca->Speak(lang, false));
        else
            Stimme->Speak(lang, SVSFlagsAsync);
        QVERIFY(Ohr.WarteAufTon(5000));
        QElapsedTimer uhr;
        uhr.start();
        QProcess orcaGleich;
        orcaGleich.start(QStringLiteral("spd-say"), {QStringLiteral("-P"), QStringLiteral("message"),
                                                     QStringLiteral("-w"), QStringLiteral("Ja.")});
        QVERIFY(orcaGleich.waitForFinished(30000));
        qInfo("the other client's message was spoken and ended %lld ms after it was sent", uhr.elapsed());
        // "Ja." itself takes about half a second to say.
        QVERIFY2(uhr.elapsed() < 2000, qPrintable(QString::number(uhr.elapsed())));
        QVERIFY(Ohr.WarteAufStille(3000));
    }

    void orcaBeendetIstNichtErkannt() {
        const pid_t pid = qEnvironmentVariableIntValue("TASTARO_ORCA_PID");
        QVERIFY(pid > 0);
        // Orca takes seconds over a polite end; how it ends is not the point here.
        QCOMPARE(::kill(pid, SIGKILL), 0);
        auto beendet = [pid] {
            QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
            return !stat.open(QIODevice::ReadOnly) || stat.readAll().contains(") Z");
        };
        QVERIFY(QTest::qWaitFor(beendet, 3000));
        QElapsedTimer uhr;
        uhr.start();
        QTRY_VERIFY_WITH_TIMEOUT(!Orca->IsActive(), 1000);
        qInfo("not active %lld ms after Orca ended", uhr.elapsed());
    }

    // Orca started by the desktop sets the desktop's switch.
    void schalterDesDesktops_data() {
        QTest::addColumn<bool>("einS");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }
    void schalterDesDesktops() {
        QFETCH(bool, einS);
        QDBusMessage setzen = QDBusMessage::createMethodCall(
            QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
            QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Set"));
        setzen << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled")
               << QVariant::fromValue(QDBusVariant(einS));
        QCOMPARE(QDBusConnection::sessionBus().call(setzen).type(), QDBusMessage::ReplyMessage);
        QTRY_COMPARE_WITH_TIMEOUT(Orca->IsActive(), einS, 1500);
    }
};

QTEST_GUILESS_MAIN(TstSprachserver)
#include "tst_sprachserver.moc"
