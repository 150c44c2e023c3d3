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

inline FilterPtr MakeFilter(uint32_t hostContext = 0, const WCHAR* pszKey = nullptr)
{
    return FilterPtr(static_cast<CFerloFilter*>(ZRDbCreateFilter(hostContext, pszKey)));
}

using WString = std::basic_string<WCHAR>;

// A host string object over a text the test keeps alive.
inline HostString HostStr(const WString& s)
{
    return HostString{s.c_str()};
}

// Readable UTF-16 for assertion messages (ASCII only; others as \uXXXX).
inline std::string Narrow(const WCHAR* s)
{
    std::string out;
    for (; s && *s; ++s) {
        if (*s < 0x80) {
            out += static_cast<char>(*s);
        } else {
            char buf[8];
            snprintf(buf, sizeof buf, "\\u%04X", static_cast<unsigned>(*s));
            out += buf;
        }
    }
    return out;
}
