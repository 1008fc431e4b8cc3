#include "command_icons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace velmora {

namespace {

const QColor Ink(40, 40, 40);

void DrawPage(QPainter &p, const QRectF &page)
{
    // A sheet of paper with a folded corner.
    const double fold = page.width() * 0.3;
    QPainterPath sheet(page.topLeft());
    sheet.lineTo(page.right() - fold, page.top());
    sheet.lineTo(page.right(), page.top() + fold);
    sheet.lineTo(page.bottomRight());
    sheet.lineTo(page.bottomLeft());
    sheet.closeSubpath();
    p.setBrush(Qt::white);
    p.drawPath(sheet);
    p.setBrush(Qt::NoBrush);
    p.drawPolyline(QPolygonF{{page.right() - fold, page.top()},
                             {page.right() - fold, page.top() + fold},
                             {page.right(), page.top() + fold}});
}

void DrawPrinter(QPainter &p, bool withPaper)
{
    if (withPaper) { // the printed sheet coming out on top
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 2.5, 10, 8));
        p.drawLine(QPointF(9, 5.5), QPointF(15, 5.5));
        p.drawLine(QPointF(9, 8), QPointF(14, 8));
    }
    p.setBrush(QColor(175, 180, 190));
    p.drawRoundedRect(QRectF(2.5, 9.5, 19, 8.5), 1.5, 1.5);
    p.setBrush(Qt::white);
    p.drawRect(QRectF(6.5, 15, 11, 6.5)); // paper tray
    p.setBrush(QColor(60, 170, 80));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(18.5, 12.5), 1.2, 1.2);
}

void DrawCurvedArrow(QPainter &p, bool left)
{
    if (!left) { // redo is undo mirrored
        p.translate(24, 0);
        p.scale(-1, 1);
    }
    QPainterPath bow(QPointF(6, 10));
    bow.cubicTo(QPointF(10, 5), QPointF(20, 5), QPointF(20, 13));
    bow.cubicTo(QPointF(20, 17), QPointF(17, 19), QPointF(13, 19.5));
    p.setPen(QPen(QColor(40, 90, 170), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(bow);
    QPainterPath head(QPointF(2.5, 11));
    head.lineTo(9.5, 4.5);
    head.lineTo(10, 13.5);
    head.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 90, 170));
    p.drawPath(head);
}

