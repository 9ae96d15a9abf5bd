// What is said after Enter: right, or the first wrong word with what was
// expected and typed, and where typing goes on.

#include "ZeilenErgebnisC.h"

#include <QTest>

class TstZeilenErgebnis : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void ergebnis_data() {
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<QString>("vorlage");
        QTest::addColumn<QString>("behalten");
        QTest::addColumn<bool>("grossKlein");
        QTest::addColumn<QString>("gesagt");
        // spelled words stand in brackets
        QTest::newRow("richtig") << "fff jjj"
                                 << "fff jjj"
                                 << "fff jjj" << true << "Richtig.";
        QTest::newRow("Groß/klein egal") << "Hallo welt"
                                         << "hallo Welt"
                                         << "" << false << "Richtig.";
        QTest::newRow("Groß/klein zählt")
            << "hallo Welt"
            << "Hallo Welt"
            << "" << true << "Falsch. Wort 1: erwartet [Hallo], getippt hallo. Weiter am Zeilenanfang.";
        QTest::newRow("zweites Wort, kurze Wörter buchstabiert")
            << "fff jjf"
            << "fff jjj"
            << "fff" << true << "Falsch. Wort 2: erwartet [jjj], getippt [jjf]. Weiter ab Wort 2.";
        QTest::newRow("Umlaut buchstabiert")
            << "schoen"
            << "schön"
            << "" << true << "Falsch. Wort 1: erwartet [schön], getippt schoen. Weiter am Zeilenanfang.";
        QTest::newRow("Satzzeichen buchstabiert")
            << "Sonne heute"
            << "Sonne, heute"
            << "" << true << "Falsch. Wort 1: erwartet [Sonne,], getippt [Sonne]. Weiter am Zeilenanfang.";
        QTest::newRow("zu kurz") << "ab cd"
                                 << "ab cd ef"
                                 << "ab cd" << true
                                 << "Falsch. Wort 3: erwartet [ef], getippt nichts. Weiter ab Wort 3.";
        QTest::newRow("zu lang") << "ab cd x"
                                 << "ab cd"
                                 << "ab cd" << true
                                 << "Falsch. Wort 3: erwartet das Zeilenende, getippt [x]. Weiter ab Wort 3.";
        QTest::newRow("doppeltes Leerzeichen")
            << "ab  cd"
            << "ab cd"
            << "ab" << true << "Falsch. Wort 2: erwartet [cd], getippt ein Leerzeichen. Weiter ab Wort 2.";
    }
    void ergebnis() {
        QFETCH(QString, getippt);
        QFETCH(QString, vorlage);
        QFETCH(QString, behalten);
        QFETCH(bool, grossKlein);
        QFETCH(QString, gesagt);
        const auto buchstabieren = [](const QString& AWort) {
            return QLatin1Char('[') + AWort + QLatin1Char(']');
        };
        QCOMPARE(ZeilenErgebnisText(getippt, vorlage, behalten, grossKlein, buchstabieren), gesagt);
    }
};

QTEST_MAIN(TstZeilenErgebnis)
#include "tst_zeilenergebnis.moc"
