#include "touch_gestures.h"

#include "instrument_drag.h"
#include "instrument_reach.h"

#include "document/units.h"

#include <algorithm>
#include <cmath>
#include <iterator>

namespace velmora {

namespace {

const QPointF Margin(PointerMarginPx, PointerMarginPx);

double Distance(QPointF a, QPointF b) { return std::hypot(b.x() - a.x(), b.y() - a.y()); }

} // namespace

QPointF TouchGestures::At(int id) const
{
    const auto found = down_.find(id);
    return found == down_.end() ? QPointF() : found->second - Margin;
}

bool TouchGestures::Reaches(Instrument which, QPointF at) const
{
    const SurfaceView &view = host_.View();
    const double s = view.PixelsPerMm();
    if (!(s > 0))
        return false;
    const double lengthMm = (double(view.PageWidthPx()) + view.PageHeightPx()) / s; // as the ruler is drawn
    return InstrumentReaches(host_.Instruments(), which, at.x() / s, (at.y() - view.ActivePageTopPx) / s, ReachPx / s,
                             lengthMm);
}

void TouchGestures::Update(const std::vector<Finger> &fingers, bool begin, bool penNear)
{
    if (begin && mode_ != Mode::Idle) {
        // The last sequence never ended here (a dialog took its release): it ends now.
        if (mode_ == Mode::One && dispatch_.Dragging())
            dispatch_.PointerUp(down_.count(first_) ? down_[first_] : QPointF());
        mode_ = Mode::Idle;
        down_.clear();
    }
    std::vector<int> pressed;
    for (const Finger &f : fingers) {
        if (f.State == Finger::Phase::Pressed && !down_.count(f.Id))
            pressed.push_back(f.Id);
        if (f.State != Finger::Phase::Released || down_.count(f.Id))
            down_[f.Id] = f.Surface;
    }

    if (mode_ == Mode::Idle && !pressed.empty()) {
        first_ = pressed.front();
        penRest_ = penNear;
        if (down_.size() >= 2 || penNear) {
            mode_ = Mode::Resting; // two at once (no finger draws alone), or a hand beside the pen
        } else {
            mode_ = Mode::One;
            dispatch_.PointerDown(PointerButton::Left, down_[first_]);
        }
    }
    if ((mode_ == Mode::One || mode_ == Mode::Resting) && down_.size() >= 2) {
        const auto other = std::find_if(down_.begin(), down_.end(), [this](const auto &f) { return f.first != first_; });
        StartTwo(first_, other->first, penNear || penRest_);
    }

    switch (mode_) {
    case Mode::One:
        for (const Finger &f : fingers)
            if (f.Id == first_ && f.State == Finger::Phase::Moved)
                dispatch_.PointerMove(f.Surface);
        break;
    case Mode::Rigid: FollowRigid(); break;
    case Mode::Arc:
        if (down_.count(second_)) {
            const QPointF lead = At(second_);
            compass_.DragArc(arc_, qRound(lead.x()), qRound(lead.y()));
        }
        break;
    case Mode::View: FollowView(); break;
    default: break;
    }

    for (const Finger &f : fingers) {
        if (f.State != Finger::Phase::Released || !down_.count(f.Id))
            continue;
        if (mode_ == Mode::One && f.Id == first_) {
            dispatch_.PointerUp(f.Surface);
            mode_ = Mode::Spent;
        } else if (mode_ == Mode::Rigid || mode_ == Mode::Arc || mode_ == Mode::View) {
            EndTwo();
        }
        down_.erase(f.Id);
    }
    if (down_.empty())
        mode_ = Mode::Idle;
}

void TouchGestures::StartTwo(int first, int second, bool penNear)
{
    if (mode_ == Mode::One)
        dispatch_.Withdraw(); // what the first finger began was no drawing
    first_ = first;
    second_ = second;
    const QPointF a = At(first), b = At(second);
    host_.View().PressAt(qRound(a.y()) + PointerMarginPx);
    placementAtStart_ = host_.Instruments();
    firstAtStart_ = a;
    secondAtStart_ = b;

    // The compass with two hands: one finger on the needle, the other on the lead.
    if (host_.InstrumentShown(Instrument::Compass)) {
        const SurfaceView &view = host_.View();
        const double s = view.PixelsPerMm(), reach = ReachPx / s;
        const auto mm = [&](QPointF p) { return QPointF(p.x() / s, (p.y() - view.ActivePageTopPx) / s); };
        const InstrumentPlacement &p = host_.Instruments();
        const QPointF am = mm(a), bm = mm(b);
        const bool needleA = OnCompassNeedle(p, am.x(), am.y(), reach), leadB = OnCompassLead(p, bm.x(), bm.y(), reach);
        const bool needleB = OnCompassNeedle(p, bm.x(), bm.y(), reach), leadA = OnCompassLead(p, am.x(), am.y(), reach);
        if ((needleA && leadB) || (needleB && leadA)) {
            if (!(needleA && leadB))
                std::swap(first_, second_);
            mode_ = Mode::Arc;
            const QPointF lead = At(second_);
            arc_ = compass_.PressArc(qRound(lead.x()), qRound(lead.y()));
            return;
        }
    }
    // The instrument on top that both fingers touch.
    for (auto it = std::rbegin(AllInstruments); it != std::rend(AllInstruments); ++it)
        if (host_.InstrumentShown(*it) && Reaches(*it, a) && Reaches(*it, b)) {
            which_ = *it;
            mode_ = Mode::Rigid;
            return;
        }
    if (penNear) {
        mode_ = Mode::Spent; // the resting hand moves no view
        return;
    }
    mode_ = Mode::View;
    zoomAtStart_ = host_.Zoom();
    pixelsPerMmAtStart_ = host_.View().PixelsPerMm();
    scrollAtStart_ = host_.Scroll();
    midpointMm_ = (a + b) / 2 / pixelsPerMmAtStart_;
}

// The instrument follows the two fingers as a rigid piece: turned by the angle their line
// turned, and moved so that its point under their first midpoint lies under their midpoint now.
void TouchGestures::FollowRigid()
{
    const QPointF a = At(first_), b = At(second_);
    const QPointF d0 = secondAtStart_ - firstAtStart_, d1 = b - a;
    if (Distance(a, b) == 0 || Distance(firstAtStart_, secondAtStart_) == 0)
        return;
    const InstrumentPose start = PoseOf(placementAtStart_, which_);
    const double turned = double(RadToDeg(std::atan2(d1.y(), d1.x()) - std::atan2(d0.y(), d0.x())));
    const double angle = SnappedAngle(start.Angle + turned);
    const double t = double(DegToRad(angle - start.Angle));
    const SurfaceView &view = host_.View();
    const double s = view.PixelsPerMm();
    const QPointF mid0 = (firstAtStart_ + secondAtStart_) / 2, mid1 = (a + b) / 2;
    const QPointF ref(start.X * s, start.Y * s + view.ActivePageTopPx);
    const QPointF r = ref - mid0;
    const QPointF moved(r.x() * std::cos(t) - r.y() * std::sin(t) + mid1.x(), r.x() * std::sin(t) + r.y() * std::cos(t) + mid1.y());
    const InstrumentPose pose = PoseOf(host_.Instruments(), which_);
    pose.X = moved.x() / s;
    pose.Y = (moved.y() - view.ActivePageTopPx) / s;
    pose.Angle = angle;
    host_.DrawingChanged();
    ShowAngleReadout(host_, which_);
    host_.ShowPlacement();
}

// Pan and pinch: the zoom follows the fingers' distance, the sheet point under their midpoint
// at the start stays under their midpoint.
void TouchGestures::FollowView()
{
    const QPointF a = At(first_), b = At(second_);
    const double d0 = Distance(firstAtStart_, secondAtStart_), d1 = Distance(a, b);
    const ScrollState scroll = host_.Scroll();
    const QPointF midInView = (a + b) / 2 - QPointF(scroll.H, scroll.V);
    bool zoomed = false;
    if (d0 > 0 && d1 > 0) {
        const double wanted = std::clamp(zoomAtStart_ * d1 / d0, 1.0, 300.0);
        if (Round(wanted) != host_.Zoom()) {
            host_.SetZoom(wanted);
            zoomed = true;
        }
    }
    const double s = host_.View().PixelsPerMm();
    const double h = midpointMm_.x() * s - midInView.x(), v = midpointMm_.y() * s - midInView.y();
    host_.SetScroll(std::max(0, Round(h)), std::max(0, Round(v)));
    if (zoomed)
        host_.DrawingChanged();
}

void TouchGestures::EndTwo()
{
    if (mode_ == Mode::Arc) {
        compass_.ReleaseArc(arc_);
        host_.DrawingChanged(); // the arc's rubber band
    } else if (mode_ == Mode::Rigid) {
        host_.WipePreviews(); // the angle's readout
        host_.ShowPlacement();
    }
    mode_ = Mode::Spent;
}

void TouchGestures::PenCameNear()
{
    if (mode_ != Mode::One)
        return;
    dispatch_.Withdraw();
    mode_ = Mode::Resting;
    penRest_ = true;
}

void TouchGestures::Cancel()
{
    switch (mode_) {
    case Mode::One: dispatch_.Withdraw(); break;
    case Mode::Rigid:
    case Mode::Arc:
        host_.Instruments() = placementAtStart_;
        host_.DrawingChanged();
        host_.ShowPlacement();
        break;
    case Mode::View:
        if (host_.Zoom() != zoomAtStart_)
            host_.SetZoom(zoomAtStart_);
        host_.SetScroll(scrollAtStart_.H, scrollAtStart_.V);
        host_.DrawingChanged();
        break;
    default: break;
    }
    mode_ = Mode::Idle;
    down_.clear();
}

} // namespace velmora
