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
#include "SingleInstance.h"
#include "Speech.h"
#include "SystemServices.h"
#include "TastenNamenC.h"
#include "TextFile.h"
#include "TextPane.h"
#include "UpdaterC.h"
#include "VorlageC.h"

#include <QActionGroup>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>

namespace {
const QString MailAdresse = QStringLiteral("mailto:kontakt@tastaro.at?subject=Tastaro%20V1.31");
const QString Homepage = QStringLiteral("https://www.tastaro.at/");
const QString SpendenSeite = QStringLiteral("https://www.tastaro.at/spenden.htm");
const QString UpdaterProgramm = QStringLiteral("RovuVuzoziz.exe");
const QString Zeilenkonverter = QStringLiteral("VuRizorudor.exe");
const QString HilfeDatei = QStringLiteral("Tastaro-Hilfe.txt");
const QString KurztastenDatei = QStringLiteral("Kurztasten.txt");
const QString HistoryDatei = QStringLiteral("History.txt");
// The check-mode items; their place in this list is their tag and the mode.
const char* const UpdateModusBefehle[] = {"MenuDateiUpdateCheckEveryStart", "MenuDateiUpdateCheckDaily",
                                          "MenuDateiUpdateCheckWeekly", "MenuDateiUpdateCheckManualOnly"};

bool ImProgrammordner(const QString& ADatei) {
    return QFile::exists(ProgrammOrdner + ADatei);
}

QString Fehlt(const QString& ADatei) {
    return QStringLiteral("Die Datei %1 fehlt im Programmordner.").arg(ADatei);
}

const QString KeineZeile = QStringLiteral("Es ist keine Zeile zu tippen.");
const QString NichtsGeschrieben = QStringLiteral("Es ist noch nichts geschrieben.");

bool DesktopLinkVorhanden() {
    return (!DesktopLinkBenutzer.isEmpty() && QFile::exists(DesktopLinkBenutzer)) ||
           (!DesktopLinkAlle.isEmpty() && QFile::exists(DesktopLinkAlle));
}
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

namespace {
constexpr int K(QKeyCombination AKey) {
    return AKey.toCombined();
}
} // namespace

// The menus in the order of the menu bar; a submenu is placed where its first
// command row stands.
// clang-format off
const TMenueZeile TForm1::FMenues[] = {
    // name                  caption              in menu
    {"MenuDatei",            "&Datei",            nullptr},
    {"MenuDateiUpdateCheck", "&Updateprüfung",    "MenuDatei"},
    {"MenuAkt",              "A&ktionen",         nullptr},
    {"MenuSprache",          "&Sprachsteuerung",  nullptr},
    {"MenuAns",              "&Ansicht",          nullptr},
    {"MenuHilfe",            "&Hilfe",            nullptr},
};
// clang-format on

const std::span<const TMenueZeile> TForm1::Menues() {
    return FMenues;
}

namespace {
using F = TForm1;
using B = TBefehl;
} // namespace

// Every menu command of the window. A new command is one row here and its
// handler; the menus, the key hints of the status line and the key list's
// test all read this table.
const TBefehl TForm1::FBefehle[] = {
    // menu, object name, caption, key, handler, rule (null: always), kind, checked, separator before,
    // what is said when the rule refuses
    {"MenuDatei", "MenuDateiOptionen", "&Optionen...", K(Qt::CTRL | Qt::Key_O),
     [](F& f) { f.MenuDateiOptionenClick(); }},
    {"MenuDateiUpdateCheck", UpdateModusBefehle[0], "Bei &jedem Programmstart", 0,
     [](F& f) { f.MenuDateiUpdateCheckModeClick(0); }, nullptr, B::Auswahl,
     [](const F& f) { return f.UpdateModus() == 0; }},
    {"MenuDateiUpdateCheck", UpdateModusBefehle[1], "Einmal &täglich", 0,
     [](F& f) { f.MenuDateiUpdateCheckModeClick(1); }, nullptr, B::Auswahl,
     [](const F& f) { return f.UpdateModus() == 1; }},
    {"MenuDateiUpdateCheck", UpdateModusBefehle[2], "Einmal &wöchentlich", 0,
     [](F& f) { f.MenuDateiUpdateCheckModeClick(2); }, nullptr, B::Auswahl,
     [](const F& f) { return f.UpdateModus() == 2; }},
    {"MenuDateiUpdateCheck", UpdateModusBefehle[3], "&Keine automatische Prüfung", 0,
     [](F& f) { f.MenuDateiUpdateCheckModeClick(3); }, nullptr, B::Auswahl,
     [](const F& f) { return f.UpdateModus() == 3; }},
    {"MenuDatei", "MenuDateiDesktopLink", "Programm&verknüpfung am Desktop", 0,
     [](F& f) { f.MenuDateiDesktopLinkClick(); }, nullptr, B::Haken,
     [](const F&) { return DesktopLinkVorhanden(); }},
    {"MenuDatei", "MenuDateiProtokollordner", "&Protokollordner öffnen...", K(Qt::CTRL | Qt::Key_P),
     [](F& f) { f.MenuDateiProtokollordnerClick(); }},
    {"MenuDatei", "MenuDateiClose", "S&chließen", K(Qt::CTRL | Qt::Key_F4),
     [](F& f) { f.MenuDateiCloseClick(); }, [](const F& f) { return f.Kategorie->AktivNr() != -1; },
     B::Normal, nullptr, true,
     [](const F&) { return QStringLiteral("Es ist kein Trainingsbereich geöffnet."); }},
    {"MenuDatei", "MenuDateiBeenden", "&Beenden", K(Qt::ALT | Qt::Key_F4), [](F& f) { f.close(); }},

    {"MenuAkt", "MenuAktBereich", "Trainings&bereich wählen...", K(Qt::CTRL | Qt::Key_B),
     [](F& f) { f.MenuAktBereichClick(); }},
    {"MenuAkt", "MenuAktDatei", "Trainings&datei wählen...", K(Qt::CTRL | Qt::Key_D),
     [](F& f) { f.MenuAktDateiClick(); }, [](const F& f) { return f.Kategorie->AktivNr() != -1; }, B::Normal,
     nullptr, false,
     [](const F&) { return QStringLiteral("Zuerst einen Trainingsbereich wählen, mit Strg+B."); }},
    {"MenuAkt", "MenuAktNeu", "Training &nochmals starten", K(Qt::CTRL | Qt::Key_N),
     [](F& f) { f.MenuAktNeuClick(); }, [](const F& f) { return f.Daten->AktivNr() != -1; }, B::Normal,
     nullptr, true, [](const F&) { return QStringLiteral("Zuerst eine Trainingsdatei wählen."); }},
    {"MenuAkt", "MenuAktWeiter", "Zeile &überspringen", K(Qt::CTRL | Qt::Key_Right),
     [](F& f) { f.MenuAktWeiterZurueck(1); }, [](const F& f) { return f.AktivNr() != -1; }, B::Normal,
     nullptr, false, [](const F&) { return KeineZeile; }},
    {"MenuAkt", "MenuAktZurueck", "&Vorhergehende Zeile", K(Qt::CTRL | Qt::Key_Left),
     [](F& f) { f.MenuAktWeiterZurueck(2); }, [](const F& f) { return f.AktivNr() > 0; }, B::Normal, nullptr,
     false,
     [](const F& f) { return f.AktivNr() == -1 ? KeineZeile : QStringLiteral("Das ist die erste Zeile."); }},
    {"MenuAkt", "MenuAktFortschritt", "&Fortschritt...", K(Qt::CTRL | Qt::Key_F),
     [](F& f) { f.MenuAktFortschrittClick(); }},
    {"MenuAkt", "MenuAktSchwacheTasten", "&Schwache Tasten üben", K(Qt::CTRL | Qt::Key_U),
     [](F& f) { f.MenuAktSchwacheTastenClick(); }},
    {"MenuAkt", "MenuAktTastenErkunden", "Tasten &erkunden", K(Qt::CTRL | Qt::Key_T),
     [](F& f) { f.MenuAktTastenErkundenClick(); }},
    {"MenuAkt", "MenuAktProtokollLesen", "Protokoll &lesen...", K(Qt::CTRL | Qt::Key_L),
     [](F& f) { f.MenuAktProtokollLesenClick(); }, [](const F& f) { return !f.Protokoll.Leer(); }, B::Normal,
     nullptr, true,
     [](const F& f) {
         return f.Einstellungen->ProtokollS
                    ? QStringLiteral("Es gibt noch kein Protokoll.")
                    : QStringLiteral("Das Protokoll ist in den Optionen ausgeschaltet.");
     }},

    {"MenuSprache", "MenuSpracheStoppen", "Wiedergabe sto&ppen", K(QKeyCombination(Qt::Key_Escape)),
     [](F& f) { f.MenuSpracheFunktionen(1); },
     [](const F& f) { return f.SpracheMoeglich() || f.FDienste.Services.Audio->IsPlaying(); }, B::Normal,
     nullptr, false, [](const F&) { return QString(); }}, // nothing to stop: Esc stays quiet
    {"MenuSprache", "MenuSpracheTextSprechen", "Text &sprechen", K(Qt::CTRL | Qt::Key_Up),
     [](F& f) { f.MenuSpracheFunktionen(2); },
     [](const F& f) { return f.SpracheMoeglich() && !f.SprechenText.isEmpty(); }, B::Normal, nullptr, true,
     [](const F& f) { return f.SprachGrund(f.SprechenText, KeineZeile); }},
    {"MenuSprache", "MenuSpracheGeschriebenesSprechen", "&Geschriebenes sprechen", K(Qt::CTRL | Qt::Key_Down),
     [](F& f) { f.MenuSpracheFunktionen(4); },
     [](const F& f) { return f.SpracheMoeglich() && !f.GeschriebenText.isEmpty(); }, B::Normal, nullptr,
     false, [](const F& f) { return f.SprachGrund(f.GeschriebenText, NichtsGeschrieben); }},
    {"MenuSprache", "MenuSpracheTextBuchstabieren", "Text &buchstabieren", K(Qt::CTRL | Qt::Key_1),
     [](F& f) { f.MenuSpracheFunktionen(3); },
     [](const F& f) { return f.SpracheMoeglich() && !f.SprechenText.isEmpty(); }, B::Normal, nullptr, false,
     [](const F& f) { return f.SprachGrund(f.SprechenText, KeineZeile); }},
    {"MenuSprache", "MenuSpracheGeschriebenesBuchstabieren", "Geschriebenes buchstabi&eren",
     K(Qt::CTRL | Qt::Key_2), [](F& f) { f.MenuSpracheFunktionen(5); },
     [](const F& f) { return f.SpracheMoeglich() && !f.GeschriebenText.isEmpty(); }, B::Normal, nullptr,
     false, [](const F& f) { return f.SprachGrund(f.GeschriebenText, NichtsGeschrieben); }},
    {"MenuSprache", "MenuSpracheAudioWiederholen", "Audiotext &wiederholen", K(Qt::CTRL | Qt::Key_W),
     [](F& f) { f.MenuSpracheAudioWiederholenClick(); }, [](const F& f) { return f.AudiotextVorhanden(); },
     B::Normal, nullptr, true,
     [](const F& f) {
         return f.Einstellungen->Mp3TextS ? QStringLiteral("Diese Zeile hat keinen Audiotext.")
                                          : QStringLiteral("Audiotexte sind in den Optionen ausgeschaltet.");
     }},
    {"MenuSprache", "MenuSpracheErgebnis", "&Ergebnis ansagen", K(Qt::CTRL | Qt::Key_E),
     [](F& f) { f.ErgebnisAnsagenUmschalten(); }, nullptr, B::Haken,
     [](const F& f) { return f.Einstellungen->ErgebnisAnsagenS; }},

    {"MenuAns", "MenuAnsSchriftart", "&Schrifteinstellungen...", 0, [](F& f) { f.MenuAnsSchriftartClick(); }},

    {"MenuHilfe", "MenuHilfeHilfe", "&Hilfe...", K(QKeyCombination(Qt::Key_F1)),
     [](F& f) { f.HilfeTextOeffnen(HilfeDatei, QStringLiteral("Hilfe")); },
     [](const F&) { return ImProgrammordner(HilfeDatei); }, B::Normal, nullptr, false,
     [](const F&) { return Fehlt(HilfeDatei); }},
    {"MenuHilfe", "MenuHilfeKurztasten", "&Kurztasten...", 0,
     [](F& f) { f.HilfeTextOeffnen(KurztastenDatei, QStringLiteral("Kurztasten")); },
     [](const F&) { return ImProgrammordner(KurztastenDatei); }, B::Normal, nullptr, false,
     [](const F&) { return Fehlt(KurztastenDatei); }},
    {"MenuHilfe", "MenuHilfeHistory", "&Änderungen...", 0,
     [](F& f) { f.HilfeTextOeffnen(HistoryDatei, QStringLiteral("Änderungen")); },
     [](const F&) { return ImProgrammordner(HistoryDatei); }, B::Normal, nullptr, false,
     [](const F&) { return Fehlt(HistoryDatei); }},
    {"MenuHilfe", "MenuHilfeZeilenkonverter", "&Zeilenkonverter starten...", 0,
     [](F& f) {
         if (!f.FDienste.Services.Shell->StartProgram(ProgrammOrdner + Zeilenkonverter, {}, ProgrammOrdner))
             f.FehlerMeldung(QStringLiteral("Der Zeilenkonverter konnte nicht gestartet werden."));
     },
     [](const F&) { return ImProgrammordner(Zeilenkonverter); }, B::NurErlaubtSichtbar},
    {"MenuHilfe", "MenuHilfeMail", "&Mail an den Programmierer...", 0, [](F& f) { f.Oeffnen(MailAdresse); }},
    {"MenuHilfe", "MenuHilfeHomepage", "Home&page...", 0, [](F& f) { f.Oeffnen(Homepage); }},
    {"MenuHilfe", "MenuHilfeSpenden", "&Spenden...", 0, [](F& f) { f.Oeffnen(SpendenSeite); }},
    {"MenuHilfe", "MenuHilfeUpdate", "&Aktualisierung...", 0, [](F& f) { f.MenuHilfeUpdateClick(); },
     [](const F&) { return ImProgrammordner(UpdaterProgramm); }, B::NurErlaubtSichtbar, nullptr, false,
     [](const F&) { return Fehlt(UpdaterProgramm); }},
    {"MenuHilfe", "MenuHilfeInfo", "&Info", 0, [](F& f) { f.MenuHilfeInfoClick(); }},
};

const std::span<const TBefehl> TForm1::Befehle() {
    return FBefehle;
}

const TBefehl* TForm1::Befehl(const QString& AName) {
    for (const TBefehl& b : Befehle())
        if (AName == QLatin1String(b.Name)) return &b;
    return nullptr;
}

QAction* TForm1::Aktion(const QString& AName) const {
    return FAktionen.value(AName);
}

bool TForm1::Erlaubt(const QString& AName) const {
    const TBefehl* b = Befehl(AName);
    if (!b) {
        // the two line commands of the popup menu follow their menu commands
        if (AName == QLatin1String("PuWeiter")) return Erlaubt(QStringLiteral("MenuAktWeiter"));
        if (AName == QLatin1String("PuZurueck")) return Erlaubt(QStringLiteral("MenuAktZurueck"));
        return true;
    }
    return !b->Erlaubt || b->Erlaubt(*this);
}

bool TForm1::SpracheMoeglich() const {
    return SpracheBereit() && !Memo2->ReadOnly();
}

// Why a speech command cannot say AText now.
QString TForm1::SprachGrund(const QString& AText, const QString& ALeer) const {
    if (Einstellungen->Sapi == sapiAus) return QStringLiteral("Die Sprachausgabe ist ausgeschaltet.");
    if (Speech->TokenNrIndex().Nr < 0 || Einstellungen->Stimme.isEmpty())
        return QStringLiteral("Es ist keine Stimme gewählt.");
    if (Memo2->ReadOnly()) return KeineZeile;
    return AText.isEmpty() ? ALeer : QString();
}

void TForm1::ErgebnisAnsagenUmschalten() {
    Einstellungen->ErgebnisAnsagenS = !Einstellungen->ErgebnisAnsagenS;
    RegistryLadenSpeichern(false);
    Hinweis(Einstellungen->ErgebnisAnsagenS ? QStringLiteral("Ergebnis ansagen: ein.")
                                            : QStringLiteral("Ergebnis ansagen: aus."));
}

bool TForm1::AudiotextVorhanden() const {
    const std::optional<TDateiRec> paar = AktuellesPaar();
    return Einstellungen->Mp3TextS && paar && !paar->Mp3Filename.isEmpty() &&
           QFile::exists(paar->Mp3Filename);
}

int TForm1::UpdateModus() const {
    return Updater ? int(Updater->CheckMode()) : -1;
}

// A help text is read inside the trainer, in the reader the protocol uses,
// so that the user never has to find the way back from another program.
void TForm1::HilfeTextOeffnen(const QString& ADatei, const QString& ATitel) {
    QString text;
    try {
        text = ReadTextFile(ProgrammOrdner + ADatei);
    } catch (const ETextFileError&) {
        FehlerMeldung(QStringLiteral("Die Datei \"%1\" konnte nicht gelesen werden.")
                          .arg(QDir::toNativeSeparators(ProgrammOrdner + ADatei)));
        return;
    }
    Lesen(text.split(QRegularExpression(QStringLiteral("\r\n|\r|\n"))), ATitel);
}

// An address or folder with the desktop's program for it, or a message why not.
void TForm1::Oeffnen(const QString& AZiel) {
    if (!FDienste.Services.Shell->Open(this, AZiel))
        FehlerMeldung(QStringLiteral("\"%1\" konnte nicht geöffnet werden. Auf diesem Rechner ist kein "
                                     "Programm dafür eingerichtet.")
                          .arg(AZiel));
}

// A menu's rows as the user meets them: the rules are asked afresh. The
// actions show a refused rule only while their menu is open, so that outside
// the menu every key reaches the command, which then asks the rule itself.
void TForm1::MenueAuffrischen(const QMenu* AMenu) {
    const bool offenS = AMenu->isVisible();
    for (const TBefehl& b : Befehle()) {
        if (AMenu->objectName() != QLatin1String(b.Menue)) continue;
        QAction* a = Aktion(QLatin1String(b.Name));
        const bool erlaubtS = Erlaubt(QLatin1String(b.Name));
        a->setEnabled(erlaubtS || !offenS);
        if (b.Gewaehlt) a->setChecked(b.Gewaehlt(*this));
        if (b.Art == TBefehl::NurErlaubtSichtbar) a->setVisible(erlaubtS);
    }
}

void TForm1::MenueAufbauen() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    QHash<QString, QMenu*> menues;
    auto menue = [&](const char* AName) {
        const QString name = QLatin1String(AName);
        if (QMenu* m = menues.value(name)) return m;
        const auto& z = *std::find_if(Menues().begin(), Menues().end(),
                                      [&](const TMenueZeile& m) { return name == QLatin1String(m.Name); });
        QMenu* m = z.Ober ? menues.value(QLatin1String(z.Ober))->addMenu(QString::fromUtf8(z.Caption))
                          : bar->addMenu(QString::fromUtf8(z.Caption));
        m->setObjectName(name);
        connect(m, &QMenu::aboutToShow, this, [this, m] { MenueAuffrischen(m); });
        connect(m, &QMenu::aboutToHide, this, [m] {
            for (QAction* x : m->actions())
                if (!x->isSeparator()) x->setEnabled(true);
        });
        menues.insert(name, m);
        return m;
    };
    QHash<QMenu*, QActionGroup*> gruppen;
    for (const TBefehl& b : Befehle()) {
        QMenu* m = menue(b.Menue);
        if (b.TrennerDavor) m->addSeparator();
        const QString name = QLatin1String(b.Name);
        const QKeySequence key(b.Taste);
        const QString keyText = TastenText(key);
        const QString caption = QString::fromUtf8(b.Caption);
        auto* a = new QAction(this);
        a->setObjectName(name);
        a->setText(keyText.isEmpty() ? caption : caption + QLatin1Char('\t') + keyText);
        a->setData(keyText);
        if (!key.isEmpty()) {
            a->setShortcut(key);
            a->setShortcutContext(Qt::WindowShortcut);
        }
        a->setCheckable(b.Art == TBefehl::Haken || b.Art == TBefehl::Auswahl);
        // One group, so that a screen reader announces them as radio items.
        if (b.Art == TBefehl::Auswahl) {
            if (!gruppen.contains(m)) gruppen.insert(m, new QActionGroup(m));
            gruppen.value(m)->addAction(a);
        }
        const TBefehl* befehl = &b;
        connect(a, &QAction::triggered, this, [this, befehl, m] { Ausfuehren(*befehl, m); });
        m->addAction(a);
        addAction(a); // the key works while the menu is closed
        FAktionen.insert(name, a);
    }
    KontextmenueAufbauen();
}

