// tests/abi/msvc_host.cpp: a host built with the Microsoft C++ ABI drives the
// plug-in through its exports and virtual table, where the plug-in's compiler
// differs: a virtual destructor takes one slot, a CString comes back through
// a hidden pointer, a deleting destructor takes a flag. Run in the plug-in's
// folder, it prints a line per check and exits with 0 only if none failed.
#include "HostObjects.h"

namespace
{

const unsigned long kHostValue = 0x5EEDF00D;
const wchar_t kHostKey[] = L"Software\\Example\\Key";

struct Plugin {
    HMODULE hModule;
    PfnGetFilterInfo pfnGetFilterInfo;
    PfnCreateFilter pfnCreateFilter;
    void* pOptionExports[2]; // ZRSetOptions, ZRGetOptionsString
};

template <typename Pfn> Pfn Find(const Plugin& plugin, const char* pszName)
{
    return reinterpret_cast<Pfn>(GetProcAddress(plugin.hModule, pszName));
}

// Guard bytes after FilterInfo catch a module that writes a wider one; the
// texts stay where they are. The option exports leave the arguments to the
// caller, so any number may be pushed. Every form of registry key gives a
// filter whose slots 9, 11 and 12 return 0; delete calls slot 0 with the flag.
void TestExports(Report& report, const Plugin& plugin, HostStringMgr&)
{
    struct Guarded {
        FilterInfo info;
        unsigned char guard[16];
    } first, second;
    memset(&first, 0xA5, sizeof(first));
    memset(&second, 0x5A, sizeof(second));
    report.Check(plugin.pfnGetFilterInfo(&first.info) == 0 && plugin.pfnGetFilterInfo(&second.info) == 0 &&
                     first.info.nVersion == 0x00010000 && first.info.nType == 6 &&
                     WideEqual(first.info.pszDescription, L"File Based Plain Text") &&
                     WideEqual(first.info.pszName, L"Text") && WideEqual(first.info.pszVersion, L"3.0") &&
                     WideEqual(first.info.pszMaker, L"Tarnholm GmbH"),
                 "ZRDbGetFilterInfo returns 0 and fills in {65536, 6, the four texts}");
    memset(second.guard, 0xA5, sizeof(second.guard));
    report.Check(BytesEqual(&first, &second, sizeof(first)),
                 "a second call gives the same record, and nothing is written past it");
    for (void* pProc : plugin.pOptionExports)
        report.Check(reinterpret_cast<PfnOptionsCall0>(pProc)() == 0 &&
                         reinterpret_cast<PfnOptionsCall6>(pProc)(1, -1, 0x7FFFFFFF, 4, 5, 6) == 0,
                     "an option export returns 0, with no arguments or six");
    const wchar_t* keys[] = {nullptr, L"", kHostKey};
    for (const wchar_t* pszKey : keys) {
        auto* p = static_cast<CZRDbFilter*>(plugin.pfnCreateFilter(kHostValue, pszKey));
        report.Check(p && p->Reserved9() == 0 && p->Reserved11(1, -1, 0x7FFFFFFF) == 0 &&
                         p->Reserved12(-7, 0, 42) == 0,
                     "ZRDbCreateFilter gives a filter whose slots 9, 11 and 12 return 0");
        delete p;
    }
}

// The plug-in's string manager, as an MFC host reaches it when it changes a
// string the plug-in returned: through the manager pointer in the header.
void TestModuleStringMgr(Report& report, IAtlStringMgr* pMgr)
{
    CStringData* pData = pMgr->Allocate(5, sizeof(wchar_t));
    report.Check(pData->pStringMgr == pMgr && pData->nDataLength == 0 && pData->nAllocLength >= 5 &&
                     pData->nRefs == 1,
                 "the module's Allocate (manager slot 0) gives a block {manager, 0, >= 5, 1}");
    memcpy(pData->data(), L"abcde", 6 * sizeof(wchar_t));
    pData->nDataLength = 5;
    pData = pMgr->Reallocate(pData, 300, sizeof(wchar_t));
    report.Check(pData->pStringMgr == pMgr && pData->nAllocLength >= 300 && pData->nDataLength == 5 &&
                     WideEqual(pData->data(), L"abcde"),
                 "the module's Reallocate (manager slot 2) grows the block and keeps the text");
    pMgr->Free(pData);
    pData = pMgr->GetNilString();
    report.Check(pData->pStringMgr == pMgr && pData->nDataLength == 0 && pData->data()[0] == 0 &&
                     pData->nRefs > 1 && pMgr->Clone() == pMgr,
                 "GetNilString (slot 3) gives the shared empty string, Clone (slot 4) the manager");
    pData->Release();
}

// Configure (slot 3) returns a CString by value: the module builds it in the
// host's storage, and the host releases it through the manager named in its
// header. The dialog is cancelled: the options come back, the flag is 0.
void TestConfigure(Report& report, const Plugin& plugin, HostStringMgr& mgr)
{
    CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, kHostKey);
    if (!report.Check(p != nullptr, "ZRDbCreateFilter gives a filter for Configure"))
        return;
    int bChanged = 0x5A5A5A5A;
    IAtlStringMgr* pModuleMgr;
    {
        CString result = [&] {
            DialogCanceller canceller;
            return p->Configure(&bChanged, L"[DELIMITER=;]");
        }();
        CStringData* pData = result.GetData();
        pModuleMgr = pData->pStringMgr;
        report.Check(bChanged == 0, "Configure sets the changed flag to 0 when cancelled");
        report.Check(pModuleMgr && pModuleMgr != &mgr && pData->nDataLength == 13 &&
                         WideEqual(result.GetString(), L"[DELIMITER=;]"),
                     "Configure returns the options passed in, in a string of the module's manager");
        // The host's destructor then frees it through that manager.
        report.Check(pData->nRefs == 1, "the result is a block of its own, held once");
    }
    TestModuleStringMgr(report, pModuleMgr);
    delete p;
}

