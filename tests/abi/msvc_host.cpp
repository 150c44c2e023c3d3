// tests/abi/msvc_host.cpp: a host built with the Microsoft C++ ABI loads the
// plug-in library and drives it through its exports and its virtual table.
//
// The plug-in is built by another compiler, whose own C++ ABI differs from
// the host's in the places this host exercises: a virtual destructor takes
// one slot here, a CString comes back through a hidden pointer after the
// object, a deleting destructor takes a flag. Each check is one call a real
// host makes, with the host's own declarations (HostApi.h) on this side.
//
// Usage: msvc_host <path of the plug-in library>. One line per check, then
// "N passed, N failed"; the exit code is 0 only when nothing failed.
#include "DialogCanceller.h"
#include "HostApi.h"
#include "HostObjects.h"
#include "HostRuntime.h"
#include "LibraryExports.h"

namespace
{

const unsigned long kHostValue = 0x5EEDF00D;
const wchar_t kHostKey[] = L"Software\\Example\\Key";

struct Plugin {
    HMODULE hModule;
    PfnGetFilterInfo pfnGetFilterInfo;
    PfnCreateFilter pfnCreateFilter;
    void* pSetOptions;
    void* pGetOptionsString;
};

// --- exports ---------------------------------------------------------------

__declspec(noinline) void TestFilterInfo(Report& report, const Plugin& plugin)
{
    // Guard bytes after the record catch a module that writes a wider one.
    struct Guarded {
        FilterInfo info;
        unsigned char guard[16];
    };
    Guarded first;
    Guarded second;
    memset(&first, 0xA5, sizeof(first));
    memset(&second, 0x5A, sizeof(second));
    int rcFirst = plugin.pfnGetFilterInfo(&first.info);
    int rcSecond = plugin.pfnGetFilterInfo(&second.info);

    report.Check(rcFirst == 0 && rcSecond == 0,
                 Text() << "ZRDbGetFilterInfo returns 0 (got " << rcFirst << ", " << rcSecond << ")");
    report.Check(first.info.nVersion == 0x00010000,
                 Text() << "FilterInfo.nVersion is 65536 (got " << first.info.nVersion << ")");
    report.Check(first.info.nType == 6, Text() << "FilterInfo.nType is 6 (got " << first.info.nType << ")");

    const struct {
        const char* pszMember;
        const wchar_t* pszFirst;
        const wchar_t* pszSecond;
        const wchar_t* pszExpected;
    } texts[] = {
        {"pszDescription", first.info.pszDescription, second.info.pszDescription, L"File Based Plain Text"},
        {"pszName", first.info.pszName, second.info.pszName, L"Text"},
        {"pszVersion", first.info.pszVersion, second.info.pszVersion, L"3.0"},
        {"pszMaker", first.info.pszMaker, second.info.pszMaker, L"Tarnholm GmbH"},
    };
    for (const auto& t : texts) {
        report.Check(t.pszFirst && WideEqual(t.pszFirst, t.pszExpected),
                     Text() << "FilterInfo." << t.pszMember << " is \"" << t.pszExpected << "\" (got \""
                            << (t.pszFirst ? t.pszFirst : L"(null)") << "\")");
        report.Check(t.pszFirst == t.pszSecond,
                     Text() << "FilterInfo." << t.pszMember << " points to the same text on a second call");
    }
    report.Check(second.info.nVersion == first.info.nVersion && second.info.nType == first.info.nType,
                 Text() << "a second ZRDbGetFilterInfo gives the same numbers");

    unsigned char guard[sizeof(first.guard)];
    memset(guard, 0xA5, sizeof(guard));
    report.Check(BytesEqual(first.guard, guard, sizeof(guard)),
                 Text() << "ZRDbGetFilterInfo writes nothing past the " << sizeof(FilterInfo)
                        << "-byte record");
}

// The caller removes the arguments (C calling convention), so any number of
// them may be pushed; a callee that removed them itself would unbalance the
// 32-bit host's stack.
__declspec(noinline) void TestOptionExports(Report& report, const Plugin& plugin)
{
    const struct {
        const char* pszName;
        void* pProc;
    } exports[] = {
        {"ZRSetOptions", plugin.pSetOptions},
        {"ZRGetOptionsString", plugin.pGetOptionsString},
    };
    for (const auto& e : exports) {
        int rcNone = reinterpret_cast<PfnOptionsCall0>(e.pProc)();
        int rcSix = reinterpret_cast<PfnOptionsCall6>(e.pProc)(1, -1, 0x7FFFFFFF, 4, 5, 6);
        report.Check(rcNone == 0, Text() << e.pszName << "() returns 0 (got " << rcNone << ")");
        report.Check(rcSix == 0, Text()
                                     << e.pszName << " with six arguments returns 0 (got " << rcSix << ")");
    }
}

// --- the filter's slots ----------------------------------------------------

// Every way the host passes its registry key gives a filter, which the host
// then destroys with delete: slot 0 with the deleting flag set.
__declspec(noinline) void TestCreateAndDelete(Report& report, const Plugin& plugin)
{
    const struct {
        const char* pszCase;
        const wchar_t* pszKey;
    } keys[] = {
        {"a null key", nullptr},
        {"an empty key", L""},
        {"the host's key", kHostKey},
    };
    for (const auto& k : keys) {
        CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, k.pszKey);
        if (!report.Check(p != nullptr, Text() << "ZRDbCreateFilter with " << k.pszCase << " gives a filter"))
            continue;
        delete p;
        report.Check(true, Text() << "delete of the filter made with " << k.pszCase << " returns");
    }
}

