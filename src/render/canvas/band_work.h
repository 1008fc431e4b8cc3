// Rendering work cut into bands and done on every core: the bands of one picture are drawn
// at the same time, each on a thread of a pool kept for the program's lifetime (so each
// thread keeps its own text measurements and line buffers from picture to picture).
#pragma once

#include <functional>

namespace velmora {

// How many threads draw the bands of a picture: the machine's cores (as many as this process
// may run on) unless set.
int RenderThreads();

// Sets the number of threads (at least 1); 0 goes back to the machine's cores.
void SetRenderThreads(int count);

// Calls work(band) for every band from 0 to count - 1, at the same time on the rendering
// threads (the calling thread takes a share), and returns when all are done.
void RunBands(int count, const std::function<void(int)> &work);

} // namespace velmora
