// ctest-labels: threads

// The in-process engine over a scripted voice: only the newest utterance
// reports its end, a stop reports at once, and shutting down never waits for
// speech or calls a handler.

#include "Sapi5_4.h"

#include <QElapsedTimer>
#include <QTest>

namespace {
// Speaks nothing; the test decides when "everything queued" is done.
class TSkriptStimme : public TSpVoice {
public:
    std::shared_ptr<TSpEvent> Fertig = std::make_shared<TSpEvent>();
    QList<TSpObjectToken> Stimmen{{"b", "beta"}, {"a", "Alpha"}, {"c", "ALPHA"}};
    bool LaufzeitS = true;
    TSpObjectToken Aktuell{"b", "beta"};
    int Stream = 0;
    int Rate = 0;

    QList<TSpObjectToken> GetVoices() override { return Stimmen; }
    std::optional<TSpObjectToken> Voice() override {
        return LaufzeitS ? std::optional<TSpObjectToken>(Aktuell) : std::nullopt;
    }
    void SetVoice(const TSpObjectToken& AToken) override { Aktuell = AToken; }
    int GetRate() override { return Rate; }
    void SetRate(int AValue) override { Rate = AValue; }
    int GetVolume() override { return 0; }
    void SetVolume(int) override {}
    int Speak(const QString& AText, int AFlags) override {
        if (AFlags & SVSFPurgeBeforeSpeak) Fertig->Set();
        if (!AText.isEmpty()) Fertig->Reset();
        return ++Stream;
    }
    void Pause() override {}
    void Resume() override {}
    std::shared_ptr<TSpEvent> SpeakCompleteEvent() override { return Fertig; }
};
} // namespace

class TstSapi5_4 : public QObject {
    Q_OBJECT

    TSkriptStimme* V = nullptr;
    std::unique_ptr<TSapi5_4> E;
    QList<int> Enden;

private Q_SLOTS:
    void init() {
        auto v = std::make_unique<TSkriptStimme>();
        V = v.get();
        E = std::make_unique<TSapi5_4>(std::move(v));
        Enden.clear();
        E->SetOnEndStream([this](int AStream, int) { Enden << AStream; });
    }

    void onlyNewestUtteranceReportsEnd() {
        QCOMPARE(E->Speak(QStringLiteral("eins"), SVSFlagsAsync), 1);
        QCOMPARE(E->Speak(QStringLiteral("zwei"), SVSFlagsAsync), 2);
        V->Fertig->Set();
        QTRY_COMPARE(Enden, QList<int>{2});
        QTest::qWait(50);
        QCOMPARE(Enden, QList<int>{2});
        // finished threads are collected at the next utterance
        E->Speak(QStringLiteral("drei"), SVSFlagsAsync);
        QCOMPARE(E->WarteThreadAnzahl(), 1);
    }

    // A purge that sets and at once resets the voice's event still ends the
    // waiting threads of the utterances it stopped.
    void keinWarteThreadUeberlebtSeinenAbbruch() {
        for (int i = 0; i < 12; ++i)
            E->Speak(QStringLiteral("Zeile"), SVSFlagsAsync | SVSFPurgeBeforeSpeak);
        E->Stop();
        QTest::qWait(50);
        E->Speak(QStringLiteral("letzte"), SVSFlagsAsync);
        QCOMPARE(E->WarteThreadAnzahl(), 1);
    }

    void stopReportsOnceAtOnce() {
        E->Speak(QStringLiteral("lang"), SVSFlagsAsync);
        E->Stop();
        QCOMPARE(Enden, QList<int>{2});
        QTest::qWait(50); // the waiting thread wakes to an old generation
        QCOMPARE(Enden, QList<int>{2});
    }

    void synchronousSpeech() {
        E->Speak(QStringLiteral("sofort"), 0);
        E->Speak(QString(), 0);
        QCOMPARE(Enden, QList<int>{1});
    }

    void shutdownWhileWaiting() {
        E->Speak(QStringLiteral("endlos"), SVSFlagsAsync);
        V->Fertig->Reset(); // the purge at shutdown must not be what ends it
        QElapsedTimer t;
        t.start();
        E.reset();
        QVERIFY(t.elapsed() < 1000);
        QCoreApplication::processEvents();
        QVERIFY(Enden.isEmpty());
    }

    void voiceListRules() {
        QCOMPARE(E->Tokens(), QStringList({"Alpha", "ALPHA", "beta"}));
        QCOMPARE(E->FindDescriptionInTokensIndex(QStringLiteral("alpha")), 0);
        E->SetTokenIndex(1);
        QCOMPARE(V->Aktuell.Id, QStringLiteral("c"));
        QCOMPARE(E->TokenIndex(), 0); // its description is found first in either case
        for (int i : {-1, 3}) {
            E->SetTokenIndex(i);
            QCOMPARE(V->Aktuell.Id, QStringLiteral("c"));
        }
        V->LaufzeitS = false;
        E->SetRate(7);
        QCOMPARE(E->Rate(), 0);
        QCOMPARE(E->Speak(QStringLiteral("x"), SVSFlagsAsync), 0);
        V->LaufzeitS = true;
        E->SetTokenIndex(2);
        QCOMPARE(V->Rate, 0); // the rate written without a runtime was not kept
    }
};

QTEST_GUILESS_MAIN(TstSapi5_4)
#include "tst_sapi5_4.moc"
