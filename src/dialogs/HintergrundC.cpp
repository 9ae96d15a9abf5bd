#include "HintergrundC.h"

#include "DialogKit.h"
#include "Farbtabelle.h"

#include <QListWidget>
#include <QPushButton>
#include <QShowEvent>

#include <algorithm>

int THintergrundForm::GueltigeNr(int ANr) {
    return ANr < 0 || ANr >= HintergrundAnzahl ? 0 : ANr;
}

THintergrundForm::THintergrundForm(QWidget* AOwner, int ABtnWidth, int ARand)
    : QDialog(AOwner), FBtnWidth(ABtnWidth), FRand(ARand) {
    FListBox1 = new QListWidget(this);
    FListBox1->setSelectionMode(QAbstractItemView::SingleSelection);
    FButton1 = new QPushButton(this);
    FButton1->setDefault(true);
    FButton2 = new QPushButton(this);
    connect(FButton1, &QPushButton::clicked, this, &QDialog::accept);
    connect(FButton2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void THintergrundForm::FormCreate() {
    CaptionZuweisen(QStringLiteral("Schrifthintergrund wählen"), QStringLiteral("O&K"),
                    QStringLiteral("&Abbrechen"));
}

QString THintergrundForm::HintergrundName(int ANr) {
    return TFarbtabelle::HintergrundName(GueltigeNr(ANr));
}

QColor THintergrundForm::HintergrundFarbeVon(int ANr) {
    return TFarbtabelle::HintergrundFarbe(GueltigeNr(ANr));
}

int THintergrundForm::FarbeZuHintergrundNr(const QColor& AFarbe, int ANichtGefunden) {
    if (!AFarbe.isValid()) return ANichtGefunden;
    const QRgb gesucht = AFarbe.rgb() & 0xFFFFFF;
    for (int i = 0; i < HintergrundAnzahl; ++i)
        if ((HintergrundFarbeVon(i).rgb() & 0xFFFFFF) == gesucht) return i;
    return ANichtGefunden;
}

int THintergrundForm::HintergrundNr() const {
    return FListBox1->currentRow();
}

void THintergrundForm::SetHintergrundNr(int ANr) {
    FListBox1->setCurrentRow(GueltigeNr(ANr));
}

QColor THintergrundForm::HintergrundFarbe() const {
    return HintergrundFarbeVon(HintergrundNr());
}

void THintergrundForm::CaptionZuweisen(const QString& ACaption, const QString& AOk,
                                       const QString& AAbbrechen) {
    setWindowTitle(ACaption);
    FListBox1->setAccessibleName(ACaption);
    FButton1->setText(AOk);
    FButton2->setText(AAbbrechen);
    FListBox1->clear();
    for (int i = 0; i < HintergrundAnzahl; ++i)
        FListBox1->addItem(HintergrundName(i));
}

void THintergrundForm::SchalterEinrichten() {
    // Buttons of the given width side by side under the list, FRand apart.
    const int h = GetControlHeight(FButton1->font(), FButton1);
    FButton1->setFixedSize(FBtnWidth, h);
    FButton2->setFixedSize(FBtnWidth, h);
    const int listWidth = std::max(2 * FBtnWidth + FRand, 0);
    const int listHeight =
        std::max(FListBox1->sizeHintForRow(0), 1) * HintergrundAnzahl + 2 * FListBox1->frameWidth();
    FListBox1->setGeometry(FRand, FRand, listWidth, listHeight);
    const int top = FRand + listHeight + FRand;
    FButton1->move(FRand, top);
    FButton2->move(FRand + FBtnWidth + FRand, top);
    setFixedSize(FRand + listWidth + FRand, top + h + FRand);
}

void THintergrundForm::showEvent(QShowEvent* AEvent) {
    QDialog::showEvent(AEvent);
    // A window restored from the task bar is shown again by the window
    // system; that is no new showing.
    if (AEvent->spontaneous()) return;
    MerkItemIndex = HintergrundNr();
    SchalterEinrichten();
    FListBox1->setFocus(Qt::OtherFocusReason);
}

void THintergrundForm::reject() {
    if (MerkItemIndex >= 0) FListBox1->setCurrentRow(MerkItemIndex);
    QDialog::reject();
}
