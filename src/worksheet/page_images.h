// Pictures of a worksheet's pages, rendered at the resolution they are shown at and kept per
// page and resolution. The screen never waits for one: it takes the picture at hand (the
// sharp one, or one of another resolution, or none) while the sharp one is rendered on a
// thread of its own; when it is ready every PageReadyListener is told (on that thread), so the
// kept pictures of that sheet are drawn again. Output
// (export, print) renders at its own resolution and waits for it, at most RenderDeadline.
#pragma once

#include "document/worksheet.h"

#include <QImage>

#include <chrono>
#include <cstdint>
#include <functional>

namespace velmora {

// Pages are rendered at no more than this many pixels per millimetre (600 dpi) on the screen,
// and 300 dpi in exports, prints and PDF files, nor beyond this many pixels a picture.
inline constexpr double MaxScreenPagePixelsPerMm = 600 / 25.4;
inline constexpr double OutputPagePixelsPerMm = 300 / 25.4;
inline constexpr int64_t MaxPagePixels = int64_t(64) * 1000 * 1000;

struct PageImage {
    QImage Image; // null: nothing rendered yet (a grey page shows)
    bool Sharp = false;
};

class PageImages {
public:
    virtual ~PageImages() = default;
    // Page i of the worksheet (an index into its Pages) for the screen at this scale.
    virtual PageImage ForScreen(int page, double pixelsPerMm) = 0;
    // The same rendered now, for output; null when it could not be rendered in time.
    virtual QImage ForOutput(int page, double pixelsPerMm) = 0;
    // Whether the sharp picture for the screen at this scale is at hand (nothing is asked for).
    virtual bool HasSharp(int page, double pixelsPerMm) const = 0;
    // Kept pictures' bytes (for measurements).
    virtual int64_t KeptBytes() const = 0;
};

// The pictures of this worksheet, made at the first call and kept while the worksheet lives.
PageImages &PageImagesOf(const SharedWorksheet &worksheet);

// Changes whenever a sharp picture for the screen was made.
uint64_t PageImagesGeneration();
// Told on the rendering thread whenever a sharp picture for the screen was made (the window
// queues a repaint), from its making to its end; after the end it is never called.
class PageReadyListener {
public:
    explicit PageReadyListener(std::function<void()> ready);
    ~PageReadyListener();
    PageReadyListener(const PageReadyListener &) = delete;
    PageReadyListener &operator=(const PageReadyListener &) = delete;

private:
    std::function<void()> ready_;
    friend void TellPageReady();
};
// Waits until no picture is being rendered for the screen; false when the time ran out.
bool WaitForPageImages(std::chrono::milliseconds most);
// The longest a page may take to render (default 30 s); a page that takes longer is left grey
// on the screen and blank in output.
void SetPageRenderDeadline(std::chrono::milliseconds deadline);

// One page rendered at this scale right now, without keeping it (for measurements).
QImage RenderWorksheetPage(const Worksheet &worksheet, int page, double pixelsPerMm);

} // namespace velmora
