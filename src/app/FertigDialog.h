#pragma once
// The dialog at the end of a training file (and, in protocol mode, the
// protocol reader) and the area/file chooser, behind small interfaces so that
// the main window's tests can answer them without a modal loop.

#include "KatDlgC.h"
#include "Speech.h"

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;
class IAudioPlayer;
class IMessageBoxes;

enum class TFertigErgebnis { Weiter, Wiederholen, Schliessen };

struct TFertigDaten {
    bool SoundS = false;  // play the finish sound
    bool FertigS = false; // a file was finished (false: protocol mode)
    bool EndeS = true;    // no further file: "&Weiter" is not offered
    QStringList Zeilen;   // the report, one line each
    QString SoundDatei;   // the finish sound
    QFont Font;
    QColor SchriftFarbe; // the training font's colour; invalid: black
    QColor Hintergrund;
    QString Titel;  // the reader's caption; empty: the protocol reader's own
    QString Ansage; // the summary spoken once the dialog is up; empty: nothing is said
    std::function<void(const QString&)> Sprechen; // how the main window's speech says it
};

class IFertigDialog {
public:
    virtual ~IFertigDialog() = default;
    // APlayer plays the finish sound.
    virtual TFertigErgebnis Zeigen(QWidget* AOwner, const TFertigDaten& ADaten, IAudioPlayer* APlayer) = 0;
};

struct TAuswahlDaten {
    QString Caption;
    QStringList Liste;
    int ItemIndex = 0;
    QFont Font;
    QColor SchriftFarbe; // the training font's colour; invalid: black
    QColor Hintergrund;
};

class IAuswahlDialog {
public:
    virtual ~IAuswahlDialog() = default;
    // The chosen index, or -1 when the user cancelled.
    virtual int Waehlen(QWidget* AOwner, const TAuswahlDaten& ADaten) = 0;
};

// The program's own dialogs.
IFertigDialog* RealFertigDialog();
IAuswahlDialog* RealAuswahlDialog();

struct TEinstellungen;

// The options dialog: edits a copy of the settings; true on OK.
class IOptionenDialog {
public:
    virtual ~IOptionenDialog() = default;
    // The dialog lists and tries the voices with a speech facade of its own
    // made from APlatform; ATolk is the main window's screen reader dispatcher
    // for its spoken hints.
    virtual bool Zeigen(QWidget* AOwner, TEinstellungen& AEinstellungen, const TDialogAussehen& AAussehen,
                        const TSpeechPlatform& APlatform, TTolkSRD* ATolk) = 0;
};

// The font and colour dialog: true on OK with the new font and background.
class ISchriftDialog {
public:
    virtual ~ISchriftDialog() = default;
    // ATolk announces the lists; AFragen asks whether equal colours are meant.
    virtual bool Zeigen(QWidget* AOwner, QFont& AFont, QColor& ASchriftFarbe, QColor& AHintergrund,
                        TTolkSRD* ATolk, IMessageBoxes* AFragen) = 0;
};

IOptionenDialog* RealOptionenDialog();
ISchriftDialog* RealSchriftDialog();
