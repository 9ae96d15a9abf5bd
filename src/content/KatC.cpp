// Training areas (TKat) and the training files of one area (TDaten).

#include "DatenC.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <exception>
#include <utility>
#include <vector>

namespace {

QString WithDelimiter(const QString& AFolder) {
    if (AFolder.isEmpty() || AFolder.endsWith(QLatin1Char('/')) || AFolder.endsWith(QLatin1Char('\\')))
        return AFolder;
    return AFolder + QLatin1Char('/');
}

QString NameOnly(const QString& APath) {
    const qsizetype P = std::max(APath.lastIndexOf(QLatin1Char('/')), APath.lastIndexOf(QLatin1Char('\\')));
    return APath.mid(P + 1);
}

bool IsAbsolutePath(const QString& APath) {
    if (APath.startsWith(QLatin1Char('/'))) return true;
    return APath.size() >= 2 && APath.at(1) == QLatin1Char(':') && APath.at(0).isLetter();
}

// Files only, in a stable order; hidden files are left out as a file manager would.
QStringList ListFiles(const QString& ADirectory) {
    return QDir(ADirectory).entryList(QDir::Files, QDir::Name);
}

bool WildcardMatch(QStringView AName, QStringView AMask) {
    qsizetype N = 0;
    qsizetype M = 0;
    qsizetype StarM = -1;
    qsizetype StarN = 0;
    while (N < AName.size()) {
        if (M < AMask.size() && AMask.at(M) == QLatin1Char('*')) {
            StarM = M++;
            StarN = N;
        } else if (M < AMask.size() && (AMask.at(M) == QLatin1Char('?') ||
                                        AMask.at(M).toCaseFolded() == AName.at(N).toCaseFolded())) {
            ++M;
            ++N;
        } else if (StarM >= 0) {
            M = StarM + 1;
            N = ++StarN;
        } else {
            return false;
        }
    }
    while (M < AMask.size() && AMask.at(M) == QLatin1Char('*'))
        ++M;
    return M == AMask.size();
}

template <typename TRec> void InsertSorted(QList<TRec>& AListe, QStringList& AKeys, const TRec& ARec) {
    const QString Key = TitleSortKey(ARec.Titel);
    qsizetype I = AKeys.size();
    while (I > 0 && !(AKeys.at(I - 1) < Key))
        --I;
    AListe.insert(I, ARec);
    AKeys.insert(I, Key);
}

// The order that inserting one after the other with InsertSorted gives, in
// O(n log n): sorted by key, and of equal keys the one added later first.
template <typename TRec> void SortAll(QList<TRec>& AListe, QStringList& AKeys, std::vector<TRec>& ANeu) {
    std::vector<std::pair<QString, qsizetype>> Order;
    Order.reserve(ANeu.size());
    for (qsizetype I = qsizetype(ANeu.size()) - 1; I >= 0; --I)
        Order.emplace_back(TitleSortKey(ANeu[size_t(I)].Titel), I);
    std::stable_sort(Order.begin(), Order.end(),
                     [](const auto& A, const auto& B) { return A.first < B.first; });
    AListe.clear();
    AKeys.clear();
    AListe.reserve(qsizetype(Order.size()));
    AKeys.reserve(qsizetype(Order.size()));
    for (auto& [Key, I] : Order) {
        AListe.append(std::move(ANeu[size_t(I)]));
        AKeys.append(std::move(Key));
    }
    ANeu.clear();
}

template <typename TRec> QString TitelLines(const QList<TRec>& AListe) {
    QString S;
    for (const TRec& Rec : AListe)
        S += Rec.Titel + QStringLiteral("\r\n");
    qsizetype Last = S.size();
    while (Last > 0 && S.at(Last - 1).unicode() <= 32)
        --Last;
    S.truncate(Last);
    return S;
}

template <typename TRec> int FindByName(const QList<TRec>& AListe, const QString& AFilename) {
    if (AFilename.isEmpty()) return -1;
    const QString Name = NameOnly(AFilename);
    for (qsizetype I = 0; I < AListe.size(); ++I)
        if (QString::compare(NameOnly(AListe.at(I).Filename), Name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(I);
    return -1;
}

} // namespace

bool MatchesFileMask(const QString& AName, const QString& AMask) {
    QString Mask = TrimLow(AMask);
    if (Mask.isEmpty() || Mask == QStringLiteral("*.*")) return true;
    if (Mask.endsWith(QLatin1Char('.'))) Mask.chop(1);
    if (Mask == QStringLiteral("*")) return true;
    return WildcardMatch(AName, Mask);
}

TKatRec ParseKatFile(const QString& AFileName) {
    TKatRec Rec;
    const QFileInfo Info(AFileName);
    if (AFileName.isEmpty() || !Info.isFile()) return Rec;
    Rec.Filename = AFileName;

    QString Titel;
    QString Ordner;
    try {
        const QStringList Lines = ReadTextLines(AFileName);
        for (const QString& Line : Lines) {
            qsizetype I = 0;
            while (I < Line.size() && Line.at(I) == QLatin1Char(' '))
                ++I;
            qsizetype J = I;
            while (J < Line.size() && Line.at(J) != QLatin1Char(' '))
                ++J;
            const QStringView Wort = QStringView(Line).mid(I, J - I);
            const bool TitelS = Wort == QLatin1String("0");
            if (!TitelS && Wort != QLatin1String("1")) continue;
            while (J < Line.size() && Line.at(J) == QLatin1Char(' '))
                ++J;
            const QString Wert = J < Line.size() ? TrimLow(Line.mid(J)) : TrimLow(Line);
            (TitelS ? Titel : Ordner) = Wert;
            if (!Titel.isEmpty() && !Ordner.isEmpty()) break;
        }
    } catch (const std::exception&) {
        return Rec;
    }
    Rec.Titel = Titel;

    // Title files are written on Windows too, so both delimiters are accepted.
    Ordner.replace(QLatin1Char('\\'), QLatin1Char('/'));
    // A title file may only point below its own folder; the program must not
    // be sent to read training files from elsewhere.
    if (Ordner.isEmpty() || IsAbsolutePath(Ordner) || LeavesFolder(Ordner)) return Rec;
    const QString Path = WithDelimiter(WithDelimiter(Info.absolutePath()) + Ordner);
    if (QFileInfo(Path).isDir()) Rec.Path = Path;
    return Rec;
}

TKat::TKat(const QString& ADirectory, const QString& AWildcards) {
    Load(ADirectory, AWildcards);
}

void TKat::Clear() {
    FListe.clear();
    FKeys.clear();
    FAktivNr = -1;
}

void TKat::Load(const QString& ADirectory, const QString& AWildcards) {
    Clear();
    const QString Dir = WithDelimiter(ADirectory);
    if (Dir.isEmpty() || !QFileInfo(Dir).isDir() || TrimLow(AWildcards).isEmpty()) return;
    std::vector<TKatRec> Neu;
    for (const QString& Name : ListFiles(Dir)) {
        if (!MatchesFileMask(Name, AWildcards)) continue;
        try {
            TKatRec Rec = ParseKatFile(Dir + Name);
            if (!Rec.Titel.isEmpty() && !Rec.Path.isEmpty()) Neu.push_back(std::move(Rec));
        } catch (const std::exception&) {
            // one broken title file must not hide the other areas
        }
    }
    SortAll(FListe, FKeys, Neu);
}

TKatRec TKat::Get(int Index) const {
    if (Index < 0 || Index >= Count()) return {};
    return FListe.at(Index);
}

void TKat::Put(int Index, const TKatRec& Value) {
    if (Index < 0 || Index >= Count()) return;
    FListe[Index] = Value;
    FKeys[Index] = TitleSortKey(Value.Titel);
}

void TKat::Add(const TKatRec& ARec) {
    InsertSorted(FListe, FKeys, ARec);
}

void TKat::SetAktivNr(int AValue) {
    FAktivNr = (AValue >= 0 && AValue < Count()) ? AValue : -1;
}

QString TKat::TitelTextString() const {
    return TitelLines(FListe);
}

int TKat::FindFilename(const QString& AFilename) const {
    return FindByName(FListe, AFilename);
}

TDaten::TDaten(const QString& ADirectory, const QString& AWildcards, const QString& AMp3TexteOrdner)
    : FMp3TexteOrdner(AMp3TexteOrdner) {
    Load(ADirectory, AWildcards);
}

void TDaten::Clear() {
    FListe.clear();
    FKeys.clear();
    FAktivNr = -1;
    Path.clear();
}

void TDaten::Load(const QString& ADirectory, const QString& AWildcards, TLadeStand* AStand) {
    Clear();
    const QString Dir = WithDelimiter(ADirectory);
    const QStringList Masks = AWildcards.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (Dir.isEmpty() || !QFileInfo(Dir).isDir() || Masks.isEmpty()) return;
    Path = Dir;
    const QStringList Names = ListFiles(Dir);
    std::vector<TDatenRec> Neu;
    TDatei Datei;
    for (const QString& Mask : Masks) {
        for (const QString& Name : Names) {
            if (AStand && AStand->AbbrechenS.load(std::memory_order_relaxed)) {
                Clear();
                return;
            }
            if (!MatchesFileMask(Name, Mask)) continue;
            try {
                Datei.Load(Dir + Name, FMp3TexteOrdner);
                if (!Datei.Titel.isEmpty() && !Datei.Filename.isEmpty() && Datei.Count() > 0)
                    Neu.push_back({Datei.Filename, Datei.Titel, Datei.OriginalCount, Datei.GetListe()});
            } catch (const std::exception&) {
                // skip this file only
            }
            if (AStand) AStand->Dateien.fetch_add(1, std::memory_order_relaxed);
        }
    }
    SortAll(FListe, FKeys, Neu);
}

TDatenRec TDaten::Get(int Index) const {
    if (Index < 0 || Index >= Count()) return {};
    return FListe.at(Index);
}

void TDaten::Put(int Index, const TDatenRec& Value) {
    if (Index < 0 || Index >= Count()) return;
    FListe[Index] = Value;
    FKeys[Index] = TitleSortKey(Value.Titel);
}

void TDaten::Add(const TDatenRec& ARec) {
    InsertSorted(FListe, FKeys, ARec);
}

void TDaten::SetAktivNr(int AValue) {
    FAktivNr = (AValue >= 0 && AValue < Count()) ? AValue : -1;
}

QString TDaten::TitelTextString() const {
    return TitelLines(FListe);
}

int TDaten::FindFilename(const QString& AFilename) const {
    return FindByName(FListe, AFilename);
}