QPixmap Drawing(CommandIconKind kind, int size)
{
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(size / 24.0, size / 24.0);
    p.setPen(QPen(Ink, 1.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    switch (kind) {
    case CommandIconKind::PageSetup:
        DrawPage(p, QRectF(6.5, 2.5, 13, 17));
        // the sheet's width and height as dimension arrows
        p.setPen(QPen(QColor(40, 90, 170), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(6.5, 22), QPointF(19.5, 22));
        p.drawPolyline(QPolygonF{{8.5, 20.5}, {6.5, 22}, {8.5, 23.5}});
        p.drawPolyline(QPolygonF{{17.5, 20.5}, {19.5, 22}, {17.5, 23.5}});
        p.drawLine(QPointF(3, 2.5), QPointF(3, 19.5));
        p.drawPolyline(QPolygonF{{1.5, 4.5}, {3, 2.5}, {4.5, 4.5}});
        p.drawPolyline(QPolygonF{{1.5, 17.5}, {3, 19.5}, {4.5, 17.5}});
        break;
    case CommandIconKind::Print:
        DrawPrinter(p, true);
        break;
    case CommandIconKind::PrinterSetup:
        DrawPrinter(p, false);
        // a spanner over the printer: the printer is set up
        p.setPen(QPen(QColor(40, 90, 170), 2.4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(9, 8), QPointF(17, 1.8));
        p.setPen(QPen(QColor(40, 90, 170), 1.6));
        p.setBrush(Qt::NoBrush);
        p.drawArc(QRectF(4.2, 5.2, 6.2, 6.2), 60 * 16, 260 * 16);
        break;
    case CommandIconKind::Undo:
        DrawCurvedArrow(p, true);
        break;
    case CommandIconKind::Redo:
        DrawCurvedArrow(p, false);
        break;
    case CommandIconKind::New:
        DrawPage(p, QRectF(5, 2.5, 14, 19));
        break;
    case CommandIconKind::Open:
        p.setBrush(QColor(235, 200, 110));
        p.drawPolygon(QPolygonF{{2.5, 6}, {9, 6}, {11, 8}, {21.5, 8}, {21.5, 19.5}, {2.5, 19.5}});
        break;
    case CommandIconKind::Save:
    case CommandIconKind::SaveAs:
        p.setBrush(QColor(90, 120, 180));
        p.drawRoundedRect(QRectF(3, 3, 18, 18), 1.5, 1.5);
        p.setBrush(Qt::white);
        p.drawRect(QRectF(7, 3, 10, 6));
        p.drawRect(QRectF(6, 13, 12, 8));
        if (kind == CommandIconKind::SaveAs) {
            p.setPen(QPen(Ink, 2, Qt::SolidLine, Qt::RoundCap));
            p.drawLine(QPointF(13, 21), QPointF(22, 12));
        }
        break;
    case CommandIconKind::CopySheet:
        // the sheet and its copy, a triangle drawn on the copy
        DrawPage(p, QRectF(2.5, 2, 12, 15));
        DrawPage(p, QRectF(9.5, 7.5, 12, 15));
        p.setPen(QPen(QColor(40, 90, 170), 1.3, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPolygon(QPolygonF{{12, 20.5}, {19.5, 20.5}, {14, 13}});
        break;
    case CommandIconKind::Quit:
        p.drawRect(QRectF(3, 3, 11, 18));
        p.setPen(QPen(QColor(180, 40, 40), 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(9, 12), QPointF(21, 12));
        p.drawPolyline(QPolygonF{{17, 8}, {21, 12}, {17, 16}});
        break;
    }
    return pixmap;
}

QPixmap Faded(const QPixmap &normal)
{
    // Grey from the brightness, at a third of the opacity: no colour and little contrast left.
    QImage image = normal.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = 96 + qGray(row[x]) * 3 / 8;
            row[x] = qRgba(grey, grey, grey, qAlpha(row[x]) * 35 / 100);
        }
    }
    return QPixmap::fromImage(image);
}

constexpr int IconSizes[] = {16, 22, 24, 32, 48};

} // namespace

QStringList CommandIconThemeNames(CommandIconKind kind)
{
    switch (kind) {
    case CommandIconKind::New: return {"document-new"};
    case CommandIconKind::Open: return {"document-open"};
    case CommandIconKind::Save: return {"document-save"};
    case CommandIconKind::SaveAs: return {"document-save-as"};
    case CommandIconKind::PageSetup: return {"document-page-setup", "document-properties"};
    case CommandIconKind::Print: return {"document-print"};
    case CommandIconKind::PrinterSetup: return {"printer"};
    case CommandIconKind::Quit: return {"application-exit"};
    case CommandIconKind::Undo: return {"edit-undo"};
    case CommandIconKind::Redo: return {"edit-redo"};
    case CommandIconKind::CopySheet: return {"edit-copy"};
    }
    return {};
}

QIcon DrawnCommandIcon(CommandIconKind kind)
{
    QIcon icon;
    for (int size : IconSizes)
        icon.addPixmap(Drawing(kind, size));
    return icon;
}

QIcon WithFadedDisabledLook(const QIcon &source)
{
    QIcon icon;
    for (int size : IconSizes) {
        const QPixmap normal = source.pixmap(QSize(size, size));
        if (normal.isNull())
            continue;
        icon.addPixmap(normal, QIcon::Normal);
        icon.addPixmap(Faded(normal), QIcon::Disabled);
    }
    return icon;
}

QIcon CommandIcon(CommandIconKind kind)
{
    for (const QString &name : CommandIconThemeNames(kind))
        if (QIcon::hasThemeIcon(name))
            return WithFadedDisabledLook(QIcon::fromTheme(name));
    return WithFadedDisabledLook(DrawnCommandIcon(kind));
}

} // namespace velmora
