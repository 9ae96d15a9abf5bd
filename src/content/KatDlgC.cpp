#include "KatDlgC.h"

#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QGroupBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTextEdit>
#include <QTimer>

#include <algorithm>

namespace {

class ScreenTextMetrics : public ITextMetrics {
public:
    int Height(const QFont& AFont) const override {
        // Without a GUI application there is no screen to measure on.
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
        return QFontMetrics(AFont).height();
    }
    int Width(const QFont& AFont, const QString& AText) const override {
        if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
        return QFontMetrics(AFont).horizontalAdvance(AText);
    }
};

ScreenTextMetrics& screenMetrics() {
    static ScreenTextMetrics metrics;
    return metrics;
}

ITextMetrics* currentMetrics = nullptr;

ITextMetrics& metrics() {
    return currentMetrics ? *currentMetrics : screenMetrics();
}

// The room around the text that the room-taking kinds of control need.
constexpr int EditZugabe = 8;
constexpr int ButtonZugabe = 12;
constexpr int StatusBarZugabe = 6;
constexpr int AuswahlZugabe = 8;
constexpr int ErsatzHoehe = 12;

// Distance of the list from the dialog's edges and from the buttons.
constexpr int KatRand = 10;

// Time the screen reader gets to announce the newly active dialog and its
// list before the focus moves to the entry (ms).
constexpr int FokusVerzoegerung = 150;

void setColours(QWidget* AWidget, const TDialogAussehen& AAussehen, bool AButtonRolesS) {
    QPalette pal = AWidget->palette();
    pal.setColor(QPalette::Base, AAussehen.HintergrundFarbe);
    pal.setColor(QPalette::Window, AAussehen.HintergrundFarbe);
    pal.setColor(QPalette::Text, AAussehen.SchriftFarbe);
    pal.setColor(QPalette::WindowText, AAussehen.SchriftFarbe);
    if (AButtonRolesS) {
        // A closed combo box draws its text with the button roles.
        pal.setColor(QPalette::Button, AAussehen.HintergrundFarbe);
        pal.setColor(QPalette::ButtonText, AAussehen.SchriftFarbe);
    }
    AWidget->setPalette(pal);
}

bool isTextBearing(const QWidget* AWidget) {
    return qobject_cast<const QLabel*>(AWidget) || qobject_cast<const QLineEdit*>(AWidget) ||
           qobject_cast<const QAbstractSpinBox*>(AWidget) || qobject_cast<const QListWidget*>(AWidget) ||
           qobject_cast<const QCheckBox*>(AWidget) || qobject_cast<const QComboBox*>(AWidget) ||
           qobject_cast<const QGroupBox*>(AWidget) || qobject_cast<const QTextEdit*>(AWidget) ||
           qobject_cast<const QPlainTextEdit*>(AWidget);
}

bool needsOwnBackground(const QWidget* AWidget) {
    return qobject_cast<const QLabel*>(AWidget) || qobject_cast<const QCheckBox*>(AWidget) ||
           qobject_cast<const QGroupBox*>(AWidget);
}

// A list reports only itself when it gets the focus: Qt offers screen readers
// no selection of a list, and it reports an entry as focused only when the
// current entry changes while the list has the focus.
class TEintragMelder : public QObject {
public:
    explicit TEintragMelder(QAbstractItemView* AListe) : QObject(AListe), FListe(AListe) {}

protected:
    bool eventFilter(QObject* AObject, QEvent* AEvent) override {
        if (AObject == FListe && AEvent->type() == QEvent::FocusIn) {
            // The list's own focus report follows the focus-in event; the
            // entry must come after it or the screen reader ends on the list.
            QMetaObject::invokeMethod(
                this, [this] { EintragMelden(FListe); }, Qt::QueuedConnection);
        }
        return QObject::eventFilter(AObject, AEvent);
    }

private:
    QAbstractItemView* FListe;
};

} // namespace

void EintragMelden(QAbstractItemView* AListe) {
    if (!AListe || !AListe->hasFocus()) return;
    QItemSelectionModel* auswahl = AListe->selectionModel();
    const QModelIndex eintrag = AListe->currentIndex();
    if (!auswahl || !eintrag.isValid()) return;
    // Moving the current entry off and back, with the selection untouched,
    // makes the list report the entry as focused.
    auswahl->setCurrentIndex(QModelIndex(), QItemSelectionModel::NoUpdate);
    auswahl->setCurrentIndex(eintrag, QItemSelectionModel::NoUpdate);
}

