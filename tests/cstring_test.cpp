// tests/cstring_test.cpp: CString's memory layout and its release through
// the string manager that allocated it, which may be the host's.
#include "filter_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <new>
#include <vector>

namespace
{

CStringData* HeaderOf(const CString& s)
{
    return reinterpret_cast<CStringData*>(const_cast<WCHAR*>(s.GetString())) - 1;
}

TEST(CStringLayout, TextFollowsAHeaderOfManagerLengthsAndCount)
{
    static_assert(sizeof(CStringData) == sizeof(void*) + 12 + (sizeof(void*) == 8 ? 4 : 0),
                  "manager pointer and three 32-bit words, padded as the host's compiler pads");
    CString s(WSTR("abc"));
    CStringData* h = HeaderOf(s);
    EXPECT_EQ(AfxGetStringManager(), h->pStringMgr);
    EXPECT_EQ(3, h->nDataLength);
    EXPECT_GE(h->nAllocLength, 3);
    EXPECT_EQ(1, h->nRefs);
    EXPECT_EQ(0, h->data()[3]);
    const WCHAR* stored;
    std::memcpy(&stored, &s, sizeof stored);
    EXPECT_EQ(s.GetString(), stored) << "the object is the pointer to its text";
}

TEST(CStringLayout, EmptyStringsShareOneBlockThatIsNeverFreed)
{
    CString a, b(WSTR("")), c(static_cast<const WCHAR*>(nullptr));
    EXPECT_EQ(a.GetString(), b.GetString());
    EXPECT_EQ(a.GetString(), c.GetString());
    EXPECT_EQ(0, a.GetLength());
    EXPECT_EQ(0, a.GetString()[0]);
    EXPECT_GT(HeaderOf(a)->nRefs, 1);
}

TEST(CStringLayout, CopiesShareTheBlockUntilReleased)
{
    CString a(WSTR("shared"));
    {
        CString b(a);
        CString c;
        c = a;
        EXPECT_EQ(a.GetString(), b.GetString());
        EXPECT_EQ(a.GetString(), c.GetString());
        EXPECT_EQ(3, HeaderOf(a)->nRefs);
    }
    EXPECT_EQ(1, HeaderOf(a)->nRefs);
    a = WSTR("other");
    EXPECT_EQ(WString(WSTR("other")), a.GetString());
}

// A string manager of the host's, which records what it is asked to free.
class HostStringMgr final : public IAtlStringMgr
{
public:
    std::vector<CStringData*> freed;

    CStringData* ZRCALL Allocate(int nAllocLength, int nCharSize) override
    {
        size_t bytes = sizeof(CStringData) + static_cast<size_t>(nAllocLength + 1) * nCharSize;
        auto* p = static_cast<CStringData*>(::operator new(bytes));
        p->pStringMgr = this;
        p->nDataLength = 0;
        p->nAllocLength = nAllocLength;
        p->nRefs = 1;
        return p;
    }
    void ZRCALL Free(CStringData* p) override
    {
        freed.push_back(p);
        ::operator delete(p);
    }
    CStringData* ZRCALL Reallocate(CStringData*, int, int) override { return nullptr; }
    CStringData* ZRCALL GetNilString() override { return nullptr; }
    IAtlStringMgr* ZRCALL Clone() override { return this; }
};

// What GetValueText does on the host's side: it builds a CString in the
// storage the caller passes, from the host's own heap.
CString* ConstructHostString(HostStringMgr& mgr, const WCHAR* text, void* storage)
{
    int n = static_cast<int>(wcslen(text));
    CStringData* p = mgr.Allocate(n, sizeof(WCHAR));
    std::memcpy(p->data(), text, (static_cast<size_t>(n) + 1) * sizeof(WCHAR));
    p->nDataLength = n;
    WCHAR* pszData = p->data();
    std::memcpy(storage, &pszData, sizeof pszData);
    return static_cast<CString*>(storage);
}

TEST(CStringLayout, HostStringIsReleasedThroughTheHostsManager)
{
    HostStringMgr mgr;
    alignas(CString) unsigned char storage[sizeof(CString)];
    CString* s = ConstructHostString(mgr, WSTR("value"), storage);
    CStringData* block = HeaderOf(*s);
    EXPECT_EQ(WString(WSTR("value")), s->GetString());
    {
        CString copy(*s); // shares the host's block
        EXPECT_TRUE(mgr.freed.empty());
    }
    EXPECT_TRUE(mgr.freed.empty());
    s->~CString();
    ASSERT_EQ(1u, mgr.freed.size());
    EXPECT_EQ(block, mgr.freed[0]);
}

} // namespace
