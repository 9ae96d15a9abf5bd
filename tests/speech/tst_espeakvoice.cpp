// ctest-labels: threads

#include "EspeakVoice.h"
#include "SapiBasics.h"

#include <QElapsedTimer>
#include <QtTest>

#include <cmath>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// Takes the PCM as a device would, at a multiple of the speech's own pace (or
// at once with tempo 0), and keeps every sample.
class TMitschnitt final : public TPcmAusgabe {
public:
    explicit TMitschnitt(double ATempo) : FTempo(ATempo) {}

    bool Oeffnen(int) override { return true; }
    bool Schreiben(const short* AProben, std::size_t AAnzahl) override {
        {
            std::lock_guard lock(FMutex);
            FProben.insert(FProben.end(), AProben, AProben + AAnzahl);
        }
        if (FTempo > 0)
            std::this_thread::sleep_for(std::chrono::duration<double>(AAnzahl / 22050.0 / FTempo));
        return true;
    }
    void Verwerfen() override {}
    void Ablaufen() override {}
    void Schliessen() override {}

    double Sekunden() {
        std::lock_guard lock(FMutex);
        return double(FProben.size()) / 22050;
    }
    double Pegel() {
        std::lock_guard lock(FMutex);
        double summe = 0;
        for (const short p : FProben)
            summe += double(p) * p;
        return std::sqrt(summe / double(std::max<std::size_t>(FProben.size(), 1)));
    }

private:
    const double FTempo;
    std::mutex FMutex;
    std::vector<short> FProben;
};

const QString Satz = QStringLiteral("Guten Morgen! Heute üben wir die Grundstellung: asdf und jklö.");
const QString Lang = QStringLiteral("Übung macht den Meister. Wer täglich zehn Minuten schreibt, lernt das "
                                    "Zehnfingersystem schneller, als er denkt. Die Hände ruhen auf der "
                                    "Grundreihe, die Daumen auf der Leertaste.");

struct TStimme {
    std::shared_ptr<TMitschnitt> Mitschnitt;
    std::unique_ptr<TSpVoice> Stimme;
};

TStimme NeueStimme(double ATempo, int ARate = 0, int AVolume = 100) {
    auto mitschnitt = std::make_shared<TMitschnitt>(ATempo);
    TStimme s{mitschnitt, CreateEspeakVoice(mitschnitt)};
    s.Stimme->SetRate(ARate);
    s.Stimme->SetVolume(AVolume);
    return s;
}

// A text spoken to its end, synchronously.
std::shared_ptr<TMitschnitt> Gesprochen(const QString& AText, int ARate = 0, int AVolume = 100) {
    TStimme s = NeueStimme(0, ARate, AVolume);
    s.Stimme->Speak(AText, 0);
    return s.Mitschnitt;
}

double Dauer(const QString& AText) {
    return Gesprochen(AText)->Sekunden();
}

// espeak's output for the same text varies by about two hundredths with what
// it spoke before.
bool Ungefaehr(double AIst, double AErwartet) {
    return std::abs(AIst - AErwartet) < 0.05 * AErwartet;
}

bool Gesetzt(TSpVoice& AStimme) {
    return AStimme.SpeakCompleteEvent()->IsSet();
}

} // namespace

class TstEspeakVoice : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void germanIsListedAndTheDefault();
    void germanTextIsSynthesized_data();
    void germanTextIsSynthesized();
    void purgeCutsSpeechShort();
    void pauseHoldsAndPurgeWithTextSpeaksIt();
    void everyRateStepSoundsDifferent();
    void destructionIsQuick_data();
    void destructionIsQuick();
    void eventIsSetAfterTheEnd();
    void withoutSoundServerSpeechStillEnds();
};

void TstEspeakVoice::germanIsListedAndTheDefault() {
    TStimme s = NeueStimme(0);
    const QList<TSpObjectToken> stimmen = s.Stimme->GetVoices();
    const TSpObjectToken deutsch{QStringLiteral("gmw/de"), QStringLiteral("German (eSpeak NG)")};
    QVERIFY(stimmen.size() > 50);
    QVERIFY(stimmen.contains(deutsch));
    for (const TSpObjectToken& t : stimmen)
        QVERIFY2(t.Description.endsWith(QStringLiteral(" (eSpeak NG)")), qPrintable(t.Description));
    QCOMPARE(s.Stimme->Voice(), deutsch);
}

void TstEspeakVoice::germanTextIsSynthesized_data() {
    QTest::addColumn<int>("rate");
    QTest::addColumn<int>("volume");
    QTest::addColumn<double>("dauer"); // relative to rate 0
    QTest::addColumn<double>("pegel"); // relative to volume 100
    // +10 three times as fast as 0 (as fast as espeak goes), -10 as slow as it goes
    QTest::newRow("normal") << 0 << 100 << 1.0 << 1.0;
    QTest::newRow("fastest") << 10 << 100 << 0.35 << 1.0;
    QTest::newRow("slowest") << -10 << 100 << 2.19 << 1.0;
    QTest::newRow("beyond the range") << 25 << 100 << 0.35 << 1.0;
    QTest::newRow("half volume") << 0 << 50 << 1.0 << 0.5;
}