void EintragBeiFokusMelden(QAbstractItemView* AListe) {
    if (AListe) AListe->installEventFilter(new TEintragMelder(AListe));
}

ITextMetrics* SetTextMetrics(ITextMetrics* AMetrics) {
    ITextMetrics* previous = &metrics();
    currentMetrics = AMetrics == &screenMetrics() ? nullptr : AMetrics;
    return previous;
}

int GetFontTextHeight(const QFont& AFont) {
    return std::max(0, metrics().Height(AFont));
}

int GetFontTextWidth(const QFont& AFont, const QString& AText) {
    if (AText.isEmpty()) return 0;
    return std::max(0, metrics().Width(AFont, AText));
}

int GetFontTextWidthPadded(const QFont& AFont, const QString& AText) {
    return GetFontTextWidth(AFont, AText + QLatin1Char(' '));
}

int GetControlHeight(const QFont& AFont, const QWidget* AControl) {
    int h = GetFontTextHeight(AFont);
    if (h <= 0) h = ErsatzHoehe;
    if (qobject_cast<const QLineEdit*>(AControl) || qobject_cast<const QAbstractSpinBox*>(AControl))
        return h + EditZugabe;
    if (qobject_cast<const QPushButton*>(AControl)) return h + ButtonZugabe;
    if (qobject_cast<const QStatusBar*>(AControl)) return h + StatusBarZugabe;
    if (qobject_cast<const QGroupBox*>(AControl) || qobject_cast<const QCheckBox*>(AControl) ||
        qobject_cast<const QRadioButton*>(AControl))
        return h + AuswahlZugabe;
    return h;
}

void ApplyTrainingFont(QWidget* ARoot, const TDialogAussehen& AAussehen) {
    if (!ARoot) return;
    const QList<QWidget*> widgets = ARoot->findChildren<QWidget*>();
    for (QWidget* w : widgets) {
        if (qobject_cast<QPushButton*>(w)) {
            w->setFont(AAussehen.Schrift);
        } else if (isTextBearing(w)) {
            w->setFont(AAussehen.Schrift);
            setColours(w, AAussehen, qobject_cast<QComboBox*>(w) != nullptr);
            if (needsOwnBackground(w)) w->setAutoFillBackground(true);
        }
    }
}

QSize LayoutButtons(const QList<QPushButton*>& AButtons) {
    QString widest;
    for (const QPushButton* b : AButtons) {
        const QString caption = b->text().remove(QLatin1Char('&'));
        if (caption.size() > widest.size()) widest = caption;
    }
    QSize result(0, 0);
    for (QPushButton* b : AButtons) {
        const int h = GetControlHeight(b->font(), b);
        const int w = GetFontTextWidthPadded(b->font(), widest + QStringLiteral("MM"));
        b->setFixedSize(w, h);
        result = result.expandedTo(QSize(w, h));
    }
    return result;
}

TKatDlg::TKatDlg(QWidget* AOwner, const TDialogAussehen& AAussehen) : QDialog(AOwner), FAussehen(AAussehen) {
    FListBox1 = new QListWidget(this);
    FListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    FBtn1Weiter = new QPushButton(this);
    FBtn1Weiter->setDefault(true);
    FBtn2Abbrechen = new QPushButton(this);
    // The list comes first in the tab order, then the buttons.
    setTabOrder(FListBox1, FBtn1Weiter);
    setTabOrder(FBtn1Weiter, FBtn2Abbrechen);
    EintragBeiFokusMelden(FListBox1);
    connect(FBtn1Weiter, &QPushButton::clicked, this, &QDialog::accept);
    connect(FBtn2Abbrechen, &QPushButton::clicked, this, &QDialog::reject);
    FTimer1Fokus = new QTimer(this);
    FTimer1Fokus->setSingleShot(true);
    FTimer1Fokus->setInterval(FokusVerzoegerung);
    connect(FTimer1Fokus, &QTimer::timeout, this, &TKatDlg::Timer1FokusTimer);
    CaptionZuweisen();
}

void TKatDlg::SetAussehen(const TDialogAussehen& AAussehen) {
    FAussehen = AAussehen;
}

void TKatDlg::SetCaption(const QString& ACaption) {
    setWindowTitle(ACaption);
    // A screen reader names the list after the dialog's purpose.
    FListBox1->setAccessibleName(ACaption);
}

void TKatDlg::SetListText(const QString& ATitelText) {
    QString text = ATitelText;
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines;
    if (!text.isEmpty()) {
        lines = text.split(QLatin1Char('\n'));
        if (text.endsWith(QLatin1Char('\n'))) lines.removeLast();
    }
    SetItems(lines);
}

