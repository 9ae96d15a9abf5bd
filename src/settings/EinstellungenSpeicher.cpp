#include "EinstellungenSpeicher.h"

#include "PlainIni.h"

#include <QVariant>
#include <algorithm>
#include <limits>
#include <optional>

namespace {

// Values are read through this one gate so that every rule about what counts
// as present lives in one place.
//
// A number is present when it is stored as an integer or as a decimal text
// (the INI form keeps every value as text) whose value fits a signed 32-bit
// number, as the registry's number type does. Anything else (a text that is
// no number, "1.5", "true", a list, a number out of range) counts as absent,
// exactly like a missing value. A Boolean is such a number, non-zero = true.
// A text is present only when it is stored as a single text; a number or a
// list where a text belongs counts as absent.
class TLeser {
public:
    TLeser(const QSettings& AStore, bool ANutzbarS) : FStore(AStore), FNutzbarS(ANutzbarS) {}

    std::optional<int> Zahl(const QString& AName) const {
        const QVariant Wert = Roh(AName);
        switch (Wert.typeId()) {
        case QMetaType::Int:
            return Wert.toInt();
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong: {
            // A large unsigned value would wrap when read as a signed one.
            if (Wert.typeId() == QMetaType::ULongLong &&
                Wert.toULongLong() > quint64(std::numeric_limits<int>::max()))
                return std::nullopt;
            const qlonglong N = Wert.toLongLong();
            if (N < std::numeric_limits<int>::min() || N > std::numeric_limits<int>::max())
                return std::nullopt;
            return int(N);
        }
        case QMetaType::QString: {
            bool OkS = false;
            const int N = Wert.toString().toInt(&OkS, 10);
            if (OkS) return N;
            return std::nullopt;
        }
        default:
            return std::nullopt;
        }
    }

    bool Schalter(const QString& AName, bool AStandardS) const {
        const auto N = Zahl(AName);
        return N ? *N != 0 : AStandardS;
    }

    std::optional<QString> Text(const QString& AName) const {
        const QVariant Wert = Roh(AName);
        if (Wert.typeId() == QMetaType::QString) return Wert.toString();
        return std::nullopt;
    }

private:
    QVariant Roh(const QString& AName) const { return FNutzbarS ? FStore.value(AName) : QVariant(); }

    const QSettings& FStore;
    bool FNutzbarS;
};

// Loading wants a store it could also write to: one that is damaged or
// read-only gives all defaults.
bool StoreNutzbar(const QSettings& AStore) {
    return AStore.status() == QSettings::NoError && AStore.isWritable();
}

// Saving may replace a damaged file (the store keeps it beside as
// "<name>.defekt" first); a store that cannot be written gets nothing.
bool StoreBeschreibbar(const QSettings& AStore) {
    return AStore.status() != QSettings::AccessError && AStore.isWritable();
}

// Stored style bits. Not the order of any font style set: bold is the second bit.
constexpr int fsKursiv = 1;
constexpr int fsFett = 2;
constexpr int fsUnterstrichen = 4;
constexpr int fsDurchgestrichen = 8;

constexpr int HintergrundAnzahl = 19;

int HintergrundLaden(const std::optional<int>& AWert) {
    int Nr = AWert.value_or(1);
    // Two numbers of an earlier colour table whose colours moved.
    if (Nr == 12)
        Nr = 11;
    else if (Nr == 13)
        Nr = 17;
    if (Nr < 0 || Nr >= HintergrundAnzahl) Nr = 1;
    return Nr;
}

void Schreibe(QSettings& AStore, const QString& AName, int AWert) {
    AStore.setValue(AName, AWert);
}
void Schreibe(QSettings& AStore, const QString& AName, bool AWertS) {
    AStore.setValue(AName, AWertS ? 1 : 0);
}
void Schreibe(QSettings& AStore, const QString& AName, const QString& AWert) {
    AStore.setValue(AName, AWert);
}

} // namespace

