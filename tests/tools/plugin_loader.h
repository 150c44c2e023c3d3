// tests/tools/plugin_loader.h: loads the built plug-in the way a host does, by
// file name, and finds its exports by name.
#pragma once

#if defined(_WIN32)
#include <windows.h>
#else
#include <dlfcn.h>
#endif

// The module is loaded once and stays for the life of the test program, as
// in a host: its entry links a record into a chain that it never frees.
class PluginLibrary
{
public:
    static const PluginLibrary& Get()
    {
        static PluginLibrary* s_library = new PluginLibrary();
        return *s_library;
    }
    bool Loaded() const { return m_handle != nullptr; }

    template <typename F> F Find(const char* name) const
    {
#if defined(_WIN32)
        return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m_handle, name)));
#else
        return reinterpret_cast<F>(dlsym(m_handle, name));
#endif
    }

private:
#if defined(_WIN32)
    // The plug-in lies beside the test program, where the loader looks.
    HMODULE m_handle = LoadLibraryA(FERLO_PLUGIN_NAME);
#else
    void* m_handle = dlopen(FERLO_PLUGIN_PATH, RTLD_NOW | RTLD_LOCAL);
#endif
};
