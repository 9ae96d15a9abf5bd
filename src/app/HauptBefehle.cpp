// Commands, menus and the status line.

#include "Haupt.h"

#include "BuchstabierenC.h"
#include "DatenC.h"
#include "EinstellungenC.h"
#include "EinstellungenSpeicher.h"
#include "FertigDialog.h"
#include "HintergrundC.h"
#include "Pfade.h"
#include "RegistrySettings.h"
#include "RememberFilesC.h"
#include "Speech.h"
#include "SystemServices.h"
#include "TextFile.h"
#include "TextPane.h"
#include "UpdaterC.h"
#include "VorlageC.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>

namespace {
const QString MailAdresse = QStringLiteral("mailto:kontakt@tastaro.at?subject=Tastaro%20V1.31");
const QString Homepage = QStringLiteral("https://www.tastaro.at/");
const QString SpendenSeite = QStringLiteral("https://www.tastaro.at/spenden.htm");
const QString UpdaterProgramm = QStringLiteral("RovuVuzoziz.exe");
// The check-mode items; their place in this list is their tag and the mode.
const char* const UpdateModusBefehle[] = {"MenuDateiUpdateCheckEveryStart", "MenuDateiUpdateCheckDaily",
                                          "MenuDateiUpdateCheckWeekly", "MenuDateiUpdateCheckManualOnly"};
} // namespace

// The key of a command as the menus and the key hints show it, with the
// German key names: "Strg+Rechts", "Umsch+F1", "Esc".
QString TastenText(const QKeySequence& AKey) {
    if (AKey.isEmpty()) return QString();
    const QKeyCombination k = AKey[0];
    QString s;
    if (k.keyboardModifiers() & Qt::ControlModifier) s += QStringLiteral("Strg+");
    if (k.keyboardModifiers() & Qt::ShiftModifier) s += QStringLiteral("Umsch+");
    if (k.keyboardModifiers() & Qt::AltModifier) s += QStringLiteral("Alt+");
    switch (k.key()) {
    case Qt::Key_Right:
        s += QStringLiteral("Rechts");
        break;
    case Qt::Key_Left:
        s += QStringLiteral("Links");
        break;
    case Qt::Key_Up:
        s += QStringLiteral("Auf");
        break;
    case Qt::Key_Down:
        s += QStringLiteral("Ab");
        break;
    case Qt::Key_Escape:
        s += QStringLiteral("Esc");
        break;
    default:
        s += QKeySequence(k.key()).toString(QKeySequence::PortableText);
        break;
    }
    return s;
}

QAction* TForm1::Aktion(const QString& AName) const {
    return FAktionen.value(AName);
}

bool TForm1::Erlaubt(const QString& AName) const {
    return FErlaubt.value(AName, true);
}

// The rule's answer is kept for the command's own check; the action shows it
// only while its menu is open, so that outside the menu every key reaches the
// command, which then asks the rule again.
void TForm1::Freigabe(const QString& AName, bool AErlaubtS) {
    FErlaubt.insert(AName, AErlaubtS);
    if (QAction* a = Aktion(AName)) {
        auto* menue = qobject_cast<QMenu*>(a->property("menue").value<QObject*>());
        a->setEnabled(AErlaubtS || !(menue && menue->isVisible()));
    }
}

