#include "band_work.h"

#include <QThread>
#include <QThreadPool>

#include <algorithm>
#include <atomic>
#include <memory>

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
    // Bands are taken in turn by whichever thread is free, the calling one among them, and
    // the call waits only for the bands others took: a helper that starts late (or never, when
    // no thread can be made) finds nothing left and touches nothing of this call but `shared`.
    struct Shared {
        std::atomic<int> Next{0}, Finished{0};
        int Count = 0;
        const std::function<void(int)> *Work = nullptr;
    };
    auto shared = std::make_shared<Shared>();
    shared->Count = count;
    shared->Work = &work;
    auto drain = [](Shared &s) {
        for (int band = s.Next++; band < s.Count; band = s.Next++) {
            (*s.Work)(band);
            if (++s.Finished == s.Count)
                s.Finished.notify_all();
        }
    };
    for (int i = 0; i < helpers; ++i)
        pool.start([shared, drain] { drain(*shared); });
    drain(*shared);
    for (int finished = shared->Finished.load(); finished < count; finished = shared->Finished.load())
        shared->Finished.wait(finished);
}

} // namespace velmora
