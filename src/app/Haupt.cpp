// The main window: creation, layout, first showing and shut-down.

#include "Haupt.h"

#include "DatenC.h"
#include "EinstellungenC.h"
#include "FertigDialog.h"
#include "HintergrundC.h"
#include "KatDlgC.h"
#include "Pfade.h"
#include "RegistrySettings.h"
#include "RememberFilesC.h"
#include "Speech.h"
#include "SystemServices.h"
#include "TextPane.h"
#include "UpdaterC.h"
#include "VorlageC.h"

#include <QAbstractEventDispatcher>
#include <QAccessibleWidget>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QWindow>

TForm1* Form1 = nullptr;

namespace {

// The update check's mode before the user chose one. A distribution package
// is updated by its package manager and checks only on request.
#ifndef TASTARO_UPDATE_MODUS
#define TASTARO_UPDATE_MODUS 0
#endif
constexpr auto StandardUpdateModus = TUpdateCheckMode(TASTARO_UPDATE_MODUS);
// How long after the start question appears the stored voice is applied.
constexpr int StimmeNachFrageMs = 300;
// The longest the start question waits for the main window to be on the screen.
constexpr int FensterWartenMs = 200;
// The four panels sit on a plain widget that the window lays out itself; a
// screen reader's "read the status bar" command needs it to be one.
QAccessibleInterface* StatusleistenZugang(const QString& AKey, QObject* AObject) {
    if (AKey == QLatin1String("QWidget") && AObject && AObject->objectName() == QLatin1String("StatusBar1"))
        return new QAccessibleWidget(static_cast<QWidget*>(AObject), QAccessible::StatusBar);
    return nullptr;
}
} // namespace

TForm1::TForm1(const THauptDienste& ADienste, QWidget* AParent) : QMainWindow(AParent), FDienste(ADienste) {
    DiensteErgaenzen();
    Form1 = this;
    setObjectName(QStringLiteral("Form1"));

    // The areas and the remembered positions are read on their own thread
    // while the window is being built.
    Kategorie = std::make_unique<TKat>();
    RememberFiles = std::make_unique<TRememberFiles>(RememberFilesDatei);
    LoadKatThread(true);

    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("Client"));
    setCentralWidget(client);

    Lbl1Datentitel = new QLabel(client);
    Lbl1Datentitel->setObjectName(QStringLiteral("Lbl1Datentitel"));
    // Its name is its text, the file's title; what it is goes in the description.
    Lbl1Datentitel->setAccessibleDescription(QStringLiteral("Trainingstitel"));
    Lbl1Datentitel->setCursor(Qt::PointingHandCursor);
    Lbl1Datentitel->installEventFilter(this);
    FEscUhr.start();
    qApp->installEventFilter(this);

    PanesAnlegen(client);
    StatuszeileAnlegen(client);
    TimerAnlegen();
    MenueAufbauen();
    FormCreate();
}

// The services and dialogs the caller left out are the real ones.
void TForm1::DiensteErgaenzen() {
    const TServices real = (FDienste.Services.MessageBoxes && FDienste.Services.Sounds &&
                            FDienste.Services.Audio && FDienste.Services.Clock && FDienste.Services.Shell)
                               ? TServices{}
                               : RealServices();
    auto& s = FDienste.Services;
    if (!s.MessageBoxes) s.MessageBoxes = real.MessageBoxes;
    if (!s.Sounds) s.Sounds = real.Sounds;
    if (!s.Audio) s.Audio = real.Audio;
    if (!s.Clock) s.Clock = real.Clock;
    if (!s.Shell) s.Shell = real.Shell;
    if (!FDienste.Fertig) FDienste.Fertig = RealFertigDialog();
    if (!FDienste.Auswahl) FDienste.Auswahl = RealAuswahlDialog();
    if (!FDienste.Optionen) FDienste.Optionen = RealOptionenDialog();
    if (!FDienste.Schrift) FDienste.Schrift = RealSchriftDialog();
}

