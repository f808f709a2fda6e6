#include "core/ui/toolicons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <functional>

namespace quillet {
namespace {

QIcon drawn(const std::function<void(QPainter&)>& paint) {
    QPixmap pm(16, 16);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing, false);
    paint(p);
    p.end();
    return QIcon(pm);
}

// An opened yellow folder.
void folder(QPainter& p) {
    p.setPen(QColor(120, 90, 0));
    p.setBrush(QColor(240, 200, 60));
    p.drawRect(1, 4, 11, 9);
    p.drawRect(1, 2, 5, 2);
    p.setBrush(QColor(255, 230, 120));
    const QPointF flap[] = {{3, 7}, {15, 7}, {12, 13}, {1, 13}};
    p.drawPolygon(flap, 4);
}

// A blue floppy disk.
void disk(QPainter& p) {
    p.setPen(QColor(20, 40, 110));
    p.setBrush(QColor(60, 100, 200));
    p.drawRect(1, 1, 13, 13);
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(200, 200, 200));
    p.drawRect(3, 9, 9, 5);
    p.fillRect(9, 2, 2, 3, QColor(20, 40, 110));
}

// A grey printer with a sheet of paper.
void printer(QPainter& p) {
    p.setPen(QColor(60, 60, 60));
    p.setBrush(Qt::white);
    p.drawRect(4, 1, 7, 5);
    p.setBrush(QColor(170, 170, 170));
    p.drawRect(1, 6, 13, 6);
    p.setBrush(Qt::white);
    p.drawRect(4, 10, 7, 5);
    p.fillRect(11, 8, 2, 1, QColor(0, 160, 0));
}

// A small logger: a case with a display and a probe.
void logger(QPainter& p) {
    p.setPen(QColor(40, 40, 40));
    p.setBrush(QColor(235, 235, 225));
    p.drawRoundedRect(2, 1, 10, 14, 2, 2);
    p.setBrush(QColor(140, 200, 140));
    p.drawRect(4, 3, 6, 4);
    p.fillRect(5, 4, 1, 2, QColor(20, 60, 20));
    p.fillRect(7, 4, 2, 2, QColor(20, 60, 20));
    p.setBrush(QColor(200, 40, 40));
    p.drawEllipse(5, 10, 3, 3);
    p.setPen(QPen(QColor(80, 80, 80), 1));
    p.drawLine(12, 12, 15, 15);
}

// A graph: axes and two lines.
void graph(QPainter& p) {
    p.fillRect(1, 1, 14, 14, Qt::white);
    p.setPen(Qt::black);
    p.drawLine(2, 1, 2, 14);
    p.drawLine(2, 14, 15, 14);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setPen(QPen(QColor(220, 0, 0), 1.5));
    QPainterPath a;
    a.moveTo(3, 11);
    a.lineTo(6, 6);
    a.lineTo(9, 8);
    a.lineTo(14, 3);
    p.drawPath(a);
    p.setPen(QPen(QColor(0, 0, 220), 1.5));
    QPainterPath b;
    b.moveTo(3, 13);
    b.lineTo(7, 11);
    b.lineTo(10, 12);
    b.lineTo(14, 9);
    p.drawPath(b);
}

}  // namespace

QMap<QString, QIcon> toolbarImages() {
    QMap<QString, QIcon> images;
    images.insert(QStringLiteral("toolopen"), drawn(folder));
    images.insert(QStringLiteral("toolsave"), drawn(disk));
    images.insert(QStringLiteral("toolprint"), drawn(printer));
    images.insert(QStringLiteral("toollog"), drawn(logger));
    images.insert(QStringLiteral("toolgl"), drawn(graph));
    return images;
}

}  // namespace quillet
