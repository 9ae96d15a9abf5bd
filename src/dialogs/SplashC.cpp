#include "SplashC.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QTimer>

namespace {

// The file's content decides, never its extension, and only these two
// formats are accepted.
QImage readAs(const QString& AFilename, const char* AFormat) {
    QImageReader reader(AFilename, AFormat);
    reader.setAutoDetectImageFormat(false);
    reader.setDecideFormatFromContent(false);
    return reader.read();
}

} // namespace

TSplashScreenForm::TSplashScreenForm(QWidget* AOwner, const QString& AFilename)
    : QWidget(AOwner, Qt::SplashScreen | Qt::FramelessWindowHint), FFilename(AFilename) {
    // The splash must not take the focus from where a screen reader expects it.
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    FImage1 = new QLabel(this);
    FImage1->setContentsMargins(0, 0, 0, 0);
    FImage1->move(0, 0);
    FTimer1 = new QTimer(this);
    FTimer1->setSingleShot(true);
    connect(FTimer1, &QTimer::timeout, this, &TSplashScreenForm::Timer1Timer);
}

bool TSplashScreenForm::LoadPicture(const QString& AFilename) {
    if (AFilename.isEmpty() || !QFileInfo(AFilename).isFile()) return false;
    QImage picture = readAs(AFilename, "jpeg");
    if (picture.isNull()) picture = readAs(AFilename, "bmp");
    if (picture.isNull()) {
        FImage1->clear();
        return false;
    }
    FImage1->setPixmap(QPixmap::fromImage(picture));
    FImage1->resize(picture.size());
    setFixedSize(picture.size());
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        move(area.left() + (area.width() - width()) / 2, area.top() + (area.height() - height()) / 2);
    }
    return true;
}

bool TSplashScreenForm::IsClosed() const {
    return !isVisible();
}

void TSplashScreenForm::showEvent(QShowEvent* AEvent) {
    QWidget::showEvent(AEvent);
    FTimer1->setInterval(1);
    if (!LoadPicture(FFilename)) FTimer1->start();
}

void TSplashScreenForm::Timer1Timer() {
    FTimer1->stop();
    hide();
}
