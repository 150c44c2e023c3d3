// platform/posix/Locale.cpp: the user's list separator, derived from the
// POSIX locale, and the thread's last error. The system code page is in
// CodePage.cpp.
#include "../Platform.h"

#include <langinfo.h>
#include <locale.h>

namespace
{

thread_local DWORD t_lastError = 0;

// The user's locale as the environment names it (LC_ALL, LC_*, LANG), read
// without touching the process's current locale.
struct UserLocale {
    locale_t loc = newlocale(LC_ALL_MASK, "", static_cast<locale_t>(0));
    ~UserLocale()
    {
        if (loc)
            freelocale(loc);
    }
    const char* Info(nl_item item) const { return loc ? nl_langinfo_l(item, loc) : ""; }
};

// Copies text into a caller's buffer with GetLocaleInfoW's contract: with
// cchData 0 the needed size, terminator included; with too small a buffer
// 0 and ERROR_INSUFFICIENT_BUFFER.
int CopyLocaleText(const WCHAR* text, LPWSTR lpLCData, int cchData)
{
    int needed = lstrlenW(text) + 1;
    if (cchData == 0)
        return needed;
    if (cchData < needed || !lpLCData) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    wcscpy(lpLCData, text);
    return needed;
}

} // namespace

DWORD GetLastError()
{
    return t_lastError;
}

void SetLastError(DWORD dwError)
{
    t_lastError = dwError;
}

// GetLocaleInfoW for LOCALE_SLIST, the only item the product asks for.
// Windows ties the default list separator to the locale's decimal separator:
// where the decimal separator is a comma, lists are separated by ";".
int GetLocaleInfoW(LCID Locale, LCTYPE LCType, LPWSTR lpLCData, int cchData)
{
    if (Locale != LOCALE_USER_DEFAULT || (LCType & 0xFFFF) != LOCALE_SLIST || cchData < 0) {
        SetLastError(cchData < 0 ? ERROR_INVALID_PARAMETER : ERROR_INVALID_FLAGS);
        return 0;
    }
    UserLocale user;
    const char* radix = user.Info(RADIXCHAR);
    return CopyLocaleText(strcmp(radix, ",") == 0 ? u";" : u",", lpLCData, cchData);
}
