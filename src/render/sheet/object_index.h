// Finds the drawing objects that can touch a part of the drawing, so a paint draws what
// is visible instead of the whole drawing. Objects are kept in horizontal bands of the
// global millimetre space. The index follows the drawing's change journal: appends,
// inserts, deletes and changes in place update only the objects concerned; anything the
// journal does not describe rebuilds it.
#pragma once

#include "document/change_journal.h"

#include <cstdint>
#include <span>
#include <vector>

namespace velmora {

class DrawingState;

class ObjectIndex {
public:
    // Brings the index up to the drawing as it is now.
    void Refresh(const DrawingState &state);

    // Indices, ascending (the drawing order), of the objects whose box, pen included,
    // meets the rectangle given in global millimetres.
    void Query(double left, double top, double right, double bottom, std::vector<int> &out) const;

    // How many objects the band holding global y (millimetres) lists, those far away or very
    // tall aside: a measure of the work of drawing the rows there.
    size_t ObjectsNear(double yMm) const;

    // Full rebuilds so far (for tests and measurements).
    int Rebuilds() const { return rebuilds_; }

    static constexpr double BandMm = 8;

private:
    enum class Place : uint8_t { None, Banded, Unbanded };
    struct Entry {
        MmBox Box;
        int64_t FirstBand, LastBand;
        Place Where;
    };
    static bool Meets(const MmBox &box, double left, double top, double right, double bottom);
    void Rebuild(const DrawingState &state);
    // Follows the noted changes of objects; false when they do not add up to the drawing.
    bool Follow(const DrawingState &state, std::span<const RecordChange> notes);
    Entry EntryFor(const DrawingObject &o) const;
    void Enter(int i);  // puts object i into its bands
    void Remove(int i); // takes object i out of its bands
    void Shift(int from, int by); // every index >= from moves by `by`
    void MakeBands(int64_t first, int64_t last);

    std::vector<Entry> entries_;
    std::vector<std::vector<int>> bands_;
    int64_t firstBand_ = 0;
    std::vector<int> unbanded_; // far away, very tall or not finite: tested one by one
    const void *builtFor_ = nullptr;
    uint64_t builtObjects_ = UINT64_MAX, builtContent_ = UINT64_MAX, builtJournal_ = 0;
    int rebuilds_ = 0;
};

} // namespace velmora
