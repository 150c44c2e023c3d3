// tests/filter_vtable_test.cpp: the slot of every operation in the virtual
// tables the host calls through, and the operations of the fixed slots.
#include "alloc_failure.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

// The virtual-table slot a pointer to a virtual member names. The
// compiler's representation holds the slot's byte offset plus one.
template <typename F> long SlotOf(F pmf)
{
    static_assert(sizeof(F) >= sizeof(ptrdiff_t), "a member pointer starts with its address word");
    ptrdiff_t word;
    std::memcpy(&word, &pmf, sizeof word);
    if ((word & 1) == 0)
        return -1; // not a virtual operation
    return static_cast<long>((word - 1) / static_cast<ptrdiff_t>(sizeof(void*)));
}

TEST(FilterVtable, EveryOperationHasItsSlot)
{
    struct Row {
        const char* name;
        long slot;
        long expected;
    } rows[] = {
        {"Destroy", SlotOf(&CZRBasicDbFilter::Destroy), 0},
        {"ParseOptions", SlotOf(&CZRBasicDbFilter::ParseOptions), 1},
        {"Commit", SlotOf(&CZRBasicDbFilter::Commit), 2},
        {"Configure", SlotOf(&CZRBasicDbFilter::Configure), 3},
        {"BeginTable", SlotOf(&CZRBasicDbFilter::BeginTable), 4},
        {"EndTable", SlotOf(&CZRBasicDbFilter::EndTable), 5},
        {"BeginRecord", SlotOf(&CZRBasicDbFilter::BeginRecord), 6},
        {"EndRecord", SlotOf(&CZRBasicDbFilter::EndRecord), 7},
        {"WriteField", SlotOf(&CZRBasicDbFilter::WriteField), 8},
        {"Reserved9", SlotOf(&CZRBasicDbFilter::Reserved9), 9},
        {"ForwardBeginTable", SlotOf(&CZRDbFilter::ForwardBeginTable), 10},
        {"Reserved11", SlotOf(&CZRDbFilter::Reserved11), 11},
        {"Reserved12", SlotOf(&CZRDbFilter::Reserved12), 12},
        // The filter's own operations stay in the slots of its bases.
        {"CFerloFilter::Destroy", SlotOf(&CFerloFilter::Destroy), 0},
        {"CFerloFilter::BeginTable", SlotOf(&CFerloFilter::BeginTable), 4},
        {"CFerloFilter::Reserved9", SlotOf(&CFerloFilter::Reserved9), 9},
        // The host's field object, called by slot.
        {"HostField::Prepare", SlotOf(&HostField::Prepare), 3},
        {"HostField::GetName", SlotOf(&HostField::GetName), 11},
        {"HostField::GetValueText", SlotOf(&HostField::GetValueText), 14},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(row.expected, row.slot);
    }
}

// The filter's table holds no slot past 12: the host's table has 13.
TEST(FilterVtable, TheFilterAddsNoSlotOfItsOwn)
{
    struct Probe final : CZRDbFilter {
        Probe() : CZRDbFilter(nullptr) {}
        virtual int ZRCALL Extra() { return 0; }
        void* ZRCALL Destroy(unsigned int) override { return this; }
        int ZRCALL ParseOptions(const HostString&) override { return 0; }
        int ZRCALL Commit() override { return 0; }
        CString* ZRCALL Configure(CString* r, int*, const WCHAR*) override { return r; }
        int ZRCALL EndTable() override { return 0; }
        int ZRCALL BeginRecord(const WCHAR*) override { return 0; }
        int ZRCALL EndRecord() override { return 0; }
        int ZRCALL WriteField(HostField*) override { return 0; }
        int ZRCALL Reserved9() override { return 0; }
    };
    EXPECT_EQ(13, SlotOf(&Probe::Extra));
}

