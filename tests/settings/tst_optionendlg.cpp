#include "OptionenDlgC.h"

#include "Sapi5_1.h"
#include "SpeechFakes.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRadioButton>
#include <QSpinBox>
#include <QStyle>
#include <QTest>

namespace {

class FixedMetrics : public ITextMetrics {
public:
    int Height(const QFont&) const override { return 10; }
    int Width(const QFont&, const QString& AText) const override {
        return static_cast<int>(AText.size()) * 5;
    }
};

// Everything switched on that switches other controls on, and a synthesizer
// voice.
TEinstellungen AllesFrei() {
    TEinstellungen e;
    e.Modus = mNachtippen;
    e.Sapi = sapiEin;
    e.Stimme = QStringLiteral("Anna");
    e.VoiceVolume = 50;
    e.VoiceRate = 0;
    return e;
}

// The dialog over its owner, with recording speech outputs: voices "Anna" and
// "Bernd" on the speech server, "Claudia" in process, and the screen reader.
struct TUmgebung {
    TFakeSprache Sprache;
    std::unique_ptr<TTolkSRD> Tolk;
    QWidget Owner;
    std::unique_ptr<TOptionenDlg> Dlg;

    explicit TUmgebung(const TEinstellungen& AEinstellungen = AllesFrei()) {
        Sprache.StimmenA = {QStringLiteral("Bernd"), QStringLiteral("Anna")};
        Sprache.StimmenB = {QStringLiteral("Claudia")};
        Tolk = std::make_unique<TTolkSRD>(Sprache.Platform().Treiber);
        Tolk->Load();
        Owner.setGeometry(40, 30, 800, 600);
        Dlg = std::make_unique<TOptionenDlg>(&Owner, TDialogAussehen(), Sprache.Platform(), Tolk.get());
        Dlg->SetEinstellungen(AEinstellungen);
    }
    bool Zeigen() {
        Owner.show();
        Dlg->show();
        return QTest::qWaitForWindowActive(Dlg.get());
    }
    template <class T> T* K(const char* AName) const { return Dlg->findChild<T*>(QLatin1String(AName)); }
    QWidget* W(const char* AName) const { return K<QWidget>(AName); }
    QStringList& Aufrufe() { return Sprache.Welt->Aufrufe; }
};

QString FokusName() {
    QWidget* w = QApplication::focusWidget();
    if (qobject_cast<QRadioButton*>(w)) w = w->parentWidget();
    return w ? w->objectName() : QString();
}

} // namespace

class TstOptionenDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void roundTrip_data();
    void roundTrip();
    void enablingRules();
    void tabOrderAndHints();
    void voiceTestInList();
    void voiceListWithoutStoredVoice();
    void sapiGroupIsOneTabStop_data();
    void sapiGroupIsOneTabStop();
    void soundsSpaceSaysState();
    void voiceTestFromNumberFields();
    void numberFieldKeys_data();
    void numberFieldKeys();
    void standardButton();
    void layoutFromTrainingFont();
    void serverVoicesArriveLater();
};

void TstOptionenDlg::roundTrip_data() {
    QTest::addColumn<TEinstellungen>("ein");
    QTest::addColumn<TEinstellungen>("aus");
    const TEinstellungen standard;
    QTest::newRow("defaults") << standard << standard;
    TEinstellungen alles;
    alles.Modus = mNachtippen;
    alles.TextVerschwindenS = true;
    alles.SoundsWiedergebenS = false;
    alles.SoundsArr = {false, true, false, true, false};
    alles.Mp3TextS = alles.GrossKleinS = alles.KorrekturS = alles.BigCursorS = false;
    alles.ProtokollS = true;
    alles.Sapi = sapiBedarf;
    alles.Stimme = QStringLiteral("Claudia");
    alles.VoiceRate = 7;
    alles.VoiceVolume = 35;
    QTest::newRow("every field changed") << alles << alles;
    auto mitStimme = [](const QString& AStimme) {
        TEinstellungen e = AllesFrei();
        e.Stimme = AStimme;
        return e;
    };
    QTest::newRow("voice in other case") << mitStimme("bERND") << mitStimme("Bernd");
    QTest::newRow("voice no longer installed") << mitStimme("Weg") << mitStimme("");
    QTest::newRow("screen reader, Windows name")
        << mitStimme("screenreader (JAWS/NVDA)") << mitStimme(ScreenReaderStimme);
}

