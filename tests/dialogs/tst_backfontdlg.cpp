#include "BackFontDlgC.h"

#include "DialogKit.h"

#include "FakeServices.h"
#include "SpeechFakes.h"
#include "TolkSRD.h"

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <memory>

namespace {

QStringList familien() {
    QStringList l;
    for (const QString& f : QFontDatabase::families())
        if (!QFontDatabase::isPrivateFamily(f)) l << f;
    return l;
}

// A dialog over a shown owner, with a recording screen reader and scripted
// message boxes.
struct TAufbau {
    TFakeSprache Sprache;
    TTolkSRD Tolk{Sprache.Platform().Treiber};
    TFakeMessageBoxes Boxen;
    QWidget Owner;
    std::unique_ptr<TBackFontDlg> Dlg;

    TAufbau(const QFont& AFont, const QColor& ASchrift, const QColor& AHintergrund, bool AMitTolkS = true) {
        Tolk.Load();
        Owner.resize(800, 600);
        Owner.show();
        Dlg = std::make_unique<TBackFontDlg>(&Owner, AHintergrund, AFont, ASchrift,
                                             AMitTolkS ? &Tolk : nullptr, &Boxen);
    }
    // Shows the dialog and waits until its timer has put the focus on the font
    // list.
    bool Zeigen() {
        Dlg->show();
        return QTest::qWaitForWindowActive(Dlg.get()) &&
               QTest::qWaitFor([this] { return QApplication::focusWidget() == Dlg->LvFonts(); });
    }
    QStringList Ansagen() const { return Sprache.Welt->Aufrufe.filter(QStringLiteral("Orca.Output(")); }
    void Taste(Qt::Key AKey, Qt::KeyboardModifiers AMods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), AKey, AMods);
    }
    void Tasten(Qt::Key AKey, int AMal) {
        for (int i = 0; i < AMal; ++i)
            Taste(AKey);
    }
};

QFont schrift(const QString& AFamilie, int AGroesse) {
    QFont f(AFamilie);
    f.setPointSize(AGroesse);
    return f;
}

} // namespace

class TstBackFontDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void roundTrip_data();
    void roundTrip();
    void announcementsAfterShowingAndPerControl_data();
    void announcementsAfterShowingAndPerControl();
    void equalColoursAsk_data();
    void equalColoursAsk();
    void sizeField_data();
    void sizeField();
    void controlsNamedForScreenReader_data();
    void controlsNamedForScreenReader();
    void colourChangeByKeySpoken_data();
    void colourChangeByKeySpoken();
    void emptyTextsTakeDefaults();
    void untouchedFontIsKept();
    void minimisingKeepsTheChoice();
    void layoutKeepsControlsApart();

private:
    QStringList FFamilien;
};

void TstBackFontDlg::initTestCase() {
    FFamilien = familien();
    QVERIFY2(FFamilien.size() >= 2, "two installed font families needed (fonts-dejavu-core)");
}

