#include "tool_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

QIcon ToolIcon(ToolIconKind kind)
{
    QPixmap pixmap(24, 24);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 40, 40), 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
    case ToolIconKind::Ruler:
        p.translate(12, 12);
        p.rotate(-35);
        p.drawRect(QRectF(-11, -3.5, 22, 7));
        for (int i = -9; i <= 9; i += 3)
            p.drawLine(QPointF(i, -3.5), QPointF(i, i % 2 ? -1.5 : 0));
        break;
    case ToolIconKind::Protractor: {
        QPainterPath half;
        half.moveTo(2, 18);
        half.arcTo(QRectF(2, 4, 20, 28), 180, -180);
        half.closeSubpath();
        p.drawPath(half);
        p.drawLine(QPointF(12, 18), QPointF(18, 9));
        break;
    }
    case ToolIconKind::Compass:
        p.drawEllipse(QPointF(12, 4), 2, 2);
        p.drawLine(QPointF(11, 6), QPointF(5, 21));
        p.drawLine(QPointF(13, 6), QPointF(19, 21));
        p.drawLine(QPointF(8, 14), QPointF(16, 14));
        break;
    case ToolIconKind::SetSquare: {
        // The long side above with its scale, the right angle below, the perpendicular from 0
        // and the degree arc around it.
        QPainterPath outline(QPointF(1.5, 7));
        outline.lineTo(22.5, 7);
        outline.lineTo(12, 17.5);
        outline.closeSubpath();
        p.drawPath(outline);
        p.setPen(QPen(QColor(40, 40, 40), 1, Qt::SolidLine, Qt::FlatCap));
        for (int i = 4; i <= 20; i += 2)
            p.drawLine(QPointF(i, 7), QPointF(i, i == 12 ? 10 : 8.5));
        p.drawLine(QPointF(12, 11.5), QPointF(12, 17));
        p.drawArc(QRectF(6.5, 1.5, 11, 11), 180 * 16, 180 * 16);
        break;
    }
    case ToolIconKind::Curves: {
        QPainterPath curve(QPointF(3, 19));
        curve.cubicTo(QPointF(6, 2), QPointF(16, 24), QPointF(21, 5));
        p.drawPath(curve);
        break;
    }
    case ToolIconKind::Pencil:
        p.translate(12, 12);
        p.rotate(45);
        p.drawRect(QRectF(-10, -3, 15, 6));
        p.drawLine(QPointF(5, -3), QPointF(10, 0));
        p.drawLine(QPointF(5, 3), QPointF(10, 0));
        break;
    case ToolIconKind::Eraser:
        p.translate(12, 12);
        p.rotate(-30);
        p.setBrush(QColor(230, 140, 150));
        p.drawRoundedRect(QRectF(-9, -5, 18, 10), 2, 2);
        p.drawLine(QPointF(-2, -5), QPointF(-2, 5));
        break;
    case ToolIconKind::Text: {
        QFont font = p.font();
        font.setPixelSize(18);
        font.setBold(true);
        p.setFont(font);
        p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("T"));
        break;
    }
    case ToolIconKind::Objects: {
        QPainterPath arrow(QPointF(5, 3));
        arrow.lineTo(5, 19);
        arrow.lineTo(9, 15);
        arrow.lineTo(12, 21);
        arrow.lineTo(14, 20);
        arrow.lineTo(11, 14);
        arrow.lineTo(17, 14);
        arrow.closeSubpath();
        p.drawPath(arrow);
        break;
    }
    case ToolIconKind::Hand: {
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(7 + i * 3.5, 13), QPointF(7 + i * 3.5, 4 + (i == 0 || i == 3 ? 3 : 0)));
        p.drawLine(QPointF(4, 12), QPointF(7, 17));
        p.drawArc(QRectF(5, 10, 15, 11), 180 * 16, 180 * 16);
        break;
    }
    case ToolIconKind::Zoom:
        p.drawEllipse(QPointF(10, 10), 6.5, 6.5);
        p.setPen(QPen(QColor(40, 40, 40), 3, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(15, 15), QPointF(21, 21));
        break;
    }
    return QIcon(pixmap);
}

} // namespace velmora
