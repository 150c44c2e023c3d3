// tests/tools/registry_sandbox.h: a registry of the current user for one test,
// thrown away afterwards. On Linux the store moves to a fresh directory
// (XDG_CONFIG_HOME); under Windows HKEY_CURRENT_USER is mapped onto a fresh
// key of the real registry.
#pragma once

#include "temp_dir.h"

class RegistrySandbox
{
public:
#if defined(_WIN32)
    RegistrySandbox()
    {
        static int s_nCount = 0;
        m_name = L"Software\\FerloTests\\" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                 std::to_wstring(++s_nCount);
        RegCreateKeyExW(HKEY_CURRENT_USER, m_name.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &m_hKey,
                        nullptr);
        RegOverridePredefKey(HKEY_CURRENT_USER, m_hKey);
    }
    ~RegistrySandbox()
    {
        RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
        RegCloseKey(m_hKey);
        RegDeleteTreeW(HKEY_CURRENT_USER, m_name.c_str());
    }

private:
    std::wstring m_name;
    HKEY m_hKey = nullptr;
#else
    RegistrySandbox() : m_bHadSaved(getenv("XDG_CONFIG_HOME") != nullptr)
    {
        if (m_bHadSaved)
            m_saved = getenv("XDG_CONFIG_HOME");
        setenv("XDG_CONFIG_HOME", m_dir.Native().c_str(), 1);
    }
    ~RegistrySandbox()
    {
        m_bHadSaved ? setenv("XDG_CONFIG_HOME", m_saved.c_str(), 1) : unsetenv("XDG_CONFIG_HOME");
    }
    // The directory that stands for HKEY_CURRENT_USER.
    fs::path Store() const
    {
        return m_dir.Native() / "ferlo" / "registry" / "HKEY_CURRENT_USER";
    }

private:
    TempDir m_dir;
    bool m_bHadSaved;
    std::string m_saved;
#endif
};

// A key of the sandbox, opened as the product opens its keys.
inline HKEY OpenKey(const WCHAR* pszPath, DWORD* pdwDisposition = nullptr)
{
    HKEY hKey = nullptr;
    LSTATUS rc = RegCreateKeyExW(HKEY_CURRENT_USER, pszPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 KEY_READ | KEY_WRITE, nullptr, &hKey, pdwDisposition);
    return rc == ERROR_SUCCESS ? hKey : nullptr;
}