void TstBackFontDlg::roundTrip_data() {
    QTest::addColumn<bool>("tolkS"); // without a dispatcher the dialog works silently
    QTest::addColumn<QString>("groesse");
    QTest::addColumn<bool>("geaendertS"); // one row down, bold, "Blau" on "Gelb"
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("ergebnis");
    QTest::newRow("OK unchanged") << true << "12" << false << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("OK all changed") << true << "20" << true << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("silent") << false << "20" << true << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Escape") << true << "20" << true << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TstBackFontDlg::roundTrip() {
    QFETCH(bool, tolkS);
    QFETCH(QString, groesse);
    QFETCH(bool, geaendertS);
    QFETCH(int, taste);
    QFETCH(int, ergebnis);
    QFont alt = schrift(FFamilien.at(0), 12);
    alt.setItalic(true);
    TAufbau a(alt, Qt::black, Qt::white, tolkS);
    QVERIFY(a.Zeigen());
    a.Tasten(Qt::Key_Down, geaendertS ? 1 : 0);
    a.Taste(Qt::Key_Tab);
    a.Taste(Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(QApplication::focusWidget(), groesse);
    a.Taste(Qt::Key_Tab);
    if (geaendertS) a.Taste(Qt::Key_Space);
    a.Taste(Qt::Key_Tab);
    a.Tasten(Qt::Key_Down, geaendertS ? 3 : 0);
    a.Taste(Qt::Key_Tab);
    a.Tasten(Qt::Key_Down, geaendertS ? 1 : 0);
    a.Taste(static_cast<Qt::Key>(taste));

    QVERIFY(!a.Dlg->isVisible());
    QCOMPARE(a.Dlg->result(), ergebnis);
    QVERIFY(a.Boxen.Gefragt.isEmpty());
    QCOMPARE(a.Ansagen().isEmpty(), !tolkS);
    if (ergebnis != QDialog::Accepted) return;
    QFont neu;
    QColor farbe;
    a.Dlg->GetNewFont(neu, farbe);
    QCOMPARE(neu.family(), FFamilien.at(geaendertS ? 1 : 0));
    QCOMPARE(neu.pointSize(), groesse.toInt());
    QCOMPARE(neu.bold(), geaendertS);
    QVERIFY(!neu.italic()); // the dialog offers only bold; the caller keeps the rest
    QCOMPARE(farbe, geaendertS ? QColor(0, 0, 255) : QColor(Qt::black));
    QCOMPARE(a.Dlg->NewBackColor(), geaendertS ? QColor(255, 255, 0) : QColor(Qt::white));
}

void TstBackFontDlg::announcementsAfterShowingAndPerControl_data() {
    QTest::addColumn<QString>("familie"); // empty: not installed
    QTest::addColumn<int>("groesse");
    QTest::addColumn<QColor>("farbe");
    QTest::addColumn<QColor>("hintergrund");
    QTest::addColumn<int>("zeile");
    QTest::addColumn<QStringList>("ansagen");
    const QString f0 = familien().value(0);
    const QString f1 = familien().value(1);
    QTest::newRow("current values marked")
        << f0 << 12 << QColor(Qt::black) << QColor(Qt::white) << 0
        << QStringList{"Schriftart: *" + f0, "Schriftgröße (5 bis 35): 12", "Schriftfarbe: *Schwarz",
                       "Hintergrundfarbe: *Weiß (Hintergrund)"};
    QTest::newRow("silver on navy") << f1 << 8 << QColor(0xC0, 0xC0, 0xC0) << QColor(0, 0, 0x80) << 1
                                    << QStringList{"Schriftart: *" + f1, "Schriftgröße (5 bis 35): 8",
                                                   "Schriftfarbe: *Silber",
                                                   "Hintergrundfarbe: *Marineblau (Hintergrund)"};
    // A font that is not installed: the row of the font drawn in its place.
    const QString ersatz = QFontInfo(QFont(QStringLiteral("Keine solche Schrift"))).family();
    QTest::newRow("nothing known") << "" << 72 << QColor(0x12, 0x34, 0x56) << QColor(0x65, 0x43, 0x21)
                                   << int(familien().indexOf(ersatz))
                                   << QStringList{"Schriftart: *" + ersatz, "Schriftgröße (5 bis 35): 35",
                                                  "Schriftfarbe: Schwarz",
                                                  "Hintergrundfarbe: Schwarz (Hintergrund)"};
}

void TstBackFontDlg::announcementsAfterShowingAndPerControl() {
    QFETCH(QString, familie);
    QFETCH(int, groesse);
    QFETCH(QColor, farbe);
    QFETCH(QColor, hintergrund);
    QFETCH(int, zeile);
    QFETCH(QStringList, ansagen);
    TAufbau a(schrift(familie.isEmpty() ? QStringLiteral("Keine solche Schrift") : familie, groesse), farbe,
              hintergrund);
    int zeilenMeldungen = 0;
    connect(a.Dlg->LvFonts()->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [&zeilenMeldungen](const QModelIndex& AIndex) { zeilenMeldungen += AIndex.isValid(); });
    a.Dlg->show();
    QVERIFY(a.Ansagen().isEmpty()); // nothing before the dialog is on the screen
    QVERIFY(QTest::qWaitForWindowActive(a.Dlg.get()));
    QTRY_COMPARE(a.Ansagen().size(), 1);
    QCOMPARE(zeilenMeldungen, 1); // the font row is reported to the screen reader once
    QCOMPARE(QApplication::focusWidget(), a.Dlg->LvFonts());
    QCOMPARE(a.Dlg->LvFonts()->currentRow(), zeile);
    QCOMPARE(a.Dlg->LvFonts()->selectedItems().size(), 1);
    a.Tasten(Qt::Key_Tab, 4); // size, bold (silent), font colour, background
    QStringList erwartet;
    for (const QString& s : ansagen)
        erwartet << QStringLiteral("Orca.Output(%1,0)").arg(s);
    QCOMPARE(a.Ansagen(), erwartet);
}

void TstBackFontDlg::equalColoursAsk_data() {
    QTest::addColumn<QColor>("hintergrund");
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("antwort");
    QTest::addColumn<bool>("gefragtS");
    QTest::addColumn<bool>("offenS");
    QTest::newRow("Ja closes") << QColor(Qt::black) << int(Qt::Key_Return) << int(TMsgAntwort::Ja) << true
                               << false;
    QTest::newRow("Nein stays") << QColor(Qt::black) << int(Qt::Key_Return) << int(TMsgAntwort::Nein) << true
                                << true;
    QTest::newRow("Escape never asks")
        << QColor(Qt::black) << int(Qt::Key_Escape) << int(TMsgAntwort::Nein) << false << false;
    QTest::newRow("different colours")
        << QColor(Qt::white) << int(Qt::Key_Return) << int(TMsgAntwort::Nein) << false << false;
}

void TstBackFontDlg::equalColoursAsk() {
    QFETCH(QColor, hintergrund);
    QFETCH(int, taste);
    QFETCH(int, antwort);
    QFETCH(bool, gefragtS);
    QFETCH(bool, offenS);
    TAufbau a(schrift(FFamilien.at(0), 12), Qt::black, hintergrund);
    a.Boxen.Antworten.push_back(static_cast<TMsgAntwort>(antwort));
    QVERIFY(a.Zeigen());
    a.Taste(static_cast<Qt::Key>(taste));
    QCOMPARE(a.Boxen.Gefragt.size(), gefragtS ? 1 : 0);
    if (gefragtS)
        QCOMPARE(a.Boxen.Gefragt.at(0).Text, "Schriftfarbe und Hintergrundfarbe sind identisch!\r\nSoll "
                                             "trotzdem fortgesetzt werden?");
    QCOMPARE(a.Dlg->isVisible(), offenS);
    if (!offenS) return;
    QCOMPARE(QApplication::focusWidget(), a.Dlg->CoBoColors());
    QCOMPARE(a.Ansagen().last(), "Orca.Output(Schriftfarbe: *Schwarz,0)");
}

void TstBackFontDlg::sizeField_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("okS");
    QTest::addColumn<int>("danach");
    QTest::newRow("4") << "4" << false << 5;
    QTest::newRow("5") << "5" << true << 5;
    QTest::newRow("20") << "20" << true << 20;
    QTest::newRow("35") << "35" << true << 35;
    QTest::newRow("36") << "36" << false << 35;
    QTest::newRow("empty") << "" << false << 5;
    QTest::newRow("letters refused") << "a" << false << 5;
}

