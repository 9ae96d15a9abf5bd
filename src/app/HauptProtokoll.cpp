// The training protocol of the window: one entry per line event, saved after every event.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "FertigDialog.h"
#include "Pfade.h"
#include "ProtokollC.h"
#include "SystemServices.h"
#include "TextFile.h"
#include "TextPane.h"
#include "VorlageC.h"

#include <QDir>

#include <utility>

QString TForm1::ProtokollFilename() const {
    if (Kategorie->AktivNr() < 0 || Daten->AktivNr() < 0 || ProtokollOrdner.isEmpty()) return QString();
    return TProtokoll::Dateiname(ProtokollOrdner, GetWindowsUserName(),
                                 Kategorie->Get(Kategorie->AktivNr()).Titel,
                                 Daten->Get(Daten->AktivNr()).Titel);
}

void TForm1::ProtokollSchreiben(TProtokollText APt, const QString& AGeschriebenText) {
    if (!Einstellungen->ProtokollS) {
        Protokoll.Clear();
        return;
    }
    const TDatenRec datei = Daten->AktivNr() >= 0 ? Daten->Get(Daten->AktivNr()) : TDatenRec();
    const std::optional<TDateiRec> paar = AktuellesPaar();
    TProtokollLage lage;
    lage.Jetzt = FDienste.Services.Clock->Now();
    lage.Benutzer = GetWindowsUserName();
    lage.Bereich = Kategorie->AktivNr() >= 0 ? Kategorie->Get(Kategorie->AktivNr()).Titel : QString();
    lage.Titel = datei.Titel;
    lage.Originalanschlaege = datei.OriginalCount;
    lage.Zeile = AktivNr() + 1;
    lage.Zeilen = static_cast<int>(datei.Daten.size());
    lage.Text = paar ? paar->B : QString();
    lage.Getippt = AGeschriebenText.isEmpty() ? GeschriebenText : AGeschriebenText;
    lage.Fehler = Fehler();
    lage.Datei = ProtokollFilename();
    if (APt == ptFertig) lage.Nachtrag = Lauf.Zeilen(Fehler());
    if (!Protokoll.Eintragen(APt, lage) || lage.Datei.isEmpty()) return;
    try {
        Protokoll.Speichern(lage.Datei);
        SpeicherErfolg(lage.Datei);
    } catch (...) {
        // The list in memory still holds the protocol and can be read.
        SpeicherFehler(lage.Datei,
                       QStringLiteral("Das Protokoll konnte nicht gespeichert werden. Im Programm "
                                      "bleibt es lesbar."));
    }
}

void TForm1::MenuAktProtokollLesenClick() {
    Lesen(Protokoll.Zeilen(), QString());
}

namespace {
QString VerlaufDatei() {
    return BenutzerOrdner.isEmpty() ? QString() : BenutzerOrdner + QStringLiteral("Verlauf.jsonl");
}
} // namespace

void TForm1::LaufBeginnen() {
    // A run left for another file or begun anew ends here, aborted.
    VerlaufSchreiben(false);
    Lauf.Beginnen();
    LaufZeichen.clear();
    const int datei = Daten->AktivNr();
    FLaufBereich = Kategorie->AktivNr() >= 0 ? Kategorie->Get(Kategorie->AktivNr()).Titel : QString();
    FLaufDatei = datei >= 0 ? Daten->Get(datei).Titel : QString();
    FLaufOffenS = true;
}

void TForm1::VerlaufSchreiben(bool AFertigS) {
    // Once per run, and only for a run in which something was typed.
    if (!std::exchange(FLaufOffenS, false) || (LaufZeichen.isEmpty() && Fehler() == 0)) return;
    TLaufEintrag e;
    e.Zeit = FDienste.Services.Clock->Now();
    e.Bereich = FLaufBereich;
    e.Datei = FLaufDatei;
    e.AnschlaegeProMinute = Lauf.AnschlaegeProMinute();
    e.Fehler = Fehler();
    e.Zeilen = Lauf.RichtigeZeilen();
    e.FertigS = AFertigS;
    e.Zeichen = LaufZeichen;
    LaufZeichen.clear();
    const QString name = VerlaufDatei();
    if (name.isEmpty()) return;
    if (!QDir().mkpath(BenutzerOrdner) || !TVerlauf::Anhaengen(name, e))
        SpeicherFehler(name, QStringLiteral("Der Lauf konnte nicht in den Fortschritt geschrieben werden. "
                                            "Die früheren Läufe bleiben erhalten."));
}

