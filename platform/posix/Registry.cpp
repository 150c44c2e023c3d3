// platform/posix/Registry.cpp: the current user's registry on Linux, kept
// on disk as a directory per key and a file per value.
//
// The store lies below $XDG_CONFIG_HOME, or ~/.config when that is not set:
//
//   ferlo/registry/HKEY_CURRENT_USER/<key>/<subkey>/.../=<value name>
//
// The registry compares names without regard to case, so names are kept in
// lower case (A to Z fold). "%", "/", "=" and control characters are written
// as %XX, and the key names "." and ".." as %2E and %2E%2E; so a file whose
// name begins with "=" is always a value and never a key. A value file holds
// the value's type (4 bytes, little-endian), then its data. It is written
// under a temporary name beginning "==" and renamed over the old file, so a
// reader finds the old value or the new one, never a part of either.
#include "Files.h"

#include "../Utf8.h"

#include <new>
#include <pwd.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

struct FerloRegistryKey {
    char szDirectory[files::kNativePathBytes];
};

namespace
{

using files::kNativePathBytes;

const char kStoreBelowConfig[] = "/ferlo/registry/HKEY_CURRENT_USER";

// A Linux path assembled piece by piece in a fixed buffer; once a piece
// does not fit, the path is failed and must not be used.
class NativePath
{
public:
    // Starts with the first nKept bytes that sz holds already.
    explicit NativePath(char (&sz)[kNativePathBytes], size_t nKept = 0) : m_sz(sz), m_n(nKept)
    {
        m_sz[m_n] = 0;
    }

    void Append(const char* p, size_t n)
    {
        if (!m_bOk || m_n + n >= kNativePathBytes) {
            m_bOk = false;
            return;
        }
        memcpy(m_sz + m_n, p, n);
        m_n += n;
        m_sz[m_n] = 0;
    }
    void Append(const char* psz) { Append(psz, strlen(psz)); }
    void AppendEscaped(unsigned char c)
    {
        char sz[4];
        snprintf(sz, sizeof sz, "%%%02X", c);
        Append(sz, 3);
    }
    bool Ok() const { return m_bOk; }
    size_t Length() const { return m_n; }

private:
    char* m_sz;
    size_t m_n;
    bool m_bOk = true;
};

LSTATUS RegistryError(int nError)
{
    switch (nError) {
    case ENOENT:
    case ENOTDIR:
        return ERROR_FILE_NOT_FOUND;
    case ENOMEM:
        return ERROR_OUTOFMEMORY;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    default:
        return ERROR_ACCESS_DENIED;
    }
}

bool IsPredefined(HKEY hKey)
{
    uintptr_t n = reinterpret_cast<uintptr_t>(hKey);
    return n >= 0x80000000u && n <= 0x80000006u;
}

// The user's configuration directory: $XDG_CONFIG_HOME when it names an
// absolute path, else .config in the home directory.
void AppendConfigHome(NativePath& path)
{
    const char* pszConfig = getenv("XDG_CONFIG_HOME");
    if (pszConfig && pszConfig[0] == '/') {
        path.Append(pszConfig);
        return;
    }
    const char* pszHome = getenv("HOME");
    passwd entry;
    passwd* pEntry = nullptr;
    char buffer[4096];
    if ((!pszHome || pszHome[0] != '/') &&
        getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &pEntry) == 0 && pEntry)
        pszHome = pEntry->pw_dir;
    path.Append(pszHome ? pszHome : "/");
    path.Append("/.config");
}

// Makes a directory exist; *pbCreated tells whether this call made it. A
// file in the place of a key is refused.
LSTATUS MakeDirectory(const char* pszDirectory, bool* pbCreated)
{
    *pbCreated = mkdir(pszDirectory, 0700) == 0;
    if (*pbCreated)
        return ERROR_SUCCESS;
    int nError = errno;
    struct stat st;
    if (stat(pszDirectory, &st) == 0 && S_ISDIR(st.st_mode))
        return ERROR_SUCCESS;
    return RegistryError(nError == EEXIST ? EACCES : nError);
}

// The store's directory of HKEY_CURRENT_USER, made to exist level by level
// below the root, as a new user's store does not exist yet.
LSTATUS StoreDirectory(char (&szDirectory)[kNativePathBytes])
{
    NativePath path(szDirectory);
    AppendConfigHome(path);
    path.Append(kStoreBelowConfig);
    if (!path.Ok())
        return ERROR_FILENAME_EXCED_RANGE;
    bool bCreated;
    for (char* p = strchr(szDirectory + 1, '/');; p = strchr(p + 1, '/')) {
        if (p)
            *p = 0;
        LSTATUS rc = MakeDirectory(szDirectory, &bCreated);
        if (!p || rc != ERROR_SUCCESS)
            return rc;
        *p = '/';
    }
}

LSTATUS KeyDirectory(HKEY hKey, char (&szDirectory)[kNativePathBytes])
{
    if (hKey == HKEY_CURRENT_USER)
        return StoreDirectory(szDirectory);
    if (!hKey || IsPredefined(hKey))
        return ERROR_INVALID_HANDLE;
    memcpy(szDirectory, hKey->szDirectory, kNativePathBytes);
    return ERROR_SUCCESS;
}