void TstBackFontDlg::sizeField() {
    QFETCH(QString, text);
    QFETCH(bool, okS);
    QFETCH(int, danach);
    TAufbau a(schrift(FFamilien.at(0), 12), Qt::black, Qt::white);
    QVERIFY(a.Zeigen());
    a.Taste(Qt::Key_Tab);
    a.Taste(Qt::Key_A, Qt::ControlModifier);
    a.Taste(Qt::Key_Delete);
    QTest::keyClicks(QApplication::focusWidget(), text);
    QCOMPARE(a.Dlg->Btn1OK()->isEnabled(), okS);
    QCOMPARE(a.Dlg->EditTest()->font().pointSize(), 12); // not while typing
    if (!okS) {
        // Enter neither corrects the size nor closes the dialog
        a.Taste(Qt::Key_Return);
        QVERIFY(a.Dlg->isVisible());
        QCOMPARE(a.Dlg->LeSize()->text(), text.left(text == QLatin1String("a") ? 0 : 2));
    }
    a.Taste(Qt::Key_Tab);
    QCOMPARE(a.Dlg->LeSize()->value(), danach);
    QCOMPARE(a.Dlg->LeSize()->text(), QString::number(danach));
    QVERIFY(a.Dlg->Btn1OK()->isEnabled());
    QCOMPARE(a.Dlg->EditTest()->font().pointSize(), danach);
}

void TstBackFontDlg::controlsNamedForScreenReader_data() {
    QTest::addColumn<QString>("objekt");
    QTest::addColumn<int>("rolle");
    QTest::addColumn<QString>("name");
    // The label a screen reader names the control after (on Linux a drop-down
    // list's own name is its value); empty: none.
    QTest::addColumn<QString>("label");
    QTest::newRow("font list") << "LvFonts" << int(QAccessible::List) << "Schriftart" << QString();
    QTest::newRow("size") << "LeSize" << int(QAccessible::SpinBox) << "Schriftgröße (5-35):"
                          << "Schriftgröße (5-35):";
    QTest::newRow("bold") << "CbBold" << int(QAccessible::CheckBox) << "Fett" << QString();
    QTest::newRow("font colour") << "CoBoColors" << int(QAccessible::ComboBox) << "Schriftfarbe"
                                 << "Schriftfarbe";
    QTest::newRow("background") << "CoBoBackColors" << int(QAccessible::ComboBox) << "Hintergrundfarbe"
                                << "Hintergrundfarbe";
    QTest::newRow("preview") << "EditTest" << int(QAccessible::EditableText) << "Vorschau" << QString();
    QTest::newRow("OK") << "Btn1OK" << int(QAccessible::Button) << "OK" << QString();
    QTest::newRow("cancel") << "Btn2Cancel" << int(QAccessible::Button) << "Abbrechen" << QString();
}

