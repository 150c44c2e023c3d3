// tests/exports_test.cpp: the plug-in as a host finds it: the built library
// loaded by file name, its four exports, and the description it gives.
#include "filter_fixture.h"
#include "plugin_loader.h"

#include <gtest/gtest.h>

#include <cstring>

namespace
{

using GetFilterInfoFn = int (*)(FilterInfo*);
using CreateFilterFn = CZRBasicDbFilter* (*)(uint32_t, const WCHAR*);
// Hosts push arguments to the two option functions; the C calling
// convention lets the caller remove them, so any number is harmless.
using OptionsFn = int (*)(int, int, int);

void ExpectDescription(const FilterInfo& info)
{
    EXPECT_EQ(0x00010000u, info.nVersion);
    EXPECT_EQ(6u, info.nType);
    EXPECT_EQ(WString(WSTR("File Based Plain Text")), info.pszDescription);
    EXPECT_EQ(WString(WSTR("Text")), info.pszName);
    EXPECT_EQ(WString(WSTR("3.0")), info.pszVersion);
    EXPECT_EQ(WString(WSTR("Tarnholm GmbH")), info.pszMaker);
}

TEST(Exports, DescriptionIsTheSameOnEveryCall)
{
    FilterInfo first, second;
    std::memset(&first, 0xAB, sizeof first);
    std::memset(&second, 0xCD, sizeof second);
    EXPECT_EQ(0, ZRDbGetFilterInfo(&first));
    EXPECT_EQ(0, ZRDbGetFilterInfo(&second));
    ExpectDescription(first);
    EXPECT_EQ(0, std::memcmp(&first, &second, sizeof first)) << "same values, same text pointers";
}

TEST(Exports, LoadedLibraryOffersTheFourFunctionsByName)
{
    const PluginLibrary& plugin = PluginLibrary::Get();
    ASSERT_TRUE(plugin.Loaded());
    auto getInfo = plugin.Find<GetFilterInfoFn>("ZRDbGetFilterInfo");
    auto create = plugin.Find<CreateFilterFn>("ZRDbCreateFilter");
    auto setOptions = plugin.Find<OptionsFn>("ZRSetOptions");
    auto getOptions = plugin.Find<OptionsFn>("ZRGetOptionsString");
    ASSERT_TRUE(getInfo && create && setOptions && getOptions);

    FilterInfo info;
    ASSERT_EQ(0, getInfo(&info));
    ExpectDescription(info);

    EXPECT_EQ(0, setOptions(1, 2, 3));
    EXPECT_EQ(0, getOptions(-1, 0, 0x7FFFFFFF));

    const WCHAR* keys[] = {nullptr, WSTR(""), WSTR("Software\\Host")};
    for (const WCHAR* key : keys) {
        CZRBasicDbFilter* p = create(42, key);
        ASSERT_NE(nullptr, p);
        EXPECT_EQ(0, p->Reserved9());
        EXPECT_EQ(p, p->Destroy(kDestroyFree));
    }
}

TEST(Exports, InternalNamesAreNotExported)
{
    const PluginLibrary& plugin = PluginLibrary::Get();
    ASSERT_TRUE(plugin.Loaded());
    for (const char* name : {"DllMain", "g_hInstance", "_Z19AfxGetStringManagerv"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(nullptr, plugin.Find<void*>(name));
    }
}

} // namespace
