#include "TastenNamenC.h"

#include <Qt>

namespace {

// X11 key codes of the right-hand twins (evdev): Shift, Control.
constexpr quint32 UmschaltRechts = 62;
constexpr quint32 SteuerungRechts = 105;

struct FingerRec {
    const char* Zeichen; // the characters of the key, unshifted and shifted and with Alt Gr
    const char* Finger;
};

// German QWERTZ, by finger; the home keys are a s d f and j k l ö.
const FingerRec Finger[] = {
    {"^°1!q@QaAyY<>|", "linker kleiner Finger"},   {"2\"²wWsSxX", "linker Ringfinger"},
    {"3§³eE€dDcC", "linker Mittelfinger"},         {"4$5%rRtTfFgGvVbB", "linker Zeigefinger"},
    {"6&7/{zZuUhHjJnNmMµ", "rechter Zeigefinger"}, {"8([iIkK,;", "rechter Mittelfinger"},
    {"9)]oOlL.:", "rechter Ringfinger"},           {"0=}ß?\\´`pPüÜ+*~öÖäÄ#'-_", "rechter kleiner Finger"},
};

const char16_t Grundstellung[] = u"aAsSdDfFjJkKlLöÖ";

} // namespace

QString TastenName(int AQtKey, quint32 AScanCode) {
    switch (AQtKey) {
    case Qt::Key_Shift:
        return AScanCode == UmschaltRechts ? QStringLiteral("Umschalt rechts")
                                           : QStringLiteral("Umschalt links");
    case Qt::Key_Control:
        return AScanCode == SteuerungRechts ? QStringLiteral("Steuerung rechts")
                                            : QStringLiteral("Steuerung links");
    case Qt::Key_Alt:
        return QStringLiteral("Alt");
    case Qt::Key_AltGr:
        return QStringLiteral("Alt Gr");
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
        return QStringLiteral("Windows-Taste");
    case Qt::Key_Menu:
        return QStringLiteral("Kontextmenü-Taste");
    case Qt::Key_Backspace:
        return QStringLiteral("Rücktaste");
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return QStringLiteral("Eingabetaste");
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return QStringLiteral("Tabulator");
    case Qt::Key_CapsLock:
        return QStringLiteral("Feststelltaste");
    case Qt::Key_Space:
        return QStringLiteral("Leertaste");
    case Qt::Key_Escape:
        return QStringLiteral("Escape");
    case Qt::Key_Delete:
        return QStringLiteral("Entfernen");
    case Qt::Key_Insert:
        return QStringLiteral("Einfügen");
    case Qt::Key_Home:
        return QStringLiteral("Pos 1");
    case Qt::Key_End:
        return QStringLiteral("Ende");
    case Qt::Key_PageUp:
        return QStringLiteral("Bild auf");
    case Qt::Key_PageDown:
        return QStringLiteral("Bild ab");
    case Qt::Key_Left:
        return QStringLiteral("Pfeil links");
    case Qt::Key_Right:
        return QStringLiteral("Pfeil rechts");
    case Qt::Key_Up:
        return QStringLiteral("Pfeil auf");
    case Qt::Key_Down:
        return QStringLiteral("Pfeil ab");
    case Qt::Key_NumLock:
        return QStringLiteral("Num-Taste");
    case Qt::Key_Print:
        return QStringLiteral("Druck");
    case Qt::Key_Pause:
        return QStringLiteral("Pause");
    case Qt::Key_Dead_Circumflex:
        return QStringLiteral("Zirkumflex, tote Taste");
    case Qt::Key_Dead_Acute:
        return QStringLiteral("Akut, tote Taste");
    case Qt::Key_Dead_Grave:
        return QStringLiteral("Gravis, tote Taste");
    default:
        break;
    }
    if (AQtKey >= Qt::Key_F1 && AQtKey <= Qt::Key_F35)
        return QStringLiteral("F%1").arg(AQtKey - Qt::Key_F1 + 1);
    return QString();
}

QString TastenFinger(QChar AZeichen, int AQtKey, quint32 AScanCode) {
    if (AZeichen.isNull()) {
        switch (AQtKey) {
        case Qt::Key_Space:
            return QStringLiteral("Daumen");
        case Qt::Key_Shift:
            return AScanCode == UmschaltRechts ? QStringLiteral("rechter kleiner Finger")
                                               : QStringLiteral("linker kleiner Finger");
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_CapsLock:
        case Qt::Key_Dead_Circumflex:
            return QStringLiteral("linker kleiner Finger");
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Backspace:
        case Qt::Key_AltGr:
        case Qt::Key_Dead_Acute:
        case Qt::Key_Dead_Grave:
            return QStringLiteral("rechter kleiner Finger");
        default:
            return QString();
        }
    }
    if (AZeichen == QLatin1Char(' ')) return QStringLiteral("Daumen");
    for (const FingerRec& f : Finger) {
        if (!QString::fromUtf8(f.Zeichen).contains(AZeichen)) continue;
        QString text = QString::fromUtf8(f.Finger);
        if (QStringView(Grundstellung).contains(AZeichen)) text += QStringLiteral(", Grundstellung");
        return text;
    }
    return QString();
}
