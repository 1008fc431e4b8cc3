#include "change_journal.h"

#include <algorithm>
#include <cmath>

namespace velmora {

MmBox ObjectInkBox(const DrawingObject &o)
{
    const double xs[4] = {o.X1, o.X2, o.X3, o.X4};
    const double ys[4] = {o.Y1, o.Y2, o.Y3, o.Y4};
    const int used = o.Kind == KindBezier ? 4 : 2; // an arc's last two points only give directions
    MmBox box{xs[0], ys[0], xs[0], ys[0]};
    bool finite = std::isfinite(o.PenWidth);
    for (int k = 0; k < used; ++k) {
        finite = finite && std::isfinite(xs[k]) && std::isfinite(ys[k]);
        box.Left = std::min(box.Left, xs[k]);
        box.Right = std::max(box.Right, xs[k]);
        box.Top = std::min(box.Top, ys[k]);
        box.Bottom = std::max(box.Bottom, ys[k]);
    }
    if (!finite)
        return {-INFINITY, -INFINITY, INFINITY, INFINITY};
    const double half = std::fabs(o.PenWidth) / 2;
    return {box.Left - half, box.Top - half, box.Right + half, box.Bottom + half};
}

void ChangeJournal::MakeRoom()
{
    // Once 2 * Kept notes are held, a note reuses the room of the oldest block.
    if (notes_.size() == notes_.capacity() && notes_.size() < 2 * Kept)
        notes_.reserve(std::min(2 * Kept, std::max<size_t>(64, 2 * notes_.size())));
}

void ChangeJournal::Note(const RecordChange &change)
{
    MakeRoom();
    if (notes_.size() >= 2 * Kept) {
        notes_.erase(notes_.begin(), notes_.begin() + Kept);
        base_ += Kept;
    }
    notes_.push_back(change);
}

bool ChangeJournal::Since(uint64_t from, std::span<const RecordChange> &notes) const
{
    if (from < base_ || from > End())
        return false;
    notes = std::span<const RecordChange>(notes_).subspan(size_t(from - base_));
    return true;
}

} // namespace velmora
