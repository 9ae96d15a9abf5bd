// The trainer speaks on a real desktop (run under desktop-session --orca): the
// line that comes up is heard on the sound server's null sink with the screen
// reader voice (Orca runs) and with a voice of either synthesizer engine, Esc
// silences it, the speech commands are heard, and rate and volume take effect.

#include "EinstellungenC.h"
#include "HauptFixture.h"
#include "Pegel.h"
#include "TextPane.h"

#include <QProcess>
#include <QtEndian>
#include <QtTest>
#include <cmath>
#include <csignal>

class TstSprechen : public QObject {
    Q_OBJECT

    std::unique_ptr<THauptFixture> F;
    TForm1* Form = nullptr;

    void Vorbereiten(const QString& AStimme, int ARate = 0, int AVolume = 100) {
        F = std::make_unique<THauptFixture>();
        F->EchteSpracheS = true;
        F->Anlegen();
        Form = F->Erzeugen();
        F->Zeigen();
        Innen(Form).Einstellungen->Sapi = sapiEin;
        Innen(Form).Einstellungen->Stimme = AStimme;
        Innen(Form).Einstellungen->VoiceRate = ARate;
        Innen(Form).Einstellungen->VoiceVolume = AVolume;
        Form->SetStimme();
    }

private Q_SLOTS:
    void initTestCase() {
        QVERIFY2(QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("info")}) == 0,
                 "no sound server: run under tests/desktop/desktop-session --orca");
        QVERIFY2(qEnvironmentVariableIsSet("TASTARO_ORCA_PID"), "no Orca: run under desktop-session --orca");
    }

    // The speech server is not running (it ends when idle): with a voice of
    // any engine the line comes up and is heard without the window ever
    // stopping to answer. First in this program, so that nothing of the
    // server is known yet.
    void kalterStartOhneStau_data() {
        QTest::addColumn<QString>("stimme");
        QTest::newRow("Bildschirmleser") << ScreenReaderStimme;
        QTest::newRow("Sprachserver") << "espeak-ng: German";
        QTest::newRow("im Programm") << "German (eSpeak NG)";
    }
    void kalterStartOhneStau() {
        QFETCH(QString, stimme);
        if (const pid_t server = SprachserverPid(); server > 0 && ::kill(server, SIGKILL) == 0)
            QTRY_VERIFY(::kill(server, 0) != 0);
        F = std::make_unique<THauptFixture>();
        F->EchteSpracheS = true;
        F->Anlegen();
        Form = F->Erzeugen();
        F->Zeigen();
        TPegel pegel;
        QVERIFY(pegel.Laeuft());
        QVERIFY(pegel.Warte(false, 3000) >= 0);
        const TStauUhr stau;
        Innen(Form).Einstellungen->SoundsWiedergebenS =
            false; // a waiting event sound holds the window by design
        Innen(Form).Einstellungen->Sapi = sapiEin;
        Innen(Form).Einstellungen->Stimme = stimme;
        Form->SetStimme();
        F->Starten(mNachtippen);
        const qint64 gehoert = pegel.Warte(true, 10000);
        const qint64 laengste = stau.Laengste();
        qInfo("line heard after %lld ms, longest stall %lld ms", gehoert, laengste);
        QVERIFY2(gehoert >= 0, "the line was not heard");
        QVERIFY2(laengste <= 50, qPrintable(QString::number(laengste)));
        QTest::keyClick(Innen(Form).Memo1, Qt::Key_Escape);
        QVERIFY(pegel.Warte(false, 2000) >= 0);
    }

    void zeileUndBefehleWerdenGehoert_data() {
        QTest::addColumn<QString>("stimme");
        QTest::addColumn<int>("nr");
        QTest::newRow("Bildschirmleser") << ScreenReaderStimme << 0;
        QTest::newRow("Sprachserver") << "espeak-ng: German" << 1;
        QTest::newRow("im Programm") << "German (eSpeak NG)" << 2;
    }
    void zeileUndBefehleWerdenGehoert() {
        QFETCH(QString, stimme);
        QFETCH(int, nr);
        Vorbereiten(stimme);
        QCOMPARE(Innen(Form).Speech->TokenNrIndex().Nr, nr);
        TPegel pegel;
        QVERIFY(pegel.Laeuft());
        QVERIFY2(pegel.Warte(false, 3000) >= 0, "the sink is not quiet before the test");
        F->Starten(mNachtippen);
        QVERIFY2(pegel.Warte(true, 5000) >= 0, "the line that came up was not heard");
        QTest::keyClick(Innen(Form).Memo1, Qt::Key_Escape);
        const qint64 stille = pegel.Warte(false, 2000);
        QVERIFY2(stille >= 0, "Esc did not silence the line");
        qInfo("silent %lld ms after Esc", stille);
        // and for good: nothing of the line comes back
        QVERIFY2(pegel.Warte(true, 1500) < 0, "the line went on after Esc");
        for (const auto& [taste, name] :
             {std::pair{Qt::Key_Up, "Strg+Auf"}, std::pair{Qt::Key_1, "Strg+1"}}) {
            QTest::keyClick(Innen(Form).Memo1, taste, Qt::ControlModifier);
            // Orca sees each key first (through the accessibility bus), which can take seconds on a busy
            // machine.
            QVERIFY2(pegel.Warte(true, 8000) >= 0, name);
            QTest::keyClick(Innen(Form).Memo1, Qt::Key_Escape);
            QVERIFY(pegel.Warte(false, 2000) >= 0);
        }
    }

    void rateUndLautstaerkeWirken_data() {
        QTest::addColumn<QString>("stimme");
        QTest::newRow("Sprachserver") << "espeak-ng: German";
        QTest::newRow("im Programm") << "German (eSpeak NG)";
    }
    void rateUndLautstaerkeWirken() {
        QFETCH(QString, stimme);
        // Orca's own announcements (the focus moving to the pane) interrupt
        // our texts, as they should, and would be measured with them: the
        // voice is measured alone.
        if (const pid_t orca = qEnvironmentVariableIntValue("TASTARO_ORCA_PID"); orca > 0)
            ::kill(orca, SIGKILL);
        QList<std::pair<qint64, double>> m;
        for (const auto& [rate, volume] : {std::pair{-6, 100}, std::pair{6, 100}, std::pair{6, 25}}) {
            Vorbereiten(stimme, rate, volume);
            TPegel pegel;
            QVERIFY(pegel.Laeuft());
            QVERIFY(pegel.Warte(false, 3000) >= 0);
            F->Starten(mNachtippen);
            QVERIFY(pegel.Warte(true, 5000) >= 0);
            m << pegel.Messen(8000);
        }
        qInfo("slow %lld ms, fast %lld ms; level %.0f at 100, %.0f at 25", m[0].first, m[1].first,
              m[1].second, m[2].second);
        QVERIFY2(m[0].first > m[1].first * 3 / 2, "the slow voice is not slower");
        QVERIFY2(m[1].second > m[2].second * 2, "the quiet voice is not quieter");
    }
};

QTEST_MAIN(TstSprechen)
#include "tst_sprechen.moc"
