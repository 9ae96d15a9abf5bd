#include "OptionenDlgC.h"

#include "SystemServices.h"
#include "ZahlFeld.h"

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QStyle>
#include <QTimer>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

constexpr int Rand = 10;              // distance from the dialog's edges and between the check boxes
constexpr int Spalte = 20;            // distance between a column of controls and the list beside it
constexpr int LabelAbstand = 5;       // between a number field and its label
constexpr int ErsatzHoehe = 12;       // font height when the font cannot be measured
constexpr int TestVerzoegerung = 100; // ms: a row the user only passes through says nothing

const QString MM = QStringLiteral("MM");

int SchriftHoehe(const QFont& AFont) {
    const int h = GetFontTextHeight(AFont);
    return h > 0 ? h : ErsatzHoehe;
}

bool liegtIn(const QWidget* AWidget, const QWidget* AControl) {
    return AWidget == AControl || AControl->isAncestorOf(AWidget);
}

} // namespace

TOptionenDlg::TOptionenDlg(QWidget* AOwner, const TDialogAussehen& AAussehen,
                           const TSpeechPlatform& APlatform, TTolkSRD* ATolk)
    : QDialog(AOwner), FAussehen(AAussehen), FTolk(ATolk) {
    auto checkBox = [this](const QString& AName) {
        auto* c = new QCheckBox(this);
        c->setObjectName(AName);
        return c;
    };
    FCb1ModusUeberschreiben = checkBox(QStringLiteral("Cb1ModusUeberschreiben"));
    FCb8TextVerschwinden = checkBox(QStringLiteral("Cb8TextVerschwinden"));
    FCb2Korrektur = checkBox(QStringLiteral("Cb2Korrektur"));
    FCb3GrossKlein = checkBox(QStringLiteral("Cb3GrossKlein"));
    FCb4Cursor = checkBox(QStringLiteral("Cb4Cursor"));
    FCb5Protokoll = checkBox(QStringLiteral("Cb5Protokoll"));
    FCb6Mp3Text = checkBox(QStringLiteral("Cb6Mp3Text"));
    FCb7SoundsWiedergeben = checkBox(QStringLiteral("Cb7SoundsWiedergeben"));

    auto liste = [this](const QString& AName) {
        auto* l = new QListWidget(this);
        l->setObjectName(AName);
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        l->setSelectionBehavior(QAbstractItemView::SelectRows);
        l->setEditTriggers(QAbstractItemView::NoEditTriggers);
        EintragBeiFokusMelden(l);
        return l;
    };
    FLv1Sounds = liste(QStringLiteral("Lv1Sounds"));
    for (int i = 0; i < TSoundCount; ++i) {
        auto* zeile = new QListWidgetItem(FLv1Sounds);
        zeile->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        zeile->setCheckState(Qt::Checked);
    }

    FRg1Sapi = new QGroupBox(this);
    FRg1Sapi->setObjectName(QStringLiteral("Rg1Sapi"));
    auto* sapiLayout = new QVBoxLayout(FRg1Sapi);
    FSapiGruppe = new QButtonGroup(this);
    for (int i = 0; i < 3; ++i) {
        FSapiKnoepfe[i] = new QRadioButton(FRg1Sapi);
        sapiLayout->addWidget(FSapiKnoepfe[i]);
        FSapiGruppe->addButton(FSapiKnoepfe[i], i);
    }

    FLv2Stimmen = liste(QStringLiteral("Lv2Stimmen"));

    auto zahlFeld = [this](const QString& AName, int AMin, int AMax, int AStep, QLabel*& ALabel) {
        auto* f = new TZahlFeld(this, TZahlFeld::TArt::Pfeile);
        f->setObjectName(AName);
        f->SetBereich(AMin, AMax);
        f->setSingleStep(AStep);
        f->setContextMenuPolicy(Qt::CustomContextMenu);
        ALabel = new QLabel(this);
        ALabel->setObjectName(AName + QStringLiteral("Label"));
        ALabel->setBuddy(f);
        ALabel->installEventFilter(this);
        return f;
    };
    FLe1Volume = zahlFeld(QStringLiteral("Le1Volume"), 5, 100, 5, FLbl1Volume);
    FLe2Rate = zahlFeld(QStringLiteral("Le2Rate"), -10, 10, 1, FLbl2Rate);

    auto knopf = [this](const QString& AName) {
        auto* b = new QPushButton(this);
        b->setObjectName(AName);
        return b;
    };
    FBtn1Reset = knopf(QStringLiteral("Btn1Reset"));
    FBtn2OK = knopf(QStringLiteral("Btn2OK"));
    FBtn2OK->setDefault(true);
    FBtn3Abbrechen = knopf(QStringLiteral("Btn3Abbrechen"));

    FPopupMenu1 = new QMenu(this);
    FPopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    FPuStimmentest = FPopupMenu1->addAction(QString());
    FPuStimmentest->setObjectName(QStringLiteral("PuStimmentest"));
    FPuStimmentest->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    // The key works wherever the menu is offered: in either number field.
    FPuStimmentest->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    for (TZahlFeld* f : {FLe1Volume, FLe2Rate}) {
        f->addAction(FPuStimmentest);
        connect(f, &QWidget::customContextMenuRequested, this,
                [this, f](const QPoint& APos) { FPopupMenu1->popup(f->mapToGlobal(APos)); });
        f->OnChanging = [this] { UdsChanging(); };
    }

    FTimer1Sprechen = new QTimer(this);
    FTimer1Sprechen->setSingleShot(true);
    FTimer1Speak = new QTimer(this);
    FTimer1Speak->setSingleShot(true);

    connect(FCb1ModusUeberschreiben, &QCheckBox::toggled, this, &TOptionenDlg::TextVerschwindenFreigeben);
    connect(FCb7SoundsWiedergeben, &QCheckBox::toggled, this, &TOptionenDlg::SoundsFreigeben);
    connect(FSapiGruppe, &QButtonGroup::idToggled, this, [this](int, bool AAnS) {
        if (!AAnS) return;
        SapiTabStop();
        SprachFreigeben();
    });
    connect(FLv1Sounds, &QListWidget::itemChanged, this, &TOptionenDlg::SoundUmgeschaltet);
    connect(FLv2Stimmen, &QListWidget::itemSelectionChanged, this, [this] {
        SprachFreigeben();
        Lv2StimmenClick(false);
    });
    connect(FLv2Stimmen, &QListWidget::itemClicked, this, [this] { Lv2StimmenClick(false); });
    connect(FPuStimmentest, &QAction::triggered, this, [this] { Lv2StimmenClick(true); });
    connect(FTimer1Sprechen, &QTimer::timeout, this, &TOptionenDlg::Timer1SprechenTimer);
    connect(FTimer1Speak, &QTimer::timeout, this, &TOptionenDlg::Timer1SpeakTimer);
    connect(FBtn1Reset, &QPushButton::clicked, this, &TOptionenDlg::Btn1ResetClick);
    connect(FBtn2OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBtn3Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    connect(qApp, &QApplication::focusChanged, this, &TOptionenDlg::FokusGewechselt);

    CaptionZuweisen();
    SetTabOrders();
    // Silent until a voice is tried.
    FSpeech = std::make_unique<TSpeech>(false, APlatform);
    FSpeech->StimmenGeaendert = [this] { StimmenNachladen(); };
}

TOptionenDlg::~TOptionenDlg() {
    // The widgets are destroyed after this object's own members; whatever they
    // report on their way out must not reach handlers that use those members.
    disconnect(qApp, nullptr, this, nullptr);
    const QList<QObject*> kinder = findChildren<QObject*>();
    for (QObject* k : kinder)
        k->disconnect(this);
    FTimer1Speak->stop();
    FTimer1Sprechen->stop();
    FSpeech->Stop();
}

void TOptionenDlg::CaptionZuweisen() {
    setWindowTitle(QStringLiteral("Optionen einstellen"));
    const std::pair<QCheckBox*, QString> boxen[] = {
        {FCb1ModusUeberschreiben, QStringLiteral("Vorlage &überschreiben")},
        {FCb8TextVerschwinden, QStringLiteral("&Verstecke Vorlage beim Nachtippen")},
        {FCb2Korrektur, QStringLiteral("K&orrekturmöglichkeit")},
        {FCb3GrossKlein, QStringLiteral("&Groß-/Kleinschreibung beachten")},
        {FCb4Cursor, QStringLiteral("Text&cursor groß")},
        {FCb5Protokoll, QStringLiteral("&Protokollierung")},
        {FCb6Mp3Text, QStringLiteral("Audio&texte wiedergeben")},
        {FCb7SoundsWiedergeben, QStringLiteral("&Sounds wiedergeben")},
    };
    for (const auto& [box, text] : boxen) {
        box->setText(text);
        box->setAccessibleName(RemoveAmpersands(text));
    }
    // The lists' column captions name them for a screen reader.
    FLv1Sounds->setAccessibleName(QStringLiteral("Sounds"));
    for (int i = 0; i < TSoundCount; ++i)
        FLv1Sounds->item(i)->setText(SoundText(static_cast<TSound>(i)));
    FLv2Stimmen->setAccessibleName(QStringLiteral("Stimmen"));
    FRg1Sapi->setTitle(QStringLiteral("Sprach&unterstützung"));
    FRg1Sapi->setAccessibleName(RemoveAmpersands(FRg1Sapi->title()));
    for (int i = 0; i < 3; ++i) {
        FSapiKnoepfe[i]->setText(SapiText(static_cast<TSapi>(i)));
        FSapiKnoepfe[i]->setAccessibleName(FSapiKnoepfe[i]->text());
    }
    FLbl1Volume->setText(
        QString::asprintf("&Lautstärke (%d-%d):", FLe1Volume->minimum(), FLe1Volume->maximum()));
    FLbl2Rate->setText(
        QString::asprintf("G&eschwindigkeit (%d-+%d):", FLe2Rate->minimum(), FLe2Rate->maximum()));
    FLe1Volume->setAccessibleName(RemoveAmpersands(FLbl1Volume->text()));
    FLe2Rate->setAccessibleName(RemoveAmpersands(FLbl2Rate->text()));
    const std::pair<QPushButton*, QString> knoepfe[] = {
        {FBtn1Reset, QStringLiteral("Standa&rd")},
        {FBtn2OK, QStringLiteral("O&K")},
        {FBtn3Abbrechen, QStringLiteral("&Abbrechen")},
    };
    for (const auto& [knopf, text] : knoepfe) {
        knopf->setText(text);
        knopf->setAccessibleName(RemoveAmpersands(text));
    }
    FPuStimmentest->setText(QStringLiteral("&Stimmentest wiedergeben"));
}

void TOptionenDlg::SetTabOrders() {
    const QList<QWidget*> folge = {FCb1ModusUeberschreiben,
                                   FCb8TextVerschwinden,
                                   FCb2Korrektur,
                                   FCb3GrossKlein,
                                   FCb4Cursor,
                                   FCb5Protokoll,
                                   FCb6Mp3Text,
                                   FCb7SoundsWiedergeben,
                                   FLv1Sounds,
                                   FSapiKnoepfe[0],
                                   FSapiKnoepfe[1],
                                   FSapiKnoepfe[2],
                                   FLv2Stimmen,
                                   FLe1Volume,
                                   FLe2Rate,
                                   FBtn1Reset,
                                   FBtn2OK,
                                   FBtn3Abbrechen};
    for (qsizetype i = 1; i < folge.size(); ++i)
        setTabOrder(folge.at(i - 1), folge.at(i));
}

void TOptionenDlg::StimmenEinlesen() {
    FStimmenSl = FSpeech->Tokens();
    FLv2Stimmen->clear();
    FLv2Stimmen->addItems(FStimmenSl);
}

void TOptionenDlg::StimmenNachladen() {
    // Changing a list the screen reader is not looking at would only make it
    // busy: the voices are taken in when the list gets the focus.
    if (!FLv2Stimmen->hasFocus()) {
        FStimmenAusstehendS = true;
        return;
    }
    FStimmenAusstehendS = false;
    const QStringList neu = FSpeech->Tokens();
    // Taking the voices in is no choice of the user's: no voice test, no
    // announcement. They are inserted where they belong, so that the entries
    // already there, the chosen one among them, stay as they are for the
    // screen reader; only a list that lost entries is filled anew.
    const QSignalBlocker sperre(FLv2Stimmen);
    for (int i = 0; i < neu.size(); ++i)
        if (i >= FLv2Stimmen->count() || FLv2Stimmen->item(i)->text() != neu.at(i))
            FLv2Stimmen->insertItem(i, neu.at(i));
    bool gleichS = FLv2Stimmen->count() == neu.size();
    for (int i = 0; gleichS && i < neu.size(); ++i)
        gleichS = FLv2Stimmen->item(i)->text() == neu.at(i);
    if (!gleichS) {
        const int alt = StimmenZeile();
        const QString gewaehlt = alt >= 0 ? FLv2Stimmen->item(alt)->text() : QString();
        FLv2Stimmen->clear();
        FLv2Stimmen->addItems(neu);
        if (const int zeile = static_cast<int>(neu.indexOf(gewaehlt)); alt >= 0 && zeile >= 0)
            FLv2Stimmen->setCurrentRow(zeile);
    }
    FStimmenSl = neu;
    if (StimmenZeile() >= 0) return;
    // The stored voice came with the server's list: it is the chosen one.
    for (int i = 0; i < neu.size(); ++i)
        if (neu.at(i).compare(FStimmeGespeichert, Qt::CaseInsensitive) == 0) {
            FLv2Stimmen->setCurrentRow(i);
            FLv2Stimmen->scrollToItem(FLv2Stimmen->item(i));
            return;
        }
}

void TOptionenDlg::SetEinstellungen(const TEinstellungen& AEinstellungen) {
    FStimmeGespeichert = AEinstellungen.Stimme;
    StimmenEinlesen();
    FCb1ModusUeberschreiben->setChecked(AEinstellungen.Modus == mUeberschreiben);
    FCb8TextVerschwinden->setChecked(AEinstellungen.TextVerschwindenS);
    FCb2Korrektur->setChecked(AEinstellungen.KorrekturS);
    FCb3GrossKlein->setChecked(AEinstellungen.GrossKleinS);
    FCb4Cursor->setChecked(AEinstellungen.BigCursorS);
    FCb5Protokoll->setChecked(AEinstellungen.ProtokollS);
    FCb6Mp3Text->setChecked(AEinstellungen.Mp3TextS);
    FCb7SoundsWiedergeben->setChecked(AEinstellungen.SoundsWiedergebenS);
    const int sapi =
        AEinstellungen.Sapi >= sapiEin && AEinstellungen.Sapi <= sapiAus ? AEinstellungen.Sapi : sapiAus;
    FSapiKnoepfe[sapi]->setChecked(true);
    SapiTabStop();
    for (int i = 0; i < TSoundCount; ++i)
        FLv1Sounds->item(i)->setCheckState(
            AEinstellungen.SoundsArr[static_cast<std::size_t>(i)] ? Qt::Checked : Qt::Unchecked);
    FLe1Volume->setValue(AEinstellungen.VoiceVolume);
    FLe2Rate->setValue(AEinstellungen.VoiceRate);

    int zeile = -1;
    // Settings carried over from Windows name the screen reader by its old name.
    if (AEinstellungen.Stimme.compare(ScreenReaderStimmeAlt, Qt::CaseInsensitive) == 0 &&
        FStimmenSl.value(0) == ScreenReaderStimme)
        zeile = 0;
    for (qsizetype i = 0; zeile < 0 && i < FStimmenSl.size(); ++i)
        if (FStimmenSl.at(i).compare(AEinstellungen.Stimme, Qt::CaseInsensitive) == 0)
            zeile = static_cast<int>(i);
    if (zeile >= 0) {
        FLv2Stimmen->setCurrentRow(zeile);
        FLv2Stimmen->scrollToItem(FLv2Stimmen->item(zeile));
    } else {
        FLv2Stimmen->setCurrentRow(-1);
        FLv2Stimmen->clearSelection();
    }
    SoundsFreigeben();
    TextVerschwindenFreigeben();
    SprachFreigeben();
}

TEinstellungen TOptionenDlg::GetEinstellungen() const {
    TEinstellungen e;
    e.Modus = FCb1ModusUeberschreiben->isChecked() ? mUeberschreiben : mNachtippen;
    // Kept even while disabled: it applies again once the mode changes back.
    e.TextVerschwindenS = FCb8TextVerschwinden->isChecked();
    e.SoundsWiedergebenS = FCb7SoundsWiedergeben->isChecked();
    for (int i = 0; i < TSoundCount; ++i)
        e.SoundsArr[static_cast<std::size_t>(i)] = FLv1Sounds->item(i)->checkState() == Qt::Checked;
    e.Mp3TextS = FCb6Mp3Text->isChecked();
    e.GrossKleinS = FCb3GrossKlein->isChecked();
    e.KorrekturS = FCb2Korrektur->isChecked();
    e.ProtokollS = FCb5Protokoll->isChecked();
    e.BigCursorS = FCb4Cursor->isChecked();
    const int sapi = FSapiGruppe->checkedId();
    e.Sapi = sapi >= sapiEin && sapi <= sapiAus ? static_cast<TSapi>(sapi) : sapiAus;
    const int zeile = StimmenZeile();
    if (zeile >= 0) {
        e.Stimme = FLv2Stimmen->item(zeile)->text();
    } else {
        // A stored voice the list does not show (the speech server has not
        // listed its voices yet) is nothing the user took away.
        bool gezeigtS = false;
        for (int i = 0; !gezeigtS && i < FLv2Stimmen->count(); ++i)
            gezeigtS = FLv2Stimmen->item(i)->text().compare(FStimmeGespeichert, Qt::CaseInsensitive) == 0;
        const bool listeVollS = FSpeech->StimmenBekannt() && !FStimmenAusstehendS;
        e.Stimme = gezeigtS || listeVollS ? QString() : FStimmeGespeichert;
    }
    e.VoiceRate = FLe2Rate->value();
    e.VoiceVolume = FLe1Volume->value();
    return e;
}

int TOptionenDlg::StimmenZeile() const {
    const QList<QListWidgetItem*> auswahl = FLv2Stimmen->selectedItems();
    return auswahl.isEmpty() ? -1 : FLv2Stimmen->row(auswahl.first());
}

void TOptionenDlg::SapiTabStop() {
    // Tab and Shift+Tab reach the group on its checked button only; the
    // arrow keys move between the buttons.
    for (QRadioButton* knopf : FSapiKnoepfe)
        knopf->setFocusPolicy(knopf->isChecked() ? Qt::StrongFocus : Qt::ClickFocus);
}

void TOptionenDlg::SoundUmgeschaltet(QListWidgetItem* AZeile) {
    // The screen reader names only the key; the new state is said here.
    if (!FLv1Sounds->hasFocus() || AZeile != FLv1Sounds->currentItem()) return;
    const bool anS = AZeile->checkState() == Qt::Checked;
    if (FTolk)
        FTolk->Output(
            AZeile->text() + (anS ? QStringLiteral(" aktiviert") : QStringLiteral(" nicht aktiviert")), true);
}

void TOptionenDlg::SoundsFreigeben() {
    FLv1Sounds->setEnabled(FCb7SoundsWiedergeben->isChecked());
}

void TOptionenDlg::TextVerschwindenFreigeben() {
    FCb8TextVerschwinden->setEnabled(!FCb1ModusUeberschreiben->isChecked());
}

void TOptionenDlg::SprachFreigeben() {
    const bool listeS = FSapiGruppe->checkedId() != sapiAus;
    FLv2Stimmen->setEnabled(listeS);
    // Volume and rate belong to a synthesizer voice; the screen reader (the
    // first row) keeps its own.
    const bool zahlenS = listeS && StimmenZeile() > 0;
    for (QWidget* w : {static_cast<QWidget*>(FLbl1Volume), static_cast<QWidget*>(FLe1Volume),
                       static_cast<QWidget*>(FLbl2Rate), static_cast<QWidget*>(FLe2Rate)})
        w->setEnabled(zahlenS);
}

void TOptionenDlg::ErsteSoundZeileWaehlen() {
    FLv1Sounds->setCurrentRow(0);
    FLv1Sounds->scrollToItem(FLv1Sounds->item(0));
}

void TOptionenDlg::Btn1ResetClick() {
    // The control left behind ends what it was doing (a voice test) first.
    FBtn1Reset->setFocus(Qt::OtherFocusReason);
    TEinstellungen standard;
    StandardEinstellungen(standard);
    SetEinstellungen(standard);
    SoundsFreigeben();
    TextVerschwindenFreigeben();
    ErsteSoundZeileWaehlen();
    FCb1ModusUeberschreiben->setFocus(Qt::OtherFocusReason);
}

void TOptionenDlg::Hinweis(const QString& AText) {
    if (FTolk) FTolk->Output(AText, false);
}

void TOptionenDlg::FokusGewechselt(QWidget* AAlt, QWidget* ANeu) {
    // A window becoming active or inactive moves no focus between controls.
    if (!AAlt || !ANeu) return;
    if (liegtIn(AAlt, FLv2Stimmen) && !liegtIn(ANeu, FLv2Stimmen)) Lv2StimmenExit();
    for (TZahlFeld* f : {FLe1Volume, FLe2Rate})
        if (liegtIn(AAlt, f) && !liegtIn(ANeu, f)) LesExit(f);
    if (liegtIn(ANeu, FRg1Sapi) && !liegtIn(AAlt, FRg1Sapi)) {
        QString hinweis = RemoveAmpersands(FRg1Sapi->title());
        // The controls below are skipped by Tab then; the user hears why.
        if (FSapiGruppe->checkedId() == sapiAus)
            hinweis += QStringLiteral(": mit Keine sind Stimmen, Lautstärke und Geschwindigkeit gesperrt");
        Hinweis(hinweis);
    }
    if (liegtIn(ANeu, FLv2Stimmen) && !liegtIn(AAlt, FLv2Stimmen)) {
        if (FStimmenAusstehendS) StimmenNachladen();
        // With no voice chosen the list would put the user on an entry it
        // does not select: the screen reader would name a voice that OK does
        // not store. The entry the user lands on is the choice.
        if (StimmenZeile() < 0 && FLv2Stimmen->count() > 0)
            FLv2Stimmen->setCurrentRow(std::max(FLv2Stimmen->currentRow(), 0));
        Lv2StimmenEnter();
    }
    if (liegtIn(ANeu, FLe1Volume) && !liegtIn(AAlt, FLe1Volume))
        Hinweis(QStringLiteral("Lautstärke %1 bis %2").arg(FLe1Volume->minimum()).arg(FLe1Volume->maximum()));
    if (liegtIn(ANeu, FLe2Rate) && !liegtIn(AAlt, FLe2Rate))
        Hinweis(
            QStringLiteral("Geschwindigkeit %1 bis +%2").arg(FLe2Rate->minimum()).arg(FLe2Rate->maximum()));
}

void TOptionenDlg::Lv2StimmenEnter() {
    Hinweis(QStringLiteral("Stimmen"));
    FInStimmenS = true;
    Lv2StimmenClick(false);
}

void TOptionenDlg::Lv2StimmenExit() {
    FInStimmenS = false;
    FTimer1Speak->stop();
    FSpeech->Stop();
}

void TOptionenDlg::LesExit(QSpinBox* AFeld) {
    FTimer1Speak->stop();
    FSpeech->Stop();
    static_cast<TZahlFeld*>(AFeld)->TextAusPosition();
}

void TOptionenDlg::Lv2StimmenClick(bool ADirektS) {
    if (!FInStimmenS && !ADirektS) return;
    SprachFreigeben();
    FSpeech->Stop();
    if (FTolk) FTolk->Stop();
    const int zeile = StimmenZeile();
    if (zeile < 0) return;
    const QString stimme = FLv2Stimmen->item(zeile)->text();
    if (FSpeech->TokenDescription() != stimme)
        FSpeech->SetTokenNrIndex(FSpeech->FindDescriptionInTokensNrIndex(stimme));
    FSpeech->SetVolume(FLe1Volume->value());
    FSpeech->SetRate(FLe2Rate->value());
    FTimer1Speak->start(TestVerzoegerung);
}

void TOptionenDlg::Timer1SpeakTimer() {
    FTimer1Speak->stop();
    // The screen reader may still be reading the list entry; the voice test
    // must not queue behind it.
    if (FSpeech->TokenNrIndex().Nr == 0 && FTolk) FTolk->Stop();
    FSpeech->Speak(FSpeech->TokenDescription(), true);
}

void TOptionenDlg::UdsChanging() {
    if (StimmenZeile() >= 0) FTimer1Sprechen->start();
}

void TOptionenDlg::Timer1SprechenTimer() {
    FTimer1Sprechen->stop();
    // The field still has the focus, so only the running test ends.
    FTimer1Speak->stop();
    FSpeech->Stop();
    Lv2StimmenClick(true);
}

void TOptionenDlg::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    if (AEvent->spontaneous()) return;
    FTimer1Sprechen->setInterval(1);
    SchriftartZuweisen();
    ErsteSoundZeileWaehlen();
    FCb1ModusUeberschreiben->setFocus(Qt::OtherFocusReason);
    SoundsFreigeben();
    TextVerschwindenFreigeben();
    SprachFreigeben();
}

