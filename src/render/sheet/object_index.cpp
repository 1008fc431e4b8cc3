#include "object_index.h"

#include "document/drawing_state.h"

#include <algorithm>
#include <cmath>

namespace velmora {

namespace {

constexpr int MaxBandsPerObject = 64;
constexpr double BandedLimitMm = 1e6;

} // namespace

bool ObjectIndex::Meets(const MmBox &box, double left, double top, double right, double bottom)
{
    // A box with NaN edges fails every comparison and so is never culled.
    return !(box.Right < left || box.Left > right || box.Bottom < top || box.Top > bottom);
}

ObjectIndex::Entry ObjectIndex::EntryFor(const DrawingObject &o) const
{
    const MmBox box = ObjectInkBox(o);
    if (o.Kind > KindBezier)
        return {box, 0, -1, Place::None}; // draws nothing
    if (!std::isfinite(box.Left) || std::fabs(box.Top) > BandedLimitMm || std::fabs(box.Bottom) > BandedLimitMm ||
        (box.Bottom - box.Top) / BandMm > MaxBandsPerObject)
        return {box, 0, -1, Place::Unbanded};
    return {box, int64_t(std::floor(box.Top / BandMm)), int64_t(std::floor(box.Bottom / BandMm)), Place::Banded};
}

void ObjectIndex::MakeBands(int64_t first, int64_t last)
{
    if (bands_.empty()) {
        firstBand_ = first;
        bands_.resize(size_t(last - first + 1));
        return;
    }
    if (first < firstBand_) {
        bands_.insert(bands_.begin(), size_t(firstBand_ - first), std::vector<int>());
        firstBand_ = first;
    }
    const int64_t lastBand = firstBand_ + int64_t(bands_.size()) - 1;
    if (last > lastBand)
        bands_.resize(bands_.size() + size_t(last - lastBand));
}

void ObjectIndex::Enter(int i)
{
    const Entry &e = entries_[size_t(i)];
    if (e.Where == Place::Unbanded) {
        unbanded_.push_back(i);
    } else if (e.Where == Place::Banded) {
        MakeBands(e.FirstBand, e.LastBand);
        for (int64_t band = e.FirstBand; band <= e.LastBand; ++band)
            bands_[size_t(band - firstBand_)].push_back(i);
    }
}

void ObjectIndex::Remove(int i)
{
    const Entry &e = entries_[size_t(i)];
    auto drop = [i](std::vector<int> &list) {
        const auto at = std::find(list.begin(), list.end(), i);
        if (at != list.end())
            list.erase(at);
    };
    if (e.Where == Place::Unbanded)
        drop(unbanded_);
    else if (e.Where == Place::Banded)
        for (int64_t band = e.FirstBand; band <= e.LastBand; ++band)
            drop(bands_[size_t(band - firstBand_)]);
}

void ObjectIndex::Shift(int from, int by)
{
    if (from >= int(entries_.size()))
        return; // an append moves nothing
    for (std::vector<int> &band : bands_)
        for (int &i : band)
            if (i >= from)
                i += by;
    for (int &i : unbanded_)
        if (i >= from)
            i += by;
}

void ObjectIndex::Rebuild(const DrawingState &state)
{
    ++rebuilds_;
    const auto &objects = state.Objects;
    entries_.resize(size_t(objects.Count));
    bands_.clear();
    unbanded_.clear();
    int64_t low = INT64_MAX, high = INT64_MIN;
    for (int i = 0; i < objects.Count; ++i) {
        entries_[size_t(i)] = EntryFor(objects.At(i));
        if (entries_[size_t(i)].Where == Place::Banded) {
            low = std::min(low, entries_[size_t(i)].FirstBand);
            high = std::max(high, entries_[size_t(i)].LastBand);
        }
    }
    if (low <= high)
        MakeBands(low, high);
    for (int i = 0; i < objects.Count; ++i)
        Enter(i);
}

bool ObjectIndex::Follow(const DrawingState &state, std::span<const RecordChange> notes)
{
    uint64_t structural = 0;
    for (const RecordChange &note : notes)
        structural += !note.Text && note.What != RecordChange::Changed;
    if (state.Objects.Version() - builtObjects_ != structural)
        return false; // the list changed in a way the notes do not tell
    // Records inserted or changed: their places now, to be entered once the notes are followed.
    std::vector<int> touched;
    for (const RecordChange &note : notes) {
        if (note.Text)
            continue;
        const int i = note.Index;
        if (note.What == RecordChange::Inserted) {
            if (i < 0 || i > int(entries_.size()))
                return false;
            Shift(i, 1);
            entries_.insert(entries_.begin() + i, Entry{{}, 0, -1, Place::None});
            for (int &t : touched)
                t += t >= i;
            touched.push_back(i);
        } else if (note.What == RecordChange::Removed) {
            if (i < 0 || i >= int(entries_.size()))
                return false;
            Remove(i);
            Shift(i + 1, -1);
            entries_.erase(entries_.begin() + i);
            std::erase(touched, i);
            for (int &t : touched)
                t -= t > i;
        } else {
            if (i < 0 || i >= int(entries_.size()))
                return false;
            Remove(i);
            entries_[size_t(i)].Where = Place::None;
            touched.push_back(i);
        }
    }
    if (int(entries_.size()) != state.Objects.Count)
        return false;
    std::sort(touched.begin(), touched.end());
    touched.erase(std::unique(touched.begin(), touched.end()), touched.end());
    for (int i : touched) {
        entries_[size_t(i)] = EntryFor(state.Objects.At(i));
        Enter(i);
    }
    return true;
}

void ObjectIndex::Refresh(const DrawingState &state)
{
    const uint64_t objects = state.Objects.Version(), content = state.ContentRevision(),
                   journal = state.Changes.End();
    if (builtFor_ == &state && builtObjects_ == objects && builtContent_ == content && builtJournal_ == journal)
        return;
    std::span<const RecordChange> notes;
    const bool follows = builtFor_ == &state && builtContent_ == content && state.Changes.Since(builtJournal_, notes);
    if (!follows || !Follow(state, notes))
        Rebuild(state);
    builtFor_ = &state;
    builtObjects_ = objects;
    builtContent_ = content;
    builtJournal_ = journal;
}

size_t ObjectIndex::ObjectsNear(double yMm) const
{
    if (bands_.empty() || !(std::abs(yMm) <= BandedLimitMm))
        return 0;
    const int64_t band = int64_t(std::floor(yMm / BandMm)) - firstBand_;
    return band >= 0 && band < int64_t(bands_.size()) ? bands_[size_t(band)].size() : 0;
}

void ObjectIndex::Query(double left, double top, double right, double bottom, std::vector<int> &out) const
{
    out.clear();
    for (int i : unbanded_)
        if (Meets(entries_[size_t(i)].Box, left, top, right, bottom))
            out.push_back(i);
    if (!bands_.empty() && top <= bottom) {
        const int64_t lastBand = firstBand_ + int64_t(bands_.size()) - 1;
        const int64_t a = std::max<int64_t>(firstBand_, int64_t(std::floor(std::max(top, -BandedLimitMm) / BandMm)));
        const int64_t b = std::min<int64_t>(lastBand, int64_t(std::floor(std::min(bottom, BandedLimitMm) / BandMm)));
        for (int64_t band = a; band <= b; ++band)
            for (int i : bands_[size_t(band - firstBand_)])
                if (Meets(entries_[size_t(i)].Box, left, top, right, bottom))
                    out.push_back(i);
    }
    std::sort(out.begin(), out.end());
    out.erase(std::unique(out.begin(), out.end()), out.end());
}

} // namespace velmora
