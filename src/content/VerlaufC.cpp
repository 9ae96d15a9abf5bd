#include "VerlaufC.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace {

QChar Vergleichbar(QChar A, bool AGrossKleinS) {
    return AGrossKleinS ? A : A.toLower();
}

QJsonObject AlsJson(const TLaufEintrag& A) {
    QJsonObject zeichen;
    for (auto it = A.Zeichen.cbegin(); it != A.Zeichen.cend(); ++it)
        zeichen.insert(QString(it.key()), QJsonArray{it.value().Richtig, it.value().Falsch});
    return {{QStringLiteral("zeit"), A.Zeit.toString(Qt::ISODate)},
            {QStringLiteral("bereich"), A.Bereich},
            {QStringLiteral("datei"), A.Datei},
            {QStringLiteral("apm"), A.AnschlaegeProMinute},
            {QStringLiteral("fehler"), A.Fehler},
            {QStringLiteral("zeilen"), A.Zeilen},
            {QStringLiteral("fertig"), A.FertigS},
            {QStringLiteral("zeichen"), zeichen}};
}

bool AusJson(const QByteArray& AZeile, TLaufEintrag& A) {
    QJsonParseError fehler;
    const QJsonDocument doc = QJsonDocument::fromJson(AZeile, &fehler);
    if (fehler.error != QJsonParseError::NoError || !doc.isObject()) return false;
    const QJsonObject o = doc.object();
    A.Zeit = QDateTime::fromString(o.value(QStringLiteral("zeit")).toString(), Qt::ISODate);
    if (!A.Zeit.isValid()) return false;
    A.Bereich = o.value(QStringLiteral("bereich")).toString();
    A.Datei = o.value(QStringLiteral("datei")).toString();
    A.AnschlaegeProMinute = std::max(0, o.value(QStringLiteral("apm")).toInt());
    A.Fehler = std::max(0, o.value(QStringLiteral("fehler")).toInt());
    A.Zeilen = std::max(0, o.value(QStringLiteral("zeilen")).toInt());
    A.FertigS = o.value(QStringLiteral("fertig")).toBool(true);
    const QJsonObject zeichen = o.value(QStringLiteral("zeichen")).toObject();
    for (auto it = zeichen.begin(); it != zeichen.end(); ++it) {
        const QJsonArray z = it.value().toArray();
        if (it.key().size() != 1 || z.size() != 2) continue;
        A.Zeichen[it.key().at(0)] = {std::max(0, z.at(0).toInt()), std::max(0, z.at(1).toInt())};
    }
    return true;
}

} // namespace

void ZeichenZaehlen(const QString& AGetippt, const QString& AVorlage, bool ARichtigS, bool AGrossKleinS,
                    TZeichenZahlen& AZahlen) {
    if (ARichtigS) {
        for (const QChar c : AVorlage)
            if (!c.isSpace()) ++AZahlen[c].Richtig;
        return;
    }
    const QStringList getippt = AGetippt.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QStringList vorlage = AVorlage.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (qsizetype w = 0; w < vorlage.size(); ++w) {
        const QString soll = vorlage.at(w);
        const QString ist = getippt.value(w);
        qsizetype i = 0;
        while (i < soll.size() && i < ist.size() &&
               Vergleichbar(soll.at(i), AGrossKleinS) == Vergleichbar(ist.at(i), AGrossKleinS))
            ++AZahlen[soll.at(i++)].Richtig;
        if (i < soll.size()) {
            // Only words the typing reached: an untouched rest of the line is no error of a key.
            if (w < getippt.size()) ++AZahlen[soll.at(i)].Falsch;
        }
    }
}