void TOptionenDlg::hideEvent(QHideEvent* AEvent) {
    FTimer1Sprechen->stop();
    FTimer1Speak->stop();
    FSpeech->Stop();
    FInStimmenS = false;
    QDialog::hideEvent(AEvent);
}

bool TOptionenDlg::eventFilter(QObject* AObject, QEvent* AEvent) {
    if (AEvent->type() == QEvent::MouseButtonPress)
        for (QLabel* l : {FLbl1Volume, FLbl2Rate})
            if (AObject == l && l->buddy()) l->buddy()->setFocus(Qt::MouseFocusReason);
    return QDialog::eventFilter(AObject, AEvent);
}

void TOptionenDlg::SchriftartZuweisen() {
    ApplyTrainingFont(this, FAussehen);
    SchalterEinrichten();
    FensterEinrichten();
}

void TOptionenDlg::SchalterEinrichten() {
    const QList<QCheckBox*> boxen = {
        FCb1ModusUeberschreiben, FCb8TextVerschwinden, FCb2Korrektur,        FCb3GrossKlein, FCb4Cursor,
        FCb5Protokoll,           FCb6Mp3Text,          FCb7SoundsWiedergeben};
    int boxBreite = 0;
    for (const QCheckBox* b : boxen)
        boxBreite = std::max(boxBreite, GetFontTextWidthPadded(b->font(), RemoveAmpersands(b->text()) + MM));
    const QSize knopf = LayoutButtons({FBtn1Reset, FBtn2OK, FBtn3Abbrechen});

    int breite = width();
    if (const QWidget* bezug = DialogBezugsfenster(this)) breite = bezug->width() - 50;

    int oben = Rand;
    for (QCheckBox* b : boxen) {
        b->setGeometry(Rand, oben, boxBreite, GetControlHeight(b->font(), b));
        oben += b->height() + Rand;
    }
    const int boxenUnten = FCb7SoundsWiedergeben->y() + FCb7SoundsWiedergeben->height();
    const int soundsLinks = Rand + boxBreite + Spalte;
    FLv1Sounds->setGeometry(soundsLinks, Rand, std::max(0, breite - Rand - soundsLinks),
                            std::max(0, boxenUnten - Rand));

    QString sapiText = RemoveAmpersands(FRg1Sapi->title());
    for (const QRadioButton* r : FSapiKnoepfe)
        if (r->text().size() > sapiText.size()) sapiText = r->text();
    const int sapiBreite = GetFontTextWidthPadded(FRg1Sapi->font(), sapiText + MM + MM);
    const int sapiHoehe = 5 * GetControlHeight(FCb1ModusUeberschreiben->font(), FCb1ModusUeberschreiben);
    const int sapiOben = boxenUnten + Spalte;
    FRg1Sapi->setGeometry(Rand, sapiOben, sapiBreite, sapiHoehe);
    const int stimmenLinks = Rand + sapiBreite + Spalte;
    FLv2Stimmen->setGeometry(stimmenLinks, sapiOben, std::max(0, breite - Rand - stimmenLinks), sapiHoehe);

    const int feldOben = sapiOben + sapiHoehe + Rand;
    const int feldHoehe = GetControlHeight(FLe1Volume->font(), FLe1Volume);
    const int feldBreite = 3 * feldHoehe;
    // The up-down sits inside the field's box here; it is as wide as a scroll
    // bar.
    const int udBreite = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, FLe1Volume);
    const auto labelBreite = [](const QLabel* ALabel) {
        return GetFontTextWidthPadded(ALabel->font(), RemoveAmpersands(ALabel->text()));
    };
    const int label1 = labelBreite(FLbl1Volume);
    const int label2 = labelBreite(FLbl2Rate);
    const int luecke = (breite - label1 - label2 - 2 * (LabelAbstand + feldBreite + udBreite)) / 3;
    const int volumeLinks = luecke + label1 + LabelAbstand;
    const int rateLinks = volumeLinks + feldBreite + udBreite + luecke + label2 + LabelAbstand;
    const auto feldSetzen = [&](TZahlFeld* AFeld, QLabel* ALabel, int ALinks, int ALabelBreite) {
        AFeld->setGeometry(ALinks, feldOben, feldBreite + udBreite, feldHoehe);
        const int labelHoehe = SchriftHoehe(ALabel->font());
        ALabel->setGeometry(ALinks - LabelAbstand - ALabelBreite, feldOben + (feldHoehe - labelHoehe) / 2,
                            ALabelBreite, labelHoehe);
    };
    feldSetzen(FLe1Volume, FLbl1Volume, volumeLinks, label1);
    feldSetzen(FLe2Rate, FLbl2Rate, rateLinks, label2);

    const int knopfOben = feldOben + feldHoehe + Spalte;
    const int knopfLuecke = (breite - 3 * knopf.width()) / 4;
    int links = knopfLuecke;
    for (QPushButton* b : {FBtn1Reset, FBtn2OK, FBtn3Abbrechen}) {
        b->move(links, knopfOben);
        links += knopf.width() + knopfLuecke;
    }
    setFixedSize(breite, knopfOben + knopf.height() + Rand);
}

void TOptionenDlg::FensterEinrichten() {
    DialogZentrieren(this);
}
