// ctest-labels: threads

// Event sounds on a real sound server (the null sink of the test desktop):
// a waiting sound takes as long as it sounds, is really heard, and keys typed
// meanwhile reach the program afterwards and in order.

#include "QtServices.h"

#include <QLineEdit>
#include <QProcess>
#include <QtEndian>
#include <QtTest>
#include <cmath>

namespace {
constexpr int Rate = 22050;

QByteArray Sinus(int ADauerMs) {
    const int n = Rate * ADauerMs / 1000;
    QByteArray pcm(n * 2, Qt::Uninitialized);
    for (int i = 0; i < n; ++i)
        qToLittleEndian(qint16(std::lround(12000 * std::sin(i * 2 * M_PI * 440 / Rate))), pcm.data() + 2 * i);
    QByteArray wav("RIFF");
    auto le32 = [&wav](quint32 v) { wav.append(reinterpret_cast<const char*>(&v), 4); };
    auto le16 = [&wav](quint16 v) { wav.append(reinterpret_cast<const char*>(&v), 2); };
    le32(quint32(36 + pcm.size()));
    wav.append("WAVEfmt ");
    le32(16);
    le16(1);
    le16(1);
    le32(Rate);
    le32(Rate * 2);
    le16(2);
    le16(16);
    wav.append("data");
    le32(quint32(pcm.size()));
    return wav + pcm;
}
} // namespace

class TstKlangWarten : public QObject {
    Q_OBJECT
    ISoundPlayer& Spieler = PulseSoundPlayer();

private Q_SLOTS:
    void initTestCase() {
        // Without its sound server this test proves nothing: fail, never skip.
        QVERIFY2(QProcess::execute(QStringLiteral("pactl"), {QStringLiteral("info")}) == 0,
                 "no sound server: run under tests/desktop/desktop-session");
        // A fresh null sink takes its time with the first stream; that is not
        // what is measured.
        for (int i = 0; i < 10; ++i) {
            QElapsedTimer uhr;
            uhr.start();
            Spieler.Play(Sinus(50), true);
            if (uhr.elapsed() < 300) break;
        }
    }

    void wartetSoLangWieDerKlang_data() {
        QTest::addColumn<int>("dauerMs");
        QTest::newRow("kurz") << 150;
        QTest::newRow("eine Sekunde") << 1000;
    }
    void wartetSoLangWieDerKlang() {
        QFETCH(int, dauerMs);
        QElapsedTimer uhr;
        uhr.start();
        Spieler.Play(Sinus(dauerMs), true);
        const qint64 ms = uhr.elapsed();
        QVERIFY2(ms >= dauerMs - 20 && ms < dauerMs + 400, qPrintable(QString::number(ms)));
    }

    void istZuHoeren() {
        QProcess aufnahme;
        aufnahme.start(QStringLiteral("parec"),
                       {QStringLiteral("-d"), QStringLiteral("nul.monitor"), QStringLiteral("--raw"),
                        QStringLiteral("--format=s16le"), QStringLiteral("--channels=1"),
                        QStringLiteral("--rate=22050")});
        QVERIFY(aufnahme.waitForStarted());
        QTest::qWait(300);
        Spieler.Play(Sinus(400), true);
        QTest::qWait(200);
        aufnahme.terminate();
        QVERIFY(aufnahme.waitForFinished());
        const QByteArray roh = aufnahme.readAllStandardOutput();
        int spitze = 0;
        for (qsizetype i = 0; i + 1 < roh.size(); i += 2)
            spitze = std::max(spitze, std::abs(int(qFromLittleEndian<qint16>(roh.constData() + i))));
        QVERIFY2(spitze > 4000,
                 qPrintable(QStringLiteral("peak %1 in %2 bytes").arg(spitze).arg(roh.size())));
    }

    void neuerKlangSchneidetAb() {
        Spieler.Play(Sinus(3000), false);
        QElapsedTimer uhr;
        uhr.start();
        Spieler.Play(Sinus(200), true);
        QVERIFY2(uhr.elapsed() < 800, qPrintable(QString::number(uhr.elapsed())));
        Spieler.Stop();
    }

    // The wait runs no event loop: keys typed during it stay queued and come
    // afterwards, all of them and in order.
    void tastenKommenNachDemWarten() {
        QLineEdit feld;
        feld.show();
        feld.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&feld));
        QProcess tippen;
        tippen.start(QStringLiteral("xdotool"), {QStringLiteral("type"), QStringLiteral("--delay"),
                                                 QStringLiteral("40"), QStringLiteral("Grüße aus Wien")});
        QVERIFY(tippen.waitForStarted());
        Spieler.Play(Sinus(1500), true);
        QCOMPARE(feld.text(), QString());
        QVERIFY(tippen.waitForFinished(10000));
        QTRY_COMPARE(feld.text(), QStringLiteral("Grüße aus Wien"));
    }
};

QTEST_MAIN(TstKlangWarten)
#include "tst_klangwarten.moc"
