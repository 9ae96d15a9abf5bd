// The version number, the stored date text and the rules that decide whether
// a check is due at start-up.

#include "UpdaterC.h"
#include "VersionC.h"

#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TUpdateCheckMode)

class TstVersion : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void versionText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("ergebnis"); // empty: rejected, the program's own version stays
        QTest::addRow("vier Teile") << "1.3.2.0"
                                    << "1.3.2.0";
        QTest::addRow("Blanks um Teile und Punkte") << "  1 . 3 .10 . 7 "
                                                    << "1.3.10.7";
        QTest::addRow("Grenzen") << "0.0.65535.0"
                                 << "0.0.65535.0";
        for (const char* falsch :
             {"1.3.2", "1.3.2.0.0", "1..2.0", "1.-3.2.0", "1.3.65536.0", "1 3 2 0", "1.3.2.a", ""})
            QTest::addRow("abgelehnt: \"%s\"", falsch) << falsch << QString();
        // Only ASCII digits, trimmed of ASCII blanks: no NUL that ends Qt's
        // number parsing early, no signs, no other white space.
        QTest::addRow("Tabulator") << "\t1.3.2.0\t"
                                   << "1.3.2.0";
        for (const QString& falsch :
             {QStringLiteral("1\0abc.3.2.0"), QStringLiteral("1.3.2.0\0 junk"), QStringLiteral("+1.3.2.-0"),
              QStringLiteral("\u30001.3.2.0"), QStringLiteral("1.\u00A03.2.0"), QStringLiteral("1.3\v.2.0"),
              QStringLiteral("1.3.\f2.0"), QStringLiteral("1.3.2.0\r"), QStringLiteral("\n1.3.2.0"),
              QStringLiteral("1.3.2.\u0661")})
            QTest::addRow("abgelehnt: %s", qPrintable(falsch.toUtf8().toPercentEncoding()))
                << falsch << QString();
    }
    void versionText() {
        QFETCH(QString, text);
        QFETCH(QString, ergebnis);
        TVersion v;
        QCOMPARE(v.ToString(), QStringLiteral("1.3.1.0"));
        QCOMPARE(v.TrySetData(text), !ergebnis.isEmpty());
        QCOMPARE(v.ToString(), ergebnis.isEmpty() ? QStringLiteral("1.3.1.0") : ergebnis);
    }

    void vergleich_data() {
        QTest::addColumn<QString>("links");
        QTest::addColumn<QString>("rechts");
        QTest::addColumn<int>("ergebnis");
        QTest::addRow("gleich") << "1.3.1.0"
                                << "1.3.1.0" << 0;
        QTest::addRow("Zahl, nicht Text") << "1.3.1.0"
                                          << "1.3.10.0" << -1;
        QTest::addRow("älterer Server") << "1.3.1.0"
                                        << "1.3.0.9" << 1;
        QTest::addRow("Build zählt zuletzt") << "1.3.1.1"
                                             << "1.3.1.0" << 1;
        QTest::addRow("Major zählt zuerst") << "1.9.9.9"
                                            << "2.0.0.0" << -1;
    }
    void vergleich() {
        QFETCH(QString, links);
        QFETCH(QString, rechts);
        QFETCH(int, ergebnis);
        TVersion a, b;
        QVERIFY(a.TrySetData(links) && b.TrySetData(rechts));
        QCOMPARE(a.CompareTo(&b), ergebnis);
        QCOMPARE(b.CompareTo(&a), -ergebnis);
        QCOMPARE(a.CompareTo(nullptr), 0);
    }

    void pruefdatum_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDateTime>("ergebnis"); // invalid: no successful check yet
        QTest::addRow("gültig") << "20261209235907" << QDateTime(QDate(2026, 12, 9), QTime(23, 59, 7));
        QTest::addRow("mit Blanks") << " 20260101000000 " << QDateTime(QDate(2026, 1, 1), QTime(0, 0));
        for (const char* falsch : {"2026120923590", "202612092359070", "20261309235907", "20260230120000",
                                   "20261209240000", "2026120923590x", ""})
            QTest::addRow("ungültig: \"%s\"", falsch) << falsch << QDateTime();
    }
    void pruefdatum() {
        QFETCH(QString, text);
        QFETCH(QDateTime, ergebnis);
        QCOMPARE(TUpdater::TryParseCheckDate(text), ergebnis);
        QCOMPARE(TUpdater::FormatCheckDate(ergebnis), ergebnis.isValid() ? text.trimmed() : QString());
    }

    void faellig_data() {
        QTest::addColumn<TUpdateCheckMode>("modus");
        QTest::addColumn<QString>("letzte"); // as stored; empty = never
        QTest::addColumn<QDateTime>("jetzt");
        QTest::addColumn<bool>("faellig");
        const QDateTime h0001(QDate(2026, 12, 9), QTime(0, 1));
        const QDateTime h2359(QDate(2026, 12, 9), QTime(23, 59));
        QTest::addRow("jeder Start") << ucmEveryStart << "20261209000000" << h0001 << true;
        QTest::addRow("täglich, nie") << ucmDaily << "" << h0001 << true;
        QTest::addRow("täglich, gestern 23:59") << ucmDaily << "20261208235900" << h0001 << true;
        QTest::addRow("täglich, heute 00:01") << ucmDaily << "20261209000100" << h2359 << false;
        QTest::addRow("wöchentlich, nie") << ucmWeekly << "" << h0001 << true;
        QTest::addRow("wöchentlich, 6 Tage 23 Stunden") << ucmWeekly << "20261202010100" << h0001 << false;
        QTest::addRow("wöchentlich, genau 7 Tage") << ucmWeekly << "20261202000100" << h0001 << true;
        QTest::addRow("wöchentlich, Zukunft") << ucmWeekly << "20261209000200" << h0001 << true;
        QTest::addRow("nur von Hand") << ucmManualOnly << "" << h0001 << false;
    }
    void faellig() {
        QFETCH(TUpdateCheckMode, modus);
        QFETCH(QString, letzte);
        QFETCH(QDateTime, jetzt);
        QFETCH(bool, faellig);
        QTemporaryDir ordner;
        const QString ini = ordner.filePath(QStringLiteral("u.ini"));
        {
            QSettings s(ini, QSettings::IniFormat);
            s.setValue(QStringLiteral("Updater/CheckMode"), int(modus));
            s.setValue(QStringLiteral("Updater/LastSuccessfulCheck"), letzte);
        }
        TUpdater u(nullptr, QStringLiteral("Tastaro"), QString(), ucmEveryStart);
        u.UseIniStorage(ini);
        QCOMPARE(u.CheckMode(), modus);
        QCOMPARE(u.IsUpdateCheckDue(jetzt), faellig);
    }
};

QTEST_GUILESS_MAIN(TstVersion)
#include "tst_version.moc"
