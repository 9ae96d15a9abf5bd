#include "SplashC.h"

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString writePicture(const QTemporaryDir& ADir, const char* AFormat, QSize ASize) {
    QImage picture(ASize, QImage::Format_RGB32);
    picture.fill(QColor(0x20, 0x80, 0xC0));
    // The extension says nothing about the content, as with the real splash file.
    const QString path = ADir.filePath(QStringLiteral("Tastaro.ss"));
    if (!picture.save(path, AFormat)) return QString();
    return path;
}

QString writeFile(const QTemporaryDir& ADir, const QByteArray& AContent) {
    const QString path = ADir.filePath(QStringLiteral("Tastaro.ss"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(AContent) != AContent.size()) return QString();
    return path;
}

QByteArray pngBytes() {
    QImage picture(QSize(50, 50), QImage::Format_RGB32);
    picture.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    picture.save(&buffer, "PNG");
    return bytes;
}

} // namespace

class TstSplash : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pictureShownAtItsOwnSize_data();
    void pictureShownAtItsOwnSize();
    void unreadableFileClosesAtOnce_data();
    void unreadableFileClosesAtOnce();
};

void TstSplash::pictureShownAtItsOwnSize_data() {
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<QSize>("size");
    QTest::newRow("BMP") << QByteArray("BMP") << QSize(321, 123);
    QTest::newRow("JPEG") << QByteArray("JPG") << QSize(200, 150);
}

void TstSplash::pictureShownAtItsOwnSize() {
    QFETCH(QByteArray, format);
    QFETCH(QSize, size);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = writePicture(dir, format.constData(), size);
    QVERIFY(!path.isEmpty());

    TSplashScreenForm splash(nullptr, path);
    splash.show();
    QVERIFY(QTest::qWaitForWindowExposed(&splash));
    QCOMPARE(splash.size(), size);
    QCOMPARE(splash.Image1()->geometry(), QRect(QPoint(0, 0), size));
    QVERIFY(!splash.Image1()->pixmap().isNull());
    const QPoint offCentre =
        splash.geometry().center() - QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY(offCentre.manhattanLength() <= 2);
    // A picture keeps the splash up; only the start-up hides it.
    QTest::qWait(50);
    QVERIFY(!splash.IsClosed());
}

void TstSplash::unreadableFileClosesAtOnce_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("exists");
    QTest::newRow("text file") << QByteArray("Dies ist kein Bild.\r\n") << true;
    QTest::newRow("empty file") << QByteArray() << true;
    QTest::newRow("broken BMP header") << QByteArray("BM\x10\x00\x00\x00garbage", 13) << true;
    QTest::newRow("PNG is not accepted") << pngBytes() << true;
    QTest::newRow("missing file") << QByteArray() << false;
}

void TstSplash::unreadableFileClosesAtOnce() {
    QFETCH(QByteArray, content);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = exists ? writeFile(dir, content) : dir.filePath(QStringLiteral("Tastaro.ss"));
    QVERIFY(!path.isEmpty());

    TSplashScreenForm splash(nullptr, path);
    QVERIFY(!splash.LoadPicture(path));
    QElapsedTimer clock;
    clock.start();
    splash.show();
    QTRY_VERIFY_WITH_TIMEOUT(splash.IsClosed(), 1000);
    // Far below the 1.25 s a shown picture would keep the start-up waiting.
    QVERIFY(clock.elapsed() < 500);
    QVERIFY(splash.Image1()->pixmap().isNull());
}

QTEST_MAIN(TstSplash)
#include "tst_splash.moc"
