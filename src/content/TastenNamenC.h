#pragma once
// What the key explorer says about a key: the German name of a key that types
// no character, and the finger of the ten-finger system on the German QWERTZ
// keyboard.

#include <QString>

// The German name of a key that types no character ("Umschalt links",
// "Alt Gr", "Rücktaste"); AScanCode (the X11 key code) tells left from right.
// Empty for a key this list does not know.
QString TastenName(int AQtKey, quint32 AScanCode);

// The finger for the character AZeichen, or for the key AQtKey when AZeichen
// is null: "rechter Zeigefinger, Grundstellung" for "j". Empty when unknown.
QString TastenFinger(QChar AZeichen, int AQtKey = 0, quint32 AScanCode = 0);
