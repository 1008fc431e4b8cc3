#include "page_images.h"

#include "document/units.h"

#include <poppler/qt6/poppler-qt6.h>

#include <QBuffer>
#include <QDeadlineTimer>
#include <QImageReader>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <set>
#include <thread>
#include <vector>

namespace velmora {

// Tells every PageReadyListener that a sharp picture was made.
void TellPageReady();

namespace {

std::atomic<uint64_t> generation{0};
std::atomic<int64_t> deadlineMs{30000};
std::mutex listenersMutex;
std::vector<PageReadyListener *> listeners;

// Screen pictures asked for and not yet made, over all worksheets.
std::mutex idleMutex;
std::condition_variable idleChanged;
int busy = 0;

void ChangeBusy(int by)
{
    {
        const std::lock_guard lock(idleMutex);
        busy += by;
    }
    idleChanged.notify_all();
}

// The scale a page is rendered at: as asked, but no finer than `finest` nor beyond MaxPagePixels.
double LimitedScale(const WorksheetPage &page, double pixelsPerMm, double finest)
{
    double s = std::min(pixelsPerMm, finest);
    const double area = page.WidthMm * page.HeightMm;
    if (area * s * s > double(MaxPagePixels))
        s = std::sqrt(double(MaxPagePixels) / area);
    return std::max(s, 0.01);
}

// Scales are kept in sixteenths of a pixel per millimetre.
int ScaleKey(double pixelsPerMm)
{
    return std::max(1, int(std::lround(pixelsPerMm * 16)));
}

// Renders pages of one worksheet on one thread at a time: the decoded PDF or picture.
class PageRenderer {
public:
    explicit PageRenderer(const Worksheet &worksheet) : worksheet_(worksheet) {}

    QImage Render(int index, double pixelsPerMm, const std::atomic<bool> *stop)
    {
        try {
            if (index < 0 || index >= int(worksheet_.Pages.size()))
                return {};
            const WorksheetPage &page = worksheet_.Pages[size_t(index)];
            const QSize size(std::max(1, int(std::lround(page.WidthMm * pixelsPerMm))),
                             std::max(1, int(std::lround(page.HeightMm * pixelsPerMm))));
            return worksheet_.Kind == WorksheetKind::Pdf ? RenderPdf(page, pixelsPerMm, stop) : ScalePicture(size);
        } catch (const std::bad_alloc &) {
            return {};
        }
    }

private:
    struct Abort {
        QDeadlineTimer Deadline;
        const std::atomic<bool> *Stop;
        bool Due() const { return Deadline.hasExpired() || (Stop && Stop->load()); }
    };

    QImage RenderPdf(const WorksheetPage &page, double pixelsPerMm, const std::atomic<bool> *stop)
    {
        if (!pdf_) {
            pdf_ = Poppler::Document::loadFromData(worksheet_.Bytes, worksheet_.Password, worksheet_.Password);
            if (!pdf_ || pdf_->isLocked())
                return {};
            pdf_->setRenderHint(Poppler::Document::Antialiasing);
            pdf_->setRenderHint(Poppler::Document::TextAntialiasing);
        }
        const std::unique_ptr<Poppler::Page> pdfPage = pdf_->page(page.Number - 1);
        if (!pdfPage)
            return {};
        Abort abort{QDeadlineTimer(std::chrono::milliseconds(deadlineMs.load())), stop};
        const double dpi = pixelsPerMm * MmPerInch;
        QImage image = pdfPage->renderToImage(
            dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
            [](const QVariant &closure) { return reinterpret_cast<const Abort *>(closure.value<quintptr>())->Due(); },
            QVariant::fromValue(quintptr(&abort)));
        if (abort.Due() || image.isNull())
            return {};
        return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    }

