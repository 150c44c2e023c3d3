// tests/filter_construction_test.cpp: a new filter's members, its copy of
// the registry key, its delimiter from the user's list separator, and its
// construction when memory runs out.
#include "alloc_failure.h"
#include "filter_fixture.h"

#include <gtest/gtest.h>

namespace
{

// The other defaults show in every golden export; these two do not.
TEST(FilterConstruction, NewFilterKeepsTheHostContextAndWritesTheSystemCodePage)
{
    FilterPtr f = MakeFilter(0xCAFEF00D);
    ASSERT_TRUE(f);
    EXPECT_EQ(0xCAFEF00Du, f->m_hostContext);
    EXPECT_EQ(GetACP(), f->m_options.m_nCodePage);
}

TEST(FilterConstruction, RegistryKeyIsCopiedOrNull)
{
    struct Row {
        const char* label;
        const WCHAR* key;
    } rows[] = {
        {"null", nullptr},
        {"empty", WSTR("")},
        {"path", WSTR("Software\\Tarnholm GmbH\\Host")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.label);
        WString original = row.key ? row.key : WSTR("");
        std::unique_ptr<WCHAR[]> passed;
        if (row.key) {
            passed.reset(new WCHAR[original.size() + 1]);
            std::copy(original.c_str(), original.c_str() + original.size() + 1, passed.get());
        }
        FilterPtr f = MakeFilter(0, passed.get());
        ASSERT_TRUE(f);
        if (!row.key) {
            EXPECT_EQ(nullptr, f->m_pszRegistryKey);
            continue;
        }
        ASSERT_NE(nullptr, f->m_pszRegistryKey);
        EXPECT_NE(passed.get(), f->m_pszRegistryKey) << "the filter keeps its own copy";
        passed.reset(); // the host's text may go away at once
        EXPECT_EQ(original, f->m_pszRegistryKey);
    }
}

#if defined(_WIN32)
// Sets the user's list separator for one test and gives the old one back.
// Linux has no list separator of the user's own: there it follows the
// locale (see PLATFORM.md), and this test runs on Windows only.
class ListSeparator
{
public:
    ListSeparator() { m_nSaved = GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, m_szSaved, 8); }
    ~ListSeparator()
    {
        if (m_nSaved > 0)
            SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, m_szSaved);
    }
    bool Set(const WCHAR* psz) { return SetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SLIST, psz); }

private:
    WCHAR m_szSaved[8] = {0};
    int m_nSaved = 0;
};

TEST(FilterConstruction, DelimiterIsTheListSeparatorWhenItIsOneCharacter)
{
    ListSeparator user;
    struct Row {
        const WCHAR* separator;
        const WCHAR* delimiter;
    } rows[] = {
        {WSTR(";"), WSTR(";")},  {WSTR("\t"), WSTR("\t")}, {WSTR("|"), WSTR("|")},
        {WSTR(";;"), WSTR(",")}, {WSTR("abc"), WSTR(",")},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(Narrow(row.separator));
        ASSERT_TRUE(user.Set(row.separator));
        FilterPtr f = MakeFilter();
        ASSERT_TRUE(f);
        EXPECT_EQ(WString(row.delimiter), f->m_options.m_szDelimiter);
    }
}
#endif

// Every allocation construction makes is failed in turn: each failure gives
// a null filter and leaves nothing allocated; past them, a filter is made.
TEST(FilterConstruction, AnyFailedAllocationGivesNullAndLeaksNothing)
{
    const WCHAR* keys[] = {nullptr, WSTR("Software\\Host")};
    for (const WCHAR* key : keys) {
        SCOPED_TRACE(key ? "with key" : "without key");
        long allocations = 0;
        for (long n = 0;; ++n) {
            SCOPED_TRACE(n);
            long before = alloc::LiveBlocks();
            CZRBasicDbFilter* p;
            {
                alloc::ScopedFailAfter fail(n);
                p = ZRDbCreateFilter(7, key);
            }
            if (p) {
                allocations = n;
                p->Destroy(kDestroyFree);
                EXPECT_EQ(before, alloc::LiveBlocks());
                break;
            }
            EXPECT_EQ(before, alloc::LiveBlocks());
            ASSERT_LT(n, 16) << "construction never succeeded";
        }
        // The object, the key's copy when there is a key, and two buffers.
        EXPECT_EQ(key ? 4 : 3, allocations);
    }
}

} // namespace
