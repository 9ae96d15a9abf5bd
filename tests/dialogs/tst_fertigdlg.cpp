#include "FertigDlgC.h"

#include "FakeServices.h"
#include "TextPane.h"

#include <QAccessible>
#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Characters of 7 x 15 pixels: buttons are "Wiederholen" + "MM " = 98 wide, 27 high.
class FixedMetrics : public ITextMetrics {
public:
    int Height(const QFont&) const override { return 15; }
    int Width(const QFont&, const QString& AText) const override { return int(AText.size()) * 7; }
};

const QString Bericht = QStringLiteral("Trainingstitel: \"Grundreihe\"\nFehleingaben: 3");

// The dialog over an owner of 800 x 600, with a recording sound player.
struct Dialog {
    QWidget Owner;
    TFakeAudioPlayer Player;
    std::unique_ptr<TFertigDlg> Dlg;
    Dialog(bool AFertigS, bool AEndeS, bool ASoundS = false, const QString& ASound = QString()) {
        Owner.resize(800, 600);
        Owner.show();
        Dlg = std::make_unique<TFertigDlg>(&Owner, TDialogAussehen(), &Player);
        Dlg->FertigS = AFertigS;
        Dlg->EndeS = AEndeS;
        Dlg->SoundS = ASoundS;
        Dlg->SoundDatei = ASound;
        Dlg->RichEdit1()->SetText(Bericht);
    }
};

} // namespace

class TstFertigDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void layoutPerCase_data();
    void layoutPerCase();
    void choices_data();
    void choices();
    void finishSound_data();
    void finishSound();
    void reportPane();
    void summaryText_data();
    void summaryText();
    void summarySpoken_data();
    void summarySpoken();
};

void TstFertigDlg::layoutPerCase_data() {
    QTest::addColumn<bool>("fertigS");
    QTest::addColumn<bool>("endeS");
    QTest::addColumn<int>("hoehe");
    QTest::addColumn<QList<int>>("links"); // Weiter, Wiederholen, Schließen; -1: hidden
    QTest::newRow("more files") << true << false << 420 << QList<int>{116, 330, 544};
    QTest::newRow("last file") << true << true << 420 << QList<int>{-1, 188, 474};
    QTest::newRow("protocol") << false << true << 570 << QList<int>{-1, -1, 331};
}

void TstFertigDlg::layoutPerCase() {
    QFETCH(bool, fertigS);
    QFETCH(bool, endeS);
    QFETCH(int, hoehe);
    QFETCH(QList<int>, links);
    FixedMetrics fixed;
    ITextMetrics* vorher = SetTextMetrics(&fixed);
    Dialog d(fertigS, endeS);
    d.Dlg->show();
    SetTextMetrics(vorher);
    QCOMPARE(d.Dlg->windowTitle(), QString(fertigS ? "Das Training ist abgeschlossen" : "Protokoll lesen"));
    QCOMPARE(d.Dlg->size(), QSize(760, hoehe));
    QCOMPARE(d.Dlg->RichEdit1()->geometry(), QRect(10, 10, 740, hoehe - 57));
    const QPushButton* knoepfe[] = {d.Dlg->Btn1Weiter(), d.Dlg->Btn2Wiederholen(), d.Dlg->Btn3Abbrechen()};
    for (int i = 0; i < 3; ++i) {
        QCOMPARE(knoepfe[i]->isVisible(), links[i] >= 0);
        QCOMPARE(knoepfe[i]->size(), QSize(98, 27));
        if (links[i] >= 0) QCOMPARE(knoepfe[i]->pos(), QPoint(links[i], hoehe - 37));
    }
}

