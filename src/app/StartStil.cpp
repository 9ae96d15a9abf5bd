#include "StartStil.h"

#include <QApplication>
#include <QFile>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

#include <algorithm>
#include <optional>
#include <thread>

namespace {

// The reading of the desktop's icon theme ahead of its first use.
std::jthread sSymbolthemaLesen;

// An icon of the base style, fetched on first use.
class TSpaetesIcon final : public QIconEngine {
public:
    TSpaetesIcon(QStyle* AStil, QStyle::StandardPixmap AArt) : FStil(AStil), FArt(AArt) {}

    void paint(QPainter* APainter, const QRect& ARect, QIcon::Mode AMode, QIcon::State AState) override {
        Icon().paint(APainter, ARect, Qt::AlignCenter, AMode, AState);
    }
    QSize actualSize(const QSize& ASize, QIcon::Mode AMode, QIcon::State AState) override {
        return Icon().actualSize(ASize, AMode, AState);
    }
    QPixmap pixmap(const QSize& ASize, QIcon::Mode AMode, QIcon::State AState) override {
        return Icon().pixmap(ASize, AMode, AState);
    }
    QPixmap scaledPixmap(const QSize& ASize, QIcon::Mode AMode, QIcon::State AState, qreal AScale) override {
        return Icon().pixmap(ASize, AScale, AMode, AState);
    }
    QList<QSize> availableSizes(QIcon::Mode AMode, QIcon::State AState) override {
        return Icon().availableSizes(AMode, AState);
    }
    bool isNull() override { return Icon().isNull(); }
    QString key() const override { return QStringLiteral("TSpaetesIcon"); }
    QIconEngine* clone() const override { return new TSpaetesIcon(FStil, FArt); }

private:
    const QIcon& Icon() {
        if (!FIcon) {
            SymbolthemaAbwarten();
            FIcon = FStil ? FStil->standardIcon(FArt) : QIcon();
        }
        return *FIcon;
    }

    QPointer<QStyle> FStil;
    QStyle::StandardPixmap FArt;
    std::optional<QIcon> FIcon;
};

// The picture of a message box button, from the same files in the same
// sizes the base style names, but each read as PNG by name when it is first
// needed. Qt's own way of reading them first asks every image format plugin
// whether it knows the file, and so loads them all (with the SVG module) for
// the start question. The choice of size, the scaling and the disabled look
// follow the base style's icons.
class TKnopfIcon final : public QIconEngine {
public:
    explicit TKnopfIcon(const QString& AName) : FName(AName) {
        for (int i = 0; i < 3; ++i)
            FLeerS = FLeerS || !QFile::exists(Datei(i));
    }

    QPixmap pixmap(const QSize& ASize, QIcon::Mode AMode, QIcon::State) override {
        QPixmap pm = Bild(Passend(ASize));
        if (pm.isNull()) return pm;
        QSize groesse = pm.size();
        if (groesse.width() > ASize.width() || groesse.height() > ASize.height())
            groesse.scale(ASize, Qt::KeepAspectRatio);
        if (pm.size() != groesse) pm = pm.scaled(groesse, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        if (AMode != QIcon::Normal) {
            QStyleOption option;
            option.palette = QGuiApplication::palette();
            const QPixmap erzeugt = QApplication::style()->generatedIconPixmap(AMode, pm, &option);
            if (!erzeugt.isNull()) pm = erzeugt;
        }
        return pm;
    }
    void paint(QPainter* APainter, const QRect& ARect, QIcon::Mode AMode, QIcon::State AState) override {
        const QPixmap pm = pixmap(ARect.size(), AMode, AState);
        APainter->drawPixmap(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, pm.size(), ARect), pm);
    }
    QSize actualSize(const QSize& ASize, QIcon::Mode AMode, QIcon::State AState) override {
        return pixmap(ASize, AMode, AState).size();
    }
    QList<QSize> availableSizes(QIcon::Mode, QIcon::State) override {
        return {FGroessen[0], FGroessen[1], FGroessen[2]};
    }
    // Whether its files are missing; they are read only when drawn.
    bool isNull() override { return FLeerS; }
    QString key() const override { return QStringLiteral("TKnopfIcon"); }
    QIconEngine* clone() const override { return new TKnopfIcon(FName); }

private:
    // As the base style's icons choose: the smallest picture that covers the
    // request, else the largest, with a picture's size taken from its file
    // once it has been read.
    int Passend(const QSize& ASize) const {
        const auto flaeche = [](const QSize& AGroesse) {
            return qint64(AGroesse.width()) * AGroesse.height();
        };
        const qint64 gesucht = flaeche(ASize);
        int beste = 0;
        for (int i = 1; i < 3; ++i) {
            const qint64 a = flaeche(FGroessen[i]);
            const qint64 b = flaeche(FGroessen[beste]);
            if ((std::min(a, b) >= gesucht ? std::min(a, b) : std::max(a, b)) == a) beste = i;
        }
        return beste;
    }

