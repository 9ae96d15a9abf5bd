#pragma once
// Loading and saving the settings record together with everything else the
// program keeps in its per-user store: window placement, last area and file,
// training font and background number. Nothing here touches a window; the
// main window applies the results.

#include "EinstellungenC.h"

#include <QColor>
#include <QFont>
#include <QPalette>
#include <QSettings>
#include <QString>
#include <memory>

// The store keeps colours in the Windows colour format: 0x00BBGGRR, or a system
// colour as 0xFF0000nn (nn = the system colour index), read as a signed 32-bit
// number. This is the window text colour.
constexpr qint32 clWindowText = -16777208;

// The training font sizes the font dialog offers; a stored size is brought
// into them.
constexpr int SchriftGroesseMin = 5;
constexpr int SchriftGroesseMax = 35;

struct TGespeicherteWerte {
    // Window placement. Loading changes these only where the store holds a
    // usable value, so the caller fills them with the window's current state
    // and normal size first. Clamping to the window's minimum and maximum size
    // is left to the window's own resize.
    bool MaximiertS = false;
    int Hoehe = 0;
    int Breite = 0;

    // File names of the current area and training file; empty = none. A file
    // name is only meaningful when its area is found again.
    QString KategorieFilename;
    QString DatenFilename;

    QString FontName = QStringLiteral("Arial");
    int FontSize = 12; // points
    qint32 FontColor = clWindowText;
    int FontCharSet = 0; // Windows character set number; kept only to be saved again
    bool FontKursivS = false;
    bool FontFettS = false;
    bool FontUnterstrichenS = false;
    bool FontDurchgestrichenS = false;

    int HintergrundNr = 1; // 0 .. 18

    bool operator==(const TGespeicherteWerte&) const = default;
};

// Fills both records from AStore. Every value that is missing or unusable
// takes its default, and numbers are brought into their ranges; a store that
// is damaged or cannot be opened (status not NoError, or not writable) gives
// all defaults, the window fields stay as they are, and the result is false.
// The window size is not clamped here: the window knows its screen.
bool EinstellungenLaden(QSettings& AStore, TEinstellungen& AEinstellungen, TGespeicherteWerte& AWerte);

// Writes every value and syncs. False when the store cannot be written (then
// nothing is written) or the write did not reach it completely; the old file
// then stays as it was. A damaged file is replaced, and the program's own
// store keeps it beside as "Tastaro.conf.defekt" first.
bool EinstellungenSpeichern(QSettings& AStore, const TEinstellungen& AEinstellungen,
                            const TGespeicherteWerte& AWerte);

// The program's own store: the registry key "Software\Tastaro" of the current
// user on Windows, ~/.config/Tastaro.conf here.
std::unique_ptr<QSettings> TastaroSettingsStore();

// The training font as stored, on top of ABasis (which supplies everything the
// store does not keep).
QFont SchriftAusWerten(const TGespeicherteWerte& AWerte, const QFont& ABasis = QFont());
// Takes name, size and the four styles of AFont; colour and character set stay.
void SchriftInWerte(const QFont& AFont, TGespeicherteWerte& AWerte);

// A stored colour as a colour of this desktop; system colours are taken from
// APalette so that a dark theme keeps readable text.
QColor SchriftFarbeAusTColor(qint32 AColor, const QPalette& APalette);
// The stored form of AColor, chosen where ABisher was stored: a system colour
// that AColor still is (the user kept it) stays the system colour and goes on
// following the desktop theme; any other colour is stored as itself, even
// when it happens to be the theme's text colour.
qint32 TColorAusSchriftFarbe(const QColor& AColor, qint32 ABisher, const QPalette& APalette);