void TForm1::MenueAufbauen() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QMenu* aktuellesMenue = nullptr;
    std::function<void()> refresh;
    // Every command refreshes its menu's enabling rules first, so that the key
    // of a disabled command does nothing; the actions themselves stay enabled
    // outside an open menu so that their keys always reach this check.
    auto befehl = [&](const QString& AName, const QString& ACaption, const QKeySequence& AKey,
                      std::function<void()> AHandler) {
        auto* a = new QAction(this);
        a->setObjectName(AName);
        const QString keyText = TastenText(AKey);
        a->setText(keyText.isEmpty() ? ACaption : ACaption + QLatin1Char('\t') + keyText);
        a->setData(keyText);
        if (!AKey.isEmpty()) {
            a->setShortcut(AKey);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        QMenu* menue = aktuellesMenue;
        std::function<void()> pruefen = refresh;
        a->setProperty("menue", QVariant::fromValue(static_cast<QObject*>(menue)));
        connect(a, &QAction::triggered, this, [this, a, AName, pruefen, AHandler] {
            if (pruefen) pruefen();
            if (Erlaubt(AName) && a->isVisible() && AHandler) AHandler();
        });
        aktuellesMenue->addAction(a);
        addAction(a); // the key works while the menu is closed
        FAktionen.insert(AName, a);
        return a;
    };
    auto menue = [&](const QString& AName, const QString& ACaption, std::function<void()> ARefresh) {
        aktuellesMenue = bar->addMenu(ACaption);
        aktuellesMenue->setObjectName(AName);
        refresh = ARefresh;
        QMenu* m = aktuellesMenue;
        connect(m, &QMenu::aboutToShow, this, [this, m, ARefresh] {
            if (ARefresh) ARefresh();
            for (QAction* x : m->actions())
                if (!x->isSeparator()) x->setEnabled(Erlaubt(x->objectName()));
        });
        connect(m, &QMenu::aboutToHide, this, [m] {
            for (QAction* x : m->actions())
                if (!x->isSeparator()) x->setEnabled(true);
        });
    };

    menue(QStringLiteral("MenuDatei"), QStringLiteral("&Datei"), [this] { MenuDateiRefresh(); });
    befehl(QStringLiteral("MenuDateiOptionen"), QStringLiteral("&Optionen..."),
           QKeySequence(Qt::CTRL | Qt::Key_O), [this] { MenuDateiOptionenClick(); });
    {
        QMenu* dateiMenue = aktuellesMenue;
        aktuellesMenue = dateiMenue->addMenu(QStringLiteral("&Updateprüfung"));
        aktuellesMenue->setObjectName(QStringLiteral("MenuDateiUpdateCheck"));
        // One group, so that a screen reader announces them as radio items.
        auto* gruppe = new QActionGroup(aktuellesMenue);
        const char* const captions[] = {"Bei &jedem Programmstart", "Einmal &täglich", "Einmal &wöchentlich",
                                        "&Keine automatische Prüfung"};
        for (int tag = 0; tag < 4; ++tag) {
            QAction* a = befehl(QLatin1String(UpdateModusBefehle[tag]), QString::fromUtf8(captions[tag]), {},
                                [this, tag] { MenuDateiUpdateCheckModeClick(tag); });
            a->setCheckable(true);
            gruppe->addAction(a);
        }
        aktuellesMenue = dateiMenue;
    }
    befehl(QStringLiteral("MenuDateiDesktopLink"), QStringLiteral("Programm&verknüpfung am Desktop"), {},
           [this] { MenuDateiDesktopLinkClick(); })
        ->setCheckable(true);
    befehl(QStringLiteral("MenuDateiProtokollordner"), QStringLiteral("&Protokollordner öffnen..."),
           QKeySequence(Qt::CTRL | Qt::Key_P), [this] { MenuDateiProtokollordnerClick(); });
    aktuellesMenue->addSeparator();
    befehl(QStringLiteral("MenuDateiClose"), QStringLiteral("S&chließen"),
           QKeySequence(Qt::CTRL | Qt::Key_F4), [this] { MenuDateiCloseClick(); });
    befehl(QStringLiteral("MenuDateiBeenden"), QStringLiteral("&Beenden"), QKeySequence(Qt::ALT | Qt::Key_F4),
           [this] { close(); });

    menue(QStringLiteral("MenuAkt"), QStringLiteral("A&ktionen"), [this] { MenuAktRefresh(); });
    befehl(QStringLiteral("MenuAktBereich"), QStringLiteral("Trainings&bereich wählen..."),
           QKeySequence(Qt::CTRL | Qt::Key_B), [this] { MenuAktBereichClick(); });
    befehl(QStringLiteral("MenuAktDatei"), QStringLiteral("Trainings&datei wählen..."),
           QKeySequence(Qt::CTRL | Qt::Key_D), [this] { MenuAktDateiClick(); });
    aktuellesMenue->addSeparator();
    befehl(QStringLiteral("MenuAktNeu"), QStringLiteral("Training &nochmals starten"),
           QKeySequence(Qt::CTRL | Qt::Key_N), [this] { MenuAktNeuClick(); });
    befehl(QStringLiteral("MenuAktWeiter"), QStringLiteral("Zeile &überspringen"),
           QKeySequence(Qt::CTRL | Qt::Key_Right), [this] { MenuAktWeiterZurueck(1); });
    befehl(QStringLiteral("MenuAktZurueck"), QStringLiteral("&Vorhergehende Zeile"),
           QKeySequence(Qt::CTRL | Qt::Key_Left), [this] { MenuAktWeiterZurueck(2); });
    aktuellesMenue->addSeparator();
    befehl(QStringLiteral("MenuAktProtokollLesen"), QStringLiteral("Protokoll &lesen..."),
           QKeySequence(Qt::CTRL | Qt::Key_L), [this] { MenuAktProtokollLesenClick(); });

    menue(QStringLiteral("MenuSprache"), QStringLiteral("&Sprachsteuerung"),
          [this] { MenuSpracheRefresh(); });
    befehl(QStringLiteral("MenuSpracheStoppen"), QStringLiteral("Wiedergabe sto&ppen"),
           QKeySequence(Qt::Key_Escape), [this] { MenuSpracheFunktionen(1); });
    aktuellesMenue->addSeparator();
    befehl(QStringLiteral("MenuSpracheTextSprechen"), QStringLiteral("Text &sprechen"),
           QKeySequence(Qt::CTRL | Qt::Key_Up), [this] { MenuSpracheFunktionen(2); });
    befehl(QStringLiteral("MenuSpracheGeschriebenesSprechen"), QStringLiteral("&Geschriebenes sprechen"),
           QKeySequence(Qt::CTRL | Qt::Key_Down), [this] { MenuSpracheFunktionen(4); });
    befehl(QStringLiteral("MenuSpracheTextBuchstabieren"), QStringLiteral("Text &buchstabieren"),
           QKeySequence(Qt::CTRL | Qt::Key_1), [this] { MenuSpracheFunktionen(3); });
    befehl(QStringLiteral("MenuSpracheGeschriebenesBuchstabieren"),
           QStringLiteral("Geschriebenes buchstabi&eren"), QKeySequence(Qt::CTRL | Qt::Key_2),
           [this] { MenuSpracheFunktionen(5); });
    aktuellesMenue->addSeparator();
    befehl(QStringLiteral("MenuSpracheAudioWiederholen"), QStringLiteral("Audiotext &wiederholen"),
           QKeySequence(Qt::CTRL | Qt::Key_W), [this] { MenuSpracheAudioWiederholenClick(); });

    menue(QStringLiteral("MenuAns"), QStringLiteral("&Ansicht"), nullptr);
    befehl(QStringLiteral("MenuAnsSchriftart"), QStringLiteral("&Schrifteinstellungen..."), {},
           [this] { MenuAnsSchriftartClick(); });

    menue(QStringLiteral("MenuHilfe"), QStringLiteral("&Hilfe"), [this] { MenuHilfeRefresh(); });
    auto hilfeText = [this](const QString& ADatei) {
        return [this, ADatei] { FDienste.Services.Shell->OpenTextFile(ProgrammOrdner + ADatei); };
    };
    befehl(QStringLiteral("MenuHilfeHilfe"), QStringLiteral("&Hilfe..."), QKeySequence(Qt::Key_F1),
           hilfeText(QStringLiteral("Tastaro-Hilfe.txt")));
    befehl(QStringLiteral("MenuHilfeKurztasten"), QStringLiteral("&Kurztasten..."), {},
           hilfeText(QStringLiteral("Kurztasten.txt")));
    befehl(QStringLiteral("MenuHilfeHistory"), QStringLiteral("&Änderungen..."), {},
           hilfeText(QStringLiteral("History.txt")));
    befehl(QStringLiteral("MenuHilfeZeilenkonverter"), QStringLiteral("&Zeilenkonverter starten..."), {},
           [this] {
               FDienste.Services.Shell->StartProgram(ProgrammOrdner + QStringLiteral("VuRizorudor.exe"), {},
                                                     ProgrammOrdner);
           });
    befehl(QStringLiteral("MenuHilfeMail"), QStringLiteral("&Mail an den Programmierer..."), {},
           [this] { FDienste.Services.Shell->Open(this, MailAdresse); });
    befehl(QStringLiteral("MenuHilfeHomepage"), QStringLiteral("Home&page..."), {},
           [this] { FDienste.Services.Shell->Open(this, Homepage); });
    befehl(QStringLiteral("MenuHilfeSpenden"), QStringLiteral("&Spenden..."), {},
           [this] { FDienste.Services.Shell->Open(this, SpendenSeite); });
    befehl(QStringLiteral("MenuHilfeUpdate"), QStringLiteral("&Aktualisierung..."), {},
           [this] { MenuHilfeUpdateClick(); });
    befehl(QStringLiteral("MenuHilfeInfo"), QStringLiteral("&Info"), {}, [this] { MenuHilfeInfoClick(); });

    // The popup menu of both panes: the two line commands, and four hidden
    // items that exist for their keys only (clipboard use is blocked).
    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    for (const auto& [name, caption, key] :
         // each with the platform's other key for the same clipboard action
         {std::tuple{"PuEinfuegen", "Einfügen",
                     QList<QKeySequence>{Qt::CTRL | Qt::Key_V, Qt::SHIFT | Qt::Key_Insert}},
          std::tuple{"PuKopieren", "Kopieren",
                     QList<QKeySequence>{Qt::CTRL | Qt::Key_C, Qt::CTRL | Qt::Key_Insert}},
          std::tuple{"PuAusschneiden", "Ausschneiden",
                     QList<QKeySequence>{Qt::CTRL | Qt::Key_X, Qt::SHIFT | Qt::Key_Delete}},
          std::tuple{"PuAllesMarkieren", "Alles markieren", QList<QKeySequence>{Qt::CTRL | Qt::Key_A}}}) {
        auto* sichtbar = PopupMenu1->addAction(QString::fromUtf8(caption));
        sichtbar->setObjectName(QLatin1String(name));
        sichtbar->setVisible(false);
        // A hidden action takes no key; its key lives on an action of the panes.
        for (TTextPane* m : {Memo1, Memo2}) {
            auto* k = new QAction(m);
            k->setShortcuts(key);
            k->setShortcutContext(Qt::WidgetShortcut);
            connect(k, &QAction::triggered, this, [this] { Beep(); });
            m->addAction(k);
        }
    }
    auto* puWeiter = PopupMenu1->addAction(QString());
    puWeiter->setObjectName(QStringLiteral("PuWeiter"));
    connect(puWeiter, &QAction::triggered, this, [this] { MenuAktWeiterZurueck(1); });
    auto* puZurueck = PopupMenu1->addAction(QString());
    puZurueck->setObjectName(QStringLiteral("PuZurueck"));
    connect(puZurueck, &QAction::triggered, this, [this] { MenuAktWeiterZurueck(2); });
    FAktionen.insert(QStringLiteral("PuWeiter"), puWeiter);
    FAktionen.insert(QStringLiteral("PuZurueck"), puZurueck);
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this, puWeiter, puZurueck] {
        MenuAktRefresh();
        for (auto [pu, name] :
             {std::pair{puWeiter, "MenuAktWeiter"}, std::pair{puZurueck, "MenuAktZurueck"}}) {
            pu->setText(Aktion(QLatin1String(name))->text());
            pu->setEnabled(Erlaubt(QLatin1String(name)));
        }
    });
    Memo1->SetPopupMenu(PopupMenu1);
    Memo2->SetPopupMenu(PopupMenu1);
}

