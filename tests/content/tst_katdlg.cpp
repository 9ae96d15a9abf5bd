#include "KatDlgC.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

// Fixed metrics, so that layout figures can be checked exactly and a font
// whose metrics cannot be read can be simulated.
class FixedMetrics : public ITextMetrics {
public:
    FixedMetrics(int AHeight, int ACharWidth) : FHeight(AHeight), FCharWidth(ACharWidth) {}
    int Height(const QFont&) const override { return FHeight; }
    int Width(const QFont&, const QString& AText) const override {
        return static_cast<int>(AText.size()) * FCharWidth;
    }

private:
    int FHeight;
    int FCharWidth;
};

class MetricsScope {
public:
    explicit MetricsScope(ITextMetrics* AMetrics) : FPrevious(SetTextMetrics(AMetrics)) {}
    ~MetricsScope() { SetTextMetrics(FPrevious); }

private:
    ITextMetrics* FPrevious;
};

const QString FuenfTitel = QStringLiteral("Grundreihe\r\nObere Reihe\r\nUntere Reihe\r\nZahlen\r\nSätze\r\n");

} // namespace

class TstKatDlg : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void sizeFollowsOwner_data();
    void sizeFollowsOwner();
    void buttonLayout_data();
    void buttonLayout();
    void buttonsMeasuredInTrainingFont();
    void controlHeights_data();
    void controlHeights();
    void listText_data();
    void listText();
    void opensWithFocusOnCurrentEntry_data();
    void opensWithFocusOnCurrentEntry();
    void keysCloseTheDialog_data();
    void keysCloseTheDialog();
    void modalRunReturnsChoice();
    void emptyListGivesNoChoice();
    void lookFollowsTrainingFont();
    void listIsPaintedInFontColour_data();
    void listIsPaintedInFontColour();
    void selectedEntryIsAnnouncedOnceActive_data();
    void selectedEntryIsAnnouncedOnceActive();
};

void TstKatDlg::sizeFollowsOwner_data() {
    QTest::addColumn<QSize>("owner");
    QTest::addColumn<QSize>("dialog");
    QTest::newRow("800x600") << QSize(800, 600) << QSize(760, 480);
    QTest::newRow("fractions cut off") << QSize(333, 211) << QSize(316, 168);
    // Larger than the offscreen screen (800x600): the dialog keeps to the work
    // area and scrolls its controls.
    QTest::newRow("larger than the screen") << QSize(1920, 1080) << QSize(1824, 864);
}

void TstKatDlg::sizeFollowsOwner() {
    QFETCH(QSize, owner);
    QFETCH(QSize, dialog);
    QWidget ownerWindow;
    ownerWindow.setGeometry(QRect(QPoint(0, 30), owner));
    TKatDlg dlg(&ownerWindow);
    dlg.SchriftartZuweisen();
    const QRect frei = DialogArbeitsbereich(&dlg);
    QCOMPARE(dlg.size(), dialog.boundedTo(frei.size()));
    QVERIFY(frei.contains(dlg.geometry()));
    QCOMPARE(dlg.ListBox1()->parentWidget()->size(), dialog);
    if (dlg.size() != dialog) return;
    // Centred over the owner, halves rounded toward zero.
    QCOMPARE(dlg.geometry().left(), (owner.width() - dialog.width()) / 2);
    QCOMPARE(dlg.geometry().top(), 30 + (owner.height() - dialog.height()) / 2);
}

void TstKatDlg::buttonLayout_data() {
    QTest::addColumn<int>("fontHeight");
    QTest::addColumn<int>("buttonHeight");
    QTest::newRow("readable") << 15 << 27;
    QTest::newRow("unreadable: zero") << 0 << 24;
    QTest::newRow("unreadable: negative") << -4 << 24;
}