void TForm1::MenuAktFortschrittClick() {
    Lesen(FortschrittBericht(TVerlauf::Lesen(VerlaufDatei()),
                             [this](QChar AZeichen) { return Vorlage->Buchstabiert(QString(AZeichen)); }),
          QStringLiteral("Fortschritt"));
}

void TForm1::MenuAktSchwacheTastenClick() {
    const QList<QChar> schwach = SchwaechsteZeichen(TVerlauf::Lesen(VerlaufDatei()), 3);
    if (schwach.isEmpty()) {
        Information(QStringLiteral("Es gibt noch keine schwachen Tasten: Tippe zuerst eine Trainingsdatei."));
        return;
    }
    // The words of every area's files: the shipped course and the user's own.
    QStringList texte;
    for (int k = 0; k < Kategorie->Count(); ++k) {
        const TDaten bereich(Kategorie->Get(k).Path, QStringLiteral("*.txt *.rtf"), QString());
        for (int d = 0; d < bereich.Count(); ++d)
            for (const TDateiRec& paar : bereich.Get(d).Daten)
                texte << paar.B;
    }
    QStringList namen;
    for (const QChar c : schwach)
        namen << Vorlage->Buchstabiert(QString(c));
    const QStringList zeilen = UebungsZeilen(texte, schwach);
    if (zeilen.isEmpty()) {
        Information(QStringLiteral("In den Trainingsbereichen gibt es keine Wörter mit %1.")
                        .arg(namen.join(QStringLiteral(", "))));
        return;
    }
    TDatenRec uebung;
    uebung.Titel = QStringLiteral("Schwache Tasten: ") + namen.join(QStringLiteral(", "));
    for (const QString& z : zeilen)
        uebung.Daten.append({z, z});
    uebung.OriginalCount = static_cast<int>(zeilen.join(QString()).size());
    // A drill made before takes the new one's place; a drill has no file.
    const auto uebungsNr = [this] {
        for (int i = 0; i < Daten->Count(); ++i)
            if (Daten->Get(i).Filename.isEmpty()) return i;
        return -1;
    };
    if (const int alt = uebungsNr(); alt >= 0)
        Daten->Put(alt, uebung);
    else
        Daten->Add(uebung);
    Daten->SetAktivNr(uebungsNr());
    SetDatenTitel(uebung.Titel);
    Timer1Los->start();
}

// The reader of the protocol and the help texts, in the training font and
// colours, with the focus on the text.
void TForm1::Lesen(const QStringList& AZeilen, const QString& ATitel) {
    TFertigDaten f;
    f.SoundS = false;
    f.FertigS = false;
    f.EndeS = true;
    f.Zeilen = AZeilen;
    f.Titel = ATitel;
    f.Font = TrainingFont;
    f.SchriftFarbe = Memo2->palette().color(QPalette::Text);
    f.Hintergrund = HintergrundFarbe;
    Modal([&] { FDienste.Fertig->Zeigen(this, f, FDienste.Services.Audio); });
}

void TForm1::MenuDateiProtokollordnerClick() {
    // A folder never written to yet is made, so that it can be shown.
    if (ProtokollOrdner.isEmpty() || !QDir().mkpath(ProtokollOrdner) ||
        !FDienste.Services.Shell->Open(this, ProtokollOrdner))
        FehlerMeldung(QStringLiteral("Der Protokollordner \"%1\" konnte nicht geöffnet werden. Auf diesem "
                                     "Rechner ist kein Programm dafür eingerichtet.")
                          .arg(QDir::toNativeSeparators(ProtokollOrdner)));
}
