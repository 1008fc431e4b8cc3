// A fixed random drawing for rendering comparisons: lines, arcs, ellipses and curves in
// black, colours and white (eraser strokes and white lines), some reaching over the edges.
#pragma once

#include "document/drawing_state.h"

#include <cstdint>

namespace velmora {

// A small generator of our own, so that the drawing is the same with every library.
class SeededNumbers {
public:
    explicit SeededNumbers(uint64_t seed) : state_(seed) {}
    uint32_t Next()
    {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return uint32_t(state_ >> 33);
    }
    double Between(double low, double high) { return low + (high - low) * (Next() % 100000) / 100000.0; }

private:
    uint64_t state_;
};

inline void AddRandomObjects(DrawingState &state, int count, double widthMm, double heightMm, uint64_t seed)
{
    SeededNumbers n(seed);
    const uint32_t colours[] = {ColourBlack, ColourBlack, ColourWhite, ColourRed, ColourRGB(0, 128, 0),
                                ColourRGB(30, 60, 200), ColourWhite, ColourRGB(250, 250, 250)};
    for (int i = 0; i < count; ++i) {
        DrawingObject *o = state.Objects.Append();
        *o = DrawingObject{};
        o->Kind = n.Next() % 4;
        o->Colour = colours[n.Next() % 8];
        o->PenWidth = n.Between(0.05, 3);
        double *c[] = {&o->X1, &o->Y1, &o->X2, &o->Y2, &o->X3, &o->Y3, &o->X4, &o->Y4};
        for (int k = 0; k < 8; ++k)
            *c[k] = k % 2 == 0 ? n.Between(-5, widthMm + 5) : n.Between(-5, heightMm + 5);
    }
}

} // namespace velmora