void TForm1::MenuDateiRefresh() {
    Aktion(QStringLiteral("MenuDateiDesktopLink"))
        ->setChecked((!DesktopLinkBenutzer.isEmpty() && QFile::exists(DesktopLinkBenutzer)) ||
                     (!DesktopLinkAlle.isEmpty() && QFile::exists(DesktopLinkAlle)));
    Freigabe(QStringLiteral("MenuDateiClose"), Kategorie->AktivNr() != -1);
    const int modus = Updater ? int(Updater->CheckMode()) : -1;
    for (int i = 0; i < 4; ++i)
        Aktion(QLatin1String(UpdateModusBefehle[i]))->setChecked(i == modus);
}

void TForm1::MenuAktRefresh() {
    Freigabe(QStringLiteral("MenuAktBereich"), true);
    Freigabe(QStringLiteral("MenuAktDatei"), Kategorie->AktivNr() != -1);
    Freigabe(QStringLiteral("MenuAktNeu"), Daten->AktivNr() != -1);
    Freigabe(QStringLiteral("MenuAktWeiter"), AktivNr() != -1);
    Freigabe(QStringLiteral("MenuAktProtokollLesen"), !ProtokollSl.join(QString()).isEmpty());
    Freigabe(QStringLiteral("MenuAktZurueck"), AktivNr() > 0);
}

