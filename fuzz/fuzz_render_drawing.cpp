// libFuzzer target for the renderer: every drawing the reader accepts is drawn, without a
// crash or undefined behaviour, to PNG, BMP and SVG and to the window's surface with the
// instruments over it, at device pixel ratios 1 and 1.5, a worksheet's pages under its
// sheets. Sheets are kept within 40 inches a side and each input's work small: a few dozen
// objects and texts, images of a few hundred pixels, a small part of the surface.
#include "document/drawing_file.h"
#include "document/set_square.h"
#include "render/output/sheet_export.h"
#include "render/output/sheet_svg.h"
#include "render/surface/device_pixels.h"
#include "render/surface/surface_renderer.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace {

constexpr double MaxSideInch = 40;
constexpr int MaxObjects = 64, MaxTexts = 16;
constexpr int ImageSidePx = 300; // the longer side of the PNG and the BMP

void NeedApplication()
{
    if (QGuiApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "fuzz_render_drawing";
    static char *argv[] = {name, nullptr};
    new QGuiApplication(argc, argv); // lives as long as the process
}

// The surface of a window showing the drawing, painted where the instruments lie and at
// the first sheet's corner, as a paint event of that part does.
void PaintSurface(velmora::DrawingState &state, const velmora::DrawingFileSettings &settings, int sheets,
                  qreal ratio, bool setSquare)
{
    using namespace velmora;
    const double zoom = std::isfinite(settings.Zoom) ? std::clamp(settings.Zoom, 1.0, 300.0) : 100;
    const ViewGeometry view = ComputeViewGeometry(sheets, int(std::lround(zoom)), 96, 96, state.PageWidthInch,
                                                  state.PageHeightInch);
    const SheetView show{settings.RulerShown, settings.ProtractorShown, settings.CompassShown, ratio != 1, setSquare};
    QImage surface(int(std::ceil(160 * ratio)), int(std::ceil(120 * ratio)), QImage::Format_RGB32);
    surface.setDevicePixelRatio(ratio);
    const InstrumentPlacement &p = state.Placement;
    const double s = view.PixelsPerMm;
    auto near = [s](double mm) {
        const double px = mm * s;
        return std::isfinite(px) ? int(std::clamp(px, -1e6, 1e6)) : 0;
    };
    SurfaceRenderer renderer;
    for (const QPoint at : {QPoint(0, 0), QPoint(near(p.ProtractorX), near(p.ProtractorY)),
                            QPoint(near(p.RulerX), near(p.RulerY)), QPoint(near(p.CompassX), near(p.CompassY)),
                            QPoint(near(p.SetSquareX), near(p.SetSquareY))}) {
        const QRect exposed(at - QPoint(80, 60), QSize(160, 120));
        surface.fill(Qt::gray);
        QPainter painter(&surface);
        painter.translate(-exposed.topLeft());
        renderer.Paint(painter, exposed, state, view, show);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    using namespace velmora;
    NeedApplication();
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char *>(data), qsizetype(size));
    DrawingState state;
    DrawingFileSettings settings;
    if (ReadDrawingFile(bytes, state, settings) != DrawingFileError::None)
        return 0;
    // As the window and the exporter take the drawing, within the bounds of this target.
    state.PageWidthInch = std::min(settings.PageWidthInch, MaxSideInch);
    state.PageHeightInch = std::min(settings.PageHeightInch, MaxSideInch);
    state.Paper = settings.Paper;
    state.Placement = settings.Placement;
    bool setSquare = true;
    SetSquareFromChunks(settings.Chunks, state.Placement, setSquare);
    if (state.Objects.Count > MaxObjects || state.Texts.Count > MaxTexts)
        return 0; // beyond this target's bound of work (its inputs are a few kilobytes)
    const int sheets = SheetCountOf(settings);
    const int last = sheets - 1;

    const double dpi = std::max(10.0, ImageSidePx / std::max(state.PageWidthInch, state.PageHeightInch));
    QBuffer png, bmp;
    png.open(QIODevice::WriteOnly);
    bmp.open(QIODevice::WriteOnly);
    (void)WriteSheetPng(state, sheets, last, dpi, png);
    (void)WriteSheetBmp(state, sheets, 0, dpi, bmp);
    QByteArray svg;
    (void)SheetSvg(state, sheets, 0, QStringLiteral("fuzz"), svg);

    PaintSurface(state, settings, sheets, 1, setSquare);
    PaintSurface(state, settings, sheets, 1.5, setSquare);
    return 0;
}
