#include "drawing_surface.h"

#include "render/canvas/painter_canvas.h"
#include "session/document_session.h"
#include "worksheet/page_images.h"

#include <QAccessibleWidget>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>
#include <QWheelEvent>

namespace velmora {

namespace {

// Assistive technology sees the paint box as a canvas, named and described by the window.
QAccessibleInterface *PaintBoxAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("velmora::PaintBox") && object && object->isWidgetType())
        return new QAccessibleWidget(static_cast<QWidget *>(object), QAccessible::Canvas);
    return nullptr;
}

} // namespace

DrawingSurface::DrawingSurface(DocumentSession &session, QWidget *parent) : QScrollArea(parent), session_(session)
{
    setObjectName(QStringLiteral("drawingSurface"));
    setWidgetResizable(false);
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setFrameShape(QFrame::NoFrame);
    // Room for the focus frame, around the drawing; the keyboard goes to the paint box.
    setViewportMargins(FocusFrameWidth, FocusFrameWidth, FocusFrameWidth, FocusFrameWidth);
    setFocusPolicy(Qt::NoFocus);
    // The area around the sheets shows the application-workspace colour.
    QPalette workspace = viewport()->palette();
    workspace.setColor(QPalette::Window, parent->palette().color(QPalette::Dark));
    viewport()->setPalette(workspace);
    viewport()->setAutoFillBackground(true);

    static const bool canvasKnown = [] {
        QAccessible::installFactory(PaintBoxAccessible);
        return true;
    }();
    Q_UNUSED(canvasKnown);
    paintBox = new PaintBox;
    // A click on the sheet takes the keyboard from an edit, so Ctrl+Z undoes the drawing, not
    // the edit's typing; Tab reaches it like every control.
    paintBox->setFocusPolicy(Qt::StrongFocus);
    paintBox->setAccessibleName(QStringLiteral("Zeichenfläche"));
    paintBox->OnPaint = [this](QPainter &painter, const QRect &exposed) { Paint(painter, exposed); };
    setWidget(paintBox);
    pagesReady_ = std::make_unique<PageReadyListener>([this] {
        if (!pagesQueued_.exchange(true))
            QMetaObject::invokeMethod(
                this,
                [this] {
                    pagesQueued_ = false;
                    ShowArrivedPages();
                },
                Qt::QueuedConnection);
    });
}

DrawingSurface::~DrawingSurface()
{
    pagesReady_.reset(); // no page is told about from here on
}

double DrawingSurface::ScreenDpiX() const
{
    const int dpi = paintBox->logicalDpiX();
    return dpi > 0 ? dpi : 96;
}

double DrawingSurface::ScreenDpiY() const
{
    const int dpi = paintBox->logicalDpiY();
    return dpi > 0 ? dpi : ScreenDpiX();
}

ViewGeometry DrawingSurface::CurrentView() const
{
    const DrawingSettings settings = session_.Settings();
    return ComputeViewGeometry(settings.SheetCount, settings.Zoom, ScreenDpiX(), ScreenDpiY(),
                               settings.Page.WidthInch, settings.Page.HeightInch);
}

SheetView DrawingSurface::CurrentSheetView() const
{
    const DrawingSettings settings = session_.Settings();
    return {settings.RulerShown, settings.ProtractorShown, settings.CompassShown, settings.InchLabels,
            settings.SetSquareShown};
}

void DrawingSurface::Repaint(PaintScope scope)
{
    if (paintSuspended_)
        return;
    const ViewGeometry view = CurrentView();
    View.Geometry = view;
    // The previews drawn over the old picture go with it, also when the surface changes size.
    const QRect overlay = Overlay.DrawnRect();
    Overlay.Clear();
    // The kept pictures follow the drawing, and texts get their measured boxes now, so what
    // follows the repaint can rely on them (a save right after opening a drawing, an undo).
    const std::optional<QRegion> changed =
        renderer_.AcceptDrawing(session_.Document(), view, CurrentSheetView(), scope, View.ActivePage);
    const QSize wanted = view.SurfaceSize();
    if (paintBox->size() != wanted) {
        // The resize makes the platform paint the surface again.
        paintBox->resize(wanted);
        return;
    }
    if (!changed) {
        paintBox->update();
        return;
    }
    // Only what the change touched, and where the previews were.
    const QRegion area = (*changed + overlay).intersected(paintBox->rect());
    if (!area.isEmpty())
        paintBox->update(area);
}

