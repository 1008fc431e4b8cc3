#include "set_square_tool.h"

#include "guided_line.h"

#include "document/set_square.h"

#include <numbers>

namespace velmora {

namespace {

struct Frame {
    long double Ox, Oy, Ux, Uy, Nx, Ny; // the 0 point (global mm), the long side, into the body
};

Frame FrameOf(ToolHost &host)
{
    const InstrumentPlacement &p = host.Instruments();
    const SurfaceView &view = host.View();
    Frame f{p.SetSquareX, p.SetSquareY + static_cast<long double>(view.ActivePageTopPx) / view.PixelsPerMm(), 0, 0,
            0, 0};
    DirectionOf(p.SetSquareAngle, f.Ux, f.Uy);
    f.Nx = -f.Uy; // a quarter turn on, clockwise on the screen
    f.Ny = f.Ux;
    return f;
}

} // namespace

StraightEdge SetSquareTool::LongSide() const
{
    const Frame f = FrameOf(host_);
    return {f.Ox, f.Oy, f.Ux, f.Uy, -set_square::HalfLong, set_square::HalfLong};
}

StraightEdge SetSquareTool::ShortSide(int x, int y) const
{
    const Frame f = FrameOf(host_);
    const long double s = host_.View().PixelsPerMm();
    const long double along = (x / s - f.Ox) * f.Ux + (y / s - f.Oy) * f.Uy;
    const long double side = along < 0 ? -1 : 1;
    // From the right angle toward the acute corner on the pointer's side.
    const long double r = 1 / std::numbers::sqrt2_v<long double>;
    return {f.Ox + f.Nx * set_square::Height,
            f.Oy + f.Ny * set_square::Height,
            (side * f.Ux - f.Nx) * r,
            (side * f.Uy - f.Ny) * r,
            0,
            double(set_square::Height * std::numbers::sqrt2_v<long double>)};
}

StraightEdge SetSquareTool::SideFor(bool longSide, int x, int y) const
{
    return longSide ? LongSide() : ShortSide(x, y);
}

void SetSquareTool::Reach(GuidedLine &line, int x, int y, bool widen) const
{
    const double s = host_.View().PixelsPerMm();
    ReachPosition(line, line.Edge.Position(x / s, y / s), widen);
    line.Edge.PointAt(line.Min, line.X1, line.Y1);
    line.Edge.PointAt(line.Max, line.X2, line.Y2);
}

void SetSquareTool::Hover(bool longSide, int x, int y)
{
    GuidedLine dot{GuidedLine::Kind::Edge};
    dot.Edge = SideFor(longSide, x, y);
    Reach(dot, x, y, false);
    host_.WipePreviews();
    PreviewGuidedLine(host_, dot, 5);
}

GuidedLine SetSquareTool::Press(bool longSide, int x, int y)
{
    GuidedLine line{GuidedLine::Kind::Edge};
    line.Edge = SideFor(longSide, x, y); // a short side stays chosen until the release
    Reach(line, x, y, false);
    PreviewGuidedLine(host_, line, 3);
    return line;
}

void SetSquareTool::Drag(GuidedLine &line, int x, int y)
{
    Reach(line, x, y, true);
    host_.WipePreviews();
    PreviewGuidedLine(host_, line, 3);
}

} // namespace velmora