void TstBackFontDlg::controlsNamedForScreenReader() {
    QFETCH(QString, objekt);
    QFETCH(int, rolle);
    QFETCH(QString, name);
    QFETCH(QString, label);
    TBackFontDlg dlg(nullptr, Qt::white, QFont(), Qt::black, nullptr);
    auto* w = dlg.findChild<QWidget*>(objekt);
    QVERIFY(w);
    QCOMPARE(w->accessibleName(), name);
    QAccessibleInterface* iface = QAccessible::queryAccessibleInterface(w);
    QVERIFY(iface);
    QCOMPARE(int(iface->role()), rolle);
    QStringList labels;
    for (const auto& [ziel, art] : iface->relations(QAccessible::Label)) {
        QVERIFY(qobject_cast<QLabel*>(ziel->object()));
        labels << ziel->text(QAccessible::Name);
    }
    QCOMPARE(labels, label.isEmpty() ? QStringList() : QStringList{label});
}

void TstBackFontDlg::colourChangeByKeySpoken_data() {
    QTest::addColumn<QString>("objekt");
    QTest::addColumn<QList<int>>("tasten");
    QTest::addColumn<bool>("aufklappenS"); // the choice is made in the opened drop-down list
    QTest::addColumn<int>("index");
    QTest::addColumn<QStringList>("ansagen"); // after the list's own on entering
    const QList<int> runter{Qt::Key_Down};
    QTest::newRow("font colour down")
        << "CoBoColors" << runter << false << 1 << QStringList{"Schriftfarbe: Weiß,1"};
    QTest::newRow("held key: the last colour only")
        << "CoBoColors" << QList<int>{Qt::Key_Down, Qt::Key_Down, Qt::Key_Down} << false << 3
        << QStringList{"Schriftfarbe: Blau,1"};
    QTest::newRow("background up") << "CoBoBackColors" << QList<int>{Qt::Key_Up} << false << 0
                                   << QStringList{"Hintergrundfarbe: Schwarz (Hintergrund),1"};
    QTest::newRow("top of the list: no change")
        << "CoBoColors" << QList<int>{Qt::Key_Up} << false << 0 << QStringList{};
    QTest::newRow("left at once: the next list only")
        << "CoBoColors" << QList<int>{Qt::Key_Down, Qt::Key_Tab} << false << 1
        << QStringList{"Hintergrundfarbe: *Weiß (Hintergrund),0"};
    // Orca reads the opened list itself.
    QTest::newRow("drop-down list") << "CoBoColors" << runter << true << 1 << QStringList{};
}

void TstBackFontDlg::colourChangeByKeySpoken() {
    QFETCH(QString, objekt);
    QFETCH(QList<int>, tasten);
    QFETCH(bool, aufklappenS);
    QFETCH(int, index);
    QFETCH(QStringList, ansagen);
    TAufbau a(schrift(FFamilien.at(0), 12), Qt::black, Qt::white);
    QVERIFY(a.Zeigen());
    auto* liste = a.Dlg->findChild<QComboBox*>(objekt);
    liste->setFocus(Qt::TabFocusReason);
    const qsizetype vorher = a.Ansagen().size();
    QWidget* ziel = liste;
    if (aufklappenS) {
        a.Taste(Qt::Key_Down, Qt::AltModifier);
        QTRY_VERIFY(liste->view()->isVisible());
        ziel = liste->view();
    }
    for (int t : tasten)
        QTest::keyClick(ziel, Qt::Key(t));
    if (aufklappenS) {
        QTest::keyClick(ziel, Qt::Key_Return);
        QTRY_VERIFY(!liste->view()->isVisible());
    }
    QCOMPARE(liste->currentIndex(), index);
    QTest::qWait(400);
    QStringList erwartet;
    for (const QString& s : ansagen)
        erwartet << QStringLiteral("Orca.Output(%1)").arg(s);
    QCOMPARE(a.Ansagen().mid(vorher), erwartet);
}

