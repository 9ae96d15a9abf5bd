// The program's own dialogs behind the main window's dialog interfaces.

#include "FertigDialog.h"

#include "BackFontDlgC.h"
#include "FertigDlgC.h"
#include "KatDlgC.h"
#include "OptionenDlgC.h"
#include "TextPane.h"

namespace {

class TAuswahl : public IAuswahlDialog {
public:
    int Waehlen(QWidget* AOwner, const TAuswahlDaten& ADaten) override {
        TDialogAussehen a;
        a.Schrift = ADaten.Font;
        if (ADaten.SchriftFarbe.isValid()) a.SchriftFarbe = ADaten.SchriftFarbe;
        a.HintergrundFarbe = ADaten.Hintergrund;
        TKatDlg dlg(AOwner, a);
        dlg.SetCaption(ADaten.Caption);
        dlg.SetItems(ADaten.Liste);
        dlg.SetItemIndex(ADaten.ItemIndex);
        if (dlg.exec() != QDialog::Accepted) return -1;
        return dlg.ItemIndex();
    }
};

// The report at the end of a file, and the protocol reader.
class TFertig : public IFertigDialog {
public:
    TFertigErgebnis Zeigen(QWidget* AOwner, const TFertigDaten& ADaten, IAudioPlayer* APlayer) override {
        TDialogAussehen a;
        a.Schrift = ADaten.Font;
        if (ADaten.SchriftFarbe.isValid()) a.SchriftFarbe = ADaten.SchriftFarbe;
        if (ADaten.Hintergrund.isValid()) a.HintergrundFarbe = ADaten.Hintergrund;
        TFertigDlg dlg(AOwner, a, APlayer);
        dlg.FertigS = ADaten.FertigS;
        dlg.EndeS = ADaten.EndeS;
        dlg.SoundS = ADaten.SoundS;
        dlg.SoundDatei = ADaten.SoundDatei;
        dlg.Titel = ADaten.Titel;
        dlg.Ansage = ADaten.Ansage;
        dlg.Sprechen = ADaten.Sprechen;
        dlg.RichEdit1()->SetText(ADaten.Zeilen.join(QLatin1Char('\n')));
        switch (dlg.exec()) {
        case TFertigDlg::mrOk:
            return TFertigErgebnis::Weiter;
        case TFertigDlg::mrRetry:
            return TFertigErgebnis::Wiederholen;
        default:
            return TFertigErgebnis::Schliessen;
        }
    }
};

class TOptionen : public IOptionenDialog {
public:
    bool Zeigen(QWidget* AOwner, TEinstellungen& AEinstellungen, const TDialogAussehen& AAussehen,
                const TSpeechPlatform& APlatform, TTolkSRD* ATolk) override {
        TOptionenDlg dlg(AOwner, AAussehen, APlatform, ATolk);
        dlg.SetEinstellungen(AEinstellungen);
        if (dlg.exec() != QDialog::Accepted) return false;
        AEinstellungen = dlg.GetEinstellungen();
        return true;
    }
};

class TSchrift : public ISchriftDialog {
public:
    bool Zeigen(QWidget* AOwner, QFont& AFont, QColor& ASchriftFarbe, QColor& AHintergrund, TTolkSRD* ATolk,
                IMessageBoxes* AFragen) override {
        TBackFontDlg dlg(AOwner, AHintergrund, AFont, ASchriftFarbe, ATolk, AFragen);
        if (dlg.exec() != QDialog::Accepted) return false;
        dlg.GetNewFont(AFont, ASchriftFarbe);
        AHintergrund = dlg.NewBackColor();
        return true;
    }
};

} // namespace

IAuswahlDialog* RealAuswahlDialog() {
    static TAuswahl d;
    return &d;
}
IFertigDialog* RealFertigDialog() {
    static TFertig d;
    return &d;
}
IOptionenDialog* RealOptionenDialog() {
    static TOptionen d;
    return &d;
}
ISchriftDialog* RealSchriftDialog() {
    static TSchrift d;
    return &d;
}
