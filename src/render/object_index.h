// Finds the drawing objects that can touch a part of the drawing, so a paint draws what
// is visible instead of the whole drawing. Objects are kept in horizontal bands of the
// global millimetre space; the index rebuilds itself when the object list changed.
#pragma once

#include <cstdint>
#include <vector>

namespace velmora {

class DrawingState;

class ObjectIndex {
public:
    // Rebuild when the object list or the drawing's contents changed since the last call.
    void Refresh(const DrawingState &state);

    // Indices, ascending (the drawing order), of the objects whose box, pen included,
    // meets the rectangle given in global millimetres.
    void Query(double left, double top, double right, double bottom, std::vector<int> &out) const;

    static constexpr double BandMm = 8;

private:
    struct Box {
        double Left, Top, Right, Bottom;
    };
    bool Meets(const Box &box, double left, double top, double right, double bottom) const;

    std::vector<Box> boxes_;
    std::vector<std::vector<int>> bands_;
    int64_t firstBand_ = 0;
    std::vector<int> unbanded_; // far away, very tall or not finite: tested one by one
    uint64_t builtVersion_ = UINT64_MAX;
    uint64_t builtContent_ = UINT64_MAX;
    const void *builtFor_ = nullptr;
};

} // namespace velmora
