#include "FertigDlgC.h"

#include "Services.h"
#include "SystemServices.h"
#include "TextPane.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QShowEvent>
#include <QTextDocument>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace {

// Distance of the report from the dialog's edges and from the buttons.
constexpr int Rand = 10;

// The dialog is on the screen and the screen reader has started on it before
// the sound comes (ms).
constexpr int SoundVerzoegerung = 5;

// Orca names the window and the report when the dialog becomes active; the
// summary follows that instead of being cut off by it (ms).
constexpr int AnsageVerzoegerung = 700;

} // namespace

QString FertigAnsage(int AZeilen, int AFehler) {
    const QString zeilen =
        AZeilen == 1 ? QStringLiteral("1 Zeile") : QStringLiteral("%1 Zeilen").arg(AZeilen);
    const QString fehler = AFehler == 0   ? QStringLiteral("keine Fehleingaben")
                           : AFehler == 1 ? QStringLiteral("1 Fehleingabe")
                                          : QStringLiteral("%1 Fehleingaben").arg(AFehler);
    return QStringLiteral("Das Training ist abgeschlossen. %1, %2.").arg(zeilen, fehler);
}

TFertigDlg::TFertigDlg(QWidget* AOwner, const TDialogAussehen& AAussehen, IAudioPlayer* APlayer)
    : QDialog(AOwner), FAussehen(AAussehen), FPlayer(APlayer) {
    FRichEdit1 = new TTextPane(this);
    FRichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    FRichEdit1->SetReadOnly(true);
    FRichEdit1->OnKeyPress = [this](TTextPane*, QChar& AKey) { RichEdit1KeyPress(AKey); };

    FBtn1Weiter = new QPushButton(this);
    FBtn1Weiter->setObjectName(QStringLiteral("Btn1Weiter"));
    FBtn1Weiter->setDefault(true);
    FBtn2Wiederholen = new QPushButton(this);
    FBtn2Wiederholen->setObjectName(QStringLiteral("Btn2Wiederholen"));
    FBtn3Abbrechen = new QPushButton(this);
    FBtn3Abbrechen->setObjectName(QStringLiteral("Btn3Abbrechen"));
    setTabOrder(FRichEdit1, FBtn1Weiter);
    setTabOrder(FBtn1Weiter, FBtn2Wiederholen);
    setTabOrder(FBtn2Wiederholen, FBtn3Abbrechen);
    connect(FBtn1Weiter, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(FBtn2Wiederholen, &QPushButton::clicked, this, [this] { done(mrRetry); });
    connect(FBtn3Abbrechen, &QPushButton::clicked, this, [this] { done(mrCancel); });

    FPuMenu1 = new QMenu(this);
    FPuMenu1->setObjectName(QStringLiteral("PuMenu1"));
    FPuKopieren = FPuMenu1->addAction(QStringLiteral("Text &kopieren"));
    FPuKopieren->setObjectName(QStringLiteral("PuKopieren"));
    connect(FPuKopieren, &QAction::triggered, this, &TFertigDlg::PuKopierenClick);
    connect(FPuMenu1, &QMenu::aboutToShow, this, &TFertigDlg::PuMenu1Popup);
    FRichEdit1->SetPopupMenu(FPuMenu1);

    // The choices' keys while the focus is in the report. Qt gives an action
    // that is hidden no shortcut, so these stay out of the menu instead and
    // live on the pane alone.
    auto taste = [this](const char* AName, const QString& ACaption, const QKeySequence& AKey,
                        void (TFertigDlg::*AClick)()) {
        auto* a = new QAction(ACaption, FRichEdit1);
        a->setObjectName(QLatin1String(AName));
        a->setShortcut(AKey);
        a->setShortcutContext(Qt::WidgetWithChildrenShortcut);
        connect(a, &QAction::triggered, this, AClick);
        FRichEdit1->addAction(a);
        return a;
    };
    FPuWeiter1 = taste("PuWeiter1", QStringLiteral("Weiter"), QKeySequence(Qt::CTRL | Qt::Key_W),
                       &TFertigDlg::PuWeiter1Click);
    FPuWeiter2 = taste("PuWeiter2", QStringLiteral("Weiter"), QKeySequence(Qt::Key_Return),
                       &TFertigDlg::PuWeiter1Click);
    FPuWiederholen = taste("PuWiederholen", QStringLiteral("Wiederholen"), QKeySequence(Qt::CTRL | Qt::Key_R),
                           &TFertigDlg::PuWiederholenClick);
    FPuClose = taste("PuClose", QStringLiteral("Schließen"), QKeySequence(Qt::CTRL | Qt::Key_F4),
                     &TFertigDlg::PuCloseClick);

    FSoundTimer = new QTimer(this);
    FSoundTimer->setSingleShot(true);
    FSoundTimer->setInterval(SoundVerzoegerung);
    connect(FSoundTimer, &QTimer::timeout, this, [this] {
        if (isVisible()) Play();
    });

    FAnsageTimer = new QTimer(this);
    FAnsageTimer->setSingleShot(true);
    FAnsageTimer->setInterval(AnsageVerzoegerung);
    connect(FAnsageTimer, &QTimer::timeout, this, &TFertigDlg::AnsageTimer);

    CaptionZuweisen();
}

TFertigDlg::~TFertigDlg() {
    // The sound belongs to this dialog, as its player would: it ends with it.
    if (FSpieltS && FPlayer && FPlayer->IsPlaying()) FPlayer->Stop();
}

void TFertigDlg::CaptionZuweisen() {
    const QString leser = Titel.isEmpty() ? QStringLiteral("Protokoll lesen") : Titel;
    setWindowTitle(FertigS ? QStringLiteral("Das Training ist abgeschlossen") : leser);
    FRichEdit1->setAccessibleName(FertigS           ? QStringLiteral("Ergebnis")
                                  : Titel.isEmpty() ? QStringLiteral("Protokoll")
                                                    : Titel);
    const std::pair<QPushButton*, QString> knoepfe[] = {{FBtn1Weiter, QStringLiteral("&Weiter")},
                                                        {FBtn2Wiederholen, QStringLiteral("Wiede&rholen")},
                                                        {FBtn3Abbrechen, QStringLiteral("S&chließen")}};
    for (const auto& [knopf, caption] : knoepfe) {
        knopf->setText(caption);
        knopf->setAccessibleName(RemoveAmpersands(caption));
    }
}

void TFertigDlg::SchriftartZuweisen() {
    ApplyTrainingFont(this, FAussehen);
    SchalterEinrichten();
}

void TFertigDlg::SchalterEinrichten() {
    FBtn1Weiter->setVisible(FertigS && !EndeS);
    FBtn2Wiederholen->setVisible(FertigS);
    FBtn3Abbrechen->setVisible(true);
    // All three take the size of the longest caption, shown or not, so that
    // the row looks the same whichever buttons it holds.
    const QSize knopf = LayoutButtons({FBtn1Weiter, FBtn2Wiederholen, FBtn3Abbrechen});
    const int bw = knopf.width();
    int w = width();
    int h = height();
    if (const QWidget* ref = DialogBezugsfenster(this)) {
        w = static_cast<int>(ref->width() * 95 / 100.0);
        h = static_cast<int>(ref->height() * (FertigS ? 70 : 95) / 100.0);
    }
    setFixedSize(w, h);
    const int paneHoehe = h - knopf.height() - 3 * Rand;
    FRichEdit1->setGeometry(Rand, Rand, std::max(0, w - 2 * Rand), std::max(0, paneHoehe));
    const int top = Rand + paneHoehe + Rand;
    if (FertigS && !EndeS) {
        const int g = (w - 3 * bw) / 4;
        FBtn1Weiter->move(g, top);
        FBtn2Wiederholen->move(2 * g + bw, top);
        FBtn3Abbrechen->move(3 * g + 2 * bw, top);
    } else if (FertigS) {
        const int g = (w - 2 * bw) / 3;
        FBtn2Wiederholen->move(g, top);
        FBtn3Abbrechen->move(2 * g + bw, top);
    } else {
        FBtn3Abbrechen->move((w - bw) / 2, top);
    }
    FensterEinrichten();
}

void TFertigDlg::FensterEinrichten() {
    DialogZentrieren(this);
}

void TFertigDlg::Play() {
    if (!SoundS || !FertigS || !FPlayer) return;
    // A missing sound is no error worth a message: the dialog stays silent.
    if (SoundDatei.isEmpty() || !QFileInfo(SoundDatei).isFile()) return;
    FSpieltS = FPlayer->Play(SoundDatei, false);
}

void TFertigDlg::RichEdit1KeyPress(QChar& AKey) {
    switch (AKey.unicode()) {
    case 13:
        // Only going on may be chosen by Enter; without a next file the user
        // closes on purpose.
        if (FBtn1Weiter->isVisibleTo(this)) FBtn1Weiter->click();
        AKey = QChar();
        return;
    case 27:
        FBtn3Abbrechen->click();
        AKey = QChar();
        return;
    default:
        break;
    }
    // Typing never reaches the report. Ctrl with a letter (select all, copy)
    // and Tab keep their keys.
    if (AKey.unicode() >= 32 || AKey.unicode() == 8) AKey = QChar();
}

void TFertigDlg::PuKopierenClick() {
    // The whole report goes to the clipboard straight from the document, so
    // that the user's selection and caret never move and a screen reader has
    // nothing to announce.
    auto* daten = new QMimeData;
    daten->setText(FRichEdit1->Text());
    daten->setHtml(FRichEdit1->document()->toHtml());
    QGuiApplication::clipboard()->setMimeData(daten); // the clipboard owns it
}

void TFertigDlg::PuMenu1Popup() {
    FPuKopieren->setEnabled(FRichEdit1->TextLength() > 0);
    const bool weiterS = FBtn1Weiter->isVisibleTo(this);
    FPuWeiter1->setEnabled(weiterS);
    FPuWeiter2->setEnabled(weiterS);
    FPuWiederholen->setEnabled(FBtn2Wiederholen->isVisibleTo(this));
}

void TFertigDlg::PuWeiter1Click() {
    if (FBtn1Weiter->isVisibleTo(this)) FBtn1Weiter->click();
}

void TFertigDlg::PuWiederholenClick() {
    if (FBtn2Wiederholen->isVisibleTo(this)) FBtn2Wiederholen->click();
}

void TFertigDlg::PuCloseClick() {
    FBtn3Abbrechen->click();
}

void TFertigDlg::reject() {
    done(mrCancel);
}

bool TFertigDlg::event(QEvent* AEvent) {
    // The screen reader turns to the dialog only once it is active; the
    // summary waits for that.
    if (AEvent->type() == QEvent::WindowActivate && FAnsageOffenS) FAnsageTimer->start();
    return QDialog::event(AEvent);
}

void TFertigDlg::AnsageTimer() {
    // Not active yet: the activation starts the timer again.
    if (!FAnsageOffenS || !isVisible() || !isActiveWindow()) return;
    FAnsageOffenS = false;
    Sprechen(Ansage);
}

void TFertigDlg::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    // A window restored from the task bar is shown again by the window
    // system; that is no new report.
    if (!AEvent->spontaneous()) FormShow();
}

void TFertigDlg::FormShow() {
    CaptionZuweisen();
    SchriftartZuweisen();
    // The hidden items' keys follow the buttons from the start, not only once
    // the menu has been opened.
    PuMenu1Popup();
    // A screen reader starts reading at the top of the report.
    FRichEdit1->setFocus(Qt::OtherFocusReason);
    FRichEdit1->SetSelStart(0);
    FSoundTimer->start();
    FAnsageOffenS = !Ansage.isEmpty() && Sprechen;
    if (FAnsageOffenS) FAnsageTimer->start();
}