void TKatDlg::SetItems(const QStringList& ATitel) {
    FListBox1->clear();
    FListBox1->addItems(ATitel);
}

QStringList TKatDlg::Items() const {
    QStringList result;
    for (int i = 0; i < FListBox1->count(); ++i)
        result << FListBox1->item(i)->text();
    return result;
}

void TKatDlg::SetItemIndex(int AIndex) {
    if (AIndex >= 0 && AIndex < FListBox1->count()) {
        FListBox1->setCurrentRow(AIndex);
    } else {
        FListBox1->setCurrentRow(-1);
        FListBox1->clearSelection();
    }
}

int TKatDlg::ItemIndex() const {
    const QList<QListWidgetItem*> selected = FListBox1->selectedItems();
    return selected.isEmpty() ? -1 : FListBox1->row(selected.first());
}

void TKatDlg::SetTitel(const QString& ATitelText, int AAktivNr) {
    SetListText(ATitelText);
    // An index the list does not have (a stale remembered number) would leave
    // nothing selected and OK would choose nothing; the first entry is the
    // sensible start then, as for no choice at all.
    SetItemIndex(AAktivNr >= 0 && AAktivNr < FListBox1->count() ? AAktivNr : 0);
}

void TKatDlg::CaptionZuweisen() {
    SetCaption(QStringLiteral("Trainingsbereich wählen"));
    FBtn1Weiter->setText(QStringLiteral("&Weiter"));
    FBtn2Abbrechen->setText(QStringLiteral("&Abbrechen"));
}

void TKatDlg::SchriftartZuweisen() {
    ApplyTrainingFont(this, FAussehen);
    SchalterEinrichten();
}

QWidget* DialogBezugsfenster(const QWidget* ADialog) {
    if (QWidget* owner = ADialog->parentWidget()) return owner->window();
    const QList<QWidget*> windows = QApplication::topLevelWidgets();
    for (QWidget* w : windows)
        if (w != ADialog && qobject_cast<QMainWindow*>(w)) return w;
    return nullptr;
}

void DialogZentrieren(QWidget* ADialog) {
    const QWidget* ref = DialogBezugsfenster(ADialog);
    if (!ref) return;
    const QRect r = ref->geometry();
    ADialog->setGeometry(r.left() + (r.width() - ADialog->width()) / 2,
                         r.top() + (r.height() - ADialog->height()) / 2, ADialog->width(), ADialog->height());
}

void TKatDlg::SchalterEinrichten() {
    const QSize btn = LayoutButtons({FBtn1Weiter, FBtn2Abbrechen});
    int w = width();
    int h = height();
    if (const QWidget* ref = DialogBezugsfenster(this)) {
        w = static_cast<int>(ref->width() * 95 / 100.0);
        h = static_cast<int>(ref->height() * 80 / 100.0);
    }
    setFixedSize(w, h);
    const int listHeight = std::max(0, h - btn.height() - 2 * KatRand);
    FListBox1->setGeometry(KatRand, KatRand, std::max(0, w - 2 * KatRand), listHeight);
    const int top = KatRand + listHeight + KatRand;
    const int left = (w - 2 * btn.width()) / 3;
    FBtn1Weiter->move(left, top);
    FBtn2Abbrechen->move(2 * left + btn.width(), top);
    FensterEinrichten();
}

void TKatDlg::FensterEinrichten() {
    DialogZentrieren(this);
}

void TKatDlg::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    SchriftartZuweisen();
    FListBox1->setFocus(Qt::OtherFocusReason);
    FEintragZeigenS = true;
    FTimer1Fokus->start();
}

bool TKatDlg::event(QEvent* AEvent) {
    // The window becomes active only after it is shown, and only then does a
    // screen reader follow the focus; the timer counts from then.
    if (AEvent->type() == QEvent::WindowActivate && FEintragZeigenS) FTimer1Fokus->start();
    return QDialog::event(AEvent);
}

void TKatDlg::Timer1FokusTimer() {
    // Not active yet: the activation starts the timer again.
    if (!isVisible() || !isActiveWindow()) return;
    FEintragZeigenS = false;
    FListBox1->setFocus(Qt::OtherFocusReason);
    // When the dialog opens, a screen reader names the window and the list but
    // not the entry the user is on: the list got its current entry before it
    // had the focus.
    EintragMelden(FListBox1);
}
