// The run controller: lines come up, files end, the line is spoken.

#include "Haupt.h"

#include "BuchstabierenC.h"
#include "DatenC.h"
#include "EinstellungenC.h"
#include "FertigDialog.h"
#include "FertigDlgC.h"
#include "Pfade.h"
#include "RememberFilesC.h"
#include "Speech.h"
#include "TextPane.h"
#include "VorlageC.h"

#include <QLabel>

int TForm1::PaarAnzahl() const {
    if (Daten->AktivNr() < 0) return 0;
    return static_cast<int>(Daten->Get(Daten->AktivNr()).Daten.size());
}

std::optional<TDateiRec> TForm1::AktuellesPaar() const {
    if (Daten->AktivNr() < 0 || FAktivNr < 0) return std::nullopt;
    const TDatenRec d = Daten->Get(Daten->AktivNr());
    if (FAktivNr >= d.Daten.size()) return std::nullopt;
    return d.Daten.at(FAktivNr);
}

QString TForm1::AktuelleDatei() const {
    if (Daten->AktivNr() < 0) return QString();
    return Daten->Get(Daten->AktivNr()).Filename;
}

int TForm1::AktivNr() const {
    return Daten->AktivNr() < 0 ? -1 : FAktivNr;
}

void TForm1::StatusZeile() {
    const int n = CloseS ? 0 : PaarAnzahl();
    StatusPanel[0]->setText(QStringLiteral("Zeile: %1/%2").arg(AktivNr() + 1).arg(n));
}

void TForm1::SetFehler(int AValue) {
    FFehler = AValue;
    StatusPanel[1]->setText(QStringLiteral("Fehler: %1").arg(AValue));
}

TModus TForm1::Modus() const {
    return Einstellungen->Modus;
}

void TForm1::SetModus(TModus AValue) {
    Einstellungen->Modus = AValue;
    StatusPanel[2]->setText(QStringLiteral("Modus: %1").arg(ModusText(AValue)));
}

void TForm1::Timer1LosTimer() {
    Timer1Los->stop();
    int p = -1;
    if (Daten->AktivNr() != -1) p = RememberFiles->Find(AktuelleDatei());
    if (p != -1) {
        switch (FrageJaNeinAbbrechen(QStringLiteral(
            "Willst du das Training fortsetzen oder neu beginnen?\rJa=Fortsetzen; Nein=Neu beginnen"))) {
        case TMsgAntwort::Ja:
            break;
        case TMsgAntwort::Nein:
            p = -1;
            break;
        default:
            return;
        }
    }
    LaufBeginnen();
    SetFehler(0);
    if (p == -1) {
        ProtokollSchreiben(ptNeu);
        SetAktivNr(0);
    } else {
        ProtokollSchreiben(ptFortsetzen);
        SetAktivNr(p);
    }
    // The file's title comes before its first line.
    if (AktivNr() != -1) VorDerZeileSagen(Daten->Get(Daten->AktivNr()).Titel + QLatin1Char('.'));
}

void TForm1::SetAktivNr(int AValue) {
    PlayerStop();
    ++FZeilenZaehler;
    const int n = PaarAnzahl();
    const bool dateiS = Daten->AktivNr() != -1;
    if (CloseS || AValue < 0 || !dateiS || AValue >= n) {
        FAktivNr = -1;
        SprechenText.clear();
        GeschriebenText.clear();
        Memo2->SetReadOnly(true);
        Memo1->SetText(QString());
        Memo2->SetText(QString());
        StatusZeile();
        if (dateiS && AValue >= n && !CloseS) FertigAnzeigen();
    } else {
        // Each wait below lets events in: a skip, a step back or another file
        // may bring up a line of its own meanwhile, and then this one is over.
        const quint64 zeile = FZeilenZaehler;
        auto ueberholt = [this, zeile, AValue] {
            return CloseS || zeile != FZeilenZaehler || AktivNr() != AValue;
        };
        FAktivNr = AValue;
        const TDateiRec paar = *AktuellesPaar(); // a copy: the audio wait lets the area change
        Memo1->SetText(paar.A);
        Memo1->SetSelStart(0);
        Memo2->SetReadOnly(true);
        Memo2->SetText(QString());
        Memo2->setFocus();
        StatusZeile();
        SprechenText = Modus() == mNachtippen ? paar.A : paar.B;
        GeschriebenText.clear();
        PlayMp3(paar.Mp3Filename, true);
        if (ueberholt()) return;
        Ton(sClick, true);
        if (ueberholt()) return;
        {
            const TPaneAenderung aenderung(Memo2);
            Memo2->SetPaneFont(TrainingFont, HintergrundFarbe);
            if (Modus() == mUeberschreiben) {
                Memo2->SetText(paar.B);
                Memo2->SelectAllText();
                Memo2->SetSelUnderline(true);
            }
            Memo2->SetSelStart(0);
            Memo2->SetReadOnly(false);
        }
        Timer1SprechenText->start();
    }
    if (Modus() == mNachtippen)
        Memo1->setFocus();
    else
        Memo2->setFocus();
    NewCaret();
}

