#pragma once
// The line reached in each training file, kept across program runs in one
// small text file ("RememberFiles.txt" in the per-user folder).

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

private:
    TRememberFileItem* FindItem(const QString& AFilename) const;

    bool FChanged = false;
    std::vector<std::unique_ptr<TRememberFileItem>> FItems;
    QString FFilename;
};