// Appends the on-disk form of the name [p, pEnd), as the header describes.
void AppendName(NativePath& path, const WCHAR* p, const WCHAR* pEnd)
{
    while (p < pEnd) {
        WCHAR c = *p;
        if (c >= 0x80) {
            size_t k = IsHighSurrogate(c) && p + 1 < pEnd && IsLowSurrogate(p[1]) ? 2 : 1;
            char bytes[4];
            path.Append(bytes, EncodeUtf8(p, k, bytes, sizeof bytes, LoneSurrogate::Keep));
            p += k;
            continue;
        }
        ++p;
        if (c < 0x20 || c == u'%' || c == u'/' || c == u'=') {
            path.AppendEscaped(static_cast<unsigned char>(c));
            continue;
        }
        char b = static_cast<char>(c >= u'A' && c <= u'Z' ? c + ('a' - 'A') : c);
        path.Append(&b, 1);
    }
}

bool IsDotName(const WCHAR* p, const WCHAR* pEnd)
{
    size_t n = static_cast<size_t>(pEnd - p);
    return (n == 1 || n == 2) && p[0] == u'.' && p[n - 1] == u'.';
}

// Opens, creating them as needed, the keys of the path pszSubKey below the
// key directory, which becomes the directory of the last. Empty names, as
// between two backslashes, are skipped as Windows does.
LSTATUS OpenSubKeys(char (&szDirectory)[kNativePathBytes], const WCHAR* pszSubKey, bool* pbCreated)
{
    *pbCreated = false;
    const WCHAR* p = pszSubKey ? pszSubKey : u"";
    while (*p) {
        const WCHAR* pEnd = p;
        while (*pEnd && *pEnd != u'\\')
            ++pEnd;
        if (pEnd > p) {
            NativePath path(szDirectory, strlen(szDirectory));
            path.Append("/");
            if (IsDotName(p, pEnd))
                for (const WCHAR* q = p; q < pEnd; ++q)
                    path.AppendEscaped('.');
            else
                AppendName(path, p, pEnd);
            if (!path.Ok())
                return ERROR_FILENAME_EXCED_RANGE;
            LSTATUS rc = MakeDirectory(szDirectory, pbCreated);
            if (rc != ERROR_SUCCESS)
                return rc;
        }
        p = *pEnd ? pEnd + 1 : pEnd;
    }
    return ERROR_SUCCESS;
}

// The file of the value pszName (null: the key's default value) of hKey.
LSTATUS ValueFile(HKEY hKey, const WCHAR* pszName, char (&szDirectory)[kNativePathBytes],
                  char (&szFile)[kNativePathBytes])
{
    LSTATUS rc = KeyDirectory(hKey, szDirectory);
    if (rc != ERROR_SUCCESS)
        return rc;
    NativePath path(szFile);
    path.Append(szDirectory);
    path.Append("/=");
    if (pszName)
        AppendName(path, pszName, pszName + wcslen(pszName));
    return path.Ok() ? ERROR_SUCCESS : ERROR_FILENAME_EXCED_RANGE;
}

// Writes the value to a temporary file beside szFile, then renames it over
// szFile. A key whose directory has gone away is reported as deleted.
LSTATUS WriteValueFile(const char* pszDirectory, const char* pszFile, DWORD dwType, const BYTE* pData,
                       DWORD cbData)
{
    char szTemp[kNativePathBytes];
    NativePath temp(szTemp);
    temp.Append(pszDirectory);
    temp.Append("/==XXXXXX");
    if (!temp.Ok())
        return ERROR_FILENAME_EXCED_RANGE;
    int fd = mkstemp(szTemp);
    if (fd < 0)
        return errno == ENOENT ? ERROR_KEY_DELETED : RegistryError(errno);
    FILE* pFile = fdopen(fd, "wb");
    const BYTE header[4] = {static_cast<BYTE>(dwType), static_cast<BYTE>(dwType >> 8),
                            static_cast<BYTE>(dwType >> 16), static_cast<BYTE>(dwType >> 24)};
    bool bOk = pFile && fwrite(header, 1, sizeof header, pFile) == sizeof header &&
               (cbData == 0 || fwrite(pData, 1, cbData, pFile) == cbData) && fflush(pFile) == 0 &&
               fsync(fd) == 0;
    int nError = errno;
    if ((pFile ? fclose(pFile) : close(fd)) != 0 && bOk) {
        bOk = false;
        nError = errno;
    }
    if (bOk && rename(szTemp, pszFile) == 0)
        return ERROR_SUCCESS;
    if (bOk)
        nError = errno;
    unlink(szTemp);
    return RegistryError(nError);
}