    QImage ScalePicture(QSize size)
    {
        if (picture_.isNull()) {
            QBuffer buffer;
            buffer.setData(worksheet_.Bytes);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer);
            reader.setAutoTransform(true);
            reader.setAllocationLimit(1024); // MiB; the pixel count was checked when it was opened
            const QSize stored = reader.size();
            if (!stored.isValid() || int64_t(stored.width()) * stored.height() > MaxPagePixels * 2)
                return {};
            picture_ = reader.read().convertToFormat(QImage::Format_ARGB32_Premultiplied);
            if (picture_.isNull())
                return {};
        }
        // Never finer than the picture itself: the painter enlarges it.
        if (size.width() >= picture_.width() || size.height() >= picture_.height())
            return picture_;
        return picture_.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    const Worksheet worksheet_;
    std::unique_ptr<Poppler::Document> pdf_;
    QImage picture_;
};

class KeptPageImages final : public PageImages {
public:
    explicit KeptPageImages(const Worksheet &worksheet) : worksheet_(worksheet), output_(worksheet) {}

    ~KeptPageImages() override
    {
        {
            const std::lock_guard lock(mutex_);
            stop_ = true;
            ChangeBusy(-int(queue_.size()));
            queue_.clear();
        }
        wake_.notify_all();
        if (worker_.joinable())
            worker_.join();
    }

    bool HasSharp(int page, double pixelsPerMm) const override
    {
        if (page < 0 || page >= int(worksheet_.Pages.size()))
            return true; // no page there: nothing to wait for
        const double scale = LimitedScale(worksheet_.Pages[size_t(page)], pixelsPerMm, MaxScreenPagePixelsPerMm);
        const Key key{page, ScaleKey(scale)};
        const std::lock_guard lock(mutex_);
        return kept_.contains(key) || failed_.contains(key); // a failed page stays as it is
    }

    PageImage ForScreen(int page, double pixelsPerMm) override
    {
        if (page < 0 || page >= int(worksheet_.Pages.size()))
            return {};
        const double scale = LimitedScale(worksheet_.Pages[size_t(page)], pixelsPerMm, MaxScreenPagePixelsPerMm);
        const Key key{page, ScaleKey(scale)};
        std::unique_lock lock(mutex_);
        if (const auto found = kept_.find(key); found != kept_.end()) {
            found->second.Used = ++uses_;
            return {found->second.Image, true};
        }
        if (!failed_.contains(key) && std::find(queue_.begin(), queue_.end(), key) == queue_.end() &&
            !(rendering_ && *rendering_ == key)) {
            queue_.push_back({key, scale});
            ChangeBusy(1);
            if (!worker_.joinable())
                worker_ = std::thread([this] { Work(); });
            wake_.notify_one();
        }
        // Meanwhile the page at the nearest scale kept.
        const Entry *nearest = nullptr;
        int distance = 0;
        for (const auto &[kept, entry] : kept_) {
            if (kept.Page != page)
                continue;
            const int d = std::abs(kept.Scale - key.Scale);
            if (!nearest || d < distance) {
                nearest = &entry;
                distance = d;
            }
        }
        return {nearest ? nearest->Image : QImage(), false};
    }

    QImage ForOutput(int page, double pixelsPerMm) override
    {
        if (page < 0 || page >= int(worksheet_.Pages.size()))
            return {};
        const double scale = LimitedScale(worksheet_.Pages[size_t(page)], pixelsPerMm, OutputPagePixelsPerMm);
        const Key key{page, ScaleKey(scale)};
        {
            const std::lock_guard lock(mutex_);
            if (const auto found = kept_.find(key); found != kept_.end()) {
                found->second.Used = ++uses_;
                return found->second.Image;
            }
        }
        QImage image;
        {
            const std::lock_guard rendering(outputMutex_);
            image = output_.Render(page, scale, nullptr);
        }
        if (!image.isNull()) {
            const std::lock_guard lock(mutex_);
            Keep(key, image);
        }
        return image;
    }

    int64_t KeptBytes() const override
    {
        const std::lock_guard lock(mutex_);
        return keptBytes_;
    }

private:
    struct Key {
        int Page = 0, Scale = 0;
        auto operator<=>(const Key &) const = default;
    };
    struct Entry {
        QImage Image;
        uint64_t Used = 0;
    };
    struct Request {
        Key For;
        double Scale;
        bool operator==(const Key &key) const { return For == key; }
    };

