// A keystroke in the typing pane (over a 200-character line, overwrite mode,
// including the repaint) and bringing a line up: medians of many runs on a
// real main window with doubled services.

#include "DatenC.h"
#include "FertigDialog.h"
#include "Haupt.h"
#include "HauptFixture.h"
#include "Pfade.h"
#include "TextPane.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <QTextStream>
#include <algorithm>
#include <vector>

namespace {

bool Schreibe(const QString& APfad, const QByteArray& AInhalt) {
    QDir().mkpath(QFileInfo(APfad).absolutePath());
    QFile f(APfad);
    return f.open(QIODevice::WriteOnly) && f.write(AInhalt) == AInhalt.size();
}

// What the keyboard sends for one typed character (umlauts come as text).
void Taste(QWidget* AWidget, QChar AZeichen) {
    const QString text(AZeichen);
    const int key = AZeichen.unicode() < 128 ? QChar(AZeichen).toUpper().unicode() : int(Qt::Key_unknown);
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(AWidget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(AWidget, &release);
}

double Median(std::vector<qint64>& AZeiten) {
    std::sort(AZeiten.begin(), AZeiten.end());
    return static_cast<double>(AZeiten[AZeiten.size() / 2]);
}

void Warten(int AMs) {
    QElapsedTimer uhr;
    uhr.start();
    while (uhr.elapsed() < AMs)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Settings and per-user folders of the run stay in a throw-away home.
    QTemporaryDir heim;
    qputenv("HOME", heim.path().toUtf8());
    for (const char* v : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_DOCUMENTS_DIR", "XDG_CACHE_HOME"})
        qputenv(v, (heim.path() + QLatin1Char('/') + QLatin1String(v)).toUtf8());
    QApplication app(argc, argv);
    QTextStream out(stdout);

    QTemporaryDir ordner;
    const QString p = ordner.path() + QStringLiteral("/");
    QString zeile;
    while (zeile.size() < 200)
        zeile += QStringLiteral("Über die Brücke gehen wir früh, große Füße tragen Maß. ");
    zeile.truncate(200);
    constexpr int Zeilen = 10;
    QByteArray datei = "Messdatei\r\n";
    for (int i = 0; i < Zeilen; ++i)
        datei += "Vorlage " + QByteArray::number(i) + "\r\n" + zeile.toUtf8() + "\r\n";
    if (!Schreibe(p + "Trainingstexte/Mess.kat", "0 Messbereich\r\n1 Mess\r\n") ||
        !Schreibe(p + "Trainingstexte/Mess/a.txt", "\xEF\xBB\xBF" + datei)) {
        out << "Der Messbereich konnte nicht angelegt werden.\n";
        return 1;
    }
    PfadeBerechnen(p + QStringLiteral("Tastaro"), p);

    TFakeServices fakes;
    TFakeSprache sprache; // no voice chosen: silent
    TFakeFertig fertig;
    TFakeAuswahl auswahl;
    TFakeOptionen optionen;
    TFakeSchrift schrift;
    THauptDienste d;
    d.Services = fakes.Services();
    d.Sprache = sprache.Platform();
    d.Fertig = &fertig;
    d.Auswahl = &auswahl;
    d.Optionen = &optionen;
    d.Schrift = &schrift;
    TForm1 form(d);
    form.LoadKatThread();
    form.WaitForLoadKatThread();
    form.SetModus(mUeberschreiben);
    form.resize(1000, 700);
    form.show();
    Warten(200); // the start questions pass (answered "Nein")

    Innen(&form).Kategorie->SetAktivNr(0);
    Innen(&form).Daten->Load(Innen(&form).Kategorie->Get(0).Path, QStringLiteral("*.txt *.rtf"));
    Innen(&form).Daten->SetAktivNr(0);
    form.Timer1LosTimer();
    if (form.AktivNr() != 0 || Innen(&form).Memo2->TextLength() != 200) {
        out << "Die Messzeile kam nicht: AktivNr " << form.AktivNr() << ", Länge "
            << Innen(&form).Memo2->TextLength() << "\n";
        return 1;
    }
    Innen(&form).Memo2->setFocus();
    Warten(50);

    // (a) one typed character, right, over the line, with the repaint it causes
    constexpr int Tasten = 1000;
    std::vector<qint64> tasten;
    tasten.reserve(Tasten);
    QElapsedTimer uhr;
    while (static_cast<int>(tasten.size()) < Tasten) {
        if (Innen(&form).GeschriebenText.size() >= zeile.size()) {
            form.SetAktivNr(form.AktivNr());
            QApplication::processEvents();
        }
        const QChar c = zeile.at(Innen(&form).GeschriebenText.size());
        const qsizetype vorher = Innen(&form).GeschriebenText.size();
        uhr.start();
        Taste(Innen(&form).Memo2, c);
        QApplication::processEvents();
        tasten.push_back(uhr.nsecsElapsed());
        if (Innen(&form).GeschriebenText.size() != vorher + 1) {
            out << "Der Tastendruck kam nicht an.\n";
            return 1;
        }
    }

    // (b) bringing a line up, without an audio text
    constexpr int Runden = 200;
    std::vector<qint64> zeilen;
    zeilen.reserve(Runden);
    for (int i = 0; i < Runden; ++i) {
        const int n = (i + 1) % Zeilen;
        uhr.start();
        form.SetAktivNr(n);
        QApplication::processEvents();
        zeilen.push_back(uhr.nsecsElapsed());
    }

    out << "Tastendruck im Tippfeld (Überschreiben, 200 Zeichen, mit Neuzeichnen), Median über " << Tasten
        << " Tasten: " << QString::number(Median(tasten) / 1000.0, 'f', 1) << " µs\n";
    out << "Zeile aufrufen (SetAktivNr, ohne Audiotext), Median über " << Runden
        << " Läufe: " << QString::number(Median(zeilen) / 1e6, 'f', 3) << " ms\n";
    form.hide();
    return 0;
}
