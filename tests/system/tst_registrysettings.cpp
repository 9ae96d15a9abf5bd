// ctest-labels: threads

// The hand-off store between a second start and the running instance.

#include "RegistrySettings.h"

#include <QFile>
#include <QSettings>
#include <QtTest>

class TstRegistrySettings : public QObject {
    Q_OBJECT
    const QString Key = QStringLiteral("TastaroTest");

private Q_SLOTS:
    void init() { QFile::remove(HandoffStoreFile(Key)); }

    void buildParameterString_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("parameter");
        QTest::addColumn<QString>("ergebnis");
        QTest::newRow("text wins") << "a|b" << QStringList{"prog", "x"} << "a|b";
        QTest::newRow("trimmed, empty skipped") << "" << QStringList{"prog", "  x ", "", "y"} << "x|y";
        QTest::newRow("empty last leaves a bar") << "" << QStringList{"prog", "x", ""} << "x|";
        QTest::newRow("none") << "" << QStringList{"prog"} << "";
    }
    void buildParameterString() {
        QFETCH(QString, text);
        QFETCH(QStringList, parameter);
        QTEST(BuildParameterString(text, parameter), "ergebnis");
    }

    void captionMatchesTitle_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<bool>("trifft");
        QTest::newRow("area - title") << "Stufe 1 - Tastaro V1.31" << true;
        QTest::newRow("title alone") << "Tastaro V1.31" << true;
        QTest::newRow("title twice") << "Tastaro V1.31 - Tastaro V1.31" << false;
        QTest::newRow("not at the end") << "Tastaro V1.31 (alt)" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("one shorter than the title") << "Tastaro V1.3" << false;
    }
    void captionMatchesTitle() {
        QFETCH(QString, caption);
        QTEST(CaptionMatchesTitle(caption, QStringLiteral("Tastaro V1.31")), "trifft");
    }

    void schreibenUndLesen() {
        QVERIFY(WriteRegistrySettings(Key, TRegistrySettings()));
        QVERIFY(!QFile::exists(HandoffStoreFile(Key)));
        QVERIFY(WriteRegistrySettings(QLatin1Char('\\') + Key, TRegistrySettings::rsSetFocus()));
        QVERIFY(WriteRegistrySettings(Key, TRegistrySettings::rsClose()));
        TRegistrySettings r;
        QVERIFY(ReadRegistrySettings(Key, r));
        QCOMPARE(r.SetFocus, QStringLiteral("1"));
        QCOMPARE(r.Close, QStringLiteral("1"));
        QVERIFY(r.Parameters.isEmpty());
        QVERIFY(!QFile::exists(HandoffStoreFile(Key)));
        QVERIFY(!ReadRegistrySettings(Key, r));
    }

    // Left-overs from before the start are dropped, damaged or not; later
    // requests arrive on the receiver's thread, one per poll and by priority.
    void waechter_data() {
        QTest::addColumn<QByteArray>("altlast"); // empty: a request written as usual
        QTest::newRow("Anfrage") << QByteArray();
        QTest::newRow("beschaedigt") << QByteArray("[General]\nProgramClose=1\n[x\n");
    }
    void waechter() {
        QFETCH(QByteArray, altlast);
        if (altlast.isEmpty()) {
            QVERIFY(WriteRegistrySettings(Key, TRegistrySettings::rsClose()));
        } else {
            QFile f(HandoffStoreFile(Key));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(altlast);
        }
        QStringList erhalten;
        QObject ziel;
        THandoffEmpfaenger e;
        e.SetFocus = [&] {
            QCOMPARE(QThread::currentThread(), ziel.thread());
            erhalten << QStringLiteral("SetFocus");
        };
        e.Close = [&] { erhalten << QStringLiteral("Close"); };
        TWatchRegistrySettings waechter(&ziel, e, Key);
        QTRY_VERIFY(!QFile::exists(HandoffStoreFile(Key)));
        QTest::qWait(300);
        QVERIFY(erhalten.isEmpty());
        QVERIFY(WriteRegistrySettings(Key, TRegistrySettings().SetData(QString(), "1", "1")));
        QTRY_COMPARE(erhalten, QStringList{QStringLiteral("SetFocus")});
        QTest::qWait(300);
        QCOMPARE(erhalten, QStringList{QStringLiteral("SetFocus")});
        QVERIFY(!QFile::exists(HandoffStoreFile(Key)));
    }
};

QTEST_MAIN(TstRegistrySettings)
#include "tst_registrysettings.moc"
