// ctest-labels: threads
// The application style leaves the look alone but keeps the image format
// plugins out of the process until a picture is really drawn. The icon theme
// is read ahead on a thread of its own, as at start.

#include "StartStil.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QProxyStyle>
#include <QtTest>

namespace {
bool BildformateGeladen() {
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("/imageformats/");
}
} // namespace

class TstStartStil : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QApplication::setStyle(StartStil());
        SymbolthemaVorlesen();
    }

    void menueleisteOhneBildformate() {
        QMainWindow fenster;
        fenster.menuBar()->addMenu(QStringLiteral("&Datei"));
        QVERIFY(!BildformateGeladen());
    }

    void frageOhneBildformate() {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Tastaro"), QStringLiteral("Weiter?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Ok | QMessageBox::Cancel);
        box.show();
        QVERIFY(QTest::qWaitForWindowExposed(&box));
        QVERIFY(!box.grab().isNull());
        QVERIFY(!BildformateGeladen());
    }

    void ueberlaufSymbolUnveraendert_data() {
        QTest::addColumn<int>("art");
        QTest::addRow("waagrecht") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
        QTest::addRow("senkrecht") << int(QStyle::SP_ToolBarVerticalExtensionButton);
        QTest::addRow("Ja") << int(QStyle::SP_DialogYesButton);
        QTest::addRow("Nein") << int(QStyle::SP_DialogNoButton);
        QTest::addRow("OK") << int(QStyle::SP_DialogOkButton);
        QTest::addRow("Abbrechen") << int(QStyle::SP_DialogCancelButton);
        QTest::addRow("andere unberührt") << int(QStyle::SP_MessageBoxWarning);
        QTest::addRow("Frage") << int(QStyle::SP_MessageBoxQuestion);
    }
    void ueberlaufSymbolUnveraendert() {
        QFETCH(int, art);
        std::unique_ptr<QStyle> stil(StartStil());
        auto* proxy = qobject_cast<QProxyStyle*>(stil.get());
        QVERIFY(proxy);
        QStyle* basis = proxy->baseStyle();
        const auto a = QStyle::StandardPixmap(art);
        const QIcon spaet = stil->standardIcon(a);
        QVERIFY(!spaet.isNull());
        const QIcon vorbild = basis->standardIcon(a);
        for (int groesse : {16, 20, 32})
            for (QIcon::Mode modus : {QIcon::Normal, QIcon::Disabled})
                QCOMPARE(spaet.pixmap(groesse, modus).toImage(), vorbild.pixmap(groesse, modus).toImage());
    }
};

QTEST_MAIN(TstStartStil)
#include "tst_startstil.moc"
