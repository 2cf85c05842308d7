#include "gui/app/ButtonIcons.h"

#include <QDirIterator>
#include <QPainter>
#include <QPixmap>
#include <QPolygonF>

#include <functional>

namespace {

constexpr int kSize = 20; // px, drawn at twice the size for sharp scaling
const QColor kInk(40, 40, 40);
const QColor kAccent(0, 0, 255);

QIcon Draw(const std::function<void(QPainter&)>& paint, int size = kSize) {
    QPixmap pixmap(size * 2, size * 2);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2.0, 2.0);
    paint(p);
    p.end();
    return QIcon(pixmap);
}

void Triangle(QPainter& p, double x, double y, double w, double h, bool right) {
    QPolygonF t;
    if (right) {
        t << QPointF(x, y) << QPointF(x + w, y + h / 2) << QPointF(x, y + h);
    } else {
        t << QPointF(x + w, y) << QPointF(x, y + h / 2) << QPointF(x + w, y + h);
    }
    p.drawPolygon(t);
}

// A magnifying glass with a mark inside: '+', '-' or a frame.
void Magnifier(QPainter& p, char mark) {
    p.setPen(QPen(kInk, 1.8));
    p.setBrush(Qt::white);
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
    p.setPen(QPen(kInk, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.2, 12.2), QPointF(17.5, 17.5));
    p.setPen(QPen(kAccent, 1.6));
    p.setBrush(Qt::NoBrush);
    if (mark == '+' || mark == '-') {
        p.drawLine(QPointF(5, 8), QPointF(11, 8));
    }
    if (mark == '+') {
        p.drawLine(QPointF(8, 5), QPointF(8, 11));
    }
    if (mark == 'F') {
        p.drawRect(QRectF(5.3, 5.3, 5.4, 5.4));
    }
}

} // namespace

QIcon PlayIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 140, 0));
        Triangle(p, 6, 4, 10, 12, true);
    });
}

QIcon PlayLoopIcon() {
    return Draw([](QPainter& p) {
        p.setPen(QPen(QColor(0, 140, 0), 1.8));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(3, 3, 14, 14), 60 * 16, 300 * 16);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 140, 0));
        Triangle(p, 8, 6.5, 6, 7, true);
        QPolygonF head;
        head << QPointF(12.5, 0.8) << QPointF(17.5, 4.2) << QPointF(12, 6.8);
        p.drawPolygon(head);
    });
}

QIcon StopIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(190, 0, 0));
        p.drawRect(QRectF(5, 5, 10, 10));
    });
}

QIcon ZoomInIcon() {
    return Draw([](QPainter& p) { Magnifier(p, '+'); });
}

QIcon ZoomOutIcon() {
    return Draw([](QPainter& p) { Magnifier(p, '-'); });
}

QIcon ZoomOutFullIcon() {
    return Draw([](QPainter& p) { Magnifier(p, 'F'); });
}

QIcon ScrollLeftIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        Triangle(p, 4, 5, 8, 10, false);
        p.drawRect(QRectF(12, 8.5, 5, 3));
    });
}

QIcon ScrollRightIcon() {
    return Draw([](QPainter& p) {
        p.setPen(Qt::NoPen);
        p.setBrush(kInk);
        Triangle(p, 8, 5, 8, 10, true);
        p.drawRect(QRectF(3, 8.5, 5, 3));
    });
}

// Outside any namespace, as Qt's macro requires.
static void InitIconResource() {
    Q_INIT_RESOURCE(zembrel_icon);
}

QIcon ProgramIcon() {
    // The resources hold the program's icon in every size it is installed in.
    static const bool loaded = (InitIconResource(), true);
    (void)loaded;
    QIcon icon;
    QDirIterator sizes(QStringLiteral(":/icons"), {QStringLiteral("zembrel.png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (sizes.hasNext()) {
        icon.addFile(sizes.next());
    }
    return icon;
}
