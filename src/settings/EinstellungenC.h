#pragma once
// The user's choices: one plain record, copied by value between the main
// window and the options dialog.

#include "ResConst.h"

#include <QString>
#include <array>

struct TEinstellungen {
    TModus Modus = mUeberschreiben;
    // In mNachtippen the template pane is emptied once typing has started.
    bool TextVerschwindenS = false;
    // Master switch; SoundsArr holds one switch per sound, indexed by TSound.
    bool SoundsWiedergebenS = true;
    std::array<bool, TSoundCount> SoundsArr = {true, true, true, true, true};
    bool Mp3TextS = true;
    bool GrossKleinS = true;
    bool KorrekturS = true;
    bool ProtokollS = false;
    bool BigCursorS = true;
    TSapi Sapi = sapiAus;
    // Description of the chosen voice; empty = no voice.
    QString Stimme;
    int VoiceRate = -1;    // -10 .. 10
    int VoiceVolume = 100; // 0 .. 100
    // After Enter the outcome is said in words ("Richtig.", or where the line
    // went wrong) before the line is spoken again.
    bool ErgebnisAnsagenS = true;

    bool operator==(const TEinstellungen&) const = default;
};

// A default-constructed record already holds the defaults; this is the one
// place the options dialog's "Standard" button and the loader go through.
void StandardEinstellungen(TEinstellungen& AEinstellungen);
