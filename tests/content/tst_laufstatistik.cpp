#include "LaufStatistikC.h"

#include <QTest>

// One run as (ms after the start, what happened): "t" a key, "r<n>" Enter on
// a right line of n characters, "f" Enter on a wrong line.
class TstLaufStatistik : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void lauf_data() {
        QTest::addColumn<QStringList>("ereignisse");
        QTest::addColumn<int>("fehler"); // wrong entries as the window counts them (skips too)
        QTest::addColumn<QStringList>("zeilen");
        QTest::addColumn<QString>("ansage");
        QTest::newRow("one right line")
            << QStringList{"0 t", "6000 r10"} << 0
            << QStringList{"Anschläge pro Minute: 100", "Fehlerquote: 0 %", "Tippzeit: 0:06 Minuten"}
            << "100 Anschläge pro Minute, Fehlerquote 0 Prozent, Tippzeit 6 Sekunden.";
        // the pause between Enter and the next line's first key is no typing time
        QTest::newRow("wrong, then right")
            << QStringList{"0 t", "30000 f", "90000 t", "120000 r20"} << 1
            << QStringList{"Anschläge pro Minute: 20", "Fehlerquote: 50 %", "Tippzeit: 1:00 Minuten"}
            << "20 Anschläge pro Minute, Fehlerquote 50 Prozent, Tippzeit 1 Minute 0 Sekunden.";
        QTest::newRow("nothing typed")
            << QStringList{} << 3
            << QStringList{"Anschläge pro Minute: 0", "Fehlerquote: 100 %", "Tippzeit: 0:00 Minuten"}
            << "0 Anschläge pro Minute, Fehlerquote 100 Prozent, Tippzeit 0 Sekunden.";
    }
    void lauf() {
        QFETCH(QStringList, ereignisse);
        QFETCH(int, fehler);
        QFETCH(QStringList, zeilen);
        QFETCH(QString, ansage);
        const QDateTime start(QDate(2026, 12, 10), QTime(9, 0));
        TLaufStatistik lauf;
        lauf.Eingabe(start, true, 99); // left over from an earlier run
        lauf.Beginnen();
        for (const QString& e : ereignisse) {
            const QDateTime t = start.addMSecs(e.section(' ', 0, 0).toLongLong());
            const QString was = e.section(' ', 1);
            if (was == "t")
                lauf.Taste(t);
            else
                lauf.Eingabe(t, was.startsWith('r'), was.mid(1).toInt());
        }
        QCOMPARE(lauf.Zeilen(fehler), zeilen);
        QCOMPARE(lauf.Ansage(fehler), ansage);
    }
};

QTEST_MAIN(TstLaufStatistik)
#include "tst_laufstatistik.moc"
