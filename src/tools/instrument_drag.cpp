#include "instrument_drag.h"

#include "document/units.h"

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

void FollowTurn(ToolHost &host, const InstrumentTurn &turn, int x, int y)
{
    const InstrumentPose pose = PoseOf(host.Instruments(), turn.Which);
    TurnAbout(host.View(), pose.X, pose.Y, turn.Press, x, y, turn.AngleAtPress, pose.Angle);
    host.DrawingChanged();
    host.ShowPlacement();
}

} // namespace velmora