void TForm1::MenuSpracheRefresh() {
    const bool moeglichS = Speech->TokenNrIndex().Nr >= 0 && Einstellungen->Sapi != sapiAus &&
                           !Einstellungen->Stimme.isEmpty() && !Memo2->ReadOnly();
    Freigabe(QStringLiteral("MenuSpracheTextSprechen"), moeglichS && !SprechenText.isEmpty());
    Freigabe(QStringLiteral("MenuSpracheTextBuchstabieren"), moeglichS && !SprechenText.isEmpty());
    Freigabe(QStringLiteral("MenuSpracheGeschriebenesSprechen"), moeglichS && !GeschriebenText.isEmpty());
    Freigabe(QStringLiteral("MenuSpracheGeschriebenesBuchstabieren"),
             moeglichS && !GeschriebenText.isEmpty());
    const std::optional<TDateiRec> paar = AktuellesPaar();
    Freigabe(QStringLiteral("MenuSpracheAudioWiederholen"), Einstellungen->Mp3TextS && paar &&
                                                                !paar->Mp3Filename.isEmpty() &&
                                                                QFile::exists(paar->Mp3Filename));
    Freigabe(QStringLiteral("MenuSpracheStoppen"), moeglichS || FDienste.Services.Audio->IsPlaying());
}

