#include "DatenC.h"

#include "TextFile.h"

#include <QFileInfo>
#include <exception>

namespace {

const QString VoiceMark = QStringLiteral("{{+}}");
const QString AudioOpen = QStringLiteral("{{");
const QString AudioClose = QStringLiteral("}}");

QString JoinFolder(const QString& AFolder, QString AName) {
    // Audio names written on Windows use backslashes; here they would name no file.
    AName.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (AFolder.isEmpty() || AFolder.endsWith(QLatin1Char('/')) || AFolder.endsWith(QLatin1Char('\\')))
        return AFolder + AName;
    return AFolder + QLatin1Char('/') + AName;
}

QString CleanPairLine(QString S) {
    S.replace(QLatin1Char('\t'), QLatin1Char(' '));
    S.replace(QChar(0x201C), QLatin1Char('"'));
    S.replace(QChar(0x201D), QLatin1Char('"'));
    return TrimLow(S);
}

} // namespace

QStringList SplitTextLines(const QString& AText) {
    QStringList Lines;
    const qsizetype N = AText.size();
    qsizetype Start = 0;
    for (qsizetype I = 0; I < N; ++I) {
        const QChar C = AText.at(I);
        if (C != QLatin1Char('\r') && C != QLatin1Char('\n')) continue;
        Lines.append(AText.mid(Start, I - Start));
        if (C == QLatin1Char('\r') && I + 1 < N && AText.at(I + 1) == QLatin1Char('\n')) ++I;
        Start = I + 1;
    }
    if (Start < N) Lines.append(AText.mid(Start));
    return Lines;
}

QStringList ReadTextLines(const QString& AFileName) {
    QString Text = ReadTextFile(AFileName);
    qsizetype Boms = 0;
    while (Boms < Text.size() && Text.at(Boms) == QChar(0xFEFF))
        ++Boms;
    Text.remove(0, Boms);
    return SplitTextLines(Text);
}

bool LeavesFolder(const QString& APath) {
    const QStringList Teile =
        QString(APath).replace(QLatin1Char('\\'), QLatin1Char('/')).split(QLatin1Char('/'));
    return Teile.contains(QStringLiteral(".."));
}

QString TrimLow(const QString& S) {
    qsizetype First = 0;
    qsizetype Last = S.size();
    while (First < Last && S.at(First).unicode() <= 32)
        ++First;
    while (Last > First && S.at(Last - 1).unicode() <= 32)
        --Last;
    if (First == 0 && Last == S.size()) return S;
    return S.mid(First, Last - First);
}

TDatei::TDatei() {
    Clear();
}

TDatei::TDatei(const QString& AFilename, const QString& AMp3TexteOrdner) {
    Load(AFilename, AMp3TexteOrdner);
}

void TDatei::Clear() {
    FListe.clear();
    Filename.clear();
    Titel.clear();
    OriginalCount = 0;
}

TDateiRec TDatei::Get(int Index) const {
    if (Index < 0 || Index >= Count()) return {};
    return FListe.at(Index);
}

void TDatei::Put(int Index, const TDateiRec& Value) {
    if (Index >= 0 && Index < Count()) FListe[Index] = Value;
}

bool TDatei::RemoveVoiceMark(QString& S) {
    const qsizetype P = S.indexOf(VoiceMark);
    if (P < 0) return false;
    S = TrimLow(S.left(P) + S.mid(P + VoiceMark.size()));
    return true;
}

QString TDatei::ExtractAudioMark(QString& S) {
    const qsizetype P1 = S.indexOf(AudioOpen);
    const qsizetype P2 = S.indexOf(AudioClose);
    if (P1 < 0 || P2 < P1 + AudioOpen.size()) return {};
    const QString Name = TrimLow(S.mid(P1 + AudioOpen.size(), P2 - P1 - AudioOpen.size()));
    S = TrimLow(S.left(P1) + S.mid(P2 + AudioClose.size()));
    return Name;
}

int TDatei::KeystrokeCount(const QString& S) {
    int Count = 0;
    for (const QChar C : S) {
        const char16_t U = C.unicode();
        if (U == u'\n') continue;
        const bool EinfachS = U == u'\t' || U == u'\r' || U == u' ' || U == u'#' || U == u'+' || U == u',' ||
                              U == u'-' || U == u'.' || U == u'<' || (U >= u'0' && U <= u'9') ||
                              (U >= u'a' && U <= u'z') || U == u'ß' || U == u'ä' || U == u'ö' || U == u'ü';
        Count += EinfachS ? 1 : 2;
    }
    return Count;
}

void TDatei::Load(const QString& AFilename, const QString& AMp3TexteOrdner) {
    Clear();
    if (AFilename.isEmpty() || !QFileInfo(AFilename).isFile()) return;
    Filename = AFilename;
    try {
        const QStringList Lines = ReadTextLines(AFilename);
        if (Lines.size() < 3) return;

        QString TitelZeile = TrimLow(Lines.at(0));
        const bool TitelStimme2S = RemoveVoiceMark(TitelZeile);
        Titel = TitelZeile.isEmpty() ? QStringLiteral("-") : TitelZeile;

        FListe.reserve(Lines.size() / 2);
        TDateiRec Rec;
        for (qsizetype N = 1; N < Lines.size(); ++N) {
            QString Zeile = CleanPairLine(Lines.at(N));
            // N counts from 0 here, so odd N are the A lines.
            if (N % 2 == 1) {
                Rec = TDateiRec();
                Rec.AStimme2S = RemoveVoiceMark(Zeile) || TitelStimme2S;
                const QString Audio = ExtractAudioMark(Zeile);
                // A line that only names its audio text still plays it from the audio folder.
                // A name that climbs out of that folder plays nothing: a training file
                // must not make the program open files elsewhere.
                if (!Audio.isEmpty() && !LeavesFolder(Audio))
                    Rec.Mp3Filename = JoinFolder(AMp3TexteOrdner, Audio);
                Rec.A = Zeile.isEmpty() ? QStringLiteral("-") : Zeile;
            } else {
                Rec.BStimme2S = RemoveVoiceMark(Zeile) || TitelStimme2S;
                if (Zeile.isEmpty()) {
                    Rec.B = QStringLiteral("-");
                } else {
                    Rec.B = Zeile;
                    OriginalCount += KeystrokeCount(Zeile);
                }
                FListe.append(Rec);
            }
        }
        if (Lines.size() % 2 == 0) {
            Rec.B = QStringLiteral("-");
            Rec.BStimme2S = TitelStimme2S;
            FListe.append(Rec);
        }
    } catch (const std::exception&) {
        // An unreadable file simply has no pairs; the area list leaves it out.
    }
}

QString TitleSortKey(const QString& ATitel) {
    // The Unicode lower case, as the German locale gives it, without waking the
    // locale library for every file list.
    QString Key = ATitel.toLower();
    Key.replace(QStringLiteral("ä"), QStringLiteral("ae"));
    Key.replace(QStringLiteral("ö"), QStringLiteral("oe"));
    Key.replace(QStringLiteral("ü"), QStringLiteral("ue"));
    Key.replace(QStringLiteral("ß"), QStringLiteral("ss"));
    return Key;
}