// The line to type (Memo1) and the typing pane (Memo2); every key of theirs
// comes to the window.
void TForm1::PanesAnlegen(QWidget* AClient) {
    Memo1 = new TTextPane(AClient);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->Tag = 1;
    Memo1->SetReadOnly(true);
    Memo1->setAccessibleName(QStringLiteral("Vorlage"));
    Memo2 = new TTextPane(AClient);
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->Tag = 2;
    Memo2->setAccessibleName(QStringLiteral("Eingabe"));
    Memo2->SetTypingPane(true);
    for (TTextPane* m : {Memo1, Memo2}) {
        m->OnKeyPress = [this](TTextPane* ASender, QChar& AKey) { MemosKeyPress(ASender, AKey); };
        m->OnChange = [this](TTextPane*) { NewCaret(); };
        m->OnEnter = [this](TTextPane*) { NewCaret(); };
        m->OnClick = [this](TTextPane*) { NewCaret(); };
        m->OnMouseDown = [this](TTextPane*, Qt::MouseButton) { NewCaret(); };
    }
    Memo1->OnKeyDown = [this](TTextPane* ASender, int& AKey, Qt::KeyboardModifiers AShift) {
        Memo1KeyDown(ASender, AKey, AShift);
    };
    Memo2->OnKeyDown = [this](TTextPane* ASender, int& AKey, Qt::KeyboardModifiers AShift) {
        Memo2KeyDown(ASender, AKey, AShift);
    };
}

void TForm1::StatuszeileAnlegen(QWidget* AClient) {
    static const bool zugangS = (QAccessible::installFactory(StatusleistenZugang), true);
    Q_UNUSED(zugangS);
    StatusBar1 = new QWidget(AClient);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setAccessibleName(QStringLiteral("Statusleiste"));
    StatusBar1->setAutoFillBackground(true);
    for (int i = 0; i < 4; ++i) {
        StatusPanel[i] = new QLabel(StatusBar1);
        StatusPanel[i]->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        StatusPanel[i]->setAlignment(Qt::AlignCenter);
        StatusPanel[i]->setFrameShape(QFrame::StyledPanel);
        StatusPanel[i]->setAutoFillBackground(true);
    }
}

void TForm1::TimerAnlegen() {
    auto timer = [this](const char* AName, bool ASingleShotS) {
        auto* t = new QTimer(this);
        t->setObjectName(QLatin1String(AName));
        t->setSingleShot(ASingleShotS);
        return t;
    };
    Timer0Start = timer("Timer0Start", true);
    Timer1Los = timer("Timer1Los", true);
    Timer1SprechenText = timer("Timer1SprechenText", true);
    Timer1Status = timer("Timer1Status", true);
    connect(Timer0Start, &QTimer::timeout, this, &TForm1::Timer0StartTimer);
    connect(Timer1Los, &QTimer::timeout, this, &TForm1::Timer1LosTimer);
    connect(Timer1SprechenText, &QTimer::timeout, this, &TForm1::Timer1SprechenTextTimer);
    connect(Timer1Status, &QTimer::timeout, this, &TForm1::Timer1StatusTimer);
}

TForm1::~TForm1() {
    FormDestroy();
    if (Form1 == this) Form1 = nullptr;
}

