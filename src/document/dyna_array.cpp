#include "dyna_array.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <utility>

namespace velmora {

namespace {

void *ZeroedAlloc(size_t bytes)
{
    return std::calloc(bytes, 1);
}

DynaArrayCore::Allocator g_allocate = ZeroedAlloc;
DynaArrayCore::Releaser g_release = std::free;
DynaArrayCore::FailureReporter g_report;

void ReportFailure(int64_t bytes)
{
    const QString message = DynaArrayCore::AllocationFailureMessage(bytes);
    if (g_report)
        g_report(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

} // namespace

DynaArrayCore::DynaArrayCore(int recordSize) : RecordSize(recordSize) {}

DynaArrayCore::~DynaArrayCore()
{
    g_release(data_);
}

void DynaArrayCore::SetAllocator(Allocator allocate, Releaser release)
{
    g_allocate = allocate ? allocate : ZeroedAlloc;
    g_release = release ? release : std::free;
}

void DynaArrayCore::SetFailureReporter(FailureReporter report)
{
    g_report = std::move(report);
}

QString DynaArrayCore::AllocationFailureMessage(int64_t bytes)
{
    return QStringLiteral("Error while trying to allocate %1 bytes of RAM. Not enough memory.").arg(bytes);
}

int64_t DynaArrayCore::WantedBytes(int count) const
{
    const int64_t granules = (int64_t(count) + GrowBy - 1) / GrowBy;
    return granules * GrowBy * RecordSize;
}

char *DynaArrayCore::AllocateBlock(int64_t bytes)
{
    // The byte size is a 32-bit quantity; a larger array is refused like a failed allocation.
    if (bytes > std::numeric_limits<int>::max())
        return nullptr;
    return static_cast<char *>(g_allocate(size_t(bytes)));
}

void DynaArrayCore::SwapStorageRaw(DynaArrayCore &other)
{
    std::swap(data_, other.data_);
    std::swap(Count, other.Count);
    std::swap(AllocatedBytes, other.AllocatedBytes);
    ResetCursor();
    other.ResetCursor();
    ++version_;
    ++other.version_;
}

void DynaArrayCore::ResetCursor()
{
    CurrentIndex = -1;
    current_ = nullptr;
}

void *DynaArrayCore::SelectRaw(int i)
{
    CurrentIndex = i;
    current_ = data_ + int64_t(i) * RecordSize;
    return current_;
}

void *DynaArrayCore::AppendRaw()
{
    if (Count == std::numeric_limits<int>::max())
        return nullptr;
    const int64_t wanted = WantedBytes(Count + 1);
    if (wanted != AllocatedBytes) {
        char *block = AllocateBlock(wanted);
        if (!block) {
            ReportFailure(wanted);
            return nullptr;
        }
        if (data_) {
            std::memcpy(block, data_, size_t(AllocatedBytes));
            g_release(data_);
        }
        data_ = block;
        AllocatedBytes = int(wanted);
    }
    ++Count;
    ++version_;
    return SelectRaw(Count - 1);
}

void *DynaArrayCore::InsertRaw(int i)
{
    if (i < 0 || i > Count)
        return nullptr;
    if (!AppendRaw())
        return nullptr;
    if (i < Count - 1)
        std::memmove(data_ + int64_t(i + 1) * RecordSize, data_ + int64_t(i) * RecordSize,
                     size_t(Count - 1 - i) * RecordSize);
    return SelectRaw(i);
}

bool DynaArrayCore::DeleteRaw(int i)
{
    if (i < 0 || i >= Count)
        return false;
    const int remaining = Count - 1;
    const int64_t wanted = WantedBytes(remaining);
    char *block = nullptr;
    if (remaining > 0 && wanted != AllocatedBytes) {
        // Get the smaller block before touching anything, so a failure leaves the array as it was.
        block = AllocateBlock(wanted);
        if (!block)
            block = AllocateBlock(wanted);
        if (!block) {
            ReportFailure(wanted);
            return false;
        }
    }
    if (i < remaining)
        std::memmove(data_ + int64_t(i) * RecordSize, data_ + int64_t(i + 1) * RecordSize,
                     size_t(remaining - i) * RecordSize);
    Count = remaining;
    if (Count == 0) {
        g_release(data_);
        data_ = nullptr;
        AllocatedBytes = 0;
    } else if (block) {
        std::memcpy(block, data_, size_t(wanted));
        g_release(data_);
        data_ = block;
        AllocatedBytes = int(wanted);
    }
    ++version_;
    ResetCursor();
    return true;
}

void DynaArrayCore::ClearRaw()
{
    g_release(data_);
    data_ = nullptr;
    Count = 0;
    AllocatedBytes = 0;
    ++version_;
    ResetCursor();
}

void *DynaArrayCore::SwapRaw(int a, int b)
{
    if (a < 0 || a >= Count || b < 0 || b >= Count)
        return nullptr;
    if (a != b) {
        char *pa = data_ + int64_t(a) * RecordSize;
        char *pb = data_ + int64_t(b) * RecordSize;
        // Records of the translation index are 4 or 8 bytes; drawing records 88.
        char stackTemp[128];
        char *temp = RecordSize <= int(sizeof stackTemp) ? stackTemp : static_cast<char *>(std::malloc(size_t(RecordSize)));
        if (!temp)
            return nullptr;
        std::memcpy(temp, pa, size_t(RecordSize));
        std::memcpy(pa, pb, size_t(RecordSize));
        std::memcpy(pb, temp, size_t(RecordSize));
        if (temp != stackTemp)
            std::free(temp);
    }
    ++version_;
    return SelectRaw(b);
}

void *DynaArrayCore::FirstRaw()
{
    if (Count == 0)
        return nullptr;
    CurrentIndex = 0;
    return SelectRaw(0);
}

void *DynaArrayCore::NextRaw()
{
    if (Count == 0 || CurrentIndex < 0 || CurrentIndex >= Count)
        return nullptr;
    void *rec = SelectRaw(CurrentIndex);
    ++CurrentIndex;
    return rec;
}

} // namespace velmora
