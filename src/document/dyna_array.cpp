#include "dyna_array.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
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
bool g_ownAllocator = false; // a test's allocator: every change of size goes through it
DynaArrayCore::FailureReporter g_report;

void ReportFailure(int64_t bytes)
{
    const QString message = DynaArrayCore::AllocationFailureMessage(bytes);
    if (g_report)
        g_report(message);
    else
        std::fprintf(stderr, "%s\n", qPrintable(message));
}

// Blocks from this size on are whole pages of their own, resized by remapping the pages:
// growing the block of a large drawing by one granule then moves no record. Beyond its
// size a mapped block is zero up to the end of its last page.
constexpr size_t MappedFrom = size_t(1) << 20;

size_t PageRounded(size_t bytes)
{
    static const size_t page = size_t(sysconf(_SC_PAGESIZE));
    return (bytes + page - 1) / page * page;
}

bool Mapped(size_t bytes)
{
    return bytes >= MappedFrom;
}

char *SystemAllocate(size_t bytes)
{
    if (!Mapped(bytes))
        return static_cast<char *>(std::calloc(bytes, 1));
    void *block = mmap(nullptr, PageRounded(bytes), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    return block == MAP_FAILED ? nullptr : static_cast<char *>(block);
}

void SystemRelease(char *block, size_t bytes)
{
    if (!block)
        return;
    if (Mapped(bytes))
        munmap(block, PageRounded(bytes));
    else
        std::free(block);
}

// The block at its new size: the first bytes kept, everything after the old size zero.
char *SystemResize(char *block, size_t oldBytes, size_t newBytes)
{
    if (Mapped(oldBytes) && Mapped(newBytes)) {
        void *moved = mremap(block, PageRounded(oldBytes), PageRounded(newBytes), MREMAP_MAYMOVE);
        if (moved == MAP_FAILED)
            return nullptr;
        char *result = static_cast<char *>(moved);
        if (newBytes < oldBytes)
            std::memset(result + newBytes, 0, PageRounded(newBytes) - newBytes);
        return result;
    }
    if (!Mapped(oldBytes) && !Mapped(newBytes)) {
        char *result = static_cast<char *>(std::realloc(block, newBytes));
        if (result && newBytes > oldBytes)
            std::memset(result + oldBytes, 0, newBytes - oldBytes);
        return result;
    }
    char *fresh = SystemAllocate(newBytes);
    if (!fresh)
        return nullptr;
    std::memcpy(fresh, block, std::min(oldBytes, newBytes));
    SystemRelease(block, oldBytes);
    return fresh;
}

} // namespace

DynaArrayCore::DynaArrayCore(int recordSize) : RecordSize(recordSize) {}

DynaArrayCore::~DynaArrayCore()
{
    ReleaseBlock();
}

void DynaArrayCore::SetAllocator(Allocator allocate, Releaser release)
{
    g_ownAllocator = allocate != nullptr;
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

int DynaArrayCore::MaxCount() const
{
    return int(std::numeric_limits<int>::max() / (int64_t(GrowBy) * RecordSize) * GrowBy);
}

int64_t DynaArrayCore::WantedBytes(int64_t count) const
{
    const int64_t granules = (count + GrowBy - 1) / GrowBy;
    return granules * GrowBy * RecordSize;
}

void DynaArrayCore::ReleaseBlock()
{
    if (systemBlock_)
        SystemRelease(data_, size_t(AllocatedBytes));
    else
        g_release(data_);
    data_ = nullptr;
    systemBlock_ = false;
}

bool DynaArrayCore::ResizeBlock(int64_t bytes)
{
    // The byte size is a 32-bit quantity; a larger array is refused like a failed allocation.
    if (bytes > std::numeric_limits<int>::max() || bytes <= 0)
        return false;
    if (data_ && systemBlock_ && !g_ownAllocator) {
        char *block = SystemResize(data_, size_t(AllocatedBytes), size_t(bytes));
        if (!block)
            return false;
        data_ = block;
        AllocatedBytes = int(bytes);
        return true;
    }
    char *block = g_ownAllocator ? static_cast<char *>(g_allocate(size_t(bytes))) : SystemAllocate(size_t(bytes));
    if (!block)
        return false;
    if (data_) {
        std::memcpy(block, data_, size_t(std::min<int64_t>(AllocatedBytes, bytes)));
        ReleaseBlock();
    }
    data_ = block;
    systemBlock_ = !g_ownAllocator;
    AllocatedBytes = int(bytes);
    return true;
}

void DynaArrayCore::SwapStorageRaw(DynaArrayCore &other)
{
    std::swap(data_, other.data_);
    std::swap(systemBlock_, other.systemBlock_);
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
    return AppendManyRaw(1) ? SelectRaw(Count - 1) : nullptr;
}

void *DynaArrayCore::AppendManyRaw(int n)
{
    if (n <= 0 || Count > std::numeric_limits<int>::max() - n)
        return nullptr;
    const int64_t wanted = WantedBytes(int64_t(Count) + n);
    if (wanted != AllocatedBytes && !ResizeBlock(wanted)) {
        ReportFailure(wanted);
        return nullptr;
    }
    const int first = Count;
    Count += n;
    ++version_;
    SelectRaw(Count - 1);
    return data_ + int64_t(first) * RecordSize;
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
    char *smaller = nullptr;
    const bool resizable = systemBlock_ && !g_ownAllocator;
    if (remaining > 0 && wanted != AllocatedBytes && !resizable) {
        // Get the smaller block before touching anything, so a failure leaves the array as it was.
        smaller = static_cast<char *>(g_allocate(size_t(wanted)));
        if (!smaller)
            smaller = static_cast<char *>(g_allocate(size_t(wanted)));
        if (!smaller) {
            ReportFailure(wanted);
            return false;
        }
    }
    if (i < remaining)
        std::memmove(data_ + int64_t(i) * RecordSize, data_ + int64_t(i + 1) * RecordSize,
                     size_t(remaining - i) * RecordSize);
    Count = remaining;
    if (Count == 0) {
        ReleaseBlock();
        AllocatedBytes = 0;
    } else if (smaller) {
        std::memcpy(smaller, data_, size_t(wanted));
        ReleaseBlock();
        data_ = smaller;
        AllocatedBytes = int(wanted);
    } else if (wanted != AllocatedBytes && !ResizeBlock(wanted)) {
        // Shrinking in place hardly ever fails; when it does, the larger block keeps every record.
        ResizeBlock(wanted);
    }
    ++version_;
    ResetCursor();
    return true;
}

void DynaArrayCore::TruncateRaw(int count)
{
    if (count < 0 || count >= Count)
        return;
    if (count == 0) {
        ClearRaw();
        return;
    }
    // Records appended later start from zero, as from a fresh block.
    std::memset(data_ + int64_t(count) * RecordSize, 0, size_t(Count - count) * size_t(RecordSize));
    Count = count;
    // Shrinking hardly ever fails; when it does, the larger block keeps the records.
    const int64_t wanted = WantedBytes(count);
    if (wanted != AllocatedBytes)
        ResizeBlock(wanted);
    ++version_;
    ResetCursor();
}

void DynaArrayCore::ClearRaw()
{
    ReleaseBlock();
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