void TstKatDlg::buttonLayout() {
    QFETCH(int, fontHeight);
    QFETCH(int, buttonHeight);
    FixedMetrics fixed(fontHeight, 7);
    MetricsScope scope(&fixed);
    QWidget owner;
    owner.resize(800, 600);
    TKatDlg dlg(&owner);
    dlg.SchriftartZuweisen();

    // "Abbrechen" is the longer caption: 9 letters + "MM" + blank = 12 characters.
    const int buttonWidth = 12 * 7;
    for (const QPushButton* b : {dlg.Btn1Weiter(), dlg.Btn2Abbrechen()})
        QCOMPARE(b->size(), QSize(buttonWidth, buttonHeight));
    QCOMPARE(dlg.ListBox1()->geometry(), QRect(10, 10, 740, 480 - buttonHeight - 20));
    const int left = (760 - 2 * buttonWidth) / 3;
    QCOMPARE(dlg.Btn1Weiter()->pos(), QPoint(left, 480 - buttonHeight));
    QCOMPARE(dlg.Btn2Abbrechen()->pos(), QPoint(2 * left + buttonWidth, 480 - buttonHeight));
}

void TstKatDlg::buttonsMeasuredInTrainingFont() {
    QWidget owner;
    owner.resize(800, 600);
    TDialogAussehen klein;
    klein.Schrift.setPointSize(8);
    TDialogAussehen gross;
    gross.Schrift.setPointSize(28);
    gross.Schrift.setBold(true);

    TKatDlg dlgKlein(&owner, klein);
    dlgKlein.SchriftartZuweisen();
    TKatDlg dlgGross(&owner, gross);
    dlgGross.SchriftartZuweisen();

    const QPushButton* b = dlgGross.Btn2Abbrechen();
    QCOMPARE(b->font().pointSize(), 28);
    QVERIFY(b->font().bold());
    QCOMPARE(b->width(), GetFontTextWidthPadded(gross.Schrift, QStringLiteral("AbbrechenMM")));
    QCOMPARE(b->height(), GetFontTextHeight(gross.Schrift) + 12);
    QCOMPARE(dlgGross.Btn1Weiter()->size(), b->size());
    QVERIFY(b->width() > dlgKlein.Btn2Abbrechen()->width());
    QVERIFY(b->height() > dlgKlein.Btn2Abbrechen()->height());
}

void TstKatDlg::controlHeights_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<int>("height");
    QTest::newRow("edit field") << "edit" << 18;
    QTest::newRow("button") << "button" << 22;
    QTest::newRow("status bar") << "status" << 16;
    QTest::newRow("radio group") << "group" << 18;
    QTest::newRow("check box") << "check" << 18;
    QTest::newRow("label") << "label" << 10;
    QTest::newRow("no control") << "none" << 10;
}

void TstKatDlg::controlHeights() {
    QFETCH(QString, kind);
    QFETCH(int, height);
    FixedMetrics fixed(10, 5);
    MetricsScope scope(&fixed);
    std::unique_ptr<QWidget> control;
    if (kind == "edit") control = std::make_unique<QLineEdit>();
    if (kind == "button") control = std::make_unique<QPushButton>();
    if (kind == "status") control = std::make_unique<QStatusBar>();
    if (kind == "group") control = std::make_unique<QGroupBox>();
    if (kind == "check") control = std::make_unique<QCheckBox>();
    if (kind == "label") control = std::make_unique<QLabel>();
    QCOMPARE(GetControlHeight(QFont(), control.get()), height);
}

void TstKatDlg::listText_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    QTest::newRow("CR LF, final break") << "a\r\nb\r\n" << QStringList{"a", "b"};
    QTest::newRow("LF and CR") << "a\nb\rc" << QStringList{"a", "b", "c"};
    QTest::newRow("empty title kept") << "a\r\n\r\nc" << QStringList{"a", "", "c"};
    QTest::newRow("nothing") << "" << QStringList{};
}

void TstKatDlg::listText() {
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    TKatDlg dlg(nullptr);
    dlg.SetListText(text);
    QCOMPARE(dlg.Items(), items);
}

void TstKatDlg::opensWithFocusOnCurrentEntry_data() {
    QTest::addColumn<int>("aktivNr");
    QTest::addColumn<int>("selected");
    QTest::newRow("none chosen yet") << -1 << 0;
    QTest::newRow("fourth") << 3 << 3;
    QTest::newRow("last") << 4 << 4;
    QTest::newRow("stale number") << 9 << 0;
}

