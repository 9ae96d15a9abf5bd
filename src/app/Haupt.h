#pragma once
// The main window: owner of the training objects, the run controller, the
// typing check, the commands and the status line.

#include "DatenC.h"
#include "LaufStatistikC.h"
#include "ProtokollC.h"
#include "ResConst.h"
#include "Services.h"
#include "Speech.h"
#include "VerlaufC.h"

#include <QElapsedTimer>
#include <QFont>
#include <QMainWindow>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <atomic>
#include <memory>
#include <optional>
#include <span>
#include <thread>

class QLabel;
class QMenu;
class QAction;
class TTextPane;
class TKat;
class TDaten;
class TVorlage;
class TRememberFiles;
struct TEinstellungen;
struct TGespeicherteWerte;
struct TDateiRec;
class IFertigDialog;
class IAuswahlDialog;
class IOptionenDialog;
class ISchriftDialog;
class TUpdater;
class QKeyEvent;
class TForm1;

// One command of the menus: where it stands, its key, what it does and when it
// is allowed. The menus, the key hints and the key list's test are built from
// the one table TForm1::Befehle().
struct TBefehl {
    enum TArt {
        Normal,
        Haken,             // checkable, checked as Gewaehlt says
        Auswahl,           // one of the menu's radio items
        NurErlaubtSichtbar // hidden while its rule refuses it
    };
    const char* Menue; // object name of its menu
    const char* Name;  // object name of the action
    const char* Caption;
    int Taste; // QKeyCombination::toCombined(), 0 for none
    void (*Ausfuehren)(TForm1&);
    bool (*Erlaubt)(const TForm1&) = nullptr; // null: always allowed
    TArt Art = Normal;
    bool (*Gewaehlt)(const TForm1&) = nullptr;
    bool TrennerDavor = false; // a separator above it
    // Said when the rule refuses the command; null: a beep, an empty text:
    // nothing.
    QString (*Warum)(const TForm1&) = nullptr;
};

struct TMenueZeile {
    const char* Name;
    const char* Caption;
    const char* Ober; // the menu it is a submenu of; null: the menu bar
};

// Where the main window's collaborators come from; tests pass doubles.
struct THauptDienste {
    TServices Services;
    TSpeechPlatform Sprache;           // empty: the real screen reader and voices
    IFertigDialog* Fertig = nullptr;   // null: the real finish dialog
    IAuswahlDialog* Auswahl = nullptr; // null: the real chooser
    IOptionenDialog* Optionen = nullptr;
    ISchriftDialog* Schrift = nullptr;
    QString UpdateBaseUrl; // empty: the update address the build names
    QString AbrufProgramm; // empty: the fetch helper beside the program
};

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    explicit TForm1(const THauptDienste& ADienste, QWidget* AParent = nullptr);
    ~TForm1() override;

    // --- start-up and shut-down
    // Reads the areas and remembered positions on a thread; the constructor
    // starts it, a later call reads them afresh.
    void LoadKatThread();
    bool LoadKatThreadRunning() const { return FLoadKatThreadHandle.load(); }
    void WaitForLoadKatThread(); // processes events until the thread is done
    void SchriftartZuweisen();
    void SchalterEinrichten();
    void FensterEinrichten();
    void CaptionZuweisen();
    void SetActiveControl();
    void RegistryLadenSpeichern(bool LadenS);
    bool StartUpdater();
    void AufDemSchirmWarten();
    // The session ends (a termination signal, the display gone): the close
    // without its question, keeping what a close keeps.
    void SitzungBeenden();
    // The session manager asks for the data (a logout that may still be
    // cancelled): the settings and the remembered line are saved.
    void DatenSichern();

    void FormShowPhase2();
    // Every modal dialog of the program runs between these two.
    void ApplicationEvents1ModalBegin();
    void ApplicationEvents1ModalEnd();
    // The modal bracket for as long as it lives: around every dialog, message
    // box and long load, so that no path can leave it open.
    class TModalKlammer {
    public:
        explicit TModalKlammer(TForm1* AForm) : FForm(AForm) { FForm->ApplicationEvents1ModalBegin(); }
        ~TModalKlammer() { FForm->ApplicationEvents1ModalEnd(); }
        TModalKlammer(const TModalKlammer&) = delete;
        TModalKlammer& operator=(const TModalKlammer&) = delete;

    private:
        TForm1* FForm;
    };
    // AFn's result, with AFn run inside the modal bracket.
    template <typename F> auto Modal(F AFn) {
        const TModalKlammer klammer(this);
        return AFn();
    }

    // --- run controller
    int AktivNr() const;
    void SetAktivNr(int AValue);
    int Fehler() const { return FFehler; }
    void SetFehler(int AValue);
    TModus Modus() const;
    void SetModus(TModus AValue);
    int HintergrundNr() const;
    void SetHintergrundNr(int AValue);
    void SetStimme();
    void Timer1LosTimer();
    void FertigAnzeigen();
    void MenuAktWeiterZurueck(int ATag);
    void MenuAktNeuClick();
    void ProtokollFragen();
    void Timer1SprechenTextTimer();
    void SpeakText(const QString& AText, bool MerkenS = false);

    // --- typing and line check
    void MemosKeyPress(TTextPane* ASender, QChar& AKey);
    void Memo1KeyDown(TTextPane* ASender, int& AKey, Qt::KeyboardModifiers AShift);
    void Memo2KeyDown(TTextPane* ASender, int& AKey, Qt::KeyboardModifiers AShift);
    bool EingabePruefen();
    void NewCaret();

    // --- commands, menus and status line
    void SetKategorieTitel(const QString& AValue);
    void SetDatenTitel(const QString& AValue);
    QString KategorieTitel() const { return FKategorietitel; }
    void MenuAktBereichClick();
    void MenuAktDateiClick();
    void MenuDateiCloseClick();
    void Lbl1DatentitelClick();
    void Timer1StatusTimer();
    void MenuSpracheFunktionen(int ATag);
    void MenuSpracheAudioWiederholenClick();
    void MenuDateiDesktopLinkClick();
    void MenuDateiOptionenClick();
    void MenuAnsSchriftartClick();
    void MenuHilfeInfoClick();
    void MenuAktProtokollLesenClick();
    // The learner's history as a report in the reader.
    void MenuAktFortschrittClick();
    // A drill from the course's words with the user's weakest characters, run like a file.
    void MenuAktSchwacheTastenClick();
    // Until Esc is pressed twice, every key is named with its finger instead of typed.
    void MenuAktTastenErkundenClick();
    bool TasteErkunden(const QKeyEvent* ATaste);
    // One record of the run that ends here (finished or aborted) in the history.
    void VerlaufSchreiben(bool AFertigS);
    // The running line is given up: the protocol's end entry, the history's
    // aborted run and the remembered line.
    void LaufAbbrechen();
    // A run begins: what it counts starts from zero, and one still open is recorded as aborted.
    void LaufBeginnen();
    void MenuDateiProtokollordnerClick();
    void MenuDateiUpdateCheckModeClick(int ATag);
    void MenuHilfeUpdateClick();

    // --- requests of a second start
    void WmUserSetFocus();
    void WmUserClose();
    void ActivateVisibleForms(QWidget* AOwner);

    // --- protocol and sounds
    void ProtokollSchreiben(TProtokollText APt, const QString& AGeschriebenText = QString());
    QString ProtokollFilename() const;
    void Ton(TSound ASoundNr, bool WarteS);
    void PlayMp3(const QString& AFilename, bool WartenS);
    void PlayerStop();

    // The command table and the menus it fills.
    static const std::span<const TBefehl> Befehle();
    static const std::span<const TMenueZeile> Menues();
    static const TBefehl* Befehl(const QString& AName);
    // The menu actions by name ("MenuAktBereich", ...), for key hints and tests.
    QAction* Aktion(const QString& AName) const;
    // Whether the command's rule allows it now.
    bool Erlaubt(const QString& AName) const;