    QString Datei(int ANr) const {
        static constexpr int Namensgroessen[3] = {16, 32, 128};
        return QStringLiteral(":/qt-project.org/styles/commonstyle/images/standardbutton-%1-%2.png")
            .arg(FName)
            .arg(Namensgroessen[ANr]);
    }

    QPixmap Bild(int ANr) {
        if (!FBilder[ANr]) {
            QImageReader leser(Datei(ANr), "png");
            leser.setAutoDetectImageFormat(false);
            FBilder[ANr] = QPixmap::fromImage(leser.read());
            if (!FBilder[ANr]->isNull()) FGroessen[ANr] = FBilder[ANr]->size();
        }
        return *FBilder[ANr];
    }

    QString FName;
    bool FLeerS = false;
    QSize FGroessen[3] = {{16, 16}, {32, 32}, {128, 128}};
    std::optional<QPixmap> FBilder[3];
};

// Null when the desktop's icon theme has the picture or its files are
// missing: then the base style decides, as without this style.
QIcon KnopfIcon(QStyle::StandardPixmap AArt) {
    struct TKnopf {
        QStyle::StandardPixmap Art;
        const char* Name;  // of the files
        const char* Thema; // the icon theme's name for it
    };
    static constexpr TKnopf Knoepfe[] = {{QStyle::SP_DialogYesButton, "yes", "dialog-ok"},
                                         {QStyle::SP_DialogOkButton, "ok", "dialog-ok"},
                                         {QStyle::SP_DialogNoButton, "no", "dialog-cancel"},
                                         {QStyle::SP_DialogCancelButton, "cancel", "dialog-cancel"}};
    const auto k = std::find_if(std::begin(Knoepfe), std::end(Knoepfe),
                                [&](const TKnopf& AK) { return AK.Art == AArt; });
    if (k == std::end(Knoepfe)) return QIcon();
    if (!QIcon::themeName().isEmpty() && QIcon::hasThemeIcon(QLatin1String(k->Thema))) return QIcon();
    QIcon icon(new TKnopfIcon(QLatin1String(k->Name)));
    return icon.isNull() ? QIcon() : icon;
}

class TStartStil final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap AArt, const QStyleOption* AOption,
                       const QWidget* AWidget) const override {
        SymbolthemaAbwarten();
        // The overflow button of the menu bar appears only when the menus do
        // not fit into the window's width.
        if (AArt == SP_ToolBarHorizontalExtensionButton || AArt == SP_ToolBarVerticalExtensionButton)
            return QIcon(new TSpaetesIcon(baseStyle(), AArt));
        const QIcon knopf = KnopfIcon(AArt);
        if (!knopf.isNull()) return knopf;
        return QProxyStyle::standardIcon(AArt, AOption, AWidget);
    }
};

} // namespace

QStyle* StartStil() {
    return new TStartStil;
}

void SymbolthemaVorlesen() {
    if (sSymbolthemaLesen.joinable()) return;
    // What the platform's theme says (the theme's name, its folders) is asked
    // here, on the main thread: a desktop's theme may answer from a toolkit
    // that allows no other thread. The thread then only reads the files.
    QIcon::themeName();
    QIcon::themeSearchPaths();
    QIcon::fallbackThemeName();
    sSymbolthemaLesen = std::jthread([] {
        QIcon::hasThemeIcon(QStringLiteral("dialog-question"));
        // Joined by the main thread as soon as it is done, so that no later
        // lookup there runs beside it, whichever way the icon is asked for.
        QMetaObject::invokeMethod(qApp, &SymbolthemaAbwarten, Qt::QueuedConnection);
    });
}

void SymbolthemaAbwarten() {
    if (sSymbolthemaLesen.joinable()) sSymbolthemaLesen.join();
}
