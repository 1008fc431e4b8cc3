// The record array: cursor binding, iteration, capacity granules and allocation failure.
#include "document/dyna_array.h"
#include "document/records.h"

#include <QtTest>

#include <cstdlib>

using namespace velmora;

namespace {

int g_allocations = 0;
int g_failFrom = -1; // allocation number from which every allocation fails; -1 never

void *CountingAlloc(size_t bytes)
{
    ++g_allocations;
    if (g_failFrom >= 0 && g_allocations >= g_failFrom)
        return nullptr;
    return std::calloc(bytes, 1);
}

struct Rec {
    int32_t Value;
    int32_t Other;
};

} // namespace

class TestDynaArray : public QObject {
    Q_OBJECT
    QStringList messages;

private slots:
    void init()
    {
        g_allocations = 0;
        g_failFrom = -1;
        messages.clear();
        DynaArrayCore::SetAllocator(CountingAlloc, std::free);
        DynaArrayCore::SetFailureReporter([this](const QString &m) { messages << m; });
    }
    void cleanup()
    {
        DynaArrayCore::SetAllocator(nullptr, nullptr);
        DynaArrayCore::SetFailureReporter({});
    }

    void freshArrayAndIteration()
    {
        Rec *cursor = reinterpret_cast<Rec *>(0x1);
        TDynaArray<Rec> array(&cursor);
        QCOMPARE(cursor, nullptr); // binding starts with no record
        QCOMPARE(array.Count, 0);
        QCOMPARE(array.CurrentIndex, -1);
        QCOMPARE(array.AllocatedBytes, 0);
        QCOMPARE(array.GrowBy, 100);
        QCOMPARE(array.RecordSize, 8);
        QVERIFY(!array.Next()); // Next without First on a fresh array
        array.First();          // First on an empty array changes nothing
        QCOMPARE(array.CurrentIndex, -1);
        QVERIFY(!array.Next());

        for (int i = 0; i < 5; ++i)
            array.Append()->Value = i * 10;
        QCOMPARE(cursor, array.Select(4));
        QList<int> seen;
        array.First();
        while (array.Next())
            seen << cursor->Value;
        QCOMPARE(seen, (QList<int>{0, 10, 20, 30, 40}));
        QVERIFY(!array.Next()); // stays at the end
    }

    void capacityGrowsAndShrinksInGranules()
    {
        DrawingObject *cursor = nullptr;
        TDynaArray<DrawingObject> array(&cursor);
        for (int i = 0; i < 100; ++i)
            array.Append()->X1 = i;
        QCOMPARE(array.AllocatedBytes, 100 * 88);
        QCOMPARE(g_allocations, 1); // only the first record allocated
        array.Append()->X1 = 100;
        QCOMPARE(array.AllocatedBytes, 200 * 88);
        QCOMPARE(g_allocations, 2); // the 101st moved everything to a block of 200
        QCOMPARE(array.At(57).X1, 57.0);
        QCOMPARE(cursor, array.Current());
        QCOMPARE(cursor->X1, 100.0);

        QVERIFY(array.Delete(3)); // back to 100 records: a block of 100
        QCOMPARE(array.Count, 100);
        QCOMPARE(array.AllocatedBytes, 100 * 88);
        QCOMPARE(g_allocations, 3);
        QCOMPARE(array.At(3).X1, 4.0); // later records moved down in order
        QCOMPARE(array.At(99).X1, 100.0);
        QCOMPARE(cursor, nullptr); // the bound variable holds no record after Delete
        QCOMPARE(array.CurrentIndex, -1);
    }

    void deleteEdgesSwapAndClear()
    {
        Rec *cursor = nullptr;
        TDynaArray<Rec> array(&cursor);
        for (int i = 0; i < 3; ++i)
            array.Append()->Value = i;
        QVERIFY(!array.Delete(-1));
        QVERIFY(!array.Delete(3));
        QCOMPARE(array.Count, 3);
        QVERIFY(array.Delete(2)); // the last index only decreases Count
        QCOMPARE(array.Count, 2);
        QCOMPARE(array.At(1).Value, 1);

        array.Swap(0, 1);
        QCOMPARE(array.At(0).Value, 1);
        QCOMPARE(array.At(1).Value, 0);
        QCOMPARE(cursor, array.Select(1)); // record b is current afterwards
        array.Swap(0, 2);                  // out of range: nothing happens
        QCOMPARE(array.At(0).Value, 1);

        array.Clear();
        QCOMPARE(array.Count, 0);
        QCOMPARE(array.AllocatedBytes, 0);
        QCOMPARE(cursor, nullptr);
        QVERIFY(array.Delete(0) == false);
    }