void TstEspeakVoice::germanTextIsSynthesized() {
    QFETCH(int, rate);
    QFETCH(int, volume);
    QFETCH(double, dauer);
    QFETCH(double, pegel);
    const auto normal = Gesprochen(Satz);
    QVERIFY2(normal->Sekunden() > 2.5 && normal->Sekunden() < 8,
             qPrintable(QString::number(normal->Sekunden())));
    QVERIFY2(normal->Pegel() > 500, qPrintable(QString::number(normal->Pegel())));
    const auto s = Gesprochen(Satz, rate, volume);
    const double d = s->Sekunden() / normal->Sekunden();
    const double p = s->Pegel() / normal->Pegel();
    QVERIFY2(std::abs(d - dauer) < 0.15 * dauer, qPrintable(QString::number(d)));
    QVERIFY2(std::abs(p - pegel) < 0.15 * pegel, qPrintable(QString::number(p)));
}

// The steps at both ends of the scale are not clamped together.
void TstEspeakVoice::everyRateStepSoundsDifferent() {
    double vorher = 1e9;
    for (int rate : {-10, -9, -8, 8, 9, 10}) {
        const double sekunden = Gesprochen(Satz, rate)->Sekunden();
        QVERIFY2(sekunden < vorher * 0.98, qPrintable(QStringLiteral("%1: %2 s").arg(rate).arg(sekunden)));
        vorher = sekunden;
    }
}

void TstEspeakVoice::purgeCutsSpeechShort() {
    TStimme s = NeueStimme(4);
    QCOMPARE(s.Stimme->Speak(Lang, SVSFlagsAsync), 1);
    QCOMPARE(s.Stimme->Speak(Lang, SVSFlagsAsync), 2);
    QTRY_VERIFY(s.Mitschnitt->Sekunden() > 0.5);
    QCOMPARE(s.Stimme->Speak(QString(), SVSFPurgeBeforeSpeak), 0);
    QVERIFY(Gesetzt(*s.Stimme));
    const double geschnitten = s.Mitschnitt->Sekunden();
    QTest::qWait(300);
    QVERIFY2(s.Mitschnitt->Sekunden() < geschnitten + 0.1, qPrintable(QString::number(geschnitten)));
    QVERIFY(geschnitten < Dauer(Lang) / 2);
}

void TstEspeakVoice::pauseHoldsAndPurgeWithTextSpeaksIt() {
    TStimme s = NeueStimme(4);
    s.Stimme->Speak(Lang, SVSFlagsAsync);
    QTRY_VERIFY(s.Mitschnitt->Sekunden() > 0.5);
    s.Stimme->Pause();
    QTest::qWait(50);
    const double angehalten = s.Mitschnitt->Sekunden();
    QTest::qWait(300);
    QCOMPARE(s.Mitschnitt->Sekunden(), angehalten);
    QVERIFY(!Gesetzt(*s.Stimme));
    QCOMPARE(s.Stimme->Speak(Satz, SVSFlagsAsync | SVSFPurgeBeforeSpeak), 2);
    s.Stimme->Resume();
    QVERIFY(!Gesetzt(*s.Stimme));
    QTRY_VERIFY_WITH_TIMEOUT(Gesetzt(*s.Stimme), 10000);
    QVERIFY(Ungefaehr(s.Mitschnitt->Sekunden() - angehalten, Dauer(Satz)));
}

void TstEspeakVoice::destructionIsQuick_data() {
    QTest::addColumn<bool>("pausiertS");
    QTest::newRow("speaking") << false;
    QTest::newRow("paused") << true;
}

void TstEspeakVoice::destructionIsQuick() {
    QFETCH(bool, pausiertS);
    TStimme s = NeueStimme(1);
    s.Stimme->Speak(Lang, SVSFlagsAsync);
    s.Stimme->Speak(Lang, SVSFlagsAsync);
    QTRY_VERIFY(s.Mitschnitt->Sekunden() > 0.2);
    if (pausiertS) s.Stimme->Pause();
    QElapsedTimer uhr;
    uhr.start();
    s.Stimme.reset();
    QVERIFY2(uhr.elapsed() < 200, qPrintable(QString::number(uhr.elapsed())));
    const double bisher = s.Mitschnitt->Sekunden();
    QTest::qWait(200);
    QCOMPARE(s.Mitschnitt->Sekunden(), bisher);
}

void TstEspeakVoice::eventIsSetAfterTheEnd() {
    // also while another voice is destroyed in the middle of its speech
    TStimme bleibt = NeueStimme(4);
    TStimme geht = NeueStimme(4);
    QVERIFY(Gesetzt(*bleibt.Stimme));
    bleibt.Stimme->Speak(Satz, SVSFlagsAsync);
    bleibt.Stimme->Speak(Satz, SVSFlagsAsync);
    QVERIFY(!Gesetzt(*bleibt.Stimme));
    geht.Stimme->Speak(Lang, SVSFlagsAsync);
    QTRY_VERIFY(geht.Mitschnitt->Sekunden() > 0.2);
    geht.Stimme.reset();
    QTRY_VERIFY_WITH_TIMEOUT(Gesetzt(*bleibt.Stimme), 10000);
    QVERIFY(Ungefaehr(bleibt.Mitschnitt->Sekunden(), 2 * Dauer(Satz)));
}

void TstEspeakVoice::withoutSoundServerSpeechStillEnds() {
    // The test runs with a runtime folder of its own: no sound server there.
    std::unique_ptr<TSpVoice> stimme = CreateEspeakVoice();
    QElapsedTimer uhr;
    uhr.start();
    QCOMPARE(stimme->Speak(Satz, 0), 1);
    QVERIFY(Gesetzt(*stimme));
    stimme->Speak(Satz, SVSFlagsAsync);
    QTRY_VERIFY_WITH_TIMEOUT(Gesetzt(*stimme), 10000);
    QVERIFY2(uhr.elapsed() < 3000, qPrintable(QString::number(uhr.elapsed())));
}

QTEST_GUILESS_MAIN(TstEspeakVoice)
#include "tst_espeakvoice.moc"