void TstFertigDlg::choices_data() {
    QTest::addColumn<bool>("fertigS");
    QTest::addColumn<bool>("endeS");
    QTest::addColumn<QString>("knopf"); // clicked; empty: the key goes to the report
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<int>("result"); // 0: the dialog stays open
    const int ctrl = Qt::ControlModifier;
    const int keypad = Qt::KeypadModifier;
    QTest::newRow("more: Enter") << true << false << "" << int(Qt::Key_Return) << 0 << 1;
    QTest::newRow("more: keypad Enter") << true << false << "" << int(Qt::Key_Enter) << keypad << 1;
    QTest::newRow("more: Ctrl+W") << true << false << "" << int(Qt::Key_W) << ctrl << 1;
    QTest::newRow("more: Ctrl+R") << true << false << "" << int(Qt::Key_R) << ctrl << 4;
    QTest::newRow("more: Ctrl+F4") << true << false << "" << int(Qt::Key_F4) << ctrl << 2;
    QTest::newRow("more: Esc") << true << false << "" << int(Qt::Key_Escape) << 0 << 2;
    QTest::newRow("more: typing") << true << false << "" << int(Qt::Key_X) << 0 << 0;
    QTest::newRow("more: Weiter") << true << false << "Btn1Weiter" << 0 << 0 << 1;
    QTest::newRow("more: Wiederholen") << true << false << "Btn2Wiederholen" << 0 << 0 << 4;
    QTest::newRow("more: Schließen") << true << false << "Btn3Abbrechen" << 0 << 0 << 2;
    QTest::newRow("last: Enter") << true << true << "" << int(Qt::Key_Return) << 0 << 0;
    QTest::newRow("last: Ctrl+W") << true << true << "" << int(Qt::Key_W) << ctrl << 0;
    QTest::newRow("last: Ctrl+R") << true << true << "" << int(Qt::Key_R) << ctrl << 4;
    QTest::newRow("last: Esc") << true << true << "" << int(Qt::Key_Escape) << 0 << 2;
    QTest::newRow("protocol: Enter") << false << true << "" << int(Qt::Key_Return) << 0 << 0;
    QTest::newRow("protocol: Ctrl+R") << false << true << "" << int(Qt::Key_R) << ctrl << 0;
    QTest::newRow("protocol: Esc") << false << true << "" << int(Qt::Key_Escape) << 0 << 2;
    QTest::newRow("protocol: close box") << false << true << "close" << 0 << 0 << 2;
}

