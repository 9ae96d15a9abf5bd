// The speech facade and the screen reader dispatcher with recording outputs:
// which voice a stored description selects, and where text goes.

#include "Sapi5_1.h"
#include "SpeechFakes.h"
#include "TolkSRD.h"

#include <QTest>

class TstSpeech : public QObject {
    Q_OBJECT

    TFakeSprache F;
    std::unique_ptr<TSpeech> S;

private Q_SLOTS:
    // Nothing waits for a server's list: its voice is selected by the stored
    // description at once, gets its place when the list arrives, and only a
    // list that lacks it hands over to the screen reader.
    void serverListeKommtSpaeter_data() {
        QTest::addColumn<QString>("stimme");
        QTest::addColumn<int>("nrVorher");
        QTest::addColumn<int>("nrNachher");
        QTest::addColumn<int>("indexNachher");
        QTest::newRow("gelistet") << "espeak-ng: German" << 1 << 1 << 0;
        QTest::newRow("wirklich weg") << "espeak-ng: Klingonisch" << 1 << 0 << -1;
        QTest::newRow("im Programm") << "German (eSpeak NG)" << 2 << 2 << 1;
    }
    void serverListeKommtSpaeter() {
        QFETCH(QString, stimme);
        TSpaeteStimme* v = nullptr;
        TSpeechPlatform p = F.Platform();
        p.Sapi5_1 = [&v] {
            auto neu = std::make_unique<TSpaeteStimme>();
            v = neu.get();
            return std::make_unique<TSapi5_1>(std::move(neu));
        };
        TSpeech s(false, p);
        bool gemeldetS = false;
        s.StimmenGeaendert = [&] { gemeldetS = true; };
        s.SetTokenNrIndex(s.FindDescriptionInTokensNrIndex(stimme));
        QTEST(s.TokenNrIndex().Nr, "nrVorher");
        if (s.TokenNrIndex().Nr == 1) QCOMPARE(v->Aktuell.Description, stimme);
        v->Ankommen();
        QVERIFY(gemeldetS);
        QTEST(s.TokenNrIndex().Nr, "nrNachher");
        QTEST(s.TokenNrIndex().Index, "indexNachher");
    }

    void init() {
        F = TFakeSprache();
        F.StimmenA = {QStringLiteral("espeak-ng: German"), QStringLiteral("Anna"), QStringLiteral("zora")};
        F.StimmenB = {QStringLiteral("German (eSpeak NG)"), QStringLiteral("anna")};
        S = std::make_unique<TSpeech>(false, F.Platform());
    }

    void voiceListOrder() {
        QCOMPARE(S->Tokens(), QStringList({ScreenReaderStimme, "Anna", "espeak-ng: German", "zora", "anna",
                                           "German (eSpeak NG)"}));
        TFakeSprache leer;
        leer.StimmenA.clear();
        QCOMPARE(TSpeech(false, leer.Platform()).Tokens(), QStringList{ScreenReaderStimme});
        QCOMPARE(TSpeech(true, leer.Platform()).Tokens(), QStringList());
    }

    void descriptionSelectsOutput_data() {
        QTest::addColumn<QString>("stimme");
        QTest::addColumn<int>("nr");
        QTest::addColumn<int>("index");
        QTest::newRow("leer") << "" << 0 << -1;
        QTest::newRow("Orca") << "screenreader (orca)" << 0 << -1;
        QTest::newRow("von Windows") << "SCREENREADER (JAWS/NVDA)" << 0 << -1;
        QTest::newRow("Server") << "ZORA" << 1 << 2;
        QTest::newRow("in beiden: Server") << "anna" << 1 << 0;
        QTest::newRow("im Programm") << "german (espeak ng)" << 2 << 1;
        QTest::newRow("nicht mehr da") << "Hans" << 0 << -1;
    }
    void descriptionSelectsOutput() {
        QFETCH(QString, stimme);
        QFETCH(int, nr);
        QFETCH(int, index);
        QCOMPARE(S->FindDescriptionInTokensNrIndex(stimme), (TNrIndex{nr, index}));
    }

