// The program's own dialogs behind the main window's dialog interfaces.

#include "FertigDialog.h"

#include "EinstellungenC.h"
#include "HintergrundC.h"
#include "KatDlgC.h"
#include "Services.h"
#include "TextPane.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFile>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

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
    TFertigErgebnis Zeigen(QWidget* AOwner, const TFertigDaten& ADaten) override {
        QDialog dlg(AOwner);
        dlg.setWindowTitle(ADaten.FertigS ? QStringLiteral("Das Training ist abgeschlossen")
                                          : QStringLiteral("Protokoll lesen"));
        auto* layout = new QVBoxLayout(&dlg);
        auto* report = new TTextPane(&dlg);
        report->setObjectName(QStringLiteral("RichEdit1"));
        report->setAccessibleName(ADaten.FertigS ? QStringLiteral("Ergebnis") : QStringLiteral("Protokoll"));
        QString text = ADaten.Zeilen.join(QLatin1Char('\n'));
        text.replace(QChar(13), QLatin1Char('\n'));
        report->SetText(text);
        report->SetReadOnly(true);
        report->SetPaneFont(ADaten.Font,
                            ADaten.Hintergrund.isValid() ? ADaten.Hintergrund : QColor(Qt::white));
        report->SetSelStart(0);
        layout->addWidget(report);
        auto* box = new QDialogButtonBox(&dlg);
        TFertigErgebnis ergebnis = TFertigErgebnis::Schliessen;
        auto knopf = [&](const QString& ACaption, TFertigErgebnis AErgebnis) {
            auto* b = box->addButton(ACaption, QDialogButtonBox::ActionRole);
            QObject::connect(b, &QPushButton::clicked, &dlg, [&dlg, &ergebnis, AErgebnis] {
                ergebnis = AErgebnis;
                dlg.accept();
            });
            return b;
        };
        QPushButton* weiter = nullptr;
        if (ADaten.FertigS && !ADaten.EndeS)
            weiter = knopf(QStringLiteral("&Weiter"), TFertigErgebnis::Weiter);
        if (ADaten.FertigS) knopf(QStringLiteral("Wiede&rholen"), TFertigErgebnis::Wiederholen);
        knopf(QStringLiteral("S&chließen"), TFertigErgebnis::Schliessen);
        if (weiter) weiter->setDefault(true);
        // Enter in the report goes on to the next file, and does nothing where
        // there is none (the dialog would otherwise make another button the
        // default): closing must be chosen on purpose.
        report->OnKeyPress = [weiter](TTextPane*, QChar& AKey) {
            if (AKey.unicode() != 13) return;
            AKey = QChar();
            if (weiter) weiter->click();
        };
        layout->addWidget(box);
        dlg.resize(600, 300);
        if (ADaten.SoundS && !ADaten.SoundDatei.isEmpty()) {
            QFile f(ADaten.SoundDatei);
            if (f.open(QIODevice::ReadOnly)) RealServices().Sounds->Play(f.readAll(), false);
        }
        // the report is read first
        QTimer::singleShot(0, report, [report] { report->setFocus(); });
        dlg.exec();
        return ergebnis;
    }
};

// The voice list with volume and rate: a voice says its own description when
// it is selected in the list, through the dialog's own facade, so that trying
// voices never changes the main window's voice before OK.
class TStimmenTest : public QObject {
public:
    TStimmenTest(QDialog* ADlg, const TSpeechPlatform& APlatform, TTolkSRD* ATolk, const TEinstellungen& AE)
        : QObject(ADlg), Speech(false, APlatform), FTolk(ATolk) {
        Label = new QLabel(QStringLiteral("S&timmen:"), ADlg);
        Liste = new QListWidget(ADlg);
        Liste->setObjectName(QStringLiteral("Lv2Stimmen"));
        Liste->setAccessibleName(QStringLiteral("Stimmen"));
        Label->setBuddy(Liste);
        Liste->addItems(Speech.Tokens());
        for (int i = 0; i < Liste->count(); ++i)
            if (Liste->item(i)->text().compare(AE.Stimme, Qt::CaseInsensitive) == 0 ||
                (i == 0 && AE.Stimme.compare(ScreenReaderStimmeAlt, Qt::CaseInsensitive) == 0))
                Liste->setCurrentRow(i);
        VolumeLabel = new QLabel(QStringLiteral("&Lautstärke (5-100):"), ADlg);
        Volume = new QSpinBox(ADlg);
        Volume->setObjectName(QStringLiteral("Le1Volume"));
        Volume->setRange(5, 100);
        Volume->setSingleStep(5);
        Volume->setValue(AE.VoiceVolume);
        VolumeLabel->setBuddy(Volume);
        RateLabel = new QLabel(QStringLiteral("G&eschwindigkeit (-10-+10):"), ADlg);
        Rate = new QSpinBox(ADlg);
        Rate->setObjectName(QStringLiteral("Le2Rate"));
        Rate->setRange(-10, 10);
        Rate->setValue(AE.VoiceRate);
        RateLabel->setBuddy(Rate);
        FTimer.setSingleShot(true);
        FTimer.setInterval(100);
        connect(&FTimer, &QTimer::timeout, this, [this] { Sprechen(); });
        connect(Liste, &QListWidget::currentRowChanged, this, [this] {
            Freigeben(Liste->isEnabled());
            if (Liste->hasFocus()) Testen();
        });
        for (QSpinBox* s : {Volume, Rate})
            connect(s, &QSpinBox::valueChanged, this, [this] { Testen(); });
        Liste->installEventFilter(this);
    }

