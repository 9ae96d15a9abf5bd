// The help texts shipped beside the program. "Kurztasten.txt" is read by blind
// users instead of the menus, so every command line in it must name a real
// menu command with the key that command really has, and every command must
// be in it; the help menu must find all three files.

#include "HauptFixture.h"
#include "TextFile.h"
#include "TextPane.h"

#include <QMenuBar>
#include <QtTest>

namespace {

const QString DatenOrdner = QStringLiteral(TASTARO_SOURCE_DATA_DIR);
const QString BefehlsTrenner = QStringLiteral(" = ");
const QString TastenTrenner = QStringLiteral(" : ");
const QString OhneTaste = QStringLiteral("Ohne Taste: ");
const QString MenueVorsatz = QStringLiteral("Menü ");
const QString GesperrtAbschnitt = QStringLiteral("Gesperrte Tasten in beiden Textfeldern");
const QString TippenAbschnitt = QStringLiteral("Tasten beim Tippen");

QString Caption(const QAction* AAction) {
    return AAction->text().section(QLatin1Char('\t'), 0, 0).remove(QLatin1Char('&'));
}

// The heading under which a menu's commands stand, with the key that opens it.
QString MenueUeberschrift(const QMenu* AMenu) {
    const QString titel = AMenu->title();
    const qsizetype amp = titel.indexOf(QLatin1Char('&'));
    QString s = MenueVorsatz + QString(titel).remove(QLatin1Char('&'));
    if (amp >= 0 && amp + 1 < titel.size()) s += QStringLiteral(" (Alt+%1)").arg(titel.at(amp + 1).toUpper());
    return s;
}

// "Strg+Rechts" back into the key it stands for, so that the text is checked
// against what the key does and not only against what the menu shows.
QKeySequence AlsTaste(const QString& ATaste) {
    static const QHash<QString, QString> namen = {
        {QStringLiteral("Strg"), QStringLiteral("Ctrl")},
        {QStringLiteral("Umsch"), QStringLiteral("Shift")},
        {QStringLiteral("Rechts"), QStringLiteral("Right")},
        {QStringLiteral("Links"), QStringLiteral("Left")},
        {QStringLiteral("Auf"), QStringLiteral("Up")},
        {QStringLiteral("Ab"), QStringLiteral("Down")},
    };
    QStringList teile = ATaste.split(QLatin1Char('+'));
    for (QString& t : teile)
        t = namen.value(t, t);
    return QKeySequence::fromString(teile.join(QLatin1Char('+')), QKeySequence::PortableText);
}

struct TZeile {
    int Nr = 0;
    QString Abschnitt, Links, Rechts;
};

// A section begins with the first line after an empty line.
struct TKurztasten {
    QList<TZeile> Befehle, OhneTasten, Gesperrt, Tippen, Fehlplatziert;

    explicit TKurztasten(const QString& AText) {
        const QStringList zeilen = AText.split(QStringLiteral("\r\n"));
        QString abschnitt;
        bool neuS = true;
        for (int i = 0; i < zeilen.size(); ++i) {
            const QString& z = zeilen[i];
            if (z.trimmed().isEmpty()) {
                neuS = true;
                continue;
            }
            if (neuS) {
                abschnitt = z;
                neuS = false;
                continue;
            }
            const bool menueS = abschnitt.startsWith(MenueVorsatz);
            TZeile zeile{i + 1, abschnitt, {}, {}};
            if (z.contains(BefehlsTrenner)) {
                zeile.Links = z.section(BefehlsTrenner, 0, 0);
                zeile.Rechts = z.section(BefehlsTrenner, 1);
                (menueS ? Befehle : Fehlplatziert) << zeile;
            } else if (menueS && z.startsWith(OhneTaste)) {
                zeile.Links = z.mid(OhneTaste.size());
                OhneTasten << zeile;
            } else if (z.contains(TastenTrenner) &&
                       (abschnitt == GesperrtAbschnitt || abschnitt == TippenAbschnitt)) {
                zeile.Links = z.section(TastenTrenner, 0, 0);
                zeile.Rechts = z.section(TastenTrenner, 1);
                (abschnitt == GesperrtAbschnitt ? Gesperrt : Tippen) << zeile;
            }
        }
    }
};

void MenueAktionen(QMenu* AMenu, QList<QAction*>& AListe) {
    for (QAction* a : AMenu->actions()) {
        if (a->isSeparator()) continue;
        if (a->menu())
            MenueAktionen(a->menu(), AListe);
        else
            AListe << a;
    }
}

} // namespace

class TstKurztasten : public QObject {
    Q_OBJECT

    std::unique_ptr<THauptFixture> F;
    std::unique_ptr<TKurztasten> K;
    QString ProgrammPfad;

