#pragma once
// The driver of Orca, the screen reader of the GNOME desktop: it speaks
// through the speech-dispatcher server that Orca itself speaks with.

#include "ScreenReaderDriver.h"

#include <QByteArrayList>
#include <QString>
#include <memory>

std::unique_ptr<TScreenReaderDriver> CreateOrcaDriver();

// How Orca speaks, from the text of its user settings ("user-settings.conf"
// in its folder below the user's data folder), as speech server commands:
// output module, language, voice, rate and volume, in the order they must be
// sent. The program's texts are German, so the language is German whatever
// Orca's is, and Orca's voice is taken only when it is a German one. What the
// settings do not give (or a file that is no settings file) is left out: the
// server's default then holds.
QByteArrayList OrcaSprechweise(const QByteArray& AUserSettings);
// Orca's user settings file of this user.
QString OrcaEinstellungsDatei();
