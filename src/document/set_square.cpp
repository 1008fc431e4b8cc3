#include "set_square.h"

#include "drawing_file.h"

#include <cmath>

namespace velmora {

std::vector<ChunkTag> KnownChunkTags()
{
    return {SetSquareChunk};
}

QByteArray SetSquareChunkData(const InstrumentPlacement &p, bool shown)
{
    const InstrumentPlacement fresh;
    if (p.SetSquareX == fresh.SetSquareX && p.SetSquareY == fresh.SetSquareY &&
        p.SetSquareAngle == fresh.SetSquareAngle && shown)
        return {};
    ChunkWriter w;
    w.Double(p.SetSquareX);
    w.Double(p.SetSquareY);
    w.Double(p.SetSquareAngle);
    w.Byte(shown);
    return w.Data();
}

bool SetSquareFromChunks(const DrawingFileChunks &chunks, InstrumentPlacement &p, bool &shown)
{
    const InstrumentPlacement fresh;
    p.SetSquareX = fresh.SetSquareX;
    p.SetSquareY = fresh.SetSquareY;
    p.SetSquareAngle = fresh.SetSquareAngle;
    shown = true;
    const QByteArray *data = FindChunk(chunks, SetSquareChunk);
    if (!data)
        return true;
    ChunkReader r(*data);
    double x = 0, y = 0, angle = 0;
    bool visible = true;
    // Later fields a newer program adds after these are left for it.
    if (!r.Double(x) || !r.Double(y) || !r.Double(angle) || !r.Byte(visible) || !std::isfinite(x) ||
        !std::isfinite(y) || !std::isfinite(angle))
        return false;
    p.SetSquareX = x;
    p.SetSquareY = y;
    p.SetSquareAngle = angle;
    shown = visible;
    return true;
}

} // namespace velmora