bool FileHolds(const wchar_t* pszPath, const char* pszExpected)
{
    HANDLE h = CreateFileW(pszPath, 0x80000000 /* GENERIC_READ */, 0, nullptr, 3 /* OPEN_EXISTING */, 0, 0);
    static char s_content[64];
    DWORD n = 0;
    bool bOk =
        ReadFile(h, s_content, sizeof(s_content), &n, nullptr) && BytesEqual(s_content, pszExpected, n);
    CloseHandle(h);
    return bOk && pszExpected[n] == 0;
}

// A table in one-file-per-record mode through slots 1, 10, 4 to 8 and 2: the
// module calls back into the host's fields, and releases every value string
// through the host's manager. ForwardBeginTable must reach the filter's own
// BeginTable, which in this mode reads the names; its base's does not.
void TestRecordExport(Report& report, const Plugin& plugin, HostStringMgr& mgr)
{
    const wchar_t kDir[] = L"ferlo-abi-records";
    CString options(&mgr, L"[SINGLE=TRUE][DELIMITER=;]");
    CString table(&mgr, L"Letters");
    TestField id(&mgr, L"ID", L"alpha");
    TestField name(&mgr, L"Name", L"beta");
    TestField* fields[] = {&id, &name};
    HostField* fieldArg[] = {&id, &name};
    auto* p = static_cast<CZRDbFilter*>(plugin.pfnCreateFilter(kHostValue, nullptr));
    if (!report.Check(p != nullptr, "ZRDbCreateFilter gives a filter for the record export"))
        return;
    CreateDirectoryW(kDir, nullptr);
    report.Check(p->ParseOptions(options) == 0, "ParseOptions (slot 1) returns 0");
    report.Check(p->ForwardBeginTable(table, fieldArg, 2) == 0 && id.m_nGetName == 1 && name.m_nGetName == 1,
                 "ForwardBeginTable (slot 10) reads the names by GetName (slot 11)");
    report.Check(p->BeginTable(table, fieldArg, 2) == 0 && id.m_nGetName == 2 && name.m_nGetName == 2,
                 "BeginTable (slot 4) reads the names by GetName");
    report.Check(p->BeginRecord(L"ferlo-abi-records\\letter.doc") == 0, "BeginRecord (slot 6) returns 0");
    int nLive = mgr.m_nLive;
    report.Check(p->WriteField(&id) == 0 && p->WriteField(&name) == 0, "WriteField (slot 8) returns 0");
    for (TestField* pField : fields)
        report.Check(pField->m_nPrepare == 1 && pField->m_nGetValueText == 1 &&
                         !pField->m_bValueBeforePrepare,
                     "WriteField calls Prepare (slot 3), then GetValueText (slot 14), once each");
    report.Check(mgr.m_nLive == nLive && mgr.m_nWrongFrees == 0,
                 "every value string is released through the host's manager");
    report.Check(p->EndRecord() == 0, "EndRecord (slot 7) returns 0");
    report.Check(FileHolds(L"ferlo-abi-records\\letter.TXT", "alpha;beta\r\n"),
                 "the record's file holds the values as the fields gave them");
    report.Check(p->EndTable() == 0, "EndTable (slot 5) returns 0");
    report.Check(p->Commit() == 0, "Commit (slot 2) returns 0");
    report.Check(!id.m_nStray && !name.m_nStray, "no field is called outside slots 3, 11 and 14");
    delete p;
    DeleteFileW(L"ferlo-abi-records\\letter.TXT");
    RemoveDirectoryW(kDir);
}

