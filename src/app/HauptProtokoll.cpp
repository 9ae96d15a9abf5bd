// The training protocol: one entry per line event, saved after every event.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "FertigDialog.h"
#include "Pfade.h"
#include "SystemServices.h"
#include "TextFile.h"
#include "TextPane.h"

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
} // namespace

QString TForm1::ProtokollFilename() const {
    if (Kategorie->AktivNr() < 0 || Daten->AktivNr() < 0 || ProtokollOrdner.isEmpty()) return QString();
    return ProtokollOrdner + QStringLiteral("%1_%2_%3.pro")
                                 .arg(FuerDateinamen(GetWindowsUserName()),
                                      FuerDateinamen(Kategorie->Get(Kategorie->AktivNr()).Titel),
                                      FuerDateinamen(Daten->Get(Daten->AktivNr()).Titel));
}

void TForm1::ProtokollSchreiben(TProtokollText APt, const QString& AGeschriebenText) {
    if (!Einstellungen->ProtokollS) {
        ProtokollSl.clear();
        return;
    }
    const QString getippt = AGeschriebenText.isEmpty() ? GeschriebenText : AGeschriebenText;
    const QDateTime jetzt = FDienste.Services.Clock->Now();
    const TDatenRec datei = Daten->AktivNr() >= 0 ? Daten->Get(Daten->AktivNr()) : TDatenRec();
    auto zeile = [&](const QString& AArt) {
        const auto p = AktuellesPaar();
        return QStringLiteral("Zeile: %1/%2 (%3)").arg(AktivNr() + 1).arg(datei.Daten.size()).arg(AArt) + CR +
               QStringLiteral("Text: ") + (p ? p->B : QString());
    };
    switch (APt) {
    case ptNeu: {
        ProtokollSl.clear();
        const QString bereich =
            Kategorie->AktivNr() >= 0 ? Kategorie->Get(Kategorie->AktivNr()).Titel : QString();
        ProtokollSl << QStringLiteral("Tastaro-Protokoll vom %1:")
                               .arg(jetzt.date().toString(QStringLiteral("dd.MM.yyyy"))) +
                           CR + QStringLiteral("Benutzername: ") + GetWindowsUserName() + CR +
                           QStringLiteral("Trainingsbereich: ") + bereich + CR +
                           QStringLiteral("Trainingstitel: ") + datei.Titel + CR +
                           QStringLiteral("Originalanschläge: ") + Tausender(datei.OriginalCount);
        Startzeit = jetzt;
        ProtokollSl << QStringLiteral("Startzeit: ") + Zeit(Startzeit) << QString();
        return;
    }
    case ptFortsetzen: {
        const QString name = ProtokollFilename();
        if (!name.isEmpty() && QFile::exists(name)) {
            try {
                ProtokollSl = ReadTextFile(name).split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
                // the file's last line break leaves no item of its own
                if (!ProtokollSl.isEmpty() && ProtokollSl.last().isEmpty()) ProtokollSl.removeLast();
            } catch (const ETextFileError&) {
                // an unreadable protocol leaves the list as it was
            }
        } else {
            ProtokollSl.clear();
        }
        Startzeit = jetzt;
        ProtokollSl << CR + QStringLiteral("Fortsetzungs-Zeit: ") + Zeit(Startzeit);
        return;
    }
    case ptFertig: {
        ProtokollSl << QString();
        Endzeit = jetzt;
        // A run past midnight counts on into the next day.
        qint64 sek = Startzeit.time().secsTo(Endzeit.time());
        if (sek < 0) sek += 24 * 3600;
        ProtokollSl << QStringLiteral("Endzeit: ") + Zeit(Endzeit)
                    << QStringLiteral("Trainingsdauer: ") +
                           QTime(0, 0).addSecs(static_cast<int>(sek)).toString(QStringLiteral("hh:mm:ss"))
                    << QStringLiteral("Das Training ist abgeschlossen.") + CR +
                           QStringLiteral("Trainierte Zeilen: %1").arg(datei.Daten.size()) + CR +
                           QStringLiteral("Fehleingaben: %1").arg(Fehler());
        break;
    }
    case ptWeiter:
        ProtokollSl << zeile(QStringLiteral("Übersprungen"));
        break;
    case ptZurueck:
        ProtokollSl << zeile(QStringLiteral("Zurückgesprungen"));
        break;
    case ptRichtig:
        ProtokollSl << zeile(QStringLiteral("Richtig"));
        break;
    case ptFalsch:
        ProtokollSl << zeile(QStringLiteral("Falsch")) << QStringLiteral("Getippt: ") + getippt;
        break;
    case ptBeenden:
        ProtokollSl << CR + QStringLiteral("Das Training wurde vorzeitig beendet!");
        break;
    }
    const QString name = ProtokollFilename();
    if (name.isEmpty()) return;
    try {
        if (QFile::exists(name))
            QFile::setPermissions(name, QFile::permissions(name) | QFileDevice::WriteOwner |
                                            QFileDevice::ReadOwner);
        QString text;
        for (const QString& s : std::as_const(ProtokollSl))
            text += s + QStringLiteral("\r\n");
        WriteTextFile(name, text, fttAnsi);
        SpeicherErfolg(name);
    } catch (...) {
        // The list in memory still holds the protocol and can be read.
        SpeicherFehler(name, QStringLiteral("Das Protokoll konnte nicht gespeichert werden. Im Programm "
                                            "bleibt es lesbar."));
    }
}

void TForm1::MenuAktProtokollLesenClick() {
    TFertigDaten f;
    f.SoundS = false;
    f.FertigS = false;
    f.EndeS = true;
    f.Zeilen = ProtokollSl;
    f.Font = TrainingFont;
    f.SchriftFarbe = Memo2->palette().color(QPalette::Text);
    f.Hintergrund = HintergrundFarbe;
    Modal([&] { FDienste.Fertig->Zeigen(this, f, FDienste.Services.Audio); });
}

void TForm1::MenuDateiProtokollordnerClick() {
    FDienste.Services.Shell->Open(this, ProtokollOrdner);
}
