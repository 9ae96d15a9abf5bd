#include "LaufStatistikC.h"

#include <QtMath>

void TLaufStatistik::Beginnen() {
    *this = TLaufStatistik();
}

void TLaufStatistik::Taste(const QDateTime& AJetzt) {
    if (!FZeilenBeginn.isValid()) FZeilenBeginn = AJetzt;
}

void TLaufStatistik::Eingabe(const QDateTime& AJetzt, bool ARichtigS, int AZeichen) {
    // A clock set back in the middle counts nothing rather than less than nothing.
    if (FZeilenBeginn.isValid()) FTippzeitMs += qMax<qint64>(0, FZeilenBeginn.msecsTo(AJetzt));
    FZeilenBeginn = QDateTime();
    if (!ARichtigS) return;
    ++FRichtig;
    FAnschlaege += AZeichen;
}

int TLaufStatistik::AnschlaegeProMinute() const {
    return FTippzeitMs > 0 ? qRound(FAnschlaege * 60000.0 / double(FTippzeitMs)) : 0;
}

int TLaufStatistik::Fehlerquote(int AFehler) const {
    const int eingaben = FRichtig + qMax(0, AFehler);
    return eingaben > 0 ? qRound(100.0 * qMax(0, AFehler) / eingaben) : 0;
}

QString TLaufStatistik::Tippzeit(bool AGesprochenS) const {
    const qint64 sek = (FTippzeitMs + 500) / 1000;
    const qint64 min = sek / 60;
    const qint64 rest = sek % 60;
    if (!AGesprochenS) return QStringLiteral("%1:%2").arg(min).arg(rest, 2, 10, QLatin1Char('0'));
    const QString sekunden =
        rest == 1 ? QStringLiteral("1 Sekunde") : QStringLiteral("%1 Sekunden").arg(rest);
    if (min == 0) return sekunden;
    return (min == 1 ? QStringLiteral("1 Minute") : QStringLiteral("%1 Minuten").arg(min)) +
           QLatin1Char(' ') + sekunden;
}

QStringList TLaufStatistik::Zeilen(int AFehler) const {
    return {QStringLiteral("Anschläge pro Minute: %1").arg(AnschlaegeProMinute()),
            QStringLiteral("Fehlerquote: %1 %").arg(Fehlerquote(AFehler)),
            QStringLiteral("Tippzeit: %1 Minuten").arg(Tippzeit(false))};
}

QString TLaufStatistik::Ansage(int AFehler) const {
    return QStringLiteral("%1 Anschläge pro Minute, Fehlerquote %2 Prozent, Tippzeit %3.")
        .arg(AnschlaegeProMinute())
        .arg(Fehlerquote(AFehler))
        .arg(Tippzeit(true));
}
