#include "VersionC.h"

#include <QStringList>
#include <array>

#ifndef TASTARO_VERSION
#define TASTARO_VERSION "0.0.0.0"
#endif

TVersion::TVersion() {
    TrySetData(QStringLiteral(TASTARO_VERSION));
}

void TVersion::Clear() {
    FMajor = FMinor = FPatch = FBuild = 0;
}

bool TVersion::TrySetData(const QString& AText) {
    const QStringList teile = AText.trimmed().split(QLatin1Char('.'));
    if (teile.size() != 4) return false;
    std::array<qint32, 4> werte{};
    for (int i = 0; i < 4; ++i) {
        bool okS = false;
        const int n = teile[i].trimmed().toInt(&okS, 10);
        if (!okS || n < 0 || n > 65535) return false;
        werte[size_t(i)] = n;
    }
    FMajor = werte[0];
    FMinor = werte[1];
    FPatch = werte[2];
    FBuild = werte[3];
    return true;
}

int TVersion::CompareTo(const TVersion* AOther) const {
    if (!AOther) return 0;
    const std::array<qint32, 4> a{FMajor, FMinor, FPatch, FBuild};
    const std::array<qint32, 4> b{AOther->FMajor, AOther->FMinor, AOther->FPatch, AOther->FBuild};
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

QString TVersion::ToString() const {
    return QStringLiteral("%1.%2.%3.%4").arg(FMajor).arg(FMinor).arg(FPatch).arg(FBuild);
}