__declspec(noinline) void TestReservedSlots(Report& report, const Plugin& plugin)
{
    auto* p = static_cast<CZRDbFilter*>(plugin.pfnCreateFilter(kHostValue, kHostKey));
    if (!report.Check(p != nullptr, Text() << "ZRDbCreateFilter gives a filter for the reserved slots"))
        return;
    const struct {
        const char* pszSlot;
        int rc;
    } slots[] = {
        {"Reserved9 (slot 9)", p->Reserved9()},
        {"Reserved11 (slot 11)", p->Reserved11(1, -1, 0x7FFFFFFF)},
        {"Reserved12 (slot 12)", p->Reserved12(-7, 0, 42)},
    };
    for (const auto& s : slots)
        report.Check(s.rc == 0, Text() << s.pszSlot << " returns 0 (got " << s.rc << ")");
    delete p;
}

bool NoStrayCalls(Report& report, const char* pszWhen, TestField* const* ppFields, int nFields)
{
    for (int i = 0; i < nFields; ++i) {
        if (ppFields[i]->m_nStray) {
            return report.Check(false, Text() << pszWhen << ": field " << i << " was called in its slot "
                                              << ppFields[i]->m_nLastStraySlot
                                              << ", which the plug-in has no use for");
        }
    }
    return report.Check(true, Text() << pszWhen << ": no field was called outside slots 3, 11 and 14");
}

int NamesRead(TestField* const* ppFields, int nFields)
{
    int n = 0;
    for (int i = 0; i < nFields; ++i)
        n += ppFields[i]->m_nGetName;
    return n;
}

// ForwardBeginTable (slot 10) must reach the most derived BeginTable (slot
// 4) through the virtual table. Its outcome is compared with a direct call
// of slot 4 on a twin filter in the same state; the base's storing
// BeginTable alone would return 0 without reading any field, so that
// outcome proves nothing and counts as a failure. One-file-per-record mode
// is chosen because there BeginTable opens no file.
__declspec(noinline) void TestForwardBeginTable(Report& report, const Plugin& plugin, HostStringMgr& mgr)
{
    CString options(&mgr, L"[SINGLE=TRUE][DELIMITER=;]");
    CString table(&mgr, L"Customers");
    TestField direct0(&mgr, L"ID", L"1");
    TestField direct1(&mgr, L"Name", L"Smith");
    TestField forward0(&mgr, L"ID", L"1");
    TestField forward1(&mgr, L"Name", L"Smith");
    TestField* directFields[] = {&direct0, &direct1};
    TestField* forwardFields[] = {&forward0, &forward1};
    HostField* directArg[] = {&direct0, &direct1};
    HostField* forwardArg[] = {&forward0, &forward1};

    CZRBasicDbFilter* pDirect = plugin.pfnCreateFilter(kHostValue, nullptr);
    auto* pForward = static_cast<CZRDbFilter*>(plugin.pfnCreateFilter(kHostValue, nullptr));
    if (!report.Check(pDirect && pForward, Text() << "ZRDbCreateFilter gives two twin filters")) {
        delete pDirect;
        delete pForward;
        return;
    }
    int rcParseDirect = pDirect->ParseOptions(options);
    int rcParseForward = pForward->ParseOptions(options);
    report.Check(rcParseDirect == rcParseForward, Text() << "ParseOptions gives the twins the same status ("
                                                         << rcParseDirect << ", " << rcParseForward << ")");

    int rcDirect = pDirect->BeginTable(table, directArg, 2);
    int rcForward = pForward->ForwardBeginTable(table, forwardArg, 2);
    int nDirectNames = NamesRead(directFields, 2);
    int nForwardNames = NamesRead(forwardFields, 2);
    report.Check(rcForward == rcDirect, Text() << "ForwardBeginTable returns what BeginTable returns ("
                                               << rcForward << ", " << rcDirect << ")");
    report.Check(nForwardNames == nDirectNames,
                 Text() << "ForwardBeginTable reads the field names BeginTable reads (" << nForwardNames
                        << ", " << nDirectNames << " calls of GetName)");
    report.Check(rcDirect != 0 || nDirectNames > 0,
                 Text() << "BeginTable (slot 4) is the filter's own, not the storing one of its base (status "
                        << rcDirect << ", " << nDirectNames << " names read)");
    NoStrayCalls(report, "BeginTable", directFields, 2);
    NoStrayCalls(report, "ForwardBeginTable", forwardFields, 2);

    // The fields stay valid until the filters are gone.
    delete pDirect;
    delete pForward;
}

