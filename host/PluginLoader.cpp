// host/PluginLoader.cpp: loading the plug-in by path and finding its two
// exports that a host calls. ZRSetOptions and ZRGetOptionsString have no
// effect, so a host has no use for them.
#include "PluginLoader.h"

#include "HostPlatform.h"

bool LoadPlugin(const std::string& path, Plugin* pPlugin, std::string* pError)
{
    pPlugin->path = path.empty() ? host::DefaultPluginPath() : path;
    std::string reason;
    void* pLibrary = host::LoadLibraryFile(pPlugin->path, &reason);
    if (!pLibrary) {
        *pError = "cannot load the plug-in " + pPlugin->path + ": " + reason;
        return false;
    }
    const char* const names[] = {"ZRDbGetFilterInfo", "ZRDbCreateFilter"};
    void* exports[2];
    for (int i = 0; i < 2; ++i) {
        exports[i] = host::FindExport(pLibrary, names[i]);
        if (!exports[i]) {
            *pError = pPlugin->path + " is not a Ferlo plug-in: it lacks the export " + names[i];
            return false;
        }
    }
    pPlugin->pfnGetFilterInfo = reinterpret_cast<PfnGetFilterInfo>(exports[0]);
    pPlugin->pfnCreateFilter = reinterpret_cast<PfnCreateFilter>(exports[1]);
    return true;
}
