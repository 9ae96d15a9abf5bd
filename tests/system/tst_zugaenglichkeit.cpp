// What the screen reader hears of a window before and as it first appears:
// the events Qt hands to the installed handler go through the filter to the
// handler installed before it.

#include "Zugaenglichkeit.h"

#include <QAccessible>
#include <QApplication>
#include <QPushButton>
#include <QTest>

namespace {

int sGehoert = 0;
void Hoeren(QAccessibleEvent*) {
    ++sGehoert;
}
QAccessible::UpdateHandler sFilter = nullptr;

enum TZustand { zNieErstellt, zErscheint, zGemeldet, zGezeigt };

} // namespace

class TstZugaenglichkeit : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() {
        QAccessible::installUpdateHandler(&Hoeren);
        UngezeigteFensterNichtMelden();
        UngezeigteFensterNichtMelden();
        sFilter = QAccessible::installUpdateHandler(nullptr);
        QAccessible::installUpdateHandler(sFilter);
        QVERIFY(sFilter && sFilter != &Hoeren);
    }

    void fenster_data() {
        QTest::addColumn<int>("zustand");
        QTest::addColumn<bool>("kind"); // else the window itself
        QTest::addColumn<int>("art");
        QTest::addColumn<bool>("gehoert");
        const int name = QAccessible::NameChanged, zeigen = QAccessible::ObjectShow;
        QTest::addRow("nie erstellt: Name") << int(zNieErstellt) << true << name << false;
        QTest::addRow("nie erstellt: Zustand")
            << int(zNieErstellt) << true << int(QAccessible::StateChanged) << false;
        QTest::addRow("nie erstellt: Titel") << int(zNieErstellt) << false << name << false;
        QTest::addRow("nie erstellt: Aufbau")
            << int(zNieErstellt) << true << int(QAccessible::ObjectCreated) << true;
        QTest::addRow("erscheint: Knopf") << int(zErscheint) << true << zeigen << false;
        QTest::addRow("erscheint: Name") << int(zErscheint) << true << name << false;
        QTest::addRow("erscheint: verborgen")
            << int(zErscheint) << true << int(QAccessible::ObjectHide) << true;
        QTest::addRow("erscheint: Fenster") << int(zErscheint) << false << zeigen << true;
        QTest::addRow("schon gemeldet: Knopf") << int(zGemeldet) << true << zeigen << true;
        QTest::addRow("gezeigt: Knopf") << int(zGezeigt) << true << zeigen << true;
        QTest::addRow("gezeigt: Name") << int(zGezeigt) << true << name << true;
    }
    void fenster() {
        QFETCH(int, zustand);
        QFETCH(bool, kind);
        QFETCH(int, art);
        QFETCH(bool, gehoert);
        QWidget fenster;
        auto* knopf = new QPushButton(QStringLiteral("Ja"), &fenster);
        if (zustand != zNieErstellt) fenster.winId(); // created, not yet on the screen
        if (zustand == zGemeldet) {
            QAccessibleEvent titel(&fenster, QAccessible::NameChanged);
            sFilter(&titel);
        }
        if (zustand == zGezeigt) {
            fenster.show();
            QVERIFY(QTest::qWaitForWindowExposed(&fenster));
        }
        QObject* ziel = kind ? static_cast<QObject*>(knopf) : &fenster;
        sGehoert = 0;
        if (art == QAccessible::StateChanged) {
            QAccessible::State zustandNeu;
            zustandNeu.checked = true;
            QAccessibleStateChangeEvent event(ziel, zustandNeu);
            sFilter(&event);
        } else {
            QAccessibleEvent event(ziel, QAccessible::Event(art));
            sFilter(&event);
        }
        QCOMPARE(sGehoert == 1, gehoert);
    }

    void andereObjekteUnberuehrt() {
        QObject objekt;
        sGehoert = 0;
        QAccessibleEvent event(&objekt, QAccessible::NameChanged);
        sFilter(&event);
        QCOMPARE(sGehoert, 1);
    }
};

QTEST_MAIN(TstZugaenglichkeit)
#include "tst_zugaenglichkeit.moc"
