// host/Configure.cpp: calling the filter's Configure and printing the
// options string the user confirmed.
#include "Configure.h"

#include "Export.h"

#include <stdio.h>

#include <new>

int RunConfigure(const Plugin& plugin, const ConfigureJob& job)
{
    const WCHAR* pszKey = job.registryKey ? job.registryKey->c_str() : nullptr;
    CZRBasicDbFilter* pFilter = plugin.pfnCreateFilter(0, pszKey);
    if (!pFilter) {
        fprintf(stderr, "ferlo-export: ZRDbCreateFilter made no filter\n");
        return kExitFilter;
    }
    static const WCHAR kMapRequest[] = {'M', 'A', 'P', 0};
    const WCHAR* pszOptions = job.bMap ? kMapRequest : job.options ? job.options->c_str() : nullptr;
    // The result comes back by value, the way the host's compiler returns a
    // class: the filter constructs it in the storage passed, and the host
    // owns it from then on.
    alignas(CString) unsigned char storage[sizeof(CString)];
    int bChanged = 0;
    CString* pResult = pFilter->Configure(reinterpret_cast<CString*>(storage), &bChanged, pszOptions);
    std::string text = Narrow(WString(pResult->GetString(), static_cast<size_t>(pResult->GetLength())));
    pResult->~CString();
    pFilter->Destroy(kDestroyFree);
    if (bChanged != 1) {
        fprintf(stderr, "ferlo-export: cancelled\n");
        return kExitFilter;
    }
    printf("%s\n", text.c_str());
    return kExitOk;
}