bool EinstellungenLaden(QSettings& AStore, TEinstellungen& AEinstellungen, TGespeicherteWerte& AWerte) {
    const bool NutzbarS = StoreNutzbar(AStore);
    const TLeser Leser(AStore, NutzbarS);

    TEinstellungen E;
    StandardEinstellungen(E);
    TGespeicherteWerte W;
    W.MaximiertS = AWerte.MaximiertS;
    W.Hoehe = AWerte.Hoehe;
    W.Breite = AWerte.Breite;

    // A state the program never writes (1, minimised, anything) opens maximised.
    if (const auto Zustand = Leser.Zahl(QStringLiteral("WindowState"))) W.MaximiertS = *Zustand != 0;
    // Tiny sizes come from a broken placement; the window keeps its own then.
    if (const auto H = Leser.Zahl(QStringLiteral("Height")); H && *H > 100) W.Hoehe = *H;
    if (const auto B = Leser.Zahl(QStringLiteral("Width")); B && *B > 100) W.Breite = *B;

    W.KategorieFilename = Leser.Text(QStringLiteral("KategorieFilename")).value_or(QString());
    W.DatenFilename = Leser.Text(QStringLiteral("DatenFilename")).value_or(QString());

    if (const auto M = Leser.Zahl(QStringLiteral("Modus")); M && (*M == mNachtippen || *M == mUeberschreiben))
        E.Modus = TModus(*M);

    E.TextVerschwindenS = Leser.Schalter(QStringLiteral("TextVerschwinden"), E.TextVerschwindenS);
    if (const auto Sounds = Leser.Text(QStringLiteral("Sounds"))) {
        // A shorter text comes from a version with fewer sounds: the new ones start on.
        for (int I = 0; I < TSoundCount; ++I)
            E.SoundsArr[std::size_t(I)] = I >= Sounds->size() || Sounds->at(I) == QLatin1Char('1');
    }
    E.SoundsWiedergebenS = Leser.Schalter(QStringLiteral("SoundsWiedergeben"), E.SoundsWiedergebenS);
    E.Mp3TextS = Leser.Schalter(QStringLiteral("Mp3Text"), E.Mp3TextS);
    E.GrossKleinS = Leser.Schalter(QStringLiteral("GrossKlein"), E.GrossKleinS);
    E.KorrekturS = Leser.Schalter(QStringLiteral("Korrektur"), E.KorrekturS);
    E.ProtokollS = Leser.Schalter(QStringLiteral("Protokoll"), E.ProtokollS);
    E.BigCursorS = Leser.Schalter(QStringLiteral("BigCursor"), E.BigCursorS);
    E.ErgebnisAnsagenS = Leser.Schalter(QStringLiteral("ErgebnisAnsagen"), E.ErgebnisAnsagenS);
    if (const auto S = Leser.Zahl(QStringLiteral("Sapi")); S && *S >= sapiEin && *S <= sapiAus)
        E.Sapi = TSapi(*S);
    E.Stimme = Leser.Text(QStringLiteral("Stimme")).value_or(E.Stimme);
    E.VoiceRate = std::clamp(Leser.Zahl(QStringLiteral("VoiceRate")).value_or(E.VoiceRate), -10, 10);
    E.VoiceVolume = std::clamp(Leser.Zahl(QStringLiteral("VoiceVolume")).value_or(E.VoiceVolume), 0, 100);

    if (const auto Name = Leser.Text(QStringLiteral("FontName")); Name && !Name->isEmpty())
        W.FontName = *Name;
    // A font cannot have a size of zero or less; such a value would leave the
    // panes unreadable, so it counts as absent. Other sizes are brought into
    // what the font dialog offers.
    if (const auto Groesse = Leser.Zahl(QStringLiteral("FontSize")); Groesse && *Groesse > 0)
        W.FontSize = std::clamp(*Groesse, SchriftGroesseMin, SchriftGroesseMax);
    W.FontColor = Leser.Zahl(QStringLiteral("FontColor")).value_or(W.FontColor);
    W.FontCharSet = Leser.Zahl(QStringLiteral("FontCharSet")).value_or(W.FontCharSet);
    const int Stil = Leser.Zahl(QStringLiteral("FontStyle")).value_or(0);
    if (Stil != -1) {
        W.FontKursivS = (Stil & fsKursiv) != 0;
        W.FontFettS = (Stil & fsFett) != 0;
        W.FontUnterstrichenS = (Stil & fsUnterstrichen) != 0;
        W.FontDurchgestrichenS = (Stil & fsDurchgestrichen) != 0;
    }

    W.HintergrundNr = HintergrundLaden(Leser.Zahl(QStringLiteral("HintColor")));

    AEinstellungen = E;
    AWerte = W;
    return NutzbarS;
}

