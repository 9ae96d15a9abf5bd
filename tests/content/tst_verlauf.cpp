#include "VerlaufC.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
QString Zahlen(const TZeichenZahlen& AZahlen) {
    QStringList out;
    for (auto it = AZahlen.cbegin(); it != AZahlen.cend(); ++it)
        out << QStringLiteral("%1%2/%3").arg(it.key()).arg(it.value().Richtig).arg(it.value().Falsch);
    return out.join(' ');
}
} // namespace

class TstVerlauf : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // characters right/wrong as "<char><right>/<wrong>", in character order
    void zeichenZaehlen_data() {
        QTest::addColumn<QString>("getippt");
        QTest::addColumn<QString>("vorlage");
        QTest::addColumn<bool>("richtigS");
        QTest::addColumn<bool>("grossKleinS");
        QTest::addColumn<QString>("zahlen");
        QTest::newRow("right line") << "ab ab"
                                    << "ab ab" << true << true << "a2/0 b2/0";
        QTest::newRow("a wrong word") << "ab ax"
                                      << "ab ab" << false << true << "a2/0 b1/1";
        QTest::newRow("word too short, rest untouched") << "Fu"
                                                        << "Fuß Käse" << false << true << "F1/0 u1/0 ß0/1";
        QTest::newRow("capital, case counts") << "käse"
                                              << "Käse" << false << true << "K0/1";
        QTest::newRow("capital, case ignored") << "käsx"
                                               << "Käse" << false << false << "K1/0 e0/1 s1/0 ä1/0";
    }
    void zeichenZaehlen() {
        QFETCH(QString, getippt);
        QFETCH(QString, vorlage);
        QFETCH(bool, richtigS);
        QFETCH(bool, grossKleinS);
        QFETCH(QString, zahlen);
        TZeichenZahlen z;
        ZeichenZaehlen(getippt, vorlage, richtigS, grossKleinS, z);
        QCOMPARE(Zahlen(z), zahlen);
    }

    // Records survive a damaged line and one cut off by a crash; the next
    // record after the cut stands on its own line.
    void verlaufUeberstehtSchaeden() {
        QTemporaryDir dir;
        const QString datei = dir.filePath("Verlauf.jsonl");
        TLaufEintrag e;
        e.Zeit = QDateTime(QDate(2026, 12, 3), QTime(9, 0));
        e.Bereich = "Grundkurs";
        e.Datei = "Lektion 1";
        e.AnschlaegeProMinute = 118;
        e.Zeichen[QChar(0xDF)] = {7, 3};
        QVERIFY(TVerlauf::Anhaengen(datei, e));
        QFile f(datei);
        QVERIFY(f.open(QIODevice::Append));
        f.write("kein json\n{\"zeit\":\"2026-12-0");
        f.close();
        e.Zeit = e.Zeit.addDays(7);
        e.AnschlaegeProMinute = 132;
        e.FertigS = false;
        QVERIFY(TVerlauf::Anhaengen(datei, e));
        const QList<TLaufEintrag> v = TVerlauf::Lesen(datei);
        QCOMPARE(v.size(), 2);
        QCOMPARE(v.at(0).AnschlaegeProMinute, 118);
        QCOMPARE(v.at(1).Zeichen.value(QChar(0xDF)).Falsch, 3);
        QVERIFY(!v.at(1).FertigS);
        QVERIFY(TVerlauf::Lesen(dir.filePath("fehlt")).isEmpty());

        const QStringList bericht = FortschrittBericht(
            v, [](QChar c) { return c == QChar(0xDF) ? QString("scharfes s") : QString(c); });
        QVERIFY2(bericht.contains("Schneller als vor einer Woche: 132 statt 118 Anschläge pro Minute."),
                 qPrintable(bericht.join('|')));
        QVERIFY(bericht.contains("scharfes s: 6 von 20 falsch, 30 Prozent"));
        QVERIFY(bericht.at(1).endsWith("(abgebrochen)")); // the newest run first
    }
};

QTEST_MAIN(TstVerlauf)
#include "tst_verlauf.moc"