    void Freigeben(bool AListeS) {
        Liste->setEnabled(AListeS);
        const bool stimmeS = AListeS && Liste->currentRow() > 0;
        for (QWidget* w : {static_cast<QWidget*>(Volume), static_cast<QWidget*>(Rate),
                           static_cast<QWidget*>(VolumeLabel), static_cast<QWidget*>(RateLabel)})
            w->setEnabled(stimmeS);
    }

    TSpeech Speech;
    QLabel* Label;
    QListWidget* Liste;
    QLabel* VolumeLabel;
    QSpinBox* Volume;
    QLabel* RateLabel;
    QSpinBox* Rate;

protected:
    bool eventFilter(QObject* AObject, QEvent* AEvent) override {
        if (AObject == Liste && AEvent->type() == QEvent::FocusIn) {
            if (FTolk) FTolk->Output(QStringLiteral("Stimmen"), false);
            Testen();
        } else if (AObject == Liste && AEvent->type() == QEvent::FocusOut) {
            FTimer.stop();
            Speech.Stop();
        }
        return false;
    }

private:
    void Testen() {
        if (!Liste->currentItem()) return;
        const QString name = Liste->currentItem()->text();
        if (Speech.TokenDescription() != name)
            Speech.SetTokenNrIndex(Speech.FindDescriptionInTokensNrIndex(name));
        Speech.SetVolume(Volume->value());
        Speech.SetRate(Rate->value());
        FTimer.start();
    }
    void Sprechen() {
        if (Speech.TokenNrIndex().Nr == 0 && FTolk) FTolk->Stop();
        Speech.Speak(Speech.TokenDescription(), true);
    }

    TTolkSRD* FTolk;
    QTimer FTimer;
};