void TstKatDlg::opensWithFocusOnCurrentEntry() {
    QFETCH(int, aktivNr);
    QFETCH(int, selected);
    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    TKatDlg dlg(&owner);
    dlg.SetCaption(QStringLiteral("Trainingsdatei wählen"));
    dlg.SetTitel(FuenfTitel, aktivNr);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QCOMPARE(dlg.size(), QSize(760, 480));
    QCOMPARE(QApplication::focusWidget(), dlg.ListBox1());
    QCOMPARE(dlg.ItemIndex(), selected);
    QCOMPARE(dlg.ListBox1()->currentRow(), selected);
    QCOMPARE(dlg.windowTitle(), QStringLiteral("Trainingsdatei wählen"));
    QCOMPARE(dlg.ListBox1()->accessibleName(), QStringLiteral("Trainingsdatei wählen"));
}

void TstKatDlg::keysCloseTheDialog_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("result");
    QTest::newRow("Enter") << int(Qt::Key_Return) << int(QDialog::Accepted);
    QTest::newRow("Enter on the keypad") << int(Qt::Key_Enter) << int(QDialog::Accepted);
    QTest::newRow("Escape") << int(Qt::Key_Escape) << int(QDialog::Rejected);
}

void TstKatDlg::keysCloseTheDialog() {
    QFETCH(int, key);
    QFETCH(int, result);
    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    TKatDlg dlg(&owner);
    dlg.SetTitel(FuenfTitel, 1);
    QSignalSpy finished(&dlg, &QDialog::finished);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QTest::keyClick(dlg.ListBox1(), Qt::Key_Down);
    QTest::keyClick(dlg.ListBox1(), static_cast<Qt::Key>(key));
    QCOMPARE(finished.size(), 1);
    QCOMPARE(dlg.result(), result);
    QVERIFY(!dlg.isVisible());
    QCOMPARE(dlg.ItemIndex(), 2);
}

void TstKatDlg::modalRunReturnsChoice() {
    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    TKatDlg dlg(&owner);
    dlg.SetTitel(FuenfTitel, -1);
    // The keys arrive once the modal loop runs; the watchdog never fires.
    QTimer::singleShot(0, &dlg, [&dlg] {
        QTest::keyClick(dlg.ListBox1(), Qt::Key_End);
        QTest::keyClick(dlg.ListBox1(), Qt::Key_Return);
    });
    QTimer watchdog;
    watchdog.setSingleShot(true);
    connect(&watchdog, &QTimer::timeout, &dlg, &QDialog::reject);
    watchdog.start(5000);
    QCOMPARE(dlg.exec(), int(QDialog::Accepted));
    QVERIFY(watchdog.isActive());
    QCOMPARE(dlg.ItemIndex(), 4);
}

void TstKatDlg::emptyListGivesNoChoice() {
    TKatDlg dlg(nullptr);
    dlg.SetTitel(QString(), -1);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QCOMPARE(dlg.ListBox1()->count(), 0);
    QTest::mouseClick(dlg.Btn1Weiter(), Qt::LeftButton);
    QCOMPARE(dlg.result(), int(QDialog::Accepted));
    QCOMPARE(dlg.ItemIndex(), -1);
}

void TstKatDlg::lookFollowsTrainingFont() {
    TDialogAussehen aussehen;
    aussehen.Schrift = QFont(QStringLiteral("DejaVu Serif"), 17);
    aussehen.Schrift.setItalic(true);
    aussehen.SchriftFarbe = QColor(0x00, 0x00, 0x80);
    aussehen.HintergrundFarbe = QColor(0xFF, 0xFF, 0x00);
    TKatDlg dlg(nullptr, aussehen);
    const QColor buttonText = dlg.Btn1Weiter()->palette().color(QPalette::ButtonText);
    dlg.SchriftartZuweisen();
    const QListWidget* list = dlg.ListBox1();
    QCOMPARE(list->font(), aussehen.Schrift);
    QCOMPARE(list->palette().color(QPalette::Base), aussehen.HintergrundFarbe);
    QCOMPARE(list->palette().color(QPalette::Text), aussehen.SchriftFarbe);
    QCOMPARE(dlg.Btn1Weiter()->font().pointSize(), 17);
    QVERIFY(dlg.Btn1Weiter()->font().italic());
    QCOMPARE(dlg.Btn1Weiter()->palette().color(QPalette::ButtonText), buttonText);
}

