// tests/registry_test.cpp: the registry calls behind the stored settings, answered as Windows does: keys
// made by opens, names compared without case, values kept whole; and the Linux store's layout on disk.
#include "registry_sandbox.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

using Bytes = std::vector<BYTE>;

Bytes BytesOf(const WCHAR* psz, size_t nUnits)
{
    const BYTE* p = reinterpret_cast<const BYTE*>(psz);
    return Bytes(p, p + nUnits * sizeof(WCHAR));
}

// The value's type and data, read with a buffer of its exact size.
std::pair<DWORD, Bytes> Query(HKEY hKey, const WCHAR* pszName)
{
    DWORD cb = 0, dwType = 0;
    if (RegQueryValueExW(hKey, pszName, nullptr, nullptr, nullptr, &cb) != ERROR_SUCCESS)
        return {REG_NONE, Bytes{0xEE}};
    Bytes data(cb);
    RegQueryValueExW(hKey, pszName, nullptr, &dwType, data.data(), &cb);
    data.resize(cb);
    return {dwType, data};
}

TEST(Registry, OpensMakeMissingKeys)
{
    RegistrySandbox sandbox;
    const struct {
        const WCHAR* path;
        DWORD dwDisposition;
    } rows[] = {{WSTR("Tarnholm\\Host\\Filter"), REG_CREATED_NEW_KEY},
                {WSTR("tarnholm\\HOST\\filter"), REG_OPENED_EXISTING_KEY},
                {WSTR("Tarnholm"), REG_OPENED_EXISTING_KEY},
                {WSTR("Tarnholm\\\\Host\\Ferlo\\"), REG_CREATED_NEW_KEY},
                {WSTR("Tarnholm\\Host\\Ferlo"), REG_OPENED_EXISTING_KEY},
                {WSTR("Tarnholm\\..\\.\\%2E"), REG_CREATED_NEW_KEY}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.path));
        DWORD dwDisposition = 0;
        HKEY hKey = OpenKey(row.path, &dwDisposition);
        ASSERT_NE(nullptr, hKey);
        EXPECT_EQ(row.dwDisposition, dwDisposition);
        EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(hKey));
    }
    HKEY hKey = reinterpret_cast<HKEY>(0x1234);
    EXPECT_EQ(ERROR_BAD_PATHNAME, RegCreateKeyExW(HKEY_CURRENT_USER, WSTR("\\Tarnholm"), 0, nullptr, 0,
                                                  KEY_READ | KEY_WRITE, nullptr, &hKey, nullptr));
}

// Names that a file system treats specially each keep a value of their own.
TEST(Registry, ValuesComeBackWhole)
{
    RegistrySandbox sandbox;
    HKEY hKey = OpenKey(WSTR("Values"));
    ASSERT_NE(nullptr, hKey);
    const WCHAR szText[] = WSTR("[CSV=TRUE]");
    const struct {
        const WCHAR* name;
        DWORD dwType;
        Bytes data;
    } rows[] = {{WSTR("Settings"), REG_SZ, BytesOf(szText, 11)},
                {nullptr, REG_SZ, BytesOf(WSTR("default"), 8)},
                {WSTR("a/b\\c"), REG_BINARY, Bytes{0, 1, 0, 2}},
                {WSTR("="), REG_DWORD, Bytes{4, 3, 2, 1}},
                {WSTR(".."), REG_BINARY, Bytes{'.'}},
                {WSTR("%41"), REG_BINARY, Bytes{'%'}},
                {WSTR("A"), REG_BINARY, Bytes{'A'}},
                {WSTR("\x00E9t\xD83D\xDE00"), REG_BINARY, Bytes{0xE9}},
                {WSTR("empty"), REG_BINARY, Bytes{}}};
    for (const auto& row : rows)
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(hKey, row.name, 0, row.dwType, row.data.data(),
                                                static_cast<DWORD>(row.data.size())));
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.name));
        EXPECT_EQ(std::make_pair(row.dwType, row.data), Query(hKey, row.name));
    }
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExW(hKey, WSTR("SETTINGS"), 0, REG_SZ, Bytes{'x', 0, 0, 0}.data(), 4));
    EXPECT_EQ(std::make_pair(DWORD{REG_SZ}, Bytes{'x', 0, 0, 0}), Query(hKey, WSTR("settings")));
    RegCloseKey(hKey);
}

#if !defined(_WIN32)

TEST(RegistryStore, OneFilePerValueBelowTheConfigDirectory)
{
    RegistrySandbox sandbox;
    HKEY hKey = OpenKey(WSTR("Software\\Tarnholm GmbH\\..\\A=B"));
    ASSERT_NE(nullptr, hKey);
    RegSetValueExW(hKey, WSTR("Settings"), 0, REG_SZ, Bytes{'x', 0}.data(), 2);
    RegSetValueExW(hKey, WSTR("Settings"), 0, REG_SZ, Bytes{'y', 0}.data(), 2);
    RegCloseKey(hKey);
    fs::path key = sandbox.Store() / "software" / "tarnholm gmbh" / "%2E%2E" / "a%3Db";
    EXPECT_EQ(std::string("\1\0\0\0y\0", 6), ReadBytes(key / "=settings")) << "REG_SZ and the data";
    EXPECT_EQ(1, std::distance(fs::directory_iterator(key), fs::directory_iterator()))
        << "no temporary file is left";
}

// Without XDG_CONFIG_HOME, or with a relative one, the store is in ~/.config. The relative one comes
// first, as the other makes the directory looked for.
TEST(RegistryStore, HomeWithoutAnAbsoluteConfigDirectory)
{
    RegistrySandbox sandbox;
    TempDir home;
    std::string savedHome = getenv("HOME") ? getenv("HOME") : "";
    setenv("HOME", home.Native().c_str(), 1);
    for (const char* pszConfig : {"relative", static_cast<const char*>(nullptr)}) {
        SCOPED_TRACE(pszConfig ? pszConfig : "unset");
        pszConfig ? setenv("XDG_CONFIG_HOME", pszConfig, 1) : unsetenv("XDG_CONFIG_HOME");
        RegCloseKey(OpenKey(WSTR("K")));
        EXPECT_TRUE(fs::is_directory(home.Native() / ".config/ferlo/registry/HKEY_CURRENT_USER/k"));
    }
    setenv("HOME", savedHome.c_str(), 1);
}

#endif

} // namespace