protected:
    void showEvent(QShowEvent* AEvent) override;
    void closeEvent(QCloseEvent* AEvent) override;
    void resizeEvent(QResizeEvent* AEvent) override;
    bool eventFilter(QObject* AObject, QEvent* AEvent) override;

private:
    // The tests look at this state through THauptInnen.
    friend struct THauptInnen;

    TTextPane* Memo1 = nullptr;
    TTextPane* Memo2 = nullptr;
    QLabel* Lbl1Datentitel = nullptr;
    QWidget* StatusBar1 = nullptr;
    QLabel* StatusPanel[4] = {};
    QTimer* Timer0Start = nullptr;
    QTimer* Timer1Los = nullptr;
    QTimer* Timer1SprechenText = nullptr;
    QTimer* Timer1Status = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QFont TrainingFont;      // the font of the font dialog, the one text font
    QColor HintergrundFarbe; // background of the text-bearing controls

    std::unique_ptr<TKat> Kategorie;
    std::unique_ptr<TDaten> Daten;
    std::unique_ptr<TVorlage> Vorlage;
    std::unique_ptr<TRememberFiles> RememberFiles;
    std::unique_ptr<TEinstellungen> Einstellungen;
    std::unique_ptr<TUpdater> Updater;
    std::unique_ptr<TSpeech> Speech;
    TProtokoll Protokoll;
    TLaufStatistik Lauf;              // speed and accuracy of the run
    TZeichenZahlen LaufZeichen;       // its characters typed right and wrong
    QString FLaufBereich, FLaufDatei; // where the run is
    bool FLaufOffenS = false;         // begun and not yet recorded
    QString SprechenText;
    QString GeschriebenText;
    bool CloseS = false;
    bool BeendenS = false;
    QPointer<QWidget> MerkActiveControl;

    void DiensteErgaenzen();
    void GroesseAnwenden(const TGespeicherteWerte& w);
    void LetztenBereichLaden(const TGespeicherteWerte& w);
    void SchriftAnwenden(const TGespeicherteWerte& w);
    void EinstellungenSichern();
    void PanesAnlegen(QWidget* AClient);
    void StatuszeileAnlegen(QWidget* AClient);
    void TimerAnlegen();
    void FormCreate();
    void FormShowPhase1();
    void Timer0StartTimer();
    bool FormCloseQuery();
    void FormClose();
    void FormDestroy();
    void MenueAufbauen();
    void KontextmenueAufbauen();
    void Ausfuehren(const TBefehl& ABefehl, QMenu* AMenu);
    void MenueAuffrischen(const QMenu* AMenu);
    bool SpracheMoeglich() const;
    bool AudiotextVorhanden() const;
    QString SprachGrund(const QString& AText, const QString& ALeer) const;
    int UpdateModus() const;
    void HilfeTextOeffnen(const QString& ADatei, const QString& ATitel);
    void Oeffnen(const QString& AZiel);
    void Lesen(const QStringList& AZeilen, const QString& ATitel);
    void LadeSounds();
    std::optional<TDateiRec> AktuellesPaar() const;
    int PaarAnzahl() const;
    QString AktuelleDatei() const;
    bool ZeileAbschliessen();
    void ZeichenZuruecknehmen(TTextPane* ASender);
    void ZeichenTippen(TTextPane* ASender, QChar AKey);
    void FeststelltastePruefen(QChar AKey);
    void TippenUeberschreiben(QChar AKey);
    void StatusZeile();
    bool Frage(const QString& AText);
    TMsgAntwort FrageJaNeinAbbrechen(const QString& AText);
    void Information(const QString& AText);
    void FehlerMeldung(const QString& AText);
    void Beep();
    // A short hint for the user's ears: the program's voice, else the running
    // screen reader, else a beep.
    void Hinweis(const QString& AText);
    bool SpracheBereit() const;
    // Said before the line that comes up next is spoken, or at once when the
    // line is not spoken by itself.
    void VorDerZeileSagen(const QString& AText);
    QString FVorDerZeile;
    void ErgebnisAnsagenUmschalten();
    // The area and file chooser in the training font and colours; the chosen
    // row, or -1.
    int Waehlen(const QString& ACaption, const QString& AListe, int AAktivNr);
    // Tells the user once that ADatei could not be saved (AMeldung says what
    // it holds); said again only after a save of it has succeeded.
    void SpeicherFehler(const QString& ADatei, const QString& AMeldung);
    void SpeicherErfolg(const QString& ADatei);
    QSet<QString> FSpeicherFehlerGemeldet;

    THauptDienste FDienste;
    // The main window's own screen reader dispatcher: silences the screen
    // reader before the program speaks and when a line is skipped.
    std::unique_ptr<TTolkSRD> FTolk;
    bool FStimmeOffenS = false; // the voice is applied once the start question is up
    int FHintergrundNr = 1;
    QString FKategorietitel;
    int FAktivNr = -1;
    quint64 FZeilenZaehler = 0;       // counts every setting of AktivNr
    quint64 FFeststelltasteZeile = 0; // the line (FZeilenZaehler) on which Caps Lock was last told of
    bool FErkundenS = false;          // the key explorer is on
    bool FErkundenEscS = false;       // its last key was Esc
    // Esc is held down: its key repeats must be used up before a line comes up.
    bool FEscGedruecktS = false;
    qint64 FEscZuletztMs = 0;
    QElapsedTimer FEscUhr;
    void EscLoslassenAbwarten();
    int FFehler = 0;
    std::atomic<bool> FLoadKatThreadHandle{false};
    std::thread FLoadKatThread;
    void LoadKatThread(bool MitSoundsS);
    // Read by the loading thread the constructor starts; ready once it is.
    QByteArray FSnd[TSoundCount];
    std::atomic<bool> FSoundsBereitS{false};
    void SoundsAbwarten();
    static const TBefehl FBefehle[];
    static const TMenueZeile FMenues[];
    QHash<QString, QAction*> FAktionen;
    bool FFirstShowS = true;
    bool FCloseAgreedS = false;
    int FModalTiefe = 0;
    qint32 FFontColor = -16777208; // stored colour of the training font (window text)
    int FFontCharSet = 0;
    // Reads an area's training files on a thread of its own while the window
    // keeps answering; null when the user called it off or the window closed.
    std::unique_ptr<TDaten> BereichLaden(const QString& APath);
    // A short status text for the user's ears: the program's voice, or else
    // the running screen reader (which with AUnterbrechenS stops what it is
    // saying first). True when something said it.
    bool Ansagen(const QString& AText, bool AUnterbrechenS = false);
    void MerkListeGekuerztMelden();
    bool FMerkListeGemeldetS = false;
};

// The key of a command as the menus and the key hints show it, with the
// German key names: "Strg+Rechts", "Umsch+F1", "Esc".
QString TastenText(const QKeySequence& AKey);

// An event sound: the file's content, or a generated tone when AFilename
// cannot be read.
QByteArray SoundLaden(int AFrequenz, int ADauerMs, int AAmplitude, const QString& AFilename);
// The short tone of a key that may do nothing now.
const QByteArray& Piepton();

// The one main window of the process, for the few places that need it.
extern TForm1* Form1;
