// tests/field_storage_test.cpp: how the field storage keeps and grows the
// host's field pointers from table to table.
#include "alloc_failure.h"
#include "filter_fixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

struct Fields {
    std::vector<HostField*> pointers;
    explicit Fields(int n)
    {
        for (int i = 0; i < n; ++i)
            pointers.push_back(reinterpret_cast<HostField*>(static_cast<uintptr_t>(0x1000 + 16 * i)));
    }
    HostField** data() { return pointers.empty() ? nullptr : pointers.data(); }
};

int StoreFields(CFerloFilter& f, int n)
{
    Fields fields(n);
    return f.CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields.data(), n);
}

TEST(FieldStorage, CapacityGrowsInStepsOf32)
{
    struct Row {
        int fields;
        int capacity;
    } rows[] = {{1, 32}, {31, 32}, {32, 32}, {33, 64}, {40, 64}, {64, 64}, {65, 96}, {200, 224}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.fields);
        FilterPtr f = MakeFilter();
        ASSERT_TRUE(f);
        Fields fields(row.fields);
        ASSERT_EQ(0, f->CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields.data(), row.fields));
        EXPECT_EQ(row.fields, f->m_fields.nSize);
        EXPECT_EQ(row.capacity, f->m_fields.nMaxSize);
        for (int i = 0; i < row.fields; ++i)
            ASSERT_EQ(fields.pointers[static_cast<size_t>(i)], f->m_fields.pData[i]) << i;
    }
}

TEST(FieldStorage, EachTableReplacesTheFieldsOfTheLast)
{
    FilterPtr f = MakeFilter();
    ASSERT_TRUE(f);
    long before = alloc::LiveBlocks();
    ASSERT_EQ(0, StoreFields(*f, 40));
    EXPECT_EQ(40, f->m_fields.nSize);
    EXPECT_EQ(64, f->m_fields.nMaxSize);
    ASSERT_EQ(0, StoreFields(*f, 3));
    EXPECT_EQ(3, f->m_fields.nSize);
    EXPECT_EQ(32, f->m_fields.nMaxSize);
    EXPECT_EQ(before + 1, alloc::LiveBlocks()) << "the earlier array was released";
}

TEST(FieldStorage, NoFieldsLeaveTheStorageEmpty)
{
    for (int n : {0, -1, -100}) {
        SCOPED_TRACE(n);
        FilterPtr f = MakeFilter();
        ASSERT_TRUE(f);
        ASSERT_EQ(0, StoreFields(*f, 5));
        EXPECT_EQ(0, StoreFields(*f, n));
        EXPECT_EQ(nullptr, f->m_fields.pData);
        EXPECT_EQ(0, f->m_fields.nSize);
        EXPECT_EQ(0, f->m_fields.nMaxSize);
    }
}

// Storing past the capacity jumps to the multiple of the step that holds
// the index, and the entries skipped over are null.
TEST(FieldStorage, StoringPastTheEndZeroesTheGap)
{
    FieldArray a{nullptr, 0, 0, 32};
    HostField* marker = reinterpret_cast<HostField*>(static_cast<uintptr_t>(0x40));
    ASSERT_TRUE(a.SetAtGrow(0, marker));
    ASSERT_TRUE(a.SetAtGrow(100, marker));
    EXPECT_EQ(101, a.nSize);
    EXPECT_EQ(128, a.nMaxSize);
    EXPECT_EQ(marker, a.pData[0]);
    for (int i = 1; i < 100; ++i)
        ASSERT_EQ(nullptr, a.pData[i]) << i;
    EXPECT_EQ(marker, a.pData[100]);
    a.RemoveAll();
}

TEST(FieldStorage, ArrayThatCannotGrowFailsTheTableAndKeepsNothing)
{
    FilterPtr f = MakeFilter();
    ASSERT_TRUE(f);
    ASSERT_EQ(0, StoreFields(*f, 5));
    Fields fields(40);
    long before = alloc::LiveBlocks();
    int status;
    {
        // The first array (32 entries) is had, the growth to 64 is not.
        alloc::ScopedFailAfter fail(1);
        status = f->CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields.data(), 40);
    }
    EXPECT_EQ(2, status);
    EXPECT_EQ(nullptr, f->m_fields.pData);
    EXPECT_EQ(0, f->m_fields.nSize);
    EXPECT_EQ(before - 1, alloc::LiveBlocks());
}

} // namespace
