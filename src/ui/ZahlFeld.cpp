#include "ZahlFeld.h"

#include "SystemServices.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

TZahlFeld::TZahlFeld(QWidget* AParent, TArt AArt) : QSpinBox(AParent), FArt(AArt) {
    if (FArt == TArt::Pfeile) {
        lineEdit()->setReadOnly(true);
        lineEdit()->setMaxLength(3);
        setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    } else {
        lineEdit()->setAcceptDrops(false);
    }
}

void TZahlFeld::SetBereich(int AMin, int AMax) {
    setRange(AMin, AMax);
    if (FArt == TArt::Ziffern) lineEdit()->setMaxLength(static_cast<int>(QString::number(AMax).size()));
}

void TZahlFeld::TextAusPosition() {
    lineEdit()->setText(textFromValue(value()));
}

void TZahlFeld::SetEinfuegen(QMenu* AMenu, QAction* AEinfuegen) {
    FMenu = AMenu;
    FEinfuegen = AEinfuegen;
}

bool TZahlFeld::TextGueltig() const {
    QString t = text();
    int pos = lineEdit()->cursorPosition();
    return validate(t, pos) == QValidator::Acceptable;
}

int TZahlFeld::Zugabe() const {
    QStyleOptionSpinBox opt;
    initStyleOption(&opt);
    const QRect feld = style()->subControlRect(QStyle::CC_SpinBox, &opt, QStyle::SC_SpinBoxEditField, this);
    return std::max(0, width() - feld.width());
}

QValidator::State TZahlFeld::validate(QString& AText, int& APos) const {
    if (FArt == TArt::Pfeile) return QSpinBox::validate(AText, APos);
    if (AText.isEmpty()) return QValidator::Intermediate;
    if (AText.size() > lineEdit()->maxLength()) return QValidator::Invalid;
    for (const QChar c : AText)
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) return QValidator::Invalid;
    const int zahl = AText.toInt();
    return zahl >= minimum() && zahl <= maximum() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TZahlFeld::fixup(QString& AText) const {
    if (FArt == TArt::Pfeile) return QSpinBox::fixup(AText);
    bool zahlS = false;
    int zahl = AText.toInt(&zahlS);
    if (!zahlS) zahl = minimum();
    AText = QString::number(std::clamp(zahl, minimum(), maximum()));
}

void TZahlFeld::stepBy(int ASteps) {
    if (OnChanging) OnChanging();
    QSpinBox::stepBy(ASteps);
}

void TZahlFeld::keyPressEvent(QKeyEvent* AEvent) {
    if (FArt == TArt::Ziffern) {
        if (AEvent->matches(QKeySequence::Paste)) {
            if (FEinfuegen) FEinfuegen->trigger();
            AEvent->accept();
            return;
        }
        // A number that has the dialog's OK switched off is not taken by
        // Enter either: the spin box would correct it into the range and the
        // dialog close with a number the user never typed.
        if ((AEvent->key() == Qt::Key_Return || AEvent->key() == Qt::Key_Enter) && !TextGueltig()) {
            SystemBeep();
            AEvent->accept();
            return;
        }
    } else if (!(AEvent->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))) {
        switch (AEvent->key()) {
        case Qt::Key_PageUp:
            setValue(value() + 2 * singleStep());
            return;
        case Qt::Key_PageDown:
            setValue(value() - 2 * singleStep());
            return;
        case Qt::Key_Home:
            setValue(maximum());
            return;
        case Qt::Key_End:
            setValue(minimum());
            return;
        default:
            break;
        }
    }
    QSpinBox::keyPressEvent(AEvent);
}

void TZahlFeld::contextMenuEvent(QContextMenuEvent* AEvent) {
    if (FArt == TArt::Pfeile) return QSpinBox::contextMenuEvent(AEvent);
    // The field's own menu would offer pasting; the given menu has no visible item.
    if (FMenu && !FMenu->isEmpty()) FMenu->popup(AEvent->globalPos());
    AEvent->accept();
}
