#pragma once
// The named colours of the training text: one table for the background store
// (19 numbers) and the font dialog's two colour lists (17 entries). The font
// lists leave out the two numbers that repeat a colour and call one colour by
// another name; every colour of the font lists is also a background number.

#include <QColor>
#include <QString>

class TFarbtabelle {
public:
    static constexpr int HintergrundAnzahl = 19;
    static constexpr int SchriftAnzahl = 17;

    // Name and colour of background number ANr (0..18).
    static QString HintergrundName(int ANr);
    static QColor HintergrundFarbe(int ANr);
    // Name and colour of entry ANr of the font dialog's lists (0..16).
    static QString SchriftName(int ANr);
    static QColor SchriftFarbe(int ANr);
    // An index outside the table means its first entry.
};
