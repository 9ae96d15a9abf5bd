#include "RememberFilesC.h"

#include "DatenC.h"
#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
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

} // namespace

TRememberFiles::TRememberFiles(const QString& AFilename) : FFilename(AFilename) {}

TRememberFileItem* TRememberFiles::FindItem(const QString& AFilename) const {
    const QString Name = TrimLow(AFilename);
    if (Name.isEmpty()) return nullptr;
    const QString Lower = Name.toLower();
    for (const auto& Item : FItems)
        if (Item->Filename.size() == Name.size() && Item->Filename.toLower() == Lower) return Item.get();
    return nullptr;
}

void TRememberFiles::Add(const QString& AFilename, int ALine) {
    const QString Name = TrimLow(AFilename);
    if (Name.isEmpty()) return;
    TRememberFileItem* Item = FindItem(Name);
    if (ALine > 0 && QFileInfo(Name).isFile()) {
        if (!Item) {
            auto Neu = std::make_unique<TRememberFileItem>();
            Neu->Filename = Name;
            Neu->Line = ALine;
            FItems.push_back(std::move(Neu));
            FChanged = true;
        } else if (Item->Line != ALine) {
            Item->Line = ALine;
            FChanged = true;
        }
    } else if (Item) {
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
    FChanged = false;
    if (FFilename.isEmpty() || !QFileInfo::exists(FFilename)) return true;
    QStringList Lines;
    try {
        Lines = SplitTextLines(ReadTextFile(FFilename));
    } catch (const std::exception&) {
        return false;
    }
    for (const QString& Raw : Lines) {
        const QString Line = TrimLow(Raw);
        if (Line.isEmpty() || !Line.contains(QLatin1Char('|'))) continue;
        const QStringList Fields = Line.split(QLatin1Char('|'), Qt::SkipEmptyParts);
        if (Fields.size() < 2) continue;
        bool OkS = false;
        const int Nr = TrimLow(Fields.at(0)).toInt(&OkS);
        const QString Name = TrimLow(Fields.at(1));
        if (!OkS || Nr <= 0 || Name.isEmpty()) continue;
        Add(Name, Nr);
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
