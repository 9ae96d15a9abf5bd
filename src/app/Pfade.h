#pragma once
// Process-wide paths, computed once at process start before any window exists.
// Folders end with '/'.

#include <QString>

extern QString ProgrammDatei;        // full path of the program file
extern QString ProgrammOrdner;       // its folder
extern QString BenutzerOrdner;       // per-user data (remembered positions)
extern QString TrainingstexteOrdner; // root of the training areas
extern QString Mp3TexteOrdner;       // audio texts of the training lines
extern QString SoundsOrdner;         // event sounds
extern QString RememberFilesDatei;   // remembered line per training file
extern QString ProtokollOrdner;      // protocol files
extern QString DesktopLinkBenutzer;  // the user's desktop launcher
extern QString DesktopLinkAlle;      // the all-users desktop launcher (none here: empty)
extern QString SplashDatei;          // the splash picture: program path with ".ss"

// AProgrammDatei is the program file's full path; AProgrammOrdner, when given,
// overrides its folder (tests point it at the source data folder).
void PfadeBerechnen(const QString& AProgrammDatei, const QString& AProgrammOrdner = QString());