void TForm1::MenuAktWeiterZurueck(int ATag) {
    FTolk->Stop();
    if (ATag == 1) {
        if (AktivNr() == -1) return;
        Ton(sFalsch, true);
        ProtokollSchreiben(ptWeiter);
        SetFehler(Fehler() + 1);
        SetAktivNr(AktivNr() + 1);
    } else if (ATag == 2) {
        if (AktivNr() <= 0) return;
        ProtokollSchreiben(ptZurueck);
        SetAktivNr(AktivNr() - 1);
    }
}

void TForm1::MenuAktNeuClick() {
    if (Frage(QStringLiteral("Soll das Training nochmals gestartet werden?"))) Timer1Los->start();
}

void TForm1::FertigAnzeigen() {
    ProtokollSchreiben(ptFertig);
    VerlaufSchreiben(true);
    if (Daten->AktivNr() != -1) RememberFiles->Add(AktuelleDatei(), AktivNr());
    const int datei = Daten->AktivNr();
    const TDatenRec rec = datei >= 0 ? Daten->Get(datei) : TDatenRec();
    TFertigDaten f;
    f.SoundS = Einstellungen->SoundsWiedergebenS && Einstellungen->SoundsArr[sFertig];
    f.FertigS = true;
    f.EndeS = datei >= Daten->Count() - 1;
    f.SoundDatei = SoundsOrdner + QStringLiteral("Fertig.wav");
    f.Font = TrainingFont;
    f.SchriftFarbe = Memo2->palette().color(QPalette::Text);
    f.Hintergrund = HintergrundFarbe;
    f.Zeilen << QStringLiteral("Trainingstitel: \"%1\"").arg(rec.Titel)
             << QStringLiteral("Trainierte Zeilen: %1").arg(rec.Daten.size())
             << QStringLiteral("Fehleingaben: %1").arg(Fehler())
             << (f.EndeS ? QStringLiteral("Es sind keine weiteren Trainingsdateien vorhanden.")
                         : QStringLiteral(
                               "Mit der Eingabetaste kann die nächste Trainingsdatei gestartet werden."))
             << Lauf.Zeilen(Fehler());
    f.Ansage =
        FertigAnsage(static_cast<int>(rec.Daten.size()), Fehler()) + QLatin1Char(' ') + Lauf.Ansage(Fehler());
    f.Sprechen = [this](const QString& AText) { Ansagen(AText); };
    const TFertigErgebnis erg =
        Modal([&] { return FDienste.Fertig->Zeigen(this, f, FDienste.Services.Audio); });
    switch (erg) {
    case TFertigErgebnis::Weiter:
        ProtokollFragen();
        Daten->SetAktivNr(Daten->AktivNr() + 1);
        SetDatenTitel(Daten->AktivNr() >= 0 ? Daten->Get(Daten->AktivNr()).Titel : QString());
        Timer1Los->start();
        break;
    case TFertigErgebnis::Wiederholen:
        Timer1Los->start();
        break;
    default:
        ProtokollFragen();
        break;
    }
}

void TForm1::ProtokollFragen() {
    if (Erlaubt(QStringLiteral("MenuAktProtokollLesen")) &&
        Frage(QStringLiteral("Soll das Protokoll angezeigt werden?")))
        MenuAktProtokollLesenClick();
}

void TForm1::Timer1SprechenTextTimer() {
    Timer1SprechenText->stop();
    const QString vorher = std::exchange(FVorDerZeile, QString());
    if (BeendenS || CloseS) return;
    if (Einstellungen->Sapi != sapiEin) {
        if (!vorher.isEmpty()) Ansagen(vorher);
        return;
    }
    Vorlage->Split(SprechenText);
    const QString zeile = Vorlage->GetSprichSlStr();
    SpeakText(vorher.isEmpty() ? zeile : vorher + QLatin1Char(' ') + zeile);
}

void TForm1::VorDerZeileSagen(const QString& AText) {
    if (Timer1SprechenText->isActive() && Einstellungen->Sapi == sapiEin)
        FVorDerZeile = FVorDerZeile.isEmpty() ? AText : FVorDerZeile + QLatin1Char(' ') + AText;
    else
        Ansagen(AText);
}

void TForm1::SpeakText(const QString& AText, bool MerkenS) {
    Q_UNUSED(MerkenS);
    if (Speech->TokenNrIndex().Nr >= 0 && !Einstellungen->Stimme.isEmpty() && !AText.isEmpty()) {
        FTolk->Stop();
        Speech->Speak(AText, true);
    }
}