// Reads an open value file as RegQueryValueExW reports it.
LSTATUS ReadValueFile(FILE* pFile, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData)
{
    struct stat st;
    BYTE header[4];
    if (fstat(fileno(pFile), &st) != 0 || st.st_size < 4 || fread(header, 1, sizeof header, pFile) != 4)
        return ERROR_FILE_NOT_FOUND;
    DWORD cbValue = static_cast<DWORD>(st.st_size - 4);
    if (lpType)
        *lpType = header[0] | header[1] << 8 | header[2] << 16 | static_cast<DWORD>(header[3]) << 24;
    if (!lpcbData)
        return ERROR_SUCCESS;
    if (lpData && *lpcbData < cbValue) {
        *lpcbData = cbValue;
        return ERROR_MORE_DATA;
    }
    if (lpData && fread(lpData, 1, cbValue, pFile) != cbValue)
        return ERROR_ACCESS_DENIED;
    *lpcbData = cbValue;
    return ERROR_SUCCESS;
}

} // namespace

// RegCreateKeyExW: opens the subkey path below hKey, creating every key of
// it that is missing; *lpdwDisposition tells whether the last one was new.
// Only HKEY_CURRENT_USER and keys opened from it are known. The store is the
// user's own files, so the access asked for, the class, the options and the
// security attributes are not used: every key is non-volatile and may be
// read and written. A subkey path may not begin with a backslash.
LSTATUS RegCreateKeyExW(HKEY hKey, LPCWSTR lpSubKey, DWORD, LPWSTR, DWORD, REGSAM,
                        const LPSECURITY_ATTRIBUTES, PHKEY phkResult, LPDWORD lpdwDisposition)
{
    if (!phkResult)
        return ERROR_INVALID_PARAMETER;
    *phkResult = nullptr;
    if (lpSubKey && *lpSubKey == u'\\')
        return ERROR_BAD_PATHNAME;
    auto* pKey = new (std::nothrow) FerloRegistryKey;
    if (!pKey)
        return ERROR_OUTOFMEMORY;
    bool bCreated = false;
    LSTATUS rc = KeyDirectory(hKey, pKey->szDirectory);
    if (rc == ERROR_SUCCESS)
        rc = OpenSubKeys(pKey->szDirectory, lpSubKey, &bCreated);
    if (rc != ERROR_SUCCESS) {
        delete pKey;
        return rc;
    }
    *phkResult = pKey;
    if (lpdwDisposition)
        *lpdwDisposition = bCreated ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    return ERROR_SUCCESS;
}

// RegQueryValueExW: the value's type and data. Without a data buffer only
// the size is told; with one too small, ERROR_MORE_DATA and the size, and
// the buffer is not touched. A missing value is ERROR_FILE_NOT_FOUND.
// Windows adds a terminator to a REG_SZ value stored without one when the
// buffer has room for it, and counts it in the size; here the data come
// back exactly as they were stored.
LSTATUS RegQueryValueExW(HKEY hKey, LPCWSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData,
                         LPDWORD lpcbData)
{
    if (lpReserved || (lpData && !lpcbData))
        return ERROR_INVALID_PARAMETER;
    char szDirectory[kNativePathBytes];
    char szFile[kNativePathBytes];
    LSTATUS rc = ValueFile(hKey, lpValueName, szDirectory, szFile);
    if (rc != ERROR_SUCCESS)
        return rc;
    FILE* pFile = fopen(szFile, "rbe");
    if (!pFile)
        return RegistryError(errno);
    rc = ReadValueFile(pFile, lpType, lpData, lpcbData);
    fclose(pFile);
    return rc;
}

// RegSetValueExW: stores the value whole, replacing any earlier one of the
// name. Data of cbData bytes without a buffer is ERROR_NOACCESS.
LSTATUS RegSetValueExW(HKEY hKey, LPCWSTR lpValueName, DWORD, DWORD dwType, const BYTE* lpData, DWORD cbData)
{
    if (!lpData && cbData)
        return ERROR_NOACCESS;
    char szDirectory[kNativePathBytes];
    char szFile[kNativePathBytes];
    LSTATUS rc = ValueFile(hKey, lpValueName, szDirectory, szFile);
    if (rc != ERROR_SUCCESS)
        return rc;
    return WriteValueFile(szDirectory, szFile, dwType, lpData, cbData);
}

// RegCloseKey: releases a key opened by RegCreateKeyExW. Closing a
// predefined key does nothing. A key closed twice is not detected.
LSTATUS RegCloseKey(HKEY hKey)
{
    if (!hKey)
        return ERROR_INVALID_HANDLE;
    if (!IsPredefined(hKey))
        delete hKey;
    return ERROR_SUCCESS;
}

// RegOpenKeyExA: the 8-bit calls serve only the lookup of a server below
// HKEY_CLASSES_ROOT, which Linux has not; every key is reported missing.
LSTATUS RegOpenKeyExA(HKEY, LPCSTR, DWORD, REGSAM, PHKEY phkResult)
{
    if (phkResult)
        *phkResult = nullptr;
    return ERROR_FILE_NOT_FOUND;
}

// RegQueryValueExA: no key can be opened with RegOpenKeyExA to ask.
LSTATUS RegQueryValueExA(HKEY, LPCSTR, LPDWORD, LPDWORD, LPBYTE, LPDWORD)
{
    return ERROR_INVALID_HANDLE;
}