// OK pressed to change a colour keeps a stored font that is not installed.
void TstBackFontDlg::untouchedFontIsKept() {
    TAufbau a(schrift(QStringLiteral("Keine solche Schrift"), 12), Qt::black, Qt::white);
    QVERIFY(a.Zeigen());
    a.Tasten(Qt::Key_Tab, 3);
    a.Taste(Qt::Key_Down);
    a.Taste(Qt::Key_Return);
    QFont neu;
    QColor farbe;
    a.Dlg->GetNewFont(neu, farbe);
    QCOMPARE(neu.family(), QStringLiteral("Keine solche Schrift"));
    QCOMPARE(farbe, QColor(Qt::white));
}

// Restoring a minimised dialog is no new showing: the choice and the focus stay.
void TstBackFontDlg::minimisingKeepsTheChoice() {
    TAufbau a(schrift(FFamilien.at(0), 12), Qt::black, Qt::white);
    QVERIFY(a.Zeigen());
    a.Dlg->LeSize()->setValue(20);
    a.Dlg->CbBold()->setChecked(true);
    a.Dlg->CoBoColors()->setCurrentIndex(3);
    a.Dlg->CbBold()->setFocus(Qt::TabFocusReason);
    a.Dlg->setWindowState(Qt::WindowMinimized);
    a.Dlg->setWindowState(Qt::WindowNoState);
    QTest::qWait(100);
    QCOMPARE(a.Dlg->LeSize()->value(), 20);
    QVERIFY(a.Dlg->CbBold()->isChecked());
    QCOMPARE(a.Dlg->CoBoColors()->currentIndex(), 3);
    QCOMPARE(QApplication::focusWidget(), a.Dlg->CbBold());
}

void TstBackFontDlg::emptyTextsTakeDefaults() {
    TBackFontDlgTexts t;
    t.WindowCaption = QStringLiteral("Aussehen");
    t.ColorNames = QStringList{QString(), QStringLiteral("Schneeweiß")};
    TBackFontDlg dlg(nullptr, Qt::white, QFont(), Qt::black, t, nullptr);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Aussehen"));
    QCOMPARE(dlg.CbBold()->text(), QStringLiteral("&Fett"));
    QCOMPARE(dlg.LeSizeLabel()->text(), QStringLiteral("Schrift&größe (5-35):"));
    QCOMPARE(dlg.CoBoColors()->count(), TColors::Anzahl);
    QCOMPARE(dlg.CoBoColors()->itemText(0), QStringLiteral("Schwarz"));
    QCOMPARE(dlg.CoBoBackColors()->itemText(1), QStringLiteral("Schneeweiß (Hintergrund)"));
    QCOMPARE(dlg.CoBoColors()->itemText(16), QStringLiteral("Braun"));
}

void TstBackFontDlg::layoutKeepsControlsApart() {
    // At the largest size the dialog is larger than the offscreen screen: it
    // keeps to the work area and scrolls its controls, following the focus.
    TAufbau a(schrift(FFamilien.at(0), TBackFontDlg::MaxSize), Qt::black, Qt::white);
    a.Owner.setGeometry(0, 0, 800, 600);
    QVERIFY(a.Zeigen());
    TBackFontDlg& d = *a.Dlg;
    QVERIFY(DialogArbeitsbereich(&d).contains(d.geometry()));
    const QWidget* inhalt = d.LvFonts()->parentWidget();
    QVERIFY(inhalt != &d);
    const QList<QWidget*> controls{d.LvFonts(),        d.LeSizeLabel(),         d.LeSize(),
                                   d.CbBold(),         d.CoBoColors(),          d.CoBoColorsLabel(),
                                   d.CoBoBackColors(), d.CoBoBackColorsLabel(), d.EditTest(),
                                   d.Btn1OK(),         d.Btn2Cancel()};
    for (int i = 0; i < controls.size(); ++i) {
        QVERIFY2(inhalt->rect().contains(controls.at(i)->geometry()),
                 qPrintable(controls.at(i)->objectName()));
        for (int j = i + 1; j < controls.size(); ++j)
            QVERIFY2(!controls.at(i)->geometry().intersects(controls.at(j)->geometry()),
                     qPrintable(controls.at(i)->objectName() + " / " + controls.at(j)->objectName()));
    }
    // The tab chain is the same, and the button the focus goes to is scrolled into view.
    QTRY_VERIFY(d.LvFonts()->hasFocus());
    QTest::keyClick(d.LvFonts(), Qt::Key_Tab);
    QVERIFY(d.LeSize()->hasFocus());
    d.Btn2Cancel()->setFocus(Qt::TabFocusReason);
    QVERIFY(d.rect().contains(QRect(d.Btn2Cancel()->mapTo(&d, QPoint()), d.Btn2Cancel()->size())));
}

QTEST_MAIN(TstBackFontDlg)
#include "tst_backfontdlg.moc"
