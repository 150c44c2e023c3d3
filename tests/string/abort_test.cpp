// tests/string/abort_test.cpp: CAbort's copies, its three status
// operations, and the exported name of its virtual table.
#include "alloc_failure.h"
#include "common/Abort.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>

namespace
{

// A progress object as a host would derive one; it can set all four data
// words and read them back.
class TestAbort : public CAbort
{
public:
    TestAbort() = default;
    TestAbort(int32_t processing, int32_t aborted, uint32_t w2, uint32_t w3)
    {
        m_bProcessing = processing;
        m_bAborted = aborted;
        m_nReserved1 = w2;
        m_nReserved2 = w3;
    }

    bool SameWords(const TestAbort& other) const
    {
        return m_bProcessing == other.m_bProcessing && m_bAborted == other.m_bAborted &&
               m_nReserved1 == other.m_nReserved1 && m_nReserved2 == other.m_nReserved2;
    }

    int ZRCALL Reserved1() override { return 1; }
    int ZRCALL Reserved2() override { return 2; }
    int ZRCALL Reserved3() override { return 3; }
    int ZRCALL Reserved4() override { return 4; }
};

void* const* VtableOf(const CAbort& object)
{
    void* const* pVtable;
    static_assert(sizeof pVtable == sizeof(void*), "");
    std::memcpy(&pVtable, &object, sizeof pVtable);
    return pVtable;
}

TEST(AbortCopy, CopiesAllFourDataWords)
{
    const TestAbort rows[] = {
        TestAbort(0, 0, 0, 0),
        TestAbort(1, 0, 0xDEADBEEF, 0x12345678),
        TestAbort(0, 1, 0xFFFFFFFF, 0),
        TestAbort(-1, 0x7FFFFFFF, 1, 0x80000000),
    };
    for (const TestAbort& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << (&row - rows));
        TestAbort constructed(row);
        EXPECT_TRUE(constructed.SameWords(row));

        TestAbort assigned(5, 6, 7, 8);
        CAbort& result = (static_cast<CAbort&>(assigned) = row);
        EXPECT_EQ(&assigned, &result);
        EXPECT_TRUE(assigned.SameWords(row));
    }
}

TEST(AbortStatus, ReportsProcessingAndAbortFromTheDataWords)
{
    TestAbort idle;
    EXPECT_EQ(0, idle.IsProcessing());
    EXPECT_EQ(0, idle.IsAborted());

    TestAbort busy(7, 0, 0, 0);
    EXPECT_EQ(1, busy.IsProcessing()) << "any non-zero word means processing";
    busy.AbortProcess();
    EXPECT_EQ(1, busy.IsAborted());
    EXPECT_EQ(1, busy.IsProcessing()) << "aborting only asks the work to stop";
    busy.AbortProcess();
    EXPECT_EQ(1, busy.IsAborted());

    TestAbort copy(busy);
    EXPECT_EQ(1, copy.IsAborted()) << "the request travels with a copy";
}

// The exported table is the module's own virtual table seen from its first
// slot: an object's inherited operations sit at the host's slot numbers.
// TestAbort keeps CAbort's Destroy and status operations.
TEST(AbortVtable, ExportedTableStartsAtSlotZero)
{
    TestAbort derived;
    void* const* pDerived = VtableOf(derived);
    const int inherited[] = {0, 5, 6, 7};
    for (int slot : inherited) {
        SCOPED_TRACE(testing::Message() << "slot " << slot);
        EXPECT_EQ(pDerived[slot], g_abortVtable[slot]);
    }
    EXPECT_NE(pDerived[1], g_abortVtable[1]) << "slot 1 is pure in CAbort";
}

TEST(AbortVtable, DestroyFreesOnlyWhenAsked)
{
    long before = alloc::LiveBlocks();
    TestAbort* kept = new (std::nothrow) TestAbort;
    ASSERT_NE(nullptr, kept);
    EXPECT_EQ(static_cast<void*>(kept), kept->Destroy(0));
    EXPECT_EQ(before + 1, alloc::LiveBlocks());
    ::operator delete(kept);

    TestAbort* freed = new (std::nothrow) TestAbort;
    ASSERT_NE(nullptr, freed);
    EXPECT_EQ(static_cast<void*>(freed), freed->Destroy(kDestroyFree));
    EXPECT_EQ(before, alloc::LiveBlocks());
}

} // namespace
