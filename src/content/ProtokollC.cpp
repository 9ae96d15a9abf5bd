// The training protocol: one entry per line event.

#include "ProtokollC.h"

#include "TextFile.h"

#include <QFile>
#include <QRegularExpression>

namespace {
const QChar CR(13);

QString Zeit(const QDateTime& ADt) {
    return ADt.time().toString(QStringLiteral("hh:mm:ss"));
}

// Digits in groups of three, separated by points: 1234567 -> 1.234.567.
QString Tausender(qint64 AWert) {
    QString ziffern = QString::number(AWert < 0 ? -AWert : AWert);
    for (int i = static_cast<int>(ziffern.size()) - 3; i > 0; i -= 3)
        ziffern.insert(i, QLatin1Char('.'));
    return AWert < 0 ? QLatin1Char('-') + ziffern : ziffern;
}

// A title may hold a '/', which a file name here cannot.
QString FuerDateinamen(QString AText) {
    return AText.replace(QLatin1Char('/'), QLatin1Char('_'));
}

QString ZeilenEintrag(const TProtokollLage& ALage, const QString& AArt) {
    return QStringLiteral("Zeile: %1/%2 (%3)").arg(ALage.Zeile).arg(ALage.Zeilen).arg(AArt) + CR +
           QStringLiteral("Text: ") + ALage.Text;
}
} // namespace

QString TProtokoll::Dateiname(const QString& AOrdner, const QString& ABenutzer, const QString& ABereich,
                              const QString& ATitel) {
    return AOrdner + QStringLiteral("%1_%2_%3.pro")
                         .arg(FuerDateinamen(ABenutzer), FuerDateinamen(ABereich), FuerDateinamen(ATitel));
}

bool TProtokoll::Eintragen(TProtokollText APt, const TProtokollLage& ALage) {
    switch (APt) {
    case ptNeu:
        FZeilen.clear();
        FZeilen << QStringLiteral("Tastaro-Protokoll vom %1:")
                           .arg(ALage.Jetzt.date().toString(QStringLiteral("dd.MM.yyyy"))) +
                       CR + QStringLiteral("Benutzername: ") + ALage.Benutzer + CR +
                       QStringLiteral("Trainingsbereich: ") + ALage.Bereich + CR +
                       QStringLiteral("Trainingstitel: ") + ALage.Titel + CR +
                       QStringLiteral("Originalanschläge: ") + Tausender(ALage.Originalanschlaege);
        FStartzeit = ALage.Jetzt;
        FZeilen << QStringLiteral("Startzeit: ") + Zeit(FStartzeit) << QString();
        return false;
    case ptFortsetzen:
        if (!ALage.Datei.isEmpty() && QFile::exists(ALage.Datei)) {
            try {
                FZeilen = ReadTextFile(ALage.Datei).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
                // the file's last line break leaves no item of its own
                if (!FZeilen.isEmpty() && FZeilen.last().isEmpty()) FZeilen.removeLast();
            } catch (const ETextFileError&) {
                // an unreadable protocol leaves the list as it was
            }
        } else {
            FZeilen.clear();
        }
        FStartzeit = ALage.Jetzt;
        FZeilen << CR + QStringLiteral("Fortsetzungs-Zeit: ") + Zeit(FStartzeit);
        return false;
    case ptFertig: {
        FZeilen << QString();
        // A run past midnight counts on into the next day.
        qint64 sek = FStartzeit.time().secsTo(ALage.Jetzt.time());
        if (sek < 0) sek += 24 * 3600;
        FZeilen << QStringLiteral("Endzeit: ") + Zeit(ALage.Jetzt)
                << QStringLiteral("Trainingsdauer: ") +
                       QTime(0, 0).addSecs(static_cast<int>(sek)).toString(QStringLiteral("hh:mm:ss"))
                << QStringLiteral("Das Training ist abgeschlossen.") + CR +
                       QStringLiteral("Trainierte Zeilen: %1").arg(ALage.Zeilen) + CR +
                       QStringLiteral("Fehleingaben: %1").arg(ALage.Fehler);
        FZeilen << ALage.Nachtrag;
        break;
    }
    case ptWeiter:
        FZeilen << ZeilenEintrag(ALage, QStringLiteral("Übersprungen"));
        break;
    case ptZurueck:
        FZeilen << ZeilenEintrag(ALage, QStringLiteral("Zurückgesprungen"));
        break;
    case ptRichtig:
        FZeilen << ZeilenEintrag(ALage, QStringLiteral("Richtig"));
        break;
    case ptFalsch:
        FZeilen << ZeilenEintrag(ALage, QStringLiteral("Falsch"))
                << QStringLiteral("Getippt: ") + ALage.Getippt;
        break;
    case ptBeenden:
        FZeilen << CR + QStringLiteral("Das Training wurde vorzeitig beendet!");
        break;
    }
    return true;
}

void TProtokoll::Speichern(const QString& AName) const {
    if (QFile::exists(AName))
        QFile::setPermissions(AName,
                              QFile::permissions(AName) | QFileDevice::WriteOwner | QFileDevice::ReadOwner);
    QString text;
    for (const QString& s : FZeilen)
        text += s + QStringLiteral("\r\n");
    WriteTextFile(AName, text, fttAnsi);
}
