#include "RememberFilesC.h"

#include "DatenC.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QStringDecoder>
#include <algorithm>
#include <exception>
#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path NativePath(const QString& AFilename) {
#ifdef Q_OS_WIN
    return std::filesystem::path(AFilename.toStdWString());
#else
    return std::filesystem::path(QFile::encodeName(AFilename).toStdString());
#endif
}

// Renaming over the old file is atomic on the same file system: a reader sees
// either the old list or the new one, never a half-written file.
bool ReplaceFile(const QString& ASource, const QString& ATarget) {
    std::error_code Error;
    std::filesystem::rename(NativePath(ASource), NativePath(ATarget), Error);
    return !Error;
}

bool PathTaken(const QString& AFilename) {
    const QFileInfo Info(AFilename);
    return Info.exists() || Info.isSymLink();
}

// The end of an oversized list, from its first complete line on, decoded as
// the text file reader would decode the whole file: UTF-16 by its byte order
// mark, otherwise UTF-8 when it is valid, otherwise ANSI.
QString ReadTail(const QString& AFilename, qint64 AMax) {
    QFile F(AFilename);
    if (!F.open(QIODevice::ReadOnly))
        throw ETextFileError(QStringLiteral("Die Datei konnte nicht gelesen werden."));
    const QByteArray Kopf = F.read(2);
    const bool Utf16LeS = Kopf == QByteArrayLiteral("\xFF\xFE");
    const bool Utf16BeS = Kopf == QByteArrayLiteral("\xFE\xFF");
    qint64 Start = std::max<qint64>(0, F.size() - AMax);
    if ((Utf16LeS || Utf16BeS) && Start % 2 != 0) ++Start;
    if (!F.seek(Start)) throw ETextFileError(QStringLiteral("Die Datei konnte nicht gelesen werden."));
    QByteArray Daten = F.read(AMax);
    if (Utf16LeS || Utf16BeS) {
        const QString Text =
            QStringDecoder(Utf16LeS ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE).decode(Daten);
        qsizetype P = 0;
        while (P < Text.size() && Text.at(P) != QLatin1Char('\n') && Text.at(P) != QLatin1Char('\r'))
            ++P;
        return Text.mid(P + 1);
    }
    qsizetype P = 0;
    while (P < Daten.size() && Daten.at(P) != '\n' && Daten.at(P) != '\r')
        ++P;
    Daten.remove(0, P + 1);
    QStringDecoder Utf8(QStringDecoder::Utf8);
    const QString Text = Utf8.decode(Daten);
    return Utf8.hasError() ? DecodeAnsi(Daten) : Text;
}

} // namespace

TRememberFiles::TRememberFiles(const QString& AFilename) : FFilename(AFilename) {}

TRememberFileItem* TRememberFiles::FindItem(const QString& AFilename) const {
    const QString Name = TrimLow(AFilename);
    if (Name.isEmpty()) return nullptr;
    return FIndex.value(Name.toLower());
}

void TRememberFiles::Add(const QString& AFilename, int ALine) {
    const QString Name = TrimLow(AFilename);
    if (Name.isEmpty()) return;
    Setzen(Name, ALine, ALine > 0 && QFileInfo(Name).isFile());
}

void TRememberFiles::Setzen(const QString& AName, int ALine, bool ADateiS) {
    const QString Key = AName.toLower();
    TRememberFileItem* Item = FIndex.value(Key);
    if (ALine > 0 && ADateiS) {
        if (!Item) {
            auto Neu = std::make_unique<TRememberFileItem>();
            Neu->Filename = AName;
            Neu->Line = ALine;
            FIndex.insert(Key, Neu.get());
            FItems.push_back(std::move(Neu));
            FChanged = true;
        } else if (Item->Line != ALine) {
            Item->Line = ALine;
            FChanged = true;
        }
    } else if (Item) {
        FIndex.remove(Key);
        std::erase_if(FItems, [Item](const auto& P) { return P.get() == Item; });
        FChanged = true;
    }
}

int TRememberFiles::Find(const QString& AFilename) const {
    const TRememberFileItem* Item = FindItem(AFilename);
    return Item ? Item->Line : -1;
}

bool TRememberFiles::Load() {
    FItems.clear();
    FIndex.clear();
    FChanged = false;
    FGekuerztS = false;
    if (FFilename.isEmpty() || !QFileInfo::exists(FFilename)) return true;
    QStringList Lines;
    try {
        const QFileInfo Info(FFilename);
        if (Info.isFile() && Info.size() > LeseGrenze) {
            Lines = SplitTextLines(ReadTail(FFilename, LeseGrenze));
            FGekuerztS = true;
        } else {
            Lines = SplitTextLines(ReadTextFile(FFilename));
        }
    } catch (const std::exception&) {
        return false;
    }
    // A damaged list names the same files over and over: each name is looked
    // up on disk once.
    QHash<QString, bool> Vorhanden;
    for (const QString& Raw : std::as_const(Lines)) {
        const QString Line = TrimLow(Raw);
        if (Line.isEmpty() || !Line.contains(QLatin1Char('|'))) continue;
        const QStringList Fields = Line.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        if (Fields.size() < 2) continue;
        bool OkS = false;
        const int Nr = TrimLow(Fields.at(0)).toInt(&OkS);
        const QString Name = TrimLow(Fields.at(1));
        if (!OkS || Nr <= 0 || Name.isEmpty()) continue;
        auto It = Vorhanden.constFind(Name);
        if (It == Vorhanden.constEnd()) It = Vorhanden.insert(Name, QFileInfo(Name).isFile());
        Setzen(Name, Nr, It.value());
    }
    FChanged = false;
    return true;
}

bool TRememberFiles::Save() {
    if (!FChanged) return true;
    if (FFilename.isEmpty()) return false;
    const QString Temp = FFilename + QStringLiteral(".tmp");
    try {
        QString Text;
        for (const auto& Item : FItems)
            Text +=
                QString::number(Item->Line) + QStringLiteral(" | ") + Item->Filename + QStringLiteral("\r\n");

        const bool ExistsS = PathTaken(FFilename);
        if (ExistsS)
            QFile::setPermissions(FFilename,
                                  QFile::permissions(FFilename) | QFile::WriteOwner | QFile::WriteUser);
        if (!FItems.empty()) {
            // A stale temporary file of a crashed save is simply replaced.
            if (PathTaken(Temp)) QFile::remove(Temp);
            WriteTextFile(Temp, Text, fttUtf8);
            if (!ReplaceFile(Temp, FFilename)) {
                QFile::remove(Temp);
                return false;
            }
        } else if (ExistsS && !QFile::remove(FFilename)) {
            return false;
        }
    } catch (const std::exception&) {
        if (QFileInfo(Temp).isFile()) QFile::remove(Temp);
        return false;
    }
    FChanged = false;
    return true;
}