    void appendAfterReuseKeepsOldBytes()
    {
        // Append does not clear a slot that was used before.
        Rec *cursor = nullptr;
        TDynaArray<Rec> array(&cursor);
        array.Append()->Value = 7;
        array.Append()->Value = 8;
        array.Delete(1);
        QCOMPARE(array.Append()->Value, 8);
    }

    void failedGrowthLeavesArrayConsistent()
    {
        DrawingObject *cursor = nullptr;
        TDynaArray<DrawingObject> array(&cursor);
        for (int i = 0; i < 100; ++i)
            array.Append()->Y1 = i;
        g_failFrom = g_allocations + 1;
        QCOMPARE(array.Append(), nullptr);
        QCOMPARE(messages, QStringList{"Error while trying to allocate 17600 bytes of RAM. Not enough memory."});
        QCOMPARE(array.Count, 100);
        QCOMPARE(array.AllocatedBytes, 8800);
        QCOMPARE(array.At(99).Y1, 99.0);
        QCOMPARE(cursor, nullptr);
        g_failFrom = -1;
        QVERIFY(array.Append() != nullptr);
        QCOMPARE(array.Count, 101);
    }

    void failedShrinkKeepsTheRecord()
    {
        Rec *cursor = nullptr;
        TDynaArray<Rec> array(&cursor);
        for (int i = 0; i < 101; ++i)
            array.Append()->Value = i;
        g_failFrom = g_allocations + 1;
        QVERIFY(!array.Delete(0));
        QCOMPARE(g_allocations, 4); // tried twice
        QCOMPARE(messages.size(), 1);
        QVERIFY(messages[0].contains("800 bytes"));
        QCOMPARE(array.Count, 101);
        QCOMPARE(array.At(0).Value, 0);
        QCOMPARE(array.At(100).Value, 100);
    }

    void largeArraysKeepTheirRecordsAndGranules()
    {
        // With the program's own allocation: blocks of megabytes are resized in place, and
        // still hold every record, report granules of 100 and are zero beyond the records.
        DynaArrayCore::SetAllocator(nullptr, nullptr);
        DrawingObject *cursor = nullptr;
        TDynaArray<DrawingObject> array(&cursor);
        for (int i = 0; i < 30001; ++i)
            array.Append()->X1 = i;
        QCOMPARE(array.AllocatedBytes, 30100 * 88);
        QCOMPARE(cursor->X1, 30000.0);
        for (int i : {0, 11915, 11916, 29999, 30000})
            QCOMPARE(array.At(i).X1, double(i));
        while (array.Count > 150)
            QVERIFY(array.Delete(array.Count - 1));
        QCOMPARE(array.AllocatedBytes, 200 * 88);
        QCOMPARE(array.At(149).X1, 149.0);
        for (int i = 0; i < 50; ++i) // within the granule: the slots keep what they held
            array.Append();
        QCOMPARE(array.At(199).X1, 199.0);
        array.Append(); // a new granule after shrinking: never used, so zero
        QCOMPARE(array.At(200).X1, 0.0);

        // Many records in one step, as the file reader takes them.
        TDynaArray<DrawingObject> read(&cursor);
        DrawingObject *first = read.AppendMany(250);
        QVERIFY(first != nullptr);
        QCOMPARE(read.Count, 250);
        QCOMPARE(read.AllocatedBytes, 300 * 88);
        QCOMPARE(cursor, &first[249]); // the last one current, as after 250 appends
        QCOMPARE(first[249].X1, 0.0);
        QCOMPARE(read.AppendMany(0), nullptr);
        QCOMPARE(read.Count, 250);
    }
};

QTEST_GUILESS_MAIN(TestDynaArray)
#include "test_dyna_array.moc"
