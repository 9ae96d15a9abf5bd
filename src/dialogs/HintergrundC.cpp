#include "HintergrundC.h"

#include "KatDlgC.h"

#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <array>

namespace {

struct HintergrundRec {
    const char* Name;
    QRgb Farbe;
};

// Dunkelgrau and Hellgrau repeat the colours of Grau and Silber; a colour
// therefore maps back to the first of its entries.
const std::array<HintergrundRec, THintergrundForm::HintergrundAnzahl> HintergrundTabelle{{
    {"Schwarz", 0x000000},    {"Weiß", 0xFFFFFF},       {"Gelb", 0xFFFF00},     {"Blau", 0x0000FF},
    {"Marineblau", 0x000080}, {"Himmelblau", 0xA6CAF0}, {"Blaugrün", 0x008080}, {"Grün", 0x008000},
    {"Minzgrün", 0xC0DCC0},   {"Gelbgrün", 0x00FF00},   {"Olivgrün", 0x808000}, {"Grau", 0x808080},
    {"Dunkelgrau", 0x808080}, {"Hellgrau", 0xC0C0C0},   {"Rot", 0xFF0000},      {"Purpur", 0x800080},
    {"Lila", 0xFF00FF},       {"Silber", 0xC0C0C0},     {"Braun", 0x800000},
}};

} // namespace

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
    return QString::fromUtf8(HintergrundTabelle[static_cast<std::size_t>(GueltigeNr(ANr))].Name);
}

QColor THintergrundForm::HintergrundFarbeVon(int ANr) {
    return QColor::fromRgb(HintergrundTabelle[static_cast<std::size_t>(GueltigeNr(ANr))].Farbe);
}

int THintergrundForm::FarbeZuHintergrundNr(const QColor& AFarbe, int ANichtGefunden) {
    if (!AFarbe.isValid()) return ANichtGefunden;
    const QRgb gesucht = AFarbe.rgb() & 0xFFFFFF;
    for (std::size_t i = 0; i < HintergrundTabelle.size(); ++i)
        if (HintergrundTabelle[i].Farbe == gesucht) return static_cast<int>(i);
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
    MerkItemIndex = HintergrundNr();
    SchalterEinrichten();
    FListBox1->setFocus(Qt::OtherFocusReason);
}

void THintergrundForm::reject() {
    if (MerkItemIndex >= 0) FListBox1->setCurrentRow(MerkItemIndex);
    QDialog::reject();
}
