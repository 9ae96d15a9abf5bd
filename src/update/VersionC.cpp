#include "VersionC.h"

#include <QStringList>
#include <array>
#include <optional>

#ifndef TASTARO_VERSION
#define TASTARO_VERSION "0.0.0.0"
#endif

TVersion::TVersion() {
    TrySetData(QStringLiteral(TASTARO_VERSION));
}

void TVersion::Clear() {
    FMajor = FMinor = FPatch = FBuild = 0;
}

namespace {

// Only ASCII blanks: Qt's trimmed() would also take line breaks, U+00A0 and
// U+3000, which no version file of ours holds.
QStringView OhneBlanks(QStringView AText) {
    auto blank = [](QChar AC) { return AC == u' ' || AC == u'\t'; };
    while (!AText.isEmpty() && blank(AText.front()))
        AText = AText.sliced(1);
    while (!AText.isEmpty() && blank(AText.back()))
        AText.chop(1);
    return AText;
}

// ASCII digits alone (Qt's toInt would stop at a NUL and accept signs).
std::optional<qint32> VersionsTeil(QStringView AText) {
    AText = OhneBlanks(AText);
    if (AText.isEmpty()) return std::nullopt;
    qint32 n = 0;
    for (QChar c : AText) {
        if (c < u'0' || c > u'9') return std::nullopt;
        n = n * 10 + (c.unicode() - u'0');
        if (n > 65535) return std::nullopt;
    }
    return n;
}

} // namespace

bool TVersion::TrySetData(const QString& AText) {
    const QList<QStringView> teile = OhneBlanks(AText).split(u'.');
    if (teile.size() != 4) return false;
    std::array<qint32, 4> werte{};
    for (int i = 0; i < 4; ++i) {
        const auto n = VersionsTeil(teile[i]);
        if (!n) return false;
        werte[size_t(i)] = *n;
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