bool EinstellungenSpeichern(QSettings& AStore, const TEinstellungen& AEinstellungen,
                            const TGespeicherteWerte& AWerte) {
    if (!StoreBeschreibbar(AStore)) return false;
    const TEinstellungen& E = AEinstellungen;
    const TGespeicherteWerte& W = AWerte;

    QString Sounds;
    for (const bool AnS : E.SoundsArr)
        Sounds += AnS ? QLatin1Char('1') : QLatin1Char('0');
    const int Stil = (W.FontKursivS ? fsKursiv : 0) | (W.FontFettS ? fsFett : 0) |
                     (W.FontUnterstrichenS ? fsUnterstrichen : 0) |
                     (W.FontDurchgestrichenS ? fsDurchgestrichen : 0);

    Schreibe(AStore, QStringLiteral("WindowState"), W.MaximiertS ? 2 : 0);
    Schreibe(AStore, QStringLiteral("Height"), W.Hoehe);
    Schreibe(AStore, QStringLiteral("Width"), W.Breite);
    Schreibe(AStore, QStringLiteral("KategorieFilename"), W.KategorieFilename);
    Schreibe(AStore, QStringLiteral("DatenFilename"), W.DatenFilename);
    Schreibe(AStore, QStringLiteral("Modus"), int(E.Modus));
    Schreibe(AStore, QStringLiteral("TextVerschwinden"), E.TextVerschwindenS);
    Schreibe(AStore, QStringLiteral("SoundsWiedergeben"), E.SoundsWiedergebenS);
    Schreibe(AStore, QStringLiteral("Sounds"), Sounds);
    Schreibe(AStore, QStringLiteral("Mp3Text"), E.Mp3TextS);
    Schreibe(AStore, QStringLiteral("GrossKlein"), E.GrossKleinS);
    Schreibe(AStore, QStringLiteral("Korrektur"), E.KorrekturS);
    Schreibe(AStore, QStringLiteral("Protokoll"), E.ProtokollS);
    Schreibe(AStore, QStringLiteral("BigCursor"), E.BigCursorS);
    Schreibe(AStore, QStringLiteral("ErgebnisAnsagen"), E.ErgebnisAnsagenS);
    Schreibe(AStore, QStringLiteral("Sapi"), int(E.Sapi));
    Schreibe(AStore, QStringLiteral("Stimme"), E.Stimme);
    Schreibe(AStore, QStringLiteral("VoiceRate"), E.VoiceRate);
    Schreibe(AStore, QStringLiteral("VoiceVolume"), E.VoiceVolume);
    Schreibe(AStore, QStringLiteral("HintColor"), W.HintergrundNr);
    Schreibe(AStore, QStringLiteral("FontName"), W.FontName);
    Schreibe(AStore, QStringLiteral("FontSize"), W.FontSize);
    Schreibe(AStore, QStringLiteral("FontColor"), int(W.FontColor));
    Schreibe(AStore, QStringLiteral("FontCharSet"), W.FontCharSet);
    Schreibe(AStore, QStringLiteral("FontStyle"), Stil);

    return SyncStore(AStore);
}

std::unique_ptr<QSettings> TastaroSettingsStore() {
    // The settings belong to the current user alone; a system-wide file must
    // not slip values in.
    return UserStore(ProgrammName);
}

QFont SchriftAusWerten(const TGespeicherteWerte& AWerte, const QFont& ABasis) {
    QFont Schrift = ABasis;
    Schrift.setFamily(AWerte.FontName);
    if (AWerte.FontSize > 0) Schrift.setPointSize(AWerte.FontSize);
    Schrift.setItalic(AWerte.FontKursivS);
    Schrift.setBold(AWerte.FontFettS);
    Schrift.setUnderline(AWerte.FontUnterstrichenS);
    Schrift.setStrikeOut(AWerte.FontDurchgestrichenS);
    return Schrift;
}

void SchriftInWerte(const QFont& AFont, TGespeicherteWerte& AWerte) {
    if (!AFont.family().isEmpty()) AWerte.FontName = AFont.family();
    // A font given in pixels has no point size; the stored size then stays.
    if (AFont.pointSizeF() > 0) AWerte.FontSize = qMax(1, qRound(AFont.pointSizeF()));
    AWerte.FontKursivS = AFont.italic();
    AWerte.FontFettS = AFont.bold();
    AWerte.FontUnterstrichenS = AFont.underline();
    AWerte.FontDurchgestrichenS = AFont.strikeOut();
}

namespace {

constexpr quint32 SystemFarbe = 0xFF000000u;

QColor SystemFarbeAus(quint32 AIndex, const QPalette& APalette) {
    // Indices of the Windows system colours a font colour can sensibly be.
    switch (AIndex) {
    case 4:
        return APalette.color(QPalette::Window); // menu
    case 5:
        return APalette.color(QPalette::Base); // window
    case 7:
        return APalette.color(QPalette::WindowText); // menu text
    case 13:
        return APalette.color(QPalette::Highlight);
    case 14:
        return APalette.color(QPalette::HighlightedText);
    case 15:
        return APalette.color(QPalette::Button); // button face
    case 17:
        return APalette.color(QPalette::Disabled, QPalette::Text); // grey text
    case 18:
        return APalette.color(QPalette::ButtonText);
    case 23:
        return APalette.color(QPalette::ToolTipText); // info text
    case 24:
        return APalette.color(QPalette::ToolTipBase); // info background
    default:
        return APalette.color(QPalette::Text); // window text and anything unknown
    }
}

} // namespace

QColor SchriftFarbeAusTColor(qint32 AColor, const QPalette& APalette) {
    const auto Wert = quint32(AColor);
    if ((Wert & SystemFarbe) == SystemFarbe) return SystemFarbeAus(Wert & 0xFFu, APalette);
    // The high byte of other values only selects a palette mode; the colour is the low three bytes.
    return QColor(int(Wert & 0xFFu), int((Wert >> 8) & 0xFFu), int((Wert >> 16) & 0xFFu));
}

qint32 TColorAusSchriftFarbe(const QColor& AColor, qint32 ABisher, const QPalette& APalette) {
    if ((quint32(ABisher) & SystemFarbe) == SystemFarbe &&
        SchriftFarbeAusTColor(ABisher, APalette).rgb() == AColor.rgb())
        return ABisher;
    const QColor Rgb = AColor.toRgb();
    return qint32(quint32(Rgb.red()) | (quint32(Rgb.green()) << 8) | (quint32(Rgb.blue()) << 16));
}
