// Libraries opened at run time: a missing library or symbol is a failure the
// caller can see, never a crash.

#include "DynBibliothek.h"
#include "PulseApi_unix.h"

#include <QtTest>

#include <cmath>

class TstDynBibliothek : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void oeffnenUndBinden_data() {
        QTest::addColumn<QString>("soname");
        QTest::addColumn<QString>("symbol");
        QTest::addColumn<bool>("offenS");
        QTest::addColumn<QString>("fehlerNennt");
        QTest::newRow("present") << "libm.so.6"
                                 << "cos" << true << "";
        QTest::newRow("symbol missing") << "libm.so.6"
                                        << "tastaro_gibts_nicht" << true << "tastaro_gibts_nicht";
        QTest::newRow("library missing") << "libtastaro-gibts-nicht.so.1"
                                         << "cos" << false << "libtastaro-gibts-nicht.so.1";
    }
    void oeffnenUndBinden() {
        QFETCH(QString, soname);
        QFETCH(QString, symbol);
        QFETCH(bool, offenS);
        QFETCH(QString, fehlerNennt);
        TDynBibliothek b(soname.toLatin1().constData());
        QCOMPARE(b.Offen(), offenS);
        double (*fn)(double) = &std::cos;
        const bool gebundenS = b.Binden(fn, symbol.toLatin1().constData());
        QCOMPARE(gebundenS, fehlerNennt.isEmpty());
        if (gebundenS) {
            QCOMPARE(fn(0.0), 1.0);
            QVERIFY(b.Fehler().isEmpty());
        } else {
            QVERIFY(!fn);
            QVERIFY2(b.Fehler().contains(fehlerNennt), qPrintable(b.Fehler()));
        }
    }

    // A table that cannot be had is asked for once per process: later calls
    // neither open the library again nor bind.
    void fehlendeTabelleEndgueltig() {
        struct TApi {
            double (*Cos)(double) = nullptr;
        };
        int versuche = 0;
        auto laden = [&versuche] {
            return ApiLaden<TApi>("libtastaro-gibts-nicht.so.1", [&versuche](TDynBibliothek& b, TApi& a) {
                ++versuche;
                return b.Binden(a.Cos, "cos");
            });
        };
        QVERIFY(!laden());
        QVERIFY(!laden());
        QCOMPARE(versuche, 1);
    }

    // The table binds every function of the installed client library.
    void pulseTabelle() {
        const TPulseApi* pa = PulseApi();
        QVERIFY(pa);
        QCOMPARE(PulseApi(), pa);
        QVERIFY(pa->SimpleNew && pa->SimpleWrite && pa->SimpleDrain && pa->SimpleFlush && pa->SimpleFree);
        const pa_sample_spec art{PA_SAMPLE_S16LE, 22050, 1};
        QCOMPARE(pa->UsecToBytes(1000000, &art), size_t(44100));
    }
};

QTEST_GUILESS_MAIN(TstDynBibliothek)
#include "tst_dynbibliothek.moc"