    // Keeps a picture, dropping the least recently used beyond the budget (called locked).
    void Keep(const Key &key, const QImage &image)
    {
        constexpr int64_t BudgetBytes = int64_t(256) << 20;
        keptBytes_ += image.sizeInBytes();
        kept_[key] = {image, ++uses_};
        while (keptBytes_ > BudgetBytes && kept_.size() > 1) {
            auto oldest = std::min_element(kept_.begin(), kept_.end(),
                                           [](const auto &a, const auto &b) { return a.second.Used < b.second.Used; });
            keptBytes_ -= oldest->second.Image.sizeInBytes();
            kept_.erase(oldest);
        }
    }

    void Work()
    {
        PageRenderer renderer(worksheet_);
        std::unique_lock lock(mutex_);
        for (;;) {
            wake_.wait(lock, [this] { return stop_ || !queue_.empty(); });
            if (stop_)
                return;
            const Request request = queue_.back(); // the latest wish first
            queue_.pop_back();
            rendering_ = request.For;
            lock.unlock();
            const QImage image = renderer.Render(request.For.Page, request.Scale, &stop_);
            lock.lock();
            rendering_.reset();
            if (image.isNull())
                failed_.insert(request.For); // not tried again: the page stays grey
            else
                Keep(request.For, image);
            ++generation;
            lock.unlock();
            TellPageReady();
            ChangeBusy(-1);
            lock.lock();
        }
    }

    const Worksheet worksheet_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::map<Key, Entry> kept_;
    int64_t keptBytes_ = 0;
    uint64_t uses_ = 0;
    std::vector<Request> queue_;
    std::optional<Key> rendering_;
    std::set<Key> failed_;
    std::atomic<bool> stop_ = false;
    std::thread worker_;
    std::mutex outputMutex_;
    PageRenderer output_;
};

struct Registered {
    std::weak_ptr<const Worksheet> Of;
    std::unique_ptr<KeptPageImages> Images;
};

} // namespace

PageImages &PageImagesOf(const SharedWorksheet &worksheet)
{
    static std::mutex mutex;
    static std::map<const Worksheet *, Registered> registry;
    std::vector<std::unique_ptr<KeptPageImages>> gone; // ended outside the lock
    const std::lock_guard lock(mutex);
    for (auto it = registry.begin(); it != registry.end();) {
        if (it->second.Of.expired()) {
            gone.push_back(std::move(it->second.Images));
            it = registry.erase(it);
        } else {
            ++it;
        }
    }
    Registered &entry = registry[worksheet.get()];
    if (!entry.Images) {
        entry.Of = worksheet;
        entry.Images = std::make_unique<KeptPageImages>(*worksheet);
    }
    return *entry.Images;
}

uint64_t PageImagesGeneration()
{
    return generation.load();
}

void TellPageReady()
{
    const std::lock_guard lock(listenersMutex);
    for (PageReadyListener *listener : listeners)
        listener->ready_();
}

PageReadyListener::PageReadyListener(std::function<void()> ready) : ready_(std::move(ready))
{
    const std::lock_guard lock(listenersMutex);
    listeners.push_back(this);
}

PageReadyListener::~PageReadyListener()
{
    const std::lock_guard lock(listenersMutex);
    std::erase(listeners, this);
}

bool WaitForPageImages(std::chrono::milliseconds most)
{
    std::unique_lock lock(idleMutex);
    return idleChanged.wait_for(lock, most, [] { return busy == 0; });
}

void SetPageRenderDeadline(std::chrono::milliseconds deadline)
{
    deadlineMs = deadline.count();
}

QImage RenderWorksheetPage(const Worksheet &worksheet, int page, double pixelsPerMm)
{
    PageRenderer renderer(worksheet);
    return renderer.Render(page, pixelsPerMm, nullptr);
}

} // namespace velmora
