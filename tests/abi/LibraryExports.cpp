// tests/abi/LibraryExports.cpp: the 32-bit module's exports of the host
// library's String and CAbort, which only the 32-bit module carries.
//
// A host that includes the library's header compiles calls to these inline
// members as calls into the module, by their decorated names: a member gets
// the object in ECX and the callee removes its arguments. A member exported
// with another convention, or a name that aliases the wrong function, shows
// here as a wrong result or an unbalanced stack.
#include "LibraryExports.h"

#if defined(_M_IX86)

namespace
{

// The library's String as the host lays it out: the text, then a buffer
// that the module's members leave alone.
struct HostString {
    wchar_t* pszText;
    wchar_t* pBuffer;
};

typedef HostString*(__thiscall* PfnStringMake)(HostString* pThis);
typedef HostString*(__thiscall* PfnStringMakeSized)(HostString* pThis, int n);
typedef void(__thiscall* PfnStringFree)(HostString* pThis);
typedef const wchar_t*(__thiscall* PfnStringText)(const HostString* pThis);
typedef int(__thiscall* PfnStringCount)(const HostString* pThis);
typedef int(__thiscall* PfnStringFind)(const HostString* pThis, int c);
typedef int(__thiscall* PfnStringFindText)(const HostString* pThis, const wchar_t* psz);
typedef HostString*(__thiscall* PfnStringCase)(HostString* pThis);
// Every comparison takes two references or a reference and a text: two
// pointers either way; operator! takes one reference.
typedef int(__cdecl* PfnStringCompare)(const void* pLeft, const void* pRight);
typedef int(__cdecl* PfnStringNot)(const void* pString);

// The library's CAbort: the table, then four 32-bit words.
struct HostAbort {
    void* const* pVtable;
    long words[4];
};

typedef HostAbort*(__thiscall* PfnAbortCopy)(HostAbort* pThis, const HostAbort* pOther);

// CAbort's slots as the host declares them; only 5 to 7 are called.
class AbortSlots
{
public:
    virtual void* Destroy(unsigned int nFlags) = 0;
    virtual int Reserved1() = 0;
    virtual int Reserved2() = 0;
    virtual int Reserved3() = 0;
    virtual int Reserved4() = 0;
    virtual int IsProcessing() = 0;
    virtual void AbortProcess() = 0;
    virtual int IsAborted() = 0;
};

template <typename Pfn> Pfn Find(HMODULE h, const char* pszName, bool& bAll)
{
    void* p = GetProcAddress(h, pszName);
    bAll &= p != nullptr;
    return reinterpret_cast<Pfn>(p);
}

// String's members, found by their decorated names.
struct StringMembers {
    PfnStringMake pfnMake;
    PfnStringMakeSized pfnMakeSized;
    PfnStringFree pfnFree;
    PfnStringText pfnText;
    PfnStringCount pfnLength;
    PfnStringCount pfnEmpty;
    PfnStringFind pfnChr;
    PfnStringFind pfnRChr;
    PfnStringFindText pfnStr;
    PfnStringCase pfnUpper;
    PfnStringCase pfnLower;
};

bool FindStringMembers(Report& report, HMODULE h, StringMembers& m)
{
    bool bAll = true;
    m.pfnMake = Find<PfnStringMake>(h, "??0String@@QAE@XZ", bAll);
    m.pfnMakeSized = Find<PfnStringMakeSized>(h, "??0String@@AAE@H@Z", bAll);
    m.pfnFree = Find<PfnStringFree>(h, "??1String@@QAE@XZ", bAll);
    m.pfnText = Find<PfnStringText>(h, "??BString@@QBEPB_WXZ", bAll);
    m.pfnLength = Find<PfnStringCount>(h, "?strlen@String@@QBEHXZ", bAll);
    m.pfnEmpty = Find<PfnStringCount>(h, "?empty@String@@QAEHXZ", bAll);
    m.pfnChr = Find<PfnStringFind>(h, "?strchr@String@@QBEHH@Z", bAll);
    m.pfnRChr = Find<PfnStringFind>(h, "?strrchr@String@@QBEHH@Z", bAll);
    m.pfnStr = Find<PfnStringFindText>(h, "?strstr@String@@QBEHPB_W@Z", bAll);
    m.pfnUpper = Find<PfnStringCase>(h, "?strupr@String@@QAEAAV1@XZ", bAll);
    m.pfnLower = Find<PfnStringCase>(h, "?strlwr@String@@QAEAAV1@XZ", bAll);
    return report.Check(bAll, Text() << "the module exports String's members");
}

// "<what> (got <address> for <address>)", for a call that returns an object.
Text& Returned(Text& text, const void* pGot, const void* pObject)
{
    return text << " (got " << pGot << " for " << pObject << ")";
}

void TestMadeString(Report& report, const StringMembers& m)
{
    HostString s = {nullptr, nullptr};
    HostString* pMade = m.pfnMake(&s);
    report.Check(pMade == &s && s.pszText && s.pszText[0] == 0 && !s.pBuffer,
                 Returned(Text() << "String() makes an empty text and returns the object", pMade, &s));
    report.Check(m.pfnText(&s) == s.pszText, Text() << "operator const wchar_t* gives the text itself");
    int nLength = m.pfnLength(&s);
    int nEmpty = m.pfnEmpty(&s);
    report.Check(nLength == 0 && nEmpty == 1,
                 Text() << "strlen() is 0 and empty() is 1 (got " << nLength << ", " << nEmpty << ")");
    m.pfnFree(&s);
    report.Check(true, Text() << "~String() frees the module's text and returns");

    // The room for a text of n units that the host's inline members fill.
    HostString sized = {nullptr, nullptr};
    HostString* pSized = m.pfnMakeSized(&sized, 40);
    report.Check(pSized == &sized && sized.pszText && !sized.pBuffer,
                 Returned(Text() << "String(40) makes a text and returns the object", pSized, &sized));
    if (sized.pszText) {
        memset(sized.pszText, 0, 41 * sizeof(wchar_t));
        m.pfnFree(&sized);
    }
}

void TestStringSearches(Report& report, const StringMembers& m)
{
    // The host's own text: the members read and change it in place.
    wchar_t szPath[] = L"C:\\out\\Cust.csv";
    HostString s = {szPath, nullptr};
    const struct {
        const char* pszCall;
        int nGot;
        int nExpected;
    } rows[] = {
        {"strlen()", m.pfnLength(&s), 15},
        {"strchr('\\\\')", m.pfnChr(&s, L'\\'), 3},
        {"strrchr('\\\\')", m.pfnRChr(&s, L'\\'), 7},
        {"strrchr('z')", m.pfnRChr(&s, L'z'), 0},
        {"strstr(L\"t.c\")", m.pfnStr(&s, L"t.c"), 11},
    };
    for (const auto& r : rows)
        report.Check(r.nGot == r.nExpected,
                     Text() << "String::" << r.pszCall << " is " << r.nExpected << " (got " << r.nGot << ")");
    HostString* pUpper = m.pfnUpper(&s);
    report.Check(pUpper == &s && WideEqual(szPath, L"C:\\OUT\\CUST.CSV"),
                 Text() << "strupr() changes the text in place and returns the object (got " << szPath
                        << ")");
    HostString* pLower = m.pfnLower(&s);
    report.Check(pLower == &s && WideEqual(szPath, L"c:\\out\\cust.csv"),
                 Text() << "strlwr() changes the text in place and returns the object (got " << szPath
                        << ")");
}

void TestStringOperators(Report& report, HMODULE h)
{
    wchar_t szText[] = L"a.txt";
    wchar_t szSame[] = L"a.txt";
    wchar_t szOther[] = L"a.TXT";
    wchar_t szEmpty[] = L"";
    HostString s = {szText, nullptr};
    HostString same = {szSame, nullptr};
    HostString other = {szOther, nullptr};
    HostString empty = {szEmpty, nullptr};
    const struct {
        const char* pszName;
        const void* pLeft;
        const void* pRight;
        int nExpected;
    } rows[] = {
        {"??8@YAHABVString@@0@Z", &s, &same, 1},       {"??8@YAHAAVString@@ABV0@@Z", &s, &other, 0},
        {"??8@YAHABVString@@PB_W@Z", &s, L"a.txt", 1}, {"??8@YAHAAVString@@PB_W@Z", &s, L"a.tx", 0},
        {"??8@YAHABVString@@PA_W@Z", &s, szOther, 0},  {"??8@YAHAAVString@@PA_W@Z", &s, szSame, 1},
        {"??9@YAHABVString@@0@Z", &s, &other, 1},      {"??9@YAHABVString@@0@Z", &s, &same, 0},
        {"??7@YAHABVString@@@Z", &empty, nullptr, 1},  {"??7@YAHABVString@@@Z", &s, nullptr, 0},
    };
    for (const auto& r : rows) {
        void* pProc = GetProcAddress(h, r.pszName);
        int nGot = -1;
        if (pProc && r.pRight)
            nGot = reinterpret_cast<PfnStringCompare>(pProc)(r.pLeft, r.pRight);
        else if (pProc)
            nGot = reinterpret_cast<PfnStringNot>(pProc)(r.pLeft);
        report.Check(nGot == r.nExpected,
                     Text() << r.pszName << " gives " << r.nExpected << " (got " << nGot << ")");
    }
}

void TestAbort(Report& report, HMODULE h)
{
    bool bAll = true;
    auto pfnCopy = Find<PfnAbortCopy>(h, "??0CAbort@@QAE@ABV0@@Z", bAll);
    auto pfnAssign = Find<PfnAbortCopy>(h, "??4CAbort@@QAEAAV0@ABV0@@Z", bAll);
    auto pVtable = Find<void* const*>(h, "??_7CAbort@@6B@", bAll);
    if (!report.Check(bAll, Text() << "the module exports CAbort's copy, assignment and virtual table"))
        return;
    // The source's table is the host's business; the copy gets the module's.
    HostAbort source = {nullptr, {1, 0, 7, 9}};
    HostAbort copy;
    memset(&copy, 0xA5, sizeof(copy));
    HostAbort* pCopy = pfnCopy(&copy, &source);
    report.Check(pCopy == &copy, Returned(Text() << "the copy constructor returns the object", pCopy, &copy));
    report.Check(copy.pVtable == pVtable, Text() << "the copy constructor gives the copy the exported table");
    report.Check(BytesEqual(copy.words, source.words, sizeof(copy.words)),
                 Text() << "the copy constructor copies the four words");

    auto* pSlots = reinterpret_cast<AbortSlots*>(&copy);
    int nProcessing = pSlots->IsProcessing();
    int nAbortedBefore = pSlots->IsAborted();
    pSlots->AbortProcess();
    int nAbortedAfter = pSlots->IsAborted();
    report.Check(nProcessing == 1 && nAbortedBefore == 0 && nAbortedAfter == 1,
                 Text() << "slots 5 to 7: IsProcessing 1, IsAborted 0, then 1 after AbortProcess (got "
                        << nProcessing << ", " << nAbortedBefore << ", " << nAbortedAfter << ")");

    HostAbort* pAssigned = pfnAssign(&copy, &source);
    report.Check(pAssigned == &copy && copy.pVtable == pVtable &&
                     BytesEqual(copy.words, source.words, sizeof(copy.words)),
                 Text() << "assignment copies the four words, keeps the table and returns the object");
}

} // namespace

void TestLibraryExports(Report& report, HMODULE hModule)
{
    report.Stage("String's members");
    StringMembers members;
    if (FindStringMembers(report, hModule, members)) {
        TestMadeString(report, members);
        TestStringSearches(report, members);
    }
    report.Stage("String's comparisons");
    TestStringOperators(report, hModule);
    report.Stage("CAbort");
    TestAbort(report, hModule);
}

#endif
