// The set square ("Geodreieck"): an isosceles right triangle whose long side is a scale with
// 0 in its middle. Its shape in millimetres, seen from the 0 point with the long side along
// the instrument's angle and the right angle on the body's side, and its place in the drawing
// file: a chunk "GEOD" written only when it lies elsewhere than in a new drawing or is hidden.
#pragma once

#include "drawing_file_chunks.h"
#include "drawing_state.h"

namespace velmora {

namespace set_square {
inline constexpr double HalfLong = 80;   // the long side runs from -80 to 80 mm around the 0 point
inline constexpr double Height = 80;     // the right angle lies 80 mm from the 0 point
inline constexpr int ScaleEnd = 70;      // the scale on the long side: -70 to 70 mm
inline constexpr int ParallelStep = 5;   // lines parallel to the long side, every 5 mm
} // namespace set_square

inline constexpr ChunkTag SetSquareChunk = MakeChunkTag("GEOD");

// The chunk's data: x, y and angle (3 doubles) and whether it is shown (1 byte); empty when
// the set square lies as in a new drawing and is shown, so such a drawing has no chunk.
QByteArray SetSquareChunkData(const InstrumentPlacement &placement, bool shown);

// The set square as the chunks hold it; without a chunk, as in a new drawing. A chunk that
// cannot be read (cut short, a coordinate that is no number) leaves it as in a new drawing
// too and returns false: the drawing itself stays readable.
bool SetSquareFromChunks(const DrawingFileChunks &chunks, InstrumentPlacement &placement, bool &shown);

} // namespace velmora
