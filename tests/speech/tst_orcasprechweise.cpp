// The Orca driver speaks as the user's Orca does, but always in German: what
// it takes from Orca's user settings.

#include "ScreenReaderDriverOrca.h"

#include <QtTest>

class TstOrcaSprechweise : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void befehle_data() {
        QTest::addColumn<QByteArray>("einstellungen");
        QTest::addColumn<QByteArrayList>("befehle");
        const QByteArray deutsch = R"({"general": {"speechServerInfo": ["eSpeak NG", "espeak-ng"],
            "voices": {"default": {"family": {"name": "German", "lang": "de", "dialect": "AT"},
            "rate": 50.0, "gain": 10, "established": true}}}, "profiles": {"default": {}}})";
        QTest::newRow("keine Datei") << QByteArray() << QByteArrayList{"SET SELF LANGUAGE de"};
        QTest::newRow("keine Einstellungsdatei")
            << QByteArray("[General]\nx=1") << QByteArrayList{"SET SELF LANGUAGE de"};
        QTest::newRow("deutsche Stimme")
            << deutsch
            << QByteArrayList{"SET SELF OUTPUT_MODULE espeak-ng", "SET SELF LANGUAGE de-AT",
                              "SET SELF SYNTHESIS_VOICE German", "SET SELF RATE 2", "SET SELF VOLUME 100"};
        QTest::newRow("englische Stimme")
            << QByteArray(R"({"general": {"voices": {"default": {"family": {"name": "English", "lang": "en"},
               "rate": 0}}}})")
            << QByteArrayList{"SET SELF LANGUAGE de", "SET SELF RATE -98"};
        QTest::newRow("Profil vor allgemein")
            << QByteArray(R"({"general": {"startingProfile": ["Schnell", "schnell"],
               "voices": {"default": {"rate": 50}}},
               "profiles": {"schnell": {"voices": {"default": {"rate": 80}}}}})")
            << QByteArrayList{"SET SELF LANGUAGE de", "SET SELF RATE 62"};
        QTest::newRow("Zeilenumbruch im Namen")
            << QByteArray(R"({"general": {"speechServerInfo": ["x", "a\nSPEAK"],
               "voices": {"default": {"family": {"name": "b\r\nQUIT", "lang": "de"}}}}})")
            << QByteArrayList{"SET SELF LANGUAGE de"};
    }
    void befehle() {
        QFETCH(QByteArray, einstellungen);
        QTEST(OrcaSprechweise(einstellungen), "befehle");
    }
};

QTEST_GUILESS_MAIN(TstOrcaSprechweise)
#include "tst_orcasprechweise.moc"