// --- strings across the boundary -------------------------------------------

// The plug-in's string manager, as an MFC host reaches it when it changes a
// string the plug-in returned: through the manager pointer in the header.
__declspec(noinline) void TestModuleStringMgr(Report& report, IAtlStringMgr* pMgr)
{
    CStringData* pData = pMgr->Allocate(5, sizeof(wchar_t));
    if (!report.Check(pData != nullptr, Text() << "the module's Allocate (manager slot 0) gives a block"))
        return;
    report.Check(
        pData->pStringMgr == pMgr && pData->nDataLength == 0 && pData->nAllocLength >= 5 && pData->nRefs == 1,
        Text() << "an allocated block's header is {manager, 0, >= 5, 1} (got {" << pData->pStringMgr << ", "
               << pData->nDataLength << ", " << pData->nAllocLength << ", " << pData->nRefs << "})");
    const wchar_t kText[] = L"abcde";
    for (int i = 0; i < 6; ++i)
        pData->data()[i] = kText[i];
    pData->nDataLength = 5;

    CStringData* pGrown = pMgr->Reallocate(pData, 300, sizeof(wchar_t));
    if (report.Check(pGrown != nullptr, Text() << "the module's Reallocate (manager slot 2) gives a block")) {
        report.Check(pGrown->pStringMgr == pMgr && pGrown->nAllocLength >= 300 && pGrown->nDataLength == 5 &&
                         WideEqual(pGrown->data(), kText),
                     Text() << "Reallocate keeps the text and grows the block (length " << pGrown->nDataLength
                            << ", capacity " << pGrown->nAllocLength << ")");
        pMgr->Free(pGrown);
    }

    CStringData* pNil = pMgr->GetNilString();
    if (report.Check(pNil != nullptr, Text()
                                          << "the module's GetNilString (manager slot 3) gives a string")) {
        report.Check(pNil->pStringMgr == pMgr && pNil->nDataLength == 0 && pNil->data()[0] == 0 &&
                         pNil->nRefs > 1,
                     Text() << "the empty string is shared and empty (length " << pNil->nDataLength
                            << ", refs " << pNil->nRefs << ")");
        pNil->Release();
    }
    report.Check(pMgr->Clone() != nullptr, Text() << "the module's Clone (manager slot 4) gives a manager");
}

// Stands in the header of a string of the module's, counting the Free calls
// that reach it before passing them on to the module's manager.
class CountingMgr final : public IAtlStringMgr
{
public:
    void Wrap(CStringData* pData)
    {
        m_pInner = pData->pStringMgr;
        pData->pStringMgr = this;
    }
    CStringData* Allocate(int n, int nCharSize) override { return m_pInner->Allocate(n, nCharSize); }
    void Free(CStringData* pData) override
    {
        ++m_nFrees;
        pData->pStringMgr = m_pInner;
        m_pInner->Free(pData);
    }
    CStringData* Reallocate(CStringData* pData, int n, int nCharSize) override
    {
        return m_pInner->Reallocate(pData, n, nCharSize);
    }
    CStringData* GetNilString() override { return m_pInner->GetNilString(); }
    IAtlStringMgr* Clone() override { return m_pInner->Clone(); }

