// fuzz/options_parser_fuzz.cpp: random UTF-16 texts through ParseOptions on
// a new filter. The parse must neither crash nor write outside a member,
// must leave the members within their rules, must not change the caller's
// text, and its directory walk must make levels only below existing ones.
//
// ParseOptions makes the output directory of whatever path it is given, so
// this target is linked with the C runtime's _waccess and _wmkdir replaced
// (see fuzz/CMakeLists.txt) by a file system in memory, emptied for every
// input: random paths never reach the disk.
#include "filter/FerloFilter.h"
#include "filter/FilterInfo.h"
#include "fuzz_input.h"
#include "output/Directory.h"

#include <set>
#include <stdlib.h>

namespace
{

using Text = std::basic_string<WCHAR>;

std::set<Text> g_directories;

// The name the file system goes by: a run of backslashes separates as one.
Text Normal(const Text& path)
{
    Text normal;
    for (WCHAR c : path)
        if (c != WSTR('\\') || normal.empty() || normal.back() != WSTR('\\'))
            normal += c;
    return normal;
}

bool Exists(const Text& path)
{
    Text normal = Normal(path);
    return normal == WSTR("\\") || normal == WSTR(".\\") || normal == WSTR("C:\\") ||
           g_directories.count(normal) != 0;
}

// The directory that holds path (which ends in a backslash), as a name
// ending in one; empty when there is none.
Text ParentOf(Text path)
{
    path.pop_back();
    size_t n = path.rfind(WSTR('\\'));
    return n == Text::npos ? Text() : path.substr(0, n + 1);
}

void Check(bool bHolds, const char* pszWhat)
{
    if (!bHolds) {
        fprintf(stderr, "broken: %s\n", pszWhat);
        abort();
    }
}

template <size_t N> bool Terminated(const WCHAR (&sz)[N])
{
    for (WCHAR c : sz)
        if (c == 0)
            return true;
    return false;
}

} // namespace

extern "C" int __wrap__Z8_waccessPKDsi(const WCHAR* path, int)
{
    if (Exists(path))
        return 0;
    errno = ENOENT;
    return -1;
}

extern "C" int __wrap__Z7_wmkdirPKDs(const WCHAR* path)
{
    Text directory = path;
    Check(!directory.empty() && directory.back() == WSTR('\\'),
          "a directory is made by its name with a backslash");
    Check(Exists(ParentOf(directory)), "levels are made from the top down");
    if (!g_directories.insert(Normal(directory)).second) {
        errno = EEXIST;
        return -1;
    }
    return 0;
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    UseOptionsDictionary(argc, argv);
    // Proves that the walk reaches the stand-ins and not the disk.
    Check(EnsureDirectory(WSTR("C:\\ferlo-fuzz\\check")) == 1 &&
              g_directories.count(WSTR("C:\\ferlo-fuzz\\check\\")) == 1,
          "the file system in memory is in place");
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    g_directories.clear();
    const Text options = TextOf(data, size);
    Text copy = options;
    CFerloFilter* f = static_cast<CFerloFilter*>(ZRDbCreateFilter(0, nullptr));
    int nResult = f->ParseOptions(HostString{copy.c_str()});
    Check(copy == options, "the caller's text is not changed");
    Check(nResult == 0 || nResult == 1, "the result is 0 or 1");
    const Options& o = f->m_options;
    const Text file = o.m_szFile;
    const size_t nSeparator = file.rfind(WSTR('\\'));
    Check(nResult == 1 || nSeparator == Text::npos || Exists(file.substr(0, nSeparator + 1)),
          "a result of 0 means that the output directory exists");
    Check(Terminated(o.m_szFile) && Terminated(o.m_szDelimiter), "texts end inside their members");
    Check(o.m_szDelimiter[0] != 0 && o.m_szDelimiter[1] == 0, "the delimiter is one unit");
    Check(f->m_output.m_nTables == 0, "the table count starts again");
    Check(!o.m_bMap || (!o.m_bXml && !o.m_bSingle), "MAP turns XML and SINGLE off");
    Check(!o.m_bXml || (!o.m_bCsv && !o.m_bUnicode && o.m_nCodePage == 65001), "XML is UTF-8 without CSV");
    for (int32_t b : {o.m_bCsv, o.m_bOverwrite, o.m_bWriteHead, o.m_bSingle, o.m_bXml, o.m_bHeadline,
                      o.m_bMap, o.m_bUnicode})
        Check(b == 0 || b == 1, "flags are 0 or 1");
    f->Destroy(kDestroyFree);
    return 0;
}
