// host/PluginLoader.h: finds the plug-in's exports in its library, which
// the host loads by path and never links to.
#pragma once

#include "../filter/BasicDbFilter.h"
#include "../filter/FilterInfo.h"

#include <stdint.h>

#include <string>

typedef int (*PfnGetFilterInfo)(FilterInfo* pInfo);
typedef CZRBasicDbFilter* (*PfnCreateFilter)(uint32_t hostContext, const WCHAR* pszRegistryKey);

struct Plugin {
    std::string path;
    PfnGetFilterInfo pfnGetFilterInfo = nullptr;
    PfnCreateFilter pfnCreateFilter = nullptr;
};

// Loads the library at path (empty: the plug-in beside this program). False,
// with a message naming the library, when it cannot be loaded or lacks one
// of the two exports the host calls.
bool LoadPlugin(const std::string& path, Plugin* pPlugin, std::string* pError);