    QMenu* Menue(const QString& AUeberschrift) const {
        for (QAction* a : F->Form->menuBar()->actions())
            if (a->menu() && MenueUeberschrift(a->menu()) == AUeberschrift) return a->menu();
        return nullptr;
    }

private Q_SLOTS:
    void initTestCase() {
        F = std::make_unique<THauptFixture>();
        ProgrammPfad = F->Ordner.path() + QStringLiteral("/Tastaro");
        PfadeBerechnen(ProgrammPfad, DatenOrdner);
        F->Erzeugen();
        K = std::make_unique<TKurztasten>(ReadTextFile(DatenOrdner + QStringLiteral("/Kurztasten.txt")));
        QVERIFY(!K->Befehle.isEmpty());
    }

    // Another fixture may have moved the process-wide paths.
    void init() { PfadeBerechnen(ProgrammPfad, DatenOrdner); }

    void befehlsZeileStimmtMitMenue_data() {
        QTest::addColumn<QString>("abschnitt");
        QTest::addColumn<QString>("befehl");
        QTest::addColumn<QString>("taste");
        for (const TZeile& z : K->Befehle)
            QTest::addRow("%d: %s", z.Nr, qPrintable(z.Links)) << z.Abschnitt << z.Links << z.Rechts;
    }
    void befehlsZeileStimmtMitMenue() {
        QFETCH(QString, abschnitt);
        QFETCH(QString, befehl);
        QFETCH(QString, taste);
        QMenu* menue = Menue(abschnitt);
        QVERIFY2(menue, qPrintable(QStringLiteral("no menu for heading \"%1\"").arg(abschnitt)));
        QList<QAction*> aktionen;
        MenueAktionen(menue, aktionen);
        QList<QAction*> treffer;
        for (QAction* a : aktionen)
            if (Caption(a) == befehl) treffer << a;
        QCOMPARE(treffer.size(), 1);
        QCOMPARE(treffer[0]->data().toString(), taste);
        QCOMPARE(treffer[0]->shortcut(), AlsTaste(taste));
    }

    void ohneTasteZeileStimmtMitMenue_data() {
        QTest::addColumn<QString>("abschnitt");
        QTest::addColumn<QString>("befehl");
        for (const TZeile& z : K->OhneTasten)
            QTest::addRow("%d: %s", z.Nr, qPrintable(z.Links)) << z.Abschnitt << z.Links;
    }
    void ohneTasteZeileStimmtMitMenue() {
        QFETCH(QString, abschnitt);
        QFETCH(QString, befehl);
        QMenu* menue = Menue(abschnitt);
        QVERIFY(menue);
        QList<QAction*> aktionen;
        MenueAktionen(menue, aktionen);
        QList<QAction*> treffer;
        for (QAction* a : aktionen)
            if (Caption(a) == befehl) treffer << a;
        QCOMPARE(treffer.size(), 1);
        QVERIFY(treffer[0]->shortcut().isEmpty());
        QVERIFY(treffer[0]->data().toString().isEmpty());
    }

    // Every row of the command table, under the heading of its menu (a
    // submenu's commands stand under the menu that holds it).
    void jederMenuebefehlSteht_data() {
        QTest::addColumn<QString>("abschnitt");
        QTest::addColumn<QString>("befehl");
        QTest::addColumn<QString>("taste");
        for (const TBefehl& b : TForm1::Befehle()) {
            QString menue = QLatin1String(b.Menue);
            for (const TMenueZeile& m : TForm1::Menues())
                if (menue == QLatin1String(m.Name) && m.Ober) menue = QLatin1String(m.Ober);
            const QMenu* m = F->Form->menuBar()->findChild<QMenu*>(menue);
            QVERIFY(m);
            QTest::newRow(b.Name) << MenueUeberschrift(m)
                                  << QString::fromUtf8(b.Caption).remove(QLatin1Char('&'))
                                  << TastenText(QKeySequence(b.Taste));
        }
    }
    void jederMenuebefehlSteht() {
        QFETCH(QString, abschnitt);
        QFETCH(QString, befehl);
        QFETCH(QString, taste);
        const QList<TZeile>& liste = taste.isEmpty() ? K->OhneTasten : K->Befehle;
        const auto it = std::find_if(liste.begin(), liste.end(), [&](const TZeile& z) {
            return z.Abschnitt == abschnitt && z.Links == befehl && z.Rechts == taste;
        });
        QVERIFY2(
            it != liste.end(),
            qPrintable(taste.isEmpty()
                           ? QStringLiteral("missing under \"%1\": %2%3").arg(abschnitt, OhneTaste, befehl)
                           : QStringLiteral("missing under \"%1\": %2%3%4")
                                 .arg(abschnitt, befehl, BefehlsTrenner, taste)));
    }

