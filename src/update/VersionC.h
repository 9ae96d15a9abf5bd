#pragma once
// A four-part version number (major.minor.patch.build), each part 0..65535.

#include <QString>

class TVersion {
public:
    // The version of this program as the build gave it (1.3.1.0); 0.0.0.0
    // when the build named none that parses.
    TVersion();

    int Major() const { return FMajor; }
    int Minor() const { return FMinor; }
    int Patch() const { return FPatch; }
    int Build() const { return FBuild; }

    void Clear();
    // Exactly four parts separated by "." (blanks around each part are
    // allowed), each an integer in 0..65535. On failure nothing changes.
    bool TrySetData(const QString& AText);
    void SetData(const QString& AText) { TrySetData(AText); }
    // -1 when this version is lower than AOther, 1 when higher, 0 when equal
    // or when there is no other version.
    int CompareTo(const TVersion* AOther) const;
    QString ToString() const;

private:
    qint32 FMajor = 0;
    qint32 FMinor = 0;
    qint32 FPatch = 0;
    qint32 FBuild = 0;
};