// How much the process's private memory grows per filter made and destroyed.
size_t GrowthPerFilter(const Plugin& plugin, int nFilters, bool bDelete)
{
    PROCESS_MEMORY_COUNTERS counters[2] = {{sizeof(counters[0])}, {sizeof(counters[0])}};
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters[0], sizeof(counters[0]));
    for (int i = 0; i < nFilters; ++i) {
        CZRBasicDbFilter* p = plugin.pfnCreateFilter(kHostValue, kHostKey);
        if (bDelete)
            delete p;
        else
            p->~CZRBasicDbFilter();
    }
    K32GetProcessMemoryInfo(GetCurrentProcess(), &counters[1], sizeof(counters[1]));
    size_t nBefore = counters[0].PagefileUsage, nAfter = counters[1].PagefileUsage;
    return nAfter > nBefore ? (nAfter - nBefore) / static_cast<size_t>(nFilters) : 0;
}

// delete passes slot 0 the deleting flag: the memory must come back. The
// destructor alone clears it, and that leak shows the measure sees leaks.
void TestDeleteFrees(Report& report, const Plugin& plugin, HostStringMgr&)
{
    const size_t kLeakBytes = 1024;     // less than a filter's buffers and object
    GrowthPerFilter(plugin, 100, true); // the heap reaches its working size
    size_t nDeleted = GrowthPerFilter(plugin, 10000, true);
    report.Check(nDeleted < kLeakBytes, "filters made and deleted leave no memory behind");
    size_t nKept = GrowthPerFilter(plugin, 2000, false);
    report.Check(nKept >= kLeakBytes, "a filter destroyed with the flag clear stays allocated");
}

#if defined(_M_IX86)
// Only the 32-bit module exports the host library's String and CAbort. A
// host that includes the library's header compiles calls to their inline
// members as calls into the module, by their decorated names: a member gets
// the object in ECX and removes its arguments; a wrong convention or a name
// that aliases the wrong function shows as a wrong result or a fault.
struct HostString {
    wchar_t* pszText;
    wchar_t* pBuffer; // the module's members leave it alone
};

// A member takes no argument or one, and removes what it takes; an operator
// takes two pointers (operator! one) and leaves them to the caller.
typedef intptr_t(__thiscall* PfnMember0)(HostString* pThis);
typedef intptr_t(__thiscall* PfnMember1)(HostString* pThis, intptr_t nArgument);
typedef int(__cdecl* PfnStringOperator)(const void* pLeft, const void* pRight);

