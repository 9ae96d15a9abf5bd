// Loading and saving the settings with the window's size, area, file, font,
// background and voice.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "EinstellungenSpeicher.h"
#include "Speech.h"
#include "TextPane.h"

#include <QDir>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

void TForm1::RegistryLadenSpeichern(bool LadenS) {
    if (!LadenS) {
        EinstellungenSichern();
        return;
    }
    std::unique_ptr<QSettings> store = TastaroSettingsStore();
    TGespeicherteWerte w;
    w.MaximiertS = isMaximized();
    w.Hoehe = height();
    w.Breite = width();
    TEinstellungen e;
    if (!EinstellungenLaden(*store, e, w)) {
        // A store that cannot be read gives the defaults, as on a first start.
        StandardEinstellungen(e);
    }
    // The very first start with a screen reader running speaks through it:
    // with the defaults (no speech) a blind user would not learn what to
    // type without sighted help. What a user once stored is never changed.
    const bool nichtsZurSpracheS =
        !store->contains(QStringLiteral("Sapi")) && !store->contains(QStringLiteral("Stimme"));
    if (nichtsZurSpracheS && FTolk && !FTolk->DetectScreenReader().isEmpty()) {
        e.Sapi = sapiEin;
        e.Stimme = ScreenReaderStimme;
    }
    GroesseAnwenden(w);
    LetztenBereichLaden(w);
    *Einstellungen = e;
    SetModus(e.Modus);
    SchriftAnwenden(w);
    SetHintergrundNr(w.HintergrundNr);
    // Finding a synthesizer voice asks the speech server, which may first
    // have to be started, or loads the in-process synthesizer: at start that
    // waits until the start question is up (Timer0StartTimer).
    if (FFirstShowS)
        FStimmeOffenS = true;
    else
        SetStimme();
}

// A stored size never makes the window larger than the screen's work area,
// as the first start's size does not.
void TForm1::GroesseAnwenden(const TGespeicherteWerte& w) {
    const QSize min = minimumSize();
    QSize max = maximumSize();
    if (const QScreen* schirm = screen() ? screen() : QGuiApplication::primaryScreen())
        max = max.boundedTo(schirm->availableGeometry().size()).expandedTo(min);
    resize(std::clamp(w.Breite, min.width(), max.width()), std::clamp(w.Hoehe, min.height(), max.height()));
    if (w.MaximiertS) setWindowState(windowState() | Qt::WindowMaximized);
}

// The area and file of the last run, read afresh.
void TForm1::LetztenBereichLaden(const TGespeicherteWerte& w) {
    Kategorie->SetAktivNr(Kategorie->FindFilename(w.KategorieFilename));
    if (Kategorie->AktivNr() != -1) {
        const TKatRec k = Kategorie->Get(Kategorie->AktivNr());
        SetKategorieTitel(k.Titel);
        if (std::unique_ptr<TDaten> neu = BereichLaden(k.Path))
            *Daten = std::move(*neu);
        else
            Daten->Clear();
        Daten->SetAktivNr(Daten->FindFilename(w.DatenFilename));
        if (Daten->AktivNr() != -1) SetDatenTitel(Daten->Get(Daten->AktivNr()).Titel);
    }
}

void TForm1::SchriftAnwenden(const TGespeicherteWerte& w) {
    TrainingFont = SchriftAusWerten(w, TrainingFont);
    QPalette p = Memo2->palette();
    p.setColor(QPalette::Text, SchriftFarbeAusTColor(w.FontColor, palette()));
    for (QWidget* m : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(Memo2)}) {
        QPalette mp = m->palette();
        mp.setColor(QPalette::Text, p.color(QPalette::Text));
        m->setPalette(mp);
    }
    FFontColor = w.FontColor;
    FFontCharSet = w.FontCharSet;
}

void TForm1::EinstellungenSichern() {
    std::unique_ptr<QSettings> store = TastaroSettingsStore();
    TGespeicherteWerte w;
    w.MaximiertS = isMaximized();
    const QRect normal = (isMaximized() || isMinimized()) && windowHandle() ? normalGeometry() : geometry();
    w.Breite = std::clamp(normal.width(), minimumWidth(), maximumWidth());
    w.Hoehe = std::clamp(normal.height(), minimumHeight(), maximumHeight());
    w.KategorieFilename =
        Kategorie->AktivNr() >= 0 ? Kategorie->Get(Kategorie->AktivNr()).Filename : QString();
    w.DatenFilename = Daten->AktivNr() >= 0 ? Daten->Get(Daten->AktivNr()).Filename : QString();
    SchriftInWerte(TrainingFont, w);
    w.FontColor = FFontColor;
    w.FontCharSet = FFontCharSet;
    w.HintergrundNr = HintergrundNr();
    if (EinstellungenSpeichern(*store, *Einstellungen, w))
        SpeicherErfolg(store->fileName());
    else
        SpeicherFehler(store->fileName(),
                       QStringLiteral("Die Einstellungen konnten nicht gespeichert werden."));
}

void TForm1::SpeicherFehler(const QString& ADatei, const QString& AMeldung) {
    if (FSpeicherFehlerGemeldet.contains(ADatei)) return;
    FSpeicherFehlerGemeldet.insert(ADatei);
    FehlerMeldung(AMeldung +
                  QStringLiteral("\rDatei: \"%1\"\rDer Datenträger ist vielleicht voll oder "
                                 "schreibgeschützt. Die zuletzt gespeicherte Fassung bleibt erhalten.")
                      .arg(QDir::toNativeSeparators(ADatei)));
}

void TForm1::SpeicherErfolg(const QString& ADatei) {
    FSpeicherFehlerGemeldet.remove(ADatei);
}

void TForm1::SetStimme() {
    FStimmeOffenS = false;
    if (Einstellungen->Stimme.isEmpty()) {
        Speech->SetTokenNrIndex({-1, -1});
        return;
    }
    Speech->SetTokenNrIndex(Speech->FindDescriptionInTokensNrIndex(Einstellungen->Stimme));
    Speech->SetRate(Einstellungen->VoiceRate);
    Speech->SetVolume(Einstellungen->VoiceVolume);
}
