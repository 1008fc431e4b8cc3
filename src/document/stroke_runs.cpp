#include "stroke_runs.h"

namespace velmora {

bool ContinuesStroke(const DrawingObject &before, const DrawingObject &o)
{
    return before.Kind == KindLine && o.Kind == KindLine && before.Colour == o.Colour &&
           before.PenWidth == o.PenWidth && before.X2 == o.X1 && before.Y2 == o.Y1;
}

bool IsWhiteLine(const DrawingObject &o)
{
    return o.Kind == KindLine && (o.Colour & 0xFFFFFF) == ColourWhite;
}

bool DrawnTogether(const DrawingObject &before, const DrawingObject &o)
{
    return ContinuesStroke(before, o) || (IsWhiteLine(before) && IsWhiteLine(o));
}

ObjectSpan DrawnTogetherAround(const TDynaArray<DrawingObject> &objects, int i)
{
    ObjectSpan span{i, i};
    while (span.First > 0 && DrawnTogether(objects.At(span.First - 1), objects.At(span.First)))
        --span.First;
    while (span.Last + 1 < objects.Count && DrawnTogether(objects.At(span.Last), objects.At(span.Last + 1)))
        ++span.Last;
    return span;
}

} // namespace velmora
