#include "app/ImageList.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygon>

#include <functional>

namespace kronax {
namespace {

constexpr int IconSize = 16;

QIcon Draw(const std::function<void(QPainter&)>& paint) {
    QPixmap pixmap(IconSize, IconSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    paint(painter);
    return QIcon(pixmap);
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
