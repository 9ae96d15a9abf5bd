#include "BuchstabierenC.h"

#include <QtTest>

class TstBuchstabieren : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void spelling_data();
    void spelling();
    void repetitions_data();
    void repetitions();
};

void TstBuchstabieren::spelling_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("buchstabiert");
    QTest::newRow("Hallo") << "Hallo"
                           << "Heinrich Anton 2 Ludwig Otto";
    QTest::newRow("lowercase alike") << "hallo"
                                     << "Heinrich Anton 2 Ludwig Otto";
    QTest::newRow("three spaces") << "ab   c"
                                  << "Anton Berta 3 Leer Cäsa";
    QTest::newRow("equal digits stay") << "11"
                                       << "1 1";
    QTest::newRow("equal lowercase counted") << "ll"
                                             << "2 Ludwig";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("spaces only") << "    "
                                 << "4 Leer";
    QTest::newRow("umlauts") << "äöü"
                             << "Umlaut A Österreich Übel";
    QTest::newRow("sharp s") << "Maß"
                             << "Martha Anton Scharfes s";
    QTest::newRow("accent as itself") << "é"
                                      << "É";
    QTest::newRow("signs") << "a+b=c?"
                           << "Anton Plus Berta Ist gleich Cäsa Fragezeichen";
    QTest::newRow("quote and backslash") << "\"\\"
                                         << "Anführung Backslash";
    QTest::newRow("ten hyphens") << "----------"
                                 << "9 Bindestrich Bindestrich";
    QTest::newRow("twenty stars") << QString(20, '*') << "9 Stern 9 Stern 2 Stern";
}

void TstBuchstabieren::spelling() {
    QFETCH(QString, text);
    QFETCH(QString, buchstabiert);
    QCOMPARE(GetBuchstabierenText(text), buchstabiert);
}

void TstBuchstabieren::repetitions_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("ergebnis");
    QTest::newRow("pair") << "HALLO"
                          << "HA2LO";
    QTest::newRow("nine") << "AAAAAAAAA"
                          << "9A";
    QTest::newRow("ten") << "AAAAAAAAAA"
                         << "9AA";
    QTest::newRow("eleven") << "AAAAAAAAAAA"
                            << "9A2A";
    QTest::newRow("eighteen") << QString(18, '.') << "9.9.";
    QTest::newRow("digits") << "000"
                            << "000";
    QTest::newRow("lowercase untouched") << "aa"
                                         << "aa";
    QTest::newRow("outside alphabet") << "ÉÉ"
                                      << "ÉÉ";
    QTest::newRow("neighbours") << "ABAB"
                                << "ABAB";
}

void TstBuchstabieren::repetitions() {
    QFETCH(QString, text);
    QFETCH(QString, ergebnis);
    QCOMPARE(GetWiederholungenText(text), ergebnis);
}

QTEST_GUILESS_MAIN(TstBuchstabieren)
#include "tst_buchstabieren.moc"
