#include "KatDlgC.h"

#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>
#include <QTimer>

#include <algorithm>

namespace {

// Distance of the list from the dialog's edges and from the buttons.
constexpr int KatRand = 10;

// Time the screen reader gets to announce the newly active dialog and its
// list before the focus moves to the entry (ms).
constexpr int FokusVerzoegerung = 150;

} // namespace

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
    // A window restored from the task bar is shown again by the window
    // system; that is no new showing.
    if (AEvent->spontaneous()) return;
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
