#include "app/shell/icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <cmath>
#include <map>

namespace orv::app {
namespace {

const QColor kNavy(0x1F, 0x2E, 0x7A);
const QColor kOrange(0xCA, 0x65, 0x00);
const QColor kGreen(0x2D, 0x92, 0x27);

void Lines(QPainter& p, int x, int y, int w, int n) {
    for (int i = 0; i < n; ++i)
        p.drawLine(x, y + i * 5, x + w, y + i * 5);
}

void Magnifier(QPainter& p, QPointF c, double r) {
    p.setPen(QPen(kNavy, 2.5));
    p.setBrush(QColor(0xD8, 0xEC, 0xFF));
    p.drawEllipse(c, r, r);
    p.setPen(QPen(kOrange, 4, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(c + QPointF(r * 0.75, r * 0.75), c + QPointF(r * 1.8, r * 1.8));
}

void Capsule(QPainter& p, QRectF r) {
    QPainterPath left, right;
    const double h = r.height();
    left.addRoundedRect(QRectF(r.left(), r.top(), r.width() / 2 + h / 2, h), h / 2, h / 2);
    right.addRoundedRect(QRectF(r.center().x() - h / 2, r.top(), r.width() / 2 + h / 2, h), h / 2,
                         h / 2);
    p.setPen(QPen(kNavy, 1.2));
    p.setBrush(QColor(0xE0, 0x40, 0x30));
    p.drawPath(left);
    p.setBrush(Qt::white);
    p.drawPath(right.subtracted(left));
    p.drawPath(left);
}

void Folder(QPainter& p, bool open) {
    p.setPen(QPen(QColor(0x8A, 0x5A, 0x00), 1.2));
    p.setBrush(QColor(0xF5, 0xC8, 0x4C));
    p.drawRect(QRectF(2, 5, 20, 15));
    p.drawRect(QRectF(2, 3, 8, 3));
    if (open) {
        p.setBrush(QColor(0xFF, 0xE2, 0x8A));
        QPolygonF flap{{5, 9}, {23, 9}, {20, 20}, {2, 20}};
        p.drawPolygon(flap);
    }
}

void Draw(QPainter& p, IconId id) {
    p.setRenderHint(QPainter::Antialiasing);
    switch (id) {
        case IconId::ShowAll:
        case IconId::ListTab:
            p.setPen(QPen(kNavy, 2));
            for (int i = 0; i < 4; ++i) {
                p.fillRect(QRectF(3, 4 + i * 5, 3, 3), kOrange);
                p.drawLine(9, 5 + i * 5, 21, 5 + i * 5);
            }
            break;
        case IconId::ExtSearch:
        case IconId::Filter:
            Magnifier(p, {9.5, 9.5}, 6);
            break;
        case IconId::Update: {
            p.setPen(QPen(kGreen, 3, Qt::SolidLine, Qt::RoundCap));
            p.setBrush(Qt::NoBrush);
            p.drawArc(QRectF(4, 4, 16, 16), 30 * 16, 270 * 16);
            p.setBrush(kGreen);
            p.setPen(Qt::NoPen);
            p.drawPolygon(QPolygonF{{15, 2}, {22, 6}, {15, 10}});
            break;
        }
        case IconId::Packets:
            p.setPen(QPen(QColor(0x6B, 0x45, 0x10), 1.3));
            p.setBrush(QColor(0xD9, 0xA8, 0x5E));
            p.drawRect(QRectF(3, 8, 18, 13));
            p.drawPolygon(QPolygonF{{3, 8}, {7, 3}, {25, 3}, {21, 8}});
            p.setPen(QPen(kNavy, 2));
            p.drawLine(12, 11, 12, 18);
            p.drawLine(9, 15, 12, 18);
            p.drawLine(15, 15, 12, 18);
            break;
        case IconId::Settings: {
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x70, 0x78, 0x88));
            p.translate(12, 12);
            for (int i = 0; i < 8; ++i) {
                p.drawRect(QRectF(-1.8, -10, 3.6, 5));
                p.rotate(45);
            }
            p.drawEllipse(QPointF(0, 0), 7, 7);
            p.setBrush(Qt::white);
            p.drawEllipse(QPointF(0, 0), 2.8, 2.8);
            break;
        }
        case IconId::Display:
            p.setPen(QPen(kNavy, 1.5));
            p.setBrush(QColor(0xBF, 0xE3, 0xFF));
            p.drawRoundedRect(QRectF(2, 3, 20, 14), 2, 2);
            p.drawLine(12, 17, 12, 21);
            p.drawLine(7, 21, 17, 21);
            break;
        case IconId::Print:
            p.setPen(QPen(kNavy, 1.3));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6, 2, 12, 8));
            p.setBrush(QColor(0x9A, 0xA4, 0xB4));
            p.drawRoundedRect(QRectF(2, 9, 20, 9), 2, 2);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(6, 15, 12, 7));
            Lines(p, 8, 17, 8, 1);
            break;
        case IconId::Exit:
            p.setPen(QPen(QColor(0xC0, 0x20, 0x20), 3, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(6, 6, 18, 18);
            p.drawLine(18, 6, 6, 18);
            break;
        case IconId::Help:
        case IconId::About: {
            p.setPen(Qt::NoPen);
            p.setBrush(id == IconId::Help ? kNavy : kGreen);
            p.drawEllipse(QRectF(2, 2, 20, 20));
            p.setPen(Qt::white);
            QFont f(QStringLiteral("DejaVu Sans"));
            f.setPixelSize(15);
            f.setBold(true);
            p.setFont(f);
            p.drawText(QRectF(2, 2, 20, 20), Qt::AlignCenter,
                       id == IconId::Help ? QStringLiteral("?") : QStringLiteral("i"));
            break;
        }
        case IconId::TreeTab:
            Folder(p, false);
            break;
        case IconId::History:
            p.setPen(QPen(kNavy, 2));
            p.setBrush(Qt::white);
            p.drawEllipse(QRectF(3, 3, 18, 18));
            p.setPen(QPen(kOrange, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(12, 12, 12, 6);
            p.drawLine(12, 12, 16, 14);
            break;
        case IconId::Favourite: {
            QPolygonF star;
            for (int i = 0; i < 10; ++i) {
                const double r = i % 2 == 0 ? 10.0 : 4.2;
                const double a = -M_PI / 2 + i * M_PI / 5;
                star << QPointF(12 + r * std::cos(a), 12.5 + r * std::sin(a));
            }
            p.setPen(QPen(kOrange, 1.3));
            p.setBrush(QColor(0xFF, 0xD0, 0x30));
            p.drawPolygon(star);
            break;
        }
        case IconId::Description:
            p.setPen(QPen(kNavy, 1.3));
            p.setBrush(Qt::white);
            p.drawRect(QRectF(4, 2, 16, 20));
            p.setPen(QPen(kOrange, 1.5));
            Lines(p, 7, 7, 10, 3);
            break;
        case IconId::Panes:
            p.setPen(QPen(kNavy, 1.3));
            p.setBrush(Qt::white);
            for (int r = 0; r < 3; ++r)
                for (int c = 0; c < 2; ++c)
                    p.drawRect(QRectF(2 + c * 10.5, 2 + r * 7, 9, 5.5));
            break;
        case IconId::Query:
            p.setPen(QPen(kGreen, 2.5, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(4, 12, 20, 12);
            p.drawLine(14, 6, 20, 12);
            p.drawLine(14, 18, 20, 12);
            break;
        case IconId::Counter:
            p.setPen(QPen(kNavy, 1.2));
            p.setBrush(QColor(0xFF, 0xF4, 0xB0));
            p.drawRect(QRectF(3, 3, 18, 18));
            p.setPen(QPen(kNavy, 2));
            Lines(p, 6, 8, 12, 3);
            break;
        case IconId::Leaf:
            Capsule(p, QRectF(2, 8, 20, 8));
            break;
        case IconId::GroupClosed:
            Folder(p, false);
            break;
        case IconId::GroupOpen:
            Folder(p, true);
            break;
        case IconId::App:
            p.setPen(Qt::NoPen);
            p.setBrush(kNavy);
            p.drawRoundedRect(QRectF(0, 0, 24, 24), 4, 4);
            p.setBrush(Qt::white);
            p.drawRect(QRectF(9, 4, 6, 16));
            p.drawRect(QRectF(4, 9, 16, 6));
            break;
    }
}

}  // namespace

QIcon AppIcon(IconId id) {
    static std::map<IconId, QIcon> cache;
    auto it = cache.find(id);
    if (it != cache.end())
        return it->second;
    QIcon icon;
    for (int size : {24, 48}) {
        QPixmap pm(size, size);
        pm.fill(Qt::transparent);
        QPainter p(&pm);
        p.scale(size / 24.0, size / 24.0);
        Draw(p, id);
        p.end();
        icon.addPixmap(pm);
    }
    return cache.emplace(id, icon).first->second;
}

}  // namespace orv::app