void TstKatDlg::listIsPaintedInFontColour_data() {
    QTest::addColumn<QColor>("schrift");
    QTest::addColumn<QColor>("hintergrund");
    QTest::newRow("white on black") << QColor(Qt::white) << QColor(Qt::black);
    QTest::newRow("black on white") << QColor(Qt::black) << QColor(Qt::white);
}

void TstKatDlg::listIsPaintedInFontColour() {
    QFETCH(QColor, schrift);
    QFETCH(QColor, hintergrund);
    TDialogAussehen aussehen;
    aussehen.Schrift = QFont(QStringLiteral("DejaVu Sans"), 16);
    aussehen.SchriftFarbe = schrift;
    aussehen.HintergrundFarbe = hintergrund;
    QWidget owner;
    owner.resize(800, 600);
    TKatDlg dlg(&owner, aussehen);
    dlg.SetTitel(QStringLiteral("WWWWWWWW\r\nMMMMMMMM\r\n"), 0);
    dlg.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dlg));
    QListWidget* list = dlg.ListBox1();
    QCOMPARE(list->palette().color(QPalette::Text), schrift);
    // The entry that is not selected shows the training colours themselves.
    const QRect zeile = list->visualItemRect(list->item(1));
    const QImage bild = list->viewport()->grab(zeile).toImage();
    int schriftPunkte = 0;
    for (int y = 0; y < bild.height(); ++y)
        for (int x = 0; x < bild.width(); ++x)
            if (bild.pixelColor(x, y).rgb() == schrift.rgb()) ++schriftPunkte;
    QVERIFY2(schriftPunkte > 20, qPrintable(QString::number(schriftPunkte)));
    QCOMPARE(bild.pixelColor(bild.width() - 2, bild.height() / 2).rgb(), hintergrund.rgb());
}

void TstKatDlg::selectedEntryIsAnnouncedOnceActive_data() {
    QTest::addColumn<int>("aktivNr");
    QTest::addColumn<int>("eintrag");
    QTest::newRow("none chosen yet") << -1 << 0;
    QTest::newRow("fourth") << 3 << 3;
    QTest::newRow("last") << 4 << 4;
}

void TstKatDlg::selectedEntryIsAnnouncedOnceActive() {
    QFETCH(int, aktivNr);
    QFETCH(int, eintrag);
    QWidget owner;
    owner.resize(800, 600);
    owner.show();
    TKatDlg dlg(&owner);
    dlg.SetTitel(FuenfTitel, aktivNr);
    // The list tells a screen reader about the current entry when it changes
    // while the list has the focus in the active window; only such changes count.
    QList<int> gemeldet;
    connect(dlg.ListBox1(), &QListWidget::currentRowChanged, &dlg, [&](int AZeile) {
        if (AZeile >= 0 && dlg.ListBox1()->hasFocus() && dlg.isActiveWindow()) gemeldet << AZeile;
    });
    dlg.show();
    QVERIFY(QTest::qWaitForWindowActive(&dlg));
    QTRY_VERIFY_WITH_TIMEOUT(!gemeldet.isEmpty(), 2000);
    QCOMPARE(gemeldet, QList<int>{eintrag});
    QCOMPARE(QApplication::focusWidget(), dlg.ListBox1());
    QCOMPARE(dlg.ItemIndex(), eintrag);
    QCOMPARE(dlg.ListBox1()->selectedItems().size(), 1);
}

QTEST_MAIN(TstKatDlg)
#include "tst_katdlg.moc"