    void gesperrteTastePiepstInBeidenFeldern_data() {
        QTest::addColumn<QString>("befehl");
        QTest::addColumn<QString>("taste");
        for (const TZeile& z : K->Gesperrt)
            QTest::addRow("%d: %s", z.Nr, qPrintable(z.Links)) << z.Links << z.Rechts;
    }
    void gesperrteTastePiepstInBeidenFeldern() {
        QFETCH(QString, befehl);
        QFETCH(QString, taste);
        const QList<QAction*> popup = Innen(F->Form).PopupMenu1->actions();
        QVERIFY(std::any_of(popup.begin(), popup.end(),
                            [&](QAction* a) { return !a->isVisible() && a->text() == befehl; }));
        for (TTextPane* m : {Innen(F->Form).Memo1, Innen(F->Form).Memo2}) {
            const QList<QAction*> tasten = m->actions();
            QVERIFY(std::any_of(tasten.begin(), tasten.end(),
                                [&](QAction* a) { return a->shortcut() == AlsTaste(taste); }));
        }
    }

    void alleGesperrtenTastenStehen() {
        QStringList versteckt;
        for (QAction* a : Innen(F->Form).PopupMenu1->actions())
            if (!a->isVisible()) versteckt << a->text();
        QStringList genannt;
        for (const TZeile& z : K->Gesperrt)
            genannt << z.Links;
        versteckt.sort();
        genannt.sort();
        QCOMPARE(genannt, versteckt);
    }

    // The typing keys are not commands: they must not look like command lines.
    void tippTastenGetrenntVonBefehlen() {
        for (const TZeile& z : K->Fehlplatziert)
            QFAIL(qPrintable(QStringLiteral("line %1 outside a menu section uses \"%2\": %3%2%4")
                                 .arg(z.Nr)
                                 .arg(BefehlsTrenner, z.Links, z.Rechts)));
        QStringList tasten;
        for (const TZeile& z : K->Tippen)
            tasten << z.Links;
        for (const char* t : {"Eingabetaste", "Rücktaste", "Esc"})
            QVERIFY2(tasten.contains(QString::fromUtf8(t)), t);
    }

    void hilfeDateiDaUndGeoeffnet_data() {
        QTest::addColumn<QString>("datei");
        QTest::addColumn<QString>("befehl");
        QTest::newRow("Hilfe") << "Tastaro-Hilfe.txt"
                               << "MenuHilfeHilfe";
        QTest::newRow("Kurztasten") << "Kurztasten.txt"
                                    << "MenuHilfeKurztasten";
        QTest::newRow("Änderungen") << "History.txt"
                                    << "MenuHilfeHistory";
    }
    void hilfeDateiDaUndGeoeffnet() {
        QFETCH(QString, datei);
        QFETCH(QString, befehl);
        const QString pfad = DatenOrdner + QLatin1Char('/') + datei;
        QVERIFY(QFile::exists(pfad));
        QVERIFY(IsValidUtf8(pfad).ValidS);
        QFile f(pfad);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray roh = f.readAll();
        for (qsizetype i = roh.indexOf('\n'); i >= 0; i = roh.indexOf('\n', i + 1))
            QVERIFY2(i > 0 && roh.at(i - 1) == '\r', "every line ends with CR LF");
        const QString text = ReadTextFile(pfad);
        QVERIFY(!text.trimmed().isEmpty());
        // the version the window caption names
        QVERIFY(text.contains(F->Form->windowTitle().section(QStringLiteral(" - "), -1)));

        // read inside the trainer, in the reader with the command's name
        QVERIFY(F->Form->Erlaubt(befehl));
        const qsizetype vorher = F->Fertig.Gezeigt.size();
        F->Form->Aktion(befehl)->trigger();
        QCOMPARE(F->Fertig.Gezeigt.size(), vorher + 1);
        const TFertigDaten& leser = F->Fertig.Gezeigt.last();
        QVERIFY(!leser.FertigS);
        QCOMPARE(leser.Titel, Caption(F->Form->Aktion(befehl)).remove(QStringLiteral("...")));
        QCOMPARE(leser.Zeilen.join(QStringLiteral("\r\n")), text);
        QVERIFY(F->Fakes.Shell.Textdateien.isEmpty());
    }

    void fehlendeHilfeDateiGesperrt() {
        THauptFixture g;
        g.Anlegen(); // a program folder without help texts
        g.Erzeugen();
        for (const char* befehl : {"MenuHilfeHilfe", "MenuHilfeKurztasten", "MenuHilfeHistory"}) {
            QVERIFY2(!g.Form->Erlaubt(QLatin1String(befehl)), befehl);
            g.Form->Aktion(QLatin1String(befehl))->trigger();
        }
        QVERIFY(g.Fertig.Gezeigt.isEmpty());
        // each refusal says which file is missing
        QVERIFY(g.Speech.Welt->Aufrufe.last().contains(QStringLiteral("Output(Die Datei History.txt fehlt")));
    }

    void cleanupTestCase() {
        K.reset();
        F.reset();
    }
};

QTEST_MAIN(TstKurztasten)
#include "tst_kurztasten.moc"