// A command from its menu or its key: run when its rule allows it, else the
// user hears why not (or a beep); then its menu shows the new state.
void TForm1::Ausfuehren(const TBefehl& ABefehl, QMenu* AMenu) {
    if (!Erlaubt(QLatin1String(ABefehl.Name))) {
        const QString grund = ABefehl.Warum ? ABefehl.Warum(*this) : QString();
        if (!ABefehl.Warum)
            Beep();
        else if (!grund.isEmpty())
            Hinweis(grund);
        return;
    }
    const QPointer<QMenu> menue(AMenu);
    ABefehl.Ausfuehren(*this);
    if (menue) MenueAuffrischen(menue);
}

// The popup menu of both panes: the two line commands, and four hidden items
// that exist for their keys only (clipboard use is blocked).
void TForm1::KontextmenueAufbauen() {
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
    // The two line commands, as in the menu Aktionen.
    QList<std::pair<QAction*, QString>> zeilenBefehle;
    for (auto [pu, name, tag] :
         {std::tuple{"PuWeiter", "MenuAktWeiter", 1}, std::tuple{"PuZurueck", "MenuAktZurueck", 2}}) {
        auto* a = PopupMenu1->addAction(QString());
        a->setObjectName(QLatin1String(pu));
        connect(a, &QAction::triggered, this, [this, tag] { MenuAktWeiterZurueck(tag); });
        FAktionen.insert(QLatin1String(pu), a);
        zeilenBefehle << std::pair{a, QLatin1String(name)};
    }
    connect(PopupMenu1, &QMenu::aboutToShow, this, [this, zeilenBefehle] {
        Ansagen(QStringLiteral("Kontextmenü"));
        for (const auto& [pu, name] : zeilenBefehle) {
            pu->setText(Aktion(name)->text());
            pu->setEnabled(Erlaubt(name));
        }
    });
    Memo1->SetPopupMenu(PopupMenu1);
    Memo2->SetPopupMenu(PopupMenu1);
}
void TForm1::SetKategorieTitel(const QString& AValue) {
    FKategorietitel = AValue.isEmpty() ? QStringLiteral("(KeinBereich)") : AValue;
    const QString caption = QStringLiteral("%1 - %2").arg(FKategorietitel, ProgrammTitel);
    setWindowTitle(caption);
    // The placeholder is for the eye; the screen reader hears what it means.
    setAccessibleName(AValue.isEmpty() ? QStringLiteral("kein Bereich gewählt - %1").arg(ProgrammTitel)
                                       : QString());
    QGuiApplication::setApplicationDisplayName(QString());
    // A second start looks for this window by its caption.
    PublishWindowCaption(caption);
}