bool TVerlauf::Anhaengen(const QString& ADatei, const TLaufEintrag& AEintrag) {
    QByteArray zeile = QJsonDocument(AlsJson(AEintrag)).toJson(QJsonDocument::Compact) + '\n';
    const QByteArray pfad = QFile::encodeName(ADatei);
    const int fd = ::open(pfad.constData(), O_RDWR | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    // A record cut off by a crash gets its line ended, so this one stands alone.
    const off_t groesse = ::lseek(fd, 0, SEEK_END);
    char letztes = '\n';
    if (groesse > 0 && ::pread(fd, &letztes, 1, groesse - 1) == 1 && letztes != '\n') zeile.prepend('\n');
    const bool ganzS = ::write(fd, zeile.constData(), size_t(zeile.size())) == zeile.size();
    const bool syncS = ::fsync(fd) == 0;
    ::close(fd);
    return ganzS && syncS;
}

QList<TLaufEintrag> TVerlauf::Lesen(const QString& ADatei) {
    QList<TLaufEintrag> out;
    QFile f(ADatei);
    if (!f.open(QIODevice::ReadOnly)) return out;
    for (const QByteArray& zeile : f.readAll().split('\n')) {
        TLaufEintrag e;
        if (!zeile.trimmed().isEmpty() && AusJson(zeile, e)) out << e;
    }
    return out;
}

namespace {
TZeichenZahlen Summe(const QList<TLaufEintrag>& AVerlauf) {
    TZeichenZahlen summe;
    for (const TLaufEintrag& e : AVerlauf)
        for (auto it = e.Zeichen.cbegin(); it != e.Zeichen.cend(); ++it) {
            summe[it.key()].Richtig += it.value().Richtig;
            summe[it.key()].Falsch += it.value().Falsch;
        }
    return summe;
}

QList<QChar> Schwaechste(const TZeichenZahlen& summe, int AAnzahl) {
    QList<QChar> schwach;
    for (auto it = summe.cbegin(); it != summe.cend(); ++it)
        if (it.value().Falsch > 0) schwach << it.key();
    const auto quote = [&summe](QChar C) {
        const TZeichenZahl z = summe.value(C);
        return double(z.Falsch) / (z.Richtig + z.Falsch);
    };
    std::stable_sort(schwach.begin(), schwach.end(), [&](QChar A, QChar B) {
        return quote(A) != quote(B) ? quote(A) > quote(B) : summe.value(A).Falsch > summe.value(B).Falsch;
    });
    return schwach.mid(0, AAnzahl);
}
} // namespace

QList<QChar> SchwaechsteZeichen(const QList<TLaufEintrag>& AVerlauf, int AAnzahl) {
    return Schwaechste(Summe(AVerlauf), AAnzahl);
}

QStringList UebungsZeilen(const QStringList& ATexte, const QList<QChar>& AZeichen, int AZeilen) {
    const auto treffer = [&AZeichen](const QString& AWort) {
        int n = 0;
        for (const QChar c : AWort)
            for (const QChar z : AZeichen)
                n += c.toLower() == z.toLower();
        return n;
    };
    QStringList woerter;
    for (const QString& text : ATexte)
        for (const QString& w : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
            if (treffer(w) > 0 && !woerter.contains(w)) woerter << w;
    std::stable_sort(woerter.begin(), woerter.end(),
                     [&treffer](const QString& A, const QString& B) { return treffer(A) > treffer(B); });
    QStringList zeilen;
    for (qsizetype i = 0; i < woerter.size() && zeilen.size() < AZeilen; i += 6)
        zeilen << woerter.mid(i, 6).join(QLatin1Char(' '));
    return zeilen;
}

QStringList FortschrittBericht(const QList<TLaufEintrag>& AVerlauf,
                               const std::function<QString(QChar)>& AName) {
    if (AVerlauf.isEmpty())
        return {QStringLiteral("Es gibt noch keine Läufe. Nach der ersten Trainingsdatei "
                               "steht hier dein Fortschritt.")};
    QStringList out;
    out << QStringLiteral("Letzte Läufe:");
    const qsizetype ab = std::max<qsizetype>(0, AVerlauf.size() - 10);
    for (qsizetype i = AVerlauf.size() - 1; i >= ab; --i) {
        const TLaufEintrag& e = AVerlauf.at(i);
        out << QStringLiteral("%1, %2, %3: %4 Anschläge pro Minute, %5 Fehleingaben%6")
                   .arg(e.Zeit.toString(QStringLiteral("dd.MM.yyyy hh:mm")), e.Bereich, e.Datei)
                   .arg(e.AnschlaegeProMinute)
                   .arg(e.Fehler)
                   .arg(e.FertigS ? QString() : QStringLiteral(" (abgebrochen)"));
    }
    out << QString();
    const TLaufEintrag& neu = AVerlauf.last();
    const TLaufEintrag& alt = AVerlauf.at(ab);
    if (&neu == &alt) {
        out << QStringLiteral("Für einen Vergleich braucht es mindestens zwei Läufe.");
    } else {
        const qint64 tage = alt.Zeit.date().daysTo(neu.Zeit.date());
        const QString wann =
            tage == 0   ? QStringLiteral("heute um %1").arg(alt.Zeit.toString(QStringLiteral("hh:mm")))
            : tage == 1 ? QStringLiteral("gestern")
            : tage == 7 ? QStringLiteral("vor einer Woche")
                        : QStringLiteral("vor %1 Tagen").arg(tage);
        const int a = alt.AnschlaegeProMinute;
        const int n = neu.AnschlaegeProMinute;
        out << (n == a ? QStringLiteral("Gleich schnell wie %1: %2 Anschläge pro Minute.").arg(wann).arg(n)
                       : QStringLiteral("%1 als %2: %3 statt %4 Anschläge pro Minute.")
                             .arg(n > a ? QStringLiteral("Schneller") : QStringLiteral("Langsamer"), wann)
                             .arg(n)
                             .arg(a));
    }
    const TZeichenZahlen summe = Summe(AVerlauf);
    const QList<QChar> schwach = Schwaechste(summe, 10);
    out << QString();
    if (schwach.isEmpty()) {
        out << QStringLiteral("Noch kein Zeichen wurde falsch getippt.");
        return out;
    }
    out << QStringLiteral("Schwächste Zeichen:");
    for (const QChar c : schwach) {
        const TZeichenZahl z = summe.value(c);
        out << QStringLiteral("%1: %2 von %3 falsch, %4 Prozent")
                   .arg(AName ? AName(c) : QString(c))
                   .arg(z.Falsch)
                   .arg(z.Richtig + z.Falsch)
                   .arg(qRound(100.0 * z.Falsch / (z.Richtig + z.Falsch)));
    }
    return out;
}
