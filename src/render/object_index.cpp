#include "object_index.h"

#include "document/drawing_state.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr int MaxBandsPerObject = 64;
constexpr double BandedLimitMm = 1e6;

} // namespace

bool ObjectIndex::Meets(const Box &box, double left, double top, double right, double bottom) const
{
    // A box with NaN edges fails every comparison and so is never culled.
    return !(box.Right < left || box.Left > right || box.Bottom < top || box.Top > bottom);
}

void ObjectIndex::Refresh(const DrawingState &state)
{
    const auto &objects = state.Objects;
    if (builtFor_ == &state && builtVersion_ == objects.Version() && builtContent_ == state.ContentRevision())
        return;
    builtFor_ = &state;
    builtVersion_ = objects.Version();
    builtContent_ = state.ContentRevision();

    boxes_.assign(size_t(objects.Count), Box{});
    bands_.clear();
    unbanded_.clear();
    std::vector<std::pair<int64_t, int64_t>> spans(size_t(objects.Count), {0, -1});
    int64_t lowBand = INT64_MAX, highBand = INT64_MIN;
    for (int i = 0; i < objects.Count; ++i) {
        const DrawingObject &o = objects.At(i);
        double xs[4] = {o.X1, o.X2, o.X3, o.X4};
        double ys[4] = {o.Y1, o.Y2, o.Y3, o.Y4};
        const int used = o.Kind == KindBezier ? 4 : 2;
        Box box{xs[0], ys[0], xs[0], ys[0]};
        bool finite = true;
        for (int k = 0; k < used; ++k) {
            finite = finite && std::isfinite(xs[k]) && std::isfinite(ys[k]);
            box.Left = std::min(box.Left, xs[k]);
            box.Right = std::max(box.Right, xs[k]);
            box.Top = std::min(box.Top, ys[k]);
            box.Bottom = std::max(box.Bottom, ys[k]);
        }
        const double half = std::isfinite(o.PenWidth) ? std::fabs(o.PenWidth) / 2 : 0;
        finite = finite && std::isfinite(o.PenWidth);
        box = {box.Left - half, box.Top - half, box.Right + half, box.Bottom + half};
        boxes_[size_t(i)] = finite ? box : Box{-INFINITY, -INFINITY, INFINITY, INFINITY};
        if (o.Kind > KindBezier)
            continue; // draws nothing
        if (!finite || std::fabs(box.Top) > BandedLimitMm || std::fabs(box.Bottom) > BandedLimitMm ||
            (box.Bottom - box.Top) / BandMm > MaxBandsPerObject) {
            unbanded_.push_back(i);
            continue;
        }
        const int64_t a = int64_t(std::floor(box.Top / BandMm));
        const int64_t b = int64_t(std::floor(box.Bottom / BandMm));
        spans[size_t(i)] = {a, b};
        lowBand = std::min(lowBand, a);
        highBand = std::max(highBand, b);
    }
    if (lowBand > highBand)
        return;
    firstBand_ = lowBand;
    bands_.resize(size_t(highBand - lowBand + 1));
    for (int i = 0; i < objects.Count; ++i)
        for (int64_t band = spans[size_t(i)].first; band <= spans[size_t(i)].second; ++band)
            bands_[size_t(band - firstBand_)].push_back(i);
}

void ObjectIndex::Query(double left, double top, double right, double bottom, std::vector<int> &out) const
{
    out.clear();
    for (int i : unbanded_)
        if (Meets(boxes_[size_t(i)], left, top, right, bottom))
            out.push_back(i);
    if (!bands_.empty() && top <= bottom) {
        const int64_t lastBand = firstBand_ + int64_t(bands_.size()) - 1;
        const int64_t a = std::max<int64_t>(firstBand_, int64_t(std::floor(std::max(top, -BandedLimitMm) / BandMm)));
        const int64_t b = std::min<int64_t>(lastBand, int64_t(std::floor(std::min(bottom, BandedLimitMm) / BandMm)));
        for (int64_t band = a; band <= b; ++band)
            for (int i : bands_[size_t(band - firstBand_)])
                if (Meets(boxes_[size_t(i)], left, top, right, bottom))
                    out.push_back(i);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

} // namespace velmora