void TForm1::MenuHilfeRefresh() {
    for (auto [name, datei] :
         {std::pair{"MenuHilfeHilfe", "Tastaro-Hilfe.txt"},
          std::pair{"MenuHilfeKurztasten", "Kurztasten.txt"}, std::pair{"MenuHilfeHistory", "History.txt"}})
        Freigabe(QLatin1String(name), QFile::exists(ProgrammOrdner + QString::fromUtf8(datei)));
    const bool updaterS = QFile::exists(ProgrammOrdner + UpdaterProgramm);
    Aktion(QStringLiteral("MenuHilfeUpdate"))->setVisible(true);
    Freigabe(QStringLiteral("MenuHilfeUpdate"), updaterS);
    const bool konverterS = QFile::exists(ProgrammOrdner + QStringLiteral("VuRizorudor.exe"));
    Aktion(QStringLiteral("MenuHilfeZeilenkonverter"))->setVisible(konverterS);
    Freigabe(QStringLiteral("MenuHilfeZeilenkonverter"), konverterS);
}

void TForm1::SetKategorieTitel(const QString& AValue) {
    FKategorietitel = AValue.isEmpty() ? QStringLiteral("(KeinBereich)") : AValue;
    const QString caption = QStringLiteral("%1 - %2").arg(FKategorietitel, ProgrammTitel);
    setWindowTitle(caption);
    QGuiApplication::setApplicationDisplayName(QString());
    // A second start looks for this window by its caption.
    PublishWindowCaption(caption);
}

