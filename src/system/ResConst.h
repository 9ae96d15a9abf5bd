#pragma once
// The shared enumerations of the program with their display texts.

#include <QString>

enum TModus { mNachtippen = 0, mUeberschreiben = 1 };
enum TSound { sClick = 0, sFalsch, sRichtig, sFertig, sTyping };
enum TSapi { sapiEin = 0, sapiBedarf = 1, sapiAus = 2 };

constexpr int TSoundCount = 5;

inline QString ModusText(TModus AModus) {
    return AModus == mNachtippen ? QStringLiteral("Nachtippen") : QStringLiteral("Überschreiben");
}

inline QString SoundText(TSound ASound) {
    switch (ASound) {
    case sClick: return QStringLiteral("Sound: Neue Zeile");
    case sFalsch: return QStringLiteral("Sound: Falsche Eingabe");
    case sRichtig: return QStringLiteral("Sound: Richtige Eingabe");
    case sFertig: return QStringLiteral("Sound: Training fertig");
    case sTyping: return QStringLiteral("Sound: Tippen");
    }
    return {};
}

inline QString SapiText(TSapi ASapi) {
    switch (ASapi) {
    case sapiEin: return QStringLiteral("Ein");
    case sapiBedarf: return QStringLiteral("Bei Bedarf");
    case sapiAus: return QStringLiteral("Keine");
    }
    return {};
}

inline const QString ProgrammName = QStringLiteral("Tastaro");
inline const QString ProgrammTitel = QStringLiteral("Tastaro V1.31");
