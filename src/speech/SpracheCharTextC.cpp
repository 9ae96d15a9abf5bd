#include "SpracheCharTextC.h"

#include "TextFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {

bool IsControl(QChar c) {
    return c.unicode() <= 32;
}

// Only the blank separates words here: a tab after ";" still makes one word.
QString FirstWord(const QString& ALine) {
    const qsizetype p = ALine.indexOf(QLatin1Char(' '));
    return p < 0 ? ALine : ALine.left(p);
}

QString ProgramFolder() {
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QString();
}

} // namespace

QString TrimLeftControl(const QString& S) {
    qsizetype b = 0;
    while (b < S.size() && IsControl(S.at(b)))
        ++b;
    return S.mid(b);
}

QString TrimRightControl(const QString& S) {
    qsizetype e = S.size();
    while (e > 0 && IsControl(S.at(e - 1)))
        --e;
    return S.left(e);
}

QString TrimControl(const QString& S) {
    return TrimLeftControl(TrimRightControl(S));
}

TSpracheCharText::TSpracheCharText() : TSpracheCharText(ChooseFilename(ProgramFolder())) {}

TSpracheCharText::TSpracheCharText(const QString& AFilename) {
    Clear();
    Filename = AFilename;
    LoadListe();
}

TSpracheCharText::~TSpracheCharText() {
    Clear();
}

QString TSpracheCharText::ChooseFilename(const QString& AProgramFolder) {
    QString folder = AProgramFolder;
    if (!folder.isEmpty() && !folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    const QString inConfig = folder + QStringLiteral("Config/SpracheCharText.txt");
    if (QFileInfo::exists(inConfig)) return inConfig;
    return folder + QStringLiteral("SpracheCharText.txt");
}

QString TSpracheCharText::FindCharStr(const QString& S, int Zusatz) const {
    QString result;
    for (const QChar c : S) {
        for (const TSpracheCharTextRec& rec : Liste) {
            if (rec.C != c) continue;
            // An entry without texts stays silent instead of adding a lone blank.
            if (!rec.E.isEmpty()) {
                const bool alternativeS = Zusatz >= 2 && rec.E.size() >= Zusatz;
                result += alternativeS ? rec.E.at(Zusatz - 1) : rec.E.first();
                result += QLatin1Char(' ');
            }
            break;
        }
    }
    return TrimRightControl(result);
}

QString TSpracheCharText::GetText(const TArrStringListe& AListe, int AFlag) {
    if (AListe.isEmpty()) return QString();
    if (AFlag > AListe.size()) return AListe.last();
    // Numbers count from 1; anything smaller must not index before the list.
    return AListe.at(AFlag < 1 ? 0 : AFlag - 1);
}

bool TSpracheCharText::LoadListe() {
    QString text;
    try {
        if (!QFileInfo(Filename).isFile()) return false;
        text = ReadTextFile(Filename);
    } catch (...) {
        return false;
    }
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    for (const QString& line : text.split(QLatin1Char('\n')))
        ParseLine(line);
    return true;
}

void TSpracheCharText::ParseLine(const QString& ALine) {
    const QString line = TrimLeftControl(ALine);
    if (line.isEmpty()) return;
    if (FirstWord(line) == QLatin1String(";")) return;
    if (!line.contains(QLatin1Char('"'))) return;
    TArrStringListe* keyListe = nullptr;
    if (line.startsWith(QLatin1String("1=")))
        keyListe = &Zeilenschaltung;
    else if (line.startsWith(QLatin1String("2=")))
        keyListe = &Leerzeile;
    else if (line.startsWith(QLatin1String("3=")))
        keyListe = &Akzent;
    else if (line.startsWith(QLatin1String("4=")))
        keyListe = &Sonstiges;
    if (keyListe) {
        *keyListe = ParseValue(line.mid(2));
        return;
    }
    if (line.size() >= 3 && line.at(1) == QLatin1Char('='))
        Liste.append(TSpracheCharTextRec{line.at(0), ParseValue(line.mid(2))});
}

TArrStringListe TSpracheCharText::ParseValue(const QString& AValue) {
    TArrStringListe result;
    for (const QString& rawPiece : AValue.split(QLatin1Char('|'), Qt::SkipEmptyParts)) {
        QString piece = TrimControl(rawPiece);
        if (piece.startsWith(QLatin1Char('"'))) piece.remove(0, 1);
        if (piece.endsWith(QLatin1Char('"'))) piece.chop(1);
        piece = TrimControl(piece);
        if (!piece.isEmpty()) result.append(piece);
    }
    return result;
}

void TSpracheCharText::Add(const TSpracheCharTextRec& ASpracheCharTextRec) {
    Liste.append(ASpracheCharTextRec);
}

void TSpracheCharText::Clear() {
    Zeilenschaltung.clear();
    Leerzeile.clear();
    Akzent.clear();
    Sonstiges.clear();
    Liste.clear();
}