void DrawingSurface::Paint(QPainter &painter, const QRect &exposed)
{
    if (paintSuspended_)
        return;
    const ViewGeometry view = CurrentView();
    View.Geometry = view;
    // A new zoom shows the picture of the zoom before, scaled, at once; the sharp picture is
    // painted when the window has shown that.
    if (renderer_.PaintStandIn(painter, exposed, view)) {
        if (!sharpPending_) {
            sharpPending_ = true;
            QTimer::singleShot(0, this, [this] {
                sharpPending_ = false;
                renderer_.DropStandIn();
                paintBox->update();
            });
        }
    } else {
        renderer_.Paint(painter, exposed, session_.Document(), view, CurrentSheetView());
    }
    if (!Overlay.IsEmpty()) {
        PainterCanvas surface(painter);
        Overlay.ReplayOn(surface, exposed);
    }
    if (keyPointer_ && exposed.intersects(KeyPointerRect())) {
        // A dark cross on a light edge, seen on white paper and on dark lines alike.
        const QPointF c = *keyPointer_;
        const double arm = 7;
        painter.save();
        painter.resetTransform();
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (const auto &[colour, width] : {std::pair{QColor(Qt::white), 3.0}, {QColor(Qt::black), 1.0}}) {
            painter.setPen(QPen(colour, width));
            painter.drawLine(QPointF(c.x() - arm, c.y()), QPointF(c.x() + arm, c.y()));
            painter.drawLine(QPointF(c.x(), c.y() - arm), QPointF(c.x(), c.y() + arm));
        }
        if (keyPointerHeld_) {
            painter.setBrush(Qt::NoBrush);
            painter.drawEllipse(c, 3.5, 3.5);
        }
        painter.restore();
    }
}

QRect DrawingSurface::KeyPointerRect() const
{
    if (!keyPointer_)
        return QRect();
    const QPoint c = keyPointer_->toPoint();
    return QRect(c - QPoint(10, 10), QSize(21, 21));
}

void DrawingSurface::ShowKeyPointer(std::optional<QPointF> at, bool held)
{
    const QRect before = KeyPointerRect();
    keyPointer_ = at;
    keyPointerHeld_ = held;
    const QRect now = KeyPointerRect();
    if (!before.isNull())
        paintBox->update(before);
    if (!now.isNull())
        paintBox->update(now);
}

void DrawingSurface::ShowArrivedPages()
{
    const ViewGeometry view = CurrentView();
    if (paintSuspended_ || paintBox->size() != view.SurfaceSize())
        return; // the repaint under way shows them
    View.Geometry = view;
    const std::optional<QRegion> changed =
        renderer_.AcceptDrawing(session_.Document(), view, CurrentSheetView(), PaintScope::AllSheets, View.ActivePage);
    if (!changed)
        paintBox->update();
    else if (!changed->isEmpty())
        paintBox->update(changed->intersected(paintBox->rect()));
}

void DrawingSurface::ShowToolDrawing()
{
    const QRect dirty = Overlay.TakeDirtyRect();
    if (!dirty.isNull())
        paintBox->update(dirty.intersected(paintBox->rect()));
}

ScrollState DrawingSurface::Scroll() const
{
    return {horizontalScrollBar()->value(), verticalScrollBar()->value(), paintBox->width(), paintBox->height(),
            viewport()->width(),          viewport()->height()};
}

void DrawingSurface::ScrollTo(int h, int v)
{
    paintSuspended_ = true;
    horizontalScrollBar()->setValue(h);
    verticalScrollBar()->setValue(v);
    paintSuspended_ = false;
}

void DrawingSurface::ScrollToTopLeft()
{
    horizontalScrollBar()->setValue(0);
    verticalScrollBar()->setValue(0);
}

void DrawingSurface::ShowFocusFrame(bool shown)
{
    if (focusFrame_ == shown)
        return;
    focusFrame_ = shown;
    const QRect around = viewport()->geometry().adjusted(-FocusFrameWidth, -FocusFrameWidth, FocusFrameWidth,
                                                         FocusFrameWidth);
    update(QRegion(around).subtracted(viewport()->geometry()));
}

bool DrawingSurface::event(QEvent *event)
{
    const bool handled = QScrollArea::event(event);
    if (event->type() == QEvent::Paint && focusFrame_) {
        // In the margin around the viewport only: the drawing's pixels stay as they are.
        QPainter painter(this);
        const QRect inner = viewport()->geometry();
        const QRect outer = inner.adjusted(-FocusFrameWidth, -FocusFrameWidth, FocusFrameWidth, FocusFrameWidth);
        painter.setClipRegion(QRegion(outer).subtracted(inner));
        painter.fillRect(outer, palette().color(QPalette::Highlight));
    }
    return handled;
}

bool DrawingSurface::focusNextPrevChild(bool next)
{
    return QWidget::focusNextPrevChild(next);
}

bool DrawingSurface::viewportEvent(QEvent *event)
{
    if (event->type() != QEvent::Wheel)
        return QScrollArea::viewportEvent(event);
    const int delta = static_cast<QWheelEvent *>(event)->angleDelta().y();
    QScrollBar *bar = verticalScrollBar();
    if (delta > 0)
        bar->setValue(bar->value() - 20);
    else if (delta < 0)
        bar->setValue(bar->value() + 20);
    return true;
}

} // namespace velmora