void TForm1::SetDatenTitel(const QString& AValue) {
    Lbl1Datentitel->setText(AValue.isEmpty() ? QStringLiteral("(KeinTitel)") : AValue);
    Lbl1Datentitel->adjustSize();
    Lbl1Datentitel->move((centralWidget()->width() - Lbl1Datentitel->width()) / 2, Lbl1Datentitel->y());
}

void TForm1::MenuAktBereichClick() {
    if (Kategorie->Count() == 0) {
        Information(QStringLiteral("Es wurde kein Trainingsbereich gefunden!"));
        return;
    }
    const int wahl = Waehlen(QStringLiteral("Trainingsbereich wählen"), Kategorie->TitelTextString(),
                             Kategorie->AktivNr());
    if (wahl < 0) return;
    const TKatRec bereich = Kategorie->Get(wahl);
    // The old area stays in place until the new one is read: a load called
    // off leaves everything as it was.
    std::unique_ptr<TDaten> neu = BereichLaden(bereich.Path);
    if (!neu) return;
    // Without an active line there is nothing to remember, and Add(-1) would
    // forget the line the user stopped at.
    if (AktivNr() != -1) RememberFiles->Add(AktuelleDatei(), AktivNr());
    Kategorie->SetAktivNr(wahl);
    *Daten = std::move(*neu);
    SetKategorieTitel(bereich.Titel);
    MenuAktDateiClick();
    if (Daten->AktivNr() == -1 && FAktivNr != -1) {
        // The file choice was cancelled: there is no pair left to compare
        // with, so the line has ended as when the area is closed.
        SetAktivNr(-1);
    }
}

void TForm1::MenuAktDateiClick() {
    if (Daten->Count() == 0) {
        Information(QStringLiteral("Es wurde keine Trainingsdatei gefunden!"));
        SetDatenTitel(QString());
        return;
    }
    const int wahl =
        Waehlen(QStringLiteral("Trainingsdatei wählen"), Daten->TitelTextString(), Daten->AktivNr());
    if (wahl >= 0) {
        if (AktivNr() != -1) RememberFiles->Add(AktuelleDatei(), AktivNr());
        Daten->SetAktivNr(wahl);
        // The old file's line has no pair of the new file to be checked
        // against: it ends here, whatever the run's start question brings.
        if (FAktivNr != -1) SetAktivNr(-1);
        Timer1Los->start();
    }
    SetDatenTitel(Daten->AktivNr() >= 0 ? Daten->Get(Daten->AktivNr()).Titel : QString());
}

void TForm1::Lbl1DatentitelClick() {
    MenuAktRefresh();
    if (Erlaubt(QStringLiteral("MenuAktDatei")))
        MenuAktDateiClick();
    else
        MenuAktBereichClick();
}

void TForm1::MenuDateiCloseClick() {
    if (AktivNr() != -1) {
        if (!Frage(QStringLiteral("Soll das Training abgebrochen und der Bereich geschlossen werden?")))
            return;
        if (Einstellungen->ProtokollS) ProtokollSchreiben(ptBeenden);
        RememberFiles->Add(AktuelleDatei(), AktivNr());
    }
    QWidget* fokus = QApplication::focusWidget();
    CloseS = true;
    PlayerStop();
    ProtokollSl.clear();
    Kategorie->SetAktivNr(-1);
    Daten->Clear();
    SetAktivNr(-1);
    SetDatenTitel(QString());
    SetKategorieTitel(QString());
    SetFehler(0);
    Ton(sClick, false);
    CloseS = false;
    Timer1StatusTimer();
    if (fokus) fokus->setFocus();
}

