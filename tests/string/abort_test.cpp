// tests/string/abort_test.cpp: CAbort's slot 0 (the ABI host calls the rest).
#include "alloc_failure.h"
#include "common/Abort.h"

#include <gtest/gtest.h>

#include <new>

namespace
{

class TestAbort : public CAbort
{
public:
    int ZRCALL Reserved1() override { return 1; }
    int ZRCALL Reserved2() override { return 2; }
    int ZRCALL Reserved3() override { return 3; }
    int ZRCALL Reserved4() override { return 4; }
};

TEST(Abort, DestroyFreesOnlyWhenAsked)
{
    long before = alloc::LiveBlocks();
    for (unsigned int flags : {0u, static_cast<unsigned int>(kDestroyFree)}) {
        TestAbort* p = new (std::nothrow) TestAbort;
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(static_cast<void*>(p), p->Destroy(flags));
        EXPECT_EQ(flags ? before : before + 1, alloc::LiveBlocks());
        if (!flags)
            ::operator delete(p);
    }
}

} // namespace