    int m_nFrees = 0;

private:
    IAtlStringMgr* m_pInner = nullptr;
};

// Configure returns a CString by value: the host passes the storage, the
// module builds the string there, and the host owns and destroys it. The
// dialog it shows, if any, is cancelled, so the result is the options text
// passed in, here the empty one, and the changed flag is 0.
__declspec(noinline) void TestConfigure(Report& report, const Plugin& plugin)
{
    CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, kHostKey);
    if (!report.Check(p != nullptr, Text() << "ZRDbCreateFilter gives a filter for Configure"))
        return;
    int bChanged = 0x5A5A5A5A;
    IAtlStringMgr* pModuleMgr = nullptr;
    CStringData* pData = nullptr;
    long nRefsBefore = 0;
    CountingMgr counting;
    bool bCounting = false;
    {
        CString result = [&] {
            DialogCanceller canceller;
            return p->Configure(&bChanged, L"");
        }();
        pData = result.GetData();
        pModuleMgr = pData->pStringMgr;
        nRefsBefore = pData->nRefs;
        report.Check(bChanged == 0, Text() << "Configure sets the changed flag to 0 when cancelled (got "
                                           << bChanged << ")");
        report.Check(pModuleMgr != nullptr, Text() << "the returned CString names its string manager");
        report.Check(result.GetString() != nullptr && pData->nDataLength == 0 && result.GetString()[0] == 0 &&
                         pData->nAllocLength >= pData->nDataLength && pData->nRefs != 0,
                     Text() << "the returned CString is a valid empty string (length " << pData->nDataLength
                            << ", capacity " << pData->nAllocLength << ", refs " << pData->nRefs << ")");
        if (pModuleMgr && nRefsBefore == 1) {
            counting.Wrap(pData);
            bCounting = true;
        }
    }
    // A block of its own goes back through the manager named in its header;
    // a shared empty string outlives its owners, one count fewer.
    if (bCounting) {
        report.Check(counting.m_nFrees == 1, Text() << "destroying the returned string frees it through the "
                                                       "manager in its header ("
                                                    << counting.m_nFrees << " frees)");
    } else {
        report.Check(pData->nRefs == nRefsBefore - 1,
                     Text() << "destroying the returned shared string drops its count by one (" << nRefsBefore
                            << " -> " << pData->nRefs << ")");
    }
    if (pModuleMgr)
        TestModuleStringMgr(report, pModuleMgr);
    delete p;
}

// --- one export, record by record ------------------------------------------

bool ReadWholeFile(const wchar_t* pszPath, char* pBuffer, DWORD nCapacity, DWORD* pnRead)
{
    const DWORD kGenericRead = 0x80000000;
    const DWORD kOpenExisting = 3;
    HANDLE h = CreateFileW(pszPath, kGenericRead, 0, nullptr, kOpenExisting, 0, nullptr);
    if (h == HOST_INVALID_HANDLE)
        return false;
    bool bOk = ReadFile(h, pBuffer, nCapacity, pnRead, nullptr) != 0;
    CloseHandle(h);
    return bOk;
}

