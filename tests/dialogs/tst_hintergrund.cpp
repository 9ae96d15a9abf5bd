#include "HintergrundC.h"

#include <QListWidget>
#include <QPushButton>
#include <QTest>

class TstHintergrund : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void listHoldsTheNamesInOrder();
    void number_data();
    void number();
    void lookup_data();
    void lookup();
    void cancelKeepsNumber();
};

void TstHintergrund::listHoldsTheNamesInOrder() {
    THintergrundForm form(nullptr, 125, 10);
    const QStringList expected{"Schwarz",    "Weiß",     "Gelb",       "Blau",     "Marineblau",
                               "Himmelblau", "Blaugrün", "Grün",       "Minzgrün", "Gelbgrün",
                               "Olivgrün",   "Grau",     "Dunkelgrau", "Hellgrau", "Rot",
                               "Purpur",     "Lila",     "Silber",     "Braun"};
    QCOMPARE(form.ListBox1()->count(), expected.size());
    for (int i = 0; i < expected.size(); ++i)
        QCOMPARE(form.ListBox1()->item(i)->text(), expected.at(i));
    QCOMPARE(form.BtnWidth(), 125);
    QCOMPARE(form.Rand(), 10);
    QCOMPARE(form.windowTitle(), QStringLiteral("Schrifthintergrund wählen"));
    QCOMPARE(form.Button1()->text(), QStringLiteral("O&K"));
    QCOMPARE(form.Button2()->text(), QStringLiteral("&Abbrechen"));
}

void TstHintergrund::number_data() {
    QTest::addColumn<int>("set");
    QTest::addColumn<int>("nr");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QColor>("farbe");
    QTest::newRow("Weiß") << 1 << 1 << "Weiß" << QColor(0xFF, 0xFF, 0xFF);
    QTest::newRow("Himmelblau") << 5 << 5 << "Himmelblau" << QColor(0xA6, 0xCA, 0xF0);
    QTest::newRow("Braun, the last") << 18 << 18 << "Braun" << QColor(0x80, 0x00, 0x00);
    QTest::newRow("19 gives Schwarz") << 19 << 0 << "Schwarz" << QColor(0, 0, 0);
    QTest::newRow("-1 gives Schwarz") << -1 << 0 << "Schwarz" << QColor(0, 0, 0);
}

void TstHintergrund::number() {
    QFETCH(int, set);
    QFETCH(int, nr);
    QFETCH(QString, name);
    QFETCH(QColor, farbe);
    THintergrundForm form(nullptr, 125, 10);
    form.SetHintergrundNr(1);
    form.SetHintergrundNr(set);
    QCOMPARE(form.HintergrundNr(), nr);
    QCOMPARE(form.ListBox1()->currentItem()->text(), name);
    QCOMPARE(form.HintergrundFarbe(), farbe);
}

void TstHintergrund::lookup_data() {
    QTest::addColumn<QColor>("farbe");
    QTest::addColumn<int>("nr");
    QTest::newRow("Schwarz") << QColor(0, 0, 0) << 0;
    QTest::newRow("Gelb") << QColor(0xFF, 0xFF, 0x00) << 2;
    QTest::newRow("#808080 is Grau, not Dunkelgrau") << QColor(0x80, 0x80, 0x80) << 11;
    QTest::newRow("#C0C0C0 is Hellgrau, not Silber") << QColor(0xC0, 0xC0, 0xC0) << 13;
    QTest::newRow("Lila") << QColor(0xFF, 0x00, 0xFF) << 16;
    QTest::newRow("Braun") << QColor(0x80, 0x00, 0x00) << 18;
    QTest::newRow("transparency ignored") << QColor(0xFF, 0x00, 0x00, 0x40) << 14;
    QTest::newRow("not in the table") << QColor(0x12, 0x34, 0x56) << 1;
    QTest::newRow("invalid colour") << QColor() << 1;
}

void TstHintergrund::lookup() {
    QFETCH(QColor, farbe);
    QFETCH(int, nr);
    QCOMPARE(THintergrundForm::FarbeZuHintergrundNr(farbe), nr);
}

void TstHintergrund::cancelKeepsNumber() {
    THintergrundForm form(nullptr, 125, 10);
    form.SetHintergrundNr(7);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.Button1()->width(), 125);
    QTest::keyClick(form.ListBox1(), Qt::Key_Down);
    QCOMPARE(form.HintergrundNr(), 8);
    QTest::keyClick(form.ListBox1(), Qt::Key_Escape);
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.HintergrundNr(), 7);
}

QTEST_MAIN(TstHintergrund)
#include "tst_hintergrund.moc"
