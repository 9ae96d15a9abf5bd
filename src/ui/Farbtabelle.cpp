#include "Farbtabelle.h"

#include <array>

namespace {

struct FarbeRec {
    const char* Name;
    QRgb Farbe;
    const char* SchriftName; // the name in the font lists; nullptr: not in them
};

// Dunkelgrau and Hellgrau repeat the colours of Grau and Silber; a colour
// therefore maps back to the first of its entries.
constexpr std::array<FarbeRec, TFarbtabelle::HintergrundAnzahl> Tabelle{{
    {"Schwarz", 0x000000, "Schwarz"},
    {"Weiß", 0xFFFFFF, "Weiß"},
    {"Gelb", 0xFFFF00, "Gelb"},
    {"Blau", 0x0000FF, "Blau"},
    {"Marineblau", 0x000080, "Marineblau"},
    {"Himmelblau", 0xA6CAF0, "Himmelblau"},
    {"Blaugrün", 0x008080, "Blaugrün"},
    {"Grün", 0x008000, "Grün"},
    {"Minzgrün", 0xC0DCC0, "Minzgrün"},
    {"Gelbgrün", 0x00FF00, "Gelbgrün"},
    {"Olivgrün", 0x808000, "Olivgrün"},
    {"Grau", 0x808080, "Grau"},
    {"Dunkelgrau", 0x808080, nullptr},
    {"Hellgrau", 0xC0C0C0, nullptr},
    {"Rot", 0xFF0000, "Rot"},
    {"Purpur", 0x800080, "Violett"},
    {"Lila", 0xFF00FF, "Lila"},
    {"Silber", 0xC0C0C0, "Silber"},
    {"Braun", 0x800000, "Braun"},
}};

const FarbeRec& hintergrund(int ANr) {
    return Tabelle[ANr < 0 || ANr >= TFarbtabelle::HintergrundAnzahl ? 0 : static_cast<std::size_t>(ANr)];
}

const FarbeRec& schrift(int ANr) {
    if (ANr < 0 || ANr >= TFarbtabelle::SchriftAnzahl) ANr = 0;
    for (const FarbeRec& f : Tabelle)
        if (f.SchriftName && ANr-- == 0) return f;
    return Tabelle[0];
}

} // namespace

QString TFarbtabelle::HintergrundName(int ANr) {
    return QString::fromUtf8(hintergrund(ANr).Name);
}

QColor TFarbtabelle::HintergrundFarbe(int ANr) {
    return QColor::fromRgb(hintergrund(ANr).Farbe);
}

QString TFarbtabelle::SchriftName(int ANr) {
    return QString::fromUtf8(schrift(ANr).SchriftName);
}

QColor TFarbtabelle::SchriftFarbe(int ANr) {
    return QColor::fromRgb(schrift(ANr).Farbe);
}
