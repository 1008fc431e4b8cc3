// Random drawings for rendering comparisons and benchmarks, the same on every run and with
// every library.
#pragma once

#include "drawing_builder.h"

#include "document/units.h"

#include <cstdint>
#include <random>

namespace velmora {

// A small generator of our own, so that a drawing is the same with every standard library.
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

// Objects spread over a sheet of widthMm x heightMm: lines, arcs, ellipses and curves in black,
// colours and white (eraser strokes and white lines), some reaching over the edges.
inline void AddRandomObjects(DrawingBuilder &drawing, int count, double widthMm, double heightMm, uint64_t seed)
{
    SeededNumbers n(seed);
    const uint32_t colours[] = {ColourBlack, ColourBlack, ColourWhite, ColourRed, ColourRGB(0, 128, 0),
                                ColourRGB(30, 60, 200), ColourWhite, ColourRGB(250, 250, 250)};
    for (int i = 0; i < count; ++i) {
        DrawingObject &o = drawing.Blank();
        o.Kind = n.Next() % 4;
        o.Colour = colours[n.Next() % 8];
        o.PenWidth = n.Between(0.05, 3);
        double *c[] = {&o.X1, &o.Y1, &o.X2, &o.Y2, &o.X3, &o.Y3, &o.X4, &o.Y4};
        for (int k = 0; k < 8; ++k)
            *c[k] = k % 2 == 0 ? n.Between(-5, widthMm + 5) : n.Between(-5, heightMm + 5);
    }
}

// A busy drawing on A4 sheets: on every sheet objects of every kind, each near the one before
// in size, then texts on the sheets in turn.
struct BusyDrawing {
    int Sheets = 1;
    int ObjectsPerSheet = 100;
    int Texts = 0;
    double Reach = 30;              // how far an object's other points lie from its first, mm
    double PenMin = 0.1, PenMax = 1.5;
    int WhiteEvery = 0;             // every so many objects are white (cover what lies under them)
    bool StyledTexts = false;       // sizes and styles vary
};

inline void AddBusyDrawing(DrawingBuilder &drawing, double pageHeightInch, const BusyDrawing &shape, std::mt19937 &random)
{
    std::uniform_real_distribution<double> x(5, 205), y(5, 292), d(-shape.Reach, shape.Reach),
        w(shape.PenMin, shape.PenMax);
    for (int sheet = 0; sheet < shape.Sheets; ++sheet) {
        const double off = SheetOffsetMm(sheet, pageHeightInch);
        for (int i = 0; i < shape.ObjectsPerSheet; ++i) {
            DrawingObject &o = drawing.Blank();
            o.Kind = uint32_t(i % 4);
            o.PenWidth = w(random);
            o.X1 = x(random);
            o.Y1 = y(random) + off;
            o.X2 = o.X1 + d(random);
            o.Y2 = o.Y1 + d(random);
            o.X3 = o.X1 + d(random);
            o.Y3 = o.Y1 + d(random);
            o.X4 = o.X2 + d(random);
            o.Y4 = o.Y2 + d(random);
            const bool white = shape.WhiteEvery > 0 && i % shape.WhiteEvery == 0;
            o.Colour = white ? ColourWhite : ColourRGB(uint8_t(i * 37), uint8_t(i * 11), uint8_t(i * 5));
        }
    }
    for (int i = 0; i < shape.Texts; ++i) {
        const double left = x(random), top = y(random) + SheetOffsetMm(i % shape.Sheets, pageHeightInch);
        if (!shape.StyledTexts) {
            drawing.Text(left, top, QStringLiteral("Dreieck ABC %1\nHöhe h").arg(i));
            continue;
        }
        TextObject &t = drawing.Text(left, top, QStringLiteral("Dreieck ABC %1\nfjy Winkel").arg(i), 8 + i % 4 * 6);
        t.Style = uint8_t(i % 3 == 0 ? StyleItalic : i % 3 == 1 ? StyleBold : 0);
    }
}

} // namespace velmora