void TestStringMembers(Report& report, const Plugin& plugin, HostStringMgr&)
{
    HostString made = {nullptr, nullptr};
    auto pfnMake = Find<PfnMember0>(plugin, "??0String@@QAE@XZ");
    auto pfnMakeSized = Find<PfnMember1>(plugin, "??0String@@AAE@H@Z");
    auto pfnFree = Find<PfnMember0>(plugin, "??1String@@QAE@XZ"); // returns nothing
    if (!report.Check(pfnMake && pfnMakeSized && pfnFree, "the module exports String's constructors"))
        return;
    intptr_t nMade = reinterpret_cast<intptr_t>(&made);
    report.Check(pfnMake(&made) == nMade && made.pszText && !made.pszText[0] && !made.pBuffer,
                 "String() makes an empty text and returns the object");
    pfnFree(&made);
    report.Check(pfnMakeSized(&made, 40) == nMade && made.pszText && !made.pBuffer,
                 "String(40) makes a text and returns the object");
    memset(made.pszText, 0, 41 * sizeof(wchar_t));
    pfnFree(&made);

    wchar_t szPath[] = L"C:\\out\\Cust.csv", szOther[] = L"C:\\out\\CUST.csv", szEmpty[] = L"";
    wchar_t szText[] = L"a.txt", szSame[] = L"a.txt", szUpper[] = L"a.TXT";
    HostString path = {szPath, nullptr}, other = {szOther, nullptr}, empty = {szEmpty, nullptr};
    HostString s = {szText, nullptr}, same = {szSame, nullptr}, upper = {szUpper, nullptr};
    enum Kind { Member0, Member1, Operator };
    const struct {
        const char* pszName;
        Kind kind;
        HostString* pString;
        const void* pArgument;
        intptr_t nExpected;
    } calls[] = {
        {"??BString@@QBEPB_WXZ", Member0, &path, nullptr, reinterpret_cast<intptr_t>(szPath)},
        {"?strlen@String@@QBEHXZ", Member0, &path, nullptr, 15},
        {"?empty@String@@QAEHXZ", Member0, &empty, nullptr, 1},
        {"?empty@String@@QAEHXZ", Member0, &path, nullptr, 0},
        {"?strchr@String@@QBEHH@Z", Member1, &path, reinterpret_cast<void*>(L'\\'), 3},
        {"?strrchr@String@@QBEHH@Z", Member1, &path, reinterpret_cast<void*>(L'\\'), 7},
        {"?strrchr@String@@QBEHH@Z", Member1, &path, reinterpret_cast<void*>(L'z'), 0},
        {"?strstr@String@@QBEHPB_W@Z", Member1, &path, L"t.c", 11},
        {"?strupr@String@@QAEAAV1@XZ", Member0, &other, nullptr, reinterpret_cast<intptr_t>(&other)},
        {"?strlwr@String@@QAEAAV1@XZ", Member0, &path, nullptr, reinterpret_cast<intptr_t>(&path)},
        {"??8@YAHABVString@@0@Z", Operator, &s, &same, 1},
        {"??8@YAHAAVString@@ABV0@@Z", Operator, &s, &upper, 0},
        {"??8@YAHABVString@@PB_W@Z", Operator, &s, L"a.txt", 1},
        {"??8@YAHAAVString@@PB_W@Z", Operator, &s, L"a.tx", 0},
        {"??8@YAHABVString@@PA_W@Z", Operator, &s, szUpper, 0},
        {"??8@YAHAAVString@@PA_W@Z", Operator, &s, szSame, 1},
        {"??9@YAHABVString@@0@Z", Operator, &s, &upper, 1},
        {"??9@YAHABVString@@0@Z", Operator, &s, &same, 0},
        {"??7@YAHABVString@@@Z", Operator, &empty, nullptr, 1},
        {"??7@YAHABVString@@@Z", Operator, &s, nullptr, 0},
    };
    for (const auto& c : calls) {
        void* pProc = Find<void*>(plugin, c.pszName);
        intptr_t nArgument = reinterpret_cast<intptr_t>(c.pArgument);
        intptr_t nGot = !pProc              ? -1
                        : c.kind == Member0 ? reinterpret_cast<PfnMember0>(pProc)(c.pString)
                        : c.kind == Member1
                            ? reinterpret_cast<PfnMember1>(pProc)(c.pString, nArgument)
                            : reinterpret_cast<PfnStringOperator>(pProc)(c.pString, c.pArgument);
        report.Check(nGot == c.nExpected, c.pszName);
    }
    report.Check(WideEqual(szPath, L"c:\\out\\cust.csv") && WideEqual(szOther, L"C:\\OUT\\CUST.CSV"),
                 "strupr() and strlwr() change the text in place");
}

