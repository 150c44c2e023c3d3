// tests/filter_test.cpp: the module's entry, and the filter object: what it
// keeps, its field storage, what destruction frees, also out of memory.
#include "alloc_failure.h"
#include "filter/LibraryEntry.h"
#include "filter_fixture.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

// Other reasons change nothing. On Windows this program attaches the module's
// code as the loader would; on Linux the entry ran at load.
TEST(Filter, EntryPutsTheModuleIntoTheResourceChainOnce)
{
#if defined(_WIN32)
    if (!g_hInstance)
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
#endif
    HINSTANCE hInstance = g_hInstance;
    CDynLinkLibrary* link = AfxGetFirstDynLinkLibrary();
    ASSERT_NE(nullptr, hInstance);
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(hInstance, link->m_hModule);
    EXPECT_EQ(hInstance, link->m_hResource);
    for (DWORD reason : {DWORD(DLL_PROCESS_DETACH), DWORD(DLL_THREAD_ATTACH), DWORD(DLL_THREAD_DETACH)}) {
        EXPECT_EQ(TRUE, DllMain(reinterpret_cast<HINSTANCE>(0x1234), reason, nullptr));
        EXPECT_EQ(hInstance, g_hInstance);
        EXPECT_EQ(link, AfxGetFirstDynLinkLibrary());
    }
}

// The other defaults show in the golden exports; these do not. The host's
// key text may go away as soon as the filter is made.
TEST(Filter, KeepsItsOwnCopyOfTheKeyAndWritesTheSystemCodePage)
{
    EXPECT_EQ(nullptr, MakeFilter(0, nullptr)->m_pszRegistryKey);
    for (WString key : {WString(), WString(WSTR("Software\\Tarnholm GmbH\\Host"))}) {
        FilterPtr f = MakeFilter(0, &key[0]);
        ASSERT_TRUE(f);
        WString original = key;
        key.assign(key.size(), WSTR('x'));
        EXPECT_EQ(original, f->m_pszRegistryKey);
        EXPECT_EQ(GetACP(), f->m_options.m_nCodePage);
    }
}

#if defined(_WIN32)
// Linux has no list separator of the user's own: there the delimiter
// follows the locale (see PLATFORM.md).
TEST(Filter, DelimiterIsTheUsersListSeparatorWhenItIsOneCharacter)
{
    WCHAR saved[8] = {0};
    ASSERT_GT(GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, saved, 8), 0);
    const WCHAR* rows[][2] = {{WSTR(";"), WSTR(";")}, {WSTR("\t"), WSTR("\t")}, {WSTR(";;"), WSTR(",")}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row[0]));
        ASSERT_TRUE(SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, row[0]));
        EXPECT_EQ(WString(row[1]), MakeFilter()->m_options.m_szDelimiter);
    }
    SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, saved);
}
#endif

// The host's table has 13 slots: a virtual added after Reserved12 is slot
// 13, which the compiler's member pointer holds as its offset plus one.
TEST(Filter, AddsNoSlotPastTheHostsThirteen)
{
    struct Probe : CZRDbFilter {
        virtual int ZRCALL Extra() { return 0; }
    };
    auto pmf = &Probe::Extra;
    ptrdiff_t word;
    std::memcpy(&word, &pmf, sizeof word);
    EXPECT_EQ(1 + 13 * static_cast<ptrdiff_t>(sizeof(void*)), word);
}

// Each allocation of construction fails in turn: a null filter, nothing left.
TEST(Filter, AnyFailedAllocationInConstructionGivesNullAndLeaksNothing)
{
    for (const WCHAR* key : {static_cast<const WCHAR*>(nullptr), WSTR("Software\\Host")}) {
        SCOPED_TRACE(key ? "with key" : "without key");
        CZRBasicDbFilter* p = nullptr;
        long n = 0;
        for (; !p && n < 16; ++n) {
            long before = alloc::LiveBlocks();
            alloc::FailAfter(n);
            p = ZRDbCreateFilter(7, key);
            alloc::NeverFail();
            EXPECT_EQ(p ? before + 1 + (key ? 1 : 0) + 2 : before, alloc::LiveBlocks()) << n;
        }
        // The object, the key's copy when there is a key, and two buffers.
        EXPECT_EQ(key ? 5 : 4, n);
        if (p)
            p->Destroy(kDestroyFree);
    }
}

// The host's field pointers: the array grows to the next multiple of 32 that
// holds the index; entries skipped over are null.
TEST(Filter, FieldStorageGrowsInStepsOf32AndZeroesTheGap)
{
    FieldArray a{nullptr, 0, 0, 32};
    HostField* marker = reinterpret_cast<HostField*>(static_cast<uintptr_t>(0x40));
    const struct {
        int index, size, capacity;
    } rows[] = {{0, 1, 32}, {31, 32, 32}, {32, 33, 64}, {100, 101, 128}, {101, 102, 128}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.index);
        ASSERT_TRUE(a.SetAtGrow(row.index, marker));
        EXPECT_EQ(row.size, a.nSize);
        EXPECT_EQ(row.capacity, a.nMaxSize);
    }
    for (int i = 33; i < 100; ++i)
        ASSERT_EQ(nullptr, a.pData[i]) << i;
    a.RemoveAll();
}

TEST(Filter, TableWhoseFieldsCannotBeKeptFailsAndKeepsNothing)
{
    FilterPtr f = MakeFilter();
    ASSERT_TRUE(f);
    std::vector<HostField*> fields(40, nullptr);
    ASSERT_EQ(0, f->CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields.data(), 5));
    long before = alloc::LiveBlocks();
    alloc::FailAfter(1); // the first array (32 entries) is had, the growth to 64 is not
    int status = f->CZRDbFilter::BeginTable(HostStr(WSTR("T")), fields.data(), 40);
    alloc::NeverFail();
    EXPECT_EQ(2, status);
    EXPECT_EQ(nullptr, f->m_fields.pData);
    EXPECT_EQ(0, f->m_fields.nSize);
    EXPECT_EQ(before - 1, alloc::LiveBlocks());
}

// The stream is left alone: the host has committed before it destroys the filter.
TEST(Filter, DestroyFreesWhenAskedAndLeavesTheStreamOpen)
{
    TempDir dir;
    FILE* stream = fopen((dir.Native() / "out").string().c_str(), "w+b");
    ASSERT_NE(nullptr, stream);
    long before = alloc::LiveBlocks();
    CZRBasicDbFilter* p = ZRDbCreateFilter(0, WSTR("Software\\Host"));
    ASSERT_NE(nullptr, p);
    static_cast<CFerloFilter*>(p)->m_output.m_pFile = stream;
    EXPECT_EQ(p, p->Destroy(0));
    EXPECT_EQ(before + 1, alloc::LiveBlocks()) << "only the object's own memory is left";
    ::operator delete(p);
    EXPECT_EQ(5u, fwrite("still", 1, 5, stream));
    EXPECT_EQ(0, fclose(stream));
}

} // namespace
