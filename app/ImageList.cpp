#include "app/ImageList.h"

#include <QIconEngine>
#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <functional>
#include <optional>

namespace kronax {
namespace {

constexpr int IconSize = 16;

using Painting = std::function<void(QPainter&)>;

QIcon Drawn(const Painting& paint) {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
}

// Draws its picture the first time it is shown: a menu's pictures are not needed before the menu
// opens, and drawing text in one would load a font while the window is being made.
class DeferredIconEngine : public QIconEngine {
public:
    explicit DeferredIconEngine(Painting paint) : paint_(std::move(paint)) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }

    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }

    QPixmap scaledPixmap(const QSize& size, QIcon::Mode mode, QIcon::State state,
                         qreal scale) override {
        return Icon().pixmap(size, scale, mode, state);
    }

    // As a picture's own size: never larger than the picture, scaled down into a smaller size.
    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const QSize drawn(IconSize, IconSize);
        return drawn.boundedTo(size) == drawn ? drawn : drawn.scaled(size, Qt::KeepAspectRatio);
    }

    QIconEngine* clone() const override { return new DeferredIconEngine(*this); }

private:
    const QIcon& Icon() {
        if (!icon_)
            icon_ = Drawn(paint_);
        return *icon_;
    }

    Painting paint_;
    std::optional<QIcon> icon_;
};

QIcon Draw(const Painting& paint) {
    return QIcon(new DeferredIconEngine(paint));
}

void Folder(QPainter& painter) {
    painter.setPen(QColor(140, 100, 0));
    painter.setBrush(QColor(250, 205, 70));
    painter.drawPolygon(QPolygon({{1, 4}, {6, 4}, {7, 6}, {14, 6}, {14, 14}, {1, 14}}));
}

void Floppy(QPainter& painter) {
    painter.setPen(QColor(20, 40, 110));
    painter.setBrush(QColor(50, 90, 190));
    painter.drawRect(1, 1, 13, 13);
    painter.setBrush(Qt::white);
    painter.drawRect(4, 1, 7, 5);
    painter.setBrush(QColor(200, 200, 200));
    painter.drawRect(4, 9, 7, 5);
}

void Board(QPainter& painter) {
    painter.setPen(QColor(20, 60, 20));
    painter.setBrush(QColor(40, 130, 60));
    painter.drawRect(1, 8, 14, 7);
    painter.setBrush(Qt::black);
    painter.drawRect(5, 10, 5, 3);
}

void Arrow(QPainter& painter, bool up, const QColor& colour) {
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    const QPolygon down({{6, 0}, {10, 0}, {10, 3}, {13, 3}, {8, 8}, {3, 3}, {6, 3}});
    const QPolygon upward({{8, 0}, {13, 5}, {10, 5}, {10, 8}, {6, 8}, {6, 5}, {3, 5}});
    painter.drawPolygon(up ? upward : down);
}

void Power(QPainter& painter) {
    painter.setPen(QPen(QColor(200, 30, 30), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawArc(QRect(2, 3, 12, 12), 120 * 16, 300 * 16);
    painter.drawLine(8, 1, 8, 8);
}

void Badge(QPainter& painter, const QString& sign) {
    painter.setPen(QColor(20, 40, 140));
    painter.setBrush(QColor(60, 110, 220));
    painter.drawEllipse(QRect(1, 1, 14, 14));
    QFont font = painter.font();
    font.setBold(true);
    font.setPixelSize(11);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRect(1, 1, 14, 14), Qt::AlignCenter, sign);
}

} // namespace

QList<QIcon> DrawImageList() {
    return {
        Draw(Folder),
        Draw(Floppy),
        Draw([](QPainter& p) {
            Board(p);
            Arrow(p, false, QColor(20, 150, 20));
        }),
        Draw([](QPainter& p) {
            Board(p);
            Arrow(p, true, QColor(210, 40, 20));
        }),
        Draw(Power),
        QIcon(),
        Draw([](QPainter& p) { Badge(p, "i"); }),
        QIcon(),
        Draw([](QPainter& p) { Badge(p, "?"); }),
    };
}

} // namespace kronax
