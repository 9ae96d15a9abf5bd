#include "TastenNamenC.h"

#include <QTest>

class TstTastenNamen : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void finger_data() {
        QTest::addColumn<QString>("zeichen"); // empty: a key without a character
        QTest::addColumn<int>("taste");
        QTest::addColumn<int>("scancode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("finger");
        QTest::newRow("j") << "j" << 0 << 0 << ""
                           << "rechter Zeigefinger, Grundstellung";
        QTest::newRow("F capital") << "F" << 0 << 0 << ""
                                   << "linker Zeigefinger, Grundstellung";
        QTest::newRow("ö") << "ö" << 0 << 0 << ""
                           << "rechter kleiner Finger, Grundstellung";
        QTest::newRow("ß") << "ß" << 0 << 0 << ""
                           << "rechter kleiner Finger";
        QTest::newRow("@ with Alt Gr") << "@" << 0 << 0 << ""
                                       << "linker kleiner Finger";
        QTest::newRow("comma") << "," << 0 << 0 << ""
                               << "rechter Mittelfinger";
        QTest::newRow("Shift left") << "" << int(Qt::Key_Shift) << 50 << "Umschalt links"
                                    << "linker kleiner Finger";
        QTest::newRow("Shift right") << "" << int(Qt::Key_Shift) << 62 << "Umschalt rechts"
                                     << "rechter kleiner Finger";
        QTest::newRow("Alt Gr") << "" << int(Qt::Key_AltGr) << 108 << "Alt Gr"
                                << "rechter kleiner Finger";
        QTest::newRow("Backspace") << "" << int(Qt::Key_Backspace) << 22 << "Rücktaste"
                                   << "rechter kleiner Finger";
        QTest::newRow("space") << "" << int(Qt::Key_Space) << 65 << "Leertaste"
                               << "Daumen";
        QTest::newRow("F5") << "" << int(Qt::Key_F5) << 71 << "F5"
                            << "";
        QTest::newRow("unknown") << "" << int(Qt::Key_Launch0) << 0 << ""
                                 << "";
    }
    void finger() {
        QFETCH(QString, zeichen);
        QFETCH(int, taste);
        QFETCH(int, scancode);
        QFETCH(QString, name);
        QFETCH(QString, finger);
        if (zeichen.isEmpty()) QCOMPARE(TastenName(taste, quint32(scancode)), name);
        QCOMPARE(TastenFinger(zeichen.isEmpty() ? QChar() : zeichen.at(0), taste, quint32(scancode)), finger);
    }
};

QTEST_MAIN(TstTastenNamen)
#include "tst_tastennamen.moc"