    void selectionKeepsRealIndex() {
        S->SetTokenNrIndex({1, 2});
        QCOMPARE(S->TokenDescription(), QStringLiteral("zora"));
        S->SetTokenNrIndex({1, 99});
        QCOMPARE(S->TokenNrIndex(), (TNrIndex{1, 2}));
        S->SetTokenNrIndex({5, 0});
        QCOMPARE(S->TokenNrIndex(), (TNrIndex{-1, -1}));
        QVERIFY(S->TokenDescription().isEmpty());
        S->Speak(QStringLiteral("nichts"), true);
        QVERIFY(F.Gesprochen().isEmpty());
        S->SetTokenNrIndex({0, 3});
        QCOMPARE(S->TokenNrIndex(), (TNrIndex{0, -1}));
        QCOMPARE(S->TokenDescription(), ScreenReaderStimme);
    }

    void rateWaitsForSynthesizerVoice() {
        S->SetTokenNrIndex({0, -1});
        S->SetRate(4);
        S->SetVolume(55);
        QCOMPARE(S->Rate(), 0);
        // the screen reader's voice leaves the synthesizers untouched
        QCOMPARE(F.Welt->Aufrufe, QStringList());
        S->SetTokenNrIndex({2, 0});
        QCOMPARE(F.Welt->Aufrufe, QStringList({"B.Rate(4)", "B.Volume(55)"}));
        QCOMPARE(S->Rate(), 4);
        QCOMPARE(S->Volume(), 55);
    }

    void speakGoesToSelectedOutput() {
        S->SetTokenNrIndex({2, 1});
        F.Welt->Aufrufe.clear();
        S->Speak(QStringLiteral("Hallo"), true);
        S->Speak(QStringLiteral("Welt"), false);
        S->Stop();
        QCOMPARE(F.Welt->Aufrufe, QStringList({"B.Stop", "B.Speak(Hallo,1)", "B.Speak(Welt,1)", "B.Stop"}));
        // the screen reader: no fall-back to a voice when none runs
        S->SetTokenNrIndex({0, -1});
        F.Welt->Aufrufe.clear();
        S->Speak(QStringLiteral("Zeile"), true);
        S->Stop();
        F.Welt->ScreenReaderAktivS = false;
        S->Speak(QStringLiteral("ungehört"), true);
        QCOMPARE(F.Welt->Aufrufe, QStringList({"Orca.Speak(Zeile,1)", "Orca.Silence"}));
    }

    void findRandomDescription() {
        QCOMPARE(S->FindRandomDescription(QStringLiteral("German")), QStringLiteral("espeak-ng: German"));
        QCOMPARE(S->FindRandomDescription(QStringLiteral("german")), ScreenReaderStimme);
        QCOMPARE(S->FindRandomDescription(QString()), ScreenReaderStimme);
    }

    void dispatcherAsksEveryTime() {
        TTolkSRD t(F.Platform().Treiber);
        QVERIFY(!t.Speak(QStringLiteral("x"), true)); // not loaded
        t.Load();
        QCOMPARE(t.DetectScreenReader(), QStringLiteral("Orca"));
        QVERIFY(!t.Speak(QString(), true));
        QVERIFY(!t.Output(QString(), true));
        QVERIFY(F.Welt->Aufrufe.isEmpty()); // an empty text silences nothing
        F.Welt->ScreenReaderAktivS = false;
        QVERIFY(!t.Stop());
        QVERIFY(!t.HasSpeech());
        QCOMPARE(t.CurrentSRD(), nullptr);
        F.Welt->ScreenReaderAktivS = true;
        QVERIFY(t.Output(QStringLiteral("Stimmen"), false));
        QCOMPARE(F.Welt->Aufrufe, QStringList{"Orca.Output(Stimmen,0)"});
    }
};

QTEST_GUILESS_MAIN(TstSpeech)
#include "tst_speech.moc"
