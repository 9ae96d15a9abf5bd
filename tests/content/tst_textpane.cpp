// The text pane: positions, selection and underline as the typing check uses
// them, the update bracket, the order of key events, and what never gets in.

#include "TextPane.h"

#include <QApplication>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBlock>
#include <QVBoxLayout>
#include <QtTest>

namespace {
QTextCharFormat::UnderlineStyle Strich(const TTextPane& APane, int APos) {
    QTextCursor c(APane.document());
    c.setPosition(APos);
    c.setPosition(APos + 1, QTextCursor::KeepAnchor);
    return c.charFormat().underlineStyle();
}

// The underline of every character as a string: 'u' underlined, '.' plain.
QString Striche(const TTextPane& APane) {
    QString s;
    for (int i = 0; i < APane.TextLength(); ++i)
        s += Strich(APane, i) == QTextCharFormat::NoUnderline ? u'.' : u'u';
    return s;
}

void Zeichen(QWidget* AWidget, const QString& AText) {
    QTest::sendKeyEvent(QTest::Press, AWidget, Qt::Key_unknown, AText, Qt::NoModifier);
    QTest::sendKeyEvent(QTest::Release, AWidget, Qt::Key_unknown, AText, Qt::NoModifier);
}

// Brings a line up for typing over it, as the run controller does.
void Zeile(TTextPane& APane, const QString& ALine) {
    APane.BeginUpdate();
    APane.SetPaneFont(QFont(), Qt::white);
    APane.SetText(ALine);
    APane.SelectAllText();
    APane.SetSelUnderline(true);
    APane.SetSelStart(0);
    APane.SetReadOnly(false);
    APane.EndUpdate();
}

void Ueberschreiben(TTextPane& APane, int APos, QChar AKey) {
    APane.BeginUpdate();
    APane.SetSelStart(APos);
    APane.SetSelLength(1);
    APane.SetSelText(QString(AKey));
    APane.SetSelStart(APos);
    APane.SetSelLength(1);
    APane.SetSelUnderline(false);
    APane.SetSelStart(APos + 1);
    APane.EndUpdate();
}
} // namespace