void TForm1::SetDatenTitel(const QString& AValue) {
    Lbl1Datentitel->setText(AValue.isEmpty() ? QStringLiteral("(KeinTitel)") : AValue);
    Lbl1Datentitel->setAccessibleName(AValue.isEmpty() ? QStringLiteral("keine Datei gewählt") : QString());
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
    if (Erlaubt(QStringLiteral("MenuAktDatei")))
        MenuAktDateiClick();
    else
        MenuAktBereichClick();
}

void TForm1::MenuDateiCloseClick() {
    if (AktivNr() != -1) {
        if (!Frage(QStringLiteral("Soll das Training abgebrochen und der Bereich geschlossen werden?")))
            return;
        LaufAbbrechen();
    }
    QWidget* fokus = QApplication::focusWidget();
    CloseS = true;
    PlayerStop();
    Protokoll.Clear();
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
    if (ATag == 1) {
        Timer1SprechenText->stop();
        FVorDerZeile.clear();
    }
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
    if (DesktopLinkVorhanden()) {
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
        FFontColor = TColorAusSchriftFarbe(schriftFarbe, FFontColor, palette());
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

void TForm1::MenuAktTastenErkundenClick() {
    FErkundenS = true;
    FErkundenEscS = false;
    Hinweis(QStringLiteral("Tasten erkunden. Jede Taste wird mit ihrem Finger angesagt und nicht getippt. "
                           "Zweimal Escape beendet."));
}

bool TForm1::TasteErkunden(const QKeyEvent* ATaste) {
    if (ATaste->isAutoRepeat()) return true;
    if (ATaste->key() == Qt::Key_Escape) {
        if (FErkundenEscS) {
            FErkundenS = false;
            Hinweis(QStringLiteral("Tasten erkunden beendet."));
            return true;
        }
        FErkundenEscS = true;
        Hinweis(QStringLiteral("Escape. Noch einmal Escape beendet das Erkunden."));
        return true;
    }
    FErkundenEscS = false;
    const QString text = ATaste->text();
    const bool zeichenS = text.size() == 1 && text.at(0).isPrint() && ATaste->key() != Qt::Key_Space;
    QString name =
        zeichenS ? Vorlage->Buchstabiert(text) : TastenName(ATaste->key(), ATaste->nativeScanCode());
    if (name.isEmpty()) name = QStringLiteral("unbekannte Taste");
    const QString finger =
        TastenFinger(zeichenS ? text.at(0) : QChar(), ATaste->key(), ATaste->nativeScanCode());
    Hinweis(finger.isEmpty() ? name : name + QStringLiteral(": ") + finger);
    return true;
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
}

// Hands over to the external updater, which reads this file from its working
// folder and takes the program's path from its third line. The file lies in
// the user's own runtime folder, where no one else can put or read it.
void TForm1::MenuHilfeUpdateClick() {
    const QString ordner = InstanceRuntimeFolder();
    const QString temp = ordner.isEmpty() ? QString() : ordner + QLatin1Char('/');
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
                                          ordner);
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