// A table in one-file-per-record mode, as a host exports it: the module
// calls back into the host's fields (Prepare, GetName, GetValueText), and
// every value string the host returns by value is released through the
// host's own manager.
__declspec(noinline) void TestRecordExport(Report& report, const Plugin& plugin, HostStringMgr& mgr)
{
    static wchar_t s_szDir[300];
    static wchar_t s_szRecord[340];
    static wchar_t s_szOutput[340];
    if (!GetTempPathW(260, s_szDir) || !WideAppend(s_szDir, 300, L"ferlo-abi-") ||
        !WideAppendNumber(s_szDir, 300, GetCurrentProcessId())) {
        report.Check(false, Text() << "a temporary directory name for the record export");
        return;
    }
    s_szRecord[0] = 0;
    WideAppend(s_szRecord, 340, s_szDir);
    WideAppend(s_szRecord, 340, L"\\letter.doc");
    s_szOutput[0] = 0;
    WideAppend(s_szOutput, 340, s_szDir);
    WideAppend(s_szOutput, 340, L"\\letter.TXT");

    CString options(&mgr, L"[SINGLE=TRUE][DELIMITER=;]");
    CString table(&mgr, L"Letters");
    TestField id(&mgr, L"ID", L"alpha");
    TestField name(&mgr, L"Name", L"beta");
    TestField* fields[] = {&id, &name};
    HostField* fieldArg[] = {&id, &name};

    CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, nullptr);
    if (!report.Check(p != nullptr, Text() << "ZRDbCreateFilter gives a filter for the record export"))
        return;
    CreateDirectoryW(s_szDir, nullptr);
    p->ParseOptions(options);

    int rc = p->BeginTable(table, fieldArg, 2);
    report.Check(rc == 0, Text() << "BeginTable in one-file-per-record mode returns 0 (got " << rc << ")");
    report.Check(id.m_nGetName > 0 && name.m_nGetName > 0,
                 Text() << "BeginTable reads each field's name through GetName (slot 11)");
    rc = p->BeginRecord(s_szRecord);
    report.Check(rc == 0, Text() << "BeginRecord opens the record's file (got " << rc << ")");

    int nOutstanding = mgr.Outstanding();
    int rcId = p->WriteField(&id);
    int rcName = p->WriteField(&name);
    report.Check(rcId == 0 && rcName == 0,
                 Text() << "WriteField returns 0 (got " << rcId << ", " << rcName << ")");
    for (TestField* pField : fields) {
        report.Check(pField->m_nPrepare == 1 && pField->m_nGetValueText == 1 &&
                         !pField->m_bValueBeforePrepare,
                     Text() << "WriteField calls Prepare (slot 3), then GetValueText (slot 14) once (got "
                            << pField->m_nPrepare << ", " << pField->m_nGetValueText << ")");
    }
    report.Check(mgr.Outstanding() == nOutstanding && mgr.m_nWrongFrees == 0,
                 Text() << "every value string returned by value is released through the host's manager ("
                        << mgr.Outstanding() - nOutstanding << " left, " << mgr.m_nWrongFrees
                        << " wrong frees)");

    rc = p->EndRecord();
    report.Check(rc == 0, Text() << "EndRecord closes the record's file (got " << rc << ")");
    static char s_content[64];
    DWORD nRead = 0;
    const char kExpected[] = "alpha;beta\r\n";
    bool bRead = ReadWholeFile(s_szOutput, s_content, sizeof(s_content), &nRead);
    report.Check(bRead && nRead == sizeof(kExpected) - 1 && BytesEqual(s_content, kExpected, nRead),
                 Text() << "the record's file holds the values as the fields gave them (" << nRead
                        << " bytes)");
    rc = p->EndTable();
    report.Check(rc == 0, Text() << "EndTable returns 0 (got " << rc << ")");

    NoStrayCalls(report, "record export", fields, 2);
    delete p;
    DeleteFileW(s_szOutput);
    RemoveDirectoryW(s_szDir);
}

// --- destruction -----------------------------------------------------------

size_t PrivateBytes()
{
    PROCESS_MEMORY_COUNTERS counters;
    memset(&counters, 0, sizeof(counters));
    counters.cb = sizeof(counters);
    if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters)))
        return 0;
    return counters.PagefileUsage;
}

enum DestroyBy { kDelete, kDestructorOnly };

// Makes and destroys filters, and returns how much the process's private
// memory grew meanwhile, per filter.
size_t GrowthPerFilter(const Plugin& plugin, int nFilters, DestroyBy how)
{
    size_t nBefore = PrivateBytes();
    for (int i = 0; i < nFilters; ++i) {
        CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, kHostKey);
        if (!p)
            break;
        if (how == kDelete)
            delete p;
        else
            p->~CZRBasicDbFilter();
    }
    size_t nAfter = PrivateBytes();
    return nAfter > nBefore ? (nAfter - nBefore) / static_cast<size_t>(nFilters) : 0;
}

// delete reaches slot 0 with the deleting flag set, and the module must give
// the object's memory back. Calling the destructor alone passes the flag
// clear: the object stays allocated, which shows that the measurement sees
// a filter that is not freed.
__declspec(noinline) void TestDeleteFrees(Report& report, const Plugin& plugin)
{
    const int kFilters = 10000;
    const int kUnfreed = 2000;
    const size_t kLeakBytes = 1024;        // less than a filter's buffers and object
    GrowthPerFilter(plugin, 100, kDelete); // the heap reaches its working size
    size_t nDeleted = GrowthPerFilter(plugin, kFilters, kDelete);
    report.Check(nDeleted < kLeakBytes, Text() << kFilters
                                               << " filters made and deleted leave no memory behind ("
                                               << nDeleted << " bytes per filter)");
    size_t nUnfreed = GrowthPerFilter(plugin, kUnfreed, kDestructorOnly);
    report.Check(nUnfreed >= kLeakBytes, Text() << "a filter destroyed with the flag clear stays allocated ("
                                                << nUnfreed
                                                << " bytes per filter), so the measurement sees leaks");
}