class TstTextPane : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void zeilenumbruchIstEinZeichen_data() {
        QTest::addColumn<QString>("text");
        QTest::newRow("CRLF") << QStringLiteral("ab\r\ncd");
        QTest::newRow("CR") << QStringLiteral("ab\rcd");
        QTest::newRow("LF") << QStringLiteral("ab\ncd");
    }
    void zeilenumbruchIstEinZeichen() {
        QFETCH(QString, text);
        TTextPane p;
        p.SetText(text);
        QCOMPARE(p.Text(), QStringLiteral("ab\ncd"));
        QCOMPARE(p.TextLength(), 5);
        p.SetSelStart(3);
        p.SetSelLength(2);
        QCOMPARE(p.SelText(), QStringLiteral("cd"));
        p.SetSelStart(1);
        p.SetSelLength(3);
        QCOMPARE(p.SelText(), QStringLiteral("b\nc"));
        p.SetText(QString());
        QCOMPARE(p.Text(), QString());
        QCOMPARE(p.TextLength(), 0);
    }

    void caretUndAuswahl() {
        TTextPane p;
        p.SetText(QStringLiteral("Hallo Welt"));
        p.SetSelStart(6);
        QCOMPARE(p.SelStart(), 6);
        QCOMPARE(p.SelLength(), 0);
        p.SetSelLength(3);
        QCOMPARE(p.SelStart(), 6);
        QCOMPARE(p.SelText(), QStringLiteral("Wel"));
        p.SetSelLength(50); // stops at the end
        QCOMPARE(p.SelText(), QStringLiteral("Welt"));
        p.SetSelStart(99);
        QCOMPARE(p.SelStart(), 10);
        p.SelectAllText();
        QCOMPARE(p.SelStart(), 0);
        QCOMPARE(p.SelText(), QStringLiteral("Hallo Welt"));
    }

    void auswahlErsetzen_data() {
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("laenge");
        QTest::addColumn<QString>("neu");
        QTest::addColumn<QString>("ergebnis");
        QTest::newRow("einfuegen am Caret") << 2 << 0 << "X"
                                            << "abXcd";
        QTest::newRow("ein Zeichen ersetzen") << 1 << 1 << "ü"
                                              << "aücd";
        QTest::newRow("am Ende angehaengt") << 4 << 1 << "X"
                                            << "abcdX";
        QTest::newRow("durch nichts ersetzen") << 3 << 1 << ""
                                               << "abc";
        QTest::newRow("Umbruch einfuegen") << 2 << 0 << "\r\n"
                                           << "ab\ncd";
    }
    void auswahlErsetzen() {
        QFETCH(int, start);
        QFETCH(int, laenge);
        QFETCH(QString, neu);
        QFETCH(QString, ergebnis);
        TTextPane p;
        p.SetText(QStringLiteral("abcd"));
        p.SetSelStart(start);
        p.SetSelLength(laenge);
        p.SetSelText(neu);
        QCOMPARE(p.Text(), ergebnis);
        QCOMPARE(p.SelLength(), 0);
        QCOMPARE(p.SelStart(), start + int(neu.size()) - int(neu.count(u'\r')));
    }

    void unterstreichenNurDerAuswahl() {
        TTextPane p;
        p.SetText(QStringLiteral("abc"));
        p.SelectAllText();
        p.SetSelUnderline(true);
        QCOMPARE(Striche(p), QStringLiteral("uuu"));
        p.SetSelStart(1);
        p.SetSelLength(1);
        p.SetSelUnderline(false);
        QCOMPARE(Strich(p, 0), QTextCharFormat::SingleUnderline);
        QCOMPARE(Strich(p, 1), QTextCharFormat::NoUnderline);
        QCOMPARE(Strich(p, 2), QTextCharFormat::SingleUnderline);
        p.SetSelUnderline(true);
        QCOMPARE(Striche(p), QStringLiteral("uuu"));
        QVERIFY(p.IsUnderlined(1));
        // a new text is plain again
        p.SetText(QStringLiteral("xy"));
        QCOMPARE(Striche(p), QStringLiteral(".."));
    }

    void zeileUeberschreibenUndKorrigieren() {
        TTextPane p;
        Zeile(p, QStringLiteral("Hallo"));
        QCOMPARE(Striche(p), QStringLiteral("uuuuu"));
        QCOMPARE(p.SelStart(), 0);
        QVERIFY(!p.ReadOnly());
        Ueberschreiben(p, 0, u'H');
        Ueberschreiben(p, 1, u'x');
        QCOMPARE(p.Text(), QStringLiteral("Hxllo"));
        QCOMPARE(Striche(p), QStringLiteral("..uuu"));
        QCOMPARE(p.SelStart(), 2);
        // Backspace puts the line's own character back, underlined
        p.BeginUpdate();
        p.SetSelStart(1);
        p.SetSelLength(1);
        p.SetSelText(QStringLiteral("a"));
        p.SetSelStart(1);
        p.SetSelLength(1);
        p.SetSelUnderline(true);
        p.SetSelStart(1);
        p.EndUpdate();
        QCOMPARE(p.Text(), QStringLiteral("Hallo"));
        QCOMPARE(Striche(p), QStringLiteral(".uuuu"));
        QCOMPARE(p.SelStart(), 1);
        // past the end of the line the typed character is appended, plain
        for (int i = 1; i < 5; ++i)
            Ueberschreiben(p, i, p.Text().at(i));
        Ueberschreiben(p, 5, u'!');
        QCOMPARE(p.Text(), QStringLiteral("Hallo!"));
        QCOMPARE(Striche(p), QStringLiteral("......"));
    }

    void updateKlammerGibtEineAenderung() {
        TTextPane p;
        p.show();
        p.SetText(QStringLiteral("Hallo"));
        QSignalSpy spy(p.document(), &QTextDocument::contentsChange);
        Ueberschreiben(p, 0, u'X');
        QCOMPARE(spy.count(), 1);
        spy.clear();
        // nested brackets: only the outer end shows the change
        p.BeginUpdate();
        Zeile(p, QStringLiteral("Welt"));
        QVERIFY(p.InUpdate());
        QCOMPARE(spy.count(), 0);
        Ueberschreiben(p, 0, u'W');
        p.EndUpdate();
        QVERIFY(!p.InUpdate());
        QCOMPARE(spy.count(), 1);
        QCOMPARE(p.Text(), QStringLiteral("Welt"));
        p.EndUpdate(); // an unmatched end is harmless
        QVERIFY(!p.InUpdate());
    }

    // A typed key repaints the text, not the scroll bar beside it: painting
    // the bar was most of the time a keystroke took.
    void tasteMaltNichtDieLeiste() {
        struct TMaler : QObject {
            int Anzahl = 0;
            bool eventFilter(QObject*, QEvent* AEvent) override {
                Anzahl += AEvent->type() == QEvent::Paint;
                return false;
            }
        } leiste, flaeche;
        TTextPane p;
        p.resize(400, 300);
        Zeile(p, QString(200, u'a'));
        p.show();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        QTest::qWait(50);
        p.verticalScrollBar()->installEventFilter(&leiste);
        p.viewport()->installEventFilter(&flaeche);
        Ueberschreiben(p, 0, u'b');
        QTRY_VERIFY(flaeche.Anzahl > 0);
        QTest::qWait(20);
        QCOMPARE(leiste.Anzahl, 0);
    }

    void nurLesen() {
        TTextPane p;
        p.SetText(QStringLiteral("abc"));
        p.SetReadOnly(true);
        QVERIFY(p.ReadOnly());
        QTest::keyClick(&p, Qt::Key_X);
        Zeichen(&p, QStringLiteral("ä"));
        QCOMPARE(p.Text(), QStringLiteral("abc"));
        // the caret still moves, for reading with the keyboard
        p.SetSelStart(0);
        QTest::keyClick(&p, Qt::Key_Right);
        QCOMPARE(p.SelStart(), 1);
        p.SetReadOnly(false);
        Zeichen(&p, QStringLiteral("ä"));
        QCOMPARE(p.Text(), QStringLiteral("aäbc"));
    }

    void tastenReihenfolge_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("zeichen");
        QTest::newRow("Buchstabe") << int(Qt::Key_A) << "a" << int('a');
        QTest::newRow("Umlaut") << int(Qt::Key_unknown) << "ö" << 0xf6;
        QTest::newRow("Eszett") << int(Qt::Key_unknown) << "ß" << 0xdf;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b" << 8;
        QTest::newRow("Enter") << int(Qt::Key_Return) << "\r" << 13;
        QTest::newRow("Ziffernblock-Enter") << int(Qt::Key_Enter) << "\r" << 13;
    }
    void tastenReihenfolge() {
        QFETCH(int, taste);
        QFETCH(QString, text);
        QFETCH(int, zeichen);
        for (const bool schluckenS : {false, true}) {
            TTextPane p;
            p.SetText(QStringLiteral("xy"));
            p.SetSelStart(1);
            QStringList ereignisse;
            p.OnKeyDown = [&](TTextPane* APane, int& AKey, Qt::KeyboardModifiers) {
                QVERIFY(APane == &p);
                ereignisse << QStringLiteral("down %1").arg(AKey);
            };
            p.OnKeyPress = [&](TTextPane*, QChar& AKey) {
                ereignisse << QStringLiteral("press %1").arg(AKey.unicode());
                if (schluckenS) AKey = QChar();
            };
            QTest::sendKeyEvent(QTest::Press, &p, Qt::Key(taste), text, Qt::NoModifier);
            QCOMPARE(ereignisse, QStringList({QStringLiteral("down %1").arg(taste),
                                              QStringLiteral("press %1").arg(zeichen)}));
            if (schluckenS)
                QCOMPARE(p.Text(), QStringLiteral("xy"));
            else
                QVERIFY(p.Text() != QStringLiteral("xy"));
        }
    }

    void geschluckteTasteErreichtNichts_data() {
        QTest::addColumn<int>("taste");
        QTest::addColumn<QString>("text");
        QTest::newRow("Buchstabe") << int(Qt::Key_A) << "a";
        QTest::newRow("Umlaut") << int(Qt::Key_unknown) << "ä";
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << "\b";
        QTest::newRow("Entf") << int(Qt::Key_Delete) << "\x7f";
        QTest::newRow("Pos1") << int(Qt::Key_Home) << "";
    }
    void geschluckteTasteErreichtNichts() {
        QFETCH(int, taste);
        QFETCH(QString, text);
        TTextPane p;
        p.SetText(QStringLiteral("abc"));
        p.SetSelStart(2);
        int zeichen = 0;
        p.OnKeyDown = [](TTextPane*, int& AKey, Qt::KeyboardModifiers) { AKey = 0; };
        p.OnKeyPress = [&](TTextPane*, QChar&) { ++zeichen; };
        QTest::sendKeyEvent(QTest::Press, &p, Qt::Key(taste), text, Qt::NoModifier);
        QCOMPARE(zeichen, 0);
        QCOMPARE(p.Text(), QStringLiteral("abc"));
        QCOMPARE(p.SelStart(), 2);
    }

    void entfIstKeinZeichen() {
        // Delete must not arrive as a typed character (its text is DEL, 127).
        TTextPane p;
        p.SetText(QStringLiteral("abc"));
        QList<int> zeichen;
        p.OnKeyPress = [&](TTextPane*, QChar& AKey) { zeichen << AKey.unicode(); };
        QTest::sendKeyEvent(QTest::Press, &p, Qt::Key_Delete, QStringLiteral("\x7f"), Qt::NoModifier);
        QVERIFY(zeichen.isEmpty());
        QCOMPARE(p.Text(), QStringLiteral("bc")); // the pane's own Delete
    }

    void zusammengesetztesZeichen() {
        TTextPane p;
        QString gesehen;
        bool schluckenS = true;
        p.OnKeyPress = [&](TTextPane*, QChar& AKey) {
            gesehen += AKey;
            if (schluckenS) AKey = QChar();
        };
        QInputMethodEvent e;
        e.setCommitString(QStringLiteral("é"));
        QApplication::sendEvent(&p, &e);
        QCOMPARE(gesehen, QStringLiteral("é"));
        QCOMPARE(p.Text(), QString());
        schluckenS = false;
        QApplication::sendEvent(&p, &e);
        QCOMPARE(p.Text(), QStringLiteral("é"));
    }

    void menueTastenWirkenBeiFokus() {
        QWidget fenster;
        auto* pane = new TTextPane(&fenster);
        auto* anderes = new QLineEdit(&fenster);
        auto* layout = new QVBoxLayout(&fenster);
        layout->addWidget(pane);
        layout->addWidget(anderes);
        QMenu menu(&fenster);
        QAction* a = menu.addAction(QStringLiteral("Alles"));
        a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A)); // a key QTextEdit wants for itself
        QAction* b = menu.addAction(QStringLiteral("Weiter"));
        b->setShortcut(QKeySequence(Qt::Key_F6));
        QSignalSpy spyA(a, &QAction::triggered);
        QSignalSpy spyB(b, &QAction::triggered);
        pane->SetPopupMenu(&menu);
        QCOMPARE(pane->PopupMenu(), &menu);
        pane->SetText(QStringLiteral("abc"));
        fenster.show();
        fenster.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&fenster));
        pane->setFocus();
        QTRY_VERIFY(pane->hasFocus());
        QTest::keyClick(pane, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(pane, Qt::Key_F6);
        QCOMPARE(spyA.count(), 1);
        QCOMPARE(spyB.count(), 1);
        QCOMPARE(pane->SelLength(), 0);
        anderes->setFocus();
        QTRY_VERIFY(anderes->hasFocus());
        QTest::keyClick(anderes, Qt::Key_F6);
        QCOMPARE(spyB.count(), 1);
        // a menu taken away takes its keys along
        pane->SetPopupMenu(nullptr);
        pane->setFocus();
        QTRY_VERIFY(pane->hasFocus());
        QTest::keyClick(pane, Qt::Key_F6);
        QCOMPARE(spyB.count(), 1);
    }

    void nichtsKommtUeberDieZwischenablage() {
        TTextPane p;
        p.show();
        p.SetText(QStringLiteral("abc"));
        p.SetSelStart(3);
        QApplication::clipboard()->setText(QStringLiteral("xyz"));
        p.paste();
        QCOMPARE(p.Text(), QStringLiteral("abc"));
        QTest::keyClick(&p, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(p.Text(), QStringLiteral("abc"));
    }

    void rtfHinUndZurueck() {
        QTemporaryDir dir;
        const QString datei = dir.filePath(QStringLiteral("bericht.rtf"));
        const QString text = QStringLiteral("Grüße aus Köln\nÄrger über Öl und Maß");
        TTextPane quelle;
        quelle.SetText(text);
        QVERIFY(quelle.SaveRtf(datei, QFont(QStringLiteral("Arial"), 12)));
        QFile f(datei);
        QVERIFY(f.open(QIODevice::ReadOnly));
        QVERIFY(f.readAll().startsWith("{\\rtf1"));
        TTextPane ziel;
        QVERIFY(ziel.LoadRtf(datei));
        QCOMPARE(ziel.Text(), text);
        // a file that cannot be read or written leaves the pane as it was
        QVERIFY(!ziel.LoadRtf(dir.filePath(QStringLiteral("fehlt.rtf"))));
        QCOMPARE(ziel.Text(), text);
        QVERIFY(!ziel.SaveRtf(dir.filePath(QStringLiteral("fehlt/x.rtf")), QFont()));
    }
};

QTEST_MAIN(TstTextPane)
#include "tst_textpane.moc"
