// tests/tools/temp_dir.h: a fresh directory per test, named as the filter names
// paths (on Linux the backslash form of the path, as \tmp\...), the current
// directory moved into it for a scope, and files' bytes read and written.
#pragma once

#include "filter_fixture.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace fs = std::filesystem;

// The file system's name of a path the filter uses: on Linux every
// backslash becomes "/", as the platform layer maps it.
inline fs::path NativePath(WString path)
{
#if !defined(_WIN32)
    std::replace(path.begin(), path.end(), u'\\', u'/');
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
        std::replace(path.begin(), path.end(), u'/', u'\\');
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

// A drive that names none here (on Linux a relative name).
#define MISSING_DRIVE WSTR("Q:")

inline std::string ReadBytes(const fs::path& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

inline void WriteBytes(const fs::path& path, const std::string& bytes)
{
    std::ofstream(path, std::ios::binary) << bytes;
}