void TForm1::FormCreate() {
    BeendenS = false;

    // Size limits, reduced to the work area of the window's monitor.
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1200, 900);
    const int minW = std::min(1000, work.width());
    const int minH = std::min(700, work.height());
    setMinimumSize(minW, minH);
    resize(std::max(std::min(1200, work.width()), minW), std::max(std::min(900, work.height()), minH));

    // Only the number of the background colour is kept; its list is a table.
    FHintergrundNr = 1;
    HintergrundFarbe = THintergrundForm::HintergrundFarbeVon(FHintergrundNr);

    TrainingFont = QFont(QStringLiteral("Arial"));
    TrainingFont.setPointSize(12);

    CloseS = false;
    for (QLabel* p : StatusPanel)
        p->clear();

    Daten = std::make_unique<TDaten>(Mp3TexteOrdner);
    Vorlage = std::make_unique<TVorlage>();
    Protokoll.Clear();
    Einstellungen = std::make_unique<TEinstellungen>();
    StandardEinstellungen(*Einstellungen);

    CaptionZuweisen();
    SetKategorieTitel(QString());
    SetDatenTitel(QString());

    FAktivNr = -1;
    SprechenText.clear();
    GeschriebenText.clear();
    SetFehler(0);

    // The check itself starts once the window is on the screen (see
    // Timer0StartTimer): its helper program would compete with the window
    // for the processor.
    Updater = std::make_unique<TUpdater>(this, ProgrammName, QString(), StandardUpdateModus,
                                         FDienste.UpdateBaseUrl);
    Updater->UseRegistryStorage(QStringLiteral("\\Software\\Tastaro"));
    if (!FDienste.AbrufProgramm.isEmpty()) Updater->SetAbrufProgramm(FDienste.AbrufProgramm);

    // Neither connects to a screen reader or speech server yet: that happens
    // when they are first asked, after the window is shown.
    FTolk = std::make_unique<TTolkSRD>(FDienste.Sprache.Treiber);
    FTolk->Load();
    Speech = std::make_unique<TSpeech>(false, FDienste.Sprache);

    // The per-user folders; a failure shows itself later where they are written.
    if (!BenutzerOrdner.isEmpty()) QDir().mkpath(BenutzerOrdner);
    if (!ProtokollOrdner.isEmpty()) QDir().mkpath(ProtokollOrdner);
}

void TForm1::LoadKatThread() {
    LoadKatThread(false);
}

void TForm1::LoadKatThread(bool MitSoundsS) {
    if (FLoadKatThread.joinable()) FLoadKatThread.join();
    FLoadKatThreadHandle = true;
    QAbstractEventDispatcher* wecker = QAbstractEventDispatcher::instance();
    FLoadKatThread = std::thread([this, wecker, MitSoundsS] {
        if (MitSoundsS) {
            LadeSounds();
            FSoundsBereitS.store(true, std::memory_order_release);
        }
        try {
            Kategorie->Load(TrainingstexteOrdner, QStringLiteral("*.kat"));
            RememberFiles->Load();
        } catch (...) {
            // an area list that cannot be read stays empty; the start goes on
        }
        FLoadKatThreadHandle = false;
        // the main thread waits for events rather than in steps
        if (wecker) wecker->wakeUp();
    });
}

void TForm1::WaitForLoadKatThread() {
    while (FLoadKatThreadHandle)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (FLoadKatThread.joinable()) FLoadKatThread.join();
    MerkListeGekuerztMelden();
}

void TForm1::CaptionZuweisen() {
    Memo1->SetText(QString());
    Memo2->SetText(QString());
}

void TForm1::SchriftartZuweisen() {
    for (TTextPane* m : {Memo1, Memo2})
        m->SetPaneFont(TrainingFont, HintergrundFarbe);
    QPalette p = StatusBar1->palette();
    p.setColor(QPalette::Window, HintergrundFarbe);
    StatusBar1->setPalette(p);
    for (QLabel* l : StatusPanel) {
        l->setFont(TrainingFont);
        l->setPalette(p);
    }
    QFont titel = TrainingFont;
    titel.setPointSize(TrainingFont.pointSize() + 1);
    titel.setBold(true);
    titel.setUnderline(true);
    Lbl1Datentitel->setFont(titel);
    Lbl1Datentitel->setAutoFillBackground(true);
    Lbl1Datentitel->setPalette(p);
    SchalterEinrichten();
}

void TForm1::SchalterEinrichten() {
    int h = GetFontTextHeight(TrainingFont);
    if (h <= 0) h = 12;
    QWidget* client = centralWidget();
    const int cw = client->width();
    const int ch = client->height();
    const int statusH = h + 6;

    Lbl1Datentitel->adjustSize();
    Lbl1Datentitel->move((cw - Lbl1Datentitel->width()) / 2, 20);

    const bool nachtippen = Modus() == mNachtippen;
    Memo1->setVisible(nachtippen);
    Memo1->setGeometry(10, Lbl1Datentitel->y() + Lbl1Datentitel->height() + 20, cw - 2 * 10, 4 * statusH);
    const int top2 = nachtippen ? Memo1->y() + Memo1->height() + 20 : Memo1->y();
    Memo2->setGeometry(10, top2, Memo1->width(), Memo1->height());

    StatusBar1->setGeometry(0, ch - statusH, cw, statusH);
    const int w = cw;
    const int w0 = static_cast<int>(w / 100.0 * 15);
    const int w1 = static_cast<int>(w / 100.0 * 14);
    const int w2 = static_cast<int>(w / 100.0 * 22);
    StatusPanel[0]->setGeometry(0, 0, w0, statusH);
    StatusPanel[1]->setGeometry(w0, 0, w1, statusH);
    StatusPanel[2]->setGeometry(w0 + w1, 0, w2, statusH);
    StatusPanel[3]->setGeometry(w0 + w1 + w2, 0, w - w0 - w1 - w2, statusH);
}