// CAbort: the table, then four 32-bit words; the host calls slots 5 to 7.
struct HostAbort {
    void* const* pVtable;
    long words[4];
};

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

typedef HostAbort*(__thiscall* PfnAbortCopy)(HostAbort* pThis, const HostAbort* pOther);

void TestAbort(Report& report, const Plugin& plugin, HostStringMgr&)
{
    auto pfnCopy = Find<PfnAbortCopy>(plugin, "??0CAbort@@QAE@ABV0@@Z");
    auto pfnAssign = Find<PfnAbortCopy>(plugin, "??4CAbort@@QAEAAV0@ABV0@@Z");
    auto pVtable = Find<void* const*>(plugin, "??_7CAbort@@6B@");
    if (!report.Check(pfnCopy && pfnAssign && pVtable,
                      "the module exports CAbort's copy, assignment and table"))
        return;
    // The source's table is the host's business; the copy gets the module's.
    HostAbort source = {nullptr, {1, 0, 7, 9}};
    HostAbort copy;
    memset(&copy, 0xA5, sizeof(copy));
    report.Check(pfnCopy(&copy, &source) == &copy && copy.pVtable == pVtable &&
                     BytesEqual(copy.words, source.words, sizeof(copy.words)),
                 "the copy constructor copies the four words, sets the exported table, returns the object");
    auto* pSlots = reinterpret_cast<AbortSlots*>(&copy);
    int nProcessing = pSlots->IsProcessing();
    int nAbortedBefore = pSlots->IsAborted();
    pSlots->AbortProcess();
    report.Check(nProcessing == 1 && nAbortedBefore == 0 && pSlots->IsAborted() == 1,
                 "slots 5 to 7: IsProcessing 1, IsAborted 0, then 1 after AbortProcess");
    report.Check(pfnAssign(&copy, &source) == &copy && copy.pVtable == pVtable &&
                     BytesEqual(copy.words, source.words, sizeof(copy.words)),
                 "assignment copies the four words, keeps the table and returns the object");
}
#endif

int Run()
{
    Report report;
    Plugin plugin = {LoadLibraryW(FERLO_PLUGIN_NAME)};
    if (!report.Check(plugin.hModule != nullptr, "the module loads"))
        return report.Finish();
    plugin.pfnGetFilterInfo = Find<PfnGetFilterInfo>(plugin, "ZRDbGetFilterInfo");
    plugin.pfnCreateFilter = Find<PfnCreateFilter>(plugin, "ZRDbCreateFilter");
    plugin.pOptionExports[0] = Find<void*>(plugin, "ZRSetOptions");
    plugin.pOptionExports[1] = Find<void*>(plugin, "ZRGetOptionsString");
    if (!report.Check(plugin.pfnGetFilterInfo && plugin.pfnCreateFilter && plugin.pOptionExports[0] &&
                          plugin.pOptionExports[1],
                      "the module exports its four functions"))
        return report.Finish();

    HostStringMgr mgr;
    const struct {
        const char* pszStage;
        void (*pfnTest)(Report&, const Plugin&, HostStringMgr&);
    } tests[] = {
        {"the exports", TestExports},
        {"Configure", TestConfigure},
        {"the record export", TestRecordExport},
        {"deleting many filters", TestDeleteFrees},
#if defined(_M_IX86)
        {"String's members", TestStringMembers},
        {"CAbort", TestAbort},
#endif
    };
    for (const auto& t : tests) {
        report.Stage(t.pszStage);
        t.pfnTest(report, plugin, mgr);
    }
    report.Check(mgr.m_nWrongFrees == 0,
                 "the module never freed a host string twice or through another manager");
    return report.Finish();
}

} // namespace

extern "C" void __cdecl HostMain()
{
    ExitProcess(static_cast<unsigned int>(Run()));
}
