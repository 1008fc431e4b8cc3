#include "instrument_drag.h"

#include "document/units.h"

#include <QLocale>

#include <cmath>

namespace velmora {

std::optional<long double> DirectionValue(long double px, long double py, long double qx, long double qy)
{
    const long double dx = px - qx, dy = py - qy;
    const long double r = std::sqrt(dx * dx + dy * dy);
    if (r == 0)
        return std::nullopt;
    const long double v = dy / r;
    long double phi = RadToDeg(std::atan2(v, std::sqrt(std::max(0.0L, 1 - v * v))));
    if (dx > 0)
        phi = -90 - (phi + 90);
    return phi;
}

void TurnAbout(const SurfaceView &view, double pivotX, double pivotY, QPoint press, int x, int y, double angleAtPress,
               double &angle)
{
    const long double qx = static_cast<long double>(pivotX) * view.PixelsPerMm();
    const long double qy = static_cast<long double>(pivotY) * view.PixelsPerMm() + view.ActivePageTopPx;
    const auto atPress = DirectionValue(press.x(), press.y(), qx, qy);
    const auto now = DirectionValue(x, y, qx, qy);
    if (atPress && now)
        angle = double(angleAtPress + *atPress - *now);
}

InstrumentMove StartMove(ToolHost &host, Instrument which, int x, int y)
{
    const InstrumentPose pose = PoseOf(host.Instruments(), which);
    return {which, QPoint(x, y), pose.X, pose.Y};
}

void FollowMove(ToolHost &host, const InstrumentMove &move, int x, int y)
{
    const double s = host.View().PixelsPerMm();
    const InstrumentPose pose = PoseOf(host.Instruments(), move.Which);
    pose.X = (x - move.Press.x()) / s + move.XAtPress;
    pose.Y = (y - move.Press.y()) / s + move.YAtPress;
    host.DrawingChanged();
    host.ShowPlacement();
}

InstrumentTurn StartTurn(ToolHost &host, Instrument which, int x, int y, bool placeOnRelease)
{
    return {which, QPoint(x, y), PoseOf(host.Instruments(), which).Angle, placeOnRelease};
}

void FollowTurn(ToolHost &host, const InstrumentTurn &turn, int x, int y, bool snap)
{
    const InstrumentPose pose = PoseOf(host.Instruments(), turn.Which);
    TurnAbout(host.View(), pose.X, pose.Y, turn.Press, x, y, turn.AngleAtPress, pose.Angle);
    if (snap)
        pose.Angle = SnappedAngle(pose.Angle);
    host.DrawingChanged();
    if (snap)
        ShowAngleReadout(host, turn.Which);
    host.ShowPlacement();
}

double SnappedAngle(double degrees)
{
    if (!std::isfinite(degrees))
        return degrees;
    const double step = std::round(degrees / 15) * 15;
    if (std::fabs(degrees - step) <= 1.5)
        return step == 0 ? 0.0 : step; // no negative zero
    const double whole = std::round(degrees);
    return whole == 0 ? 0.0 : whole;
}

void ShowAngleReadout(ToolHost &host, Instrument which)
{
    const InstrumentPose pose = PoseOf(host.Instruments(), which);
    double shown = std::fmod(pose.Angle, 360.0);
    if (shown < 0)
        shown += 360;
    if (shown >= 359.95) // what rounds to 360 reads 0
        shown = 0;
    const QString text = QLocale().toString(shown, 'f', std::round(shown) == shown ? 0 : 1) + QChar(0x00B0);
    const SurfaceView &view = host.View();
    const double s = view.PixelsPerMm();
    const int x = Round(pose.X * s) + PointerMarginPx + 14;
    const int y = Round(pose.Y * s) + view.ActivePageTopPx + PointerMarginPx - 30;
    Canvas &surface = host.Surface();
    FontSpec font;
    font.Face = QStringLiteral("Arial");
    font.PixelHeight = 14;
    font.Colour = ColourBlack;
    surface.SetFont(font);
    const int w = surface.TextWidth(text);
    surface.SetPenColour(ColourGrey);
    surface.SetPenWidth(1);
    surface.SetPenStyle(PenStyle::Solid);
    surface.SetBrushColour(ColourWhite);
    surface.SetBrushStyle(BrushStyle::Solid);
    surface.Rectangle(x - 4, y - 2, x + w + 5, y + 19);
    surface.SetBrushStyle(BrushStyle::Clear); // the previews after it draw outlines
    surface.SetBackgroundTransparent(true);
    surface.TextOut(x, y, text);
}

} // namespace velmora