void TstFertigDlg::choices() {
    QFETCH(bool, fertigS);
    QFETCH(bool, endeS);
    QFETCH(QString, knopf);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(int, result);
    Dialog d(fertigS, endeS);
    TFertigDlg* dlg = d.Dlg.get();
    // Driven from inside the modal run; a dialog still open afterwards is ended with 0.
    QTimer::singleShot(0, dlg, [&] {
        if (!QTest::qWaitForWindowActive(dlg)) return dlg->done(-1);
        if (knopf == "close")
            dlg->close();
        else if (!knopf.isEmpty())
            QTest::mouseClick(dlg->findChild<QPushButton*>(knopf), Qt::LeftButton);
        else
            QTest::keyClick(dlg->RichEdit1(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (dlg->isVisible()) dlg->done(0);
    });
    QCOMPARE(dlg->exec(), result);
    QCOMPARE(dlg->RichEdit1()->Text(), Bericht);
}

void TstFertigDlg::finishSound_data() {
    QTest::addColumn<bool>("soundS");
    QTest::addColumn<bool>("fertigS");
    QTest::addColumn<bool>("dateiS");
    QTest::newRow("due") << true << true << true;
    QTest::newRow("sounds off") << false << true << true;
    QTest::newRow("protocol") << true << false << true;
    QTest::newRow("missing file") << true << true << false;
}

void TstFertigDlg::finishSound() {
    QFETCH(bool, soundS);
    QFETCH(bool, fertigS);
    QFETCH(bool, dateiS);
    QTemporaryDir ordner;
    const QString datei = ordner.filePath(QStringLiteral("Fertig.wav"));
    QFile f(datei);
    if (dateiS) QVERIFY(f.open(QIODevice::WriteOnly) && f.write("RIFF") == 4);
    f.close();
    const int gespielt = soundS && fertigS && dateiS ? 1 : 0;
    Dialog d(fertigS, true, soundS, datei);
    d.Player.DauerMs = 10000;
    d.Dlg->show();
    QTest::qWait(100);
    QCOMPARE(d.Player.Gespielt.size(), gespielt);
    if (gespielt) QCOMPARE(d.Player.Gespielt.first(), qMakePair(datei, false));
    d.Dlg.reset(); // the sound ends with the dialog
    QCOMPARE(d.Player.Stops, gespielt);
}

void TstFertigDlg::reportPane() {
    Dialog d(false, true);
    TTextPane* pane = d.Dlg->RichEdit1();
    pane->SetSelStart(20); // where the caller left the caret does not count
    d.Dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(d.Dlg.get()));
    QCOMPARE(QApplication::focusWidget(), pane);
    QCOMPARE(pane->SelStart(), 0);
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(pane);
    QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Protokoll"));
    QCOMPARE(a->textInterface()->text(0, a->textInterface()->characterCount()), Bericht);

    // Copying takes the whole report and leaves the user's selection alone.
    pane->SetSelStart(17);
    pane->SetSelLength(10);
    Q_EMIT d.Dlg->PuMenu1()->aboutToShow();
    QVERIFY(d.Dlg->PuKopieren()->isEnabled());
    d.Dlg->PuKopieren()->trigger();
    QCOMPARE(QApplication::clipboard()->text(), Bericht);
    QCOMPARE(QPair(pane->SelStart(), pane->SelLength()), QPair(17, 10));
    pane->SetText(QString());
    Q_EMIT d.Dlg->PuMenu1()->aboutToShow();
    QVERIFY(!d.Dlg->PuKopieren()->isEnabled());
}

void TstFertigDlg::summaryText_data() {
    QTest::addColumn<int>("zeilen");
    QTest::addColumn<int>("fehler");
    QTest::addColumn<QString>("text");
    const QString s = QStringLiteral("Das Training ist abgeschlossen. ");
    QTest::newRow("plural") << 11 << 2 << s + "11 Zeilen, 2 Fehleingaben.";
    QTest::newRow("singular") << 1 << 1 << s + "1 Zeile, 1 Fehleingabe.";
    QTest::newRow("no errors") << 1 << 0 << s + "1 Zeile, keine Fehleingaben.";
    QTest::newRow("ending in 1 is plural") << 21 << 31 << s + "21 Zeilen, 31 Fehleingaben.";
    QTest::newRow("no lines") << 0 << 0 << s + "0 Zeilen, keine Fehleingaben.";
}

void TstFertigDlg::summaryText() {
    QFETCH(int, zeilen);
    QFETCH(int, fehler);
    QFETCH(QString, text);
    QCOMPARE(FertigAnsage(zeilen, fehler), text);
}

void TstFertigDlg::summarySpoken_data() {
    QTest::addColumn<QString>("ansage");
    QTest::addColumn<bool>("sprechenS");   // a way to speak is given
    QTest::addColumn<bool>("schliessenS"); // closed at once, before the summary is due
    QTest::addColumn<QStringList>("gesagt");
    const QString a = FertigAnsage(11, 2);
    QTest::newRow("said once") << a << true << false << QStringList{a};
    QTest::newRow("empty: silent") << "" << true << false << QStringList{};
    QTest::newRow("no speech") << a << false << false << QStringList{};
    QTest::newRow("closed before due") << a << true << true << QStringList{};
}

void TstFertigDlg::summarySpoken() {
    QFETCH(QString, ansage);
    QFETCH(bool, sprechenS);
    QFETCH(bool, schliessenS);
    QFETCH(QStringList, gesagt);
    Dialog d(true, false);
    QStringList aufrufe;
    QWidget* fokus = nullptr;
    qint64 nachMs = -1;
    QElapsedTimer uhr;
    d.Dlg->Ansage = ansage;
    if (sprechenS)
        d.Dlg->Sprechen = [&](const QString& AText) {
            aufrufe << AText;
            fokus = QApplication::focusWidget();
            nachMs = uhr.elapsed();
        };
    uhr.start();
    d.Dlg->show();
    QVERIFY(QTest::qWaitForWindowActive(d.Dlg.get()));
    QCOMPARE(QApplication::focusWidget(), d.Dlg->RichEdit1());
    QVERIFY(aufrufe.isEmpty()); // the screen reader names the window first
    if (schliessenS) d.Dlg->done(TFertigDlg::mrCancel);
    QTest::qWait(1500);
    QCOMPARE(aufrufe, gesagt);
    if (aufrufe.isEmpty()) return;
    QCOMPARE(fokus, d.Dlg->RichEdit1());
    QVERIFY2(nachMs >= 600, qPrintable(QString::number(nachMs)));
}

QTEST_MAIN(TstFertigDlg)
#include "tst_fertigdlg.moc"