TEST(FilterVtable, ReservedSlotsAndExportsReturnZero)
{
    FilterPtr f = MakeFilter();
    ASSERT_TRUE(f);
    CZRDbFilter* p = f.get();
    EXPECT_EQ(0, p->Reserved9());
    EXPECT_EQ(0, p->Reserved11(-1, 0x7FFFFFFF, 12345));
    EXPECT_EQ(0, p->Reserved12(0, 0, 0));
    EXPECT_EQ(0, ZRSetOptions());
    EXPECT_EQ(0, ZRGetOptionsString());
}

struct NamedField final : HostField {
    CString name;
    explicit NamedField(const WCHAR* psz) : name(psz) {}
    int ZRCALL Prepare() override { return 0; }
    const CString& ZRCALL GetName() override { return name; }
    CString* ZRCALL GetValueText(CString* pResult) override { return new (pResult) CString(name); }
};

// Slot 10 reaches the most derived BeginTable, not the storing one of the
// base. One file per record, the filter's own BeginTable opens no file and
// keeps copies of the field names, which the base's never makes.
TEST(FilterVtable, ForwardBeginTableRunsTheFiltersOwnBeginTable)
{
    NamedField a(WSTR("ID")), b(WSTR("Name"));
    HostField* fields[] = {&a, &b};
    WString name = WSTR("Customers");

    FilterPtr direct = MakeFilter();
    FilterPtr forwarded = MakeFilter();
    ASSERT_TRUE(direct && forwarded);
    direct->m_options.m_bSingle = forwarded->m_options.m_bSingle = 1;
    EXPECT_EQ(0, direct->BeginTable(HostStr(name), fields, 2));
    EXPECT_EQ(0, forwarded->ForwardBeginTable(HostStr(name), fields, 2));
    EXPECT_EQ(2, direct->m_output.m_nFieldNames);
    ASSERT_EQ(2, forwarded->m_output.m_nFieldNames);
    EXPECT_EQ(WString(WSTR("Name")), forwarded->m_output.m_ppszFieldNames[1]);
    EXPECT_EQ(2, forwarded->m_fields.nSize);
}

// Destroy frees the object only when asked to, and releases everything the
// filter owns: buffers, the key copy, field names, field storage.
TEST(FilterVtable, DestroyReleasesWhatTheFilterOwns)
{
    NamedField a(WSTR("A"));
    long before = alloc::LiveBlocks();
    CZRBasicDbFilter* p = ZRDbCreateFilter(0, WSTR("Software\\Host"));
    ASSERT_NE(nullptr, p);
    auto* f = static_cast<CFerloFilter*>(p);
    HostField* fields[] = {&a, &a, &a};
    ASSERT_EQ(0, f->CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields, 3));
    f->m_output.m_ppszFieldNames = new WCHAR* [2] {
        new WCHAR[2]{'A', 0}, new WCHAR[2]
        {
            'B', 0
        }
    };
    f->m_output.m_nFieldNames = 2;
    long afterNames = alloc::LiveBlocks();

    EXPECT_EQ(p, p->Destroy(0)) << "the object's address comes back";
    EXPECT_EQ(before + 1, alloc::LiveBlocks()) << "only the object's own memory is left";
    EXPECT_GT(afterNames, before + 1);
    ::operator delete(p);
    EXPECT_EQ(before, alloc::LiveBlocks());
}

// Destruction never closes or touches the output stream: the host has
// ended its tables and committed before it destroys the filter.
TEST(FilterVtable, DestroyLeavesTheStreamOpen)
{
    TempDir dir;
    FILE* stream = fopen((dir.Native() / "out").string().c_str(), "w+b");
    ASSERT_NE(nullptr, stream);
    CZRBasicDbFilter* p = ZRDbCreateFilter(0, nullptr);
    ASSERT_NE(nullptr, p);
    static_cast<CFerloFilter*>(p)->m_output.m_pFile = stream;
    p->Destroy(kDestroyFree);
    EXPECT_EQ(5u, fwrite("still", 1, 5, stream));
    EXPECT_EQ(0, fclose(stream));
}

} // namespace
