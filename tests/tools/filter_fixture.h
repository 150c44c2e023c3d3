// tests/tools/filter_fixture.h: filters made the way the host makes them, and
// destroyed the way the host destroys them.
#pragma once

#include "filter/FerloFilter.h"
#include "filter/FilterInfo.h"

#include <memory>
#include <string>

struct DestroyFilter {
    void operator()(CZRBasicDbFilter* p) const { p->Destroy(kDestroyFree); }
};
using FilterPtr = std::unique_ptr<CFerloFilter, DestroyFilter>;
using WString = std::basic_string<WCHAR>;

inline FilterPtr MakeFilter(uint32_t hostContext = 0, const WCHAR* pszKey = nullptr)
{
    return FilterPtr(static_cast<CFerloFilter*>(ZRDbCreateFilter(hostContext, pszKey)));
}

// A host string object over a text the test keeps alive.
inline HostString HostStr(const WString& s)
{
    return HostString{s.c_str()};
}

// Readable UTF-16 for assertion messages (ASCII only; others as \uXXXX).
inline std::string Narrow(const WCHAR* s)
{
    std::string out;
    char buf[8];
    for (; s && *s; ++s) {
        snprintf(buf, sizeof buf, *s < 0x80 ? "%c" : "\\u%04X", static_cast<unsigned>(*s));
        out += buf;
    }
    return out;
}
