#include "Zugaenglichkeit.h"

#include <QAccessible>
#include <QWidget>

namespace {

QAccessible::UpdateHandler sWeiter = nullptr;
bool sEingerichtetS = false;

bool FensterNieGezeigt(QObject* AObjekt) {
    const auto* widget = qobject_cast<QWidget*>(AObjekt);
    return widget && !widget->window()->testAttribute(Qt::WA_WState_Created);
}

void Melden(QAccessibleEvent* AEvent) {
    const QAccessible::Event typ = AEvent->type();
    if ((typ == QAccessible::NameChanged || typ == QAccessible::DescriptionChanged) &&
        FensterNieGezeigt(AEvent->object()))
        return;
    if (sWeiter) {
        sWeiter(AEvent);
        return;
    }
    // Without a handler Qt hands the event to the platform's bridge.
    QAccessible::installUpdateHandler(nullptr);
    QAccessible::updateAccessibility(AEvent);
    QAccessible::installUpdateHandler(&Melden);
}

} // namespace

void UngezeigteNamenNichtMelden() {
    if (sEingerichtetS) return;
    sEingerichtetS = true;
    sWeiter = QAccessible::installUpdateHandler(&Melden);
}
