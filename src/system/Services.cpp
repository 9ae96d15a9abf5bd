#include "QtServices.h"

#include "ResConst.h"
#include "SystemServices.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <QPointer>
#include <QProcess>
#include <QPushButton>

namespace {

QString Zeilenumbrueche(QString AText) {
    AText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    AText.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return AText;
}

QString ButtonText(QMessageBox::StandardButton AButton) {
    switch (AButton) {
    case QMessageBox::Yes:
        return QStringLiteral("Ja");
    case QMessageBox::No:
        return QStringLiteral("Nein");
    case QMessageBox::Cancel:
        return QStringLiteral("Abbrechen");
    default:
        return QStringLiteral("OK");
    }
}

QMessageBox::StandardButton Zeige(QWidget* AOwner, QMessageBox::Icon AIcon, const QString& AText,
                                  QMessageBox::StandardButtons AButtons, QMessageBox::StandardButton ADefault,
                                  QMessageBox::StandardButton AEscape) {
    QMessageBox box(AIcon, ProgrammTitel, Zeilenumbrueche(AText), AButtons, AOwner);
    // Set by hand: the German texts must not depend on an installed translator.
    for (QAbstractButton* button : box.buttons())
        button->setText(ButtonText(box.standardButton(button)));
    box.setDefaultButton(ADefault);
    box.setEscapeButton(AEscape);
    box.exec();
    const QMessageBox::StandardButton clicked = box.standardButton(box.clickedButton());
    return clicked == QMessageBox::NoButton ? AEscape : clicked;
}

class TQtMessageBoxes final : public IMessageBoxes {
public:
    bool Frage(QWidget* AOwner, const QString& AText) override {
        return Zeige(AOwner, QMessageBox::Question, AText, QMessageBox::Yes | QMessageBox::No,
                     QMessageBox::Yes, QMessageBox::No) == QMessageBox::Yes;
    }
    TMsgAntwort FrageJaNeinAbbrechen(QWidget* AOwner, const QString& AText) override {
        switch (Zeige(AOwner, QMessageBox::Question, AText,
                      QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes,
                      QMessageBox::Cancel)) {
        case QMessageBox::Yes:
            return TMsgAntwort::Ja;
        case QMessageBox::No:
            return TMsgAntwort::Nein;
        default:
            return TMsgAntwort::Abbrechen;
        }
    }
    void Information(QWidget* AOwner, const QString& AText) override {
        Zeige(AOwner, QMessageBox::Information, AText, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
    }
    void Fehler(QWidget* AOwner, const QString& AText) override {
        Zeige(AOwner, QMessageBox::Critical, AText, QMessageBox::Ok, QMessageBox::Ok, QMessageBox::Ok);
    }
};

class TQtClock final : public IClock {
public:
    QDateTime Now() const override { return QDateTime::currentDateTime(); }
};

class TQtShell final : public IShell {
public:
    bool Open(QWidget* AOwner, const QString& AFileOrUrl) override { return ShellOpen(AOwner, AFileOrUrl); }
    bool StartProgram(const QString& AProgram, const QStringList& AArguments,
                      const QString& AWorkingFolder) override {
        return QProcess::startDetached(AProgram, AArguments, AWorkingFolder);
    }
    bool OpenTextFile(const QString& AFilename) override { return ::OpenTextFile(AFilename); }
    bool CreateShortcut(const QString& ALinkFile, const QString& ATarget,
                        const QString& ADescription) override {
        return ::CreateShortcut(ALinkFile, ATarget, QString(), ADescription, QString(), 0, SW_SHOWNORMAL);
    }
    void Beep() override { SystemBeep(); }
    bool FeststelltasteAn() const override { return ::FeststelltasteAn(); }
};

} // namespace

QObject* ServiceHost() {
    static QPointer<QObject> host;
    if (!host && QCoreApplication::instance()) host = new QObject(QCoreApplication::instance());
    return host;
}

TServices RealServices() {
    static TQtMessageBoxes messageBoxes;
    static TQtClock clock;
    static TQtShell shell;
    TServices services;
    services.MessageBoxes = &messageBoxes;
    services.Sounds = &PulseSoundPlayer();
    services.Audio = &QtAudioPlayer();
    services.Clock = &clock;
    services.Shell = &shell;
    return services;
}
