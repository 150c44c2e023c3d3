// tests/tools/temp_dir.h: a fresh directory per test, named as the filter names
// paths (backslashes; on Linux the backslash form of the Linux path, as
// \tmp\...), and the current directory moved into it for a test's length.
#pragma once

#include "filter_fixture.h"

#include <chrono>
#include <filesystem>
#include <set>
#include <string>

namespace fs = std::filesystem;

// The file system's name of a path the filter uses: on Linux every
// backslash becomes "/", as the platform layer maps it.
inline fs::path NativePath(WString path)
{
#if !defined(_WIN32)
    for (WCHAR& c : path)
        if (c == u'\\')
            c = u'/';
#endif
    return fs::path(path);
}

class TempDir
{
public:
    TempDir()
    {
        static int s_nCount = 0;
        auto nTicks = std::chrono::steady_clock::now().time_since_epoch().count();
        m_native = fs::temp_directory_path() /
                   ("ferlo-test-" + std::to_string(nTicks) + "-" + std::to_string(++s_nCount));
        fs::create_directories(m_native);
    }
    ~TempDir()
    {
        std::error_code error;
        fs::remove_all(m_native, error);
    }

    const fs::path& Native() const { return m_native; }

    // The directory's path with a relative name joined, in the filter's form.
    WString Path(const WString& relative = WString()) const
    {
#if defined(_WIN32)
        WString path = m_native.wstring();
#else
        WString path = m_native.u16string();
        for (WCHAR& c : path)
            if (c == u'/')
                c = u'\\';
#endif
        return relative.empty() ? path : path + WSTR("\\") + relative;
    }

    // Every entry below the directory, as relative generic names.
    std::set<std::string> Tree() const
    {
        std::set<std::string> entries;
        for (const auto& entry : fs::recursive_directory_iterator(m_native))
            entries.insert(entry.path().lexically_relative(m_native).generic_string());
        return entries;
    }

private:
    fs::path m_native;
};

// Makes a directory the current one until the end of the scope.
class CurrentDirectory
{
public:
    explicit CurrentDirectory(const fs::path& directory) : m_saved(fs::current_path())
    {
        fs::current_path(directory);
    }
    ~CurrentDirectory() { fs::current_path(m_saved); }

private:
    fs::path m_saved;
};

// A drive letter that names no drive here: on Linux a relative name that
// does not exist in a fresh current directory, under Windows an unmapped
// drive. The walk finds no level of it and creates nothing.
inline const WCHAR* MissingDrive()
{
    return WSTR("Q:");
}
