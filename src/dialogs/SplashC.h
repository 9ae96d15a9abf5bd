#pragma once
// The borderless picture shown while the training areas load at start.

#include <QString>
#include <QWidget>

class QLabel;
class QTimer;

class TSplashScreenForm : public QWidget {
    Q_OBJECT
public:
    TSplashScreenForm(QWidget* AOwner, const QString& AFilename);

    QString Filename() const { return FFilename; }
    void SetFilename(const QString& AFilename) { FFilename = AFilename; }

    // Shows the picture of AFilename at its own size, a JPEG or a BMP whatever
    // the file's extension; false (and an empty picture) for anything else.
    bool LoadPicture(const QString& AFilename);

    // True while the form is not on the screen: before it is shown and after
    // it hid itself for want of a picture.
    bool IsClosed() const;

    QLabel* Image1() const { return FImage1; }
    QTimer* Timer1() const { return FTimer1; }

protected:
    void showEvent(QShowEvent* AEvent) override;

private:
    void Timer1Timer();

    QLabel* FImage1 = nullptr;
    QTimer* FTimer1 = nullptr;
    QString FFilename;
};
