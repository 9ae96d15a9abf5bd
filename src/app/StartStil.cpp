#include "StartStil.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>
#include <QProxyStyle>

#include <optional>

namespace {

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
        if (!FIcon) FIcon = FStil ? FStil->standardIcon(FArt) : QIcon();
        return *FIcon;
    }

    QPointer<QStyle> FStil;
    QStyle::StandardPixmap FArt;
    std::optional<QIcon> FIcon;
};

class TStartStil final : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap AArt, const QStyleOption* AOption, const QWidget* AWidget) const override {
        // The overflow button of the menu bar appears only when the menus do
        // not fit into the window's width.
        if (AArt == SP_ToolBarHorizontalExtensionButton || AArt == SP_ToolBarVerticalExtensionButton)
            return QIcon(new TSpaetesIcon(baseStyle(), AArt));
        return QProxyStyle::standardIcon(AArt, AOption, AWidget);
    }
};

} // namespace

QStyle* StartStil() {
    return new TStartStil;
}