void TForm1::Timer1StatusTimer() {
    Timer1Status->stop();
    Timer1Status->setInterval(250);
    if (BeendenS) return;
    if (QApplication::cursorFlashTime() != 1000) NewCaret();
    const bool bereichS = Kategorie->AktivNr() != -1;
    const bool dateiS = Daten->AktivNr() != -1;
    const bool zeileS = AktivNr() != -1;
    auto key = [this](const char* AName) { return Aktion(QLatin1String(AName))->data().toString(); };
    QString s;
    if (!bereichS || !dateiS) s += QStringLiteral("%1=Bereich wählen; ").arg(key("MenuAktBereich"));
    if (bereichS && (!dateiS || !zeileS)) s += QStringLiteral("%1=Datei wählen; ").arg(key("MenuAktDatei"));
    if (bereichS && dateiS && !zeileS) s += QStringLiteral("%1=Nochmals starten; ").arg(key("MenuAktNeu"));
    if (bereichS && dateiS && zeileS) s += QStringLiteral("%1=Überspringen; ").arg(key("MenuAktWeiter"));
    if (bereichS && dateiS && AktivNr() > 0)
        s += QStringLiteral("%1=Vorhergehende; ").arg(key("MenuAktZurueck"));
    s = s.trimmed();
    if (!s.isEmpty()) s.chop(1);
    if (StatusPanel[3]->text() != s) StatusPanel[3]->setText(s);
    if (!BeendenS) Timer1Status->start();
}

void TForm1::MenuSpracheFunktionen(int ATag) {
    if (ATag == 1 && FDienste.Services.Audio->IsPlaying()) FDienste.Services.Audio->Stop();
    // Silenced means silenced: a line still waiting to be spoken stays unsaid.
    if (ATag == 1) Timer1SprechenText->stop();
    if (Speech->TokenNrIndex().Nr == -1) return;
    switch (ATag) {
    case 1:
        Speech->Stop();
        break;
    case 2:
        Vorlage->Split(SprechenText);
        SpeakText(Vorlage->GetSprichSlStr());
        break;
    case 3:
        SpeakText(GetBuchstabierenText(SprechenText));
        break;
    case 4:
        Vorlage->Split(GeschriebenText);
        SpeakText(Vorlage->GetSprichSlStr());
        break;
    case 5:
        SpeakText(GetBuchstabierenText(GeschriebenText));
        break;
    default:
        break;
    }
}

void TForm1::MenuSpracheAudioWiederholenClick() {
    if (const auto p = AktuellesPaar()) PlayMp3(p->Mp3Filename, false);
}

void TForm1::MenuDateiDesktopLinkClick() {
    MenuDateiRefresh();
    if (Aktion(QStringLiteral("MenuDateiDesktopLink"))->isChecked()) {
        for (const QString& link : {DesktopLinkBenutzer, DesktopLinkAlle}) {
            if (!link.isEmpty() && QFile::exists(link)) {
                QFile::setPermissions(link, QFile::permissions(link) | QFileDevice::WriteOwner);
                QFile::remove(link);
            }
        }
    } else {
        FDienste.Services.Shell->CreateShortcut(DesktopLinkBenutzer, ProgrammDatei,
                                                QStringLiteral("Tastaro"));
    }
    MenuDateiRefresh();
}

void TForm1::MenuDateiOptionenClick() {
    TEinstellungen neu = *Einstellungen;
    TDialogAussehen a;
    a.Schrift = TrainingFont;
    a.SchriftFarbe = Memo2->palette().color(QPalette::Text);
    a.HintergrundFarbe = HintergrundFarbe;
    const bool okS =
        Modal([&] { return FDienste.Optionen->Zeigen(this, neu, a, FDienste.Sprache, FTolk.get()); });
    if (!okS) return;
    const bool protokollVorherS = Einstellungen->ProtokollS;
    *Einstellungen = neu;
    SetModus(neu.Modus);
    SchalterEinrichten();
    RegistryLadenSpeichern(false);
    SetStimme();
    if (AktivNr() != -1 && !protokollVorherS && Einstellungen->ProtokollS) ProtokollSchreiben(ptNeu);
    SetAktivNr(AktivNr());
    if (AktivNr() != -1)
        Timer1SprechenText->start();
    else
        Timer1SprechenText->stop();
}