void TstOptionenDlg::roundTrip() {
    QFETCH(TEinstellungen, ein);
    QFETCH(TEinstellungen, aus);
    TUmgebung u(ein);
    QCOMPARE(u.Dlg->StimmenSl(), (QStringList{ScreenReaderStimme, "Anna", "Bernd", "Claudia"}));
    QVERIFY(u.Zeigen());
    QVERIFY(u.Dlg->GetEinstellungen() == aus);
}

void TstOptionenDlg::enablingRules() {
    TUmgebung u;
    QVERIFY(u.Zeigen());
    QWidget* liste = u.W("Lv2Stimmen");
    auto zahlenFreiS = [&] { return u.W("Le1Volume")->isEnabled() && u.W("Le2Rate")->isEnabled(); };
    QVERIFY(liste->isEnabled() && zahlenFreiS());

    QTest::keyClick(u.Dlg.get(), Qt::Key_U,
                    Qt::AltModifier); // into the group, on "Ein"
    QCOMPARE(FokusName(), QStringLiteral("Rg1Sapi"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
    QCOMPARE(u.Dlg->GetEinstellungen().Sapi, sapiAus);
    QVERIFY(!liste->isEnabled() && !zahlenFreiS());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
    QVERIFY(liste->isEnabled() && zahlenFreiS());

    liste->setFocus(Qt::TabFocusReason);
    QTest::keyClick(liste, Qt::Key_Home); // the screen reader keeps its own volume and rate
    QVERIFY(!zahlenFreiS());
    QTest::keyClick(liste, Qt::Key_Down);
    QVERIFY(zahlenFreiS());

    // The hide option only applies to copying; its mark survives being disabled.
    auto* verstecken = u.K<QCheckBox>("Cb8TextVerschwinden");
    verstecken->setFocus(Qt::TabFocusReason);
    QTest::keyClick(verstecken, Qt::Key_Space);
    QTest::keyClick(u.W("Cb1ModusUeberschreiben"), Qt::Key_Space);
    QVERIFY(!verstecken->isEnabled());
    QTest::keyClick(u.W("Cb7SoundsWiedergeben"), Qt::Key_Space);
    QVERIFY(!u.W("Lv1Sounds")->isEnabled());
    const TEinstellungen e = u.Dlg->GetEinstellungen();
    QVERIFY(e.TextVerschwindenS && e.Modus == mUeberschreiben && !e.SoundsWiedergebenS);
}

void TstOptionenDlg::tabOrderAndHints() {
    TUmgebung u;
    QVERIFY(u.Zeigen());
    QCOMPARE(FokusName(), QStringLiteral("Cb1ModusUeberschreiben"));
    auto* sounds = u.K<QListWidget>("Lv1Sounds");
    QCOMPARE(sounds->currentRow(), 0);
    QVERIFY(sounds->item(0)->isSelected());

    QStringList folge;
    for (int i = 0; i < 15; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        folge << FokusName();
    }
    QCOMPARE(folge,
             (QStringList{"Cb8TextVerschwinden", "Cb2Korrektur", "Cb3GrossKlein", "Cb4Cursor", "Cb5Protokoll",
                          "Cb6Mp3Text", "Cb7SoundsWiedergeben", "Lv1Sounds", "Rg1Sapi", "Lv2Stimmen",
                          "Le1Volume", "Le2Rate", "Btn1Reset", "Btn2OK", "Btn3Abbrechen"}));
    QStringList hinweise = u.Aufrufe().filter(QStringLiteral("Orca.Output"));
    QCOMPARE(hinweise, (QStringList{"Orca.Output(Sprachunterstützung,0)", "Orca.Output(Stimmen,0)",
                                    "Orca.Output(Lautstärke 5 bis 100,0)",
                                    "Orca.Output(Geschwindigkeit -10 bis +10,0)"}));
}

void TstOptionenDlg::voiceTestInList() {
    TUmgebung u;
    QVERIFY(u.Zeigen());
    QWidget* liste = u.W("Lv2Stimmen");
    liste->setFocus(Qt::TabFocusReason);
    QVERIFY(u.Dlg->InStimmenS());
    QTRY_VERIFY(u.Aufrufe().contains("A.Speak(Anna,1)"));

    // Rows passed through quickly say nothing; the one the user stops on speaks.
    u.Sprache.Gesprochen().clear();
    QTest::keyClick(liste, Qt::Key_Down);
    QTest::keyClick(liste, Qt::Key_Down);
    QTRY_COMPARE(u.Sprache.Gesprochen(), QStringList{"Claudia"});
    QVERIFY(u.Aufrufe().contains("B.Speak(Claudia,1)"));

    // The screen reader row: the screen reader is silenced, then says the name.
    QTest::keyClick(liste, Qt::Key_Home);
    QTRY_VERIFY(u.Aufrufe().endsWith("Orca.Speak(ScreenReader (Orca),1)"));
    QCOMPARE(u.Aufrufe().at(u.Aufrufe().size() - 2), QStringLiteral("Orca.Silence"));

    u.Aufrufe().clear();
    QTest::keyClick(liste, Qt::Key_Tab);
    QVERIFY(!u.Dlg->InStimmenS());
    QTest::qWait(150);
    QVERIFY(u.Aufrufe().filter("Speak").isEmpty());
}

// Entering the list with no voice chosen chooses the entry the list puts the
// user on, so what is announced and tried is what OK stores.
void TstOptionenDlg::voiceListWithoutStoredVoice() {
    TEinstellungen e = AllesFrei();
    e.Stimme.clear();
    TUmgebung u(e);
    QVERIFY(u.Zeigen());
    auto* liste = u.K<QListWidget>("Lv2Stimmen");
    QVERIFY(liste->selectedItems().isEmpty());
    liste->setFocus(Qt::TabFocusReason);
    QCOMPARE(u.Dlg->GetEinstellungen().Stimme, ScreenReaderStimme);
    QTRY_VERIFY(u.Aufrufe().contains("Orca.Speak(ScreenReader (Orca),1)"));
    QTest::keyClick(liste, Qt::Key_Down);
    QCOMPARE(liste->currentRow(), 1);
    QCOMPARE(u.Dlg->GetEinstellungen().Stimme, liste->item(1)->text());
}

// The group is one tab stop, on the checked button; the arrows still choose.
void TstOptionenDlg::sapiGroupIsOneTabStop_data() {
    QTest::addColumn<int>("sapi");
    QTest::addColumn<QString>("von");
    QTest::addColumn<bool>("rueckwaertsS");
    for (int sapi = sapiEin; sapi <= sapiAus; ++sapi) {
        const QString name = SapiText(static_cast<TSapi>(sapi));
        QTest::newRow(qPrintable(name + ", Tab")) << sapi << "Lv1Sounds" << false;
        QTest::newRow(qPrintable(name + ", Shift+Tab"))
            << sapi << (sapi == sapiAus ? "Btn1Reset" : "Lv2Stimmen") << true;
    }
}

void TstOptionenDlg::sapiGroupIsOneTabStop() {
    QFETCH(int, sapi);
    QFETCH(QString, von);
    QFETCH(bool, rueckwaertsS);
    TEinstellungen e = AllesFrei();
    e.Sapi = static_cast<TSapi>(sapi);
    TUmgebung u(e);
    QVERIFY(u.Zeigen());
    u.W(qPrintable(von))->setFocus(Qt::TabFocusReason);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab,
                    rueckwaertsS ? Qt::ShiftModifier : Qt::NoModifier);
    auto* knopf = qobject_cast<QRadioButton*>(QApplication::focusWidget());
    QVERIFY(knopf);
    QCOMPARE(knopf->text(), SapiText(static_cast<TSapi>(sapi)));
    QVERIFY(knopf->isChecked());
    QTest::keyClick(knopf, sapi == sapiAus ? Qt::Key_Up : Qt::Key_Down);
    knopf = qobject_cast<QRadioButton*>(QApplication::focusWidget());
    QVERIFY(knopf && knopf->isChecked());
    QCOMPARE(knopf->text(), SapiText(static_cast<TSapi>(sapi == sapiAus ? sapi - 1 : sapi + 1)));
    // Why the voice controls cannot be reached is said with the group.
    if (sapi == sapiAus)
        QVERIFY(u.Aufrufe().contains("Orca.Output(Sprachunterstützung: mit Keine sind Stimmen, Lautstärke "
                                     "und Geschwindigkeit gesperrt,0)"));
}

void TstOptionenDlg::soundsSpaceSaysState() {
    TUmgebung u;
    QVERIFY(u.Zeigen());
    auto* liste = u.K<QListWidget>("Lv1Sounds");
    liste->setFocus(Qt::TabFocusReason);
    const QString name = liste->item(0)->text();
    QTest::keyClick(liste, Qt::Key_Space);
    QCOMPARE(liste->item(0)->checkState(), Qt::Unchecked);
    QVERIFY(u.Aufrufe().endsWith("Orca.Output(" + name + " nicht aktiviert,1)"));
    QTest::keyClick(liste, Qt::Key_Space);
    QCOMPARE(liste->item(0)->checkState(), Qt::Checked);
    QVERIFY(u.Aufrufe().endsWith("Orca.Output(" + name + " aktiviert,1)"));
}

void TstOptionenDlg::voiceTestFromNumberFields() {
    TUmgebung u;
    QVERIFY(u.Zeigen());
    QWidget* volume = u.W("Le1Volume");
    volume->setFocus(Qt::TabFocusReason);
    QTest::keyClick(volume, Qt::Key_Up);
    QTRY_VERIFY(u.Aufrufe().contains("A.Speak(Anna,1)"));
    QVERIFY(u.Aufrufe().contains("A.Volume(55)"));

    // The rate field through its label; its context menu offers the test, and
    // the menu's key works in the field.
    u.Aufrufe().clear();
    QTest::mouseClick(u.W("Le2RateLabel"), Qt::LeftButton);
    QCOMPARE(FokusName(), QStringLiteral("Le2Rate"));
    QContextMenuEvent rechts(QContextMenuEvent::Mouse, QPoint(3, 3), QPoint(3, 3));
    QApplication::sendEvent(u.W("Le2Rate")->findChild<QLineEdit*>(), &rechts);
    auto* menu = u.K<QMenu>("PopupMenu1");
    QTRY_VERIFY(menu->isVisible());
    QCOMPARE(menu->actions().value(0)->text(), QStringLiteral("&Stimmentest wiedergeben"));
    menu->hide();
    QTest::keyClick(u.W("Le2Rate"), Qt::Key_S, Qt::ControlModifier);
    QTRY_VERIFY(u.Aufrufe().contains("A.Speak(Anna,1)"));
}

void TstOptionenDlg::numberFieldKeys_data() {
    QTest::addColumn<QString>("feld");
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("taste");
    QTest::addColumn<int>("ergebnis");
    QTest::newRow("volume Page Up to the top") << "Le1Volume" << 95 << int(Qt::Key_PageUp) << 100;
    QTest::newRow("volume Home") << "Le1Volume" << 50 << int(Qt::Key_Home) << 100;
    QTest::newRow("volume End") << "Le1Volume" << 50 << int(Qt::Key_End) << 5;
    QTest::newRow("volume Down") << "Le1Volume" << 50 << int(Qt::Key_Down) << 45;
    QTest::newRow("rate Page Down to the bottom") << "Le2Rate" << -9 << int(Qt::Key_PageDown) << -10;
    QTest::newRow("rate Page Up") << "Le2Rate" << 0 << int(Qt::Key_PageUp) << 2;
    QTest::newRow("rate digit ignored") << "Le2Rate" << 3 << int(Qt::Key_7) << 3;
}

void TstOptionenDlg::numberFieldKeys() {
    QFETCH(QString, feld);
    QFETCH(int, start);
    QFETCH(int, taste);
    QFETCH(int, ergebnis);
    TEinstellungen e = AllesFrei();
    (feld == "Le1Volume" ? e.VoiceVolume : e.VoiceRate) = start;
    TUmgebung u(e);
    QVERIFY(u.Zeigen());
    auto* f = u.K<QSpinBox>(qPrintable(feld));
    f->setFocus(Qt::TabFocusReason);
    QTest::keyClick(f, static_cast<Qt::Key>(taste));
    QCOMPARE(f->value(), ergebnis);
    QCOMPARE(f->text(), QString::number(ergebnis));
}

void TstOptionenDlg::standardButton() {
    TEinstellungen e = AllesFrei();
    e.VoiceVolume = 30;
    e.VoiceRate = 5;
    TUmgebung u(e);
    QVERIFY(u.Zeigen());
    u.W("Lv2Stimmen")->setFocus(Qt::TabFocusReason);
    QTest::keyClick(u.Dlg.get(), Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(FokusName(), QStringLiteral("Cb1ModusUeberschreiben"));
    QVERIFY(u.Dlg->GetEinstellungen() == TEinstellungen());
    QVERIFY(u.K<QListWidget>("Lv2Stimmen")->selectedItems().isEmpty());
    QVERIFY(!u.W("Lv2Stimmen")->isEnabled());
    QVERIFY(!u.Dlg->InStimmenS());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    QCOMPARE(u.Dlg->result(), int(QDialog::Rejected));
}

void TstOptionenDlg::layoutFromTrainingFont() {
    FixedMetrics fest;
    ITextMetrics* vorher = SetTextMetrics(&fest);
    TUmgebung u;
    u.Dlg->SchriftartZuweisen();
    SetTextMetrics(vorher);
    // Check boxes: font height + 8 high, as wide as the longest caption
    // ("Verstecke Vorlage beim Nachtippen") + "MM " at 5 pixels a character.
    QCOMPARE(u.W("Cb1ModusUeberschreiben")->geometry(), QRect(10, 10, 180, 18));
    QCOMPARE(u.W("Lv1Sounds")->geometry(), QRect(210, 10, 530, 214));
    QCOMPARE(u.W("Rg1Sapi")->geometry(), QRect(10, 244, 120, 90));
    QCOMPARE(u.W("Lv2Stimmen")->geometry(), QRect(150, 244, 590, 90));
    const int ud = u.Dlg->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, u.W("Le1Volume"));
    const int luecke = (750 - 100 - 135 - 2 * (5 + 54 + ud)) / 3;
    QCOMPARE(u.W("Le1Volume")->geometry(), QRect(luecke + 105, 344, 54 + ud, 18));
    QCOMPARE(u.W("Le2Rate")->x(), luecke + 105 + 54 + ud + luecke + 140);
    QCOMPARE(u.W("Le1VolumeLabel")->geometry(), QRect(luecke, 348, 100, 10));
    QCOMPARE(u.W("Btn1Reset")->geometry(), QRect(142, 382, 60, 22));
    // Centred over the owner, but not past the right edge of the work area
    // (the 800 pixels of the offscreen screen less the frame).
    QCOMPARE(u.Dlg->geometry(), QRect(46, 123, 750, 414));
}

// The speech server lists its voices only after the dialog opened: the stored
// server voice is kept by OK until then, and chosen once the list has it.
void TstOptionenDlg::serverVoicesArriveLater() {
    TEinstellungen e = AllesFrei();
    e.Stimme = QStringLiteral("espeak-ng: German");
    TSpaeteStimme* v = nullptr;
    TFakeSprache sprache;
    TSpeechPlatform p = sprache.Platform();
    p.Sapi5_1 = [&v] {
        auto neu = std::make_unique<TSpaeteStimme>();
        v = neu.get();
        return std::make_unique<TSapi5_1>(std::move(neu));
    };
    QWidget owner;
    TOptionenDlg dlg(&owner, TDialogAussehen(), p, nullptr);
    dlg.SetEinstellungen(e);
    QCOMPARE(dlg.GetEinstellungen().Stimme, e.Stimme);
    v->Ankommen();
    QCOMPARE(dlg.GetEinstellungen().Stimme, e.Stimme);
    owner.show();
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    dlg.findChild<QWidget*>(QStringLiteral("Lv2Stimmen"))->setFocus();
    QTRY_VERIFY(dlg.StimmenSl().contains(e.Stimme));
    QCOMPARE(dlg.GetEinstellungen().Stimme, e.Stimme);
}

QTEST_MAIN(TstOptionenDlg)
#include "tst_optionendlg.moc"
