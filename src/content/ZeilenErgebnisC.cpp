// The spoken outcome of a line.

#include "ZeilenErgebnisC.h"

#include <QLocale>
#include <QStringList>

namespace {
// A word a synthesizer says well enough: lower-case letters a to z only, and
// long enough not to be a drill group like "fj" or "fff".
bool Sagbar(const QString& AWort) {
    if (AWort.size() < 5) return false;
    for (const QChar c : AWort)
        if (c < QLatin1Char('a') || c > QLatin1Char('z')) return false;
    return true;
}

QString Wortlaut(const QStringList& AWoerter, qsizetype AIndex, const QString& AFehlt,
                 const std::function<QString(const QString&)>& ABuchstabieren) {
    if (AIndex >= AWoerter.size()) return AFehlt;
    const QString& w = AWoerter.at(AIndex);
    if (w.isEmpty()) return QStringLiteral("ein Leerzeichen");
    return Sagbar(w) ? w : ABuchstabieren(w);
}
} // namespace

QString ZeilenErgebnisText(const QString& AGetippt, const QString& AVorlage, const QString& ABehalten,
                           bool AGrossKleinS, const std::function<QString(const QString&)>& ABuchstabieren) {
    const QLocale locale;
    auto gleich = [&](const QString& A, const QString& B) {
        return AGrossKleinS ? A == B : locale.toLower(A) == locale.toLower(B);
    };
    if (gleich(AGetippt, AVorlage)) return QStringLiteral("Richtig.");
    const QStringList getippt = AGetippt.split(QLatin1Char(' '));
    const QStringList vorlage = AVorlage.split(QLatin1Char(' '));
    qsizetype i = 0;
    while (i < getippt.size() && i < vorlage.size() && gleich(getippt.at(i), vorlage.at(i)))
        ++i;
    QString s = QStringLiteral("Falsch. Wort %1: erwartet %2, getippt %3.")
                    .arg(i + 1)
                    .arg(Wortlaut(vorlage, i, QStringLiteral("das Zeilenende"), ABuchstabieren),
                         Wortlaut(getippt, i, QStringLiteral("nichts"), ABuchstabieren));
    const qsizetype behalten = ABehalten.split(QLatin1Char(' '), Qt::SkipEmptyParts).size();
    if (behalten == 0)
        s += QStringLiteral(" Weiter am Zeilenanfang.");
    else
        s += QStringLiteral(" Weiter ab Wort %1.").arg(behalten + 1);
    return s;
}
