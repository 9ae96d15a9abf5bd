#include "BackFontDlgC.h"

#include "DialogKit.h"
#include "Farbtabelle.h"
#include "Services.h"
#include "SystemServices.h"
#include "TolkSRD.h"
#include "ZahlFeld.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QStyleOptionSpinBox>
#include <QTimer>

#include <algorithm>
#include <array>
#include <functional>
#include <utility>

namespace {

// Long enough for the screen to show the dialog before the focus moves and
// the list is announced (ms).
constexpr int TolkVerzoegerung = 25;

// A colour list's new value is announced once the keys have rested this long
// (ms): a held arrow key runs through the list faster than speech follows, and
// only the colour where it stops is spoken.
constexpr int WertVerzoegerung = 120;

QStringList standardFarbNamen() {
    QStringList namen;
    for (int i = 0; i < TColors::Anzahl; ++i)
        namen << TFarbtabelle::SchriftName(i);
    return namen;
}

QStringList vollstaendigeFarbNamen(const QStringList& ANamen) {
    QStringList namen = standardFarbNamen();
    for (int i = 0; i < namen.size() && i < ANamen.size(); ++i)
        if (!ANamen.at(i).isEmpty()) namen[i] = ANamen.at(i);
    return namen;
}

// The texts are written with %d and %s like printf formats; the values are
// filled in order, "%%" stays a percent sign.
QString formatiere(const QString& AFormat, const QStringList& AWerte) {
    QString result;
    qsizetype n = 0;
    for (qsizetype i = 0; i < AFormat.size(); ++i) {
        const QChar c = AFormat.at(i);
        if (c == QLatin1Char('%') && i + 1 < AFormat.size()) {
            const QChar art = AFormat.at(i + 1);
            if (art == QLatin1Char('%')) {
                result += c;
                ++i;
                continue;
            }
            if (art == QLatin1Char('d') || art == QLatin1Char('s')) {
                if (n < AWerte.size()) result += AWerte.at(n);
                ++n;
                ++i;
                continue;
            }
        }
        result += c;
    }
    return result;
}

// "Schriftfarbe: %s" names its list "Schriftfarbe".
QString nameAusAnsage(const QString& AFormat) {
    QString name = AFormat.left(AFormat.indexOf(QLatin1Char('%'))).trimmed();
    while (name.endsWith(QLatin1Char(':')))
        name.chop(1);
    return name.trimmed();
}

// The row of AFamilie. A family that several foundries deliver is listed
// once per foundry ("Name [Foundry]"); a stored name without the foundry
// then means the first of them.
int aktuelleFamilie(const QStringList& AFamilien, const QString& AFamilie) {
    for (int i = 0; i < AFamilien.size(); ++i)
        if (AFamilien.at(i).compare(AFamilie, Qt::CaseInsensitive) == 0) return i;
    for (int i = 0; i < AFamilien.size(); ++i) {
        const QString& f = AFamilien.at(i);
        const qsizetype klammer = f.indexOf(QStringLiteral(" ["));
        if (klammer > 0 && f.endsWith(QLatin1Char(']')) &&
            f.left(klammer).compare(AFamilie, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool gleicheFarbe(const QColor& A, const QColor& B) {
    return A.isValid() && B.isValid() && (A.rgb() & 0xFFFFFF) == (B.rgb() & 0xFFFFFF);
}

// A colour list that reports a value changed by a key of its own (arrows,
// Home, End, a letter). Orca is silent about such a change in a closed list;
// a choice made in the opened drop-down list is read by Orca itself and does
// not come through here.
class TFarbListe : public QComboBox {
public:
    using QComboBox::QComboBox;

    std::function<void()> NachTaste;

protected:
    void keyPressEvent(QKeyEvent* AEvent) override {
        const int vorher = currentIndex();
        QComboBox::keyPressEvent(AEvent);
        if (currentIndex() != vorher && NachTaste) NachTaste();
    }
};

// The width a drop-down list needs to show its longest entry in full.
int ListenBreite(const QComboBox* AListe) {
    QString breitester;
    for (int i = 0; i < AListe->count(); ++i)
        if (AListe->itemText(i).size() > breitester.size()) breitester = AListe->itemText(i);
    QStyleOptionComboBox opt;
    opt.initFrom(AListe);
    const QSize inhalt(GetFontTextWidthPadded(AListe->font(), breitester + QStringLiteral("M")),
                       GetFontTextHeight(AListe->font()));
    return AListe->style()->sizeFromContents(QStyle::CT_ComboBox, &opt, inhalt, AListe).width();
}

} // namespace

TColors::TColors(const QStringList& AColorNames, const QString& ABackgroundSuffix)
    : FBackgroundSuffix(ABackgroundSuffix) {
    const QStringList namen = vollstaendigeFarbNamen(AColorNames);
    for (int i = 0; i < Anzahl; ++i)
        FList.append({i, TFarbtabelle::SchriftFarbe(i), namen.at(i)});
}

void TColors::FillStringList(QStringList& ASl, bool AIsBackground) const {
    ASl.clear();
    for (const TColorName& c : FList)
        ASl << (AIsBackground ? c.Name + FBackgroundSuffix : c.Name);
}

bool TColors::FindColor(const QColor& AColor, TColorName& AColorName) const {
    for (const TColorName& c : FList)
        if (gleicheFarbe(c.Color, AColor)) {
            AColorName = c;
            return true;
        }
    return false;
}

TColorName TColors::Get(int AIndex) const {
    return AIndex >= 0 && AIndex < FList.size() ? FList.at(AIndex) : FList.at(0);
}

TBackFontDlgTexts DefaultBackFontDlgTexts() {
    TBackFontDlgTexts t;
    t.WindowCaption = QStringLiteral("Schrifteinstellungen");
    t.FontColumnCaption = QStringLiteral("Schriftart");
    t.FontSizeCaption = QStringLiteral("Schrift&größe (%d-%d):");
    t.BoldCaption = QStringLiteral("&Fett");
    t.PreviewText = QStringLiteral("Das ist eine Vorschau, wie der Text aussehen wird.");
    t.OkCaption = QStringLiteral("O&K");
    t.CancelCaption = QStringLiteral("&Abbrechen");
    t.InsertCaption = QStringLiteral("Einfügen");
    t.CopyCaption = QStringLiteral("&Kopieren");
    t.SelectAllCaption = QStringLiteral("Alles &markieren");
    t.BackgroundSuffix = QStringLiteral(" (Hintergrund)");
    t.EqualColorsQuestion = QStringLiteral("Schriftfarbe und Hintergrundfarbe sind "
                                           "identisch!\r\nSoll trotzdem fortgesetzt werden?");
    t.TolkFontName = QStringLiteral("Schriftart: %s");
    t.TolkFontColor = QStringLiteral("Schriftfarbe: %s");
    t.TolkFontSize = QStringLiteral("Schriftgröße (%d bis %d): %s");
    t.TolkBackColor = QStringLiteral("Hintergrundfarbe: %s");
    t.ColorNames = standardFarbNamen();
    return t;
}

namespace {

TBackFontDlgTexts mitStandardTexten(TBackFontDlgTexts ATexts) {
    const TBackFontDlgTexts d = DefaultBackFontDlgTexts();
    auto fuellen = [](QString& AText, const QString& AStandard) {
        if (AText.isEmpty()) AText = AStandard;
    };
    fuellen(ATexts.WindowCaption, d.WindowCaption);
    fuellen(ATexts.FontColumnCaption, d.FontColumnCaption);
    fuellen(ATexts.FontSizeCaption, d.FontSizeCaption);
    fuellen(ATexts.BoldCaption, d.BoldCaption);
    fuellen(ATexts.PreviewText, d.PreviewText);
    fuellen(ATexts.OkCaption, d.OkCaption);
    fuellen(ATexts.CancelCaption, d.CancelCaption);
    fuellen(ATexts.InsertCaption, d.InsertCaption);
    fuellen(ATexts.CopyCaption, d.CopyCaption);
    fuellen(ATexts.SelectAllCaption, d.SelectAllCaption);
    fuellen(ATexts.BackgroundSuffix, d.BackgroundSuffix);
    fuellen(ATexts.EqualColorsQuestion, d.EqualColorsQuestion);
    fuellen(ATexts.TolkFontName, d.TolkFontName);
    fuellen(ATexts.TolkFontColor, d.TolkFontColor);
    fuellen(ATexts.TolkFontSize, d.TolkFontSize);
    fuellen(ATexts.TolkBackColor, d.TolkBackColor);
    ATexts.ColorNames = vollstaendigeFarbNamen(ATexts.ColorNames);
    return ATexts;
}

} // namespace

TBackFontDlg::TBackFontDlg(QWidget* AOwner, const QColor& AAktBackColor, const QFont& AAktFont,
                           const QColor& AAktFontColor, TTolkSRD* ATolk, IMessageBoxes* AMessageBoxes)
    : TBackFontDlg(AOwner, AAktBackColor, AAktFont, AAktFontColor, DefaultBackFontDlgTexts(), ATolk,
                   AMessageBoxes) {}

TBackFontDlg::TBackFontDlg(QWidget* AOwner, const QColor& AAktBackColor, const QFont& AAktFont,
                           const QColor& AAktFontColor, const TBackFontDlgTexts& ATexts, TTolkSRD* ATolk,
                           IMessageBoxes* AMessageBoxes)
    : QDialog(AOwner), FAktBackColor(AAktBackColor), FAktFont(AAktFont), FAktFontColor(AAktFontColor),
      FTolk(ATolk), FMessageBoxes(AMessageBoxes), FTexts(mitStandardTexten(ATexts)),
      FColors(FTexts.ColorNames, FTexts.BackgroundSuffix) {
    setObjectName(QStringLiteral("BackFontDlg"));

    // Created in the order of the tab chain.
    FLvFonts = new QListWidget(this);
    FLvFonts->setObjectName(QStringLiteral("LvFonts"));
    FLvFonts->setSelectionMode(QAbstractItemView::SingleSelection);
    FLvFonts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    EintragBeiFokusMelden(FLvFonts);

    FLeSizeLabel = new QLabel(this);
    FLeSizeLabel->setObjectName(QStringLiteral("LeSizeLabel"));
    auto* groesse = new TZahlFeld(this, TZahlFeld::TArt::Ziffern);
    FLeSize = groesse;
    FLeSize->setObjectName(QStringLiteral("LeSize"));
    FLeSize->setAlignment(Qt::AlignCenter);
    // A size being typed must not reach the preview before it is complete.
    FLeSize->setKeyboardTracking(false);
    FLeSizeLabel->setBuddy(FLeSize);

    FCbBold = new QCheckBox(this);
    FCbBold->setObjectName(QStringLiteral("CbBold"));
    auto farbListe = [this](const QString& AName, QLabel*& ALabel) {
        ALabel = new QLabel(this);
        ALabel->setObjectName(AName + QStringLiteral("Label"));
        auto* liste = new TFarbListe(this);
        liste->setObjectName(AName);
        liste->setMaxVisibleItems(5);
        liste->NachTaste = [this, liste] { FarbeGewechselt(liste); };
        ALabel->setBuddy(liste);
        ALabel->installEventFilter(this);
        return liste;
    };
    FCoBoColors = farbListe(QStringLiteral("CoBoColors"), FCoBoColorsLabel);
    FCoBoBackColors = farbListe(QStringLiteral("CoBoBackColors"), FCoBoBackColorsLabel);

    FEditTest = new QLineEdit(this);
    FEditTest->setObjectName(QStringLiteral("EditTest"));
    FEditTest->setReadOnly(true);
    FEditTest->setAlignment(Qt::AlignCenter);
    FEditTest->setContextMenuPolicy(Qt::CustomContextMenu);

    FBtn1OK = new QPushButton(this);
    FBtn1OK->setObjectName(QStringLiteral("Btn1OK"));
    FBtn1OK->setDefault(true);
    FBtn2Cancel = new QPushButton(this);
    FBtn2Cancel->setObjectName(QStringLiteral("Btn2Cancel"));

    FPuMenu1 = new QMenu(this);
    FPuMenu1->setObjectName(QStringLiteral("PuMenu1"));
    FPuEinfuegen = FPuMenu1->addAction(QString());
    FPuEinfuegen->setObjectName(QStringLiteral("PuEinfuegen"));
    FPuEinfuegen->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_V));
    FPuEinfuegen->setVisible(false);
    groesse->SetEinfuegen(FPuMenu1, FPuEinfuegen);

    FTimerTolk = new QTimer(this);
    FTimerTolk->setObjectName(QStringLiteral("TimerTolk"));
    FTimerTolk->setSingleShot(true);

    connect(FBtn1OK, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBtn2Cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(FPuEinfuegen, &QAction::triggered, this, [] { SystemBeep(); });
    connect(FTimerTolk, &QTimer::timeout, this, &TBackFontDlg::TimerTolkTimer);
    connect(FLvFonts, &QListWidget::itemSelectionChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(FCbBold, &QCheckBox::toggled, this, &TBackFontDlg::UpdateEditTest);
    connect(FCoBoColors, &QComboBox::currentIndexChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(FCoBoBackColors, &QComboBox::currentIndexChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(FLeSize, &QSpinBox::valueChanged, this, &TBackFontDlg::UpdateEditTest);
    connect(groesse->Feld(), &QLineEdit::textChanged, this, &TBackFontDlg::LeSizeChange);
    connect(FLeSize, &QSpinBox::textChanged, this, &TBackFontDlg::LeSizeChange);
    connect(FLeSize, &QSpinBox::editingFinished, this, &TBackFontDlg::LeSizeChange);
    connect(FEditTest, &QLineEdit::customContextMenuRequested, this,
            [this](const QPoint& APos) { FPuMenuVorschau->popup(FEditTest->mapToGlobal(APos)); });

    for (QWidget* w : {static_cast<QWidget*>(FLvFonts), static_cast<QWidget*>(FLeSize),
                       static_cast<QWidget*>(FCoBoColors), static_cast<QWidget*>(FCoBoBackColors)})
        w->installEventFilter(this);
    FLeSizeLabel->installEventFilter(this);

    FormCreate();
}

TBackFontDlg::~TBackFontDlg() {
    // Hiding takes the focus out of the size field, which then reports its
    // value to this dialog; that must happen while the dialog is still whole.
    hide();
}

void TBackFontDlg::FormCreate() {
    CreatePreviewMenu();
    static_cast<TZahlFeld*>(FLeSize)->SetBereich(MinSize, MaxSize);
    FLvFonts->clear();
    FMaxLvFontsWidth = 0;
    QStringList namen;
    FColors.FillStringList(namen, false);
    FCoBoColors->addItems(namen);
    FColors.FillStringList(namen, true);
    FCoBoBackColors->addItems(namen);
    AssignCaptions();
}

void TBackFontDlg::CreatePreviewMenu() {
    if (!FPuMenuVorschau) {
        FPuMenuVorschau = new QMenu(this);
        FPuMenuVorschau->setObjectName(QStringLiteral("PuMenuVorschau"));
        connect(FPuMenuVorschau, &QMenu::aboutToShow, this, &TBackFontDlg::PuMenuVorschauPopup);
    }
    if (!FPuVorschauAllesMarkieren) {
        FPuVorschauAllesMarkieren = FPuMenuVorschau->addAction(QString());
        FPuVorschauAllesMarkieren->setObjectName(QStringLiteral("PuVorschauAllesMarkieren"));
        // The preview handles the keys itself; the menu only shows them.
        FPuVorschauAllesMarkieren->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
        FPuVorschauAllesMarkieren->setShortcutContext(Qt::WidgetShortcut);
        connect(FPuVorschauAllesMarkieren, &QAction::triggered, this, [this] {
            FEditTest->setFocus(Qt::PopupFocusReason);
            FEditTest->selectAll();
        });
    }
    if (!FPuVorschauKopieren) {
        FPuVorschauKopieren = FPuMenuVorschau->addAction(QString());
        FPuVorschauKopieren->setObjectName(QStringLiteral("PuVorschauKopieren"));
        FPuVorschauKopieren->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
        FPuVorschauKopieren->setShortcutContext(Qt::WidgetShortcut);
        connect(FPuVorschauKopieren, &QAction::triggered, this, [this] {
            FEditTest->setFocus(Qt::PopupFocusReason);
            FEditTest->copy();
        });
    }
}

void TBackFontDlg::AssignCaptions() {
    setWindowTitle(FTexts.WindowCaption);
    FLvFonts->setAccessibleName(RemoveAmpersands(FTexts.FontColumnCaption));
    FillFontList();
    FLeSizeLabel->setText(
        formatiere(FTexts.FontSizeCaption, {QString::number(MinSize), QString::number(MaxSize)}));
    FLeSize->setAccessibleName(RemoveAmpersands(FLeSizeLabel->text()));
    FCbBold->setText(FTexts.BoldCaption);
    FCbBold->setAccessibleName(RemoveAmpersands(FTexts.BoldCaption));
    FCoBoColorsLabel->setText(nameAusAnsage(FTexts.TolkFontColor));
    FCoBoColors->setAccessibleName(FCoBoColorsLabel->text());
    FCoBoBackColorsLabel->setText(nameAusAnsage(FTexts.TolkBackColor));
    FCoBoBackColors->setAccessibleName(FCoBoBackColorsLabel->text());
    FEditTest->setText(FTexts.PreviewText);
    FEditTest->setAccessibleName(QStringLiteral("Vorschau"));
    FBtn1OK->setText(FTexts.OkCaption);
    FBtn1OK->setAccessibleName(RemoveAmpersands(FTexts.OkCaption));
    FBtn2Cancel->setText(FTexts.CancelCaption);
    FBtn2Cancel->setAccessibleName(RemoveAmpersands(FTexts.CancelCaption));
    FPuEinfuegen->setText(FTexts.InsertCaption);
    FPuVorschauKopieren->setText(FTexts.CopyCaption);
    FPuVorschauAllesMarkieren->setText(FTexts.SelectAllCaption);
}

void TBackFontDlg::FillFontList() {
    FLvFonts->clear();
    FFamilien.clear();
    // Families the desktop keeps for itself are no choice for the user.
    const QStringList familien = QFontDatabase::families();
    for (const QString& f : familien)
        if (!QFontDatabase::isPrivateFamily(f)) FFamilien << f;
    QString breitester = FTexts.FontColumnCaption;
    // A stored font that is not installed is drawn in another; its row is
    // the current one then.
    int aktuell = aktuelleFamilie(FFamilien, FAktFont.family());
    if (aktuell < 0) aktuell = aktuelleFamilie(FFamilien, QFontInfo(FAktFont).family());
    for (int i = 0; i < FFamilien.size(); ++i) {
        QString caption = FFamilien.at(i);
        if (i == aktuell) caption.prepend(QLatin1Char('*'));
        FLvFonts->addItem(caption);
        if (caption.size() > breitester.size()) breitester = caption;
    }
    FStartZeile = FLvFonts->count() > 0 ? std::max(aktuell, 0) : -1;
    if (FStartZeile >= 0) {
        FLvFonts->setCurrentRow(FStartZeile);
        FLvFonts->scrollToItem(FLvFonts->currentItem());
    }
    FMaxLvFontsWidth = GetFontTextWidthPadded(FAktFont, breitester + QStringLiteral("MM"));
}

void TBackFontDlg::GetNewFont(QFont& AFont, QColor& AFontColor) const {
    AFont = FAktFont;
    const QList<QListWidgetItem*> gewaehlt = FLvFonts->selectedItems();
    if (!gewaehlt.isEmpty()) {
        const int zeile = FLvFonts->row(gewaehlt.first());
        // The row the dialog opened on keeps the stored name, whatever the
        // desktop draws for it.
        if (zeile >= 0 && zeile < FFamilien.size() && zeile != FStartZeile)
            AFont.setFamily(FFamilien.at(zeile));
    }
    AFont.setPointSize(FLeSize->value());
    AFont.setBold(FCbBold->isChecked());
    AFont.setItalic(false);
    AFont.setUnderline(false);
    AFont.setStrikeOut(false);
    AFontColor = FColors.Get(FCoBoColors->currentIndex()).Color;
}

QColor TBackFontDlg::NewBackColor() const {
    return FColors.Get(FCoBoBackColors->currentIndex()).Color;
}

void TBackFontDlg::UpdateEditTest() {
    QFont font;
    QColor farbe;
    GetNewFont(font, farbe);
    FEditTest->setFont(font);
    QPalette pal = FEditTest->palette();
    const QColor hintergrund = NewBackColor();
    pal.setColor(QPalette::Base, hintergrund);
    pal.setColor(QPalette::Window, hintergrund);
    pal.setColor(QPalette::Text, farbe);
    pal.setColor(QPalette::WindowText, farbe);
    FEditTest->setPalette(pal);
    // The line grows with its font; ArrangeControls left room for that.
    FEditTest->setFixedHeight(GetControlHeight(font, FEditTest));
}

void TBackFontDlg::LoadCurrentValues() {
    const int groesse = FAktFont.pointSize() > 0 ? FAktFont.pointSize() : qRound(FAktFont.pointSizeF());
    FLeSize->setValue(groesse);
    FCbBold->setChecked(FAktFont.bold());
    // The current colours are marked, so the user hears which one is in use.
    auto markieren = [this](QComboBox* AListe, const QColor& AFarbe, bool AIsBackground) {
        QStringList namen;
        FColors.FillStringList(namen, AIsBackground);
        for (int i = 0; i < namen.size() && i < AListe->count(); ++i)
            AListe->setItemText(i, namen.at(i));
        TColorName gefunden;
        if (FColors.FindColor(AFarbe, gefunden)) {
            AListe->setItemText(gefunden.Index, QLatin1Char('*') + AListe->itemText(gefunden.Index));
            AListe->setCurrentIndex(gefunden.Index);
        } else {
            AListe->setCurrentIndex(0);
        }
    };
    markieren(FCoBoColors, FAktFontColor, false);
    markieren(FCoBoBackColors, FAktBackColor, true);
}

void TBackFontDlg::ApplyAppearance() {
    TDialogAussehen aussehen;
    aussehen.Schrift = FAktFont;
    if (FAktFontColor.isValid()) aussehen.SchriftFarbe = FAktFontColor;
    if (FAktBackColor.isValid()) aussehen.HintergrundFarbe = FAktBackColor;
    // The preview shows the choice, not the training font.
    const QFont vorschauFont = FEditTest->font();
    const QPalette vorschauFarben = FEditTest->palette();
    ApplyTrainingFont(this, aussehen);
    FEditTest->setFont(vorschauFont);
    FEditTest->setPalette(vorschauFarben);
    ArrangeControls();
}

void TBackFontDlg::ArrangeControls() {
    const int m = FRand;
    FCbBold->setFixedHeight(GetControlHeight(FCbBold->font(), FCbBold));
    const QSize btn = LayoutButtons({FBtn1OK, FBtn2Cancel});

    const int listHeight = 6 * btn.height();
    FLvFonts->setGeometry(m, m, FMaxLvFontsWidth, listHeight);
    const int listRight = m + FMaxLvFontsWidth;

    const int editHeight = GetControlHeight(FEditTest->font(), FEditTest);
    const int editTop = m + listHeight + 2 * m;
    const int btnTop = editTop + 5 * editHeight + 2 * m;
    const int clientHeight = btnTop + btn.height() + m;

    const int sizeHeight = GetControlHeight(FLeSize->font(), FLeSize);
    const QString labelText = RemoveAmpersands(FLeSizeLabel->text());
    const int labelWidth =
        std::max(GetFontTextWidthPadded(FLeSizeLabel->font(), labelText), FLeSizeLabel->sizeHint().width());
    const int labelHeight = FLeSizeLabel->sizeHint().height();
    const int sizeTop = m + (listHeight - sizeHeight) / 3;
    const int sizeLeft = listRight + m + labelWidth + FLeer;
    const int sizeWidth = GetFontTextWidthPadded(FAktFont, QStringLiteral("MM")) +
                          static_cast<const TZahlFeld*>(FLeSize)->Zugabe();
    FLeSize->setGeometry(sizeLeft, sizeTop, sizeWidth, sizeHeight);
    FLeSizeLabel->setGeometry(sizeLeft - FLeer - labelWidth, sizeTop + (sizeHeight - labelHeight) / 2,
                              labelWidth, labelHeight);

    const int boldLeft = sizeLeft + sizeWidth + m;
    const int boldWidth =
        GetFontTextWidthPadded(FAktFont, RemoveAmpersands(FCbBold->text()) + QStringLiteral("MM"));
    FCbBold->setGeometry(boldLeft, sizeTop, boldWidth, FCbBold->height());

    // The colour lists stand below, each behind its label; the dialog grows
    // when the longest colour name would not fit.
    int farbLabelWidth = 0;
    for (const QLabel* l : {FCoBoColorsLabel, FCoBoBackColorsLabel})
        farbLabelWidth =
            std::max({farbLabelWidth, GetFontTextWidthPadded(l->font(), l->text()), l->sizeHint().width()});
    const int comboLeft = listRight + m + farbLabelWidth + FLeer;
    const int comboNeeded = std::max(ListenBreite(FCoBoColors), ListenBreite(FCoBoBackColors));
    const int clientWidth = std::max(boldLeft + boldWidth + m, comboLeft + comboNeeded + m);
    const int comboWidth = clientWidth - comboLeft - m;
    const int comboHeight = std::max(FCoBoColors->sizeHint().height(), GetControlHeight(FAktFont, FLeSize));
    FCoBoColors->setGeometry(comboLeft, sizeTop + sizeHeight + 2 * m, comboWidth, comboHeight);
    FCoBoBackColors->setGeometry(comboLeft, FCoBoColors->y() + comboHeight + 2 * m, comboWidth, comboHeight);
    for (QLabel* l : {FCoBoColorsLabel, FCoBoBackColorsLabel}) {
        const QWidget* liste = l->buddy();
        const int h = l->sizeHint().height();
        l->setGeometry(listRight + m, liste->y() + (comboHeight - h) / 2, farbLabelWidth, h);
    }

    FEditTest->setGeometry(m, editTop, clientWidth - 2 * m, editHeight);
    FEditTest->setFixedHeight(editHeight);

    const int btnLeft = (clientWidth - 2 * btn.width()) / 3;
    FBtn1OK->move(btnLeft, btnTop);
    FBtn2Cancel->move(2 * btnLeft + btn.width(), btnTop);
    setFixedSize(clientWidth, clientHeight);
    CenterOnOwner();
}

void TBackFontDlg::CenterOnOwner() {
    DialogZentrieren(this);
}

void TBackFontDlg::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    // A window restored from the task bar is shown again by the window
    // system; what the user chose stays.
    if (AEvent->spontaneous()) return;
    LoadCurrentValues();
    ApplyAppearance();
    UpdateEditTest();
    // The font list is entered only once the dialog is on the screen, so that
    // its announcement follows the window's.
    FBtn2Cancel->setFocus(Qt::OtherFocusReason);
    FListeAnsagenS = true;
    FTimerTolk->start(TolkVerzoegerung);
}

bool TBackFontDlg::event(QEvent* AEvent) {
    // The window becomes active only after it is shown; a screen reader
    // follows the focus only from then, so the timer counts from then.
    if (AEvent->type() == QEvent::WindowActivate && FListeAnsagenS) FTimerTolk->start(TolkVerzoegerung);
    return QDialog::event(AEvent);
}

void TBackFontDlg::TimerTolkTimer() {
    // Not active yet: the activation starts the timer again.
    if (!isVisible() || !isActiveWindow()) return;
    if (!FListeAnsagenS) {
        // A colour changed by keys; once the user has left the list its value
        // is old news.
        QComboBox* liste = std::exchange(FWertAnsage, nullptr);
        if (liste && liste->hasFocus()) Enters(liste, true);
        return;
    }
    FListeAnsagenS = false;
    // Getting the focus reports the list's row (EintragBeiFokusMelden); a
    // list that has it already is reported here.
    const bool hatteFokusS = FLvFonts->hasFocus();
    FLvFonts->setFocus(Qt::OtherFocusReason);
    if (hatteFokusS) EintragMelden(FLvFonts);
}

bool TBackFontDlg::eventFilter(QObject* AObject, QEvent* AEvent) {
    if (AEvent->type() == QEvent::FocusIn) {
        // Returning from an open drop-down list or from another window is no
        // entering: the user is still where he was.
        const Qt::FocusReason grund = static_cast<QFocusEvent*>(AEvent)->reason();
        const bool nachFrageS = AObject == FAnsageNachFrage;
        if (grund != Qt::PopupFocusReason && (grund != Qt::ActiveWindowFocusReason || nachFrageS)) {
            FAnsageNachFrage = nullptr;
            Enters(static_cast<QWidget*>(AObject));
        }
    } else if (AEvent->type() == QEvent::MouseButtonPress) {
        // Clicking a label moves to its field.
        if (auto* label = qobject_cast<QLabel*>(AObject); label && label->buddy())
            label->buddy()->setFocus(Qt::MouseFocusReason);
    }
    return QDialog::eventFilter(AObject, AEvent);
}

void TBackFontDlg::Enters(QWidget* AControl, bool AInterrupt) {
    if (!FTolk) return;
    QString text;
    if (AControl == FLvFonts) {
        const QList<QListWidgetItem*> gewaehlt = FLvFonts->selectedItems();
        text = formatiere(FTexts.TolkFontName, {gewaehlt.isEmpty() ? QString() : gewaehlt.first()->text()});
    } else if (AControl == FCoBoColors) {
        text = formatiere(FTexts.TolkFontColor, {FCoBoColors->currentText()});
    } else if (AControl == FLeSize) {
        text = formatiere(FTexts.TolkFontSize,
                          {QString::number(MinSize), QString::number(MaxSize), FLeSize->text()});
    } else if (AControl == FCoBoBackColors) {
        text = formatiere(FTexts.TolkBackColor, {FCoBoBackColors->currentText()});
    } else {
        return;
    }
    FTolk->Output(text, AInterrupt);
}

void TBackFontDlg::FarbeGewechselt(QComboBox* AListe) {
    if (!FTolk || FListeAnsagenS) return;
    // The newest colour replaces one that is still being spoken.
    FWertAnsage = AListe;
    FTimerTolk->start(WertVerzoegerung);
}

void TBackFontDlg::LeSizeChange() {
    bool zahlS = false;
    const int zahl = FLeSize->text().toInt(&zahlS);
    FBtn1OK->setEnabled(zahlS && zahl >= MinSize && zahl <= MaxSize);
}

void TBackFontDlg::PuMenuVorschauPopup() {
    FPuVorschauAllesMarkieren->setEnabled(!FEditTest->text().isEmpty());
    FPuVorschauKopieren->setEnabled(FEditTest->hasSelectedText());
}

void TBackFontDlg::done(int AResult) {
    if (AResult == QDialog::Accepted) {
        // A size typed but not yet taken over counts.
        FLeSize->interpretText();
        if (FCoBoColors->currentIndex() == FCoBoBackColors->currentIndex()) {
            IMessageBoxes* boxes = FMessageBoxes ? FMessageBoxes : RealServices().MessageBoxes;
            if (boxes && !boxes->Frage(this, FTexts.EqualColorsQuestion)) {
                // Where the message box has just closed, the dialog gets the
                // focus back only when the desktop activates it again; the
                // font colour is announced then.
                FAnsageNachFrage = FCoBoColors;
                FCoBoColors->setFocus(Qt::OtherFocusReason);
                return;
            }
        }
    }
    QDialog::done(AResult);
}