void TForm1::FensterEinrichten() {
    const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect work = screen->availableGeometry();
    if (isMaximized()) {
        move(work.topLeft());
        return;
    }
    const QRect frame = frameGeometry();
    move(work.left() + (work.width() - frame.width()) / 2, work.top() + (work.height() - frame.height()) / 2);
}

void TForm1::SetActiveControl() {
    QWidget* w = MerkActiveControl.data();
    if (w && w->isVisible() && w->isEnabled() && w->focusPolicy() != Qt::NoFocus) w->setFocus();
}

int TForm1::HintergrundNr() const {
    return FHintergrundNr;
}

void TForm1::SetHintergrundNr(int AValue) {
    FHintergrundNr = THintergrundForm::GueltigeNr(AValue);
    HintergrundFarbe = THintergrundForm::HintergrundFarbeVon(FHintergrundNr);
    SchriftartZuweisen();
    NewCaret();
}

void TForm1::showEvent(QShowEvent* AEvent) {
    QMainWindow::showEvent(AEvent);
    if (FFirstShowS) {
        FFirstShowS = false;
        FormShowPhase1();
    }
}

void TForm1::FormShowPhase1() {
    SchriftartZuweisen();
    FensterEinrichten();
    SetAktivNr(-1);
    Timer1Los->setInterval(10);
    Timer1SprechenText->setInterval(400);
    Timer0Start->setInterval(5);
    Timer0Start->start();
    Timer1StatusTimer();
    // What building the window and reading the start files freed is given
    // back once the start has settled.
    QTimer::singleShot(1000, this, [] { ReleaseFreedMemory(); });
}

void TForm1::Timer0StartTimer() {
    Timer0Start->stop();
    Updater->CheckForUpdatesAtStartup();
    // Nothing is spoken with the voice while the start question waits (the
    // screen reader reads the question): starting the speech server or the
    // synthesizer now would take the processor from the screen reader just
    // when it is to speak the question. The voice is applied a moment after
    // the question is up, or when it is answered, whichever comes first.
    if (FStimmeOffenS)
        QTimer::singleShot(StimmeNachFrageMs, this, [this] {
            if (FStimmeOffenS) SetStimme();
        });
    if (StartUpdater()) return;
    AufDemSchirmWarten();
    FormShowPhase2();
}

void TForm1::AufDemSchirmWarten() {
    // The start question comes when the window is on the screen, and so
    // painted. Painted after the question, the window's first painting (the
    // largest of the start) kept the program from answering the screen
    // reader's questions about the box and from taking the box's focus, and
    // the screen reader spoke the question later.
    QWindow* fenster = windowHandle();
    QElapsedTimer uhr;
    uhr.start();
    QTimer wecker; // ends each wait, if nothing else does
    wecker.start(10);
    while (fenster && fenster->isVisible() && !fenster->isExposed() && !BeendenS &&
           uhr.elapsed() < FensterWartenMs)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents | QEventLoop::WaitForMoreEvents);
}

