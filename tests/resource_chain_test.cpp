// tests/resource_chain_test.cpp: the module's entry and the resource chain
// through which its dialogs and strings are found.
#include "filter/LibraryEntry.h"

#include <gtest/gtest.h>

namespace
{

// On Windows the loader calls the entry of a library only: this program
// carries the module's code itself, so it attaches the module as the loader
// would. On Linux the entry ran when the program was loaded.
void AttachOnce()
{
#if defined(_WIN32)
    static bool attached = false;
    if (!attached) {
        attached = true;
        DllMain(GetModuleHandleW(nullptr), DLL_PROCESS_ATTACH, nullptr);
    }
#endif
}

TEST(ResourceChain, AttachPutsTheModuleIntoTheChain)
{
    AttachOnce();
    ASSERT_NE(nullptr, g_hInstance);
    CDynLinkLibrary* link = AfxGetFirstDynLinkLibrary();
    ASSERT_NE(nullptr, link);
    EXPECT_EQ(g_hInstance, link->m_hModule);
    EXPECT_EQ(g_hInstance, link->m_hResource);
}

TEST(ResourceChain, OtherReasonsChangeNothingAndSucceed)
{
    AttachOnce();
    HINSTANCE before = g_hInstance;
    CDynLinkLibrary* first = AfxGetFirstDynLinkLibrary();
    for (DWORD reason : {DWORD(DLL_PROCESS_DETACH), DWORD(DLL_THREAD_ATTACH), DWORD(DLL_THREAD_DETACH)}) {
        SCOPED_TRACE(reason);
        EXPECT_EQ(TRUE, DllMain(reinterpret_cast<HINSTANCE>(0x1234), reason, nullptr));
        EXPECT_EQ(before, g_hInstance);
        EXPECT_EQ(first, AfxGetFirstDynLinkLibrary());
    }
}

#if defined(_WIN32)
// Linux builds carry no resources; on Windows the module's own resources
// are found through the chain without naming the module.
TEST(ResourceChain, LookupFindsTheModulesResourcesWithoutNamingIt)
{
    AttachOnce();
    EXPECT_EQ(g_hInstance, AfxFindResourceHandle(MAKEINTRESOURCEW(VS_VERSION_INFO), RT_VERSION));
    EXPECT_EQ(g_hInstance, AfxFindResourceHandle(MAKEINTRESOURCEW(4546), RT_DIALOG));
    EXPECT_EQ(nullptr, AfxFindResourceHandle(MAKEINTRESOURCEW(4711), RT_DIALOG));
}
#endif

} // namespace