class TOptionen : public IOptionenDialog {
public:
    bool Zeigen(QWidget* AOwner, TEinstellungen& AEinstellungen, const TSpeechPlatform& APlatform,
                TTolkSRD* ATolk) override {
        QDialog dlg(AOwner);
        dlg.setWindowTitle(QStringLiteral("Optionen"));
        auto* layout = new QVBoxLayout(&dlg);
        auto gruppe = [&](const QString& ATitel, const QStringList& AWahl, int AIndex) {
            auto* g = new QGroupBox(ATitel, &dlg);
            auto* gl = new QVBoxLayout(g);
            auto* bg = new QButtonGroup(g);
            for (int i = 0; i < AWahl.size(); ++i) {
                auto* r = new QRadioButton(AWahl.at(i), g);
                r->setChecked(i == AIndex);
                bg->addButton(r, i);
                gl->addWidget(r);
            }
            layout->addWidget(g);
            return bg;
        };
        QButtonGroup* modus =
            gruppe(QStringLiteral("Modus"), {QStringLiteral("&Nachtippen"), QStringLiteral("Ü&berschreiben")},
                   AEinstellungen.Modus);
        auto box = [&](const QString& ACaption, bool AWert) {
            auto* c = new QCheckBox(ACaption, &dlg);
            c->setChecked(AWert);
            layout->addWidget(c);
            return c;
        };
        QCheckBox* verschwinden =
            box(QStringLiteral("&Text verschwinden lassen"), AEinstellungen.TextVerschwindenS);
        QCheckBox* sounds = box(QStringLiteral("&Sounds wiedergeben"), AEinstellungen.SoundsWiedergebenS);
        QCheckBox* einzeln[TSoundCount];
        for (int i = 0; i < TSoundCount; ++i)
            einzeln[i] =
                box(SoundText(static_cast<TSound>(i)), AEinstellungen.SoundsArr[static_cast<std::size_t>(i)]);
        QCheckBox* mp3 = box(QStringLiteral("&Audiotexte wiedergeben"), AEinstellungen.Mp3TextS);
        QCheckBox* gross = box(QStringLiteral("&Groß-/Kleinschreibung beachten"), AEinstellungen.GrossKleinS);
        QCheckBox* korrektur = box(QStringLiteral("&Korrektur erlauben"), AEinstellungen.KorrekturS);
        QCheckBox* protokoll = box(QStringLiteral("&Protokoll schreiben"), AEinstellungen.ProtokollS);
        QCheckBox* cursor = box(QStringLiteral("&Großer Cursor"), AEinstellungen.BigCursorS);
        QButtonGroup* sapi =
            gruppe(QStringLiteral("Sprachausgabe"),
                   {SapiText(sapiEin), SapiText(sapiBedarf), SapiText(sapiAus)}, AEinstellungen.Sapi);
        TStimmenTest test(&dlg, APlatform, ATolk, AEinstellungen);
        layout->addWidget(test.Label);
        layout->addWidget(test.Liste);
        layout->addWidget(test.VolumeLabel);
        layout->addWidget(test.Volume);
        layout->addWidget(test.RateLabel);
        layout->addWidget(test.Rate);
        auto freigeben = [&] {
            test.Freigeben(sapi->checkedId() != sapiAus);
        };
        QObject::connect(sapi, &QButtonGroup::idClicked, &dlg, freigeben);
        freigeben();
        auto* buttons = new QDialogButtonBox(&dlg);
        auto* ok = buttons->addButton(QStringLiteral("O&K"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        ok->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        layout->addWidget(buttons);
        const bool okS = dlg.exec() == QDialog::Accepted;
        test.Speech.Stop();
        if (!okS) return false;
        AEinstellungen.Modus = static_cast<TModus>(std::max(modus->checkedId(), 0));
        AEinstellungen.TextVerschwindenS = verschwinden->isChecked();
        AEinstellungen.SoundsWiedergebenS = sounds->isChecked();
        for (int i = 0; i < TSoundCount; ++i)
            AEinstellungen.SoundsArr[static_cast<std::size_t>(i)] = einzeln[i]->isChecked();
        AEinstellungen.Mp3TextS = mp3->isChecked();
        AEinstellungen.GrossKleinS = gross->isChecked();
        AEinstellungen.KorrekturS = korrektur->isChecked();
        AEinstellungen.ProtokollS = protokoll->isChecked();
        AEinstellungen.BigCursorS = cursor->isChecked();
        AEinstellungen.Sapi = static_cast<TSapi>(std::max(sapi->checkedId(), 0));
        AEinstellungen.Stimme = test.Liste->currentRow() >= 0 ? test.Liste->currentItem()->text() : QString();
        AEinstellungen.VoiceVolume = test.Volume->value();
        AEinstellungen.VoiceRate = test.Rate->value();
        return true;
    }
};

class TSchrift : public ISchriftDialog {
public:
    bool Zeigen(QWidget* AOwner, QFont& AFont, QColor& AHintergrund) override {
        bool okS = false;
        const QFont f = QFontDialog::getFont(&okS, AFont, AOwner, QStringLiteral("Schrifteinstellungen"));
        if (!okS) return false;
        QStringList namen;
        for (int i = 0; i < THintergrundForm::HintergrundAnzahl; ++i)
            namen << THintergrundForm::HintergrundName(i);
        const int jetzt = THintergrundForm::FarbeZuHintergrundNr(AHintergrund, 1);
        const QString wahl =
            QInputDialog::getItem(AOwner, QStringLiteral("Hintergrundfarbe"),
                                  QStringLiteral("&Hintergrundfarbe:"), namen, jetzt, false, &okS);
        if (!okS) return false;
        AFont = f;
        AHintergrund = THintergrundForm::HintergrundFarbeVon(static_cast<int>(namen.indexOf(wahl)));
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
