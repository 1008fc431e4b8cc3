#include "band_work.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <latch>

namespace velmora {

namespace {

std::atomic<int> chosenThreads{0};

QThreadPool &Pool()
{
    static QThreadPool *pool = [] {
        auto *p = new QThreadPool; // lives as long as the program: its threads end with it
        p->setExpiryTimeout(-1);
        p->setMaxThreadCount(std::max(1, QThread::idealThreadCount()));
        return p;
    }();
    return *pool;
}

} // namespace

int RenderThreads()
{
    const int chosen = chosenThreads.load();
    return chosen > 0 ? chosen : std::max(1, QThread::idealThreadCount());
}

void SetRenderThreads(int count)
{
    chosenThreads.store(std::max(0, count));
}

void RunBands(int count, const std::function<void(int)> &work)
{
    if (count <= 0)
        return;
    const int helpers = std::min(count, RenderThreads()) - 1;
    if (helpers <= 0) {
        for (int band = 0; band < count; ++band)
            work(band);
        return;
    }
    QThreadPool &pool = Pool();
    if (pool.maxThreadCount() < helpers)
        pool.setMaxThreadCount(helpers);
    // Bands are taken in turn by whichever thread is free, the calling one among them.
    std::atomic<int> next{0};
    auto drain = [&] {
        for (int band = next++; band < count; band = next++)
            work(band);
    };
    std::latch done(helpers);
    for (int i = 0; i < helpers; ++i)
        pool.start([&] {
            drain();
            done.count_down();
        });
    drain();
    done.wait();
}

} // namespace velmora