bool TForm1::StartUpdater() {
    // The check is bounded, but the window must not freeze meanwhile: it keeps
    // painting and answering the screen reader, and keys wait until the
    // question (or the start dialogue) can take them.
    while (!Updater->WaitFor(10))
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Updater->WaitFor();
    // A close request of a second start may have come in meanwhile.
    if (BeendenS) return true;
    if (Updater->Status() != utUpgrade) return false;
    const QString neu = Updater->NewVersion().ToString();
    if (!Erlaubt(QStringLiteral("MenuHilfeUpdate"))) {
        // No updater beside the program: the package manager updates it. The
        // user hears of each new version once, not at every start.
        if (Updater->Angesagt() == neu) return false;
        Updater->SetAngesagt(neu);
        Updater->SaveSettings();
        Information(QStringLiteral("Version %1 ist verfügbar. Aktualisiere Tastaro über die Paketverwaltung.")
                        .arg(neu));
        return false;
    }
    if (!Frage(QStringLiteral("Es ist ein Update verfügbar!\r\nInstalliert: %1\r\nVerfügbar: %2\r\n\r\n"
                              "Soll Tastaro jetzt aktualisiert werden?")
                   .arg(Updater->CurrentVersion().ToString(), neu)))
        return false;
    MenuHilfeUpdateClick();
    close();
    return true;
}

void TForm1::FormShowPhase2() {
    MerkActiveControl = focusWidget();
    SetActiveControl();
    if (Kategorie->AktivNr() == -1) {
        if (Frage(QStringLiteral("Willst du jetzt einen Trainingsbereich und eine -datei wählen?")))
            MenuAktBereichClick();
    } else if (Daten->AktivNr() != -1) {
        if (Frage(QStringLiteral("Soll das Training sofort gestartet werden?"))) {
            Timer1Los->start();
        } else {
            SetFehler(0);
            SetAktivNr(-1);
        }
    } else {
        if (Frage(QStringLiteral("Willst du jetzt eine Trainingsdatei wählen?"))) MenuAktDateiClick();
    }
    if (Modus() == mNachtippen)
        Memo1->setFocus();
    else
        Memo2->setFocus();
    // The window was shown without the focus (for the start question); the
    // window manager gives it back when the question closes, but it must not
    // stay without it where one does not.
    if (!isActiveWindow() && !QApplication::activeModalWidget()) ForceForegroundWindow(this);
}

void TForm1::resizeEvent(QResizeEvent* AEvent) {
    QMainWindow::resizeEvent(AEvent);
    if (!BeendenS && isVisible() && !isMinimized()) SchalterEinrichten();
}

void TForm1::ApplicationEvents1ModalBegin() {
    if (FModalTiefe++ == 0) {
        PlayerStop();
        Timer1Status->stop();
        Timer1SprechenText->stop();
    }
}

void TForm1::ApplicationEvents1ModalEnd() {
    if (FModalTiefe > 0 && --FModalTiefe == 0) {
        if (FStimmeOffenS) SetStimme();
        if (!CloseS && !BeendenS) Timer1Status->start();
        ReleaseFreedMemory();
    }
}

bool TForm1::Frage(const QString& AText) {
    return Modal([&] { return FDienste.Services.MessageBoxes->Frage(this, AText); });
}

TMsgAntwort TForm1::FrageJaNeinAbbrechen(const QString& AText) {
    return Modal([&] { return FDienste.Services.MessageBoxes->FrageJaNeinAbbrechen(this, AText); });
}

void TForm1::Information(const QString& AText) {
    Modal([&] { FDienste.Services.MessageBoxes->Information(this, AText); });
}

void TForm1::FehlerMeldung(const QString& AText) {
    Modal([&] { FDienste.Services.MessageBoxes->Fehler(this, AText); });
}

int TForm1::Waehlen(const QString& ACaption, const QString& AListe, int AAktivNr) {
    TAuswahlDaten d;
    d.Caption = ACaption;
    d.Liste = AListe.split(QStringLiteral("\r\n"));
    d.ItemIndex = std::max(AAktivNr, 0);
    d.Font = TrainingFont;
    d.Hintergrund = HintergrundFarbe;
    d.SchriftFarbe = Memo2->palette().color(QPalette::Text);
    return Modal([&] { return FDienste.Auswahl->Waehlen(this, d); });
}

// A short tone through the sound player, heard where the desktop keeps the
// system bell silent; with the sounds switched off, the system bell.
void TForm1::Beep() {
    if (!Einstellungen || !Einstellungen->SoundsWiedergebenS) {
        FDienste.Services.Shell->Beep();
        return;
    }
    FDienste.Services.Sounds->Play(Piepton(), false);
}

