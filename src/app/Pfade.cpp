#include "Pfade.h"

#include "ResConst.h"
#include "SystemServices.h"

#include <QFileInfo>

QString ProgrammDatei;
QString ProgrammOrdner;
QString BenutzerOrdner;
QString TrainingstexteOrdner;
QString Mp3TexteOrdner;
QString SoundsOrdner;
QString RememberFilesDatei;
QString ProtokollOrdner;
QString DesktopLinkBenutzer;
QString DesktopLinkAlle;
QString SplashDatei;

namespace {
QString MitTrenner(const QString& AOrdner) {
    if (AOrdner.isEmpty() || AOrdner.endsWith(QLatin1Char('/'))) return AOrdner;
    return AOrdner + QLatin1Char('/');
}
// The special folder plus a name; nothing when the folder is unknown, so that
// no relative path ever ends up in the working folder.
QString Unter(const QString& AOrdner, const QString& AName) {
    return AOrdner.isEmpty() ? QString() : AOrdner + AName;
}
} // namespace

void PfadeBerechnen(const QString& AProgrammDatei, const QString& AProgrammOrdner) {
    const QFileInfo fi(AProgrammDatei);
    ProgrammDatei = fi.absoluteFilePath();
    ProgrammOrdner = MitTrenner(AProgrammOrdner.isEmpty() ? fi.absolutePath() : AProgrammOrdner);
    const QString name = fi.completeBaseName().isEmpty() ? ProgrammName : fi.completeBaseName();
    BenutzerOrdner = Unter(GetSpecialFolder(nullptr, CSIDL_APPDATA), name + QLatin1Char('/'));
    TrainingstexteOrdner = ProgrammOrdner + QStringLiteral("Trainingstexte/");
    Mp3TexteOrdner = ProgrammOrdner + QStringLiteral("Mp3Texte/");
    SoundsOrdner = ProgrammOrdner + QStringLiteral("Sounds/");
    RememberFilesDatei = Unter(BenutzerOrdner, QStringLiteral("RememberFiles.txt"));
    ProtokollOrdner = Unter(GetSpecialFolder(nullptr, CSIDL_PERSONAL), name + QLatin1Char('/'));
    DesktopLinkBenutzer = Unter(GetSpecialFolder(nullptr, CSIDL_DESKTOP), QStringLiteral("Tastaro.desktop"));
    DesktopLinkAlle =
        Unter(GetSpecialFolder(nullptr, CSIDL_COMMON_DESKTOPDIRECTORY), QStringLiteral("Tastaro.desktop"));
    SplashDatei = fi.absolutePath() + QLatin1Char('/') + fi.completeBaseName() + QStringLiteral(".ss");
}
