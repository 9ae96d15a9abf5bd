#include "Zugaenglichkeit.h"

#include <QAccessible>
#include <QWidget>
#include <QWindow>

namespace {

QAccessible::UpdateHandler sWeiter = nullptr;
bool sEingerichtetS = false;

// Set on a window once anything but its structure has been sent about it or
// its widgets: from then on the screen reader may hold their states.
const char* const Gemeldet = "tastaroGemeldet";

bool Strukturell(QAccessible::Event ATyp) {
    return ATyp == QAccessible::ObjectCreated || ATyp == QAccessible::ObjectDestroyed ||
           ATyp == QAccessible::ObjectReorder || ATyp == QAccessible::ParentChanged;
}

// Whether the event goes to the screen reader; a window whose event goes
// out is marked.
bool Senden(QAccessible::Event ATyp, QObject* AObjekt) {
    auto* widget = qobject_cast<QWidget*>(AObjekt);
    if (!widget || Strukturell(ATyp)) return true;
    QWidget* fenster = widget->window();
    if (fenster->property(Gemeldet).toBool()) return true;
    // A window that has never been created is unknown to the screen reader.
    if (!fenster->testAttribute(Qt::WA_WState_Created)) return false;
    // Its widgets as it first appears: the screen reader reads them with the
    // window, whose own events go out.
    if (widget != fenster && ATyp != QAccessible::ObjectHide) {
        const QWindow* handle = fenster->windowHandle();
        if (!handle || !handle->isVisible()) return false;
    }
    fenster->setProperty(Gemeldet, true);
    return true;
}

void Melden(QAccessibleEvent* AEvent) {
    if (!Senden(AEvent->type(), AEvent->object())) return;
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

void UngezeigteFensterNichtMelden() {
    if (sEingerichtetS) return;
    sEingerichtetS = true;
    sWeiter = QAccessible::installUpdateHandler(&Melden);
}