// --- start -----------------------------------------------------------------

// The first argument of the command line, without quotes, in pszOut.
bool FirstArgument(wchar_t* pszOut, size_t nCapacity)
{
    const wchar_t* p = GetCommandLineW();
    if (*p == L'"') {
        for (++p; *p && *p != L'"'; ++p) {
        }
        if (*p)
            ++p;
    } else {
        while (*p && *p != L' ' && *p != L'\t')
            ++p;
    }
    while (*p == L' ' || *p == L'\t')
        ++p;
    wchar_t end = L' ';
    if (*p == L'"') {
        end = L'"';
        ++p;
    }
    size_t n = 0;
    for (; *p && *p != end && !(end == L' ' && *p == L'\t'); ++p) {
        if (n + 1 >= nCapacity)
            return false;
        pszOut[n++] = *p;
    }
    pszOut[n] = 0;
    return n > 0;
}

bool LoadPlugin(Plugin& plugin, const wchar_t* pszPath)
{
    HMODULE h = LoadLibraryW(pszPath);
    if (!h) {
        PrintLine((Text() << "cannot load " << pszPath << " (error " << GetLastError() << ")").c_str());
        return false;
    }
    plugin.hModule = h;
    plugin.pfnGetFilterInfo = reinterpret_cast<PfnGetFilterInfo>(GetProcAddress(h, "ZRDbGetFilterInfo"));
    plugin.pfnCreateFilter = reinterpret_cast<PfnCreateFilter>(GetProcAddress(h, "ZRDbCreateFilter"));
    plugin.pSetOptions = GetProcAddress(h, "ZRSetOptions");
    plugin.pGetOptionsString = GetProcAddress(h, "ZRGetOptionsString");
    return true;
}

int Run()
{
    static wchar_t s_szPath[1024];
    if (!FirstArgument(s_szPath, 1024)) {
        PrintLine("usage: msvc_host <plug-in library>");
        return 2;
    }
    Report report;
    report.Stage("loading the module");
    Plugin plugin;
    if (!LoadPlugin(plugin, s_szPath))
        return 2;

    const struct {
        const char* pszName;
        void* pProc;
    } exports[] = {
        {"ZRDbGetFilterInfo", reinterpret_cast<void*>(plugin.pfnGetFilterInfo)},
        {"ZRDbCreateFilter", reinterpret_cast<void*>(plugin.pfnCreateFilter)},
        {"ZRSetOptions", plugin.pSetOptions},
        {"ZRGetOptionsString", plugin.pGetOptionsString},
    };
    bool bAll = true;
    for (const auto& e : exports)
        bAll &= report.Check(e.pProc != nullptr, Text() << "the module exports " << e.pszName);
    if (!bAll)
        return report.Finish();

    HostStringMgr mgr;
    report.Stage("ZRDbGetFilterInfo");
    TestFilterInfo(report, plugin);
    report.Stage("ZRSetOptions and ZRGetOptionsString");
    TestOptionExports(report, plugin);
    report.Stage("ZRDbCreateFilter and delete");
    TestCreateAndDelete(report, plugin);
    report.Stage("the reserved slots");
    TestReservedSlots(report, plugin);
    report.Stage("ForwardBeginTable");
    TestForwardBeginTable(report, plugin, mgr);
    report.Stage("Configure and the module's string manager");
    TestConfigure(report, plugin);
    report.Stage("the record export");
    TestRecordExport(report, plugin, mgr);
    report.Stage("deleting many filters");
    TestDeleteFrees(report, plugin);
#if defined(_M_IX86)
    TestLibraryExports(report, plugin.hModule);
#endif
    report.Stage("the end");
    report.Check(mgr.m_nWrongFrees == 0,
                 Text() << "the module never freed a host string twice or through the wrong manager");
    return report.Finish();
}

} // namespace

extern "C" void __cdecl HostMain()
{
    ExitProcess(static_cast<unsigned int>(Run()));
}