void TForm1::MenuAnsSchriftartClick() {
    PlayerStop();
    Timer1Status->stop();
    Timer1SprechenText->stop();
    QPointer<QWidget> fokus = QApplication::focusWidget();
    QFont font = TrainingFont;
    QColor farbe = HintergrundFarbe;
    QColor schriftFarbe = Memo2->palette().color(QPalette::Text);
    const bool okS = Modal([&] {
        return FDienste.Schrift->Zeigen(this, font, schriftFarbe, farbe, FTolk.get(),
                                        FDienste.Services.MessageBoxes);
    });
    if (okS) {
        // Only bold can be taken away by the dialog.
        if (TrainingFont.italic()) font.setItalic(true);
        if (TrainingFont.underline()) font.setUnderline(true);
        if (TrainingFont.strikeOut()) font.setStrikeOut(true);
        TrainingFont = font;
        FFontColor = TColorAusSchriftFarbe(schriftFarbe, palette());
        for (QWidget* m : {static_cast<QWidget*>(Memo1), static_cast<QWidget*>(Memo2)}) {
            QPalette p = m->palette();
            p.setColor(QPalette::Text, schriftFarbe);
            m->setPalette(p);
        }
        SetHintergrundNr(THintergrundForm::FarbeZuHintergrundNr(farbe, 1));
        RegistryLadenSpeichern(false);
    }
    if (fokus) fokus->setFocus();
    NewCaret();
    Timer1Status->start();
}

void TForm1::MenuHilfeInfoClick() {
    Information(ProgrammTitel + QLatin1Char('\r') +
                QStringLiteral("Ein Programm zum Erlernen des Schreibens am PC.") + QLatin1Char('\r') +
                QStringLiteral("Mit Tastatur, Ton und Sprache für blinde und sehbehinderte Menschen.") +
                QLatin1Char('\r') + QStringLiteral("Kontakt: kontakt@tastaro.at"));
}

void TForm1::MenuDateiUpdateCheckModeClick(int ATag) {
    if (ATag < ucmEveryStart || ATag > ucmManualOnly) return;
    Updater->SetCheckMode(TUpdateCheckMode(ATag));
    MenuDateiRefresh();
}

// Hands over to the external updater, which reads this file from the
// temporary folder and takes the program's path from its third line.
void TForm1::MenuHilfeUpdateClick() {
    const QString temp = GetTempFolder();
    const QString datei = temp + QStringLiteral("Tastaro.cfg");
    const QStringList zeilen = {
        ProgrammTitel, windowTitle(), QDir::toNativeSeparators(ProgrammDatei), ProgrammName,
        QStringLiteral("%1 %2").arg(TrainingFont.pointSize()).arg(TrainingFont.family())};
    bool okS = !temp.isEmpty();
    if (okS) {
        try {
            // An old read-only copy must not stop the hand-off.
            if (QFile::exists(datei))
                QFile::setPermissions(datei, QFile::permissions(datei) | QFileDevice::WriteOwner);
            WriteTextFile(datei, zeilen.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n"), fttAnsi);
        } catch (...) {
            okS = false;
        }
    }
    if (!okS) {
        FehlerMeldung(QStringLiteral("Es ist ein Fehler beim Aktualisieren aufgetreten!\rDie Datei \"%1\" "
                                     "konnte nicht gespeichert werden.")
                          .arg(datei));
        return;
    }
    FDienste.Services.Shell->StartProgram(ProgrammOrdner + UpdaterProgramm, {QStringLiteral("Tastaro.cfg")},
                                          QString());
}

void TForm1::WmUserSetFocus() {
    ForceForegroundWindow(this);
    ActivateVisibleForms(this);
}

// Depth first, so that the window activated last, an open dialog, ends up in front.
void TForm1::ActivateVisibleForms(QWidget* AOwner) {
    for (QObject* o : AOwner->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (!w || !w->isWindow() || !w->isVisible()) continue;
        ForceForegroundWindow(w);
        ActivateVisibleForms(w);
    }
}

void TForm1::WmUserClose() {
    Aktion(QStringLiteral("MenuDateiBeenden"))->trigger();
}