void TForm1::closeEvent(QCloseEvent* AEvent) {
    if (!FCloseAgreedS) {
        if (!FormCloseQuery()) {
            AEvent->ignore();
            return;
        }
        FCloseAgreedS = true;
        FormClose();
    }
    AEvent->accept();
}

bool TForm1::FormCloseQuery() {
    if (AktivNr() < 0) return true;
    if (!Frage(QStringLiteral("Soll das Training abgebrochen und das Programm geschlossen werden?")))
        return false;
    LaufAbbrechen();
    return true;
}

void TForm1::LaufAbbrechen() {
    if (Einstellungen->ProtokollS) ProtokollSchreiben(ptBeenden);
    VerlaufSchreiben(false);
    if (Daten->AktivNr() != -1) RememberFiles->Add(AktuelleDatei(), AktivNr());
}

void TForm1::SitzungBeenden() {
    if (FCloseAgreedS) return;
    FCloseAgreedS = true;
    if (AktivNr() >= 0) LaufAbbrechen();
    FormClose();
}

void TForm1::DatenSichern() {
    if (FCloseAgreedS) return;
    if (AktivNr() >= 0 && Daten->AktivNr() != -1) RememberFiles->Add(AktuelleDatei(), AktivNr());
    RegistryLadenSpeichern(false);
    RememberFiles->Save();
}

void TForm1::FormClose() {
    BeendenS = true;
    Timer1Status->stop();
    Timer1SprechenText->stop();
    PlayerStop();
    RegistryLadenSpeichern(false);
    if (!RememberFiles->Save() && !RememberFiles->Filename().isEmpty())
        SpeicherFehler(
            RememberFiles->Filename(),
            QStringLiteral("Die gemerkten Zeilen der Trainingsdateien konnten nicht gespeichert werden."));
    // What the user copied stays available after the end: Qt hands the
    // clipboard to the desktop's clipboard manager when the application quits.
}

void TForm1::FormDestroy() {
    if (FLoadKatThread.joinable()) FLoadKatThread.join();
    PlayerStop();
    RememberFiles.reset();
    Protokoll.Clear();
    Vorlage.reset();
    Daten.reset();
    Kategorie.reset();
    for (QByteArray& s : FSnd)
        s.clear();
    Updater.reset(); // waits for a check still under way
    FTolk.reset();
    Speech.reset();
    // The per-user folders go when they are empty; rmdir fails on anything else.
    if (!BenutzerOrdner.isEmpty()) QDir().rmdir(BenutzerOrdner);
    if (!ProtokollOrdner.isEmpty()) QDir().rmdir(ProtokollOrdner);
}

bool TForm1::eventFilter(QObject* AObject, QEvent* AEvent) {
    const QEvent::Type art = AEvent->type();
    if (FErkundenS &&
        (art == QEvent::KeyPress || art == QEvent::ShortcutOverride || art == QEvent::KeyRelease)) {
        // Exploring: no key types, moves or runs a command.
        if (art == QEvent::KeyPress) TasteErkunden(static_cast<const QKeyEvent*>(AEvent));
        AEvent->accept();
        return true;
    }
    if (art == QEvent::KeyPress || art == QEvent::ShortcutOverride || art == QEvent::KeyRelease) {
        // Watched for every window of the program: Esc may be held down
        // while a dialog or any pane has the focus.
        const auto* taste = static_cast<const QKeyEvent*>(AEvent);
        if (taste->key() == Qt::Key_Escape) {
            if (art != QEvent::KeyRelease) {
                FEscGedruecktS = true;
                FEscZuletztMs = FEscUhr.elapsed();
            } else if (!taste->isAutoRepeat()) {
                FEscGedruecktS = false;
            }
        }
    } else if (art == QEvent::ApplicationDeactivate) {
        // Its release would go to another program.
        FEscGedruecktS = false;
    }
    if (AObject == Lbl1Datentitel && AEvent->type() == QEvent::MouseButtonRelease) {
        Lbl1DatentitelClick();
        return true;
    }
    return QMainWindow::eventFilter(AObject, AEvent);
}
