#pragma once
// The line reached in each training file, kept across program runs in one
// small text file ("RememberFiles.txt" in the per-user folder).

#include <QHash>
#include <QString>
#include <memory>
#include <vector>

class TRememberFileItem {
public:
    QString Filename;
    int Line = 0;
};

class TRememberFiles {
public:
    // A list of that size holds tens of thousands of entries, far more than
    // anyone leaves unfinished. A larger file was grown by something else; it
    // is read only that far from its end, where the newest entries stand, so
    // that it can neither hold the start up nor fill the memory.
    static constexpr qint64 LeseGrenze = 2 * 1024 * 1024;

    // AFilename: the file the list is loaded from and saved to.
    explicit TRememberFiles(const QString& AFilename);

    // A line above 0 of an existing file is remembered; anything else forgets the file.
    void Add(const QString& AFilename, int ALine);
    void Delete(const QString& AFilename) { Add(AFilename, -1); }
    // The remembered line, or -1.
    int Find(const QString& AFilename) const;

    bool Load();
    // Writes only when something changed; the old file survives a failed write.
    bool Save();

    bool Changed() const { return FChanged; }
    int Count() const { return static_cast<int>(FItems.size()); }
    const QString& Filename() const { return FFilename; }
    // The last Load read only the end of an oversized file.
    bool Gekuerzt() const { return FGekuerztS; }

private:
    TRememberFileItem* FindItem(const QString& AFilename) const;
    // Add with the existence of the file already known.
    void Setzen(const QString& AName, int ALine, bool ADateiS);

    bool FChanged = false;
    std::vector<std::unique_ptr<TRememberFileItem>> FItems;
    QString FFilename;
    // Looked up by the name in lower case, so that a long list loads in linear time.
    QHash<QString, TRememberFileItem*> FIndex;
    bool FGekuerztS = false;
};
