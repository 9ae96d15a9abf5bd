// The application style leaves the look alone but keeps the image format
// plugins out of the process until a picture is really drawn.

#include "StartStil.h"

#include <QApplication>
#include <QFile>
#include <QMainWindow>
#include <QMenuBar>
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
    void menueleisteOhneBildformate() {
        QApplication::setStyle(StartStil());
        QMainWindow fenster;
        fenster.menuBar()->addMenu(QStringLiteral("&Datei"));
        QVERIFY(!BildformateGeladen());
    }

    void ueberlaufSymbolUnveraendert_data() {
        QTest::addColumn<int>("art");
        QTest::addRow("waagrecht") << int(QStyle::SP_ToolBarHorizontalExtensionButton);
        QTest::addRow("senkrecht") << int(QStyle::SP_ToolBarVerticalExtensionButton);
        QTest::addRow("andere unberührt") << int(QStyle::SP_MessageBoxWarning);
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
        QCOMPARE(spaet.pixmap(16).toImage(), basis->standardIcon(a).pixmap(16).toImage());
    }
};

QTEST_MAIN(TstStartStil)
#include "tst_startstil.moc"
