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
#include <QFile>
#include <QFontDialog>
#include <QGroupBox>
#include <QInputDialog>
#include <QLabel>
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

class TOptionen : public IOptionenDialog {
public:
    bool Zeigen(QWidget* AOwner, TEinstellungen& AEinstellungen, const QStringList& AStimmen) override {
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
        auto* stimmeLabel = new QLabel(QStringLiteral("S&timme:"), &dlg);
        auto* stimme = new QComboBox(&dlg);
        stimme->addItem(QStringLiteral("(keine)"));
        stimme->addItems(AStimmen);
        stimmeLabel->setBuddy(stimme);
        const int gewaehlt = static_cast<int>(AStimmen.indexOf(AEinstellungen.Stimme));
        stimme->setCurrentIndex(gewaehlt >= 0 ? gewaehlt + 1 : 0);
        layout->addWidget(stimmeLabel);
        layout->addWidget(stimme);
        auto* buttons = new QDialogButtonBox(&dlg);
        auto* ok = buttons->addButton(QStringLiteral("O&K"), QDialogButtonBox::AcceptRole);
        buttons->addButton(QStringLiteral("Abbrechen"), QDialogButtonBox::RejectRole);
        ok->setDefault(true);
        QObject::connect(buttons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        QObject::connect(buttons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        layout->addWidget(buttons);
        if (dlg.exec() != QDialog::Accepted) return false;
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
        AEinstellungen.Stimme = stimme->currentIndex() > 0 ? stimme->currentText() : QString();
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
