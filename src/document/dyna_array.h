// TDynaArray: the program's growable array of fixed-size records with one built-in
// cursor bound to a record-pointer variable of its owner. Records are plain memory
// images moved with memcpy; capacity grows and shrinks in granules of 100 records. Large
// blocks are resized in place (their pages remapped), so growing by a granule costs the
// same at a million records as at a hundred.
#pragma once

#include <QString>

#include <cstdint>
#include <functional>
#include <type_traits>

namespace velmora {

// Untyped core: every behaviour of the array on raw bytes.
class DynaArrayCore {
public:
    using Allocator = void *(*)(size_t bytes); // must return a zero-filled block or null
    using Releaser = void (*)(void *block);
    using FailureReporter = std::function<void(const QString &message)>;

    explicit DynaArrayCore(int recordSize);
    ~DynaArrayCore();
    DynaArrayCore(const DynaArrayCore &) = delete;
    DynaArrayCore &operator=(const DynaArrayCore &) = delete;

    int Count = 0;
    int CurrentIndex = -1;
    int AllocatedBytes = 0;
    const int GrowBy = 100;
    const int RecordSize;

    // The most records the array can hold: its block's byte size is a 32-bit quantity.
    int MaxCount() const;

    // Structural changes (append, delete, clear, swap) so far; caches compare it.
    uint64_t Version() const { return version_; }

    // Allocation hooks: the program reports failures in a message box; tests
    // inject failing allocators. Both are process-wide.
    static void SetAllocator(Allocator allocate, Releaser release);
    static void SetFailureReporter(FailureReporter report);
    static QString AllocationFailureMessage(int64_t bytes);

protected:
    void SwapStorageRaw(DynaArrayCore &other); // records, counts and blocks; cursors reset
    void *SelectRaw(int i);
    void *AppendRaw(); // null when the block could not be grown; nothing changed then
    void *AppendManyRaw(int n); // the first of n new records, one resize; null as AppendRaw
    void *InsertRaw(int i); // a new record at i, the later ones moved up; null as AppendRaw
    bool DeleteRaw(int i);
    void TruncateRaw(int count); // the records from count on dropped, the block shrunk once
    void ClearRaw();
    void *SwapRaw(int a, int b); // the record b afterwards, or null when nothing happened
    void *FirstRaw();            // record 0, or null when empty
    void *NextRaw();             // the record visited, or null at the end
    void *CurrentRaw() const { return current_; }
    const char *DataRaw() const { return data_; }
    char *DataRaw() { return data_; }
    void ResetCursor();

private:
    int64_t WantedBytes(int64_t count) const;
    bool ResizeBlock(int64_t bytes); // keeps the records; false when no block could be had
    void ReleaseBlock();

    char *data_ = nullptr;
    bool systemBlock_ = false; // from the program's own allocation, not from a test's hook
    void *current_ = nullptr;
    uint64_t version_ = 0;
};

template <typename T>
class TDynaArray : public DynaArrayCore {
    static_assert(std::is_trivially_copyable_v<T>, "records are moved as raw bytes");

public:
    // The owner's cursor variable (may be null) is written by every selection.
    explicit TDynaArray(T **currentVar = nullptr) : DynaArrayCore(sizeof(T)), currentVar_(currentVar) { Bind(nullptr); }

    T *Select(int i) { return Bind(SelectRaw(i)); }
    T *Append() { return Bind(AppendRaw()); }
    // n records at the end in one step (as n appends would leave them, the last one current);
    // returns the first of them. For reading files with a known count.
    T *AppendMany(int n)
    {
        void *first = AppendManyRaw(n);
        if (!first)
            return nullptr;
        Bind(CurrentRaw());
        return static_cast<T *>(first);
    }
    // A new record at index i (0 <= i <= Count), the records from i on moved up one place.
    // Used to put a deleted record back where it was.
    T *Insert(int i) { return Bind(InsertRaw(i)); }
    bool Delete(int i)
    {
        const bool done = DeleteRaw(i);
        if (done)
            Bind(nullptr);
        return done;
    }
    void Clear()
    {
        ClearRaw();
        Bind(nullptr);
    }
    // Keeps the first count records (0 <= count <= Count); the cursor holds no record after.
    void Truncate(int count)
    {
        TruncateRaw(count);
        Bind(nullptr);
    }
    void Swap(int a, int b)
    {
        if (void *rec = SwapRaw(a, b))
            Bind(rec);
    }
    void First()
    {
        if (void *rec = FirstRaw())
            Bind(rec);
    }
    bool Next()
    {
        void *rec = NextRaw();
        if (!rec)
            return false;
        Bind(rec);
        return true;
    }
    T *Current() const { return static_cast<T *>(CurrentRaw()); }

    // Exchanges the records of two arrays of the same kind; both cursors hold no record after.
    void SwapStorage(TDynaArray &other)
    {
        SwapStorageRaw(other);
        Bind(nullptr);
        other.Bind(nullptr);
    }

    // Read-only access that leaves the cursor alone (for renderers and caches). Records are
    // written through Select, Append or Insert, which their owner alone can reach.
    const T &At(int i) const { return reinterpret_cast<const T *>(DataRaw())[i]; }

private:
    T *Bind(void *rec)
    {
        if (currentVar_)
            *currentVar_ = static_cast<T *>(rec);
        return static_cast<T *>(rec);
    }
    T **currentVar_;
};

} // namespace velmora
